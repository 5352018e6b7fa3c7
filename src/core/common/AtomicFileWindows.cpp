// AtomicFile's system part on Windows: CreateFileW, FlushFileBuffers, ReplaceFileW and
// MoveFileExW; following links and junctions; making folders and removing files.
#include "AtomicFilePlatform.h"
#include "LongPath.h"
#include "SystemReasons.h"
#include "TemporaryFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryFile>

#include <algorithm>
#include <string>

#include <qt_windows.h>

namespace atomicfile {
namespace {

namespace own = systemreasons::own;

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

// The name the system's calls take, at any length.
std::wstring nativePath(const QString& path) {
    return longpath::extended(path).toStdWString();
}

bool writeAll(HANDLE file, const char* data, qint64 size, QString* reason) {
    while (size > 0) {
        DWORD written = 0;
        if (!::WriteFile(file, data, DWORD(std::min<qint64>(size, 1 << 30)), &written, nullptr)) {
            *reason = windowsErrorText(::GetLastError(), own::kWriteIncomplete);
            return false;
        }
        if (written == 0) {
            *reason = windowsErrorText(ERROR_DISK_FULL, own::kWriteIncomplete);
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

} // namespace

namespace platform {

// An existing file is replaced with ReplaceFileW, which keeps its owner and security descriptor; a
// new one is put in place with MoveFileExW, written through to the disk.
bool put(const QString& targetPath, Content& content, const How& how, QString* reason) {
    const std::wstring target = nativePath(targetPath);
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    // A link that is itself replaced leaves whatever it led to alone: the new file takes its name.
    const bool link = how.entry && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    const bool existed = attributes != INVALID_FILE_ATTRIBUTES && !link;
    if (existed && how.create) {
        *reason = windowsErrorText(ERROR_ALREADY_EXISTS, own::kSomethingThere);
        return false;
    }
    if (existed && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        *reason = QString::fromLatin1(own::kFolder);
        return false;
    }
    // Refused before anything changes: replacing would drop the protection.
    if (existed && (attributes & FILE_ATTRIBUTE_READONLY)) {
        *reason = QString::fromLatin1(own::kReadOnlyFile);
        return false;
    }

    QString temporaryPath;
    std::wstring temporary;
    Handle file;
    for (int attempt = 0; attempt < 100 && file.get() == INVALID_HANDLE_VALUE; ++attempt) {
        temporaryPath = temporaryNameFor(targetPath);
        temporary = nativePath(temporaryPath);
        file.reset(
            ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        const DWORD error = ::GetLastError();
        if (file.get() == INVALID_HANDLE_VALUE && error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            if (error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT)
                *reason = systemreasons::ownReason(own::kFolderNotWritable,
                                                   QDir::toNativeSeparators(QFileInfo(targetPath).absolutePath()),
                                                   windowsErrorText(error, own::kAccessDenied));
            else
                *reason = windowsErrorText(error, own::kTemporaryNotCreated);
            return false;
        }
    }
    if (file.get() == INVALID_HANDLE_VALUE) {
        *reason = QString::fromLatin1(own::kNoTemporaryName);
        return false;
    }

    auto fail = [&](const QString& why) {
        *reason = why;
        file.reset();
        ::DeleteFileW(temporary.c_str());
        return false;
    };

    QByteArrayView block;
    QString why;
    do {
        if (!content.next(&block, &why) || !writeAll(file.get(), block.data(), block.size(), &why))
            return fail(why);
    } while (!block.isEmpty());
    if (!::FlushFileBuffers(file.get()))
        return fail(windowsErrorText(::GetLastError(), own::kNotStored));
    if (!file.close())
        return fail(windowsErrorText(::GetLastError(), own::kNotStored));
    if (!existed) {
        // Without MOVEFILE_REPLACE_EXISTING this fails when anything took the name meanwhile; a link
        // replaced itself gives way.
        if (!::MoveFileExW(temporary.c_str(), target.c_str(),
                           MOVEFILE_WRITE_THROUGH | (link ? MOVEFILE_REPLACE_EXISTING : 0)))
            return fail(windowsErrorText(::GetLastError(), own::kNotPutInPlace));
        return true;
    }
    // The new file carries the old one's attributes (hidden, system, archive...) itself, so that
    // they survive whether or not ReplaceFileW merges them.
    const DWORD carried = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                        FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    if (carried != 0 && !::SetFileAttributesW(temporary.c_str(), carried))
        return fail(windowsErrorText(::GetLastError(), own::kAttributesNotSet));
    if (::ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
        return true;
    const DWORD error = ::GetLastError();
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
        // The old file is gone or moved aside and the new one has not taken its name: give it the
        // name now, and should that fail too, keep the new content rather than lose both.
        if (::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        *reason = systemreasons::ownReason(own::kNewContentIn, windowsErrorText(::GetLastError(), own::kNotReplaced),
                                           QDir::toNativeSeparators(temporaryPath));
        return false;
    }
    return fail(windowsErrorText(error, own::kNotReplaced));
}

} // namespace platform

// Symbolic links (and junctions) are followed one by one as the system follows them, so that a
// circle can be told apart from a long chain. Shortcut files (.lnk) are files, not links.
bool resolveTarget(const QString& path, QString* target, QString* reason) {
    QString current = path;
    QSet<QString> seen;
    for (int links = 0;; ++links) {
        const QFileInfo info(current);
        if (!info.isSymbolicLink() && !info.isJunction()) {
            *target = current;
            return true;
        }
        const QString key = QDir::cleanPath(info.absoluteFilePath()).toCaseFolded();
        if (seen.contains(key)) {
            *reason = QString::fromLatin1(own::kLinkLoop);
            return false;
        }
        if (links == kMaxLinks) {
            *reason = windowsErrorText(ERROR_CANT_RESOLVE_FILENAME, own::kTooManyLinks);
            return false;
        }
        seen.insert(key);
        // A relative link starts from the folder it really stands in, with that folder's own links
        // and junctions followed: its ".." goes up from there, not from the path as typed.
        const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
        const QString next =
            (folder.isEmpty() ? info : QFileInfo(QDir(folder).filePath(info.fileName()))).symLinkTarget();
        if (next.isEmpty()) {
            *reason = QString::fromLatin1(own::kLinkNotRead);
            return false;
        }
        current = next;
    }
}

Attributes attributesOf(const QString& path) {
    Q_UNUSED(path);
    return {}; // the security descriptor, not owner numbers and modes
}

bool canKeepOwner(const QString& path) {
    Q_UNUSED(path);
    return true; // the replaced file keeps its security descriptor
}

// Windows ignores a folder's read-only attribute (Explorer sets it on every customised folder), so
// only trying tells: a file is created in the folder and removed again.
bool canCreateIn(const QString& folder) {
    QTemporaryFile probe(folder + QStringLiteral("/.merovan-probe.XXXXXX.tmp"));
    return probe.open();
}

bool createFolder(const QString& path, const QString& like, QString* reason) {
    QString dummy;
    if (!reason)
        reason = &dummy;
    Q_UNUSED(like);
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
        *reason = QString::fromLatin1(own::kSomethingThere);
        return false;
    }
    if (!QDir().mkdir(path)) {
        *reason = QString::fromLatin1(own::kFolderNotCreated);
        return false;
    }
    return true;
}

bool removeFile(const QString& path, QString* reason) {
    QString dummy;
    if (!reason)
        reason = &dummy;
    if (!::DeleteFileW(nativePath(path).c_str())) {
        *reason = windowsErrorText(::GetLastError(), own::kNotRemoved);
        return false;
    }
    return true;
}

} // namespace atomicfile
