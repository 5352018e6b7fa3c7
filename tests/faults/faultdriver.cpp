// Runs one operation of the program in a given program folder, the way a user would, and prints
// every dialog it shows. The fault-injection and crash tests start it as a child process (with the
// fault library preloaded, inside a small full disk, or to be killed at a random moment) and read
// what it printed.
//
//   merovan_faultdriver <program folder> export  [--seats Co:75,PaxRight:60] [--baggage 20]
//                                                [--index 0] [--runs N] [--pause] [--loop] [--hold]
//   merovan_faultdriver <program folder> options [--language English] [--folder D:/New/]
//                                                [--runs N] [--pause]
//   merovan_faultdriver <program folder> restore [--index 0] [--runs N] [--pause]
//
// Output, one line each (tabs, line breaks and backslashes in texts written as \t, \n, \\):
//   READY                         the main window is loaded (and the loading seated); with --hold it
//                                 then waits for one line on standard input before the first run
//   RUN <k>                       run k of the operation begins
//   DIALOG\t<kind>\t<title>\t<text>   a dialog, kind input|exclamation|information|question|...
//   STATE\tmain=<0|1>\toptions=<0|1>\texport=<0|1>   which windows are open after the run
//   DONE <k>                      run k is over
//   PAUSE <k>                     with --pause: waits for one line on standard input
//
// With --loop the export runs until the process is killed, seating and freeing the left
// passenger between runs, so that consecutive exports write different files.
#include "core/common/RandomSource.h"
#include "gui/app/AppContext.h"
#include "gui/app/Application.h"
#include "gui/app/Dialogs.h"
#include "gui/app/MainWindow.h"
#include "gui/export/ExportWindow.h"
#include "gui/export/RestoreWindow.h"
#include "gui/settings/OptionsWindow.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QSlider>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

