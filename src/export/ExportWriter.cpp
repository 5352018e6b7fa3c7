#include "ExportWriter.h"

#include "AircraftFiles.h"
#include "Backups.h"
#include "Replacement.h"
#include "StandIn.h"
#include "common/AtomicFile.h"
#include "common/FileRead.h"
#include "common/PathProbe.h"
#include "common/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace exportwriter {
namespace {

using Kind = Failure::Kind;

// Makes the copy's backups that are not there yet: its aircraft.cfg as it is now, and, where the
// copy has a Model folder, its model (or the note that it has none). They are made before any file
// of the aircraft changes, so they hold the files as installed; the ones that are there already
// did so at the first export and stay.
std::optional<Failure> backUpOnce(const QString& cfgPath, const QString& modelFolder, const QString& modelPath,
                                  bool modelExists, const FileOps& ops) {
    using Place = backups::Place;
    const QString copyFolder = GetPathName(cfgPath);
    QString reason;
    const auto trouble = [](const Place& place) -> std::optional<Failure> {
        if (place.state == Place::State::NotAFile)
            return failure(Kind::NotAFile, place.path);
        if (place.state == Place::State::Unreadable)
            return failure(Kind::ReadFailed, place.path, place.reason);
        return std::nullopt;
    };

    const Place folder = backups::lookAtFolder(copyFolder);
    if (auto problem = trouble(folder))
        return problem;
    if (folder.state == Place::State::Nothing && !ops.createFolder(folder.path, copyFolder, &reason))
        return failure(Kind::BackupFailed, folder.path, reason);

    const Place cfg = backups::look(copyFolder, backups::kCfg);
    if (auto problem = trouble(cfg))
        return problem;
    if (cfg.state == Place::State::Nothing && !ops.createCopy(cfgPath, cfg.path, &reason))
        return failure(Kind::BackupFailed, cfg.path, reason);

    if (modelFolder.isEmpty())
        return std::nullopt;
    const Place model = backups::look(copyFolder, backups::kModel);
    const Place noModel = backups::look(copyFolder, backups::kNoModel);
    for (const Place& place : {model, noModel}) {
        if (auto problem = trouble(place))
            return problem;
    }
    if (model.state == Place::State::Made || noModel.state == Place::State::Made)
        return std::nullopt;
    if (modelExists) {
        if (!ops.createCopy(modelPath, model.path, &reason))
            return failure(Kind::BackupFailed, model.path, reason);
    } else if (!ops.createWithData(noModel.path, "There was no model before the first export.\r\n", cfgPath, &reason)) {
        return failure(Kind::BackupFailed, noModel.path, reason);
    }
    return std::nullopt;
}

// The number of a variant file "Models/<n>.mdl".
int variantNumber(const QString& variantPath) {
    return QFileInfo(variantPath).completeBaseName().toInt();
}

} // namespace

QString messageKey(Failure::Kind kind) {
    switch (kind) {
    case Kind::FileMissing:
        return QStringLiteral("strExportFileMissing");
    case Kind::NotAFile:
        return QStringLiteral("strExportNotAFile");
    case Kind::ReadOnly:
        return QStringLiteral("strExportReadOnly");
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
    }
    return {};
}

bool hasReason(Failure::Kind kind) {
    return kind == Kind::ReadFailed || kind == Kind::FolderUnreadable || kind == Kind::WriteFailed ||
           kind == Kind::BackupFailed || kind == Kind::StandInVariant;
}

