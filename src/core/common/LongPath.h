#pragma once

#include <QString>

// Paths in the form Windows' file calls take at any length. Without it a path ends at 260
// characters (MAX_PATH) unless the system allows long paths and the program says it takes them;
// the extended form "\\?\C:\..." or "\\?\UNC\server\share\..." is taken as written by every
// version, up to about 32,000 characters. As written means: the system neither makes it absolute
// nor resolves "." and "..", nor takes "/" for "\", so this is done here, once, for every call
// of the program's own (Qt's file calls make the same form themselves).
namespace longpath {

// `path` in the extended form. A relative path is taken from `base` (an absolute folder): "x"
// from the folder, "\x" from its drive or share, "D:x" from the folder where it is on D:, else
// from the root of D:. Then "/" becomes "\", repeated separators become one, "." goes, ".." takes
// away the name before it but never the drive or the share, and the trailing dots and spaces of
// the last name go as the system drops them there. A separator at the end goes too, but for a
// drive's or share's root ("\\?\C:\", "\\?\UNC\server\share\").
//
// A path in the extended form already keeps its names, with "/" made "\"; one of the devices
// ("\\.\pipe\x") is kept as it is, as is a path whose root cannot be found (a server without a
// share, a relative path without an absolute base): the system's call then refuses it.
QString extended(const QString& path, const QString& base);

// extended() from the current folder, for the system's calls.
QString extended(const QString& path);

} // namespace longpath
