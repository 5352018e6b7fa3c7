#pragma once

#include "core/common/MessagePart.h"

#include <QList>
#include <QString>

#include <optional>

// The program's two settings files in the program folder:
//  - options.cfg: one line, the FS2000 folder, CR LF; written bare, or in double quotes when it
//    holds a comma or starts with a blank or a tab (which a bare field would lose);
//  - strt.cfg: the first-start flag, one number in the form " 0 " CR LF.
// Both are read field-wise (see FieldReader) and replaced atomically when written.
namespace settings {

inline constexpr auto kOptionsFile = "options.cfg";
inline constexpr auto kFirstStartFile = "strt.cfg";

// The FS2000 folder from options.cfg: its first field. std::nullopt when the file is missing or
// cannot be read; in the second case *reason (when given) says why, in the first it is left empty.
std::optional<QString> readFs2000Folder(const QString& programFolder, QString* reason = nullptr);

// The first-start flag from strt.cfg. std::nullopt when the file is missing or cannot be read
// (the caller keeps the value it has); 0 when its first field is not a 16-bit number.
std::optional<qint16> readFirstStartFlag(const QString& programFolder);
bool writeFirstStartFlag(const QString& programFolder, qint16 value, QString* reason);

// The language in force, Data/language.crf, is a copy of one of the shipped databases.
inline constexpr auto kLanguageDatabase = "Data/language.crf";
inline constexpr auto kEnglishEntry = "English";
inline constexpr auto kGermanEntry = "Deutsch";

// The shipped database (relative to the program folder) behind an entry of the language list;
// empty for anything else.
QString languageSource(const QString& entry);

// A file that could not be handled, and why.
struct FileProblem {
    QString file;
    QString reason;
};

// Replaces Data/language.crf by a copy of the shipped database `source` (relative to the program
// folder). std::nullopt when done; otherwise the file that failed (the shipped one when it cannot
// be read, else the database in force, which then stays as it was) and why.
std::optional<FileProblem> switchLanguage(const QString& programFolder, const QString& source);

// What the options window shows when it opens: the FS2000 folder of options.cfg (empty when there
// is none) and, when options.cfg is there but cannot be read, the message that says so (key, the
// file with native separators, the reason): OK would write the empty folder over it.
struct Loaded {
    QString fs2000Folder;
    QList<MessagePart> problems;
};
Loaded loadOptions(const QString& programFolder);

// What the user chose in the options window.
struct Choices {
    QString fs2000Folder;
    QString languageEntry; // an entry of the language list; any other text leaves the language
};

// What the options' OK saves: the FS2000 folder into options.cfg, the language of the chosen entry
// into Data/language.crf, and the end of the first start into strt.cfg. A file that already holds
// what it would get is not rewritten.
struct SaveOutcome {
    // Set when nothing at all has been written, and the options window stays with what was entered:
    // when options.cfg could not keep the folder as it was entered (a line break or a double quote
    // in it, or characters the system's 8-bit encoding lacks; the detail is the folder), or when a
    // folder that a changed file lies in cannot take a new file (the program folder unpacked where
    // the user cannot write, say; the detail is that folder, with native separators).
    std::optional<MessagePart> refused;
    // Otherwise the steps that failed (key, the file with native separators, the reason); every
    // other step was done.
    QList<MessagePart> problems;
};
SaveOutcome saveOptions(const QString& programFolder, const Choices& choices);

} // namespace settings
