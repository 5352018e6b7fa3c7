// The floor for start-up and footprint: the least a Qt Widgets program does to become usable,
// one window with one line of text. The window has the main window's outer size (11355 x 7230
// twips at 96 dpi), so that both pay for the same window area. Started by merovan-bench; with
// MEROVAN_FIRST_PAINT_STAMP set it reports its first paint the way the program does.

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QWidget>

#include <chrono>
#include <cstdio>

namespace {

class FirstPaintStamp : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            const auto now = std::chrono::steady_clock::now().time_since_epoch();
            std::fprintf(stderr, "first-paint %lld\n",
                         static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
            std::fflush(stderr);
            watched->removeEventFilter(this);
        }
        return false;
    }
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("merovan-bench-minimal"));
    QLabel label(QStringLiteral("Hello"), &window);
    label.move(10, 10);
    window.resize(757, 482);
    FirstPaintStamp stamp;
    if (qEnvironmentVariableIsSet("MEROVAN_FIRST_PAINT_STAMP"))
        window.installEventFilter(&stamp);
    window.show();
    return QApplication::exec();
}
