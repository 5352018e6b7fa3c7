#include "LanguageStore.h"

#include "BuiltinTexts.h"
#include "core/common/LongPath.h"
#include "core/common/PathProbe.h"

#include <QFile>

#include <sqlite3.h>

#include <memory>
#include <string>

namespace {

struct DatabaseCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

// The database's name as SQLite's file calls take it. On Windows SQLite takes UTF-8 (whatever the
// system's code page) and hands the name to the system's wide calls: in the extended form, through
// its VFS for long names, any length works. On Unix the name's bytes are what open() takes.
struct DatabaseName {
    QByteArray name;
    const char* vfs = nullptr; // SQLite's default
};

DatabaseName databaseName(const QString& path) {
#ifdef Q_OS_WIN
    return {longpath::extended(path).toUtf8(), "win32-longpath"};
#else
    return {QFile::encodeName(path)};
#endif
}

[[noreturn]] void fail(const QString& databasePath, const char* what, sqlite3* db) {
    std::string message = "language database ";
    message += databasePath.toStdString();
    message += ": ";
    message += what;
    if (db) {
        message += ": ";
        message += sqlite3_errmsg(db);
    }
    throw LanguageError(message);
}

// Compares keys the way people read them: "LBLGEPÄCK" and "lblGepäck" are the same key.
void foldCase(sqlite3_context* context, int, sqlite3_value** argv) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    if (!text) {
        sqlite3_result_null(context);
        return;
    }
    // Keys are short ASCII identifiers, and among ASCII characters case folding maps exactly A-Z
    // to a-z: those are folded here, without the detour through UTF-16 the other texts take.
    char ascii[64];
    std::size_t n = 0;
    for (; text[n] != '\0' && n < sizeof ascii && static_cast<unsigned char>(text[n]) < 0x80; ++n)
        ascii[n] = (text[n] >= 'A' && text[n] <= 'Z') ? static_cast<char>(text[n] - 'A' + 'a') : text[n];
    if (text[n] == '\0') {
        sqlite3_result_text(context, ascii, static_cast<int>(n), SQLITE_TRANSIENT);
        return;
    }
    const QByteArray folded = QString::fromUtf8(text).toCaseFolded().toUtf8();
    sqlite3_result_text(context, folded.constData(), static_cast<int>(folded.size()), SQLITE_TRANSIENT);
}

} // namespace

QString GetLanguageText(const QString& databasePath, const QString& key) {
    // SQLite would open a pipe and wait for a writer for ever, or a device: only a regular file is
    // a database, which looking at it tells without opening it.
    if (pathprobe::probe(databasePath).state != pathprobe::Probe::State::File)
        fail(databasePath, "is not a file", nullptr);
    sqlite3* raw = nullptr;
    // Read-only and without SQLITE_OPEN_CREATE: a missing file is an error, never a new database.
    const DatabaseName name = databaseName(databasePath);
    const int opened = sqlite3_open_v2(name.name.constData(), &raw, SQLITE_OPEN_READONLY, name.vfs);
    std::unique_ptr<sqlite3, DatabaseCloser> db(raw);
    if (opened != SQLITE_OK)
        fail(databasePath, "cannot be opened", db.get());

    sqlite3_create_function(db.get(), "merovan_fold", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, foldCase, nullptr,
                            nullptr);

    static const char* const query =
        "SELECT Wert FROM Entry WHERE merovan_fold(Variable) = merovan_fold(?1) ORDER BY rowid LIMIT 1";
    sqlite3_stmt* rawStatement = nullptr;
    if (sqlite3_prepare_v2(db.get(), query, -1, &rawStatement, nullptr) != SQLITE_OK)
        fail(databasePath, "cannot be read", db.get());
    std::unique_ptr<sqlite3_stmt, StatementFinalizer> statement(rawStatement);

    const QByteArray keyUtf8 = key.toUtf8();
    sqlite3_bind_text(statement.get(), 1, keyUtf8.constData(), static_cast<int>(keyUtf8.size()), SQLITE_TRANSIENT);

    const int step = sqlite3_step(statement.get());
    if (step == SQLITE_DONE)
        return QString();
    if (step != SQLITE_ROW)
        fail(databasePath, "cannot be read", db.get());
    if (sqlite3_column_type(statement.get(), 0) == SQLITE_NULL)
        fail(databasePath, "holds no text for this key", nullptr);
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 0));
    const int bytes = sqlite3_column_bytes(statement.get(), 0);
    return QString::fromUtf8(text, bytes);
}

std::optional<QString> tryLanguageText(const QString& databasePath, const QString& key) {
    try {
        return GetLanguageText(databasePath, key);
    } catch (const LanguageError&) {
        return std::nullopt;
    }
}

QString messageText(const QString& databasePath, const QString& key) {
    if (const auto found = tryLanguageText(databasePath, key))
        return *found;
    return builtin::text(key).value_or(QString());
}
