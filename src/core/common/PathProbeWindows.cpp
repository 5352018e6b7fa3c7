// PathProbe's system part on Windows, through QFileInfo and QDir: links and junctions, files and
// folders, and the folder's entries.
#include "PathProbePlatform.h"

#include "SystemReasons.h"

#include <QDir>
#include <QFileInfo>

namespace pathprobe::platform {

Probe look(const QString& path, bool follow, bool* endlessLinks) {
    const QFileInfo info(path);
    if (!follow && (info.isSymLink() || info.isJunction()))
        return {Probe::State::Link, {}};
    if (!info.exists()) {
        // A link whose end is not there may be one of a circle.
        *endlessLinks = info.isSymbolicLink();
        return {Probe::State::Missing, {}};
    }
    if (info.isDir())
        return {Probe::State::Folder, {}};
    return {info.isFile() ? Probe::State::File : Probe::State::Other, {}};
}

std::optional<QStringList> list(const QString& folder, bool* missing, QString* reason) {
    const QFileInfo info(folder);
    *missing = !info.exists() || !info.isDir();
    if (*missing) {
        *reason = QString::fromLatin1(systemreasons::own::kFolderMissing);
        return std::nullopt;
    }
    if (!info.isReadable()) {
        *reason = QString::fromLatin1(systemreasons::own::kAccessDenied);
        return std::nullopt;
    }
    return QDir(info.filePath())
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
}

} // namespace pathprobe::platform
