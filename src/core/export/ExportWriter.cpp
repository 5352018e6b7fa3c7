// The export's own plan: what it reads, checks and makes of the copy's files (see ExportWriter.h).
#include "ExportWriter.h"

#include "AircraftFiles.h"
#include "Backups.h"
#include "PlanChecks.h"
#include "StandIn.h"
#include "core/common/AircraftNames.h"
#include "core/common/AtomicFile.h"
#include "core/common/CopyLock.h"
#include "core/common/PathProbe.h"
#include "core/common/Paths.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace exportwriter {
namespace {

using fileplan::Change;
using fileplan::Failure;
using fileplan::Keep;
using Kind = Failure::Kind;
using fileplan::failure;

// Plans the copy's backups that are not there yet: its aircraft.cfg as it is now, and, where the
// copy has a Model folder, its model (or the note that it has none), and the record of the owner,
// group and mode of both. They are made before any file of the aircraft changes, so they
// hold the files as installed; the ones that are there already did so at the first export and
// stay. *modelBackup is where the model as installed is kept.
std::optional<Failure> planBackups(const QString& cfgPath, const QString& modelFolder, const QString& modelPath,
                                   bool modelExists, QList<Keep>* keeps, QString* modelBackup) {
    using Place = backups::Place;
    const QString copyFolder = GetPathName(cfgPath);
    const Place folder = backups::lookAtFolder(copyFolder);
    if (auto problem = fileplan::trouble(folder))
        return problem;
    const qsizetype before = keeps->size();
    if (folder.state == Place::State::Nothing)
        keeps->append({Keep::How::Folder, folder.path, copyFolder, {}});

    const Place cfg = backups::look(copyFolder, backups::kCfg);
    if (auto problem = fileplan::trouble(cfg))
        return problem;
    const bool first = cfg.state == Place::State::Nothing;
    if (first)
        keeps->append({Keep::How::Copy, cfg.path, cfgPath, {}});

    QString modelRecorded; // the model whose owner, group and mode go into the record
    if (!modelFolder.isEmpty()) {
        fileplan::ModelBackups places;
        if (auto problem = fileplan::lookAtModelBackups(copyFolder, &places))
            return problem;
        if (places.installed.state == Place::State::Made || (!places.kept() && modelExists))
            *modelBackup = places.installed.path;
        if (!places.kept() && modelExists) {
            keeps->append({Keep::How::Copy, places.installed.path, modelPath, {}});
            modelRecorded = modelPath;
        } else if (!places.kept()) {
            keeps->append(
                {Keep::How::Data, places.absent.path, cfgPath, "There was no model before the first export.\r\n"});
        }
    }

    // The record of the owners, groups and modes as installed, whenever it is missing (an earlier
    // export may have been stopped after the first backups): from the backups already made, which
    // carry the installed files' own, else from the files as they are now, which are the installed
    // ones since their backups are made in this same plan.
    const Place record = backups::look(copyFolder, backups::kAttributes);
    if (auto problem = fileplan::trouble(record))
        return problem;
    if (record.state == Place::State::Nothing) {
        const QByteArray attributes = backups::attributesRecord(first ? cfgPath : cfg.path,
                                                                modelRecorded.isEmpty() ? *modelBackup : modelRecorded);
        if (!attributes.isEmpty())
            keeps->append({Keep::How::Data, record.path, cfgPath, attributes});
    }
    // The user may protect the backups as any other folder.
    if (folder.state == Place::State::Made && keeps->size() > before && !atomicfile::canCreateIn(folder.path))
        return failure(Kind::FolderReadOnly, folder.path);
    return std::nullopt;
}

// Keeps a model the user put in by hand since the first export (see fileplan::programsModel())
// before the variant replaces it: under a dated name of its own in the backups' folder, which no
// later export or restore takes. At the first export the model is the one as installed, which the
// backups keep anyway.
std::optional<Failure> planOwnModel(const Job& job, const Change& model, QList<Keep>* keeps, QString* kept) {
    using Place = backups::Place;
    const QString copyFolder = GetPathName(job.cfgPath);
    fileplan::ModelBackups places;
    if (auto problem = fileplan::lookAtModelBackups(copyFolder, &places))
        return problem;
    if (!places.kept())
        return std::nullopt;
    std::optional<QByteArray> installedModel;
    if (places.installed.state == Place::State::Made) {
        installedModel.emplace();
        if (auto problem = fileplan::readExisting(places.installed.path, &*installedModel))
            return problem;
    }
    if (fileplan::programsModel(*model.before, installedModel, job.programFolder))
        return std::nullopt;
    const QString folder = backups::folderOf(copyFolder);
    if (!atomicfile::canCreateIn(folder))
        return failure(Kind::FolderReadOnly, folder);
    *kept = backups::keepingPlace(copyFolder, QLatin1String(aircraftnames::kModelStem),
                                  QLatin1String(aircraftnames::kModelExtension), QDateTime::currentDateTime(),
                                  backups::kBeforeExport);
    keeps->append({Keep::How::Data, *kept, model.path, *model.before});
    return std::nullopt;
}

} // namespace

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

