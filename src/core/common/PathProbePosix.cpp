// PathProbe's system part on POSIX systems: stat, lstat and the folder's entries.
#include "PathProbePlatform.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

namespace pathprobe::platform {
namespace {

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

bool meansMissing(int error) {
    return error == ENOENT || error == ENOTDIR;
}

} // namespace

Probe look(const QString& path, bool follow, bool* endlessLinks) {
    struct stat info {};
    const QByteArray name = QFile::encodeName(path);
    if ((follow ? ::stat(name.constData(), &info) : ::lstat(name.constData(), &info)) != 0) {
        const int error = errno;
        if (meansMissing(error))
            return {Probe::State::Missing, {}};
        *endlessLinks = error == ELOOP;
        return {Probe::State::Unreadable, systemReason(error)};
    }
    if (S_ISLNK(info.st_mode))
        return {Probe::State::Link, {}};
    if (S_ISDIR(info.st_mode))
        return {Probe::State::Folder, {}};
    return {S_ISREG(info.st_mode) ? Probe::State::File : Probe::State::Other, {}};
}

std::optional<FileId> identity(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return FileId{quint64(info.st_dev), quint64(info.st_ino)};
}

bool onReadOnlyVolume(const QString& path) {
    struct statvfs volume {};
    return ::statvfs(QFile::encodeName(path).constData(), &volume) == 0 && (volume.f_flag & ST_RDONLY) != 0;
}

std::optional<QStringList> list(const QString& folder, bool* missing, QString* reason) {
    *missing = false;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
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

} // namespace pathprobe::platform
