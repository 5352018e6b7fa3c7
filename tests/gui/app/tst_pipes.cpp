// Every file the program opens, with a named pipe in its place in turn. Opened the ordinary way, a
// pipe waits for a writer for ever: the program would hang at its start, or at the command that
// reads the file. Each row does what opens its file, in a child process that must be done within
// its time, and checks what the user sees: the window without its picture, or the message that
// names the file.

#include "support/ExportFixture.h"
#include "support/MainWindowFixture.h"
#include "support/Rerun.h"

#include "core/export/ExportWriter.h"
#include "core/export/WeightAndBalance.h"
#include "core/loading/LoadingFile.h"
#include "core/loading/RecentLoadings.h"
#include "gui/about/InfoWindow.h"
#include "gui/app/SplashWindow.h"
#include "gui/export/ExportWindow.h"
#include "gui/export/RestoreWindow.h"
#include "gui/export/TakeOverWindow.h"
#include "gui/settings/OptionsWindow.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QPushButton>

#include <functional>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace exporttest;
using Dialog = ScriptedDialogs::Kind;

namespace {

// The program with its main window not yet shown, an FS2000 folder with one copy of the aircraft
// that has been exported once (so it has its backups), and a loading file in the recent list.
struct Program {
    MainWindowFixture f;
    Fs2000 fs{f.folder};
    const QString copy = QStringLiteral("FS2000/Aircraft/nerova_tq58/");
    const QString loading = QStringLiteral("Loadings/trip.tqload");

    Program() {
        const QString cfg = fs.addCopy(QStringLiteral("nerova_tq58"));
        QVERIFY(!exportwriter::write({cfg, f.folder.path(), wab::stationLoads(LoadingModel())}));
        QVERIFY(QDir().mkpath(f.folder.file(QStringLiteral("Loadings"))));
        QVERIFY(!loadingfile::save(f.folder.file(loading), {LoadingModel(), QString()}).has_value());
        QVERIFY(recentloadings::write(f.folder.path(), recentloadings::used({}, f.folder.file(loading)), nullptr));
    }

    ScriptedDialogs& dialogs() { return f.folder.dialogs(); }
    Application& app() { return *f.app; }
    MainWindow* main() const { return f.window(); }
    QString path(const QString& relative) const { return f.folder.file(relative); }
    template <typename T = QWidget> T* control(const QWidget* window, const char* name) const {
        return controls::child<T>(window, name);
    }

    // The start after the splash (whose own row goes through it): the main window.
    void start() {
        app().showMainWindow();
        QVERIFY(main() && main()->isVisible());
    }
    bool showsPicture(const QWidget* window, const char* name) const {
        return !control<QLabel>(window, name)->pixmap().isNull();
    }
    // The one message shown since the last look (besides the file dialogs and questions): an error
    // that names `relative`.
    void saysOnce(const QString& relative) {
        const QStringList said = dialogs().textsOf(Dialog::Exclamation);
        const QStringList all = said + dialogs().textsOf(Dialog::Information);
        QVERIFY2(all.size() == 1 && said.size() == 1, qPrintable(all.join(u'|')));
        QVERIFY2(said[0].contains(QDir::toNativeSeparators(path(relative))), qPrintable(said[0]));
        dialogs().clear();
    }
    // The File menu's loadings used last.
    QList<QAction*> recentLoadings() const {
        QList<QAction*> found;
        for (QAction* action : control<QMenu>(main(), "mnuDatei")->actions()) {
            if (action->objectName().startsWith(QLatin1String("mnuDateiZuletzt")))
                found << action;
        }
        return found;
    }
    void seatCoPilot() {
        dialogs().answerInput(QStringLiteral("75"));
        main()->seatClicked(Seat::Co);
        dialogs().clear();
    }
    // Lists the copies for the export (or the restore), and where the listing has nothing to say,
    // chooses the copy and presses O.K. (a question answered Yes).
    void chooseTheCopy(bool restore) {
        if (restore)
            app().showRestore();
        else
            app().showExport();
        CopyChooser* window = restore ? static_cast<CopyChooser*>(app().restoreWindow()) : app().exportWindow();
        if (!window || !dialogs().calls().isEmpty())
            return;
        control<QComboBox>(window, restore ? "cmbRestore" : "cmbPA")->setCurrentIndex(0);
        dialogs().answerQuestion(true);
        control<QPushButton>(window, "cmdOK")->click();
    }
};

// What a row puts in the file's place (a named pipe unless said otherwise), then does and sees.
using Put = std::function<void(const QString& path)>;
using DoAndSee = std::function<void(Program&)>;

void namedPipe(const QString& path) {
#ifdef Q_OS_UNIX
    QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0644) == 0);
#else
    Q_UNUSED(path);
#endif
}

