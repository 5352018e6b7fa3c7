#include "AppContext.h"
#include "core/common/Paths.h"
#include "core/common/RandomSource.h"
#include "core/loading/LoadingFile.h"
#include "gui/app/Application.h"
#include "gui/app/Fonts.h"
#include "gui/app/Pictures.h"
#include "gui/app/QtDialogs.h"

#include <QApplication>
#include <QDir>

int main(int argc, char* argv[]) {
    QApplication qtApp(argc, argv);
    // The program ends when its last window has gone, which Application decides: a window that
    // is replaced within one handler (the reload of the main window) must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    registerFallbackFonts();
    fonts::repairPlatformFonts();

    QtDialogs dialogs;
    SystemRandom random;
    AppContext context;
    context.programFolder = GetAppPath();
    context.dialogs = &dialogs;
    context.random = &random;
    // Every window's icon, in each size the icon file holds (the first start opens the options
    // window, not the main window).
    QApplication::setWindowIcon(pictures::icon(context.path(QStringLiteral("merovan.ico"))));

    Application app(context);
    // "merovan trip.tqload", which is also how Windows opens a file by double click: the loading
    // is opened once the main window is there.
    if (const auto file = loadingfile::fromCommandLine(QCoreApplication::arguments(), QDir::currentPath()))
        app.openAtStart(*file);
    QObject::connect(&app, &Application::ended, &qtApp, &QCoreApplication::quit, Qt::QueuedConnection);
    app.start();
    return QApplication::exec();
}
