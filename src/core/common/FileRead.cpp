#include "FileRead.h"

#include "AtomicFile.h"
#include "SystemReasons.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const char* const kNotAFile = systemreasons::own::kNotAFile;

} // namespace

bool openRegularFile(QFile& file, const QString& path, QString* reason, QIODevice::OpenMode mode) {
    QString dummy;
    if (!reason)
        reason = &dummy;
    const QFileInfo info(path);
    if (info.isDir()) {
        *reason = QString::fromLatin1(systemreasons::own::kIsFolder);
        return false;
    }
    if (info.exists() && !info.isFile()) {
        *reason = QString::fromLatin1(kNotAFile);
        return false;
    }
#ifdef Q_OS_UNIX
    // Opened without waiting, and checked again, should something else have taken the name.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        // Links that lead round in a circle are said as such, not as too many links.
        QString end;
        if (error != ELOOP || atomicfile::resolveTarget(path, &end, reason))
            *reason = QString::fromLocal8Bit(std::strerror(error));
        return false;
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        *reason = S_ISDIR(opened.st_mode) ? QString::fromLatin1(systemreasons::own::kIsFolder)
                                          : QString::fromLatin1(kNotAFile);
        return false;
    }
    if (!file.open(fd, QIODevice::ReadOnly | mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *reason = file.errorString();
        return false;
    }
#else
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly | mode)) {
        *reason = file.errorString();
        return false;
    }
#endif
    return true;
}

std::optional<QByteArray> readWholeFile(const QString& path, QString* reason) {
    QString dummy;
    if (!reason)
        reason = &dummy;
    QFile file;
    if (!openRegularFile(file, path, reason))
        return std::nullopt;
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *reason = file.errorString();
        return std::nullopt;
    }
    return data;
}
