#pragma once

#include <QString>

#include <optional>

// Folder and file names as the program builds and takes them apart. "/" and "\" both separate:
// names come from the user, from options.cfg and from Windows.

// True where the file system finds a name in any letter case (Windows): a name found there need
// not be spelled as it is on disk.
bool namesIgnoreCase();

// The program folder: the folder of the running executable, always ending with a separator.
QString GetAppPath();

// `folder` with a trailing "/" added unless it already ends with a separator.
QString withTrailingSeparator(const QString& folder);

// `folder` followed by `name`, with exactly one "/" between them. `folder` may end with "/" (or
// "\"); an empty folder gives `name` alone.
QString joinPath(const QString& folder, const QString& name);

// The path up to and including its last separator: the folder of a file with its trailing
// separator. A path that ends with a separator comes back unchanged; a path without any separator
// is a bare file name in the current folder and gives the empty text.
QString GetPathName(const QString& path);

// The folder part of a full file name, including its trailing separator: "C:\FS2000\fs2000.exe"
// gives "C:\FS2000\". A name without a separator has no folder part: std::nullopt.
std::optional<QString> GetPath_(const QString& fileName);
