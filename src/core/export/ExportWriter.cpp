#include "ExportWriter.h"

#include "AircraftFiles.h"
#include "Backups.h"
#include "StandIn.h"
#include "core/common/AtomicFile.h"
#include "core/common/CopyLock.h"
#include "core/common/FileRead.h"
#include "core/common/PathProbe.h"
#include "core/common/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace exportwriter {
namespace {

using Kind = Failure::Kind;

bool hasWriteBits(const QFileInfo& info) {
    return (info.permissions() & (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther)) != 0;
}

std::optional<Failure> trouble(const backups::Place& place) {
    if (place.state == backups::Place::State::NotAFile)
        return failure(Kind::NotAFile, place.path);
    if (place.state == backups::Place::State::NotAFolder)
        return failure(Kind::BackupsBlocked, place.path);
    if (place.state == backups::Place::State::Unreadable)
        return failure(Kind::ReadFailed, place.path, place.reason);
    return std::nullopt;
}

// Plans the copy's backups that are not there yet: its aircraft.cfg as it is now, and, where the
// copy has a Model folder, its model (or the note that it has none), and with the first of them the
// owner, group and mode of both. They are made before any file of the aircraft changes, so they
// hold the files as installed; the ones that are there already did so at the first export and
// stay. *modelBackup is where the model as installed is kept.
std::optional<Failure> planBackups(const QString& cfgPath, const QString& modelFolder, const QString& modelPath,
                                   bool modelExists, QList<Keep>* keeps, QString* modelBackup) {
    using Place = backups::Place;
    const QString copyFolder = GetPathName(cfgPath);
    const Place folder = backups::lookAtFolder(copyFolder);
    if (auto problem = trouble(folder))
        return problem;
    const qsizetype before = keeps->size();
    if (folder.state == Place::State::Nothing)
        keeps->append({Keep::How::Folder, folder.path, copyFolder, {}});

    const Place cfg = backups::look(copyFolder, backups::kCfg);
    if (auto problem = trouble(cfg))
        return problem;
    const bool first = cfg.state == Place::State::Nothing;
    if (first)
        keeps->append({Keep::How::Copy, cfg.path, cfgPath, {}});

    QString modelRecorded; // the model whose owner, group and mode go into the record
    if (!modelFolder.isEmpty()) {
        const Place model = backups::look(copyFolder, backups::kModel);
        const Place noModel = backups::look(copyFolder, backups::kNoModel);
        for (const Place& place : {model, noModel}) {
            if (auto problem = trouble(place))
                return problem;
        }
        const bool keptEarlier = model.state == Place::State::Made || noModel.state == Place::State::Made;
        if (model.state == Place::State::Made || (!keptEarlier && modelExists))
            *modelBackup = model.path;
        if (!keptEarlier && modelExists) {
            keeps->append({Keep::How::Copy, model.path, modelPath, {}});
            modelRecorded = modelPath;
        } else if (!keptEarlier) {
            keeps->append({Keep::How::Data, noModel.path, cfgPath, "There was no model before the first export.\r\n"});
        }
    }

    if (first) {
        const Place record = backups::look(copyFolder, backups::kAttributes);
        if (auto problem = trouble(record))
            return problem;
        const QByteArray attributes = backups::attributesRecord(cfgPath, modelRecorded);
        if (record.state == Place::State::Nothing && !attributes.isEmpty())
            keeps->append({Keep::How::Data, record.path, cfgPath, attributes});
    }
    // The user may protect the backups as any other folder.
    if (folder.state == Place::State::Made && keeps->size() > before && !atomicfile::canCreateIn(folder.path))
        return failure(Kind::FolderReadOnly, folder.path);
    return std::nullopt;
}

// The number of a variant file "Models/<n>.mdl".
int variantNumber(const QString& variantPath) {
    return QFileInfo(variantPath).completeBaseName().toInt();
}

// Carrying out a plan, an export's or a restore's: the files and folders to keep first, then the
// model and aircraft.cfg in turn, so that the two files either both change or both stay as they were.

// True when the file holds the change's new content (for a removal: is gone), and that differs
// from what it held before.
bool holdsNew(const Change& change) {
    if (change.before == change.after)
        return false;
    if (!change.after)
        return !QFileInfo::exists(change.path);
    const auto now = readWholeFile(change.path);
    return now && *now == *change.after;
}

bool put(const Change& change, const FileOps& ops, QString* reason) {
    if (!change.after)
        return ops.removeFile(change.path, reason);
    if (change.from.isEmpty())
        return ops.replaceWithData(change.path, *change.after, reason);
    if (change.fromAttributes)
        return ops.restoreCopy(change.from, change.path, change.installed, reason);
    return ops.replaceWithCopy(change.from, change.path, reason);
}

// Takes a change back to what the file held before; false with the reason when it cannot.
bool takeBack(const Change& change, const FileOps& ops, QString* reason) {
    return change.before ? ops.replaceWithData(change.path, *change.before, reason)
                         : ops.removeFile(change.path, reason);
}

std::optional<Failure> keep(const Keep& k, const FileOps& ops) {
    QString reason;
    bool made = false;
    switch (k.how) {
    case Keep::How::Folder:
        made = ops.createFolder(k.path, k.from, &reason);
        break;
    case Keep::How::Copy:
        made = ops.createCopy(k.from, k.path, &reason);
        break;
    case Keep::How::Data:
        made = ops.createWithData(k.path, k.data, k.from, &reason);
        break;
    }
    if (!made)
        return failure(k.ofAircraft ? Kind::WriteFailed : Kind::BackupFailed, k.path, reason);
    return std::nullopt;
}

// The model, then aircraft.cfg. A replacement can fail after its rename (the folder could not be
// synced), with the new file in place all the same; whatever was done is taken back, so the model
// never shows a loading that aircraft.cfg does not have. Should the new aircraft.cfg be in place and
// the old one not go back, the failure says so, and the new model stays with it.
std::optional<Failure> replaceFiles(const Plan& plan, const FileOps& ops) {
    // Takes the model back to what it was; the failure says when it cannot.
    const auto putModelBack = [&](Failure& problem) {
        QString why;
        if (!takeBack(*plan.model, ops, &why))
            problem.standing.model = FileLeft{plan.model->path, why, plan.model->backup, !plan.model->before};
    };

    QString reason;
    if (plan.model && !put(*plan.model, ops, &reason)) {
        Failure problem = failure(Kind::WriteFailed, plan.model->path, reason);
        if (holdsNew(*plan.model))
            putModelBack(problem);
        return problem;
    }
    if (put(plan.cfg, ops, &reason))
        return std::nullopt;

    Failure problem = failure(Kind::WriteFailed, plan.cfg.path, reason);
    if (holdsNew(plan.cfg)) {
        QString why;
        if (!takeBack(plan.cfg, ops, &why) && holdsNew(plan.cfg)) {
            // The new aircraft.cfg stays; the new model stays with it.
            problem.standing.cfg = FileLeft{plan.cfg.path, why, plan.cfg.backup, !plan.cfg.before};
            if (plan.model)
                problem.standing.model = FileLeft{plan.model->path, {}, plan.model->backup, !plan.model->before};
            return problem;
        }
    }
    if (plan.model)
        putModelBack(problem);
    return problem;
}

} // namespace

