#include "FileRead.h"

#include <QFile>
#include <QFileInfo>

std::optional<QByteArray> readWholeFile(const QString& path, QString* reason) {
    QString dummy;
    if (!reason)
        reason = &dummy;
    if (QFileInfo(path).isDir()) {
        *reason = QStringLiteral("it is a folder, not a file");
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *reason = file.errorString();
        return std::nullopt;
    }
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *reason = file.errorString();
        return std::nullopt;
    }
    return data;
}