// The start, and the main window, which shows the picture of each of `shown` but not of `missing`.
DoAndSee startsWithout(const char* missing, QList<const char*> shown) {
    return [missing, shown](Program& p) {
        p.start();
        QVERIFY(!p.showsPicture(p.main(), missing));
        for (const char* name : shown)
            QVERIFY2(p.showsPicture(p.main(), name), name);
        QVERIFY(p.dialogs().calls().isEmpty());
    };
}

} // namespace

Q_DECLARE_METATYPE(Put)
Q_DECLARE_METATYPE(DoAndSee)

class TestPipes : public QObject {
    Q_OBJECT
private slots:
    void aPipeWhereAFileBelongs_data();
    void aPipeWhereAFileBelongs();
    void theProgramStartsWithPipesAtItsPictures();
};

void TestPipes::aPipeWhereAFileBelongs_data() {
#ifndef Q_OS_UNIX
    QSKIP("no named pipes in the file system here");
#endif
    QTest::addColumn<QString>("file"); // in the program folder
    QTest::addColumn<Put>("put");
    QTest::addColumn<DoAndSee>("doAndSee");
    const auto row = [](const char* name, const char* file, DoAndSee doAndSee, Put put = namedPipe) {
        QTest::newRow(name) << QString::fromUtf8(file) << put << doAndSee;
    };

    // The pictures and icons.
    row("splash.bmp: the splash without its picture, then the main window", "splash.bmp", [](Program& p) {
        p.app().start();
        QVERIFY(p.app().splashWindow() && p.app().splashWindow()->isVisible());
        QVERIFY(!p.showsPicture(p.app().splashWindow(), "imgBackground"));
        QCOMPARE(p.control<QLabel>(p.app().splashWindow(), "lblTitle")->text(),
                 QStringLiteral("Velmora Control Center"));
        QTRY_VERIFY_WITH_TIMEOUT(p.main() && p.main()->isVisible(), 5000);
    });
    row("pa.bmp: the main window without the aircraft", "pa.bmp", startsWithout("Picture1", {"imgSet", "Image1"}));
    row("person.ico: the main window without the taken seat's picture", "person.ico",
        startsWithout("imgSet", {"imgReset", "Picture1"}));
    row("leer.ico: the main window without the free seat's picture", "leer.ico",
        startsWithout("imgReset", {"imgSet", "Picture1"}));
    row("logo.bmp: the main window without the logo", "logo.bmp", startsWithout("Image1", {"Picture1", "imgSet"}));
    row("url.ico: the main and about windows with the usual pointer over the link", "url.ico", [](Program& p) {
        p.start();
        QVERIFY(p.control(p.main(), "Label4")->cursor().shape() != Qt::BitmapCursor);
        p.app().showInfo();
        QVERIFY(p.app().infoWindow() && p.app().infoWindow()->isVisible());
        QVERIFY(p.control(p.app().infoWindow(), "Label4")->cursor().shape() != Qt::BitmapCursor);
        QVERIFY(p.showsPicture(p.app().infoWindow(), "picMain"));
    });
    row("merovan.ico: the main window without its icon", "merovan.ico", [](Program& p) {
        p.start();
        QVERIFY(p.main()->windowIcon().isNull());
        QVERIFY(p.showsPicture(p.main(), "Picture1"));
    });
    row("infopic.bmp: the about window without its picture", "infopic.bmp", [](Program& p) {
        p.start();
        p.app().showInfo();
        QVERIFY(p.app().infoWindow() && p.app().infoWindow()->isVisible());
        QVERIFY(!p.showsPicture(p.app().infoWindow(), "picMain"));
        QVERIFY(p.control(p.app().infoWindow(), "Label4")->cursor().shape() == Qt::BitmapCursor);
    });
    // Not only pipes: whatever is no picture file is a missing picture.
    row("a device at pa.bmp: the main window without the aircraft", "pa.bmp",
        startsWithout("Picture1", {"imgSet", "Image1"}),
        [](const QString& path) { QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path)); });
    row("a folder at logo.bmp: the main window without the logo", "logo.bmp",
        startsWithout("Image1", {"Picture1", "imgSet"}), [](const QString& path) { QVERIFY(QDir().mkpath(path)); });
    row("a damaged person.ico: the main window without the taken seat's picture", "person.ico",
        startsWithout("imgSet", {"imgReset", "Picture1"}),
        [](const QString& path) { QVERIFY(writeFile(path, QByteArray("\0\0\1\0\1\0 junk", 11))); });
    row("a logo.bmp larger than a picture can be: the main window without the logo", "logo.bmp",
        startsWithout("Image1", {"Picture1", "imgSet"}), [](const QString& path) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("BM") == 2 && file.resize(17 * 1024 * 1024));
        });

    // The settings and the language.
    row("Data/language.crf: the main window in its designed texts", "Data/language.crf", [](Program& p) {
        p.start();
        QCOMPARE(p.control<QPushButton>(p.main(), "cmdSchliessen")->text(), QStringLiteral("Schliessen"));
        QCOMPARE(p.app().qtLanguage().installed(), QString());
    });
    row("translations/qtbase_de.qm: the main window, Qt's texts in English", "translations/qtbase_de.qm",
        [](Program& p) {
            p.start();
            QCOMPARE(p.app().qtLanguage().installed(), QString());
            QCOMPARE(p.control<QPushButton>(p.main(), "cmdSchliessen")->text(), germanText("cmdSchliessen"));
        });
    row("strt.cfg: the main window, no first start", "strt.cfg", [](Program& p) {
        p.start();
        QVERIFY(!p.app().optionsWindow());
    });
    row("options.cfg, options: the window says it cannot read it", "options.cfg", [](Program& p) {
        p.start();
        p.app().showOptions();
        QVERIFY(p.app().optionsWindow() && p.app().optionsWindow()->isVisible());
        p.saysOnce(QStringLiteral("options.cfg"));
        QCOMPARE(p.control<QLineEdit>(p.app().optionsWindow(), "txtFS2000")->text(), QString());
    });
    row("options.cfg, export: the listing names it", "options.cfg", [](Program& p) {
        p.start();
        p.app().showExport();
        p.saysOnce(QStringLiteral("options.cfg"));
        QVERIFY(!p.app().exportWindow());
    });
    row("Data/languages/english.crf: switching to English says it cannot", "Data/languages/english.crf",
        [](Program& p) {
            p.start();
            p.app().showOptions();
            p.control<QComboBox>(p.app().optionsWindow(), "cmbSprache")->setCurrentText(QStringLiteral("English"));
            p.control<QPushButton>(p.app().optionsWindow(), "cmdOK")->click();
            p.saysOnce(QStringLiteral("Data/languages/english.crf"));
            QTRY_VERIFY(p.main());
            QCOMPARE(p.control<QPushButton>(p.main(), "cmdSchliessen")->text(), QStringLiteral("Schliessen"));
        });
    row("recent.cfg: the main window without loadings used last; a loading opens", "recent.cfg", [](Program& p) {
        p.start();
        QVERIFY(p.recentLoadings().isEmpty());
        p.dialogs().answerOpenFile(p.path(p.loading));
        controls::triggerAction(p.main(), "mnuDateiBeladungOeffnen");
        QCOMPARE(p.dialogs().calls().size(), 1); // the file dialog alone: no message
        QCOMPARE(p.recentLoadings().size(), 1);
    });

    // The loading files.
    row("a loading named on the command line: the main window, then a message naming it", "Loadings/trip.tqload",
        [](Program& p) {
            p.app().openAtStart(p.path(p.loading));
            p.start();
            QTRY_VERIFY(!p.dialogs().calls().isEmpty());
            p.saysOnce(p.loading);
        });
    row("a loading chosen in the open dialog: a message naming it", "Loadings/trip.tqload", [](Program& p) {
        p.start();
        p.dialogs().answerOpenFile(p.path(p.loading));
        controls::triggerAction(p.main(), "mnuDateiBeladungOeffnen");
        p.saysOnce(p.loading);
    });
    row("a loading of the recent list: a message naming it", "Loadings/trip.tqload", [](Program& p) {
        p.start();
        QCOMPARE(p.recentLoadings().size(), 1);
        p.recentLoadings().constFirst()->trigger();
        p.saysOnce(p.loading);
    });
    row("a loading saved over it: a message naming it", "Loadings/trip.tqload", [](Program& p) {
        p.start();
        p.dialogs().answerSaveFile(p.path(p.loading));
        p.dialogs().answerQuestion(true);
        controls::triggerAction(p.main(), "mnuDateiBeladungSpeichern");
        p.saysOnce(p.loading);
        QVERIFY(!QFileInfo(p.path(p.loading)).isFile());
    });

    // The model variants and the copy of the aircraft, with the co-pilot seated (variant 2). Each
    // file is named in the listing, or when the copy is chosen; the pipe stays as it is.
    const auto named = [](bool restore, const char* file) {
        return [restore, file](Program& p) {
            p.start();
            p.seatCoPilot();
            p.chooseTheCopy(restore);
            p.saysOnce(QString::fromUtf8(file));
            QVERIFY(!QFileInfo(p.path(QString::fromUtf8(file))).isFile());
        };
    };
    const auto copyFile = [&](const char* name, bool restore, const char* file) {
        row(name, file, named(restore, file));
    };
    copyFile("Models/2.mdl, export: refused, naming it", false, "Models/2.mdl");
    copyFile("aircraft.cfg of the copy, export: named", false, "FS2000/Aircraft/nerova_tq58/aircraft.cfg");
    copyFile("aircraft.cfg of the copy, restore: named", true, "FS2000/Aircraft/nerova_tq58/aircraft.cfg");
    copyFile("the copy's model, export: named", false, "FS2000/Aircraft/nerova_tq58/Model/TQ58-161.mdl");
    copyFile("the copy's model, restore: named", true, "FS2000/Aircraft/nerova_tq58/Model/TQ58-161.mdl");
    copyFile("aircraft.cfg.installed, export: named", false,
             "FS2000/Aircraft/nerova_tq58/merovan-installed/aircraft.cfg.installed");
    copyFile("aircraft.cfg.installed, restore: named", true,
             "FS2000/Aircraft/nerova_tq58/merovan-installed/aircraft.cfg.installed");
    copyFile("TQ58-161.mdl.installed, export: named", false,
             "FS2000/Aircraft/nerova_tq58/merovan-installed/TQ58-161.mdl.installed");
    copyFile("TQ58-161.mdl.installed, restore: named", true,
             "FS2000/Aircraft/nerova_tq58/merovan-installed/TQ58-161.mdl.installed");
    row("aircraft.cfg of the copy, take-over: named", "FS2000/Aircraft/nerova_tq58/aircraft.cfg", [](Program& p) {
        p.start();
        p.app().showTakeOver();
        p.saysOnce(p.copy + QStringLiteral("aircraft.cfg"));
    });
    // Read only to tell a model put in by hand from a variant: the restore gives the copy back,
    // keeping the model it cannot tell.
    row("Models/1.mdl, restore: done", "Models/1.mdl", [](Program& p) {
        p.start();
        p.chooseTheCopy(true);
        QCOMPARE(p.dialogs().textsOf(Dialog::Information).size(), 1);
        QCOMPARE(readFile(p.path(p.copy + QStringLiteral("Model/TQ58-161.mdl"))), kInstalledModel);
        QCOMPARE(readFile(p.path(p.copy + QStringLiteral("aircraft.cfg"))), kCfg);
    });
    // The record of the installed modes: the export, which makes it where it is missing, names
    // what stands at its place; the restore, which only reads it, takes it for none and is done
    // without touching it.
    copyFile("attributes.installed, export: refused, naming it", false,
             "FS2000/Aircraft/nerova_tq58/merovan-installed/attributes.installed");
    row("attributes.installed, restore: done, the record left as it is",
        "FS2000/Aircraft/nerova_tq58/merovan-installed/attributes.installed", [](Program& p) {
            p.start();
            p.seatCoPilot();
            p.chooseTheCopy(true);
            QCOMPARE(p.dialogs().textsOf(Dialog::Information).size(), 1);
            QCOMPARE(readFile(p.path(p.copy + QStringLiteral("Model/TQ58-161.mdl"))), kInstalledModel);
            const QFileInfo record(p.path(p.copy + QStringLiteral("merovan-installed/attributes.installed")));
            QVERIFY(record.exists() && !record.isFile());
        });
}

