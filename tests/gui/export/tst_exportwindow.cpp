#include "support/Controls.h"
#include "support/ExportFixture.h"

#include "core/common/SystemReasons.h"
#include "core/export/StandIn.h"
#include "core/export/WeightAndBalance.h"
#include "core/settings/LanguageStore.h"
#include "core/settings/SettingsFiles.h"
#include "core/settings/Texts.h"
#include "gui/app/Application.h"
#include "gui/app/MainWindow.h"
#include "gui/app/MessageFit.h"
#include "gui/app/QtDialogs.h"
#include "gui/export/ExportWindow.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDebug>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <QTextLayout>

#include <cerrno>
#include <cstring>
#include <functional>
#include <sqlite3.h>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace exporttest;
using Kind = ScriptedDialogs::Kind;

namespace {

const auto native = &QDir::toNativeSeparators;

// A running program with its main window, and an FS2000 folder to export into.
struct Program {
    TestProgramFolder pf;
    Fs2000 fs{pf};
    Application app{pf.context()};

    MainWindow* main() const { return app.mainWindow(); }
    ExportWindow* exportWindow() const { return app.exportWindow(); }
    template <typename T> T* control(const char* name) const { return controls::child<T>(exportWindow(), name); }
    QComboBox* list() const { return control<QComboBox>("cmbPA"); }
    QString text(const char* key) {
        return tryLanguageText(pf.context().languageDatabase(), QString::fromLatin1(key)).value_or(QString());
    }

    void start() {
        app.showMainWindow();
        QVERIFY(main());
    }
    // Pilot 80 (the start), co-pilot 75, right passenger 60, baggage 20.
    void seatThreePersonsAndBaggage() {
        pf.dialogs().answerInput(QStringLiteral("75"));
        main()->seatClicked(Seat::Co);
        pf.dialogs().answerInput(QStringLiteral("60"));
        main()->seatClicked(Seat::PaxRight);
        controls::child<QSlider>(main(), "Slider1")->setValue(20);
    }
    void openExport() {
        app.showExport();
        QVERIFY(exportWindow());
    }
    void choose(int index) { list()->setCurrentIndex(index); }
    void pressOK() { control<QPushButton>("cmdOK")->click(); }
    QString variant() const { return native(pf.file(QStringLiteral("Models/4.mdl"))); }
    // A started program with three persons and baggage; `said` names the variant, and nothing changed.
    void startWithALoading(QString& said) {
        QVERIFY(said.contains(variant()));
        said += "\n\n" + text("strExportNothingChanged");
        start();
        seatThreePersonsAndBaggage();
    }
};

using Drive = std::function<void(Program&)>;
// A message as the program words it, checking what it must hold besides.
using Worded = std::function<void(const Texts&, QString& text)>;
using Setup = std::function<void(Program&, QString& said)>; // also fills in what the program says

} // namespace

class TestExportWindow : public QObject {
    Q_OBJECT
private slots:
    void captions_data();
    void captions();
    void listsTheCopiesNothingPreselected_data();
    void listsTheCopiesNothingPreselected();
    void exportsTheLoadingShown_data();
    void exportsTheLoadingShown();
    void cancelOrNoChoiceWritesNothing_data();
    void cancelOrNoChoiceWritesNothing();
    void listingProblemsAreSaid_data();
    void listingProblemsAreSaid();
    void failureIsSaidAndWindowStays_data();
    void failureIsSaidAndWindowStays();
    void exportWindowGoesWithItsLoading_data();
    void exportWindowGoesWithItsLoading();
    void completionMessage_data();
    void completionMessage();
    void demoFolderCanBeExportedTo_data();
    void demoFolderCanBeExportedTo();
    void everyMessageInTheProgramsLanguage_data();
    void everyMessageInTheProgramsLanguage();
    void messagesFitTheScreen_data();
    void messagesFitTheScreen();
};

void TestExportWindow::captions_data() {
    QTest::addColumn<QString>("database");
    QTest::addColumn<QStringList>("texts"); // title, label, O.K., Abbrechen
    QTest::newRow("German") << "german.crf"
                            << QStringList{"Flugzeug wählen",
                                           "Wählen Sie bitte, welches der installierten TQ 58 Flugzeuge beladen "
                                           "werden soll:",
                                           "O.K.", "Abbrechen"};
    QTest::newRow("English") << "english.crf"
                             << QStringList{"Choose aircraft",
                                            "Please choose which of the installed TQ 58 aircraft to load:", "OK",
                                            "Cancel"};
}

