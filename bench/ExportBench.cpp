// 4. Export: the whole export (model copy, section rewrite, atomic replacement with sync) against
// two floors, copying the same bytes with cp followed by sync, and replacing each file the export
// writes with its new bytes the least way that survives a crash; the export's work before it
// writes; and the section rewrite alone, its time and its peak memory as the file grows.

#include "Bench.h"

#include "core/export/ExportWriter.h"
#include "core/export/WeightAndBalance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <functional>
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

// A program folder with the model variant, an installed copy of the aircraft with an aircraft.cfg
// of the given size and a model file, a folder for the cp floor's copies, and an aircraft folder
// of the same layout for the replace floor. Everything goes when the scene does.
struct Scene {
    explicit Scene(qsizetype cfgSize) {
        const QString root = dir.path() + QLatin1Char('/');
        const QByteArray model = modelBytes();
        job.programFolder = root + QStringLiteral("program/");
        job.cfgPath = root + QStringLiteral("FS2000/Aircraft/tq58/aircraft.cfg");
        job.loads = {176, 165, std::nullopt, std::nullopt, 44}; // variant 2
        floorFolder = root + QStringLiteral("floor/");
        replaceCfg = QFile::encodeName(root + QStringLiteral("replace/aircraft.cfg"));
        replaceModel = QFile::encodeName(root + QStringLiteral("replace/Model/TQ58-161.mdl"));
        ok = dir.isValid() && writeFile(job.programFolder + QStringLiteral("Models/2.mdl"), model) &&
             writeFile(root + QStringLiteral("FS2000/Aircraft/tq58/Model/TQ58-161.mdl"), model) &&
             writeFile(job.cfgPath, aircraftCfg(cfgSize)) && QDir().mkpath(floorFolder) &&
             QDir().mkpath(root + QStringLiteral("replace/Model"));
    }

    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/merovan-bench-export-XXXXXX")};
    exportwriter::Job job;
    QString floorFolder;
    // The replace floor's targets, and the bytes it writes into them: what the export writes.
    QByteArray replaceCfg;
    QByteArray replaceModel;
    QByteArray newCfg;
    QByteArray newModel;
    bool ok = false;
};

QString failureText(const fileplan::Failure& failure) {
    return QStringLiteral("export failed (%1): %2 %3")
        .arg(fileplan::messageKey(failure.kind), failure.path, failure.reason);
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

#ifdef Q_OS_UNIX
bool writeAllTo(int fd, const char* data, qsizetype size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, std::size_t(std::min<qsizetype>(size, qsizetype(1) << 30)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

// The least a replacement that survives a crash at any moment must do: the new bytes, already in
// memory, into a temporary file beside the target, that file synced, renamed over the target, and
// the folder synced so that the new name is durable too.
bool durableReplace(const QByteArray& target, const QByteArray& bytes) {
    const QByteArray temporary = target + ".tmp";
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool written = writeAllTo(fd, bytes.constData(), bytes.size()) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written || ::rename(temporary.constData(), target.constData()) != 0) {
        ::unlink(temporary.constData());
        return false;
    }
    const int folder = ::open(target.left(target.lastIndexOf('/')).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return false;
    const bool synced = ::fsync(folder) == 0;
    return ::close(folder) == 0 && synced;
}
#endif

// The second floor: each file the export writes, replaced durably with the bytes the export writes
// into it.
bool replaceDurably(const Scene& scene) {
#ifdef Q_OS_UNIX
    return durableReplace(scene.replaceModel, scene.newModel) && durableReplace(scene.replaceCfg, scene.newCfg);
#else
    Q_UNUSED(scene);
    return false;
#endif
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
    // The first export also keeps the files as they were (its backups); the figures are those of the
    // exports after it, which is what a user repeats. All sides run once untimed. What the export
    // wrote is what the replace floor writes.
    if (const auto failure = exportwriter::write(scene.job); failure || !copyAndSync(scene)) {
        const QString why = failure ? failureText(*failure) : QStringLiteral("cp or sync failed");
        state.SkipWithError(why.toStdString().c_str());
        env.samples.fail(name, why);
        return;
    }
    scene.newCfg = readFile(scene.job.cfgPath);
    scene.newModel =
        readFile(scene.job.cfgPath.section(QLatin1Char('/'), 0, -2) + QStringLiteral("/Model/TQ58-161.mdl"));
    if (scene.newCfg.isEmpty() || scene.newModel.size() != kModelSize || !replaceDurably(scene)) {
        const QString why = QStringLiteral("the durable replace floor failed");
        state.SkipWithError(why.toStdString().c_str());
        env.samples.fail(name, why);
        return;
    }
    const fileplan::FileOps writeNothing{[](const QString&, const QByteArray&, QString*) { return true; },
                                         [](const QString&, const QString&, QString*) { return true; }};
    std::size_t round = 0;
    for (auto _ : state) {
        double exportSeconds = 0, copySeconds = 0, replaceSeconds = 0, prepareSeconds = 0;
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
        auto timeReplace = [&] {
            const auto t0 = Clock::now();
            const bool ok = replaceDurably(scene);
            replaceSeconds = secondsBetween(t0, Clock::now());
            return ok;
        };
        // The same export with file operations that write nothing: what it does before and
        // besides replacing the files (checks, reading the files, the rewrite).
        auto timePrepare = [&] {
            const auto t0 = Clock::now();
            const auto failure = exportwriter::write(scene.job, writeNothing);
            prepareSeconds = secondsBetween(t0, Clock::now());
            return !failure;
        };
        // Each goes first in turn, so that none always follows the same one.
        const std::array<std::function<bool()>, 4> steps{timeExport, timeCopy, timeReplace, timePrepare};
        bool ok = true;
        for (std::size_t i = 0; i < steps.size() && ok; ++i)
            ok = steps[(round + i) % steps.size()]();
        ++round;
        if (!ok) {
            state.SkipWithError("an export, a copy or a replacement failed");
            env.samples.fail(name, QStringLiteral("an export, a copy or a replacement failed"));
            return;
        }
        env.samples.add(name, exportSeconds);
        env.samples.add("cp_sync_" + std::to_string(cfgSize), copySeconds);
        env.samples.add("replace_" + std::to_string(cfgSize), replaceSeconds);
        env.samples.add("export_prepare_" + std::to_string(cfgSize), prepareSeconds);
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