void TestPipes::aPipeWhereAFileBelongs() {
    MEROVAN_RUN_IN_CHILD(20);
    QFETCH(QString, file);
    QFETCH(Put, put);
    QFETCH(DoAndSee, doAndSee);
    Program p;
    QFile::remove(p.path(file));
    put(p.path(file));
    doAndSee(p);
}

void TestPipes::theProgramStartsWithPipesAtItsPictures() {
#ifndef Q_OS_UNIX
    QSKIP("no named pipes in the file system here");
#else
    // The program itself, as it is started: its window icon is set before any window.
    TestProgramFolder folder;
    for (const char* picture :
         {"splash.bmp", "pa.bmp", "person.ico", "leer.ico", "url.ico", "logo.bmp", "merovan.ico", "infopic.bmp"}) {
        folder.remove(QString::fromLatin1(picture));
        namedPipe(folder.file(QString::fromLatin1(picture)));
    }
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("MEROVAN_FIRST_PAINT_STAMP"), QStringLiteral("1"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::MergedChannels);
    const QString executable = folder.file(QStringLiteral("merovan"));
    QVERIFY(QFile::copy(QStringLiteral(MEROVAN_STAGED_FOLDER "/merovan"), executable));
    program.start(executable, {});
    QVERIFY(program.waitForStarted());
    // The main window's first paint says that it is there.
    QByteArray said;
    QElapsedTimer waited;
    waited.start();
    while (!said.contains("first-paint ") && program.state() == QProcess::Running && waited.elapsed() < 20000) {
        program.waitForReadyRead(200);
        said += program.readAll();
    }
    program.kill();
    program.waitForFinished();
    QVERIFY2(said.contains("first-paint "), said.constData());
#endif
}

QTEST_MAIN(TestPipes)
#include "tst_pipes.moc"
