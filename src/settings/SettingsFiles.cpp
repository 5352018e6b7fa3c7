#include "SettingsFiles.h"

#include "common/AtomicFile.h"
#include "common/FieldReader.h"

#include <QFile>

namespace settings {
namespace {

std::optional<QByteArray> readWhole(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return data;
}

} // namespace

std::optional<QString> readFs2000Folder(const QString& programFolder) {
    const auto data = readWhole(programFolder + QLatin1String(kOptionsFile));
    if (!data)
        return std::nullopt;
    return firstTextField(*data);
}

bool writeFs2000Folder(const QString& programFolder, const QString& folder, QString* reason) {
    return atomicfile::replaceWithData(programFolder + QLatin1String(kOptionsFile), textLine(folder), reason);
}

std::optional<qint16> readFirstStartFlag(const QString& programFolder) {
    const auto data = readWhole(programFolder + QLatin1String(kFirstStartFile));
    if (!data)
        return std::nullopt;
    return firstNumberField(*data).value_or(0);
}

bool writeFirstStartFlag(const QString& programFolder, qint16 value, QString* reason) {
    return atomicfile::replaceWithData(programFolder + QLatin1String(kFirstStartFile), numberLine(value), reason);
}

} // namespace settings
