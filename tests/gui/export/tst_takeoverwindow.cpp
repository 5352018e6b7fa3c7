// The take-over window with scripted dialogs: its list of copies with their loadings, and what
// the main window shows after O.K.

#include "support/ExportFixture.h"

#include "core/export/ExportWriter.h"
#include "core/export/TakeOver.h"
#include "core/export/WeightAndBalance.h"
#include "gui/export/TakeOverWindow.h"
#include "support/MainWindowFixture.h"

#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <functional>

using namespace exporttest;
using Dialog = ScriptedDialogs::Kind;

namespace {

const QString title = QStringLiteral("Nerova TQ 58 (nerova_tq58_float)");

// A copy beside the one the loading was exported into, the line chosen, and what follows O.K.
struct Row {
    QByteArray second; // the other copy's aircraft.cfg; null: no copy at all
    int chosen;
    Dialog kind;                                    // of the message, on the command or after O.K.; a warning refuses
    QString said;                                   // null: no message
    QString listed = germanText("strTakeOverNone"); // the other copy's loading as listed
    // What else the main window shows after a take-over, given the loading exported.
    std::function<void(MainWindowFixture&, const LoadingModel&)> shown = {};
};

} // namespace

class TestTakeOverWindow : public QObject {
    Q_OBJECT
private slots:
    void window_data();
    void window();
};

void TestTakeOverWindow::window_data() {
    QTest::addColumn<Row>("row");
    const auto asEntered = [](MainWindowFixture& f, const LoadingModel& exported) {
        QVERIFY(f.window()->loading() == exported);
        QCOMPARE(f.tooltip("imgPaxRight"), QStringLiteral("-20 kg"));
        QCOMPARE(f.tooltip("imgPaxLeft"), germanText("lblPlatzFrei"));
        QCOMPARE(f.control<QSlider>("Slider1")->value(), 23);
        QCOMPARE(f.textOf("txtBaggage"), QStringLiteral("23"));
        QCOMPARE(f.textOf("lblGesamt"), QStringLiteral(" 853 kg"));
        // Taken over as if entered: a click frees the seat as usual.
        f.clickSeat("imgCo", std::nullopt, false);
        QCOMPARE(f.textOf("txtPersonengewicht"), QStringLiteral("60"));
        checkInvariants(f, QStringLiteral("freed after the take-over"));
    };
    QTest::newRow("exported loading: the main window shows it as entered")
        << Row{kHead + kTail, 0, Dialog::Information, {}, germanText("strTakeOverNone"), asEntered};
    QTest::newRow("decimal pounds: taken, and the stations the next export writes otherwise are named")
        << Row{cfgWith({"176.4", "0", "12.5", "0", "10"}), 1, Dialog::Information,
               germanText("strTakeOverNextExport").arg(title) + QStringLiteral("\n\n") +
                   germanText("strTakeOverPounds0").arg("176.4", "176", "80") + QLatin1Char('\n') +
                   germanText("strTakeOverPounds2").arg("12.5", "13", "6") + QLatin1Char('\n') +
                   germanText("strTakeOverPounds4").arg("10", "11", "5"),
               QString::fromUtf8("80 / – / 6 / – kg, 5 kg")};
    QTest::newRow("a load the window refuses: said, nothing changes, the window stays") << Row{
        cfgWith({"176", "0", "0", "0", "52"}), 1, Dialog::Exclamation,
        germanText("strTakeOverRefused").arg(title) + QStringLiteral("\n\n") + germanText("strTakeOverStation4") +
            QLatin1Char(' ') + germanText("strTakeOverBaggageRange").arg("52", "24", "23") + QLatin1Char(' ') +
            germanText("strTakeOverUnchanged")};
    QTest::newRow("a copy without station loads: said, nothing changes") << Row{
        kHead + kTail, 1, Dialog::Exclamation,
        germanText("strTakeOverNoLoading").arg(title) + QStringLiteral("\n\n") + germanText("strTakeOverUnchanged")};
    QTest::newRow("no copy at all: a plain message and no window")
        << Row{{}, 0, Dialog::Information, germanText("strTakeOverNoCopy")};
}

void TestTakeOverWindow::window() {
    QFETCH(Row, row);
    MainWindowFixture f;
    Fs2000 fs(f.folder);
    QVERIFY(f.open());

    // A loading entered as a user enters it, exported into the first copy.
    f.clickSeat("imgCo", QStringLiteral("75"));
    f.clickSeat("imgPaxRight", QStringLiteral("-20"));
    f.control<QSlider>("Slider1")->setValue(23);
    const LoadingModel exported = f.window()->loading();
    if (!row.second.isNull()) {
        const QString cfg = fs.addCopy(QStringLiteral("nerova_tq58"));
        QVERIFY(!exportwriter::write({cfg, f.folder.path(), wab::stationLoads(exported)}));
        fs.addCopy(QStringLiteral("nerova_tq58_float"), row.second);
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

    TakeOverWindow* window = f.app->takeOverWindow();
    QString line; // the line chosen
    if (window) {
        QVERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), germanText("frmTakeOverCaption"));
        auto* list = controls::child<QComboBox>(window, "cmbTakeOver");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->itemText(0), QString::fromUtf8("Nerova TQ 58 (nerova_tq58) — 80 / 75 / – / -20 kg, 23 kg"));
        QCOMPARE(list->itemText(1), title + QString::fromUtf8(" — ") + row.listed);
        QCOMPARE(list->accessibleName(), germanText("frmTakeOverLabel"));
        list->setCurrentIndex(row.chosen);
        line = list->currentText();
        controls::child<QPushButton>(window, "cmdOK")->click();
        controls::settle();
    }
    QCOMPARE(f.folder.dialogs().calls().size(), row.said.isNull() ? 0 : 1);
    QCOMPARE(f.folder.dialogs().textsOf(row.kind).value(0), row.said);
    checkInvariants(f);
    QCOMPARE(f.app->takeOverWindow() && window->isVisible(), row.kind == Dialog::Exclamation);
    if (!window || row.kind == Dialog::Exclamation)
        QVERIFY(f.window()->loading() == start);
    else // taken over: the loading the line listed
        QCOMPARE(line.section(QString::fromUtf8(" — "), 1), takeover::summary(f.window()->loading()));
    if (row.shown)
        row.shown(f, exported);
}

QTEST_MAIN(TestTakeOverWindow)
#include "tst_takeoverwindow.moc"
