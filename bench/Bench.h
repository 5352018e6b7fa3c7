#pragma once

// The benchmark families and the store their figures go to. Every comparison runs the program's
// operation and its floor alternately in one loop, so that both see the same machine load; each
// sample goes into the store under its own name, and the table is built from the medians.

#include "Support.h"

#include <QString>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace bench {

// Samples by name; what a run could not measure, by name.
class Samples {
public:
    void add(const std::string& name, double value) { m_values[name].push_back(value); }
    void fail(const std::string& name, const QString& why) { m_failures[name] = why; }
    // The median, or NaN when there is no sample.
    double median(const std::string& name) const;
    QString failure(const std::string& name) const;

private:
    std::map<std::string, std::vector<double>> m_values;
    std::map<std::string, QString> m_failures;
};

// What every family works on: the store, a configured program folder, a scratch folder, and the X
// server of the process-level families (started on first use).
struct Environment {
    Samples samples;
    std::unique_ptr<ProgramCopy> program;
    std::unique_ptr<QTemporaryDir> scratch;
    std::unique_ptr<XServer> x;
    // Number of widgets a loaded main window holds; set by the window family.
    int mainWindowWidgets = 0;

    XServer& display();
    // The folder the programs under X get as XDG_RUNTIME_DIR.
    QString runtimeFolder() const { return scratch->path(); }
};
Environment& environment();

// The export sizes, in bytes, of aircraft.cfg; the model file is 2 MiB throughout.
inline constexpr qsizetype kKiB = 1024;
inline constexpr qsizetype kMiB = 1024 * 1024;
inline constexpr qsizetype kModelSize = 2 * kMiB;
inline const std::vector<qsizetype> kCfgSizes{4 * kKiB, 32 * kKiB, 1 * kMiB, 100 * kMiB};
// Sizes at which the peak memory of the rewrite is measured (below 1 MiB the allocator's and the
// kernel's granularity hide it).
inline const std::vector<qsizetype> kMemorySizes{1 * kMiB, 100 * kMiB};
std::string sizeName(qsizetype bytes);

// The families, registered in the order the table lists them.
void registerLanguageBenchmarks();
void registerWindowBenchmarks();
void registerStartBenchmarks();
void registerExportBenchmarks();

// The child side of the rewrite's memory measurement: prints "<peak growth> <output size>".
int rewriteMemoryChild(qsizetype bytes);

// The keys the main window's load looks up, in its order.
extern const char* const kMainWindowKeys[18];

} // namespace bench
