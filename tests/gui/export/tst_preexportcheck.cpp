#include "support/Controls.h"
#include "support/ExportFixture.h"
#include "support/TestProgramFolder.h"

#include "core/export/PreExportCheck.h"
#include "core/settings/LanguageStore.h"
#include "gui/app/Application.h"
#include "gui/app/MainWindow.h"
#include "gui/export/ExportWindow.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>

using Kind = ScriptedDialogs::Kind;

namespace {

// Each key's text shows where it went.
QString marker(const QString& key) {
    return QLatin1Char('<') + key + QLatin1Char('>');
}

QStringList questionTexts(const ScriptedDialogs& dialogs) {
    QStringList texts;
    for (const auto& call : dialogs.callsOf(Kind::Question)) {
        texts << call.text;
        if (call.title != QLatin1String("?"))
            texts << QStringLiteral("(title %1)").arg(call.title);
    }
    return texts;
}

QString fuelQuestion(const QString& kg, const QString& lbs, const std::function<QString(const QString&)>& text) {
    return text(QStringLiteral("strOnlyFuel_1")) + kg + QStringLiteral(" kg (= ") + lbs + QStringLiteral(" lbs) ") +
           text(QStringLiteral("strOnlyFuel_2"));
}

QString mtowQuestion(const std::function<QString(const QString&)>& text) {
    return text(QStringLiteral("strOverMTOW")) + QStringLiteral("! ") + text(QStringLiteral("strNoFuel")) +
           QLatin1Char('?');
}

} // namespace

class TestPreExportCheck : public QObject {
    Q_OBJECT
private slots:
    void margins_data();
    void margins();
    void throughTheMainWindow_data();
    void throughTheMainWindow();
    void secondPressBringsTheSameWindowForward();
};

void TestPreExportCheck::margins_data() {
    QTest::addColumn<int>("total");
    QTest::addColumn<QStringList>("questions");
    const QString mtow = mtowQuestion(marker);
    auto fuel = [](const char* kg, const char* lbs) {
        return fuelQuestion(QString::fromLatin1(kg), QString::fromLatin1(lbs), marker);
    };
    QTest::newRow("917 kg: margin 141, no question") << 917 << QStringList{};
    QTest::newRow("918 kg: margin 140, fuel question") << 918 << QStringList{fuel("140", "308")};
    QTest::newRow("1000 kg: margin 58") << 1000 << QStringList{fuel("58", "127")};
    QTest::newRow("1058 kg: margin 0, both questions") << 1058 << QStringList{mtow, fuel("0", "0")};
    QTest::newRow("1100 kg: margin -42, pounds rounded down to -93") << 1100 << QStringList{mtow, fuel("-42", "-93")};
}

void TestPreExportCheck::margins() {
    QFETCH(int, total);
    QFETCH(QStringList, questions);
    QCOMPARE(preexport::questions(total, marker), questions);
}

void TestPreExportCheck::throughTheMainWindow_data() {
    QTest::addColumn<bool>("viaMenu");
    QTest::addColumn<QList<int>>("weights"); // co-pilot, left, right (0: free), baggage
    QTest::addColumn<QString>("total");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<QString>("kg");
    QTest::addColumn<QString>("lbs");
    QTest::addColumn<bool>("overMtow");
    QTest::addColumn<int>("questionCount");
    QTest::addColumn<bool>("opens");
    for (bool menu : {false, true}) {
        const QByteArray via = menu ? " (menu)" : " (button)";
        auto row = [&](const char* name, QList<int> weights, const char* total, QList<bool> answers, const char* kg,
                       const char* lbs, int questions, bool opens) {
            QTest::newRow(name + via) << menu << weights << QString::fromLatin1(total) << answers
                                      << QString::fromLatin1(kg) << QString::fromLatin1(lbs)
                                      << (QByteArray(kg).toInt() <= 0) << questions << opens;
        };
        row("margin 141", {75, 47, 0, 20}, " 917 kg", {}, "141", "", 0, true);
        row("margin 140", {75, 48, 0, 20}, " 918 kg", {true}, "140", "308", 1, true);
        row("margin 58", {100, 102, 0, 23}, " 1000 kg", {true}, "58", "127", 1, true);
        row("margin 58, No", {100, 102, 0, 23}, " 1000 kg", {false}, "58", "127", 1, false);
        row("margin 0", {100, 100, 60, 23}, " 1058 kg", {true, true}, "0", "0", 2, true);
        row("margin 0, No", {100, 100, 60, 23}, " 1058 kg", {false}, "0", "0", 1, false);
        row("margin -42", {100, 100, 102, 23}, " 1100 kg", {true, true}, "-42", "-93", 2, true);
        row("margin -42, Yes then No", {100, 100, 102, 23}, " 1100 kg", {true, false}, "-42", "-93", 2, false);
    }
}

