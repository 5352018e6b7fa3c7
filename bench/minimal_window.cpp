// The floor for start-up and footprint: the least a Qt Widgets program does to become usable,
// one window with one line of text. The window has the main window's outer size (11355 x 7230
// twips at 96 dpi), so that both pay for the same window area. Started by merovan-bench; with
// MEROVAN_FIRST_PAINT_STAMP set it reports its first paint the way the program does.

#include "gui/app/FirstPaintStamp.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("merovan-bench-minimal"));
    QLabel label(QStringLiteral("Hello"), &window);
    label.move(10, 10);
    window.resize(757, 482);
    FirstPaintStamp::installIfAsked(&window);
    window.show();
    return QApplication::exec();
}
