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
#include <cstdio> // renameat2
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include <qt_windows.h>
#else
#include <QSaveFile>
#endif

namespace atomicfile {
namespace {

// Writes the next block of the new content into `put`; returns false with a reason on failure.
using Producer = std::function<bool(const std::function<bool(const char*, qint64, QString*)>& put, QString* reason)>;

[[maybe_unused]] QString errnoText(int error, const char* fallback) {
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

// Gives the finished temporary file the name `target` only when nothing is there. A file system
// that cannot rename that way gets a hard link, which fails the same way, and loses the temporary
// name.
bool takeNameExclusively(const QByteArray& temporary, const QByteArray& target, QString* reason) {
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, temporary.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
        *reason = errnoText(errno, "the file could not be created");
        return false;
    }
#endif
    if (::link(temporary.constData(), target.constData()) != 0) {
        *reason = errnoText(errno, "the file could not be created");
        return false;
    }
    ::unlink(temporary.constData());
    return true;
}

#endif // Q_OS_UNIX

// How a file is put in place.
struct How {
    bool create = false;    // only where nothing is, never following the path (a new backup)
    QString attributesFrom; // owner, group and permissions from this file instead of the old one
};

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

#ifdef Q_OS_UNIX

bool replace(const QString& path, const Producer& produce, const How& how, QString* reason) {
    const QString targetPath = QFileInfo(how.create ? path : resolvedTarget(path)).absoluteFilePath();
    removeStaleTemporaries(targetPath);
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
        *reason = QStringLiteral("the file is read-only");
        return false;
    }
    // Whose the new file is and who may read it: the old file's, or those of the file named.
    struct stat like = old;
    bool keepOwner = existed;
    if (!how.attributesFrom.isEmpty()) {
        if (::stat(QFile::encodeName(how.attributesFrom).constData(), &like) != 0) {
            *reason = errnoText(errno, "the file's owner and permissions could not be read");
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
    if (keepOwner) {
        // A file that went to another owner or group would no longer be theirs to write.
        struct stat fresh {};
        const bool same = ::fstat(fd.get(), &fresh) == 0 && fresh.st_uid == like.st_uid && fresh.st_gid == like.st_gid;
        if (!same && ::fchown(fd.get(), like.st_uid, like.st_gid) != 0)
            return fail(QStringLiteral("the file's owner and group could not be kept (%1)")
                            .arg(errnoText(errno, "not permitted")));
    }
    if (::fchmod(fd.get(), mode) != 0)
        return fail(errnoText(errno, "the file permissions could not be set"));
    if (::fsync(fd.get()) != 0)
        return fail(errnoText(errno, "the data could not be stored on the disk"));
    if (!fd.close())
        return fail(errnoText(errno, "the data could not be stored on the disk"));
    if (how.create) {
        if (!takeNameExclusively(temporary, target, reason)) {
            ::unlink(temporary.constData());
            return false;
        }
    } else if (::rename(temporary.constData(), target.constData()) != 0) {
        return fail(errnoText(errno, "the file could not be replaced"));
    }
    // The new file is in place; make its name durable too.
    return syncFolder(target, reason);
}

#elif defined(Q_OS_WIN)

// The system's text for a Windows error code, without the closing full stop.
QString windowsErrorText(DWORD error, const char* fallback) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, error, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    QString text = length > 0 ? QString::fromWCharArray(buffer, int(length)).trimmed() : QString();
    ::LocalFree(buffer);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text.isEmpty() ? QString::fromLatin1(fallback) : text;
}

class Handle {
public:
    explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : m_handle(h) {}
    ~Handle() {
        if (m_handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_handle);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return m_handle; }
    void reset(HANDLE h = INVALID_HANDLE_VALUE) {
        if (m_handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_handle);
        m_handle = h;
    }
    bool close() {
        const HANDLE h = m_handle;
        m_handle = INVALID_HANDLE_VALUE;
        return ::CloseHandle(h) != 0;
    }

private:
    HANDLE m_handle;
};

std::wstring nativePath(const QString& path) {
    return QDir::toNativeSeparators(path).toStdWString();
}

QString temporaryNameFor(const QString& target) {
    static std::mt19937 names{std::random_device{}()};
    const QFileInfo info(target);
    return info.absolutePath() + QLatin1String("/.") + info.fileName() + QLatin1Char('.') +
           QString::number(quint32(names()), 36) + QLatin1String(".tmp");
}

bool writeAll(HANDLE file, const char* data, qint64 size, QString* reason) {
    while (size > 0) {
        DWORD written = 0;
        if (!::WriteFile(file, data, DWORD(std::min<qint64>(size, 1 << 30)), &written, nullptr)) {
            *reason = windowsErrorText(::GetLastError(), "the data could not be written completely");
            return false;
        }
        if (written == 0) {
            *reason = windowsErrorText(ERROR_DISK_FULL, "the data could not be written completely");
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

// An existing file is replaced with ReplaceFileW, which keeps its owner and security descriptor; a
// new one is put in place with MoveFileExW, written through to the disk.
bool replace(const QString& path, const Producer& produce, const How& how, QString* reason) {
    const QString targetPath = QFileInfo(how.create ? path : resolvedTarget(path)).absoluteFilePath();
    removeStaleTemporaries(targetPath);
    const std::wstring target = nativePath(targetPath);
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    const bool existed = attributes != INVALID_FILE_ATTRIBUTES;
    if (existed && how.create) {
        *reason = windowsErrorText(ERROR_ALREADY_EXISTS, "something is already there");
        return false;
    }
    if (existed && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        *reason = QStringLiteral("it is a folder");
        return false;
    }
    // Refused before anything changes: replacing would drop the protection.
    if (existed && (attributes & FILE_ATTRIBUTE_READONLY)) {
        *reason = QStringLiteral("the file is read-only");
        return false;
    }

    std::wstring temporary;
    Handle file;
    for (int attempt = 0; attempt < 100 && file.get() == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = nativePath(temporaryNameFor(targetPath));
        file.reset(
            ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        const DWORD error = ::GetLastError();
        if (file.get() == INVALID_HANDLE_VALUE && error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            if (error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT)
                *reason = QStringLiteral("the folder %1 cannot be written (%2)")
                              .arg(QDir::toNativeSeparators(QFileInfo(targetPath).absolutePath()),
                                   windowsErrorText(error, "access denied"));
            else
                *reason = windowsErrorText(error, "the temporary file could not be created");
            return false;
        }
    }
    if (file.get() == INVALID_HANDLE_VALUE) {
        *reason = QStringLiteral("no free name for a temporary file");
        return false;
    }

    auto fail = [&](const QString& why) {
        *reason = why;
        file.reset();
        ::DeleteFileW(temporary.c_str());
        return false;
    };

    const auto put = [&](const char* data, qint64 size, QString* why) { return writeAll(file.get(), data, size, why); };
    QString why;
    if (!produce(put, &why))
        return fail(why);
    if (!::FlushFileBuffers(file.get()))
        return fail(windowsErrorText(::GetLastError(), "the data could not be stored on the disk"));
    if (!file.close())
        return fail(windowsErrorText(::GetLastError(), "the data could not be stored on the disk"));
    if (!existed) {
        // Without MOVEFILE_REPLACE_EXISTING this fails when anything took the name meanwhile.
        if (!::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH))
            return fail(windowsErrorText(::GetLastError(), "the file could not be put in place"));
        return true;
    }
    // The new file carries the old one's attributes (hidden, system, archive...) itself, so that
    // they survive whether or not ReplaceFileW merges them.
    const DWORD carried = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                        FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    if (carried != 0 && !::SetFileAttributesW(temporary.c_str(), carried))
        return fail(windowsErrorText(::GetLastError(), "the file attributes could not be set"));
    if (::ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
        return true;
    const DWORD error = ::GetLastError();
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
        // The old file is gone or moved aside and the new one has not taken its name: give it the
        // name now, and should that fail too, keep the new content rather than lose both.
        if (::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        *reason = QStringLiteral("%1 (the new content is in %2)")
                      .arg(windowsErrorText(::GetLastError(), "the file could not be replaced"),
                           QString::fromStdWString(temporary));
        return false;
    }
    return fail(windowsErrorText(error, "the file could not be replaced"));
}

#else // neither Q_OS_UNIX nor Q_OS_WIN

bool replace(const QString& path, const Producer& produce, const How& how, QString* reason) {
    if (how.create && QFileInfo(path).exists()) {
        *reason = QStringLiteral("something is already there");
        return false;
    }
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

namespace {

bool putData(const QString& path, const QByteArray& data, const How& how, QString* reason) {
    QString dummy;
    return replace(
        path, [&](const auto& put, QString* why) { return put(data.constData(), data.size(), why); }, how,
        reason ? reason : &dummy);
}

bool putCopy(const QString& source, const QString& target, const How& how, QString* reason) {
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
        how, reason);
}

} // namespace

bool replaceWithData(const QString& path, const QByteArray& data, QString* reason) {
    return putData(path, data, How{}, reason);
}

bool replaceWithCopy(const QString& source, const QString& target, QString* reason) {
    return putCopy(source, target, How{}, reason);
}

bool createCopy(const QString& source, const QString& path, QString* reason) {
    return putCopy(source, path, How{true, source}, reason);
}

bool createWithData(const QString& path, const QByteArray& data, const QString& like, QString* reason) {
    return putData(path, data, How{true, like}, reason);
}

bool restoreCopy(const QString& source, const QString& target, QString* reason) {
    return putCopy(source, target, How{false, source}, reason);
}

bool createFolder(const QString& path, const QString& like, QString* reason) {
    QString dummy;
    if (!reason)
        reason = &dummy;
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    struct stat model {};
    if (::stat(QFile::encodeName(like).constData(), &model) != 0) {
        *reason = errnoText(errno, "the folder's owner and permissions could not be read");
        return false;
    }
    // Made private first, so that nobody else can use it before it has its owner and permissions.
    if (::mkdir(name.constData(), 0700) != 0) {
        *reason = errnoText(errno, "the folder could not be created");
        return false;
    }
    Descriptor fd(::open(name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat made {};
    const bool ok = fd.get() >= 0 && ::fstat(fd.get(), &made) == 0 &&
                    ((made.st_uid == model.st_uid && made.st_gid == model.st_gid) ||
                     ::fchown(fd.get(), model.st_uid, model.st_gid) == 0) &&
                    ::fchmod(fd.get(), model.st_mode & 0777) == 0 && ::fsync(fd.get()) == 0;
    if (!ok) {
        *reason = QStringLiteral("the folder's owner and permissions could not be set (%1)")
                      .arg(errnoText(errno, "not permitted"));
        ::rmdir(name.constData());
        return false;
    }
    return syncFolder(name, reason);
#else
    Q_UNUSED(like);
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
        *reason = QStringLiteral("something is already there");
        return false;
    }
    if (!QDir().mkdir(path)) {
        *reason = QStringLiteral("the folder could not be created");
        return false;
    }
    return true;
#endif
}

bool removeFile(const QString& path, QString* reason) {
    QString dummy;
    if (!reason)
        reason = &dummy;
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    if (::unlink(name.constData()) != 0) {
        *reason = errnoText(errno, "the file could not be removed");
        return false;
    }
    return syncFolder(name, reason);
#elif defined(Q_OS_WIN)
    if (!::DeleteFileW(nativePath(QFileInfo(path).absoluteFilePath()).c_str())) {
        *reason = windowsErrorText(::GetLastError(), "the file could not be removed");
        return false;
    }
    return true;
#else
    QFile file(path);
    if (!file.remove()) {
        *reason = file.errorString();
        return false;
    }
    return true;
#endif
}

} // namespace atomicfile