QString messageKey(Failure::Kind kind) {
    switch (kind) {
    case Kind::FileMissing:
        return QStringLiteral("strExportFileMissing");
    case Kind::NotAFile:
        return QStringLiteral("strExportNotAFile");
    case Kind::BackupsBlocked:
        return QStringLiteral("strExportBackupsBlocked");
    case Kind::ReadOnly:
        return QStringLiteral("strExportReadOnly");
    case Kind::NoPermission:
        return QStringLiteral("strExportNoPermission");
    case Kind::FolderReadOnly:
        return QStringLiteral("strExportFolderReadOnly");
    case Kind::ModelFolderMissing:
        return QStringLiteral("strExportModelFolderMissing");
    case Kind::VariantMissing:
        return QStringLiteral("strExportVariantMissing");
    case Kind::ReadFailed:
        return QStringLiteral("strExportReadFailed");
    case Kind::FolderUnreadable:
        return QStringLiteral("strExportFolderUnreadable");
    case Kind::OwnerNotKept:
        return QStringLiteral("strExportOwnerNotKept");
    case Kind::WriteFailed:
        return QStringLiteral("strExportWriteFailed");
    case Kind::BackupFailed:
        return QStringLiteral("strExportBackupFailed");
    case Kind::WideEncoding:
        return QStringLiteral("strExportWideEncoding");
    case Kind::ChangedMeanwhile:
        return QStringLiteral("strExportChangedMeanwhile");
    case Kind::StandInVariant:
        return QStringLiteral("strExportStandIn");
    case Kind::Busy:
        return QStringLiteral("strExportBusy");
    }
    return {};
}

