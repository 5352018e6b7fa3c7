// The POSIX implementation of AtomicFile: open, fsync, rename and the folder's fsync.
#include "AtomicFilePlatform.h"
#include "SystemReasons.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio> // renameat2
#include <cstring>
#include <random>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace atomicfile {
namespace {

namespace own = systemreasons::own;

QString errnoText(int error, const char* fallback) {
    if (error != 0)
        return QString::fromLocal8Bit(std::strerror(error));
    return QString::fromLatin1(fallback);
}

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
            *reason = errnoText(n < 0 ? errno : ENOSPC, own::kWriteIncomplete);
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
        *reason = errnoText(errno, own::kFolderNotOpened);
        return false;
    }
    if (::fsync(fd.get()) != 0) {
        *reason = errnoText(errno, own::kFolderNotSynced);
        return false;
    }
    return true;
}

// Gives the finished temporary file or folder the name `target` only when nothing is there. A file
// system that cannot rename that way gets, for a file, a hard link, which fails the same way and
// loses the temporary name; for a folder, which cannot be linked, a rename after a look that
// nothing is there.
bool takeNameExclusively(const QByteArray& temporary, const QByteArray& target, bool folder, QString* reason) {
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, temporary.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
        *reason = errnoText(errno, own::kFileNotCreated);
        return false;
    }
#endif
    if (folder) {
        struct stat there {};
        const bool taken = ::lstat(target.constData(), &there) == 0;
        if (taken || errno != ENOENT) {
            *reason = errnoText(taken ? EEXIST : errno, own::kFolderNotCreated);
            return false;
        }
        if (::rename(temporary.constData(), target.constData()) != 0) {
            *reason = errnoText(errno, own::kFolderNotCreated);
            return false;
        }
        return true;
    }
    if (::link(temporary.constData(), target.constData()) != 0) {
        *reason = errnoText(errno, own::kFileNotCreated);
        return false;
    }
    ::unlink(temporary.constData());
    return true;
}

bool hasWriteBits(const QFileInfo& info) {
    return (info.permissions() & (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther)) != 0;
}

// Puts `content` in place of `path` (see AtomicFile.h).
bool replace(const QString& path, platform::Content&& content, const platform::How& how, QString* reason) {
    QString dummy;
    if (!reason)
        reason = &dummy;
    if (!content.open(reason))
        return false;
    const QString targetPath = QFileInfo(how.create ? path : resolvedTarget(path)).absoluteFilePath();
    platform::removeStaleTemporaries(targetPath);
    const QByteArray target = QFile::encodeName(targetPath);
    struct stat old {};
    const bool existed = how.create ? ::lstat(target.constData(), &old) == 0 : ::stat(target.constData(), &old) == 0;
    if (existed && how.create) {
        *reason = QString::fromLocal8Bit(std::strerror(EEXIST));
        return false;
    }
    if (existed && S_ISDIR(old.st_mode)) {
        *reason = QString::fromLocal8Bit(std::strerror(EISDIR));
        return false;
    }
    if (existed && (old.st_mode & 0222) == 0) {
        *reason = QString::fromLatin1(own::kReadOnlyFile);
        return false;
    }
    // Whose the new file is and who may read it: the old file's, or those of the file named.
    struct stat like = old;
    bool keepOwner = existed;
    if (!how.attributesFrom.isEmpty()) {
        if (::stat(QFile::encodeName(how.attributesFrom).constData(), &like) != 0) {
            *reason = errnoText(errno, own::kOwnerNotRead);
            return false;
        }
        keepOwner = true;
    }
    const mode_t mode = keepOwner ? (like.st_mode & (how.attributesFrom.isEmpty() ? 07777 : 0777)) : 0644;

    QByteArray temporary;
    int opened = -1;
    for (int attempt = 0; attempt < 100 && opened < 0; ++attempt) {
        temporary = temporaryNameFor(target);
        opened = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (opened < 0 && errno != EEXIST) {
            *reason = errnoText(errno, own::kTemporaryNotCreated);
            return false;
        }
    }
    Descriptor fd(opened);
    if (fd.get() < 0) {
        *reason = QString::fromLatin1(own::kNoTemporaryName);
        return false;
    }

    auto fail = [&](const QString& why) {
        *reason = why;
        ::unlink(temporary.constData());
        return false;
    };

    QByteArrayView block;
    QString why;
    do {
        if (!content.next(&block, &why) || !writeAll(fd.get(), block.data(), block.size(), &why))
            return fail(why);
    } while (!block.isEmpty());
    if (keepOwner) {
        // A file that went to another owner or group would no longer be theirs to write.
        struct stat fresh {};
        const bool same = ::fstat(fd.get(), &fresh) == 0 && fresh.st_uid == like.st_uid && fresh.st_gid == like.st_gid;
        if (!same && ::fchown(fd.get(), like.st_uid, like.st_gid) != 0)
            return fail(systemreasons::ownReason(own::kOwnerNotKept, errnoText(errno, own::kNotPermitted)));
    }
    if (::fchmod(fd.get(), mode) != 0)
        return fail(errnoText(errno, own::kModeNotSet));
    if (::fsync(fd.get()) != 0)
        return fail(errnoText(errno, own::kNotStored));
    if (!fd.close())
        return fail(errnoText(errno, own::kNotStored));
    if (how.create) {
        if (!takeNameExclusively(temporary, target, false, reason)) {
            ::unlink(temporary.constData());
            return false;
        }
    } else if (::rename(temporary.constData(), target.constData()) != 0) {
        return fail(errnoText(errno, own::kNotReplaced));
    }
    // The new file is in place; make its name durable too.
    return syncFolder(target, reason);
}

} // namespace

