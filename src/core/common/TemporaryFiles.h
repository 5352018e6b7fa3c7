#pragma once

#include <QString>

// The temporary files and folders AtomicFile writes beside a target before they take its name:
// ".<name>.<random>.tmp" in the target's folder.
namespace atomicfile {

// A fresh temporary name for the file or folder `target` (an absolute path with "/" between its
// parts); it may be taken already, which the exclusive creation then says.
QString temporaryNameFor(const QString& target);

// Temporary files of `target` that a killed process left behind (untouched for ten minutes) are
// removed, and so are such folders while empty; a fresh one may belong to a save still running
// elsewhere.
void removeStaleTemporaries(const QString& target);

} // namespace atomicfile
