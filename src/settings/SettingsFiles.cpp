#include "SettingsFiles.h"

#include "common/AtomicFile.h"
#include "common/FieldReader.h"
#include "common/FileRead.h"

#include <QFile>
#include <QFileInfo>

namespace settings {
namespace {

// The whole file; std::nullopt when it is missing or cannot be read. Only the second case puts a
// reason into *reason: a missing settings file is an ordinary state, not a failure.
std::optional<QByteArray> readSettingsFile(const QString& path, QString* reason = nullptr) {
    QString why;
    auto data = readWholeFile(path, &why);
    if (!data && reason && QFileInfo::exists(path))
        *reason = why;
    return data;
}

} // namespace

std::optional<QString> readFs2000Folder(const QString& programFolder, QString* reason) {
    if (reason)
        reason->clear();
    const auto data = readSettingsFile(programFolder + QLatin1String(kOptionsFile), reason);
    if (!data)
        return std::nullopt;
    return firstTextField(*data);
}

bool writeFs2000Folder(const QString& programFolder, const QString& folder, QString* reason) {
    auto refuse = [reason](const QString& why) {
        if (reason)
            *reason = why;
        return false;
    };
    if (folder.contains(QLatin1Char('\r')) || folder.contains(QLatin1Char('\n')))
        return refuse(QStringLiteral("the folder name contains a line break"));
    // The field reader ends a bare text at a comma and skips blanks before it; a quoted one it takes
    // whole, up to the next double quote, which therefore cannot be part of a folder name.
    if (folder.contains(QLatin1Char('"')))
        return refuse(QStringLiteral("the folder name %1 contains a double quote, which the settings file cannot keep")
                          .arg(folder));
    const bool quoted = folder.contains(QLatin1Char(',')) || folder.startsWith(QLatin1Char(' ')) ||
                        folder.startsWith(QLatin1Char('\t'));
    const QByteArray line = textLine(quoted ? QLatin1Char('"') + folder + QLatin1Char('"') : folder);
    if (firstTextField(line) != folder)
        return refuse(QStringLiteral("the folder name contains characters that the system's encoding cannot store"));
    return atomicfile::replaceWithData(programFolder + QLatin1String(kOptionsFile), line, reason);
}

std::optional<qint16> readFirstStartFlag(const QString& programFolder) {
    const auto data = readSettingsFile(programFolder + QLatin1String(kFirstStartFile));
    if (!data)
        return std::nullopt;
    return firstNumberField(*data).value_or(0);
}

bool writeFirstStartFlag(const QString& programFolder, qint16 value, QString* reason) {
    return atomicfile::replaceWithData(programFolder + QLatin1String(kFirstStartFile), numberLine(value), reason);
}

QString languageSource(const QString& entry) {
    if (entry == QLatin1String(kGermanEntry))
        return QStringLiteral("Data/languages/german.crf");
    if (entry == QLatin1String(kEnglishEntry))
        return QStringLiteral("Data/languages/english.crf");
    return QString();
}

std::optional<FileProblem> switchLanguage(const QString& programFolder, const QString& source) {
    const QString sourcePath = programFolder + source;
    QFile shipped(sourcePath);
    if (!shipped.open(QIODevice::ReadOnly))
        return FileProblem{sourcePath, shipped.errorString()};
    shipped.close();
    const QString database = programFolder + QLatin1String(kLanguageDatabase);
    QString reason;
    if (!atomicfile::replaceWithCopy(sourcePath, database, &reason))
        return FileProblem{database, reason};
    return std::nullopt;
}

} // namespace settings
