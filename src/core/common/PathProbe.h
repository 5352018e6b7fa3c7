#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What is at a path, told apart the way a user needs it told: nothing there, a file, a folder,
// something else (a pipe, a socket, a device), or something that exists (or may exist) but cannot
// be reached or read, with the system's reason. "Missing" is said only when the system says so.
// Nothing is ever opened to find out.
namespace pathprobe {

struct Probe {
    enum class State {
        Missing,
        File, // a regular file
        Folder,
        Other, // a pipe, a socket, a device
        Link,  // a symbolic link (or junction), said only by probeEntry()
        Unreadable,
    };
    State state = State::Missing;
    QString reason; // for Unreadable
};

// What is at `path`, following symbolic links.
Probe probe(const QString& path);
// What is at `path` itself: a symbolic link is a Link, whatever it points to (or if to nothing).
Probe probeEntry(const QString& path);

// Which file is at `path`, its links followed: the same for every name of one file (a link, a hard
// link, a path with other letter case) and different for any two files. On POSIX its device and
// inode, on Windows its volume and file ID.
struct FileId {
    quint64 volume = 0;
    quint64 file = 0;
    friend bool operator==(const FileId&, const FileId&) = default;
};
// std::nullopt when nothing is there or it cannot be looked at.
std::optional<FileId> identity(const QString& path);

// True when the file system `path` (or, where it is not there, the folder it would be in) lies on
// is mounted read-only (on Windows: a write-protected drive): nothing on it can be changed by
// anybody.
bool onReadOnlyVolume(const QString& path);

// The names in a folder (without "." and ".."), unsorted. std::nullopt when the folder cannot be
// listed: *missing tells whether it is simply not there, *reason says why otherwise.
std::optional<QStringList> listFolder(const QString& folder, bool* missing, QString* reason);

} // namespace pathprobe
