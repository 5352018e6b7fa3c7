// The export command of the main window, by its button and its menu entry: the check's questions
// answered by script, then the export window, opened or brought forward.

#include "support/ExportFixture.h"
#include "support/MainWindowFixture.h"

#include "core/export/PreExportCheck.h"
#include "core/settings/LanguageStore.h"
#include "gui/export/ExportWindow.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>

using Kind = ScriptedDialogs::Kind;

namespace {

QStringList questionTexts(const ScriptedDialogs& dialogs) {
    QStringList texts;
    for (const auto& call : dialogs.callsOf(Kind::Question)) {
        texts << call.text;
        if (call.title != QLatin1String("?"))
            texts << QStringLiteral("(title %1)").arg(call.title);
    }
    return texts;
}

} // namespace

class TestExportCommand : public QObject {
    Q_OBJECT
private slots:
    void throughTheMainWindow_data();
    void throughTheMainWindow();
    void secondPressBringsTheSameWindowForward();
};

void TestExportCommand::throughTheMainWindow_data() {
    QTest::addColumn<bool>("viaMenu");
    QTest::addColumn<QList<int>>("weights"); // co-pilot, left, right (0: free), baggage
    QTest::addColumn<int>("total");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<int>("asked"); // how many of the check's questions are asked
    QTest::addColumn<bool>("opens");
    // What the questions say is tst_preexportcheck's; here, that the window asks them in turn and
    // stops at No, by the button and by the menu entry alike.
    for (const bool menu : {false, true}) {
        const auto row = [&](const char* name, QList<int> weights, int total, QList<bool> answers, int asked,
                             bool opens) {
            QTest::addRow("%s (%s)", name, menu ? "menu" : "button")
                << menu << weights << total << answers << asked << opens;
        };
        row("margin 141: no question", {75, 47, 0, 20}, 917, {}, 0, true);
        row("margin 140: the fuel question", {75, 48, 0, 20}, 918, {true}, 1, true);
        row("margin 58", {100, 102, 0, 23}, 1000, {true}, 1, true);
        row("margin 58, No: no export window", {100, 102, 0, 23}, 1000, {false}, 1, false);
        row("margin 0: both questions", {100, 100, 60, 23}, 1058, {true, true}, 2, true);
        row("margin 0, No to the first: the second never asked", {100, 100, 60, 23}, 1058, {false}, 1, false);
        row("margin -42", {100, 100, 102, 23}, 1100, {true, true}, 2, true);
        row("margin -42, Yes then No", {100, 100, 102, 23}, 1100, {true, false}, 2, false);
    }
}

void TestExportCommand::throughTheMainWindow() {
    QFETCH(bool, viaMenu);
    QFETCH(QList<int>, weights);
    QFETCH(int, total);
    QFETCH(QList<bool>, answers);
    QFETCH(int, asked);
    QFETCH(bool, opens);
    MainWindowFixture f;
    TestProgramFolder& pf = f.folder;
    exporttest::Fs2000(pf).addCopy(QStringLiteral("nerova_tq58"));
    MainWindow* w = f.open();
    QVERIFY(w);
    const char* seats[] = {"imgCo", "imgPaxLeft", "imgPaxRight"};
    for (int i = 0; i < 3; ++i) {
        if (weights[i] != 0)
            f.clickSeat(seats[i], QString::number(weights[i]));
    }
    f.control<QSlider>("Slider1")->setValue(weights[3]);
    const QString shown = QStringLiteral(" %1 kg").arg(total);
    QCOMPARE(f.textOf("lblGesamt"), shown);

    pf.dialogs().clear();
    for (bool yes : answers)
        pf.dialogs().answerQuestion(yes);
    if (viaMenu)
        controls::triggerAction(w, "mnuExportBeladung");
    else
        controls::child<QPushButton>(w, "cmdSpeichern")->click();

    const QString db = pf.context().languageDatabase();
    auto text = [&](const QString& key) { return tryLanguageText(db, key).value_or(QString()); };
    QCOMPARE(questionTexts(pf.dialogs()), preexport::questions(total, text).mid(0, asked));
    QVERIFY(pf.dialogs().allAnswered());
    QCOMPARE(f.app->exportWindow() != nullptr, opens);
    if (opens)
        QVERIFY(f.app->exportWindow()->isVisible());
    // The check changes nothing in the loading.
    QCOMPARE(f.textOf("lblGesamt"), shown);
}

void TestExportCommand::secondPressBringsTheSameWindowForward() {
    MainWindowFixture f;
    TestProgramFolder& pf = f.folder;
    Application& app = *f.app;
    exporttest::Fs2000 fs(pf);
    fs.addCopy(QStringLiteral("nerova_tq58"));
    MainWindow* w = f.open();
    QVERIFY(w);
    controls::child<QPushButton>(w, "cmdSpeichern")->click();
    QPointer<ExportWindow> first = app.exportWindow();
    QVERIFY(first);
    auto* list = controls::child<QComboBox>(first, "cmbPA");
    list->setCurrentIndex(0);
    // A copy installed meanwhile shows on the second press, in the same window; the choice stays.
    fs.addCopy(QStringLiteral("nerova_tq58_float"));
    controls::triggerAction(w, "mnuExportBeladung");
    QCOMPARE(app.exportWindow(), first.data());
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->currentIndex(), 0);
    int exportWindows = 0;
    for (QWidget* top : QApplication::topLevelWidgets())
        exportWindows += top->objectName() == QLatin1String("frmExport");
    QCOMPARE(exportWindows, 1);
    QVERIFY(pf.dialogs().calls().isEmpty());

    // The Aircraft folder gone: said once, and no window with an empty (or an old) list stays.
    const QString aircraft = fs.aircraft();
    QVERIFY(QDir().rename(aircraft, fs.root() + QStringLiteral("Aircraft.away")));
    for (int press = 0; press < 2; ++press) {
        pf.dialogs().clear();
        controls::child<QPushButton>(w, "cmdSpeichern")->click();
        controls::settle();
        const auto said = pf.dialogs().callsOf(Kind::Exclamation);
        QCOMPARE(said.size(), 1);
        QVERIFY2(said[0].text.contains(QDir::toNativeSeparators(fs.root() + QStringLiteral("Aircraft"))),
                 qPrintable(said[0].text));
        QVERIFY(!app.exportWindow() || !app.exportWindow()->isVisible());
    }
    // Once the folder is back, the next press lists its copies again.
    QVERIFY(QDir().rename(fs.root() + QStringLiteral("Aircraft.away"), aircraft));
    pf.dialogs().clear();
    controls::child<QPushButton>(w, "cmdSpeichern")->click();
    QVERIFY(app.exportWindow() && app.exportWindow()->isVisible());
    QCOMPARE(controls::child<QComboBox>(app.exportWindow(), "cmbPA")->count(), 2);
    QVERIFY(pf.dialogs().calls().isEmpty());
}

QTEST_MAIN(TestExportCommand)
#include "tst_exportcommand.moc"
