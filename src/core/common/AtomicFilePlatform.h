#pragma once

#include "AtomicFile.h"

#include <QString>

#include <functional>

// What the two implementations of AtomicFile (AtomicFilePosix.cpp, AtomicFileWindows.cpp; CMake
// builds the one of the target) give the shared part, AtomicFile.cpp.
namespace atomicfile::platform {

// Writes the next block of the new content into `put`; returns false with a reason on failure.
using Producer = std::function<bool(const std::function<bool(const char*, qint64, QString*)>& put, QString* reason)>;

// How a file is put in place.
struct How {
    bool create = false;    // only where nothing is, never following the path (a new backup)
    QString attributesFrom; // owner, group and permissions from this file instead of the old one
};

// Puts the content `produce` writes in place of `path` (see AtomicFile.h).
bool replace(const QString& path, const Producer& produce, const How& how, QString* reason);

// Temporary files of `target` that a killed process left behind (".<name>.<random>.tmp", untouched
// for ten minutes) are removed; a fresh one may belong to a save still running elsewhere.
void removeStaleTemporaries(const QString& target);

} // namespace atomicfile::platform
