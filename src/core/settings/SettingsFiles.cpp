#include "SettingsFiles.h"

#include "ProgramFiles.h"
#include "core/common/AtomicFile.h"
#include "core/common/FieldReader.h"
#include "core/common/FileRead.h"
#include "core/common/PathProbe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace settings {
namespace {

// The whole file; std::nullopt when it is missing or cannot be read. Only the second case puts a
// reason into *reason: a missing settings file is an ordinary state, not a failure.
std::optional<QByteArray> readSettingsFile(const QString& path, QString* reason = nullptr) {
    QString why;
    auto data = readWholeFile(path, &why);
    // A dangling link is missing too; links that lead round in a circle are not.
    if (!data && reason && pathprobe::probe(path).state != pathprobe::Probe::State::Missing)
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

namespace {

// The line options.cfg holds for `folder`; std::nullopt (and *refusal) for a folder that could not
// be read back as it was given.
std::optional<QByteArray> optionsLine(const QString& folder, MessagePart* refusal) {
    auto refuse = [refusal, &folder](const char* key) -> std::optional<QByteArray> {
        *refusal = {QString::fromLatin1(key), {folder}};
        return std::nullopt;
    };
    if (folder.contains(QLatin1Char('\r')) || folder.contains(QLatin1Char('\n')))
        return refuse("strFolderLineBreak");
    // The field reader ends a bare text at a comma and skips blanks before it; a quoted one it takes
    // whole, up to the next double quote, which therefore cannot be part of a folder name.
    if (folder.contains(QLatin1Char('"')))
        return refuse("strFolderQuote");
    const bool quoted = folder.contains(QLatin1Char(',')) || folder.startsWith(QLatin1Char(' ')) ||
                        folder.startsWith(QLatin1Char('\t'));
    const QByteArray line = textLine(quoted ? QLatin1Char('"') + folder + QLatin1Char('"') : folder);
    if (firstTextField(line) != folder)
        return refuse("strFolderEncoding");
    return line;
}

} // namespace

std::optional<qint16> readFirstStartFlag(const QString& programFolder) {
    const auto data = readSettingsFile(programFolder + QLatin1String(kFirstStartFile));
    if (!data)
        return std::nullopt;
    return firstNumberField(*data).value_or(0);
}

bool writeFirstStartFlag(const QString& programFolder, qint16 value, QString* reason) {
    return programfiles::writeSetting(programFolder, programFolder + QLatin1String(kFirstStartFile), numberLine(value),
                                      reason);
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
    QFile shipped;
    QString why;
    if (!openRegularFile(shipped, sourcePath, &why))
        return FileProblem{sourcePath, why};
    shipped.close();
    const QString database = programFolder + QLatin1String(kLanguageDatabase);
    QString reason;
    if (!programfiles::copySetting(programFolder, sourcePath, database, &reason))
        return FileProblem{database, reason};
    return std::nullopt;
}

namespace {

// True when `path` can be read and holds exactly `content`.
bool holds(const QString& path, const QByteArray& content) {
    if (QFileInfo(path).size() != content.size())
        return false;
    const auto now = readWholeFile(path);
    return now && *now == content;
}

// Whether a new file can be made in `folder`: only trying tells for certain (an administrator may
// write where the permissions say no; Windows ignores a folder's read-only attribute).
bool takesNewFiles(const QString& folder) {
    QTemporaryFile probe(folder + QStringLiteral("/.merovan-probe.XXXXXX.tmp"));
    return probe.open();
}

// A file that could not be handled, as the options window tells it.
MessagePart fileProblem(const char* key, const QString& file, const QString& reason) {
    return {QString::fromLatin1(key), {QDir::toNativeSeparators(file), reason}};
}

} // namespace

Loaded loadOptions(const QString& programFolder) {
    Loaded loaded;
    QString reason;
    const std::optional<QString> folder = readFs2000Folder(programFolder, &reason);
    // A missing options.cfg simply means no folder has been chosen yet.
    if (!folder && !reason.isEmpty())
        loaded.problems.append(fileProblem("strFolderNotRead", programFolder + QLatin1String(kOptionsFile), reason));
    loaded.fs2000Folder = folder.value_or(QString());
    return loaded;
}

SaveOutcome saveOptions(const QString& programFolder, const Choices& choices) {
    const QString& folder = choices.fs2000Folder;
    const QString& languageEntry = choices.languageEntry;
    SaveOutcome outcome;
    const QString optionsFile = programFolder + QLatin1String(kOptionsFile);
    const QString flagFile = programFolder + QLatin1String(kFirstStartFile);
    const QString database = programFolder + QLatin1String(kLanguageDatabase);
    const QString source = languageSource(languageEntry);

    // A folder options.cfg cannot keep is refused whole: the window keeps what was entered.
    MessagePart refusal;
    const std::optional<QByteArray> line = optionsLine(folder, &refusal);
    if (!line) {
        outcome.refused = refusal;
        return outcome;
    }
    QString reason;
    const bool folderChanges = !holds(optionsFile, *line);
    std::optional<QByteArray> shipped;
    if (!source.isEmpty()) {
        shipped = readWholeFile(programFolder + source, &reason);
        if (!shipped)
            outcome.problems.append(fileProblem("strLanguageNotSwitched", programFolder + source, reason));
    }
    const bool languageChanges = shipped && !holds(database, *shipped);
    const bool flagChanges = !holds(flagFile, numberLine(0));

    // Everything or nothing where the folder itself refuses: one word instead of a failure per file.
    const auto folderOf = [&programFolder](const QString& file) {
        return QFileInfo(programfiles::writtenAt(programFolder, file)).absolutePath();
    };
    QStringList folders;
    if (folderChanges)
        folders << folderOf(optionsFile);
    if (languageChanges)
        folders << folderOf(database);
    if (flagChanges)
        folders << folderOf(flagFile);
    for (const QString& written : folders) {
        if (!takesNewFiles(written)) {
            outcome.refused =
                MessagePart{QStringLiteral("strProgramFolderReadOnly"), {QDir::toNativeSeparators(written)}};
            outcome.problems.clear();
            return outcome;
        }
    }

    if (folderChanges && !programfiles::writeSetting(programFolder, optionsFile, *line, &reason))
        outcome.problems.append(fileProblem("strFolderNotSaved", optionsFile, reason));
    if (languageChanges) {
        if (const auto problem = switchLanguage(programFolder, source))
            outcome.problems.append(fileProblem("strLanguageNotSwitched", problem->file, problem->reason));
    }
    if (flagChanges && !programfiles::writeSetting(programFolder, flagFile, numberLine(0), &reason))
        outcome.problems.append(fileProblem("strFirstStartNotSaved", flagFile, reason));
    return outcome;
}

} // namespace settings
