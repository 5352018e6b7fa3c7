// 2. Main window load, in this process on the offscreen platform: construct the window, run its
// load sequence (pictures, 18 texts, start state, total, first-start check), show it and let it
// paint; against constructing and showing a bare QWidget with as many child labels.

#include "Bench.h"

#include "core/settings/LanguageStore.h"
#include "gui/app/MainWindow.h"

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QLabel>
#include <QWidget>

#include <benchmark/benchmark.h>

namespace bench {
namespace {

class PaintWatch : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

// Shows the window and runs the event loop until it has painted.
bool showAndPaint(QWidget* window) {
    PaintWatch watch;
    window->installEventFilter(&watch);
    window->show();
    for (int i = 0; i < 1000 && !watch.painted; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    window->removeEventFilter(&watch);
    return watch.painted;
}

void dispose(QWidget* window) {
    delete window;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

struct Phases {
    double construct = 0;
    double load = 0;
    double show = 0;
    double total() const { return construct + load + show; }
};

std::optional<Phases> mainWindowOnce(AppContext& context, int* widgets) {
    const auto t0 = Clock::now();
    auto* window = new MainWindow(context);
    const auto t1 = Clock::now();
    window->load();
    const auto t2 = Clock::now();
    const bool painted = showAndPaint(window);
    const auto t3 = Clock::now();
    if (widgets)
        *widgets = int(window->findChildren<QWidget*>().size());
    const QSize size = window->size();
    dispose(window);
    if (!painted || size.isEmpty())
        return std::nullopt;
    return Phases{secondsBetween(t0, t1), secondsBetween(t1, t2), secondsBetween(t2, t3)};
}

Phases bareWidgetsOnce(int labels, QSize size) {
    const auto t0 = Clock::now();
    auto* window = new QWidget;
    window->setWindowTitle(QStringLiteral("bare"));
    window->setFixedSize(size);
    for (int i = 0; i < labels; ++i) {
        auto* label = new QLabel(QStringLiteral("Label %1").arg(i), window);
        label->setGeometry(8 + (i % 4) * 180, 8 + (i / 4) * 24, 170, 20);
    }
    const auto t1 = Clock::now();
    showAndPaint(window);
    const auto t2 = Clock::now();
    dispose(window);
    return Phases{secondsBetween(t0, t1), 0, secondsBetween(t1, t2)};
}

// Two parts of the load that the bare widgets do not have, timed on their own: the 18 lookups
// (each opens and closes the database), and stretching the aircraft picture to its label, which
// the label does with smooth scaling at its first paint.
double eighteenLookups(const QString& database) {
    const auto t0 = Clock::now();
    for (const char* key : kMainWindowKeys)
        benchmark::DoNotOptimize(tryLanguageText(database, QString::fromUtf8(key)));
    return secondsBetween(t0, Clock::now());
}

double stretchPicture(const QImage& picture, QSize size) {
    const auto t0 = Clock::now();
    const QImage stretched = picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    benchmark::DoNotOptimize(stretched.constBits());
    return secondsBetween(t0, Clock::now());
}

void mainWindowAgainstBare(benchmark::State& state) {
    Environment& env = environment();
    AppContext& context = env.program->context();

    // The first load pays for fonts, style and picture decoders once; both sides are warmed up.
    int widgets = 0;
    QSize size;
    {
        auto* window = new MainWindow(context);
        window->load();
        showAndPaint(window);
        widgets = int(window->findChildren<QWidget*>().size());
        size = window->size();
        dispose(window);
    }
    env.mainWindowWidgets = widgets;
    bareWidgetsOnce(widgets, size);
    const QImage aircraft(context.path(QStringLiteral("pa.bmp")));
    // Picture1 covers 8550 x 6465 twips.
    const QSize pictureSize(8550 * 96 / 1440, 6465 * 96 / 1440);

    for (auto _ : state) {
        const auto main = mainWindowOnce(context, nullptr);
        if (!main) {
            state.SkipWithError("the main window did not paint");
            env.samples.fail("window_main", QStringLiteral("the main window did not paint"));
            return;
        }
        const Phases bare = bareWidgetsOnce(widgets, size);
        env.samples.add("window_main", main->total());
        env.samples.add("window_main_construct", main->construct);
        env.samples.add("window_main_load", main->load);
        env.samples.add("window_main_show", main->show);
        env.samples.add("window_bare", bare.total());
        env.samples.add("window_bare_construct", bare.construct);
        env.samples.add("window_bare_show", bare.show);
        env.samples.add("window_lookups", eighteenLookups(context.languageDatabase()));
        if (!aircraft.isNull())
            env.samples.add("window_stretch", stretchPicture(aircraft, pictureSize));
    }
}

} // namespace

void registerWindowBenchmarks() {
    benchmark::RegisterBenchmark("window/main_vs_bare_widgets", mainWindowAgainstBare)->Iterations(60);
}

} // namespace bench
