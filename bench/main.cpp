// merovan-bench: the program's speed and footprint, each as a ratio against the floor measured
// side by side in the same run, printed as one Markdown table.
//
//   merovan-bench [--benchmark_filter=<regex>]

#include "Bench.h"

#include "gui/app/Fonts.h"

#include <QApplication>
#include <QFile>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <sstream>

namespace bench {

double Samples::median(const std::string& name) const {
    const auto it = m_values.find(name);
    if (it == m_values.end() || it->second.empty())
        return std::nan("");
    std::vector<double> v = it->second;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

QString Samples::failure(const std::string& name) const {
    const auto it = m_failures.find(name);
    return it == m_failures.end() ? QString() : it->second;
}

Environment& environment() {
    static Environment env;
    return env;
}

XServer& Environment::display() {
    if (!x) {
        x = std::make_unique<XServer>();
        // xdotool talks to it through the environment; this process itself stays offscreen.
        if (x->isValid())
            qputenv("DISPLAY", x->display().toLocal8Bit());
    }
    return *x;
}

namespace {

// Google Benchmark's own console output would be a second table; this one only says what runs.
class ProgressReporter : public benchmark::BenchmarkReporter {
public:
    bool ReportContext(const Context&) override { return true; }
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred)
                std::cerr << "merovan-bench: " << run.benchmark_name() << ": " << run.error_message << '\n';
            else if (run.run_type == Run::RT_Iteration && run.repetition_index <= 0)
                std::cerr << "merovan-bench: measured " << run.run_name.str() << '\n';
        }
    }
};

std::string fixed(double value, int decimals) {
    if (std::isnan(value))
        return "n/a";
    std::ostringstream out;
    out.setf(std::ios::fixed);
    out.precision(decimals);
    out << value;
    return out.str();
}

std::string duration(double seconds) {
    if (std::isnan(seconds))
        return "n/a";
    if (seconds < 1e-3)
        return fixed(seconds * 1e6, 1) + " µs";
    if (seconds < 1.0)
        return fixed(seconds * 1e3, seconds < 0.01 ? 2 : 1) + " ms";
    return fixed(seconds, 2) + " s";
}

std::string mebibytes(double bytes) {
    return std::isnan(bytes) ? "n/a" : fixed(bytes / double(kMiB), 1) + " MiB";
}

class Table {
public:
    void row(const std::string& part, const std::string& measure, const std::string& program, const std::string& floor,
             double ratio, const std::string& goal, std::optional<bool> met) {
        m_rows.push_back({part, measure, program, floor, std::isnan(ratio) ? "n/a" : fixed(ratio, 2), goal,
                          met ? (*met ? "yes" : "**no**") : ""});
    }
    void note(const std::string& text) { m_notes.push_back(text); }
    void print() const {
        std::cout << "| # | Measure | Merovan | Floor | Ratio | Goal | Met |\n"
                  << "|---|---|---:|---:|---:|---|---|\n";
        for (const auto& r : m_rows) {
            std::cout << '|';
            for (const auto& cell : r)
                std::cout << ' ' << cell << " |";
            std::cout << '\n';
        }
        for (const auto& n : m_notes)
            std::cout << "\n" << n << '\n';
    }

private:
    std::vector<std::vector<std::string>> m_rows;
    std::vector<std::string> m_notes;
};

std::optional<bool> atMost(double value, double goal) {
    if (std::isnan(value))
        return std::nullopt;
    return value <= goal;
}

