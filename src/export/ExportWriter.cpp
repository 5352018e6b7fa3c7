#include "ExportWriter.h"

#include "AircraftFiles.h"
#include "common/AtomicFile.h"
#include "common/FileRead.h"
#include "common/PathProbe.h"
#include "common/Paths.h"

#include <QFile>
#include <QFileInfo>

#include <utility>

namespace exportwriter {
namespace {

using Kind = Failure::Kind;

Failure failure(Kind kind, const QString& path, const QString& reason = QString()) {
    Failure made{};
    made.kind = kind;
    made.path = path;
    made.reason = reason;
    return made;
}

// True when the file at `path` can be read and holds exactly `content`.
bool holds(const QString& path, const QByteArray& content) {
    const auto now = readWholeFile(path);
    return now && *now == content;
}

bool hasWriteBits(const QFileInfo& info) {
    return (info.permissions() & (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther)) != 0;
}

// Whether an existing file may be replaced. A file without any write permission is read-only for
// everybody, administrators included: it is refused rather than replaced behind its protection.
// The temporary file needs a writable folder beside it, and the new file must be able to keep the
// old one's owner and group.
std::optional<Failure> checkReplaceable(const QString& path) {
    const QFileInfo target(atomicfile::resolvedTarget(path));
    const bool exists = target.exists();
    if (exists && (!target.isWritable() || !hasWriteBits(target)))
        return failure(Kind::ReadOnly, path);
    const QFileInfo folder(target.absolutePath());
    bool folderWritable = folder.isWritable();
#ifdef Q_OS_UNIX
    // On Windows a folder's read-only attribute does not keep files from being created in it.
    folderWritable = folderWritable && hasWriteBits(folder);
#endif
    if (!folderWritable)
        return failure(Kind::FolderReadOnly, folder.filePath());
    if (exists && !atomicfile::canKeepOwner(target.filePath()))
        return failure(Kind::OwnerNotKept, path);
    return std::nullopt;
}

// The failure for a file that is not there as a file, or std::nullopt when it is one.
std::optional<Failure> checkIsFile(const QString& path, Kind whenMissing) {
    const pathprobe::Probe probe = pathprobe::probe(path);
    switch (probe.state) {
    case pathprobe::Probe::State::Missing:
        return failure(whenMissing, path);
    case pathprobe::Probe::State::Unreadable:
        return failure(Kind::ReadFailed, path, probe.reason);
    case pathprobe::Probe::State::Folder:
        return failure(Kind::NotAFile, path);
    case pathprobe::Probe::State::File:
        break;
    }
    return std::nullopt;
}

// An existing file that must be read whole before it is replaced.
std::optional<Failure> readReplaceable(const QString& path, QByteArray* content) {
    if (auto problem = checkIsFile(path, Kind::FileMissing))
        return problem;
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
    return existing.isEmpty() ? joinPath(folder, backupName(path)) : existing;
}

// Keeps the file as it is beside it, unless a backup (in any letter case) is already there: that
// one holds the file as it was before the first export and stays.
std::optional<Failure> backUpOnce(const QString& path, const FileOps& ops) {
    const QString folder = QFileInfo(path).path();
    if (!aircraftfiles::findEntry(folder, backupName(path)).isEmpty())
        return std::nullopt;
    const QString backup = joinPath(folder, backupName(path));
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
    case Kind::FolderUnreadable:
        return QStringLiteral("strExportFolderUnreadable");
    case Kind::OwnerNotKept:
        return QStringLiteral("strExportOwnerNotKept");
    case Kind::WriteFailed:
        return QStringLiteral("strExportWriteFailed");
    case Kind::BackupFailed:
        return QStringLiteral("strExportBackupFailed");
    }
    return {};
}

bool hasReason(Failure::Kind kind) {
    return kind == Kind::ReadFailed || kind == Kind::FolderUnreadable || kind == Kind::WriteFailed ||
           kind == Kind::BackupFailed;
}

QList<MessagePart> describe(const Failure& failure) {
    QStringList details{failure.path};
    if (hasReason(failure.kind))
        details.append(failure.reason);
    QList<MessagePart> parts{{messageKey(failure.kind), details}};
    if (failure.nothingChanged()) {
        parts.append({QStringLiteral("strExportNothingChanged"), {}});
    } else if (!failure.unrestoredCfg.isEmpty()) {
        parts.append({QStringLiteral("strExportCfgNotRestored"),
                      {failure.unrestoredCfg, failure.cfgRestoreReason, failure.cfgBackup}});
        if (!failure.newModel.isEmpty() && failure.newModelBackup.isEmpty())
            parts.append({QStringLiteral("strExportModelNew"), {failure.newModel}});
        else if (!failure.newModel.isEmpty())
            parts.append({QStringLiteral("strExportModelNewBackup"), {failure.newModel, failure.newModelBackup}});
    } else if (failure.modelWasCreated) {
        parts.append({QStringLiteral("strExportModelNotRemoved"), {failure.unrestoredModel, failure.restoreReason}});
    } else if (failure.modelBackup.isEmpty()) {
        parts.append({QStringLiteral("strExportModelNotPutBack"), {failure.unrestoredModel, failure.restoreReason}});
    } else {
        parts.append({QStringLiteral("strExportModelNotRestored"),
                      {failure.unrestoredModel, failure.restoreReason, failure.modelBackup}});
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

    QString variantPath;
    QString modelPath;
    std::optional<QByteArray> modelContent;
    if (const auto variant = wab::modelVariant(job.loads)) {
        variantPath = job.programFolder + QStringLiteral("Models/%1.mdl").arg(*variant);
        if (auto problem = checkIsFile(variantPath, Kind::VariantMissing))
            return problem;
        QFile variantFile(variantPath);
        if (!variantFile.open(QIODevice::ReadOnly))
            return failure(Kind::ReadFailed, variantPath, variantFile.errorString());

        using State = aircraftfiles::Located::State;
        const QString aircraftFolder = GetPathName(job.cfgPath);
        const aircraftfiles::Located modelFolder =
            aircraftfiles::locateEntry(aircraftFolder, QLatin1String(kModelFolder));
        if (modelFolder.state == State::Unreadable || modelFolder.state == State::FolderUnreadable)
            return failure(Kind::FolderUnreadable, modelFolder.path, modelFolder.reason);
        if (modelFolder.state == State::Missing || !modelFolder.isFolder)
            return failure(Kind::ModelFolderMissing, joinPath(aircraftFolder, QLatin1String(kModelFolder)));
        const aircraftfiles::Located model = aircraftfiles::locateEntry(modelFolder.path, QLatin1String(kModelFile));
        modelPath = model.path;
        switch (model.state) {
        case State::Missing:
            // Not there yet: the variant becomes the model.
            if (auto problem = checkReplaceable(modelPath))
                return problem;
            break;
        case State::FolderUnreadable:
            return failure(Kind::FolderUnreadable, model.path, model.reason);
        case State::Unreadable:
            return failure(Kind::ReadFailed, model.path, model.reason);
        case State::Found:
            modelContent.emplace();
            if (auto problem = readReplaceable(modelPath, &*modelContent))
                return problem;
            break;
        }
    }
    const QByteArray cfgNew = wab::rewriteWeightAndBalance(cfgContent, job.loads);

    if (auto problem = backUpOnce(job.cfgPath, ops))
        return problem;
    if (modelContent && !isShippedVariant(job.programFolder, *modelContent)) {
        if (auto problem = backUpOnce(modelPath, ops))
            return problem;
    }
    // Where the model as installed is kept; empty when it has no backup.
    const auto modelBackup = [&] {
        return aircraftfiles::findEntry(QFileInfo(modelPath).path(), backupName(modelPath));
    };

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
            problem.modelWasCreated = !modelContent;
            problem.modelBackup = modelBackup();
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
            if (!ops.replaceWithData(job.cfgPath, cfgContent, &why) && holds(job.cfgPath, cfgNew)) {
                // The new loading stays in aircraft.cfg; the new model stays with it.
                problem.unrestoredCfg = job.cfgPath;
                problem.cfgRestoreReason = why;
                problem.cfgBackup = backupPath(job.cfgPath);
                if (!variantPath.isEmpty()) {
                    problem.newModel = modelPath;
                    problem.newModelBackup = modelBackup();
                }
                return problem;
            }
        }
        // The model must not show a loading that aircraft.cfg does not have.
        if (!variantPath.isEmpty())
            putModelBack(problem);
        return problem;
    }
    return std::nullopt;
}

} // namespace exportwriter
