// The ways AtomicFile puts new content in place, the same on every system: what comes before the
// system's part (see AtomicFilePlatform.h), which AtomicFilePosix.cpp or AtomicFileWindows.cpp
// carries out.
#include "AtomicFilePlatform.h"
#include "TemporaryFiles.h"

#include <QFileInfo>

#include <algorithm>

namespace atomicfile {
namespace {

// Puts `content` in place of `path` (see AtomicFile.h): where the path's links lead, unless the
// file is made only where nothing is.
bool replace(const QString& path, Content&& content, const platform::How& how, QString* reason) {
    QString dummy;
    if (!reason)
        reason = &dummy;
    if (!content.open(reason))
        return false;
    QString resolved = path;
    if (!how.create && !how.entry && !resolveTarget(path, &resolved, reason))
        return false;
    const QString target = QFileInfo(resolved).absoluteFilePath();
    removeStaleTemporaries(target);
    return platform::put(target, content, how, reason);
}

} // namespace

bool replaceWithData(const QString& path, const QByteArray& data, QString* reason) {
    return replace(path, Content(data), {}, reason);
}

bool replaceWithCopy(const QString& source, const QString& target, QString* reason) {
    return replace(target, Content(source), {}, reason);
}

bool replaceEntryWithData(const QString& path, const QByteArray& data, QString* reason) {
    platform::How how;
    how.entry = true;
    return replace(path, Content(data), how, reason);
}

bool replaceEntryWithCopy(const QString& source, const QString& path, QString* reason) {
    platform::How how;
    how.entry = true;
    return replace(path, Content(source), how, reason);
}

bool createCopy(const QString& source, const QString& path, QString* reason) {
    return replace(path, Content(source), {true, source, {}}, reason);
}

bool createWithData(const QString& path, const QByteArray& data, const QString& like, QString* reason) {
    return replace(path, Content(data), {true, like, {}}, reason);
}

bool restoreCopy(const QString& source, const QString& target, const Attributes& installed, QString* reason) {
    return replace(target, Content(source), {false, source, installed}, reason);
}

bool ownerCanBeKept(unsigned fileOwner, unsigned fileGroup, unsigned user, const std::vector<unsigned>& userGroups) {
    if (user == 0)
        return true;
    return fileOwner == user && std::find(userGroups.begin(), userGroups.end(), fileGroup) != userGroups.end();
}

QString resolvedTarget(const QString& path) {
    QString target;
    QString reason;
    return resolveTarget(path, &target, &reason) ? target : path;
}

} // namespace atomicfile
