// FileRead's system part on POSIX systems: open without waiting, and fstat the open file.
#include "FileReadPlatform.h"

#include "AtomicFile.h"
#include "SystemReasons.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fileread::platform {

bool openForReading(QFile& file, const QString& path, QString* reason, QIODevice::OpenMode mode) {
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
                                          : QString::fromLatin1(systemreasons::own::kNotAFile);
        return false;
    }
    if (!file.open(fd, QIODevice::ReadOnly | mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *reason = file.errorString();
        return false;
    }
    return true;
}

} // namespace fileread::platform