void TestPreExportCheck::throughTheMainWindow() {
    QFETCH(bool, viaMenu);
    QFETCH(QList<int>, weights);
    QFETCH(QString, total);
    QFETCH(QList<bool>, answers);
    QFETCH(QString, kg);
    QFETCH(QString, lbs);
    QFETCH(bool, overMtow);
    QFETCH(int, questionCount);
    QFETCH(bool, opens);
    TestProgramFolder pf;
    QVERIFY(pf.isValid());
    exporttest::Fs2000 fs(pf);
    fs.addCopy(QStringLiteral("nerova_tq58"));
    Application app(pf.context());
    app.showMainWindow();
    MainWindow* w = app.mainWindow();
    QVERIFY(w);
    const Seat seats[] = {Seat::Co, Seat::PaxLeft, Seat::PaxRight};
    for (int i = 0; i < 3; ++i) {
        if (weights[i] == 0)
            continue;
        pf.dialogs().answerInput(QString::number(weights[i]));
        w->seatClicked(seats[i]);
    }
    testkit::child<QSlider>(w, "Slider1")->setValue(weights[3]);
    QCOMPARE(testkit::child<QLabel>(w, "lblGesamt")->text(), total);

    pf.dialogs().clear();
    for (bool yes : answers)
        pf.dialogs().answerQuestion(yes);
    if (viaMenu)
        testkit::triggerAction(w, "mnuExportBeladung");
    else
        testkit::child<QPushButton>(w, "cmdSpeichern")->click();

    const QString db = pf.context().languageDatabase();
    auto text = [&](const QString& key) { return tryLanguageText(db, key).value_or(QString()); };
    QStringList expected{fuelQuestion(kg, lbs, text)};
    if (overMtow)
        expected.prepend(mtowQuestion(text));
    QCOMPARE(questionTexts(pf.dialogs()), expected.mid(0, questionCount));
    QVERIFY(pf.dialogs().allAnswered());
    QCOMPARE(app.exportWindow() != nullptr, opens);
    if (opens)
        QVERIFY(app.exportWindow()->isVisible());
    // The check changes nothing in the loading.
    QCOMPARE(testkit::child<QLabel>(w, "lblGesamt")->text(), total);
}

void TestPreExportCheck::secondPressBringsTheSameWindowForward() {
    TestProgramFolder pf;
    exporttest::Fs2000 fs(pf);
    fs.addCopy(QStringLiteral("nerova_tq58"));
    Application app(pf.context());
    app.showMainWindow();
    MainWindow* w = app.mainWindow();
    QVERIFY(w);
    testkit::child<QPushButton>(w, "cmdSpeichern")->click();
    QPointer<ExportWindow> first = app.exportWindow();
    QVERIFY(first);
    auto* list = testkit::child<QComboBox>(first, "cmbPA");
    list->setCurrentIndex(0);
    // A copy installed meanwhile shows on the second press, in the same window; the choice stays.
    fs.addCopy(QStringLiteral("nerova_tq58_float"));
    testkit::triggerAction(w, "mnuExportBeladung");
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
        testkit::child<QPushButton>(w, "cmdSpeichern")->click();
        testkit::settle();
        const auto said = pf.dialogs().callsOf(Kind::Exclamation);
        QCOMPARE(said.size(), 1);
        QVERIFY2(said[0].text.contains(QDir::toNativeSeparators(fs.root() + QStringLiteral("Aircraft"))),
                 qPrintable(said[0].text));
        QVERIFY(!app.exportWindow() || !app.exportWindow()->isVisible());
    }
    // Once the folder is back, the next press lists its copies again.
    QVERIFY(QDir().rename(fs.root() + QStringLiteral("Aircraft.away"), aircraft));
    pf.dialogs().clear();
    testkit::child<QPushButton>(w, "cmdSpeichern")->click();
    QVERIFY(app.exportWindow() && app.exportWindow()->isVisible());
    QCOMPARE(testkit::child<QComboBox>(app.exportWindow(), "cmbPA")->count(), 2);
    QVERIFY(pf.dialogs().calls().isEmpty());
}

QTEST_MAIN(TestPreExportCheck)
#include "tst_preexportcheck.moc"
