#include "core/common/AppContext.h"
#include "core/common/Paths.h"
#include "core/common/RandomSource.h"
#include "gui/app/Application.h"
#include "gui/app/Fonts.h"
#include "gui/app/QtDialogs.h"

#include <QApplication>
#include <QIcon>

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
    QApplication::setWindowIcon(QIcon(context.path(QStringLiteral("merovan.ico"))));

    Application app(context);
    QObject::connect(&app, &Application::ended, &qtApp, &QCoreApplication::quit, Qt::QueuedConnection);
    app.start();
    return QApplication::exec();
}
