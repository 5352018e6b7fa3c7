#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The files the program ships in its program folder, which it only ever reads: the executable,
// the model variants, the language databases and the pictures. No write of the program reaches
// one of them, whatever links lead there: a target is compared with them as the same file, not by
// name (see pathprobe::identity()).
namespace programfiles {

// The shipped files of `programFolder` (which ends with "/"), whether they are there or not.
QStringList shippedFiles(const QString& programFolder);

// The shipped file of `programFolder` that `path` is, its links followed; empty when it is none.
QString shippedFileAt(const QString& programFolder, const QString& path);

// Writes one of the program's own settings files (options.cfg, strt.cfg, recent.cfg,
// Data/language.crf) atomically: `data`, or a copy of the file `source`. Where the setting is a
// link that leads to a shipped file (a packager saving space, say), the link itself is replaced
// by a file of its own, and the shipped file stays as it is. False, with the reason, on failure.
// Where writeSetting() writes `path`: the end of its links, or the path itself where they lead to a
// shipped file.
QString writtenAt(const QString& programFolder, const QString& path);
bool writeSetting(const QString& programFolder, const QString& path, const QByteArray& data, QString* reason);
bool copySetting(const QString& programFolder, const QString& source, const QString& path, QString* reason);

} // namespace programfiles
