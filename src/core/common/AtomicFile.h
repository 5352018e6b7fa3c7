#pragma once

#include <QByteArray>
#include <QString>

// Replacing files so that a crash, a full disk or any other failure leaves either the whole old
// file or the whole new one, never a mix. The new content goes to a temporary file
// ".<name>.<random>.tmp" in the same folder and is flushed to the disk. On Unix it takes over the
// old file's owner, group and mode and is renamed over the old file, and the folder is synced after
// the rename; a symbolic link is followed (its target is replaced), a hard link is broken (the
// other names keep the old content). On Windows ReplaceFileW puts it in place of an existing file,
// keeping that file's attributes and security, and MoveFileExW (writing through) makes a new one.
//
// An existing file without any write permission (on Windows: with the read-only attribute) is
// read-only for everybody, administrators included, and is not replaced; neither is one whose
// owner and group could not be kept.
//
// On failure these return false, remove the temporary file and put a reason a person can read
// into *reason (never "Unknown error").
//
// AtomicFilePosix.cpp and AtomicFileWindows.cpp, one of them built for the target, carry out every
// function below; AtomicFile.cpp holds the few helpers both use.
namespace atomicfile {

bool replaceWithData(const QString& path, const QByteArray& data, QString* reason);

// Where a replacement of `path` really writes: the target of a symbolic link, else `path` itself.
QString resolvedTarget(const QString& path);

// Replaces (or creates) `target` with a byte copy of `source`, streamed in blocks.
bool replaceWithCopy(const QString& source, const QString& target, QString* reason);

// Creates `path` as a new file holding a byte copy of `source`, with `source`'s owner, group and
// permissions (never wider; on Windows the folder's security). The copy is written and flushed as
// a temporary file beside `path`, which takes the name only when nothing at all is there: not a
// file, not a folder, not even a dangling symbolic link; `path` itself is never followed. So a
// file made this way was made whole by this program, and nothing else is ever overwritten.
bool createCopy(const QString& source, const QString& path, QString* reason);
// The same with `data` for content and the owner, group and permissions of the file `like`.
bool createWithData(const QString& path, const QByteArray& data, const QString& like, QString* reason);

// Replaces (or creates) `target` with a byte copy of `source` that also takes `source`'s owner,
// group and permissions, as a replacement does (see above).
bool restoreCopy(const QString& source, const QString& target, QString* reason);

// Creates the folder `path`, only where nothing is, with the owner, group and permissions of the
// folder `like` (never wider), and syncs the folder it is in.
bool createFolder(const QString& path, const QString& like, QString* reason);

// Removes the file `path` (a symbolic link itself, not its target) and syncs its folder.
bool removeFile(const QString& path, QString* reason);

// Whether a replacement of the existing file `path` can give the new file the old one's owner and
// group: always for an administrator; for anybody else only for their own file in one of their
// groups. True when the file does not exist, and on systems without file owners.
bool canKeepOwner(const QString& path);

// Whether a new file can be created in `folder`. On Unix also by its permission bits, so that a
// folder without any write permission is read-only for an administrator too; on Windows, which
// ignores a folder's read-only attribute, by creating a file in it and removing it again.
bool canCreateIn(const QString& folder);

} // namespace atomicfile
