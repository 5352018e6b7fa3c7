#pragma once

#include <QString>

#include <cstdint>

// One change at a time per copy of the aircraft. An export, a restore and a take-over each hold the
// lock of the copy while they read and write it, so that two programs (two instances of this one,
// say) never mix their files: the other one waits a moment and then gives up, changing nothing.
//
// The lock is one the system ends with the process that holds it, so a program that was killed
// never leaves a lock behind. On Unix it is flock() on the copy's folder itself, which needs no
// file of its own; on Windows, LockFileEx() on a hidden file of the copy's folder, kLockFileName,
// which stays there (a folder cannot be locked there).
//
// Only what cannot take part (a file system without locks, a folder that cannot be opened) goes
// on without the lock: the operation then says itself what stands in its way.
namespace copylock {

inline constexpr auto kLockFileName = "merovan.lock"; // Windows only
inline constexpr int kWaitMilliseconds = 3000;

class Lock {
public:
    enum class Mode {
        Shared,    // reading: others may read, nobody may change the copy
        Exclusive, // changing: nobody else may read or change it
    };

    // Takes the lock of the copy in `copyFolder`; while another program holds it, tries again for
    // up to `waitMilliseconds`.
    Lock(const QString& copyFolder, Mode mode, int waitMilliseconds = kWaitMilliseconds);
    ~Lock();
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

    // True when another program held the lock all that time (on Windows, also when it held the lock
    // file open without sharing it): the operation must change nothing.
    bool busy() const { return m_busy; }
    // True while this lock is held (false also when the copy could not take part).
    bool held() const { return m_handle != kNone; }

private:
    static constexpr std::intptr_t kNone = -1;
    std::intptr_t m_handle = kNone;
    bool m_busy = false;
};

} // namespace copylock