bool hasReason(Failure::Kind kind) {
    return kind == Kind::ReadFailed || kind == Kind::FolderUnreadable || kind == Kind::WriteFailed ||
           kind == Kind::BackupFailed || kind == Kind::StandInVariant;
}

QList<MessagePart> describe(const Failure& failure, Operation operation) {
    // Paths as the system writes them (backslashes on Windows).
    const auto native = [](const QString& path) { return QDir::toNativeSeparators(path); };
    QStringList details{native(failure.path)};
    if (failure.kind == Kind::StandInVariant) // the model it would have replaced, where variants belong
        details << native(failure.reason) << native(QFileInfo(failure.path).path());
    else if (hasReason(failure.kind))
        details.append(failure.reason);
    QList<MessagePart> parts{{messageKey(failure.kind), details}};
    // A missing variant is said with what the program folder needs in its place ("Models/2.mdl":
    // the aircraft's model with the co-pilot seated) and where the variants come from.
    const int variant = variantNumber(failure.path);
    if (failure.kind == Kind::VariantMissing && variant >= 1 && variant <= 5)
        parts[0].key = QStringLiteral("strExportVariantMissing%1").arg(variant);
    if (failure.nothingChanged()) {
        parts.append({QStringLiteral("strExportNothingChanged"), {}});
        return parts;
    }
    const std::optional<FileLeft>& model = failure.standing.model;
    if (const std::optional<FileLeft>& cfg = failure.standing.cfg) {
        // A restore's new files are the files as installed, which its messages call them.
        const bool restore = operation == Operation::Restore;
        parts.append({restore ? QStringLiteral("strRestoreCfgNotRestored") : QStringLiteral("strExportCfgNotRestored"),
                      {native(cfg->path), cfg->reason, native(cfg->backup)}});
        if (model && (restore || model->backup.isEmpty()))
            parts.append({restore ? QStringLiteral("strRestoreModelNew") : QStringLiteral("strExportModelNew"),
                          {native(model->path)}});
        else if (model)
            parts.append({QStringLiteral("strExportModelNewBackup"), {native(model->path), native(model->backup)}});
    } else if (model->created) {
        parts.append({QStringLiteral("strExportModelNotRemoved"), {native(model->path), model->reason}});
    } else if (model->backup.isEmpty()) {
        parts.append({QStringLiteral("strExportModelNotPutBack"), {native(model->path), model->reason}});
    } else {
        parts.append(
            {QStringLiteral("strExportModelNotRestored"), {native(model->path), model->reason, native(model->backup)}});
    }
    return parts;
}

bool isWideText(const QByteArray& content) {
    const QByteArrayView data(content);
    if (data.startsWith(QByteArrayView("\xFF\xFE", 2)) || data.startsWith(QByteArrayView("\xFE\xFF", 2)) ||
        data.startsWith(QByteArrayView("\0\0\xFE\xFF", 4)))
        return true;
    // In UTF-16 every other byte of ASCII text is zero, in UTF-32 three bytes in four.
    const qsizetype n = std::min<qsizetype>(data.size(), 4096);
    qsizetype zeros[2] = {0, 0};
    for (qsizetype i = 0; i < n; ++i)
        zeros[i % 2] += data[i] == '\0';
    return n >= 2 && (zeros[0] * 4 >= n || zeros[1] * 4 >= n);
}

std::optional<Failure> checkReplaceable(const QString& path) {
    const QFileInfo target(atomicfile::resolvedTarget(path));
    const bool exists = target.exists();
    // Without any write permission (on Windows: with the read-only attribute) the file is read-only
    // for everybody; with some, but none for this user, it is another's to write.
    if (exists && !hasWriteBits(target))
        return failure(Kind::ReadOnly, path);
    if (exists && !target.isWritable())
        return failure(Kind::NoPermission, path);
    const QString folder = target.absolutePath();
    if (!atomicfile::canCreateIn(folder))
        return failure(Kind::FolderReadOnly, folder);
    if (exists && !atomicfile::canKeepOwner(target.filePath()))
        return failure(Kind::OwnerNotKept, path);
    return std::nullopt;
}