void TestExportWindow::captions() {
    QFETCH(QString, database);
    QFETCH(QStringList, texts);
    Program p;
    p.fs.addCopy(QStringLiteral("nerova_tq58"));
    p.pf.remove(QStringLiteral("Data/language.crf"));
    QVERIFY(QFile::copy(p.pf.file(QStringLiteral("Data/languages/") + database),
                        p.pf.file(QStringLiteral("Data/language.crf"))));
    p.openExport();
    QCOMPARE(p.exportWindow()->objectName(), QStringLiteral("frmExport"));
    // A screen reader meets a dialog named by its title, and the list named after its label.
    QAccessibleInterface* told = QAccessible::queryAccessibleInterface(p.exportWindow());
    QCOMPARE(told->role(), QAccessible::Dialog);
    QCOMPARE((QStringList{p.exportWindow()->windowTitle(), p.control<QLabel>("lblOne")->text(),
                          p.control<QPushButton>("cmdOK")->text(), p.control<QPushButton>("cmdAbbrechen")->text()}),
             texts);
    QCOMPARE((QStringList{told->text(QAccessible::Name), p.list()->accessibleName() + ":"}), texts.mid(0, 2));
}

void TestExportWindow::listsTheCopiesNothingPreselected_data() {
    QTest::addColumn<QStringList>("folders"); // of the copies, those listed first
    QTest::addColumn<QByteArrayList>("cfgs");
    QTest::addColumn<QStringList>("titles"); // as listed
    QTest::addColumn<int>("chosen");
    QTest::newRow("the title up to a comma; a copy without a title shows its folder name")
        << QStringList{"nerova_tq58", "NEROVA_TQ58_float", "nerova_tq58_untitled", "velmora_kestrel"}
        << QByteArrayList{"[fltsim.0]\r\ntitle=Wheels, red\r\n", "title =Not a title\r\ntitle=Float\r\n",
                          "[fltsim.0]\r\ntitle = Blank before the sign\r\n", "title=Kestrel\r\n"}
        << QStringList{"Wheels", "Float", "nerova_tq58_untitled"} << 2;
    // The titles differ only after a comma, where the title field ends: the folder names tell them
    // apart, and each line exports its own copy.
    QTest::newRow("titles alike: told apart by their folders")
        << QStringList{"nerova_tq58_a", "nerova_tq58_b"}
        << QByteArrayList{"title=Nerova TQ 58, D-EABC\r\n", "title=Nerova TQ 58, D-EXYZ\r\n"}
        << QStringList{"Nerova TQ 58 (nerova_tq58_a)", "Nerova TQ 58 (nerova_tq58_b)"} << 1;
}

void TestExportWindow::listsTheCopiesNothingPreselected() {
    QFETCH(QStringList, folders);
    QFETCH(QByteArrayList, cfgs);
    QFETCH(QStringList, titles);
    QFETCH(int, chosen);
    Program p;
    QStringList listed;
    for (qsizetype i = 0; i < folders.size(); ++i) {
        p.fs.addCopy(folders[i], cfgs[i]);
        if (i < titles.size())
            listed << p.fs.cfg(folders[i]);
    }
    p.start();
    p.openExport();
    QComboBox* list = p.list();
    QVERIFY(!list->isEditable());
    QStringList shown;
    for (int i = 0; i < list->count(); ++i)
        shown << list->itemText(i);
    QCOMPARE(shown, titles);
    QCOMPARE(p.exportWindow()->lstData(), listed);
    QCOMPARE(list->currentIndex(), -1);
    QCOMPARE(list->currentText(), QString());
    QCOMPARE(p.exportWindow()->focusWidget(), list);
    QVERIFY(p.control<QPushButton>("cmdOK")->isDefault());
    QVERIFY(p.pf.dialogs().calls().isEmpty());
    // O.K. exports into the copy chosen, and into no other.
    p.choose(chosen);
    p.pressOK();
    for (qsizetype i = 0; i < folders.size(); ++i) {
        QCOMPARE(readFile(p.fs.cfg(folders[i])),
                 cfgs[i] + (i == chosen ? wab::section({176, std::nullopt, std::nullopt, std::nullopt, 0}) : ""));
        QCOMPARE(readFile(p.fs.model(folders[i])), i == chosen ? variantContent(1) : kInstalledModel);
    }
}

