// The take-over window with scripted dialogs: its list of copies with their loadings, and what
// the main window shows after O.K.

#include "support/ExportFixture.h"

#include "core/export/ExportWriter.h"
#include "core/export/TakeOver.h"
#include "core/export/WeightAndBalance.h"
#include "core/settings/LanguageStore.h"
#include "gui/export/TakeOverWindow.h"
#include "support/MainWindowFixture.h"

#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTest>

using namespace exporttest;
using Dialog = ScriptedDialogs::Kind;

class TestTakeOverWindow : public QObject {
    Q_OBJECT
private slots:
    void window_data();
    void window();
};

void TestTakeOverWindow::window_data() {
    QTest::addColumn<QString>("scenario");
    QTest::newRow("exported loading: the main window shows it as entered") << "exported";
    QTest::newRow("decimal pounds: taken, and the stations the next export writes otherwise are named") << "decimals";
    QTest::newRow("a load the window refuses: said, nothing changes, the window stays") << "refused";
    QTest::newRow("a copy without station loads: said, nothing changes") << "no loading";
    QTest::newRow("no copy at all: a plain message and no window") << "no copy";
}

void TestTakeOverWindow::window() {
    QFETCH(QString, scenario);
    MainWindowFixture f;
    Fs2000 fs(f.folder);
    auto text = [&](const char* key) {
        return tryLanguageText(f.folder.context().languageDatabase(), QString::fromLatin1(key)).value_or(QString());
    };
    QVERIFY(f.open());

    // A loading entered as a user enters it, exported into the first copy.
    f.clickSeat("imgCo", QStringLiteral("75"));
    f.clickSeat("imgPaxRight", QStringLiteral("-20"));
    f.control<QSlider>("Slider1")->setValue(23);
    const LoadingModel exported = f.window()->loading();
    if (scenario != QLatin1String("no copy")) {
        const QString cfg = fs.addCopy(QStringLiteral("nerova_tq58"));
        exportwriter::Job job{cfg, f.folder.path(), wab::stationLoads(exported)};
        QVERIFY(!exportwriter::write(job));
        fs.addCopy(QStringLiteral("nerova_tq58_float"),
                   scenario == QLatin1String("refused")    ? cfgWith({"176", "0", "0", "0", "52"})
                   : scenario == QLatin1String("decimals") ? cfgWith({"176.4", "0", "12.5", "0", "10"})
                                                           : kHead + kTail);
    }
    // A fresh main window: the loading of the start.
    f.app->reloadMainWindow();
    QVERIFY(f.window());
    const LoadingModel start = f.window()->loading();
    QVERIFY(start != exported);
    f.folder.dialogs().clear();

    // The command sits in the Export menu, above the restore.
    const QList<QAction*> actions = controls::child<QMenu>(f.window(), "mnuExport")->actions();
    QVERIFY(actions.indexOf(controls::child<QAction>(f.window(), "mnuExportTakeOver")) ==
            actions.indexOf(controls::child<QAction>(f.window(), "mnuExportRestore")) - 1);
    controls::triggerAction(f.window(), "mnuExportTakeOver");

    if (scenario == QLatin1String("no copy")) {
        QVERIFY(!f.app->takeOverWindow());
        const auto info = f.folder.dialogs().callsOf(Dialog::Information);
        QCOMPARE(info.size(), 1);
        QCOMPARE(info[0].text, text("strTakeOverNoCopy"));
        return;
    }
    TakeOverWindow* window = f.app->takeOverWindow();
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->windowTitle(), text("frmTakeOverCaption"));
    auto* list = controls::child<QComboBox>(window, "cmbTakeOver");
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->itemText(0), QString::fromUtf8("Nerova TQ 58 (nerova_tq58) — 80 / 75 / – / -20 kg, 23 kg"));
    QCOMPARE(list->itemText(1),
             QString::fromUtf8("Nerova TQ 58 (nerova_tq58_float) — ") +
                 (scenario == QLatin1String("decimals") ? QString::fromUtf8("80 / – / 6 / – kg, 5 kg")
                                                        : text("strTakeOverNone")));
    QCOMPARE(list->accessibleName(), text("frmTakeOverLabel"));

    list->setCurrentIndex(scenario == QLatin1String("exported") ? 0 : 1);
    controls::child<QPushButton>(window, "cmdOK")->click();
    controls::settle();
    if (scenario == QLatin1String("exported")) {
        QVERIFY(f.folder.dialogs().calls().isEmpty());
        QVERIFY(!f.app->takeOverWindow());
        QVERIFY(f.window()->loading() == exported);
        checkInvariants(f, QStringLiteral("taken over"));
        QCOMPARE(f.tooltip("imgPaxRight"), QStringLiteral("-20 kg"));
        QCOMPARE(f.tooltip("imgPaxLeft"), text("lblPlatzFrei"));
        QCOMPARE(f.control<QSlider>("Slider1")->value(), 23);
        QCOMPARE(f.textOf("txtBaggage"), QStringLiteral("23"));
        QCOMPARE(f.textOf("lblGesamt"), QStringLiteral(" 853 kg"));
        // Taken over as if entered: a click frees the seat as usual.
        f.clickSeat("imgCo", std::nullopt, false);
        QCOMPARE(f.textOf("txtPersonengewicht"), QStringLiteral("60"));
        checkInvariants(f, QStringLiteral("freed after the take-over"));
        return;
    }
    const QString title = QStringLiteral("Nerova TQ 58 (nerova_tq58_float)");
    if (scenario == QLatin1String("decimals")) {
        const auto info = f.folder.dialogs().callsOf(Dialog::Information);
        QCOMPARE(info.size(), 1);
        QCOMPARE(info[0].text, text("strTakeOverNextExport").arg(title) + QStringLiteral("\n\n") +
                                   text("strTakeOverPounds0").arg("176.4", "176", "80") + QLatin1Char('\n') +
                                   text("strTakeOverPounds2").arg("12.5", "13", "6") + QLatin1Char('\n') +
                                   text("strTakeOverPounds4").arg("10", "11", "5"));
        QVERIFY(!f.app->takeOverWindow());
        QCOMPARE(takeover::summary(f.window()->loading()), QString::fromUtf8("80 / – / 6 / – kg, 5 kg"));
        checkInvariants(f, QStringLiteral("decimals taken over"));
        return;
    }
    const auto warnings = f.folder.dialogs().callsOf(Dialog::Exclamation);
    QCOMPARE(warnings.size(), 1);
    const QString expected =
        scenario == QLatin1String("refused")
            ? text("strTakeOverRefused").arg(title) + QStringLiteral("\n\n") + text("strTakeOverStation4") +
                  QLatin1Char(' ') +
                  text("strTakeOverBaggageRange")
                      .arg(QStringLiteral("52"), QStringLiteral("24"), QStringLiteral("23")) +
                  QLatin1Char(' ') + text("strTakeOverUnchanged")
            : text("strTakeOverNoLoading").arg(title) + QStringLiteral("\n\n") + text("strTakeOverUnchanged");
    QCOMPARE(warnings[0].text, expected);
    QVERIFY(window->isVisible());
    QVERIFY(f.window()->loading() == start);
    checkInvariants(f, QStringLiteral("refused"));
}

QTEST_MAIN(TestTakeOverWindow)
#include "tst_takeoverwindow.moc"
