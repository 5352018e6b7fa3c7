// 3. Start to usable and 5. footprint: the real program and the floor program as processes under
// a private X server.
//
// Start to usable is the time from just before the process is started to the first paint of its
// window, which both programs stamp with the shared monotonic clock when MEROVAN_FIRST_PAINT_STAMP
// is set. The program's splash is meant to stand 250 ms; that is taken off its figure.
//
// The footprint is the peak resident size (VmHWM) once the program has its main, options, export
// and about windows open, against the floor program with its one window open.

#include "Bench.h"

#include <QByteArray>
#include <QString>
#include <QThread>

#include <benchmark/benchmark.h>

namespace bench {
namespace {

constexpr double kSplashSeconds = 0.250;
constexpr int kPaintTimeoutMs = 20000;
constexpr int kWindowTimeoutMs = 10000;

std::unique_ptr<Child> startUnderX(const std::string& program, QString* error) {
    Environment& env = environment();
    XServer& x = env.display();
    if (!x.isValid()) {
        *error = x.error();
        return nullptr;
    }
    auto child = Child::start({program},
                              {"DISPLAY=" + x.display().toStdString(),
                               "XDG_RUNTIME_DIR=" + env.runtimeFolder().toStdString(), "MEROVAN_FIRST_PAINT_STAMP=1"},
                              {"QT_QPA_PLATFORM"}, env.scratch->path());
    if (!child)
        *error = QStringLiteral("%1 could not be started").arg(QString::fromStdString(program));
    return child;
}

// Seconds from the start of the process to its first paint.
std::optional<double> waitFirstPaint(Child& child, QString* error) {
    const auto line = child.waitForLine("first-paint ", kPaintTimeoutMs);
    if (!line) {
        *error = QStringLiteral("no first paint; log: %1").arg(child.log().left(400));
        return std::nullopt;
    }
    return double(std::stoll(*line) - child.startedNs()) / 1e9;
}

std::optional<double> startToPaint(const std::string& program, QString* error) {
    auto child = startUnderX(program, error);
    if (!child)
        return std::nullopt;
    const auto seconds = waitFirstPaint(*child, error);
    child->stop();
    return seconds;
}

// xdotool against the private display.
QByteArray xdotool(const QStringList& args) {
    QByteArray out;
    runCommand(QStringList{QStringLiteral("xdotool")} + args, &out, 10000);
    return out.trimmed();
}

QString waitWindow(const QString& titlePattern, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < deadline) {
        const QByteArray ids = xdotool(
            {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), titlePattern});
        if (!ids.isEmpty())
            return QString::fromLatin1(ids.split('\n').first());
        QThread::msleep(20);
    }
    return {};
}

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
};

Geometry geometryOf(const QString& window) {
    Geometry g;
    const QByteArray shell = xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window});
    for (const QByteArray& line : shell.split('\n')) {
        const QList<QByteArray> kv = line.split('=');
        if (kv.size() != 2)
            continue;
        const int v = kv[1].toInt();
        if (kv[0] == "X")
            g.x = v;
        else if (kv[0] == "Y")
            g.y = v;
        else if (kv[0] == "WIDTH")
            g.width = v;
        else if (kv[0] == "HEIGHT")
            g.height = v;
    }
    return g;
}

void click(int x, int y) {
    xdotool({QStringLiteral("mousemove"), QString::number(x), QString::number(y), QStringLiteral("click"),
             QStringLiteral("1")});
}

int px(int twips) {
    return twips * 96 / 1440;
}

