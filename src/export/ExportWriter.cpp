#include "ExportWriter.h"

#include "AircraftFiles.h"
#include "Replacement.h"
#include "StandIn.h"
#include "common/AtomicFile.h"
#include "common/FileRead.h"
#include "common/PathProbe.h"
#include "common/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <utility>

namespace exportwriter {
namespace {

using Kind = Failure::Kind;

// Keeps the file as it is beside it, unless a backup (in any letter case) is already there: that
// one holds the file as it was before the first export and stays.
std::optional<Failure> backUpOnce(const QString& path, const FileOps& ops) {
    if (!findBackup(path).isEmpty())
        return std::nullopt;
    const QString backup = joinPath(QFileInfo(path).path(), backupName(path));
    QString reason;
    if (!ops.replaceWithCopy(path, backup, &reason))
        return failure(Kind::BackupFailed, backup, reason);
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

FileOps FileOps::atomic() {
    return {atomicfile::replaceWithData, atomicfile::replaceWithCopy};
}

bool isShippedVariant(const QString& programFolder, const QByteArray& content) {
    for (int n = 1; n <= 5; ++n) {
        const QString variant = programFolder + QStringLiteral("Models/%1.mdl").arg(n);
        if (QFileInfo(variant).size() != content.size())
            continue;
        const auto shipped = readWholeFile(variant);
        if (shipped && *shipped == content)
            return true;
    }
    return false;
}

std::optional<Failure> write(const Job& job, const FileOps& ops) {
    // First everything that can be known to fail, before any file changes.
    QByteArray cfgContent;
    if (auto problem = readReplaceable(job.cfgPath, &cfgContent))
        return problem;

    std::optional<Replacement> model;
    QString variantPath;
    if (const auto variant = wab::modelVariant(job.loads)) {
        variantPath = job.programFolder + QStringLiteral("Models/%1.mdl").arg(*variant);
        if (auto problem = checkIsFile(variantPath, Kind::VariantMissing))
            return problem;
        QFile variantFile(variantPath);
        if (!variantFile.open(QIODevice::ReadOnly))
            return failure(Kind::ReadFailed, variantPath, variantFile.errorString());

        QString modelFolder;
        QString modelPath;
        bool modelExists = false;
        if (auto problem = locateModel(job.cfgPath, &modelFolder, &modelPath, &modelExists))
            return problem;
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
    }
    const QByteArray cfgNew = wab::rewriteWeightAndBalance(cfgContent, job.loads);

    if (auto problem = backUpOnce(job.cfgPath, ops))
        return problem;
    if (model && model->before && !isShippedVariant(job.programFolder, *model->before)) {
        if (auto problem = backUpOnce(model->path, ops))
            return problem;
    }
    if (model)
        model->backup = findBackup(model->path);

    Replacement cfg;
    cfg.path = job.cfgPath;
    cfg.before = cfgContent;
    cfg.put = [&](QString* reason) { return ops.replaceWithData(job.cfgPath, cfgNew, reason); };
    cfg.holdsNew = [&] { return cfgNew != cfgContent && holds(job.cfgPath, cfgNew); };
    cfg.backup = findBackup(job.cfgPath);
    return replaceInTurn(model, cfg, ops);
}

} // namespace exportwriter
