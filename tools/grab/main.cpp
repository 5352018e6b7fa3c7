// Saves a picture of the whole X screen (or of one window, by its id) as PNG:
//   merovan-grab <out.png> [window-id]
// Used for the README's screenshots and by the real-window tests.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: merovan-grab <out.png> [window-id]\n");
        return 2;
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 1;
    const WId window = argc > 2 ? WId(QByteArray(argv[2]).toULongLong(nullptr, 0)) : 0;
    const QPixmap picture = screen->grabWindow(window);
    if (picture.isNull() || !picture.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "merovan-grab: could not save %s\n", argv[1]);
        return 1;
    }
    return 0;
}
