#pragma once

#include "AtomicFile.h"
#include "FileContent.h"

#include <QString>

// What AtomicFile.cpp hands to the system's part of a replacement, which AtomicFilePosix.cpp or
// AtomicFileWindows.cpp carries out (CMake builds the one of the target).
namespace atomicfile::platform {

// How a file is put in place.
struct How {
    bool create = false;    // only where nothing is, never following the path (a new backup)
    QString attributesFrom; // owner, group and permissions from this file instead of the old one
    Attributes installed;   // for a restore: these first, where known
    bool entry = false;     // the path itself, never followed: a link there is replaced, not its end
};

// Puts `content` (opened already) in place of `target`: an absolute path, whose links are followed
// to their end already unless `how.create` or `how.entry`, and whose folder holds no stale temporaries of it. The
// content is written to a temporary file beside it, made durable, and given the name; on failure
// the temporary file goes and *reason says why.
bool put(const QString& target, Content& content, const How& how, QString* reason);

} // namespace atomicfile::platform
