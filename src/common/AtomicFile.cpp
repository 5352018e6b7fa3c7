#include "AtomicFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QSaveFile>
#endif

namespace atomicfile {
namespace {

// Writes the next block of the new content into `put`; returns false with a reason on failure.
using Producer = std::function<bool(const std::function<bool(const char*, qint64, QString*)>& put, QString* reason)>;

QString errnoText(int error, const char* fallback) {
    if (error != 0)
        return QString::fromLocal8Bit(std::strerror(error));
    return QString::fromLatin1(fallback);
}

#ifdef Q_OS_UNIX

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    // Closes now and reports a failing close (which can carry a delayed write error).
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

QByteArray temporaryNameFor(const QByteArray& target) {
    static std::mt19937 names{std::random_device{}()};
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = target.left(slash + 1);
    const QByteArray name = target.mid(slash + 1);
    return folder + '.' + name + '.' + QByteArray::number(quint32(names()), 36) + ".tmp";
}

bool writeAll(int fd, const char* data, qint64 size, QString* reason) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(std::min<qint64>(size, 1 << 30)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            *reason = errnoText(n < 0 ? errno : ENOSPC, "the data could not be written completely");
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

bool syncFolder(const QByteArray& target, QString* reason) {
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash > 0 ? target.left(slash) : QByteArray(slash == 0 ? "/" : ".");
    Descriptor fd(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) {
        *reason = errnoText(errno, "the folder could not be opened");
        return false;
    }
    if (::fsync(fd.get()) != 0) {
        *reason = errnoText(errno, "the folder could not be synchronised");
        return false;
    }
    return true;
}

// Temporary files of `target` that a killed process left behind (".<name>.<random>.tmp", untouched
// for ten minutes) are removed; a fresh one may belong to a save still running elsewhere.
void removeStaleTemporaries(const QString& target) {
    const QFileInfo info(target);
    const QString prefix = QLatin1Char('.') + info.fileName() + QLatin1Char('.');
    const QDateTime staleBefore = QDateTime::currentDateTimeUtc().addSecs(-600);
    const QFileInfoList entries = info.absoluteDir().entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        if (name.startsWith(prefix) && name.endsWith(QLatin1String(".tmp")) && name.size() > prefix.size() + 4 &&
            entry.lastModified().toUTC() < staleBefore)
            QFile::remove(entry.absoluteFilePath());
    }
}

bool replace(const QString& path, const Producer& produce, QString* reason) {
    const QString targetPath = QFileInfo(resolvedTarget(path)).absoluteFilePath();
    removeStaleTemporaries(targetPath);
    const QByteArray target = QFile::encodeName(targetPath);
    struct stat old {};
    const bool existed = ::stat(target.constData(), &old) == 0;
    if (existed && S_ISDIR(old.st_mode)) {
        *reason = QString::fromLocal8Bit(std::strerror(EISDIR));
        return false;
    }
    if (existed && (old.st_mode & 0222) == 0) {
        *reason = QStringLiteral("the file is read-only");
        return false;
    }
    const mode_t mode = existed ? (old.st_mode & 07777) : 0644;

    QByteArray temporary;
    int opened = -1;
    for (int attempt = 0; attempt < 100 && opened < 0; ++attempt) {
        temporary = temporaryNameFor(target);
        opened = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (opened < 0 && errno != EEXIST) {
            *reason = errnoText(errno, "the temporary file could not be created");
            return false;
        }
    }
    Descriptor fd(opened);
    if (fd.get() < 0) {
        *reason = QStringLiteral("no free name for a temporary file");
        return false;
    }

    auto fail = [&](const QString& why) {
        *reason = why;
        ::unlink(temporary.constData());
        return false;
    };

    const auto put = [&](const char* data, qint64 size, QString* why) { return writeAll(fd.get(), data, size, why); };
    QString why;
    if (!produce(put, &why))
        return fail(why);
    if (existed) {
        // A file that went to another owner or group would no longer be theirs to write.
        struct stat fresh {};
        const bool same = ::fstat(fd.get(), &fresh) == 0 && fresh.st_uid == old.st_uid && fresh.st_gid == old.st_gid;
        if (!same && ::fchown(fd.get(), old.st_uid, old.st_gid) != 0)
            return fail(QStringLiteral("the file's owner and group could not be kept (%1)")
                            .arg(errnoText(errno, "not permitted")));
    }
    if (::fchmod(fd.get(), mode) != 0)
        return fail(errnoText(errno, "the file permissions could not be set"));
    if (::fsync(fd.get()) != 0)
        return fail(errnoText(errno, "the data could not be stored on the disk"));
    if (!fd.close())
        return fail(errnoText(errno, "the data could not be stored on the disk"));
    if (::rename(temporary.constData(), target.constData()) != 0)
        return fail(errnoText(errno, "the file could not be replaced"));
    // The new file is in place; make its name durable too.
    return syncFolder(target, reason);
}

#else // not Q_OS_UNIX

bool replace(const QString& path, const Producer& produce, QString* reason) {
    QSaveFile file(resolvedTarget(path));
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *reason = file.errorString();
        return false;
    }
    const auto put = [&](const char* data, qint64 size, QString* why) {
        while (size > 0) {
            const qint64 n = file.write(data, size);
            if (n <= 0) {
                *why = file.errorString();
                return false;
            }
            data += n;
            size -= n;
        }
        return true;
    };
    QString why;
    if (!produce(put, &why) || !file.flush() || file.error() != QFileDevice::NoError) {
        *reason = why.isEmpty() ? file.errorString() : why;
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *reason = file.errorString();
        return false;
    }
    return true;
}

#endif

} // namespace

bool canKeepOwner(const QString& path) {
#ifdef Q_OS_UNIX
    struct stat info {};
    if (::stat(QFile::encodeName(resolvedTarget(path)).constData(), &info) != 0)
        return true;
    const uid_t user = ::geteuid();
    if (user == 0)
        return true;
    if (info.st_uid != user)
        return false;
    if (info.st_gid == ::getegid())
        return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = ::getgroups(count, groups.data());
    return got > 0 && std::find(groups.begin(), groups.begin() + got, info.st_gid) != groups.begin() + got;
#else
    Q_UNUSED(path);
    return true;
#endif
}

QString resolvedTarget(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink()) {
        const QString target = info.symLinkTarget();
        if (!target.isEmpty())
            return target;
    }
    return path;
}

bool replaceWithData(const QString& path, const QByteArray& data, QString* reason) {
    QString dummy;
    return replace(
        path, [&](const auto& put, QString* why) { return put(data.constData(), data.size(), why); },
        reason ? reason : &dummy);
}

bool replaceWithCopy(const QString& source, const QString& target, QString* reason) {
    QString dummy;
    if (!reason)
        reason = &dummy;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        *reason = in.errorString();
        return false;
    }
    return replace(
        target,
        [&](const auto& put, QString* why) {
            QByteArray block(1 << 20, Qt::Uninitialized);
            for (;;) {
                const qint64 n = in.read(block.data(), block.size());
                if (n < 0) {
                    *why = in.errorString();
                    return false;
                }
                if (n == 0)
                    return true;
                if (!put(block.constData(), n, why))
                    return false;
            }
        },
        reason);
}

} // namespace atomicfile