std::optional<Failure> plan(const Job& job, Plan* plan) {
    *plan = Plan{};
    fileplan::Plan* p = &plan->files;
    QByteArray cfgContent;
    if (auto problem = fileplan::readReplaceable(job.cfgPath, &cfgContent))
        return problem;
    if (isWideText(cfgContent))
        return failure(Kind::WideEncoding, job.cfgPath);
    if (auto problem = fileplan::checkNotShipped(job.cfgPath, job.programFolder))
        return problem;

    // A copy whose title shows the model of another folder (model=xyz) would never show a variant
    // put into Model: none is made, and no model changes.
    std::optional<int> variant = wab::modelVariant(job.loads);
    if (const QString shown = aircraftfiles::modelOf(cfgContent); !shown.isEmpty()) {
        const QString name = QLatin1String(aircraftnames::kModelFolder) + QLatin1Char('.') + shown;
        const QString found = aircraftfiles::findEntry(GetPathName(job.cfgPath), name);
        plan->shownModelFolder = found.isEmpty() ? joinPath(GetPathName(job.cfgPath), name) : found;
        variant.reset();
    }

    QString modelFolder;
    QString modelPath;
    bool modelExists = false;
    if (auto problem = fileplan::locateModel(job.cfgPath, &modelFolder, &modelPath, &modelExists)) {
        if (variant)
            return problem;
        modelFolder.clear(); // the model stays as it is and is not backed up now
    }
    if (auto problem = fileplan::checkNotShipped(modelPath, job.programFolder); problem && variant)
        return problem;

    if (variant) {
        // The variant is read once, here, and its bytes are what the apply writes.
        const QString variantPath = job.programFolder + aircraftnames::variant(*variant);
        QByteArray content;
        if (auto problem = fileplan::readExisting(variantPath, &content, Kind::VariantMissing))
            return problem;
        if (modelFolder.isEmpty())
            return failure(Kind::ModelFolderMissing, QFileInfo(modelPath).path());
        Change& model = p->model.emplace();
        model.path = modelPath;
        model.after = std::move(content);
        if (modelExists) {
            model.before.emplace();
            // Often the model is this variant already (the same seats taken, other weights): it is
            // then read without taking memory of its own.
            if (auto problem = fileplan::readReplaceable(modelPath, &*model.before, &*model.after))
                return problem;
        } else if (auto problem = fileplan::checkReplaceable(modelPath)) {
            // Not there yet: the variant becomes the model.
            return problem;
        }
        if (auto problem = refuseStandInOverModel(variantPath, *model.after, modelPath, model.before))
            return problem;
    } else if (modelExists && pathprobe::probe(modelPath).state != pathprobe::Probe::State::File) {
        modelFolder.clear(); // not a file: never opened, and the export leaves it alone
    }

    QString modelBackup;
    if (auto problem = planBackups(job.cfgPath, modelFolder, modelPath, modelExists, &p->keeps, &modelBackup))
        return problem;
    if (p->model && p->model->before) {
        if (auto problem = planOwnModel(job, *p->model, &p->keeps, &plan->keptModel))
            return problem;
    }
    if (p->model)
        p->model->backup = modelBackup;
    p->cfg.path = job.cfgPath;
    p->cfg.after = wab::rewriteWeightAndBalance(cfgContent, job.loads);
    p->cfg.before = std::move(cfgContent);
    p->cfg.backup = backups::pathOf(GetPathName(job.cfgPath), backups::kCfg);
    return std::nullopt;
}

namespace {

// The export with the copy locked from the first read to the last write, so that no other instance
// changes it in between: its plan (*p, which the completion message reads), then its apply.
std::optional<Failure> lockedWrite(const Job& job, const fileplan::FileOps& ops, Plan* p) {
    const QString copyFolder = GetPathName(job.cfgPath);
    const copylock::Lock lock(copyFolder, copylock::Lock::Mode::Exclusive);
    if (lock.busy())
        return failure(Kind::Busy, copyFolder);
    if (auto problem = plan(job, p))
        return problem;
    return fileplan::apply(p->files, ops);
}

} // namespace

std::optional<Failure> write(const Job& job, const fileplan::FileOps& ops) {
    Plan p;
    return lockedWrite(job, ops, &p);
}

fileplan::Report exportLoading(const Job& job, const fileplan::FileOps& ops) {
    Plan p;
    if (const auto failure = lockedWrite(job, ops, &p))
        return {false, fileplan::describe(*failure)};
    fileplan::Report report{true, {{QStringLiteral("strWritten"), {}}}};
    if (!p.keptModel.isEmpty())
        report.message += {QStringLiteral("strWrittenModelOwnKept"),
                           {QDir::toNativeSeparators(p.files.model->path), QDir::toNativeSeparators(p.keptModel)}};
    if (!p.shownModelFolder.isEmpty())
        report.message += {QStringLiteral("strWrittenOtherModel"), {QDir::toNativeSeparators(p.shownModelFolder)}};
    else if (!wab::modelVariant(job.loads))
        report.message += {{QStringLiteral("strWrittenModelKept"), {}}, {QStringLiteral("strWrittenModelEarlier"), {}}};
    return report;
}

} // namespace exportwriter