QList<MessagePart> describe(const Failure& failure) {
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
    } else if (!failure.unrestoredCfg.isEmpty()) {
        // A restore's new files are the files as installed, which its messages call them.
        const bool restore = failure.operation == Failure::Operation::Restore;
        parts.append({restore ? QStringLiteral("strRestoreCfgNotRestored") : QStringLiteral("strExportCfgNotRestored"),
                      {native(failure.unrestoredCfg), failure.cfgRestoreReason, native(failure.cfgBackup)}});
        if (!failure.newModel.isEmpty() && (restore || failure.newModelBackup.isEmpty()))
            parts.append({restore ? QStringLiteral("strRestoreModelNew") : QStringLiteral("strExportModelNew"),
                          {native(failure.newModel)}});
        else if (!failure.newModel.isEmpty())
            parts.append({QStringLiteral("strExportModelNewBackup"),
                          {native(failure.newModel), native(failure.newModelBackup)}});
    } else if (failure.modelWasCreated) {
        parts.append(
            {QStringLiteral("strExportModelNotRemoved"), {native(failure.unrestoredModel), failure.restoreReason}});
    } else if (failure.modelBackup.isEmpty()) {
        parts.append(
            {QStringLiteral("strExportModelNotPutBack"), {native(failure.unrestoredModel), failure.restoreReason}});
    } else {
        parts.append({QStringLiteral("strExportModelNotRestored"),
                      {native(failure.unrestoredModel), failure.restoreReason, native(failure.modelBackup)}});
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

std::optional<Failure> write(const Job& job, const FileOps& ops) {
    // First everything that can be known to fail, before any file changes.
    QByteArray cfgContent;
    if (auto problem = readReplaceable(job.cfgPath, &cfgContent))
        return problem;
    if (isWideText(cfgContent))
        return failure(Kind::WideEncoding, job.cfgPath);

    QString modelFolder;
    QString modelPath;
    bool modelExists = false;
    const auto variant = wab::modelVariant(job.loads);
    if (auto problem = locateModel(job.cfgPath, &modelFolder, &modelPath, &modelExists)) {
        if (variant)
            return problem;
        modelFolder.clear(); // the model stays as it is and is not backed up now
    }

    std::optional<Replacement> model;
    QString variantPath;
    if (variant) {
        variantPath = job.programFolder + QStringLiteral("Models/%1.mdl").arg(*variant);
        if (auto problem = checkIsFile(variantPath, Kind::VariantMissing))
            return problem;
        QFile variantFile(variantPath);
        if (!variantFile.open(QIODevice::ReadOnly))
            return failure(Kind::ReadFailed, variantPath, variantFile.errorString());
        if (modelFolder.isEmpty())
            return failure(Kind::ModelFolderMissing, QFileInfo(modelPath).path());
        model.emplace();
        model->path = modelPath;
        if (modelExists) {
            model->before.emplace();
            if (auto problem = readReplaceable(modelPath, &*model->before))
                return problem;
        } else if (auto problem = checkReplaceable(modelPath)) {
            // Not there yet: the variant becomes the model.
            return problem;
        }
        if (auto problem = refuseStandInOverModel(variantPath, modelPath, model->before))
            return problem;
        model->put = [&ops, variantPath, modelPath](QString* reason) {
            return ops.replaceWithCopy(variantPath, modelPath, reason);
        };
        model->holdsNew = [variantPath, modelPath, before = model->before] {
            const auto content = readWholeFile(variantPath);
            return content && before != content && holds(modelPath, *content);
        };
    } else if (modelExists && pathprobe::probe(modelPath).state != pathprobe::Probe::State::File) {
        modelFolder.clear(); // not a file: never opened, and the export leaves it alone
    }
    const QByteArray cfgNew = wab::rewriteWeightAndBalance(cfgContent, job.loads);

    if (auto problem = backUpOnce(job.cfgPath, modelFolder, modelPath, modelExists, ops))
        return problem;
    const QString copyFolder = GetPathName(job.cfgPath);
    if (model && backups::look(copyFolder, backups::kModel).state == backups::Place::State::Made)
        model->backup = backups::pathOf(copyFolder, backups::kModel);

    Replacement cfg;
    cfg.path = job.cfgPath;
    cfg.before = cfgContent;
    cfg.put = [&](QString* reason) { return ops.replaceWithData(job.cfgPath, cfgNew, reason); };
    cfg.holdsNew = [&] { return cfgNew != cfgContent && holds(job.cfgPath, cfgNew); };
    cfg.backup = backups::pathOf(copyFolder, backups::kCfg);
    return replaceInTurn(model, cfg, ops);
}

} // namespace exportwriter
