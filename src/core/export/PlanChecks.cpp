// The checks a plan makes (see PlanChecks.h).
#include "PlanChecks.h"

#include "AircraftFiles.h"
#include "core/common/AircraftNames.h"
#include "core/common/AtomicFile.h"
#include "core/common/FileRead.h"
#include "core/common/PathProbe.h"
#include "core/common/Paths.h"
#include "core/settings/ProgramFiles.h"

#include <QFileInfo>

#include <utility>

namespace fileplan {
namespace {

using Kind = Failure::Kind;

bool hasWriteBits(const QFileInfo& info) {
    return (info.permissions() & (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther)) != 0;
}

} // namespace

std::optional<Failure> checkNotShipped(const QString& path, const QString& programFolder) {
    const QString shipped = programfiles::shippedFileAt(programFolder, path);
    if (shipped.isEmpty())
        return std::nullopt;
    // Which way it goes: the aircraft's file leads into the program folder, or the program's file
    // (a link in its folder) leads to the aircraft's.
    const bool fromProgram = pathprobe::probeEntry(shipped).state == pathprobe::Probe::State::Link;
    return failure(fromProgram ? Kind::ShippedLink : Kind::ShippedFile, path, shipped);
}

bool programsModel(const QByteArray& model, const std::optional<QByteArray>& installed, const QString& programFolder) {
    if (installed && model == *installed)
        return true;
    for (int n = aircraftnames::kFirstVariant; n <= aircraftnames::kLastVariant; ++n) {
        const QString variant = programFolder + aircraftnames::variant(n);
        if (QFileInfo(variant).size() != model.size())
            continue;
        const auto content = readWholeFile(variant);
        if (content && *content == model)
            return true;
    }
    return false;
}

std::optional<Failure> checkReplaceable(const QString& path) {
    const QString resolved = atomicfile::resolvedTarget(path);
    const QFileInfo target(resolved);
    const bool exists = target.exists();
    if (pathprobe::onReadOnlyVolume(resolved))
        return failure(Kind::ReadOnlyVolume, path);
    // A link that leads where nothing is, not even the folder its end would be in.
    if (!exists && pathprobe::probeEntry(path).state == pathprobe::Probe::State::Link &&
        pathprobe::probe(target.absolutePath()).state == pathprobe::Probe::State::Missing)
        return failure(Kind::LinkLeadsNowhere, path, resolved);
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

std::optional<Failure> readExisting(const QString& path, QByteArray* content, Kind whenMissing,
                                    const QByteArray* likely) {
    if (auto problem = checkIsFile(path, whenMissing))
        return problem;
    QString reason;
    auto data = readWholeFile(path, &reason, likely);
    if (!data)
        return failure(Kind::ReadFailed, path, reason);
    *content = std::move(*data);
    return std::nullopt;
}

std::optional<Failure> readReplaceable(const QString& path, QByteArray* content, const QByteArray* likely) {
    if (auto problem = readExisting(path, content, Kind::FileMissing, likely))
        return problem;
    return checkReplaceable(path);
}

std::optional<Failure> readIfThere(const QString& path, std::optional<QByteArray>* content) {
    content->reset();
    // Not there: nothing at all, or a link whose end is not there (which is then written at its end).
    if (pathprobe::probe(path).state == pathprobe::Probe::State::Missing)
        return std::nullopt;
    content->emplace();
    return readReplaceable(path, &**content);
}

std::optional<Failure> locateModel(const QString& cfgPath, QString* modelFolder, QString* modelPath,
                                   bool* modelExists) {
    using State = aircraftfiles::Located::State;
    const QString aircraftFolder = GetPathName(cfgPath);
    modelFolder->clear();
    *modelPath = joinPath(joinPath(aircraftFolder, QLatin1String(aircraftnames::kModelFolder)),
                          QLatin1String(aircraftnames::kModelFile));
    *modelExists = false;
    const aircraftfiles::Located folder =
        aircraftfiles::locateEntry(aircraftFolder, QLatin1String(aircraftnames::kModelFolder));
    if (folder.state == State::Unreadable || folder.state == State::FolderUnreadable)
        return failure(Kind::FolderUnreadable, folder.path, folder.reason);
    if (folder.state == State::Missing || !folder.isFolder)
        return std::nullopt;
    *modelFolder = folder.path;
    const aircraftfiles::Located model =
        aircraftfiles::locateEntry(folder.path, QLatin1String(aircraftnames::kModelFile));
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

std::optional<Failure> lookAtModelBackups(const QString& copyFolder, ModelBackups* places) {
    places->installed = backups::look(copyFolder, backups::kModel);
    places->absent = backups::look(copyFolder, backups::kNoModel);
    if (auto problem = trouble(places->installed))
        return problem;
    return trouble(places->absent);
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

} // namespace fileplan