void TestExportWindow::exportsTheLoadingShown_data() {
    QTest::addColumn<QString>("chosen");  // the copy exported into
    QTest::addColumn<bool>("pilotAlone"); // else three persons and baggage
    QTest::addColumn<Drive>("route");     // from the started program to the copy's O.K.
    const auto row = [](const char* name, const char* chosen, bool pilotAlone, Drive route) {
        QTest::newRow(name) << QString::fromLatin1(chosen) << pilotAlone << route;
    };
    row("Speichern, Yes to the fuel question, O.K. on the second copy", "nerova_tq58_float", false, [](Program& p) {
        p.seatThreePersonsAndBaggage();
        p.pf.dialogs().clear();
        p.pf.dialogs().answerQuestion(true);
        controls::child<QPushButton>(p.main(), "cmdSpeichern")->click();
        QCOMPARE(p.pf.dialogs().textsOf(Kind::Question),
                 QStringList{p.text("strOnlyFuel_1") + "128 kg (= 282 lbs) " + p.text("strOnlyFuel_2")});
        QVERIFY(p.exportWindow());
        p.choose(1);
        p.pressOK();
    });
    row("the main window stays usable: the loading is read when O.K. is pressed", "nerova_tq58", false, [](Program& p) {
        p.openExport();
        p.choose(0);
        p.seatThreePersonsAndBaggage();
        p.pressOK();
    });
    row("Down and Return in the list, the pilot alone", "nerova_tq58", true, [](Program& p) {
        p.openExport();
        QTest::keyClick(p.list(), Qt::Key_Down);
        QCOMPARE(p.list()->currentIndex(), 0);
        QTest::keyClick(p.list(), Qt::Key_Return);
    });
}

void TestExportWindow::exportsTheLoadingShown() {
    QFETCH(QString, chosen);
    QFETCH(bool, pilotAlone);
    QFETCH(Drive, route);
    Program p;
    const QString first = p.fs.addCopy(QStringLiteral("nerova_tq58"));
    const QString second = p.fs.addCopy(QStringLiteral("nerova_tq58_float"));
    p.start();
    route(p);
    QCOMPARE(readFile(p.fs.cfg(chosen)),
             exportedCfg(pilotAlone ? wab::section({176, std::nullopt, std::nullopt, std::nullopt, 0})
                                    : threePersonsSection()));
    QCOMPARE(readFile(p.fs.model(chosen)), variantContent(pilotAlone ? 1 : 4));
    QCOMPARE(readFile(p.fs.cfg(chosen) == first ? second : first), kCfg);
    const auto info = p.pf.dialogs().callsOf(Kind::Information);
    QCOMPARE(info.size(), 1);
    QCOMPARE(info[0].text, p.text("strWritten"));
    QCOMPARE(info[0].title, p.text("strFinished"));
    QVERIFY(p.pf.dialogs().callsOf(Kind::Exclamation).isEmpty());
    controls::settle();
    QVERIFY(!p.exportWindow());
}

void TestExportWindow::cancelOrNoChoiceWritesNothing_data() {
    QTest::addColumn<QString>("on");  // the control the key goes to
    QTest::addColumn<int>("key");     // 0: a click
    QTest::addColumn<bool>("chosen"); // a copy is chosen first
    QTest::newRow("Cancel button") << "cmdAbbrechen" << 0 << true;
    QTest::newRow("Escape key") << "cmbPA" << int(Qt::Key_Escape) << true;
    QTest::newRow("Return on a focused Abbrechen cancels, never exports")
        << "cmdAbbrechen" << int(Qt::Key_Return) << true;
    QTest::newRow("O.K. with no copy chosen: the window stays") << "cmdOK" << 0 << false;
}

void TestExportWindow::cancelOrNoChoiceWritesNothing() {
    QFETCH(QString, on);
    QFETCH(int, key);
    QFETCH(bool, chosen);
    Program p;
    p.fs.addCopy(QStringLiteral("nerova_tq58"));
    p.start();
    p.openExport();
    if (chosen)
        p.choose(0);
    const auto before = snapshot(p.pf.path());
    auto* target = p.control<QWidget>(qPrintable(on));
    if (key)
        QTest::keyClick(target, Qt::Key(key));
    else
        QTest::mouseClick(target, Qt::LeftButton);
    controls::settle();
    QCOMPARE(p.exportWindow() && p.exportWindow()->isVisible(), !chosen);
    QCOMPARE(snapshot(p.pf.path()), before);
    QVERIFY(p.pf.dialogs().calls().isEmpty());
}

