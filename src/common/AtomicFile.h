#pragma once

#include <QByteArray>
#include <QString>

// Replacing files so that a crash, a full disk or any other failure leaves either the whole old
// file or the whole new one, never a mix. The new content goes to a temporary file in the same
// folder, is flushed and synced, takes over the old file's owner (where the process may), and is
// renamed over the old file; the folder is synced after the rename. A symbolic link is followed:
// its target is replaced. A hard link is broken: the other names keep the old content.
//
// An existing file without any write permission is read-only for everybody, administrators
// included, and is not replaced; neither is one whose owner and group could not be kept.
//
// On failure these return false, remove the temporary file and put a reason a person can read
// into *reason (never "Unknown error").
namespace atomicfile {

bool replaceWithData(const QString& path, const QByteArray& data, QString* reason);

// Where a replacement of `path` really writes: the target of a symbolic link, else `path` itself.
QString resolvedTarget(const QString& path);

// Replaces (or creates) `target` with a byte copy of `source`, streamed in blocks.
bool replaceWithCopy(const QString& source, const QString& target, QString* reason);

// Whether a replacement of the existing file `path` can give the new file the old one's owner and
// group: always for an administrator; for anybody else only for their own file in one of their
// groups. True when the file does not exist, and on systems without file owners.
bool canKeepOwner(const QString& path);

} // namespace atomicfile
