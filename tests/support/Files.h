#pragma once

// The file helpers every test and the bench share: whole files read and written, a folder's files
// with their contents, the temporary files of interrupted replacements, a folder tree copied.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

namespace testfiles {

// The whole content of `path`; empty when it cannot be read.
QByteArray readFile(const QString& path);
// Writes `content` as the whole of `path`, making its folders first; false when that fails.
bool writeFile(const QString& path, const QByteArray& content);
// The permission bits of `path` (following links); -1 when it cannot be looked at.
int modeOf(const QString& path);

// Every entry below `folder` (hidden ones included) by its path relative to `folder`, with its
// content; a folder is listed with "/" at the end and no content. Without the lock file that the
// lock of a copy leaves on Windows.
QMap<QString, QByteArray> snapshot(const QString& folder, bool recursive = true);

// True for the name of a temporary file or folder of a replacement (".<name>.<random>.tmp"), and
// the temporary files and folders of interrupted replacements below `folder`, sorted.
bool isTemporaryFile(const QString& path);
QStringList temporaryFiles(const QString& folder);

// A relative folder path of at least `length` characters, in names of 36 (each well below the 255
// a name may have): what puts a file beyond Windows' 260 characters.
QString longFolderPath(int length);

// Copies the folder tree `from` (files, folders and hidden entries) into `to`, which is made when
// missing, leaving out the entries named in `leftOut` (paths relative to `from`). False on any
// failure.
bool copyTree(const QString& from, const QString& to, const QStringList& leftOut = {});

} // namespace testfiles