void buildTable(Table& table) {
    const Samples& s = environment().samples;
    auto failures = [&](std::initializer_list<std::string> names) {
        for (const auto& name : names)
            if (!s.failure(name).isEmpty())
                table.note("Not measured (" + name + "): " + s.failure(name).toStdString());
    };

    // 1. Language lookup.
    const double lookup = s.median("lookup");
    const double read = s.median("posix_read");
    table.row("1", "One language lookup (open, query, close) vs POSIX open/read/close of the file", duration(lookup),
              duration(read), lookup / read, "≤ 20", atMost(lookup / read, 20));
    const double sqlite = s.median("sqlite_lookup");
    table.row("1",
              "One language lookup vs a minimal SQLite lookup (open read-only, prepare an exact-match SELECT, bind, "
              "step, read the text, finalize, close)",
              duration(lookup), duration(sqlite), lookup / sqlite, "≤ 1.5", atMost(lookup / sqlite, 1.5));
    const double lookups18 = s.median("lookups18");
    table.row("1", "The 18 lookups of a main window load, in all", duration(lookups18), "—", std::nan(""), "≤ 5 ms",
              atMost(lookups18, 0.005));
    failures({"lookup", "sqlite_lookup", "lookups18"});

    // 2. Main window load.
    const double main = s.median("window_main");
    const double bare = s.median("window_bare");
    const int widgets = environment().mainWindowWidgets;
    table.row("2",
              "Main window load, construct + load + show and paint, vs a bare QWidget with " + std::to_string(widgets) +
                  " QLabels",
              duration(main), duration(bare), main / bare, "≤ 1.5", atMost(main / bare, 1.5));
    table.row("2", "… of which construct / load sequence / show and paint",
              duration(s.median("window_main_construct")) + " / " + duration(s.median("window_main_load")) + " / " +
                  duration(s.median("window_main_show")),
              duration(s.median("window_bare_construct")) + " / — / " + duration(s.median("window_bare_show")),
              std::nan(""), "", std::nullopt);
    table.row("2", "… in the load: the 18 lookups; at the first paint: stretching the 855 × 647 aircraft picture",
              duration(s.median("window_lookups")) + " / " + duration(s.median("window_stretch")), "—", std::nan(""),
              "", std::nullopt);
    failures({"window_main"});

    // 3. Start to usable.
    const double start = s.median("start_program");
    const double minimal = s.median("start_minimal");
    table.row("3",
              "Start to usable under Xvfb: process start to the main window's first paint, less the 250 ms "
              "splash (raw " +
                  duration(s.median("start_program_raw")) + "), vs a minimal Qt program with one window",
              duration(start), duration(minimal), start / minimal, "≤ 1.3", atMost(start / minimal, 1.3));
    failures({"start_program"});

    // 4. Export.
    for (const qsizetype size : kCfgSizes) {
        const double e = s.median("export_" + std::to_string(size));
        const double c = s.median("cp_sync_" + std::to_string(size));
        const bool goal = size >= 100 * kMiB;
        table.row("4", "Export, " + sizeName(size) + " aircraft.cfg + 2 MiB model, vs cp + sync of the same bytes",
                  duration(e), duration(c), e / c, goal ? "≤ 1.5" : "—",
                  goal ? atMost(e / c, 1.5) : std::optional<bool>());
        failures({"export_" + std::to_string(size)});
    }
    for (const qsizetype size : kCfgSizes) {
        const double e = s.median("export_" + std::to_string(size));
        const double r = s.median("replace_" + std::to_string(size));
        table.row("4",
                  "Export, " + sizeName(size) +
                      " aircraft.cfg + 2 MiB model, vs a durable atomic replace of each file (write a temporary "
                      "file, fsync, rename, fsync the folder)",
                  duration(e), duration(r), e / r, "≤ 1.5", atMost(e / r, 1.5));
    }
    std::string prepareNames, prepareTimes;
    for (const qsizetype size : kCfgSizes) {
        prepareNames += (prepareNames.empty() ? "" : " / ") + sizeName(size);
        prepareTimes +=
            (prepareTimes.empty() ? "" : " / ") + duration(s.median("export_prepare_" + std::to_string(size)));
    }
    table.row("4",
              "… of which the export's work besides replacing the files (checks, reading aircraft.cfg, the model and "
              "the variant to compare, the rewrite), " +
                  prepareNames,
              prepareTimes, "—", std::nan(""), "", std::nullopt);
    for (const qsizetype size : kCfgSizes) {
        const double t = s.median("rewrite_" + std::to_string(size));
        const double c = s.median("copy_" + std::to_string(size));
        table.row("4", "Section rewrite alone, " + sizeName(size) + ", vs copying the bytes into a new buffer",
                  duration(t), duration(c), t / c, "—", std::nullopt);
    }
    const double rewriteGrowth =
        s.median("rewrite_" + std::to_string(100 * kMiB)) / s.median("rewrite_" + std::to_string(1 * kMiB));
    const double copyGrowth =
        s.median("copy_" + std::to_string(100 * kMiB)) / s.median("copy_" + std::to_string(1 * kMiB));
    table.row("4",
              "Rewrite time growth from 1 MiB to 100 MiB, vs a plain copy's growth (≤ 1: grows no faster than "
              "copying; a rewrite quadratic in the size would give ~100)",
              fixed(rewriteGrowth, 1) + " ×", fixed(copyGrowth, 1) + " ×", rewriteGrowth / copyGrowth, "≤ 1.5 (linear)",
              atMost(rewriteGrowth / copyGrowth, 1.5));
    for (const qsizetype size : kMemorySizes) {
        const std::string name = "rewrite_memory_" + std::to_string(size);
        const double growth = s.median(name);
        table.row("4",
                  "Rewrite peak memory, " + sizeName(size) +
                      ": what the rewrite allocates at its peak (with the caller's input: " +
                      mebibytes(growth + double(size)) + "), vs the file size",
                  mebibytes(growth), mebibytes(double(size)), growth / double(size), "≤ 2",
                  atMost(growth / double(size), 2.0));
        failures({name});
    }

    // 5. Footprint.
    const double program = s.median("footprint_program");
    const double floor = s.median("footprint_minimal");
    table.row("5", "Peak resident memory (VmHWM) with main, options, export and about open, vs a minimal Qt program",
              mebibytes(program), mebibytes(floor), program / floor, "≤ 1.3", atMost(program / floor, 1.3));
    failures({"footprint_program"});
}

} // namespace
} // namespace bench

int main(int argc, char* argv[]) {
    if (argc == 3 && std::string(argv[1]) == "--rewrite-memory")
        return bench::rewriteMemoryChild(std::stoll(argv[2]));

    // The in-process windows paint offscreen; the programs under test get the X server.
    auto scratch = std::make_unique<QTemporaryDir>();
    if (!scratch->isValid()) {
        std::cerr << "merovan-bench: no temporary folder\n";
        return 1;
    }
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(scratch->path()));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("MEROVAN_FIRST_PAINT_STAMP");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    registerFallbackFonts();
    fonts::repairPlatformFonts();

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;

    bench::Environment& env = bench::environment();
    env.scratch = std::move(scratch);
    env.program = std::make_unique<bench::ProgramCopy>();
    if (!env.program->isValid()) {
        std::cerr << "merovan-bench: cannot copy the program folder " << bench::stagedFolder().toStdString() << '\n';
        return 1;
    }
    bench::registerLanguageBenchmarks();
    bench::registerWindowBenchmarks();
    bench::registerStartBenchmarks();
    bench::registerExportBenchmarks();

    bench::ProgressReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    bench::Table table;
    bench::buildTable(table);
    table.print();
    // The X server and the temporary folders go before Qt does.
    env.x.reset();
    env.program.reset();
    env.scratch.reset();
    return 0;
}
