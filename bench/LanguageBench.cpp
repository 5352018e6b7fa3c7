// 1. Language lookup: one GetLanguageText (open the database, query, close) against two floors,
// opening, reading and closing the same file with plain POSIX calls, and the least SQLite lookup
// that opens, queries and closes the same database; and the 18 lookups of a main window load in a
// row.

#include "Bench.h"

#include "core/settings/LanguageStore.h"

#include <QFile>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <functional>
#include <string>

namespace bench {

const char* const kMainWindowKeys[18] = {
    "lblPlatzFrei",       "lblPlatzFrei",      "lblPlatzFrei", "mnuDatei",          "mnuDateiBeenden",
    "mnuExport",          "mnuExportBeladung", "mnuExtras",    "mnuExtrasOptionen", "lblGepäck",
    "lblPersonengewicht", "lblPlatzBesetzt",   "lblPlatzFrei", "strGesamt",         "cmdSchliessen",
    "cmdRandomBeladung",  "cmdSpeichern",      "tipSpeichern",
};

namespace {

// The floor: the whole file in, as any reader of it must at least do.
std::size_t readWhole(const char* path, std::vector<char>& buffer) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    std::size_t total = 0;
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n <= 0)
            break;
        total += std::size_t(n);
    }
    ::close(fd);
    return total;
}

// The other floor: the least a lookup that opens the database for each key can do. Read-only, an
// exact match on the key as given, the text copied out, everything closed again. False when the
// key is not there or the database cannot be read.
bool sqliteLookup(const char* path, const std::string& key, std::string& text) {
    sqlite3* db = nullptr;
    const bool opened = sqlite3_open_v2(path, &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK;
    sqlite3_stmt* statement = nullptr;
    bool found = false;
    if (opened &&
        sqlite3_prepare_v2(db, "SELECT Wert FROM Entry WHERE Variable = ?", -1, &statement, nullptr) == SQLITE_OK) {
        sqlite3_bind_text(statement, 1, key.data(), int(key.size()), SQLITE_STATIC);
        if (sqlite3_step(statement) == SQLITE_ROW) {
            const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
            text.assign(bytes ? bytes : "", std::size_t(sqlite3_column_bytes(statement, 0)));
            found = true;
        }
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return found;
}

void lookupAgainstFloors(benchmark::State& state) {
    Environment& env = environment();
    const QString db = env.program->context().languageDatabase();
    const QByteArray path = QFile::encodeName(db);
    std::vector<char> buffer(std::size_t(1) << 16);

    // The SQLite floor must find what the program finds, or it would be timing a different query.
    for (const char* key : kMainWindowKeys) {
        std::string floorText;
        const auto text = tryLanguageText(db, QString::fromUtf8(key));
        if (!text || !sqliteLookup(path.constData(), key, floorText) || QString::fromStdString(floorText) != *text) {
            const QString why = QStringLiteral("the plain SQLite lookup of %1 does not give the program's text")
                                    .arg(QString::fromUtf8(key));
            state.SkipWithError(why.toStdString().c_str());
            env.samples.fail("sqlite_lookup", why);
            return;
        }
    }

    double lookupSeconds = 0;
    double readSeconds = 0;
    double sqliteSeconds = 0;
    std::size_t next = 0;
    std::size_t round = 0;
    for (auto _ : state) {
        // One lookup, the keys of a load in turn.
        const char* const keyUtf8 = kMainWindowKeys[next++ % 18];
        const QString key = QString::fromUtf8(keyUtf8);
        const std::string floorKey = keyUtf8;
        QString lookupError;
        auto timeLookup = [&] {
            const auto t0 = Clock::now();
            QString text;
            try {
                text = GetLanguageText(db, key);
            } catch (const LanguageError& e) {
                lookupError = QString::fromLocal8Bit(e.what());
                return false;
            }
            lookupSeconds += secondsBetween(t0, Clock::now());
            benchmark::DoNotOptimize(text);
            return true;
        };
        auto timeRead = [&] {
            const auto t0 = Clock::now();
            const std::size_t bytes = readWhole(path.constData(), buffer);
            readSeconds += secondsBetween(t0, Clock::now());
            benchmark::DoNotOptimize(bytes);
            return true;
        };
        auto timeSqlite = [&] {
            std::string text;
            const auto t0 = Clock::now();
            const bool found = sqliteLookup(path.constData(), floorKey, text);
            sqliteSeconds += secondsBetween(t0, Clock::now());
            benchmark::DoNotOptimize(text);
            return found;
        };
        // Each goes first in turn, so that none always follows the same one.
        const std::array<std::function<bool()>, 3> steps{timeLookup, timeRead, timeSqlite};
        bool ok = true;
        for (std::size_t i = 0; i < steps.size() && ok; ++i)
            ok = steps[(round + i) % steps.size()]();
        ++round;
        if (!ok) {
            const QString why = lookupError.isEmpty() ? QStringLiteral("the plain SQLite lookup failed") : lookupError;
            state.SkipWithError(why.toStdString().c_str());
            env.samples.fail(lookupError.isEmpty() ? "sqlite_lookup" : "lookup", why);
            return;
        }
    }
    const double n = double(state.iterations());
    env.samples.add("lookup", lookupSeconds / n);
    env.samples.add("posix_read", readSeconds / n);
    env.samples.add("sqlite_lookup", sqliteSeconds / n);
}

void eighteenLookups(benchmark::State& state) {
    Environment& env = environment();
    const QString db = env.program->context().languageDatabase();
    std::vector<QString> keys;
    for (const char* key : kMainWindowKeys)
        keys.push_back(QString::fromUtf8(key));
    double seconds = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        try {
            for (const QString& key : keys)
                benchmark::DoNotOptimize(GetLanguageText(db, key));
        } catch (const LanguageError& e) {
            state.SkipWithError(e.what());
            env.samples.fail("lookups18", QString::fromLocal8Bit(e.what()));
            return;
        }
        seconds += secondsBetween(t0, Clock::now());
    }
    env.samples.add("lookups18", seconds / double(state.iterations()));
}

} // namespace

void registerLanguageBenchmarks() {
    benchmark::RegisterBenchmark("language/lookup_vs_floors", lookupAgainstFloors)
        ->Iterations(2000)
        ->Repetitions(7)
        ->ReportAggregatesOnly(true);
    benchmark::RegisterBenchmark("language/eighteen_lookups", eighteenLookups)
        ->Iterations(100)
        ->Repetitions(7)
        ->ReportAggregatesOnly(true);
}

} // namespace bench