std::optional<Failure> checkIsFile(const QString& path, Kind whenMissing) {
    const pathprobe::Probe probe = pathprobe::probe(path);
    switch (probe.state) {
    case pathprobe::Probe::State::Missing:
        return failure(whenMissing, path);
    case pathprobe::Probe::State::Unreadable:
        return failure(Kind::ReadFailed, path, probe.reason);
    case pathprobe::Probe::State::Folder:
    case pathprobe::Probe::State::Other:
    case pathprobe::Probe::State::Link:
        return failure(Kind::NotAFile, path);
    case pathprobe::Probe::State::File:
        break;
    }
    return std::nullopt;
}

std::optional<Failure> readExisting(const QString& path, QByteArray* content) {
    if (auto problem = checkIsFile(path, Kind::FileMissing))
        return problem;
    QString reason;
    auto data = readWholeFile(path, &reason);
    if (!data)
        return failure(Kind::ReadFailed, path, reason);
    *content = std::move(*data);
    return std::nullopt;
}

std::optional<Failure> readReplaceable(const QString& path, QByteArray* content) {
    if (auto problem = readExisting(path, content))
        return problem;
    return checkReplaceable(path);
}

std::optional<Failure> readIfThere(const QString& path, std::optional<QByteArray>* content) {
    content->reset();
    if (pathprobe::probe(path).state == pathprobe::Probe::State::Missing &&
        pathprobe::probeEntry(path).state == pathprobe::Probe::State::Missing)
        return std::nullopt;
    content->emplace();
    return readReplaceable(path, &**content);
}

std::optional<Failure> locateModel(const QString& cfgPath, QString* modelFolder, QString* modelPath,
                                   bool* modelExists) {
    using State = aircraftfiles::Located::State;
    const QString aircraftFolder = GetPathName(cfgPath);
    modelFolder->clear();
    *modelPath = joinPath(joinPath(aircraftFolder, QLatin1String(kModelFolder)), QLatin1String(kModelFile));
    *modelExists = false;
    const aircraftfiles::Located folder = aircraftfiles::locateEntry(aircraftFolder, QLatin1String(kModelFolder));
    if (folder.state == State::Unreadable || folder.state == State::FolderUnreadable)
        return failure(Kind::FolderUnreadable, folder.path, folder.reason);
    if (folder.state == State::Missing || !folder.isFolder)
        return std::nullopt;
    *modelFolder = folder.path;
    const aircraftfiles::Located model = aircraftfiles::locateEntry(folder.path, QLatin1String(kModelFile));
    *modelPath = model.path;
    switch (model.state) {
    case State::FolderUnreadable:
        return failure(Kind::FolderUnreadable, model.path, model.reason);
    case State::Unreadable:
        return failure(Kind::ReadFailed, model.path, model.reason);
    case State::Found:
        *modelExists = true;
        break;
    case State::Missing:
        break;
    }
    return std::nullopt;
}

