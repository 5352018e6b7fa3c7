// 1. Language lookup: one GetLanguageText (open the database, query, close) against opening,
// reading and closing the same file with plain POSIX calls; and the 18 lookups of a main window
// load in a row.

#include "Bench.h"

#include "settings/LanguageStore.h"

#include <QFile>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

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

void lookupAgainstRead(benchmark::State& state) {
    Environment& env = environment();
    const QString db = env.program->context().languageDatabase();
    const QByteArray path = QFile::encodeName(db);
    std::vector<char> buffer(std::size_t(1) << 16);
    double lookupSeconds = 0;
    double readSeconds = 0;
    std::size_t next = 0;
    for (auto _ : state) {
        // One lookup, the keys of a load in turn.
        const QString key = QString::fromUtf8(kMainWindowKeys[next++ % 18]);
        const auto t0 = Clock::now();
        QString text;
        try {
            text = GetLanguageText(db, key);
        } catch (const LanguageError& e) {
            state.SkipWithError(e.what());
            env.samples.fail("lookup", QString::fromLocal8Bit(e.what()));
            return;
        }
        const auto t1 = Clock::now();
        benchmark::DoNotOptimize(text);
        const auto t2 = Clock::now();
        const std::size_t bytes = readWhole(path.constData(), buffer);
        const auto t3 = Clock::now();
        benchmark::DoNotOptimize(bytes);
        lookupSeconds += secondsBetween(t0, t1);
        readSeconds += secondsBetween(t2, t3);
    }
    const double n = double(state.iterations());
    env.samples.add("lookup", lookupSeconds / n);
    env.samples.add("posix_read", readSeconds / n);
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
    benchmark::RegisterBenchmark("language/lookup_vs_posix_read", lookupAgainstRead)
        ->Iterations(2000)
        ->Repetitions(7)
        ->ReportAggregatesOnly(true);
    benchmark::RegisterBenchmark("language/eighteen_lookups", eighteenLookups)
        ->Iterations(100)
        ->Repetitions(7)
        ->ReportAggregatesOnly(true);
}

} // namespace bench
