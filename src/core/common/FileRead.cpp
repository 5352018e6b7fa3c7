// Reading files without ever waiting, the same on every system (see FileRead.h); the opening
// itself is FileReadPosix.cpp's or FileReadWindows.cpp's.
#include "FileRead.h"

#include "FileReadPlatform.h"
#include "SystemReasons.h"

#include <QFile>
#include <QFileInfo>

bool openRegularFile(QFile& file, const QString& path, QString* reason, QIODevice::OpenMode mode) {
    QString dummy;
    if (!reason)
        reason = &dummy;
    const QFileInfo info(path);
    if (info.isDir()) {
        *reason = QString::fromLatin1(systemreasons::own::kIsFolder);
        return false;
    }
    if (info.exists() && !info.isFile()) {
        *reason = QString::fromLatin1(systemreasons::own::kNotAFile);
        return false;
    }
    return fileread::platform::openForReading(file, path, reason, mode);
}

std::optional<QByteArray> readWholeFile(const QString& path, QString* reason) {
    QString dummy;
    if (!reason)
        reason = &dummy;
    QFile file;
    if (!openRegularFile(file, path, reason))
        return std::nullopt;
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *reason = file.errorString();
        return std::nullopt;
    }
    return data;
}