bool replaceWithData(const QString& path, const QByteArray& data, QString* reason) {
    return replace(path, platform::Content(data), {}, reason);
}

bool replaceWithCopy(const QString& source, const QString& target, QString* reason) {
    return replace(target, platform::Content(source), {}, reason);
}

bool createCopy(const QString& source, const QString& path, QString* reason) {
    return replace(path, platform::Content(source), {true, source}, reason);
}

bool createWithData(const QString& path, const QByteArray& data, const QString& like, QString* reason) {
    return replace(path, platform::Content(data), {true, like}, reason);
}

bool restoreCopy(const QString& source, const QString& target, QString* reason) {
    return replace(target, platform::Content(source), {false, source}, reason);
}

bool canKeepOwner(const QString& path) {
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
}

bool canCreateIn(const QString& folder) {
    const QFileInfo info(folder);
    return info.isWritable() && hasWriteBits(info);
}

bool createFolder(const QString& path, const QString& like, QString* reason) {
    QString dummy;
    if (!reason)
        reason = &dummy;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const QByteArray name = QFile::encodeName(absolute);
    struct stat model {};
    if (::stat(QFile::encodeName(like).constData(), &model) != 0) {
        *reason = errnoText(errno, own::kFolderOwnerNotRead);
        return false;
    }
    platform::removeStaleTemporaries(absolute);
    // Made private and under a temporary name first: it takes its name only with its owner and
    // permissions, so that nobody else can use it before, and a run killed half-way leaves no
    // folder that its owner could not use.
    QByteArray temporary;
    bool made = false;
    for (int attempt = 0; attempt < 100 && !made; ++attempt) {
        temporary = temporaryNameFor(name);
        made = ::mkdir(temporary.constData(), 0700) == 0;
        if (!made && errno != EEXIST) {
            *reason = errnoText(errno, own::kFolderNotCreated);
            return false;
        }
    }
    if (!made) {
        *reason = QString::fromLatin1(own::kNoTemporaryFolderName);
        return false;
    }
    Descriptor fd(::open(temporary.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat fresh {};
    const bool ok = fd.get() >= 0 && ::fstat(fd.get(), &fresh) == 0 &&
                    ((fresh.st_uid == model.st_uid && fresh.st_gid == model.st_gid) ||
                     ::fchown(fd.get(), model.st_uid, model.st_gid) == 0) &&
                    ::fchmod(fd.get(), model.st_mode & 0777) == 0 && ::fsync(fd.get()) == 0;
    if (!ok) {
        *reason = systemreasons::ownReason(own::kFolderOwnerNotSet, errnoText(errno, own::kNotPermitted));
        ::rmdir(temporary.constData());
        return false;
    }
    if (!takeNameExclusively(temporary, name, true, reason)) {
        ::rmdir(temporary.constData());
        return false;
    }
    return syncFolder(name, reason);
}

bool removeFile(const QString& path, QString* reason) {
    QString dummy;
    if (!reason)
        reason = &dummy;
    const QByteArray name = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    if (::unlink(name.constData()) != 0) {
        *reason = errnoText(errno, own::kNotRemoved);
        return false;
    }
    return syncFolder(name, reason);
}

} // namespace atomicfile
