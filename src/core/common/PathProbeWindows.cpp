// PathProbe's system part on Windows, through QFileInfo and QDir: links and junctions, files and
// folders, and the folder's entries; a file's identity and its volume through the system's calls.
#include "PathProbePlatform.h"

#include "LongPath.h"
#include "SystemReasons.h"

#include <QDir>
#include <QFileInfo>

#include <windows.h>

namespace pathprobe::platform {

Probe look(const QString& path, bool follow, bool* endlessLinks) {
    const QFileInfo info(path);
    if (!follow && (info.isSymLink() || info.isJunction()))
        return {Probe::State::Link, {}};
    if (!info.exists()) {
        // A link whose end is not there may be one of a circle.
        *endlessLinks = info.isSymbolicLink();
        return {Probe::State::Missing, {}};
    }
    if (info.isDir())
        return {Probe::State::Folder, {}};
    return {info.isFile() ? Probe::State::File : Probe::State::Other, {}};
}

std::optional<FileId> identity(const QString& path) {
    // Opened for no access at all, so that neither a lock nor a missing permission to read stands
    // in the way; folders need the backup-semantics flag.
    const std::wstring name = longpath::extended(path).toStdWString();
    const HANDLE handle = ::CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = ::GetFileInformationByHandle(handle, &info);
    ::CloseHandle(handle);
    if (!known)
        return std::nullopt;
    return FileId{quint64(info.dwVolumeSerialNumber), (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

bool onReadOnlyVolume(const QString& path) {
    const std::wstring name = longpath::extended(path).toStdWString();
    wchar_t root[MAX_PATH + 1] = {};
    DWORD flags = 0;
    return ::GetVolumePathNameW(name.c_str(), root, MAX_PATH) &&
           ::GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) &&
           (flags & FILE_READ_ONLY_VOLUME) != 0;
}

std::optional<QStringList> list(const QString& folder, bool* missing, QString* reason) {
    const QFileInfo info(folder);
    *missing = !info.exists() || !info.isDir();
    if (*missing) {
        *reason = QString::fromLatin1(systemreasons::own::kFolderMissing);
        return std::nullopt;
    }
    if (!info.isReadable()) {
        *reason = QString::fromLatin1(systemreasons::own::kAccessDenied);
        return std::nullopt;
    }
    return QDir(info.filePath())
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
}

} // namespace pathprobe::platform
