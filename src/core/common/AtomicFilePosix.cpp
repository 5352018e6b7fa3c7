// AtomicFile's system part on POSIX systems: open, fsync, rename and the folder's fsync; owners
// and modes; following links; making folders and removing files.
#include "AtomicFilePlatform.h"
#include "SystemReasons.h"
#include "TemporaryFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <cstdio> // renameat2
#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>
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

const char* const kNotAFile = own::kNotAFile;

// The group of the folder `entry` lies in, or `fallback` when it cannot be looked at.
gid_t groupOfFolderOf(const QByteArray& entry, gid_t fallback) {
    const qsizetype slash = entry.lastIndexOf('/');
    const QByteArray folder = slash > 0 ? entry.left(slash) : QByteArray(slash == 0 ? "/" : ".");
    struct stat info {};
    return ::stat(folder.constData(), &info) == 0 ? info.st_gid : fallback;
}

// Gives the new file or folder `fd` the owner `uid` and the group `gid`. Where the system does not
// let this user do so (only an administrator may give a file away, and only to one of their
// groups), it stays the user's own and takes the group `gid`, or else `folderGroup`, the group of
// the folder it is in; in any other group it loses the group's permissions in *mode, so that it is
// never open to more people than meant.
bool giveOwner(int fd, uid_t uid, gid_t gid, gid_t folderGroup, mode_t* mode, QString* reason) {
    struct stat now {};
    if (::fstat(fd, &now) != 0) {
        *reason = errnoText(errno, own::kOwnerNotReadOnly);
        return false;
    }
    if ((now.st_uid == uid && now.st_gid == gid) || ::fchown(fd, uid, gid) == 0)
        return true;
    if (errno != EPERM) {
        *reason = systemreasons::ownReason(own::kOwnerGroupNotSet, errnoText(errno, own::kNotPermitted));
        return false;
    }
    for (const gid_t group : {gid, folderGroup}) {
        if (now.st_gid == group || ::fchown(fd, uid_t(-1), group) == 0)
            return true;
    }
    *mode &= ~mode_t(02070);
    return true;
}

} // namespace

