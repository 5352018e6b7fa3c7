#include "ExportWriter.h"

#include "AircraftFiles.h"
#include "common/AtomicFile.h"
#include "common/FileRead.h"

#include <QFile>
#include <QFileInfo>

#include <utility>

namespace exportwriter {
namespace {

using Kind = Failure::Kind;

Failure failure(Kind kind, const QString& path, const QString& reason = QString()) {
    return {kind, path, reason, {}, {}, {}};
}

// True when the file at `path` can be read and holds exactly `content`.
bool holds(const QString& path, const QByteArray& content) {
    const auto now = readWholeFile(path);
    return now && *now == content;
}

// Whether an existing file may be replaced: a read-only file is refused rather than replaced behind
// its protection, and the temporary file needs a writable folder beside it.
std::optional<Failure> checkReplaceable(const QString& path) {
    const QFileInfo target(atomicfile::resolvedTarget(path));
    if (target.exists() && !target.isWritable())
        return failure(Kind::ReadOnly, path);
    const QFileInfo folder(target.absolutePath());
    if (!folder.isWritable())
        return failure(Kind::FolderReadOnly, folder.filePath());
    return std::nullopt;
}

// An existing file that must be read whole before it is replaced.
std::optional<Failure> readReplaceable(const QString& path, QByteArray* content) {
    const QFileInfo info(path);
    if (!info.exists())
        return failure(Kind::FileMissing, path);
    if (info.isDir())
        return failure(Kind::NotAFile, path);
    QString reason;
    auto data = readWholeFile(path, &reason);
    if (!data)
        return failure(Kind::ReadFailed, path, reason);
    *content = std::move(*data);
    return checkReplaceable(path);
}

QString backupName(const QString& path) {
    return QFileInfo(path).fileName() + QLatin1String(kBackupSuffix);
}

QString backupPath(const QString& path) {
    const QString folder = QFileInfo(path).path();
    const QString existing = aircraftfiles::findEntry(folder, backupName(path));
    return existing.isEmpty() ? aircraftfiles::joinPath(folder, backupName(path)) : existing;
}

// Keeps the file as it is beside it, unless a backup (in any letter case) is already there: that
// one holds the file as it was before the first export and stays.
std::optional<Failure> backUpOnce(const QString& path, const FileOps& ops) {
    const QString folder = QFileInfo(path).path();
    if (!aircraftfiles::findEntry(folder, backupName(path)).isEmpty())
        return std::nullopt;
    const QString backup = aircraftfiles::joinPath(folder, backupName(path));
    QString reason;
    if (!ops.replaceWithCopy(path, backup, &reason))
        return failure(Kind::BackupFailed, backup, reason);
    return std::nullopt;
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
    case Kind::WriteFailed:
        return QStringLiteral("strExportWriteFailed");
    case Kind::BackupFailed:
        return QStringLiteral("strExportBackupFailed");
    }
    return {};
}

bool hasReason(Failure::Kind kind) {
    return kind == Kind::ReadFailed || kind == Kind::WriteFailed || kind == Kind::BackupFailed;
}

FileOps FileOps::atomic() {
    return {atomicfile::replaceWithData, atomicfile::replaceWithCopy};
}

std::optional<Failure> write(const Job& job, const FileOps& ops) {
    // First everything that can be known to fail, before any file changes.
    QByteArray cfgContent;
    if (auto problem = readReplaceable(job.cfgPath, &cfgContent))
        return problem;

    QString variantPath;
    QString modelPath;
    std::optional<QByteArray> modelContent;
    if (const auto variant = wab::modelVariant(job.coPilot, job.paxLeft, job.paxRight)) {
        variantPath = job.programFolder + QStringLiteral("Models/%1.mdl").arg(*variant);
        const QFileInfo variantInfo(variantPath);
        if (!variantInfo.exists())
            return failure(Kind::VariantMissing, variantPath);
        if (variantInfo.isDir())
            return failure(Kind::NotAFile, variantPath);
        QFile variantFile(variantPath);
        if (!variantFile.open(QIODevice::ReadOnly))
            return failure(Kind::ReadFailed, variantPath, variantFile.errorString());

        const QString aircraftFolder = aircraftfiles::GetPathName(job.cfgPath);
        const QString modelFolder = aircraftfiles::findEntry(aircraftFolder, QLatin1String(kModelFolder));
        if (modelFolder.isEmpty() || !QFileInfo(modelFolder).isDir())
            return failure(Kind::ModelFolderMissing,
                           aircraftfiles::joinPath(aircraftFolder, QLatin1String(kModelFolder)));
        modelPath = aircraftfiles::findEntry(modelFolder, QLatin1String(kModelFile));
        if (modelPath.isEmpty()) {
            // Not there yet: the variant becomes the model.
            modelPath = aircraftfiles::joinPath(modelFolder, QLatin1String(kModelFile));
            if (auto problem = checkReplaceable(modelPath))
                return problem;
        } else {
            modelContent.emplace();
            if (auto problem = readReplaceable(modelPath, &*modelContent))
                return problem;
        }
    }
    const QByteArray cfgNew = wab::rewriteWeightAndBalance(cfgContent, job.loads);

    if (auto problem = backUpOnce(job.cfgPath, ops))
        return problem;
    if (modelContent) {
        if (auto problem = backUpOnce(modelPath, ops))
            return problem;
    }

    // Takes the model back to what it was before this export; a problem says when it cannot.
    const auto putModelBack = [&](Failure& problem) {
        QString why;
        bool restored = false;
        if (modelContent) {
            restored = ops.replaceWithData(modelPath, *modelContent, &why);
        } else {
            QFile created(modelPath);
            restored = created.remove();
            why = created.errorString();
        }
        if (!restored) {
            problem.unrestoredModel = modelPath;
            problem.restoreReason = why;
            if (modelContent)
                problem.modelBackup = backupPath(modelPath);
        }
    };

    // A replacement can fail after its rename, when the folder cannot be synced: the new file is
    // in place then all the same, and is taken back like any other step already done.
    QString reason;
    if (!variantPath.isEmpty() && !ops.replaceWithCopy(variantPath, modelPath, &reason)) {
        Failure problem = failure(Kind::WriteFailed, modelPath, reason);
        const auto variant = readWholeFile(variantPath);
        if (variant && (!modelContent || *modelContent != *variant) && holds(modelPath, *variant))
            putModelBack(problem);
        return problem;
    }

    if (!ops.replaceWithData(job.cfgPath, cfgNew, &reason)) {
        Failure problem = failure(Kind::WriteFailed, job.cfgPath, reason);
        if (cfgNew != cfgContent && holds(job.cfgPath, cfgNew)) {
            QString why;
            ops.replaceWithData(job.cfgPath, cfgContent, &why);
        }
        // The model must not show a loading that aircraft.cfg does not have; should the new
        // aircraft.cfg have stayed, the new model stays with it.
        if (!variantPath.isEmpty() && (cfgNew == cfgContent || !holds(job.cfgPath, cfgNew)))
            putModelBack(problem);
        return problem;
    }
    return std::nullopt;
}

} // namespace exportwriter
