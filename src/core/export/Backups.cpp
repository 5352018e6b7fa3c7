#include "Backups.h"

#include "core/common/PathProbe.h"
#include "core/common/Paths.h"

namespace backups {
namespace {

Place placeOf(const QString& path, pathprobe::Probe::State made) {
    using State = pathprobe::Probe::State;
    const pathprobe::Probe probe = pathprobe::probeEntry(path);
    if (probe.state == State::Missing)
        return {Place::State::Nothing, path, {}};
    if (probe.state == State::Unreadable)
        return {Place::State::Unreadable, path, probe.reason};
    if (probe.state == made)
        return {Place::State::Made, path, {}};
    return {made == State::Folder ? Place::State::NotAFolder : Place::State::NotAFile, path, {}};
}

} // namespace

QString folderOf(const QString& copyFolder) {
    return joinPath(copyFolder, QLatin1String(kFolder));
}

QString pathOf(const QString& copyFolder, const char* name) {
    return joinPath(folderOf(copyFolder), QLatin1String(name));
}

Place look(const QString& copyFolder, const char* name) {
    const Place folder = lookAtFolder(copyFolder);
    if (folder.state != Place::State::Made)
        return folder.state == Place::State::Nothing ? Place{Place::State::Nothing, pathOf(copyFolder, name), {}}
                                                     : folder;
    return placeOf(pathOf(copyFolder, name), pathprobe::Probe::State::File);
}

Place lookAtFolder(const QString& copyFolder) {
    return placeOf(folderOf(copyFolder), pathprobe::Probe::State::Folder);
}

bool hasCfgBackup(const QString& copyFolder) {
    return look(copyFolder, kCfg).state == Place::State::Made;
}

} // namespace backups