namespace platform {

bool put(const QString& targetPath, Content& content, const How& how, QString* reason) {
    const QByteArray target = QFile::encodeName(targetPath);
    struct stat old {};
    const bool unfollowed = how.create || how.entry;
    bool existed = unfollowed ? ::lstat(target.constData(), &old) == 0 : ::stat(target.constData(), &old) == 0;
    // A link that is itself replaced leaves whatever it led to alone: the new file is one of its own.
    if (existed && how.entry && S_ISLNK(old.st_mode))
        existed = false;
    if (existed && how.create) {
        *reason = QString::fromLocal8Bit(std::strerror(EEXIST));
        return false;
    }
    if (existed && S_ISDIR(old.st_mode)) {
        *reason = QString::fromLocal8Bit(std::strerror(EISDIR));
        return false;
    }
    // A pipe or a device is never replaced by a file (nor a device's node in /dev through a link).
    if (existed && !S_ISREG(old.st_mode)) {
        *reason = QString::fromLatin1(kNotAFile);
        return false;
    }
    if (existed && (old.st_mode & 0222) == 0) {
        *reason = QString::fromLatin1(own::kReadOnlyFile);
        return false;
    }
    // Whose the new file is and who may read it: the old file's exactly; for a backup or a restore
    // those of the file named (a restore: those recorded as installed first, and the permissions
    // of the file it replaces before the backup's), with the way out of giveOwner(); a new file of
    // its own gets what the user's umask gives.
    const bool attributed = !how.attributesFrom.isEmpty();
    struct stat like = old;
    if (attributed && ::stat(QFile::encodeName(how.attributesFrom).constData(), &like) != 0) {
        *reason = errnoText(errno, own::kOwnerNotRead);
        return false;
    }
    const bool keepOwner = existed || attributed;
    uid_t owner = like.st_uid;
    gid_t group = like.st_gid;
    mode_t mode = like.st_mode & (attributed ? 0777 : 07777);
    if (attributed && existed)
        mode = old.st_mode & 0777;
    if (how.installed.owner)
        owner = uid_t(*how.installed.owner);
    if (how.installed.group)
        group = gid_t(*how.installed.group);
    if (how.installed.mode)
        mode = mode_t(*how.installed.mode & 07777);

    QByteArray temporary;
    int opened = -1;
    for (int attempt = 0; attempt < 100 && opened < 0; ++attempt) {
        temporary = QFile::encodeName(temporaryNameFor(targetPath));
        opened = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, keepOwner ? 0600 : 0666);
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
    if (attributed) {
        if (!giveOwner(fd.get(), owner, group, groupOfFolderOf(target, group), &mode, &why))
            return fail(why);
    } else if (keepOwner) {
        // A file that went to another owner or group would no longer be theirs to write.
        struct stat fresh {};
        const bool same = ::fstat(fd.get(), &fresh) == 0 && fresh.st_uid == owner && fresh.st_gid == group;
        if (!same && ::fchown(fd.get(), owner, group) != 0)
            return fail(systemreasons::ownReason(own::kOwnerNotKept, errnoText(errno, own::kNotPermitted)));
    }
    if (keepOwner && ::fchmod(fd.get(), mode) != 0)
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

} // namespace platform

namespace {

// The folder or file at `path` with every link on the way followed, as the system walks it;
// std::nullopt when that walk does not reach anything.
std::optional<QByteArray> realPath(const QByteArray& path) {
    char* real = ::realpath(path.constData(), nullptr);
    if (!real)
        return std::nullopt;
    const QByteArray result(real);
    std::free(real);
    return result;
}

// `path` as the system reaches it: the folder it stands in with every link of that folder followed
// and every ".." taken from where those links really lead (not as the text reads), then its own
// name. Of a folder that is not there, the part that is there is reached so, and the rest is
// left as it is written: the write there then says why it cannot be.
QByteArray reached(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray name = path.mid(slash + 1);
    if (name.isEmpty() || name == "." || name == "..")
        return realPath(path).value_or(path);
    if (slash < 0)
        return reached("./" + path);
    if (slash == 0)
        return path;
    const QByteArray folder = path.left(slash);
    const std::optional<QByteArray> real = realPath(folder);
    QByteArray result = real ? *real : reached(folder);
    if (!result.endsWith('/'))
        result += '/';
    return result + name;
}

} // namespace

bool resolveTarget(const QString& path, QString* target, QString* reason) {
    QByteArray current = reached(QFile::encodeName(path));
    QSet<std::pair<quint64, quint64>> seen; // the links met, by device and inode
    for (int links = 0;; ++links) {
        struct stat info {};
        // Whatever is not a link (or not there, or not to be looked at) ends the chain: the file
        // is written there, or the write says why it cannot be.
        if (::lstat(current.constData(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            *target = QFile::decodeName(current);
            return true;
        }
        const std::pair<quint64, quint64> key{quint64(info.st_dev), quint64(info.st_ino)};
        if (seen.contains(key)) {
            *reason = QString::fromLatin1(own::kLinkLoop);
            return false;
        }
        if (links == kMaxLinks) {
            *reason = QString::fromLocal8Bit(std::strerror(ELOOP));
            return false;
        }
        seen.insert(key);
        QByteArray link(qsizetype(info.st_size > 0 ? info.st_size : 255) + 1, '\0');
        ssize_t n = 0;
        while ((n = ::readlink(current.constData(), link.data(), size_t(link.size()))) == ssize_t(link.size()))
            link.resize(link.size() * 2);
        if (n < 0) {
            *reason = errnoText(errno, own::kLinkNotRead);
            return false;
        }
        link.truncate(n);
        // A relative link starts from the folder it really stands in, which `current` names already.
        const qsizetype slash = current.lastIndexOf('/');
        current = reached(link.startsWith('/') || slash < 0 ? link : current.left(slash + 1) + link);
    }
}

Attributes attributesOf(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {unsigned(info.st_uid), unsigned(info.st_gid), unsigned(info.st_mode & 07777)};
}

bool canKeepOwner(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(resolvedTarget(path)).constData(), &info) != 0)
        return true;
    std::vector<unsigned> groups{unsigned(::getegid())};
    const int count = ::getgroups(0, nullptr);
    if (count > 0) {
        std::vector<gid_t> others(static_cast<std::size_t>(count));
        const int got = ::getgroups(count, others.data());
        groups.insert(groups.end(), others.begin(), others.begin() + std::max(got, 0));
    }
    return ownerCanBeKept(unsigned(info.st_uid), unsigned(info.st_gid), unsigned(::geteuid()), groups);
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
    removeStaleTemporaries(absolute);
    // Made private and under a temporary name first: it takes its name only with its owner and
    // permissions, so that nobody else can use it before, and a run killed half-way leaves no
    // folder that its owner could not use.
    QByteArray temporary;
    bool made = false;
    for (int attempt = 0; attempt < 100 && !made; ++attempt) {
        temporary = QFile::encodeName(temporaryNameFor(absolute));
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
    mode_t mode = model.st_mode & 02777;
    QString why;
    if (fd.get() < 0 ||
        !giveOwner(fd.get(), model.st_uid, model.st_gid, groupOfFolderOf(name, model.st_gid), &mode, &why) ||
        ::fchmod(fd.get(), mode) != 0 || ::fsync(fd.get()) != 0) {
        *reason = !why.isEmpty()
                      ? why
                      : systemreasons::ownReason(own::kFolderOwnerNotSet, errnoText(errno, own::kNotPermitted));
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
