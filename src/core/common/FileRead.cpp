#include "FileRead.h"

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

std::optional<QByteArray> readWholeFile(const QString& path, QString* reason) {
    QString dummy;
    if (!reason)
        reason = &dummy;
    const QFileInfo info(path);
    if (info.isDir()) {
        *reason = QString::fromLatin1(systemreasons::own::kIsFolder);
        return std::nullopt;
    }
    // A pipe would wait for a writer, a device might do anything: only regular files are opened.
    if (info.exists() && !info.isFile()) {
        *reason = QString::fromLatin1(kNotAFile);
        return std::nullopt;
    }
#ifdef Q_OS_UNIX
    // Opened without waiting, and checked again, should something else have taken the name.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *reason = QString::fromLocal8Bit(std::strerror(errno));
        return std::nullopt;
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        *reason = QString::fromLatin1(kNotAFile);
        return std::nullopt;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *reason = file.errorString();
        return std::nullopt;
    }
#else
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *reason = file.errorString();
        return std::nullopt;
    }
#endif
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *reason = file.errorString();
        return std::nullopt;
    }
    return data;
}