void TestExportWindow::listingProblemsAreSaid_data() {
    QTest::addColumn<int>("listed");
    QTest::addColumn<Setup>("problem"); // made in the program folder, with what is said about it
    const auto row = [](const char* name, int listed, Setup problem) { QTest::newRow(name) << listed << problem; };
    row("options.cfg missing: said, and no window", 0, [](Program& p, QString& said) {
        p.pf.remove(QStringLiteral("options.cfg"));
        said = p.text("strExportNoOptions").arg(native(p.pf.file(QStringLiteral("options.cfg"))));
    });
    row("options.cfg unreadable: said, and no window", 0, [](Program& p, QString& said) {
        p.pf.remove(QStringLiteral("options.cfg"));
        QVERIFY(QDir().mkpath(p.pf.file(QStringLiteral("options.cfg"))));
        QString reason;
        QVERIFY(!settings::readFs2000Folder(p.pf.path(), &reason));
        // The system's reason, told in the program's language.
        QCOMPARE(systemreasons::keyOf(reason), std::optional<QString>(QStringLiteral("strReasonIsFolder")));
        said = p.text("strExportOptionsUnreadable")
                   .arg(native(p.pf.file(QStringLiteral("options.cfg"))), p.text("strReasonIsFolder"));
    });
    row("no FS2000 folder chosen yet: said, and no window", 0, [](Program& p, QString& said) {
        p.pf.write(QStringLiteral("options.cfg"), "\r\n");
        said = p.text("strExportNoFs2000Folder");
    });
    row("Aircraft folder missing: said, and no window with an empty list", 0, [](Program& p, QString& said) {
        QVERIFY(QDir(p.fs.aircraft()).removeRecursively());
        said = p.text("strExportNoAircraftFolder").arg(native(p.fs.root() + QStringLiteral("Aircraft")));
    });
    row("a copy without aircraft.cfg is skipped", 1, [](Program& p, QString& said) {
        QVERIFY(QDir().mkpath(p.fs.aircraft() + QStringLiteral("nerova_tq58_empty/Model")));
        said = p.text("strExportNoAircraftCfg").arg(native(p.fs.aircraft() + QStringLiteral("nerova_tq58_empty")));
    });
    row("forty leftover folders: ten are named, then how many more", 1, [](Program& p, QString& said) {
        QStringList told;
        for (int n = 0; n < 40; ++n) {
            const QString folder =
                p.fs.aircraft() + QStringLiteral("nerova_tq58_left%1").arg(n, 2, 10, QLatin1Char('0'));
            QVERIFY(QDir().mkpath(folder));
            if (n < 10)
                told.append(p.text("strExportNoAircraftCfg").arg(native(folder)));
        }
        said = (told << p.text("strListMore").arg(30)).join(QStringLiteral("\n\n"));
    });
#ifdef Q_OS_UNIX // pipes
    row("aircraft.cfg is a named pipe: named as not a file, the list opens", 1, [](Program& p, QString& said) {
        const QString cfg = p.fs.aircraft() + QStringLiteral("nerova_tq58_pipe/aircraft.cfg");
        QVERIFY(QDir().mkpath(QFileInfo(cfg).path()));
        QVERIFY(::mkfifo(QFile::encodeName(cfg).constData(), 0644) == 0);
        said = p.text("strExportListedNotAFile").arg(native(cfg));
    });
#endif
}

void TestExportWindow::listingProblemsAreSaid() {
    QFETCH(int, listed);
    QFETCH(Setup, problem);
    Program p;
    p.fs.addCopy(QStringLiteral("nerova_tq58"));
    QString expected;
    problem(p, expected);
    QVERIFY(!expected.isEmpty());
    p.start();
    p.app.showExport();
    const auto warnings = p.pf.dialogs().callsOf(Kind::Exclamation);
    QCOMPARE(warnings.size(), 1);
    QCOMPARE(warnings[0].text, expected);
    QCOMPARE(warnings[0].title, QStringLiteral("Error!"));
    if (listed == 0) {
        controls::settle();
        QVERIFY(!p.exportWindow() || !p.exportWindow()->isVisible());
        return;
    }
    QCOMPARE(p.list()->count(), listed);
    QCOMPARE(p.list()->currentIndex(), -1);
    QVERIFY(p.exportWindow()->isVisible());
}

void TestExportWindow::failureIsSaidAndWindowStays_data() {
    QTest::addColumn<Setup>("fault"); // made in the program folder, with what is said about it
    QTest::newRow("a missing variant says what the program folder needs") << Setup([](Program& p, QString& said) {
        p.pf.remove(QStringLiteral("Models/4.mdl"));
        said = p.text("strExportVariantMissing4").arg(p.variant());
        p.startWithALoading(said);
    });
    QTest::newRow("a demo stand-in never replaces the aircraft's model") << Setup([](Program& p, QString& said) {
        p.pf.write(QStringLiteral("Models/4.mdl"), kStandIn);
        said = p.text("strExportStandIn")
                   .arg(p.variant(), native(p.fs.model(QStringLiteral("nerova_tq58"))),
                        native(p.pf.file(QStringLiteral("Models"))));
        p.startWithALoading(said);
    });
    QTest::newRow("without a main window there is no loading to write")
        << Setup([](Program& p, QString& said) { said = p.text("strExportNoLoading"); });
}

