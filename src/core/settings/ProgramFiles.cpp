#include "ProgramFiles.h"

#include "core/common/AircraftNames.h"
#include "core/common/AtomicFile.h"
#include "core/common/PathProbe.h"

namespace programfiles {

QStringList shippedFiles(const QString& programFolder) {
#ifdef Q_OS_WIN
    const QString executable = QStringLiteral("merovan.exe");
#else
    const QString executable = QStringLiteral("merovan");
#endif
    QStringList files{programFolder + executable};
    for (int n = aircraftnames::kFirstVariant; n <= aircraftnames::kLastVariant; ++n)
        files.append(programFolder + aircraftnames::variant(n));
    for (const char* name : {"Data/languages/german.crf", "Data/languages/english.crf", "pa.bmp", "splash.bmp",
                             "logo.bmp", "infopic.bmp", "person.ico", "leer.ico", "url.ico", "merovan.ico"})
        files.append(programFolder + QLatin1String(name));
    return files;
}

QString shippedFileAt(const QString& programFolder, const QString& path) {
    const std::optional<pathprobe::FileId> target = pathprobe::identity(path);
    if (!target)
        return {};
    for (const QString& shipped : shippedFiles(programFolder)) {
        if (pathprobe::identity(shipped) == target)
            return shipped;
    }
    return {};
}

QString writtenAt(const QString& programFolder, const QString& path) {
    return shippedFileAt(programFolder, path).isEmpty() ? atomicfile::resolvedTarget(path) : path;
}

bool writeSetting(const QString& programFolder, const QString& path, const QByteArray& data, QString* reason) {
    if (!shippedFileAt(programFolder, path).isEmpty())
        return atomicfile::replaceEntryWithData(path, data, reason);
    return atomicfile::replaceWithData(path, data, reason);
}

bool copySetting(const QString& programFolder, const QString& source, const QString& path, QString* reason) {
    if (!shippedFileAt(programFolder, path).isEmpty())
        return atomicfile::replaceEntryWithCopy(source, path, reason);
    return atomicfile::replaceWithCopy(source, path, reason);
}

} // namespace programfiles
