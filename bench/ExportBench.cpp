// 4. Export: the whole export (model copy, section rewrite, atomic replacement with sync) against
// copying the same bytes with cp followed by sync; and the section rewrite alone, its time and its
// peak memory as the file grows.

#include "Bench.h"

#include "export/ExportWriter.h"
#include "export/WeightAndBalance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <random>

namespace bench {

std::string sizeName(qsizetype bytes) {
    if (bytes % kMiB == 0)
        return std::to_string(bytes / kMiB) + " MiB";
    return std::to_string(bytes / kKiB) + " KiB";
}

namespace {

const wab::StationLoads kLoads{176, 165, std::nullopt, 132, 44};

QByteArray modelBytes() {
    QByteArray bytes(kModelSize, Qt::Uninitialized);
    std::mt19937 random(58);
    for (char& c : bytes)
        c = char(random());
    return bytes;
}

bool writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

// A program folder with the model variant, an installed copy of the aircraft with an aircraft.cfg
// of the given size and a model file, and a folder for the floor's copies. Everything goes when
// the scene does.
struct Scene {
    explicit Scene(qsizetype cfgSize) {
        const QString root = dir.path() + QLatin1Char('/');
        const QByteArray model = modelBytes();
        job.programFolder = root + QStringLiteral("program/");
        job.cfgPath = root + QStringLiteral("FS2000/Aircraft/tq58/aircraft.cfg");
        job.loads = {176, 165, std::nullopt, std::nullopt, 44}; // variant 2
        floorFolder = root + QStringLiteral("floor/");
        ok = dir.isValid() && writeFile(job.programFolder + QStringLiteral("Models/2.mdl"), model) &&
             writeFile(root + QStringLiteral("FS2000/Aircraft/tq58/Model/TQ58-161.mdl"), model) &&
             writeFile(job.cfgPath, aircraftCfg(cfgSize)) && QDir().mkpath(floorFolder);
    }

    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/merovan-bench-export-XXXXXX")};
    exportwriter::Job job;
    QString floorFolder;
    bool ok = false;
};

QString failureText(const exportwriter::Failure& failure) {
    return QStringLiteral("export failed (%1): %2 %3")
        .arg(exportwriter::messageKey(failure.kind), failure.path, failure.reason);
}

// The floor: the same bytes copied by cp and made durable by sync.
bool copyAndSync(const Scene& scene) {
    const QString cfg = scene.job.cfgPath;
    const QString model = scene.job.programFolder + QStringLiteral("Models/2.mdl");
    if (runCommand({QStringLiteral("cp"), cfg, model, scene.floorFolder}) != 0)
        return false;
    return runCommand({QStringLiteral("sync"), scene.floorFolder + QStringLiteral("aircraft.cfg"),
                       scene.floorFolder + QStringLiteral("2.mdl")}) == 0;
}

void exportAgainstCopy(benchmark::State& state, qsizetype cfgSize) {
    Environment& env = environment();
    const std::string name = "export_" + std::to_string(cfgSize);
    Scene scene(cfgSize);
    if (!scene.ok) {
        state.SkipWithError("the export scene could not be written");
        env.samples.fail(name, QStringLiteral("the export scene could not be written"));
        return;
    }
    // The first export also keeps the files as they were (.bak); the figures are those of the
    // exports after it, which is what a user repeats. Both sides run once untimed.
    if (const auto failure = exportwriter::write(scene.job); failure || !copyAndSync(scene)) {
        const QString why = failure ? failureText(*failure) : QStringLiteral("cp or sync failed");
        state.SkipWithError(why.toStdString().c_str());
        env.samples.fail(name, why);
        return;
    }
    std::size_t round = 0;
    for (auto _ : state) {
        double exportSeconds = 0, copySeconds = 0;
        auto timeExport = [&] {
            const auto t0 = Clock::now();
            const auto failure = exportwriter::write(scene.job);
            exportSeconds = secondsBetween(t0, Clock::now());
            return !failure;
        };
        auto timeCopy = [&] {
            const auto t0 = Clock::now();
            const bool ok = copyAndSync(scene);
            copySeconds = secondsBetween(t0, Clock::now());
            return ok;
        };
        const bool ok = (round++ % 2 == 0) ? (timeExport() && timeCopy()) : (timeCopy() && timeExport());
        if (!ok) {
            state.SkipWithError("an export or a copy failed");
            env.samples.fail(name, QStringLiteral("an export or a copy failed"));
            return;
        }
        env.samples.add(name, exportSeconds);
        env.samples.add("cp_sync_" + std::to_string(cfgSize), copySeconds);
    }
}

// The rewrite alone against its floor: copying the file's bytes into a new buffer, which any
// rewrite that returns the new content must at least do.
void rewriteAgainstCopy(benchmark::State& state, qsizetype cfgSize) {
    Environment& env = environment();
    const QByteArray original = aircraftCfg(cfgSize);
    const std::string suffix = std::to_string(cfgSize);
    for (auto _ : state) {
        const auto t0 = Clock::now();
        QByteArray rewritten = wab::rewriteWeightAndBalance(original, kLoads);
        const auto t1 = Clock::now();
        benchmark::DoNotOptimize(rewritten.data());
        rewritten = QByteArray();
        const auto t2 = Clock::now();
        QByteArray copy(original.constData(), original.size());
        const auto t3 = Clock::now();
        benchmark::DoNotOptimize(copy.data());
        env.samples.add("rewrite_" + suffix, secondsBetween(t0, t1));
        env.samples.add("copy_" + suffix, secondsBetween(t2, t3));
    }
}

// The peak memory is measured in a process of its own, so that nothing else this process has
// allocated or freed blurs it.
void rewriteMemory(benchmark::State& state, qsizetype cfgSize) {
    Environment& env = environment();
    const std::string name = "rewrite_memory_" + std::to_string(cfgSize);
    for (auto _ : state) {
        QByteArray out;
        runCommand(
            {QCoreApplication::applicationFilePath(), QStringLiteral("--rewrite-memory"), QString::number(cfgSize)},
            &out);
        benchmark::DoNotOptimize(out);
        const QList<QByteArray> fields = out.trimmed().split(' ');
        if (fields.size() != 2) {
            state.SkipWithError("the measuring process gave no figures");
            env.samples.fail(name, QStringLiteral("the measuring process gave no figures"));
            return;
        }
        env.samples.add(name, fields[0].toDouble());
    }
}

} // namespace

int rewriteMemoryChild(qsizetype bytes) {
    const QByteArray original = aircraftCfg(bytes);
    // One small rewrite and one reading of the figures first, so that the code they run is paged
    // in and only the data of the measured rewrite remains to count.
    wab::rewriteWeightAndBalance(aircraftCfg(4 * kKiB), kLoads);
    procStatusBytes(::getpid(), "VmHWM");
    // What the process holds before the rewrite (its input included) is the baseline.
    if (!resetPeakResident())
        return 1;
    const std::int64_t before = procStatusBytes(::getpid(), "VmHWM");
    const QByteArray rewritten = wab::rewriteWeightAndBalance(original, kLoads);
    const std::int64_t peak = procStatusBytes(::getpid(), "VmHWM");
    std::printf("%lld %lld\n", static_cast<long long>(peak - before), static_cast<long long>(rewritten.size()));
    return 0;
}

void registerExportBenchmarks() {
    for (const qsizetype size : kCfgSizes) {
        const bool huge = size >= 100 * kMiB;
        benchmark::RegisterBenchmark(("export/" + sizeName(size)).c_str(), [size](benchmark::State& state) {
            exportAgainstCopy(state, size);
        })->Iterations(huge ? 5 : 25);
    }
    for (const qsizetype size : kCfgSizes) {
        const bool huge = size >= 100 * kMiB;
        benchmark::RegisterBenchmark(("rewrite/" + sizeName(size)).c_str(), [size](benchmark::State& state) {
            rewriteAgainstCopy(state, size);
        })->Iterations(huge ? 10 : 200);
    }
    for (const qsizetype size : kMemorySizes) {
        benchmark::RegisterBenchmark(("rewrite_memory/" + sizeName(size)).c_str(), [size](benchmark::State& state) {
            rewriteMemory(state, size);
        })->Iterations(3);
    }
}

} // namespace bench