namespace {

void say(const QString& line) {
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

QString escaped(QString text) {
    text.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    text.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    text.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    return text;
}

class PrintingDialogs final : public Dialogs {
public:
    QStringList answers;

    std::optional<QString> inputBox(QWidget*, const QString& prompt, const QString& title) override {
        show("input", prompt, title);
        if (answers.isEmpty())
            return std::nullopt;
        return answers.takeFirst();
    }
    void exclamation(QWidget*, const QString& text, const QString& title) override { show("exclamation", text, title); }
    void information(QWidget*, const QString& text, const QString& title) override {
        show("information", text, title);
        ++informations;
    }
    bool question(QWidget*, const QString& text, const QString& title, Answer) override {
        show("question", text, title);
        return true;
    }
    std::optional<QString> openFile(QWidget*, const QString& filter, const QString&) override {
        show("openfile", filter, QString());
        return std::nullopt;
    }
    std::optional<QString> saveFile(QWidget*, const QString& filter, const QString&, const QString&) override {
        show("savefile", filter, QString());
        return std::nullopt;
    }
    bool openUrl(const QString& address) override {
        show("openurl", address, QString());
        return false;
    }
    Printed print(QWidget*, const QString& title, const PagePainter&) override {
        show("print", QString(), title);
        return Printed::Cancelled;
    }

    int informations = 0;

private:
    static void show(const char* kind, const QString& text, const QString& title) {
        say(QStringLiteral("DIALOG\t%1\t%2\t%3").arg(QLatin1String(kind), escaped(title), escaped(text)));
    }
};

// Random loading is not used here; should it be, it draws the middle of the range.
class FixedRandom final : public RandomSource {
public:
    void reseed() override {}
    double next() override { return 0.5; }
};

struct Options {
    QString folder;
    QString operation;
    QString seats = QStringLiteral("Co:75,PaxRight:60");
    int baggage = 20;
    int index = 0;
    int runs = 1;
    bool pause = false;
    bool loop = false;
    bool hold = false;
    QString language = QStringLiteral("English");
    QString fs2000 = QStringLiteral("D:/New/");
};

[[noreturn]] void usage(const char* why) {
    std::fprintf(stderr, "merovan_faultdriver: %s\n", why);
    std::exit(2);
}

Options parse(const QStringList& args) {
    if (args.size() < 3)
        usage("usage: <program folder> export|options|restore [options]");
    Options o;
    o.folder = args[1];
    o.operation = args[2];
    const QMap<QString, bool*> switches{{"--pause", &o.pause}, {"--loop", &o.loop}, {"--hold", &o.hold}};
    const QMap<QString, QString*> texts{{"--seats", &o.seats}, {"--language", &o.language}, {"--folder", &o.fs2000}};
    const QMap<QString, int*> numbers{{"--baggage", &o.baggage}, {"--index", &o.index}, {"--runs", &o.runs}};
    for (int i = 3; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&]() {
            if (i + 1 >= args.size())
                usage("an option lacks its value");
            return args[++i];
        };
        if (switches.contains(a))
            *switches[a] = true;
        else if (texts.contains(a))
            *texts[a] = value();
        else if (numbers.contains(a))
            *numbers[a] = value().toInt();
        else
            usage("unknown option");
    }
    if (o.operation != QLatin1String("export") && o.operation != QLatin1String("options") &&
        o.operation != QLatin1String("restore"))
        usage("the operation is export, options or restore");
    return o;
}

void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

template <typename T> T* child(QObject* window, const char* name) {
    T* found = window ? window->findChild<T*>(QString::fromLatin1(name)) : nullptr;
    if (!found) {
        std::fprintf(stderr, "merovan_faultdriver: control %s not found\n", name);
        std::exit(3);
    }
    return found;
}

void seatLoading(MainWindow* main, PrintingDialogs& dialogs, const Options& o) {
    for (const QString& entry : o.seats.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        static const QMap<QString, Seat> seats{
            {"Pilot", Seat::Pilot}, {"Co", Seat::Co}, {"PaxLeft", Seat::PaxLeft}, {"PaxRight", Seat::PaxRight}};
        const QStringList parts = entry.split(QLatin1Char(':'));
        if (parts.size() != 2 || !seats.contains(parts[0]))
            usage("a seat is written as Co:75");
        dialogs.answers.append(parts[1]);
        main->seatClicked(seats[parts[0]]);
    }
    child<QSlider>(main, "Slider1")->setValue(o.baggage);
}

void runExport(Application& app, const Options& o) {
    app.showExport();
    ExportWindow* window = app.exportWindow();
    child<QComboBox>(window, "cmbPA")->setCurrentIndex(o.index);
    child<QPushButton>(window, "cmdOK")->click();
}

void runRestore(Application& app, const Options& o) {
    // The menu command, as the user gives it; the question is answered Yes.
    QAction* command = child<QAction>(app.mainWindow(), "mnuExportRestore");
    command->trigger();
    RestoreWindow* window = app.restoreWindow();
    if (!window)
        return; // nothing to restore: the message said so
    child<QComboBox>(window, "cmbRestore")->setCurrentIndex(o.index);
    child<QPushButton>(window, "cmdOK")->click();
}

void runOptions(Application& app, const Options& o) {
    if (!app.optionsWindow() || !app.optionsWindow()->isVisible())
        app.showOptions();
    OptionsWindow* window = app.optionsWindow();
    child<QLineEdit>(window, "txtFS2000")->setText(o.fs2000);
    auto* languages = child<QComboBox>(window, "cmbSprache");
    const int entry = languages->findText(o.language);
    languages->setCurrentIndex(entry);
    // A choice of the user, as the list reports it.
    emit languages->activated(entry);
    child<QPushButton>(window, "cmdOK")->click();
}

void reportState(Application& app) {
    auto open = [](QWidget* w) { return w && w->isVisible() ? 1 : 0; };
    say(QStringLiteral("STATE\tmain=%1\toptions=%2\texport=%3")
            .arg(open(app.mainWindow()))
            .arg(open(app.optionsWindow()))
            .arg(open(app.exportWindow())));
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication qtApp(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const Options o = parse(QCoreApplication::arguments());

    PrintingDialogs dialogs;
    FixedRandom random;
    AppContext context;
    context.programFolder = o.folder.endsWith(QLatin1Char('/')) ? o.folder : o.folder + QLatin1Char('/');
    context.dialogs = &dialogs;
    context.random = &random;

    Application app(context);
    app.showMainWindow();
    const bool exporting = o.operation == QLatin1String("export");
    const bool restoring = o.operation == QLatin1String("restore");
    if ((exporting || restoring) && !app.mainWindow())
        usage("the main window did not open (first start pending?)");
    if (exporting)
        seatLoading(app.mainWindow(), dialogs, o);
    settle();
    say(QStringLiteral("READY"));
    if (o.hold) {
        std::string line;
        if (!std::getline(std::cin, line))
            return 0;
    }

    for (int run = 1; o.loop || run <= o.runs; ++run) {
        say(QStringLiteral("RUN %1").arg(run));
        if (exporting) {
            const int before = dialogs.informations;
            runExport(app, o);
            if (o.loop) {
                if (dialogs.informations == before)
                    return 4; // the export failed; the dialog line says why
                // The next export writes the other model and other loads.
                if (!app.mainWindow()->loading().occupied(Seat::PaxLeft))
                    dialogs.answers.append(QStringLiteral("50"));
                app.mainWindow()->seatClicked(Seat::PaxLeft);
            }
        } else if (restoring) {
            runRestore(app, o);
        } else {
            runOptions(app, o);
        }
        settle();
        reportState(app);
        say(QStringLiteral("DONE %1").arg(run));
        if (o.pause) {
            say(QStringLiteral("PAUSE %1").arg(run));
            std::string line;
            if (!std::getline(std::cin, line))
                break;
        }
    }
    app.quitNow();
    settle();
    return 0;
}
