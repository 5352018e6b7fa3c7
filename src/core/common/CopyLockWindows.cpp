// The Windows lock of a copy: LockFileEx() on a hidden file in its folder.
#include "CopyLock.h"
#include "LongPath.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QThread>

#include <string>

#include <qt_windows.h>

namespace copylock {

Lock::Lock(const QString& copyFolder, Mode mode, int waitMilliseconds) {
    const std::wstring path =
        longpath::extended(QDir(copyFolder).filePath(QLatin1String(kLockFileName))).toStdWString();
    const QDeadlineTimer deadline(waitMilliseconds);
    // Reading takes part only where the file is there already: a copy never changed needs none.
    DWORD error = 0;
    auto open = [&] {
        const HANDLE opened = ::CreateFileW(
            path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
            mode == Mode::Exclusive ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_HIDDEN, nullptr);
        error = ::GetLastError();
        return opened;
    };
    HANDLE file = open();
    while (file == INVALID_HANDLE_VALUE && error == ERROR_SHARING_VIOLATION && !deadline.hasExpired()) {
        QThread::msleep(20);
        file = open();
    }
    if (file == INVALID_HANDLE_VALUE) {
        // Another program that holds the file open without sharing it keeps this one out as a
        // lock does: going on unlocked could mix the two programs' files.
        m_busy = error == ERROR_SHARING_VIOLATION;
        return;
    }
    const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (mode == Mode::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    for (;;) {
        OVERLAPPED at{}; // the first byte, which nobody reads: the file stays empty
        if (::LockFileEx(file, flags, 0, 1, 0, &at)) {
            m_handle = reinterpret_cast<std::intptr_t>(file);
            return;
        }
        error = ::GetLastError();
        if (error != ERROR_LOCK_VIOLATION || deadline.hasExpired()) {
            m_busy = error == ERROR_LOCK_VIOLATION;
            ::CloseHandle(file);
            return;
        }
        QThread::msleep(20);
    }
}

Lock::~Lock() {
    if (m_handle != kNone)
        ::CloseHandle(reinterpret_cast<HANDLE>(m_handle)); // which ends the lock
}

} // namespace copylock
