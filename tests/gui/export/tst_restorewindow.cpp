// The restore window with scripted dialogs: the copies it offers, the question, O.K. and Abbrechen.
// The restore itself, row by row, is tst_restore's.

#include "support/ExportFixture.h"

#include "gui/app/Application.h"
#include "gui/app/MainWindow.h"
#include "gui/export/RestoreWindow.h"
#include "support/Controls.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include <functional>

using namespace exporttest;
using Dialog = ScriptedDialogs::Kind;

namespace {

const QString kCopy = QStringLiteral("nerova_tq58");
const QByteArray kExported = exportedCfg(threePersonsSection());

// Beside a copy that was never exported, a copy as an export leaves it; a row changes it, picks it
// and presses a button. In the texts <cfg>, <model> and <copy> stand for the paths.
struct Scene {
    TestProgramFolder pf;
    Fs2000 fs{pf};
    QString never = fs.addCopy(QStringLiteral("nerova_tq58_a"));
    QString cfg = fs.addCopy(kCopy, kExported, variantContent(4));
    QString backups = fs.aircraft() + kCopy + QStringLiteral("/merovan-installed");
    QString backup(const char* name) const { return fs.backup(kCopy, QString::fromLatin1(name)); }
    bool backedUp = writeFile(backup("aircraft.cfg.installed"), kCfg) &&
                    writeFile(backup("TQ58-161.mdl.installed"), kInstalledModel);
};
using Setup = std::function<void(Scene&)>;
struct Row {
    const char* button;            // pressed in the restore window; null: no window opens
    bool yes, stays;               // the answer to the question; whether the window stays afterwards
    QString asked;                 // null: none asked
    Dialog kind;                   // of the message after the answer, or instead of the window
    QString said = {}, title = {}; // null: no message
    QByteArray cfg = kExported, model = variantContent(4); // afterwards
};

} // namespace

class TestRestoreWindow : public QObject {
    Q_OBJECT
private slots:
    void offersOnlyExportedCopiesAndAsksFirst_data();
    void offersOnlyExportedCopiesAndAsksFirst();
};

void TestRestoreWindow::offersOnlyExportedCopiesAndAsksFirst_data() {
    QTest::addColumn<Row>("row");
    QTest::addColumn<Setup>("setup");
    const auto row = [](const char* name, const Row& row, const Setup& setup = {}) {
        QTest::newRow(name) << row << setup;
    };
    // What happens to each file, after the question itself.
    const QString question = germanText("strRestoreQuestion").arg("Nerova TQ 58", "<copy>") + "\n\n";
    const QString cfgBack = question + germanText("strRestoreCfgBack").arg("<cfg>") + ' ';
    const QString modelBack = germanText("strRestoreModelBack").arg("<model>");
    const QString done = germanText("strRestoreDone"), finished = germanText("strFinished");
    row("Yes: both files as installed, and a message says so",
        {"cmdOK", true, false, cfgBack + modelBack, Dialog::Information, done, finished, kCfg, kInstalledModel});
    row("No: nothing changes, and the window stays", {"cmdOK", false, true, cfgBack + modelBack, Dialog::Information});
    row("no backup of the model: the question and the message say it stays",
        {"cmdOK", true, false, cfgBack + germanText("strRestoreModelStays"), Dialog::Information,
         done + ' ' + germanText("strRestoreModelKept"), finished, kCfg},
        [](Scene& s) { QVERIFY(QFile::remove(s.backup("TQ58-161.mdl.installed"))); });
    row("a refused restore: said in a warning, and the window stays",
        {"cmdOK", true, true, QString(), Dialog::Exclamation,
         germanText("strExportReadOnly").arg("<cfg>") + "\n\n" + germanText("strExportNothingChanged"),
         QStringLiteral("Error!")},
        [](Scene& s) { QVERIFY(QFile::setPermissions(s.cfg, QFileDevice::ReadOwner)); });
    row("Abbrechen: nothing asked, nothing changes, and the window goes",
        {"cmdAbbrechen", false, false, {}, Dialog::Information});
    row("no copy with a backup: a plain message, no window",
        {nullptr,
         true,
         false,
         {},
         Dialog::Information,
         germanText("strRestoreNothing"),
         germanText("frmRestoreCaption"),
         kCfg},
        [](Scene& s) { QVERIFY(QDir(s.backups).removeRecursively() && writeFile(s.cfg, kCfg)); });
    row("aircraft.cfg missing: the copy is offered and its file made again",
        {"cmdOK", true, false, question + germanText("strRestoreCfgMade").arg("<cfg>") + ' ' + modelBack,
         Dialog::Information, done, finished, kCfg, kInstalledModel},
        [](Scene& s) { QVERIFY(QFile::remove(s.cfg)); });
}

void TestRestoreWindow::offersOnlyExportedCopiesAndAsksFirst() {
    QFETCH(Row, row);
    QFETCH(Setup, setup);
    Scene s;
    Application app(s.pf.context());
    QVERIFY(s.backedUp);
    if (setup)
        setup(s);
    if (QTest::currentTestFailed())
        return;
    const auto spelled = [&](QString text) {
        return text.replace("<cfg>", QDir::toNativeSeparators(s.cfg))
            .replace("<model>", QDir::toNativeSeparators(s.fs.model(kCopy)))
            .replace("<copy>", QDir::toNativeSeparators(s.fs.aircraft() + kCopy + '/'));
    };
    app.showMainWindow();
    QVERIFY(app.mainWindow());
    controls::triggerAction(app.mainWindow(), "mnuExportRestore");

    RestoreWindow* window = app.restoreWindow();
    QCOMPARE(bool(window), bool(row.button));
    if (window) {
        QVERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), germanText("frmRestoreCaption"));
        auto* list = controls::child<QComboBox>(window, "cmbRestore");
        QCOMPARE(list->count(), 1); // nerova_tq58_a has never been exported
        QCOMPARE(list->itemText(0), QStringLiteral("Nerova TQ 58"));
        QCOMPARE(window->focusWidget(), list);
        list->setCurrentIndex(0);
        s.pf.dialogs().answerQuestion(row.yes);
        controls::child<QPushButton>(window, row.button)->click();
    }
    const auto questions = s.pf.dialogs().callsOf(Dialog::Question);
    QCOMPARE(questions.size(), row.asked.isNull() ? 0 : 1);
    QCOMPARE(questions.value(0).text, spelled(row.asked));
    QCOMPARE(questions.value(0).title, row.asked.isNull() ? QString() : QStringLiteral("?"));
    // Return keeps the files as they are.
    QVERIFY(questions.isEmpty() || questions[0].preset == Dialogs::Answer::No);
    QCOMPARE(s.pf.dialogs().calls().size(), questions.size() + (row.said.isNull() ? 0 : 1));
    const auto said = s.pf.dialogs().callsOf(row.kind);
    QCOMPARE(said.value(0).text, spelled(row.said));
    QCOMPARE(said.value(0).title, row.title);
    QCOMPARE(readFile(s.cfg), row.cfg);
    QCOMPARE(readFile(s.fs.model(kCopy)), row.model);
    controls::settle();
    QCOMPARE(app.restoreWindow() && app.restoreWindow()->isVisible(), row.stays);
}

QTEST_MAIN(TestRestoreWindow)
#include "tst_restorewindow.moc"
