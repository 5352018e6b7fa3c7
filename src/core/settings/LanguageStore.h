#pragma once

#include <QString>

#include <optional>
#include <stdexcept>

// Raised when a language database cannot give an answer: the file is missing, unreadable or not
// a language database, its table or columns are missing, or the matching text is null.
class LanguageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The text of `key` in the language database at `databasePath`, or the empty text when the key is
// absent. The database is opened read-only for this one lookup and closed again, so it can be
// replaced between two lookups. Letter case of the key does not matter. Throws LanguageError.
QString GetLanguageText(const QString& databasePath, const QString& key);

// The same lookup for callers that fall back on their own text when the database fails.
std::optional<QString> tryLanguageText(const QString& databasePath, const QString& key);

// The text of `key` for a message the program shows (a message box, a question, an input box):
// from the database; when the database cannot answer (missing, damaged), the program's own
// built-in German text of that key. An absent key in an intact database still gives the empty
// text.
QString messageText(const QString& databasePath, const QString& key);