// Opens the menu-bar menu `index` places right of the first one and triggers its (only) entry;
// tries again when no window with the title pattern appears. Returns the window found.
QString triggerMenu(const Geometry& main, int index, const QString& titlePattern) {
    const int menuBar = main.height - px(6570);
    for (int attempt = 0; attempt < 3; ++attempt) {
        click(main.x + 12, main.y + std::max(menuBar, 2) / 2);
        QThread::msleep(150 + 250 * attempt);
        QStringList keys{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60")};
        for (int i = 0; i < index; ++i)
            keys << QStringLiteral("Right");
        keys << QStringLiteral("Down") << QStringLiteral("Return");
        xdotool(keys);
        const QString window = waitWindow(titlePattern, kWindowTimeoutMs / 3);
        if (!window.isEmpty())
            return window;
        xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
    }
    return {};
}

// Moves a window out of the way of the main window's controls.
void park(const QString& window, int x, int y) {
    xdotool({QStringLiteral("windowmove"), window, QString::number(x), QString::number(y)});
}

// Opens options, about and export over the running program; an empty result when all are open.
QString openAllWindows() {
    const QString main = waitWindow(QStringLiteral("^TQ 58 Merovan$"), kWindowTimeoutMs);
    if (main.isEmpty())
        return QStringLiteral("the main window is not visible");
    const Geometry g = geometryOf(main);
    QThread::msleep(200);

    const QString options = triggerMenu(g, 2, QStringLiteral("^Optionen$")); // Extras > Optionen
    if (options.isEmpty())
        return QStringLiteral("the options window did not open");
    park(options, 0, 0);

    const QString about = triggerMenu(g, 3, QStringLiteral("^Informationen")); // ? > Info
    if (about.isEmpty())
        return QStringLiteral("the about window did not open");
    park(about, 0, 560);

    // cmdSpeichern, in twips of the client area below the menu bar.
    const int menuBar = g.height - px(6570);
    click(g.x + px(8775 + 1200), g.y + menuBar + px(5535 + 232));
    const QString exportWindow = waitWindow(QStringLiteral("^Flugzeug"), kWindowTimeoutMs);
    if (exportWindow.isEmpty())
        return QStringLiteral("the export window did not open");
    park(exportWindow, 1500, 0);
    return {};
}

void startAgainstMinimal(benchmark::State& state) {
    Environment& env = environment();
    const std::string program = env.program->program().toStdString();
    const std::string minimal = minimalProgram().toStdString();
    QString error;
    // One untimed start of each fills the page cache and the font caches.
    if (!startToPaint(program, &error) || !startToPaint(minimal, &error)) {
        state.SkipWithError(error.toStdString().c_str());
        env.samples.fail("start_program", error);
        return;
    }
    std::size_t round = 0;
    for (auto _ : state) {
        // Alternate which of the two goes first.
        std::optional<double> programSeconds, minimalSeconds;
        if (round++ % 2 == 0) {
            programSeconds = startToPaint(program, &error);
            minimalSeconds = startToPaint(minimal, &error);
        } else {
            minimalSeconds = startToPaint(minimal, &error);
            programSeconds = startToPaint(program, &error);
        }
        if (!programSeconds || !minimalSeconds) {
            state.SkipWithError(error.toStdString().c_str());
            env.samples.fail("start_program", error);
            return;
        }
        env.samples.add("start_program_raw", *programSeconds);
        env.samples.add("start_program", *programSeconds - kSplashSeconds);
        env.samples.add("start_minimal", *minimalSeconds);
    }
}

void footprintAgainstMinimal(benchmark::State& state) {
    Environment& env = environment();
    for (auto _ : state) {
        QString error;
        auto child = startUnderX(env.program->program().toStdString(), &error);
        if (child && waitFirstPaint(*child, &error))
            error = openAllWindows();
        else if (error.isEmpty())
            error = QStringLiteral("the program did not start");
        if (!error.isEmpty()) {
            state.SkipWithError(error.toStdString().c_str());
            env.samples.fail("footprint_program", error);
            return;
        }
        // Let every window finish painting before the peak is read.
        QThread::msleep(700);
        const std::int64_t programPeak = procStatusBytes(child->pid(), "VmHWM");
        child->stop();

        auto floor = startUnderX(minimalProgram().toStdString(), &error);
        if (!floor || !waitFirstPaint(*floor, &error)) {
            state.SkipWithError(error.toStdString().c_str());
            env.samples.fail("footprint_program", error);
            return;
        }
        QThread::msleep(700);
        const std::int64_t minimalPeak = procStatusBytes(floor->pid(), "VmHWM");
        floor->stop();
        env.samples.add("footprint_program", double(programPeak));
        env.samples.add("footprint_minimal", double(minimalPeak));
    }
}

} // namespace

void registerStartBenchmarks() {
    benchmark::RegisterBenchmark("start/program_vs_minimal", startAgainstMinimal)->Iterations(9);
    benchmark::RegisterBenchmark("footprint/program_vs_minimal", footprintAgainstMinimal)->Iterations(3);
}

} // namespace bench