void TestExportWindow::failureIsSaidAndWindowStays() {
    QFETCH(Setup, fault);
    Program p;
    const QString cfg = p.fs.addCopy(QStringLiteral("nerova_tq58"));
    QString said;
    fault(p, said);
    p.openExport();
    p.choose(0);
    p.pf.dialogs().clear();
    const auto before = snapshot(p.pf.path());
    p.pressOK();
    QVERIFY(!said.isEmpty());
    QCOMPARE(p.pf.dialogs().textsOf(Kind::Exclamation), QStringList{said});
    QVERIFY(p.pf.dialogs().callsOf(Kind::Information).isEmpty());
    QCOMPARE(snapshot(p.pf.path()), before);
    controls::settle();
    QVERIFY(p.exportWindow());
    QCOMPARE(readFile(cfg), kCfg);
}

void TestExportWindow::exportWindowGoesWithItsLoading_data() {
    QTest::addColumn<bool>("reload");
    QTest::newRow("options O.K. reloads the main window") << true;
    QTest::newRow("main window closed") << false;
}

void TestExportWindow::exportWindowGoesWithItsLoading() {
    // The export must never write a loading the user no longer sees (the start state after a
    // reload), so the export window closes with the main window's loading.
    QFETCH(bool, reload);
    Program p;
    p.fs.addCopy(QStringLiteral("nerova_tq58"));
    p.start();
    p.seatThreePersonsAndBaggage();
    p.openExport();
    p.choose(0);
    const QPointer<ExportWindow> window = p.exportWindow();
    if (reload)
        p.app.reloadMainWindow();
    else
        p.main()->close();
    controls::settle();
    controls::settle();
    QVERIFY(!window || !window->isVisible());
    QVERIFY(!p.exportWindow() || !p.exportWindow()->isVisible());
}

void TestExportWindow::completionMessage_data() {
    QTest::addColumn<bool>("damaged");   // Data/language.crf is a text file when OK is pressed
    QTest::addColumn<bool>("passenger"); // a passenger without a co-pilot: no model variant shows that
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("model"); // Model/TQ58-161.mdl afterwards; null: none
    QTest::addColumn<Setup>("copy");       // makes the copy, and puts its folder for <folder>
    const QString written = QStringLiteral("Die Beladung wurde in das Flugzeug geschrieben.");
    const QString modelKept =
        QStringLiteral("Das Modell wurde nicht ersetzt, denn keine Modellvariante zeigt Passagiere ohne Co-Piloten. "
                       "Es zeigt daher weiterhin die Sitze wie zuvor: die des vorigen Exports oder wie ausgeliefert.");
    const QString otherModel = QStringLiteral(
        " Das Modell wurde nicht ersetzt, denn diese Kopie zeigt ihr Modell aus dem Ordner <folder>, und dafür gibt "
        "es keine Modellvarianten. Die besetzten Sitze sind im Flugsimulator daher nicht zu sehen.");
    const Setup plain = [](Program& p, QString&) { p.fs.addCopy(QStringLiteral("nerova_tq58")); };
    // The entry names its model folder after "Model." in another letter case than on disk.
    const auto floats = [](const QByteArray& staleModel) -> Setup {
        return [=](Program& p, QString& text) {
            QByteArray head = kHead;
            head.replace("sim=TQ58-161\r\n", "sim=TQ58-161\r\nmodel= FLOAT // on floats\r\n");
            const QString folder = p.fs.aircraft() + QStringLiteral("nerova_tq58/Model.float");
            p.fs.addCopy(QStringLiteral("nerova_tq58"), head + kOldSection + kTail, staleModel);
            QVERIFY(writeFile(folder + QStringLiteral("/TQ58-161.mdl"), "the float model"));
            text.replace(QStringLiteral("<folder>"), native(folder));
        };
    };
    QTest::newRow("pilot alone") << false << false << written << variantContent(1) << plain;
    QTest::newRow("passenger without co-pilot: the model stays, and the message says so")
        << false << true << written + QLatin1Char(' ') + modelKept << kInstalledModel << plain;
    QTest::newRow("damaged database: the program's own texts, never an empty box")
        << true << false << written << variantContent(1) << plain;
    QTest::newRow("damaged database, passenger without co-pilot")
        << true << true << written + QLatin1Char(' ') + modelKept << kInstalledModel << plain;
    QTest::newRow("a copy that shows Model.float: aircraft.cfg only, no model touched, and the message says so")
        << false << false << written + otherModel << QByteArray() << floats(QByteArray());
    QTest::newRow("a copy that shows Model.float beside a stale Model: neither model is touched")
        << false << false << written + otherModel << kInstalledModel << floats(kInstalledModel);
}

