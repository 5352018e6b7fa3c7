#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// Replacing files so that a crash, a full disk or any other failure leaves either the whole old
// file or the whole new one, never a mix. The new content goes to a temporary file
// ".<name>.<random>.tmp" in the same folder and is flushed to the disk. On Unix it takes over the
// old file's owner, group and mode and is renamed over the old file, and the folder is synced after
// the rename; a chain of symbolic links is followed to its end as the system follows it (the file
// at the end is replaced, every link stays a link), a hard link is broken (the other names keep
// the old content). On Windows ReplaceFileW puts it in place of an existing file, keeping that
// file's attributes and security, and MoveFileExW (writing through) makes a new one. A new file
// gets the permissions the user's umask gives; a replacement those of the file it replaces.
//
// An existing file without any write permission (on Windows: with the read-only attribute) is
// read-only for everybody, administrators included, and is not replaced; neither is one whose
// owner and group could not be kept, nor anything that is not a regular file (a pipe, a device).
//
// On failure these return false, remove the temporary file and put a reason a person can read
// into *reason (never "Unknown error").
//
// AtomicFile.cpp holds what is the same on every system: the ways to put content in place, up to
// the system's part. AtomicFilePosix.cpp and AtomicFileWindows.cpp (CMake builds the one of the
// target) hold what differs: that part, and the functions below that are the system's alone.
namespace atomicfile {

bool replaceWithData(const QString& path, const QByteArray& data, QString* reason);

// At most this many symbolic links are followed one after the other, as on Linux.
inline constexpr int kMaxLinks = 40;

// Where a replacement of `path` really writes: the end of a chain of symbolic links (which need not
// exist), else `path` itself. False, with the reason, for a chain that goes round in a circle or is
// longer than kMaxLinks, or a link that cannot be read.
bool resolveTarget(const QString& path, QString* target, QString* reason);
// The same, or `path` itself where the chain cannot be followed.
QString resolvedTarget(const QString& path);

// Replaces (or creates) `target` with a byte copy of `source`, streamed in blocks.
bool replaceWithCopy(const QString& source, const QString& target, QString* reason);

// The same at `path` itself: a symbolic link there is replaced by the new file, and whatever it led
// to stays as it is. The new file is one of the user's own, with the permissions the umask gives.
bool replaceEntryWithData(const QString& path, const QByteArray& data, QString* reason);
bool replaceEntryWithCopy(const QString& source, const QString& path, QString* reason);

// Owner, group and permission bits (POSIX numbers), each where it is known.
struct Attributes {
    std::optional<unsigned> owner;
    std::optional<unsigned> group;
    std::optional<unsigned> mode; // the permission bits, 07777 at most
};
// Those of the file or folder at `path` (following links); nothing is known on systems without
// owners and modes, or when it cannot be looked at.
Attributes attributesOf(const QString& path);

// Creates `path` as a new file holding a byte copy of `source`, with `source`'s owner, group and
// permissions (never wider; on Windows the folder's security). The copy is written and flushed as
// a temporary file beside `path`, which takes the name only when nothing at all is there: not a
// file, not a folder, not even a dangling symbolic link; `path` itself is never followed. So a
// file made this way was made whole by this program, and nothing else is ever overwritten.
//
// Where the system does not let the user give the file `source`'s owner (only an administrator
// may give a file away), it stays the user's own and takes `source`'s group, or else the group of
// the folder it is in; in any other group it loses the group's permissions, so that it is never
// open to more people than `source`.
bool createCopy(const QString& source, const QString& path, QString* reason);
// The same with `data` for content and the owner, group and permissions of the file `like`.
bool createWithData(const QString& path, const QByteArray& data, const QString& like, QString* reason);

// Replaces (or creates) `target` with a byte copy of `source` that takes the owner, group and
// permissions `installed` names; what it does not name comes from `source`, the permissions from
// `target` while it exists. An owner or group the user may not give is handled as by createCopy.
bool restoreCopy(const QString& source, const QString& target, const Attributes& installed, QString* reason);

// Creates the folder `path`, only where nothing is, with the owner, group and permissions
// (setgid included) of the folder `like` (never wider, and with the same way out as createCopy
// when the owner cannot be given), and syncs the folder it is in.
bool createFolder(const QString& path, const QString& like, QString* reason);

// Removes the file `path` (a symbolic link itself, not its target) and syncs its folder.
bool removeFile(const QString& path, QString* reason);

// Whether a replacement of the existing file `path` can give the new file the old one's owner and
// group: always for an administrator; for anybody else only for their own file in one of their
// groups. True when the file does not exist, and on systems without file owners.
bool canKeepOwner(const QString& path);
// The rule behind it, for a file of `fileOwner` in `fileGroup` and a user `user` (0: an
// administrator) who belongs to `userGroups` (the primary group and the others).
bool ownerCanBeKept(unsigned fileOwner, unsigned fileGroup, unsigned user, const std::vector<unsigned>& userGroups);

// Whether a new file can be created in `folder`. On Unix also by its permission bits, so that a
// folder without any write permission is read-only for an administrator too; on Windows, which
// ignores a folder's read-only attribute, by creating a file in it and removing it again.
bool canCreateIn(const QString& folder);

} // namespace atomicfile
