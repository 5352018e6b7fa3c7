#include "AtomicFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <functional>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace atomicfile {
namespace {

QString errnoText(int error, const QString& fallback) {
    if (error != 0)
        return QString::fromLocal8Bit(std::strerror(error));
    return fallback;
}

QString describe(const QFileDevice& file, int error, const QString& fallback) {
    if (error != 0)
        return errnoText(error, fallback);
    const QString text = file.errorString();
    if (text.isEmpty() || text.contains(QLatin1String("Unknown error"), Qt::CaseInsensitive))
        return fallback;
    return text;
}

// Where the content really goes: a symbolic link is replaced through its target.
QString resolvedTarget(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink()) {
        const QString target = info.symLinkTarget();
        if (!target.isEmpty())
            return target;
    }
    return path;
}

#ifdef Q_OS_UNIX
bool syncFolderOf(const QString& path, QString* reason) {
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        *reason = errnoText(errno, QStringLiteral("the folder could not be opened"));
        return false;
    }
    const bool ok = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    if (!ok)
        *reason = errnoText(error, QStringLiteral("the folder could not be synchronised"));
    return ok;
}
#endif

// Writes through `produce` (which returns false and sets a reason on a failed write) into a
// temporary file beside `path` and renames it over `path`.
bool replace(const QString& path, const std::function<bool(QSaveFile&, QString*)>& produce, QString* reason) {
    QString dummy;
    if (!reason)
        reason = &dummy;
    const QString target = resolvedTarget(path);

    QSaveFile file(target);
    file.setDirectWriteFallback(false);
    errno = 0;
    // Unbuffered: every write reaches the file at once, so a full disk is seen by the write that
    // hits it and not by a hidden flush inside commit().
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *reason = describe(file, errno, QStringLiteral("the temporary file could not be created"));
        return false;
    }
    if (!produce(file, reason)) {
        file.cancelWriting();
        return false;
    }
    errno = 0;
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        *reason = describe(file, errno, QStringLiteral("the data could not be written completely"));
        file.cancelWriting();
        return false;
    }
#ifdef Q_OS_UNIX
    struct stat old {};
    if (::stat(QFile::encodeName(target).constData(), &old) == 0) {
        // Keep the owner and group of the file being replaced where we are allowed to.
        if (::fchown(file.handle(), old.st_uid, old.st_gid) != 0) {
            // Not permitted for an ordinary user: the new file keeps the user's own ids.
        }
    }
    if (::fsync(file.handle()) != 0) {
        *reason = errnoText(errno, QStringLiteral("the data could not be stored on the disk"));
        file.cancelWriting();
        return false;
    }
#endif
    errno = 0;
    if (!file.commit()) {
        *reason = describe(file, errno, QStringLiteral("the file could not be replaced"));
        return false;
    }
#ifdef Q_OS_UNIX
    return syncFolderOf(target, reason);
#else
    return true;
#endif
}

bool writeAll(QSaveFile& file, const char* data, qint64 size, QString* reason) {
    qint64 done = 0;
    while (done < size) {
        errno = 0;
        const qint64 n = file.write(data + done, size - done);
        if (n <= 0) {
            *reason = describe(file, errno, QStringLiteral("the data could not be written completely"));
            return false;
        }
        done += n;
    }
    return true;
}

} // namespace

bool replaceWithData(const QString& path, const QByteArray& data, QString* reason) {
    return replace(
        path, [&](QSaveFile& file, QString* why) { return writeAll(file, data.constData(), data.size(), why); },
        reason);
}

bool replaceWithCopy(const QString& source, const QString& target, QString* reason) {
    QString dummy;
    if (!reason)
        reason = &dummy;
    QFile in(source);
    errno = 0;
    if (!in.open(QIODevice::ReadOnly)) {
        *reason = describe(in, errno, QStringLiteral("the file could not be opened"));
        return false;
    }
    return replace(
        target,
        [&](QSaveFile& file, QString* why) {
            QByteArray block(1 << 20, Qt::Uninitialized);
            for (;;) {
                errno = 0;
                const qint64 n = in.read(block.data(), block.size());
                if (n < 0) {
                    *why = describe(in, errno, QStringLiteral("the file could not be read"));
                    return false;
                }
                if (n == 0)
                    return true;
                if (!writeAll(file, block.constData(), n, why))
                    return false;
            }
        },
        reason);
}

} // namespace atomicfile
