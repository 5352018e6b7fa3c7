#pragma once

#include <QString>

#include <optional>

// The program's two settings files in the program folder:
//  - options.cfg: one line, the FS2000 folder written bare, CR LF;
//  - strt.cfg: the first-start flag, one number in the form " 0 " CR LF.
// Both are read field-wise (see FieldReader) and replaced atomically when written.
namespace settings {

inline constexpr auto kOptionsFile = "options.cfg";
inline constexpr auto kFirstStartFile = "strt.cfg";

// The FS2000 folder from options.cfg: its first field. std::nullopt when the file is missing or
// cannot be read.
std::optional<QString> readFs2000Folder(const QString& programFolder);
bool writeFs2000Folder(const QString& programFolder, const QString& folder, QString* reason);

// The first-start flag from strt.cfg. std::nullopt when the file is missing or cannot be read
// (the caller keeps the value it has); 0 when its first field is not a 16-bit number.
std::optional<qint16> readFirstStartFlag(const QString& programFolder);
bool writeFirstStartFlag(const QString& programFolder, qint16 value, QString* reason);

} // namespace settings