void TestExportWindow::completionMessage() {
    QFETCH(bool, damaged);
    QFETCH(bool, passenger);
    QFETCH(QString, text);
    QFETCH(QByteArray, model);
    QFETCH(Setup, copy);
    Program p;
    copy(p, text);
    const QString cfg = p.fs.cfg(QStringLiteral("nerova_tq58"));
    const QByteArray cfgBefore = readFile(cfg);
    const auto floatModels = snapshot(p.fs.aircraft() + QStringLiteral("nerova_tq58/Model.float"));
    p.start();
    if (passenger) {
        p.pf.dialogs().answerInput(QStringLiteral("60"));
        p.main()->seatClicked(Seat::PaxLeft);
    }
    p.openExport();
    p.choose(0);
    if (damaged)
        p.pf.write(QStringLiteral("Data/language.crf"), "not a database\r\n");
    p.pressOK();
    const auto info = p.pf.dialogs().callsOf(Kind::Information);
    QCOMPARE(info.size(), 1);
    QCOMPARE(info[0].text, text);
    QCOMPARE(info[0].title, QStringLiteral("Fertig"));
    const wab::StationLoads loads{176, std::nullopt, passenger ? std::optional<std::int64_t>(132) : std::nullopt,
                                  std::nullopt, 0};
    QCOMPARE(readFile(cfg), QByteArray(cfgBefore).replace(kOldSection, wab::section(loads) + kOldSectionKept));
    QCOMPARE(readFile(p.fs.model(QStringLiteral("nerova_tq58"))), model);
    QCOMPARE(snapshot(p.fs.aircraft() + QStringLiteral("nerova_tq58/Model.float")), floatModels);
}

void TestExportWindow::demoFolderCanBeExportedTo_data() {
    QTest::addColumn<QString>("copy"); // in the demo FS2000 folder
    QTest::addColumn<int>("index");    // in the list
    QTest::newRow("Nerova TQ 58 (demo), comments in code page 1252") << "nerova_tq58" << 0;
    QTest::newRow("Nerova TQ 58 Float (demo)") << "NEROVA_TQ58_float" << 1;
}

// The demo as the program folder brings it: its stand-in variants over its stand-in models.
void TestExportWindow::demoFolderCanBeExportedTo() {
    QFETCH(QString, copy);
    QFETCH(int, index);
    Program p;
    QVERIFY(QDir(p.pf.file(QStringLiteral("Models"))).removeRecursively());
    QVERIFY(testfiles::copyTree(QStringLiteral(MEROVAN_STAGED_FOLDER "/Models"), p.pf.file(QStringLiteral("Models"))));
    const QString demo = p.pf.path() + QStringLiteral("DemoFS2000/");
    p.pf.write(QStringLiteral("options.cfg"), demo.toLocal8Bit() + "\r\n");
    const QString folder = demo + QStringLiteral("Aircraft/") + copy + QLatin1Char('/');
    const QByteArray cfgBefore = readFile(folder + QStringLiteral("aircraft.cfg"));
    const QByteArray modelBefore = readFile(folder + QStringLiteral("Model/TQ58-161.mdl"));
    const QByteArray variant = p.pf.read(QStringLiteral("Models/1.mdl"));
    QVERIFY(exportwriter::isStandIn(variant) && exportwriter::isStandIn(modelBefore) && variant != modelBefore);
    p.start();
    p.openExport();
    QCOMPARE(p.list()->count(), 2);
    p.choose(index);
    p.pressOK();
    QVERIFY(p.pf.dialogs().callsOf(Kind::Exclamation).isEmpty());
    QCOMPARE(p.pf.dialogs().callsOf(Kind::Information).size(), 1);
    QCOMPARE(readFile(folder + QStringLiteral("Model/TQ58-161.mdl")), variant);
    const QByteArray cfg = readFile(folder + QStringLiteral("aircraft.cfg"));
    QCOMPARE(cfg, wab::rewriteWeightAndBalance(cfgBefore, {176, std::nullopt, std::nullopt, std::nullopt, 0}));
    QCOMPARE(readFile(folder + QStringLiteral("merovan-installed/aircraft.cfg.installed")), cfgBefore);
    QCOMPARE(readFile(folder + QStringLiteral("merovan-installed/TQ58-161.mdl.installed")), modelBefore);
}

