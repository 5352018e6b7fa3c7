#include "Replacement.h"

#include "AircraftFiles.h"
#include "common/AtomicFile.h"
#include "common/FileRead.h"
#include "common/PathProbe.h"
#include "common/Paths.h"

#include <QFile>
#include <QFileInfo>

#include <utility>

namespace exportwriter {

using Kind = Failure::Kind;

namespace {

bool hasWriteBits(const QFileInfo& info) {
    return (info.permissions() & (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther)) != 0;
}

} // namespace

Failure failure(Kind kind, const QString& path, const QString& reason) {
    Failure made{};
    made.kind = kind;
    made.path = path;
    made.reason = reason;
    return made;
}

bool holds(const QString& path, const QByteArray& content) {
    const auto now = readWholeFile(path);
    return now && *now == content;
}

std::optional<Failure> checkReplaceable(const QString& path) {
    const QFileInfo target(atomicfile::resolvedTarget(path));
    const bool exists = target.exists();
    if (exists && (!target.isWritable() || !hasWriteBits(target)))
        return failure(Kind::ReadOnly, path);
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

std::optional<Failure> replaceInTurn(const std::optional<Replacement>& model, const Replacement& cfg,
                                     const FileOps& ops) {
    // Takes the model back to what it was; the failure says when it cannot.
    const auto putModelBack = [&](Failure& problem) {
        QString why;
        bool restored = false;
        if (model->before)
            restored = ops.replaceWithData(model->path, *model->before, &why);
        else
            restored = ops.removeFile(model->path, &why);
        if (!restored) {
            problem.unrestoredModel = model->path;
            problem.restoreReason = why;
            problem.modelWasCreated = !model->before;
            problem.modelBackup = model->backup;
        }
    };

    QString reason;
    if (model && !model->put(&reason)) {
        Failure problem = failure(Kind::WriteFailed, model->path, reason);
        if (model->holdsNew())
            putModelBack(problem);
        return problem;
    }
    if (cfg.put(&reason))
        return std::nullopt;

    Failure problem = failure(Kind::WriteFailed, cfg.path, reason);
    if (cfg.holdsNew()) {
        QString why;
        const bool back =
            cfg.before ? ops.replaceWithData(cfg.path, *cfg.before, &why) : ops.removeFile(cfg.path, &why);
        if (!back && cfg.holdsNew()) {
            // The new aircraft.cfg stays; the new model stays with it.
            problem.unrestoredCfg = cfg.path;
            problem.cfgRestoreReason = why;
            problem.cfgBackup = cfg.backup;
            if (model) {
                problem.newModel = model->path;
                problem.newModelBackup = model->backup;
            }
            return problem;
        }
    }
    if (model)
        putModelBack(problem);
    return problem;
}

} // namespace exportwriter
