#pragma once

#include <QByteArray>
#include <QString>

// Replacing files so that a crash, a full disk or any other failure leaves either the whole old
// file or the whole new one, never a mix. The new content goes to a temporary file in the same
// folder, is flushed and synced, takes over the old file's owner (where the process may), and is
// renamed over the old file; the folder is synced after the rename. A symbolic link is followed:
// its target is replaced. A hard link is broken: the other names keep the old content.
//
// On failure these return false, remove the temporary file and put a reason a person can read
// into *reason (never "Unknown error").
namespace atomicfile {

bool replaceWithData(const QString& path, const QByteArray& data, QString* reason);

// Where a replacement of `path` really writes: the target of a symbolic link, else `path` itself.
QString resolvedTarget(const QString& path);

// Replaces (or creates) `target` with a byte copy of `source`, streamed in blocks.
bool replaceWithCopy(const QString& source, const QString& target, QString* reason);

} // namespace atomicfile