namespace {

// Words that show a text is (partly) English, or German.
const QRegularExpression kEnglish(QStringLiteral("\\b(the|is|not|could|which|and|be|to|has|cannot|file|folder|of|"
                                                 "been|no|it|there|permission|read-only|owner)\\b"),
                                  QRegularExpression::CaseInsensitiveOption);
const QRegularExpression kGerman(QStringLiteral("\\b(der|die|das|nicht|und|ist|wurde|Datei|Ordner|eine?)\\b"));

const QString kCfgPath = QStringLiteral("/Spiele/FS2000/Aircraft/nerova_tq58/aircraft.cfg");
const QString kModelPath = QStringLiteral("/Spiele/FS2000/Aircraft/nerova_tq58/Model/m.mdl");

// Every text of a language database, key by key.
QMap<QString, QString> allTexts(const QString& database) {
    QMap<QString, QString> texts;
    sqlite3* db = nullptr;
    sqlite3_stmt* query = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(database).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, "SELECT Variable, Wert FROM Entry", -1, &query, nullptr) == SQLITE_OK) {
        while (sqlite3_step(query) == SQLITE_ROW)
            texts.insert(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(query, 0))),
                         QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(query, 1))));
    }
    sqlite3_finalize(query);
    sqlite3_close(db);
    return texts;
}

} // namespace

void TestExportWindow::everyMessageInTheProgramsLanguage_data() {
    using Kind = fileplan::Failure::Kind;
    QTest::addColumn<QList<MessagePart>>("parts"); // empty: every text of the database on its own
    const auto row = [](const QString& name, const QList<MessagePart>& parts) {
        QTest::newRow(qPrintable(name)) << parts;
    };
    // Paths and the system's reasons are what a user's system gives; the program's own reasons
    // hold the system's in turn.
    const QString cfg = QDir::toNativeSeparators(kCfgPath);
    const QString model = QDir::toNativeSeparators(kModelPath);
    const QString denied = QString::fromLocal8Bit(std::strerror(EACCES));
    row(QStringLiteral("every text of the database"), {});
    for (int kind = 0; kind <= int(Kind::StandInVariant); ++kind) {
        fileplan::Failure failure =
            fileplan::failure(Kind(kind), cfg, systemreasons::ownReason(systemreasons::own::kOwnerNotKept, denied));
        if (failure.kind == Kind::StandInVariant)
            failure.reason = model;
        row(QStringLiteral("export refused: ") + fileplan::messageKey(failure.kind), fileplan::describe(failure));
    }
    for (const systemreasons::OwnReason& reason : systemreasons::ownReasons())
        row(QStringLiteral("the program's own reason: ") + QLatin1String(reason.pattern),
            {{QStringLiteral("strExportWriteFailed"), {cfg, systemreasons::ownReason(reason.pattern, denied, model)}},
             {QStringLiteral("strExportNothingChanged"), {}}});
}

void TestExportWindow::everyMessageInTheProgramsLanguage() {
    QFETCH(QList<MessagePart>, parts);
    for (const char* language : {"german", "english"}) {
        const QString database = QStringLiteral(MEROVAN_STAGED_FOLDER "/Data/languages/%1.crf").arg(language);
        const Texts texts(database);
        const QStringList shown = parts.isEmpty() ? allTexts(database).values() : QStringList{texts.compose(parts)};
        QVERIFY(shown.size() > (parts.isEmpty() ? 100 : 0));
        for (QString text : shown) {
            // What the user's system gave (paths, its reasons in its own language) is no fault.
            for (const QString& given : {kCfgPath, kModelPath, QString::fromLocal8Bit(std::strerror(EACCES))})
                text.remove(QDir::toNativeSeparators(given));
            QVERIFY2(parts.isEmpty() || !text.contains(QRegularExpression(QStringLiteral("%\\d|\\bstr[A-Z]"))),
                     qPrintable(language + QStringLiteral(": a placeholder or key is left: ") + text));
            const QRegularExpressionMatch wrong =
                (language == QByteArrayView("german") ? kEnglish : kGerman).match(text);
            QVERIFY2(
                !wrong.hasMatch(),
                qPrintable(QStringLiteral("%1: \"%2\" in: %3").arg(QLatin1String(language), wrong.captured(), text)));
        }
    }
}

