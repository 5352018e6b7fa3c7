#pragma once

#include "PathProbe.h"

#include <QString>
#include <QStringList>

#include <optional>

// What PathProbe asks of the system, which PathProbePosix.cpp or PathProbeWindows.cpp answers
// (CMake builds the one of the target).
namespace pathprobe::platform {

// What is at `path`, following symbolic links when `follow`. *endlessLinks is set when the system
// could not follow the path's links to an end (too many, or round in a circle).
Probe look(const QString& path, bool follow, bool* endlessLinks);

// identity() and onReadOnlyVolume() of an existing `path`.
std::optional<FileId> identity(const QString& path);
bool onReadOnlyVolume(const QString& path);

// The names in `folder` (not empty), as listFolder() gives them.
std::optional<QStringList> list(const QString& folder, bool* missing, QString* reason);

} // namespace pathprobe::platform