std::optional<Failure> plan(const Job& job, Plan* p) {
    *p = Plan{};
    QByteArray cfgContent;
    if (auto problem = readReplaceable(job.cfgPath, &cfgContent))
        return problem;
    if (isWideText(cfgContent))
        return failure(Kind::WideEncoding, job.cfgPath);

    // A copy whose title shows the model of another folder (model=xyz) would never show a variant
    // put into Model: none is made, and no model changes.
    std::optional<int> variant = wab::modelVariant(job.loads);
    if (const QString shown = aircraftfiles::modelOf(cfgContent); !shown.isEmpty()) {
        const QString name = QLatin1String(kModelFolder) + QLatin1Char('.') + shown;
        const QString found = aircraftfiles::findEntry(GetPathName(job.cfgPath), name);
        p->shownModelFolder = found.isEmpty() ? joinPath(GetPathName(job.cfgPath), name) : found;
        variant.reset();
    }

    QString modelFolder;
    QString modelPath;
    bool modelExists = false;
    if (auto problem = locateModel(job.cfgPath, &modelFolder, &modelPath, &modelExists)) {
        if (variant)
            return problem;
        modelFolder.clear(); // the model stays as it is and is not backed up now
    }

    if (variant) {
        const QString variantPath = job.programFolder + QStringLiteral("Models/%1.mdl").arg(*variant);
        if (auto problem = checkIsFile(variantPath, Kind::VariantMissing))
            return problem;
        QString reason;
        auto content = readWholeFile(variantPath, &reason);
        if (!content)
            return failure(Kind::ReadFailed, variantPath, reason);
        if (modelFolder.isEmpty())
            return failure(Kind::ModelFolderMissing, QFileInfo(modelPath).path());
        Change& model = p->model.emplace();
        model.path = modelPath;
        model.after = std::move(*content);
        model.from = variantPath;
        if (modelExists) {
            model.before.emplace();
            if (auto problem = readReplaceable(modelPath, &*model.before))
                return problem;
        } else if (auto problem = checkReplaceable(modelPath)) {
            // Not there yet: the variant becomes the model.
            return problem;
        }
        if (auto problem = refuseStandInOverModel(variantPath, modelPath, model.before))
            return problem;
    } else if (modelExists && pathprobe::probe(modelPath).state != pathprobe::Probe::State::File) {
        modelFolder.clear(); // not a file: never opened, and the export leaves it alone
    }

    QString modelBackup;
    if (auto problem = planBackups(job.cfgPath, modelFolder, modelPath, modelExists, &p->keeps, &modelBackup))
        return problem;
    if (p->model)
        p->model->backup = modelBackup;
    p->cfg.path = job.cfgPath;
    p->cfg.after = wab::rewriteWeightAndBalance(cfgContent, job.loads);
    p->cfg.before = std::move(cfgContent);
    p->cfg.backup = backups::pathOf(GetPathName(job.cfgPath), backups::kCfg);
    return std::nullopt;
}

// The files and folders to keep, then the files (see replaceFiles). A folder of the aircraft made
// for the files goes again when they could not be put in place.
std::optional<Failure> apply(const Plan& plan, const FileOps& ops) {
    if (plan.recheck) {
        // The files must still be what the question was about.
        for (const Change* change : {plan.model ? &*plan.model : nullptr, &plan.cfg}) {
            std::optional<QByteArray> now;
            if (change && (readIfThere(change->path, &now) || now != change->before))
                return failure(Kind::ChangedMeanwhile, change->path);
        }
        for (const Keep& k : plan.keeps) {
            if (k.ofAircraft && pathprobe::probeEntry(k.path).state != pathprobe::Probe::State::Missing)
                return failure(Kind::ChangedMeanwhile, k.path);
        }
    }
    QStringList madeFolders; // of the aircraft itself, which go again should the files not change
    std::optional<Failure> problem;
    for (const Keep& k : plan.keeps) {
        problem = keep(k, ops);
        if (problem)
            break;
        if (k.ofAircraft)
            madeFolders.prepend(k.path);
    }
    if (!problem)
        problem = replaceFiles(plan, ops);
    if (problem) {
        for (const QString& folder : madeFolders)
            QDir().rmdir(folder); // only while empty
    }
    return problem;
}

namespace {

// The export with the copy locked from the first read to the last write, so that no other instance
// changes it in between: its plan (*p, which the completion message reads), then its apply.
std::optional<Failure> lockedWrite(const Job& job, const FileOps& ops, Plan* p) {
    const QString copyFolder = GetPathName(job.cfgPath);
    const copylock::Lock lock(copyFolder, copylock::Lock::Mode::Exclusive);
    if (lock.busy())
        return failure(Kind::Busy, copyFolder);
    if (auto problem = plan(job, p))
        return problem;
    return apply(*p, ops);
}

} // namespace

std::optional<Failure> write(const Job& job, const FileOps& ops) {
    Plan p;
    return lockedWrite(job, ops, &p);
}

Report exportLoading(const Job& job, const FileOps& ops) {
    Plan p;
    if (const auto failure = lockedWrite(job, ops, &p))
        return {false, describe(*failure)};
    Report report{true, {{QStringLiteral("strWritten"), {}}}};
    if (!p.shownModelFolder.isEmpty())
        report.message += {QStringLiteral("strWrittenOtherModel"), {QDir::toNativeSeparators(p.shownModelFolder)}};
    else if (!wab::modelVariant(job.loads))
        report.message += {{QStringLiteral("strWrittenModelKept"), {}}, {QStringLiteral("strWrittenModelEarlier"), {}}};
    return report;
}

} // namespace exportwriter
