#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <optional>

class QFile;

// The whole content of a file; std::nullopt when it is missing, a folder or cannot be read, with
// the reason in *reason (when given). Where the file holds just the bytes of *likely, the content
// shares them rather than taking memory of its own.
std::optional<QByteArray> readWholeFile(const QString& path, QString* reason = nullptr,
                                        const QByteArray* likely = nullptr);

// Opens the regular file at `path` into `file` (with `mode` besides read-only) without ever
// waiting: a folder, a pipe, a socket or a device is refused with the reason, also one that took
// the name between the look and the open. A pipe would wait for a writer, a device might do
// anything.
bool openRegularFile(QFile& file, const QString& path, QString* reason, QIODevice::OpenMode mode = QIODevice::NotOpen);