void TestExportWindow::messagesFitTheScreen_data() {
    // Run as well on a 1024 x 768 screen at 100 % and at 150 % (see CMakeLists.txt).
    QTest::addColumn<Worded>("worded");
    const QString unc = QStringLiteral("\\\\fileserver\\Spiele\\Microsoft Games\\Flight Simulator 2000\\Aircraft\\"
                                       "nerova_tq58_float_mit_einem_sehr_langen_Ordnernamen_vom_Haendler_%1");
    const auto composed = [](const QList<MessagePart>& parts) {
        return Worded([parts](const Texts& texts, QString& text) { text = texts.compose(parts); });
    };
    QList<MessagePart> leftovers;
    for (int n = 0; n < 40; ++n)
        leftovers.append({QStringLiteral("strExportNoAircraftCfg"), {unc.arg(n)}});
    QTest::newRow("forty leftover folders with long paths: as many as fit, at most ten, and how many more")
        << Worded([leftovers](const Texts& texts, QString& text) {
               text = messagefit::listed(texts, leftovers);
               const qsizetype named = text.count(QStringLiteral("\n\n"));
               QVERIFY2(named >= 1 && named <= Texts::kListedAtMost, qPrintable(text));
               QVERIFY2(text.endsWith(
                            texts.message(QStringLiteral("strListMore"), {QString::number(leftovers.size() - named)})),
                        qPrintable(text));
           });
    const QString installed = unc.arg(7) + QStringLiteral("\\merovan-installed\\aircraft.cfg.before-restore");
    QTest::newRow("the restore question with long UNC paths: shortened in the middle") << composed(
        {{QStringLiteral("strRestoreQuestion"), {QStringLiteral("Nerova TQ 58 Float"), unc.arg(7)}},
         {QStringLiteral("strRestoreCfgBack"), {unc.arg(7) + QStringLiteral("\\aircraft.cfg")}},
         {QStringLiteral("strRestoreCfgEdited"), {unc.arg(7) + QStringLiteral("\\aircraft.cfg"), installed}},
         {QStringLiteral("strRestoreModelBack"), {unc.arg(7) + QStringLiteral("\\Model\\TQ58-161.mdl")}}});
    QTest::newRow("a demo stand-in with three long paths")
        << composed({{QStringLiteral("strExportStandIn"),
                      {unc.arg(1) + QStringLiteral("\\Models\\4.mdl"),
                       unc.arg(2) + QStringLiteral("\\Model\\TQ58-161.mdl"), unc.arg(3)}},
                     {QStringLiteral("strExportNothingChanged"), {}}});
    QTest::newRow("a file the options cannot read: its path alone on its line, on one line")
        << Worded([unc](const Texts& texts, QString& text) {
               text = texts.fileProblem(
                   {QStringLiteral("strFolderNotRead"),
                    {QString(unc).replace(u' ', u'_').arg(5) + QStringLiteral("\\options.cfg"), QString()}});
           });
}

void TestExportWindow::messagesFitTheScreen() {
    QFETCH(Worded, worded);
    const QScreen* screen = QGuiApplication::primaryScreen();
    QVERIFY(screen);
    // A title bar, and a task bar where the available area has none.
    const QRect area = screen->availableGeometry().adjusted(
        0, 0, 0, -32 - (screen->availableGeometry() == screen->geometry() ? 40 : 0));
    for (const char* language : {"german", "english"}) {
        const Texts texts(QStringLiteral(MEROVAN_STAGED_FOLDER "/Data/languages/%1.crf").arg(language));
        QString text;
        worded(texts, text);
        const auto box =
            QtDialogs::messageBox(QMessageBox::Warning, nullptr, text, QStringLiteral("Error!"), QMessageBox::Ok);
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        QCoreApplication::processEvents();
        const QRect shown = box->frameGeometry();
        const QString where =
            QStringLiteral("%1: %2 on a screen of %3 (scale %4)")
                .arg(QLatin1String(language), QDebug::toString(shown.size()),
                     QDebug::toString(screen->geometry().size()), QString::number(screen->devicePixelRatio()));
        QVERIFY2(shown.width() <= area.width() && shown.height() <= area.height(), qPrintable(where));
        // Every path is shortened in its middle, none cut off at the box's edge, and each one
        // shortened stays on one line of the label as it lays out its text.
        const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        QVERIFY(label);
        QVERIFY2(label->text().contains(QChar(0x2026)), qPrintable(label->text()));
        const int width = label->contentsRect().width() - 2 * label->margin() - std::max(label->indent(), 0);
        QTextLayout layout(label->text(), label->font());
        QTextOption wrapped;
        wrapped.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(wrapped);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
            line.setLineWidth(width);
        layout.endLayout();
        static const QRegularExpression run(QStringLiteral("\\S+"));
        for (auto it = run.globalMatch(label->text()); it.hasNext();) {
            const QRegularExpressionMatch found = it.next();
            const QString said = where + QStringLiteral(": ") + found.captured();
            QVERIFY2(QFontMetrics(label->font()).horizontalAdvance(found.captured()) <= width, qPrintable(said));
            if (!found.captured().contains(QChar(0x2026)))
                continue;
            QVERIFY2(layout.lineForTextPosition(int(found.capturedStart())).lineNumber() ==
                         layout.lineForTextPosition(int(found.capturedEnd()) - 1).lineNumber(),
                     qPrintable(QStringLiteral("broken: ") + said));
        }
    }
}

QTEST_MAIN(TestExportWindow)
#include "tst_exportwindow.moc"
