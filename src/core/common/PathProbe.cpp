// Telling what is at a path, the same on every system (see PathProbe.h); the system's answers come
// from PathProbePosix.cpp or PathProbeWindows.cpp.
#include "PathProbePlatform.h"

#include "AtomicFile.h"

#include <QFileInfo>

namespace pathprobe {
namespace {

Probe probeWith(const QString& path, bool follow) {
    bool endlessLinks = false;
    const Probe found = platform::look(path, follow, &endlessLinks);
    // Too many links, or links that lead round in a circle: said as the one it is.
    QString target;
    QString loop;
    if (endlessLinks && !atomicfile::resolveTarget(path, &target, &loop))
        return {Probe::State::Unreadable, loop};
    return found;
}

} // namespace

Probe probe(const QString& path) {
    return probeWith(path, true);
}

Probe probeEntry(const QString& path) {
    return probeWith(path, false);
}

std::optional<FileId> identity(const QString& path) {
    return platform::identity(path);
}

bool onReadOnlyVolume(const QString& path) {
    // A file that is not there yet would be made in its folder, or that folder's, and so on.
    QString existing = path;
    while (!existing.isEmpty() && probe(existing).state == Probe::State::Missing) {
        const QString up = QFileInfo(existing).path();
        if (up == existing)
            return false;
        existing = up;
    }
    return !existing.isEmpty() && platform::onReadOnlyVolume(existing);
}

std::optional<QStringList> listFolder(const QString& folder, bool* missing, QString* reason) {
    return platform::list(folder.isEmpty() ? QStringLiteral(".") : folder, missing, reason);
}

} // namespace pathprobe
