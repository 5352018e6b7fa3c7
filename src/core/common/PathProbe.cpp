#include "PathProbe.h"

#include "AtomicFile.h"
#include "SystemReasons.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace pathprobe {

#ifdef Q_OS_UNIX

namespace {

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

bool meansMissing(int error) {
    return error == ENOENT || error == ENOTDIR;
}

Probe probeWith(const QString& path, bool follow) {
    struct stat info {};
    const QByteArray name = QFile::encodeName(path);
    if ((follow ? ::stat(name.constData(), &info) : ::lstat(name.constData(), &info)) != 0) {
        const int error = errno;
        if (meansMissing(error))
            return {Probe::State::Missing, {}};
        // Too many links, or links that lead round in a circle: said as the one it is.
        QString target;
        QString loop;
        if (error == ELOOP && !atomicfile::resolveTarget(path, &target, &loop))
            return {Probe::State::Unreadable, loop};
        return {Probe::State::Unreadable, systemReason(error)};
    }
    if (S_ISLNK(info.st_mode))
        return {Probe::State::Link, {}};
    if (S_ISDIR(info.st_mode))
        return {Probe::State::Folder, {}};
    return {S_ISREG(info.st_mode) ? Probe::State::File : Probe::State::Other, {}};
}

} // namespace

Probe probe(const QString& path) {
    return probeWith(path, true);
}

Probe probeEntry(const QString& path) {
    return probeWith(path, false);
}

std::optional<QStringList> listFolder(const QString& folder, bool* missing, QString* reason) {
    *missing = false;
    DIR* dir = ::opendir(QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder).constData());
    if (!dir) {
        const int error = errno;
        *missing = meansMissing(error);
        *reason = systemReason(error);
        return std::nullopt;
    }
    QStringList names;
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name != QLatin1String(".") && name != QLatin1String(".."))
            names.append(name);
        errno = 0;
    }
    const int error = errno;
    ::closedir(dir);
    if (error != 0) {
        *reason = systemReason(error);
        return std::nullopt;
    }
    return names;
}

#else // not Q_OS_UNIX

Probe probe(const QString& path) {
    const QFileInfo info(path);
    QString target;
    QString loop;
    if (!info.exists() && info.isSymbolicLink() && !atomicfile::resolveTarget(path, &target, &loop))
        return {Probe::State::Unreadable, loop};
    if (!info.exists())
        return {Probe::State::Missing, {}};
    if (info.isDir())
        return {Probe::State::Folder, {}};
    return {info.isFile() ? Probe::State::File : Probe::State::Other, {}};
}

Probe probeEntry(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink() || info.isJunction())
        return {Probe::State::Link, {}};
    return probe(path);
}

std::optional<QStringList> listFolder(const QString& folder, bool* missing, QString* reason) {
    const QFileInfo info(folder.isEmpty() ? QStringLiteral(".") : folder);
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

#endif

} // namespace pathprobe
