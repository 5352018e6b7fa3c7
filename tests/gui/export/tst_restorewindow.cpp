// The restore window with scripted dialogs: the copies it offers, the question, O.K. and Abbrechen.
// The restore itself, row by row, is tst_restore's.

#include "support/ExportFixture.h"

#include "core/settings/LanguageStore.h"
#include "gui/app/Application.h"
#include "gui/app/MainWindow.h"
#include "gui/export/RestoreWindow.h"
#include "support/Controls.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>

using namespace exporttest;
using Dialog = ScriptedDialogs::Kind;

namespace {

const QString kCopy = QStringLiteral("nerova_tq58");
const QByteArray kExported = exportedCfg(threePersonsSection());

} // namespace

class TestRestoreWindow : public QObject {
    Q_OBJECT
private slots:
    void offersOnlyExportedCopiesAndAsksFirst_data();
    void offersOnlyExportedCopiesAndAsksFirst();
};

void TestRestoreWindow::offersOnlyExportedCopiesAndAsksFirst_data() {
    // A second copy that was never exported is there each time, and never listed.
    QTest::addColumn<QString>("copies"); // what the copies hold, or "cancelled"
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes: both files as installed, and a message says so") << "exported" << true;
    QTest::newRow("No: nothing changes, and the window stays") << "exported" << false;
    QTest::newRow("no backup of the model: the question and the message say it stays") << "no model backup" << true;
    QTest::newRow("a refused restore: said in a warning, and the window stays") << "read-only" << true;
    QTest::newRow("Abbrechen: nothing asked, nothing changes, and the window goes") << "cancelled" << false;
    QTest::newRow("no copy with a backup: a plain message, no window") << "none exported" << true;
    QTest::newRow("aircraft.cfg missing: the copy is offered and its file made again") << "cfg missing" << true;
}

void TestRestoreWindow::offersOnlyExportedCopiesAndAsksFirst() {
    QFETCH(QString, copies);
    QFETCH(bool, yes);
    TestProgramFolder pf;
    Fs2000 fs(pf);
    Application app(pf.context());
    auto text = [&](const char* key) {
        return tryLanguageText(pf.context().languageDatabase(), QString::fromLatin1(key)).value_or(QString());
    };
    fs.addCopy(QStringLiteral("nerova_tq58_a"));
    const QString cfg =
        fs.addCopy(kCopy, copies == QLatin1String("none exported") ? kCfg : kExported, variantContent(4));
    if (copies != QLatin1String("none exported")) {
        QVERIFY(writeFile(fs.backup(kCopy, QStringLiteral("aircraft.cfg.installed")), kCfg));
        QVERIFY(writeFile(fs.backup(kCopy, QStringLiteral("TQ58-161.mdl.installed")), kInstalledModel));
    }
    if (copies == QLatin1String("no model backup"))
        QVERIFY(QFile::remove(fs.backup(kCopy, QStringLiteral("TQ58-161.mdl.installed"))));
    if (copies == QLatin1String("cfg missing"))
        QVERIFY(QFile::remove(cfg));
    if (copies == QLatin1String("read-only"))
        QVERIFY(QFile::setPermissions(cfg, QFileDevice::ReadOwner));
    app.showMainWindow();
    QVERIFY(app.mainWindow());
    controls::triggerAction(app.mainWindow(), "mnuExportRestore");

    if (copies == QLatin1String("none exported")) {
        QVERIFY(!app.restoreWindow());
        const auto info = pf.dialogs().callsOf(Dialog::Information);
        QCOMPARE(info.size(), 1);
        QCOMPARE(info[0].text, text("strRestoreNothing"));
        QCOMPARE(info[0].title, text("frmRestoreCaption"));
        return;
    }
    RestoreWindow* window = app.restoreWindow();
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->windowTitle(), text("frmRestoreCaption"));
    auto* list = controls::child<QComboBox>(window, "cmbRestore");
    QCOMPARE(list->count(), 1); // nerova_tq58_a has never been exported
    QCOMPARE(list->itemText(0), QStringLiteral("Nerova TQ 58"));
    QCOMPARE(window->focusWidget(), list);
    list->setCurrentIndex(0);
    if (copies == QLatin1String("cancelled")) {
        controls::child<QPushButton>(window, "cmdAbbrechen")->click();
        controls::settle();
        QVERIFY(pf.dialogs().calls().isEmpty());
        QVERIFY(!app.restoreWindow() || !app.restoreWindow()->isVisible());
        QCOMPARE(readFile(cfg), kExported);
        return;
    }
    pf.dialogs().answerQuestion(yes);
    controls::child<QPushButton>(window, "cmdOK")->click();
    if (copies == QLatin1String("read-only")) {
        const auto warnings = pf.dialogs().callsOf(Dialog::Exclamation);
        QCOMPARE(warnings.size(), 1);
        QVERIFY2(warnings[0].text.startsWith(text("strExportReadOnly").arg(QDir::toNativeSeparators(cfg))),
                 qPrintable(warnings[0].text));
        QVERIFY(pf.dialogs().callsOf(Dialog::Question).isEmpty());
        QVERIFY(window->isVisible());
        QCOMPARE(readFile(cfg), kExported);
        return;
    }

    const auto questions = pf.dialogs().callsOf(Dialog::Question);
    QCOMPARE(questions.size(), 1);
    const bool modelBackup = copies != QLatin1String("no model backup");
    const auto native = [](const QString& path) { return QDir::toNativeSeparators(path); };
    // What happens to each file, after the question itself.
    QCOMPARE(
        questions[0].text,
        text("strRestoreQuestion")
                .arg(QStringLiteral("Nerova TQ 58"), native(fs.aircraft() + kCopy + QLatin1Char('/'))) +
            "\n\n" +
            text(copies == QLatin1String("cfg missing") ? "strRestoreCfgMade" : "strRestoreCfgBack").arg(native(cfg)) +
            ' ' +
            (modelBackup ? text("strRestoreModelBack").arg(native(fs.model(kCopy))) : text("strRestoreModelStays")));
    QCOMPARE(questions[0].title, QStringLiteral("?"));
    if (!yes) {
        QCOMPARE(readFile(cfg), kExported);
        QVERIFY(pf.dialogs().callsOf(Dialog::Information).isEmpty());
        QVERIFY(window->isVisible());
        return;
    }
    QCOMPARE(readFile(cfg), kCfg);
    QCOMPARE(readFile(fs.model(kCopy)), modelBackup ? kInstalledModel : variantContent(4));
    const auto info = pf.dialogs().callsOf(Dialog::Information);
    QCOMPARE(info.size(), 1);
    QCOMPARE(info[0].text, modelBackup ? text("strRestoreDone")
                                       : text("strRestoreDone") + QLatin1Char(' ') + text("strRestoreModelKept"));
    QCOMPARE(info[0].title, text("strFinished"));
    QVERIFY(pf.dialogs().callsOf(Dialog::Exclamation).isEmpty());
    controls::settle();
    QVERIFY(!app.restoreWindow());
}

QTEST_MAIN(TestRestoreWindow)
#include "tst_restorewindow.moc"
