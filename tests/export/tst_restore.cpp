// Giving a copy back as installed: the restore itself without a window, and the restore window
// with scripted dialogs.

#include "ExportFixture.h"

#include "app/Application.h"
#include "app/MainWindow.h"
#include "common/AtomicFile.h"
#include "export/ExportWriter.h"
#include "export/Restore.h"
#include "export/RestoreWindow.h"
#include "settings/LanguageStore.h"
#include "support/Controls.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>

using namespace exporttest;
using Kind = exportwriter::Failure::Kind;
using Dialog = ScriptedDialogs::Kind;

namespace {

const QString kCopy = QStringLiteral("nerova_tq58");
const QByteArray kExported = exportedCfg(threePersonsSection());

// A copy as an export leaves it: the loading and model variant 4 in place, the files as installed
// in the backups.
QString exportedCopy(const Fs2000& fs, const QString& folder = kCopy,
                     const QByteArray& installedModel = kInstalledModel) {
    const QString cfg = fs.addCopy(folder, kExported, variantContent(4));
    writeFile(cfg + QStringLiteral(".bak"), kCfg);
    if (!installedModel.isNull())
        writeFile(fs.model(folder) + QStringLiteral(".bak"), installedModel);
    return cfg;
}

// File operations whose replacement of aircraft.cfg fails.
exportwriter::FileOps cfgFails(const QString& cfg) {
    exportwriter::FileOps ops = exportwriter::FileOps::atomic();
    ops.replaceWithData = [cfg](const QString& path, const QByteArray& data, QString* reason) {
        if (path == cfg) {
            *reason = QStringLiteral("No space left on device");
            return false;
        }
        return atomicfile::replaceWithData(path, data, reason);
    };
    return ops;
}

} // namespace

class TestRestore : public QObject {
    Q_OBJECT
private slots:
    void restore_data();
    void restore();
    void window_data();
    void window();
};

void TestRestore::restore_data() {
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<int>("kind"); // -1: restored
    QTest::addColumn<QByteArray>("cfg");
    QTest::addColumn<QByteArray>("model");
    QTest::newRow("both backups: both files as installed") << "both" << -1 << kCfg << kInstalledModel;
    QTest::newRow("aircraft.cfg backup only: the model stays as it is")
        << "cfg only" << -1 << kCfg << variantContent(4);
    QTest::newRow("model gone since: made again from its backup") << "model gone" << -1 << kCfg << kInstalledModel;
    QTest::newRow("read-only aircraft.cfg: refused, for an administrator too")
        << "read-only" << int(Kind::ReadOnly) << kExported << variantContent(4);
    QTest::newRow("aircraft.cfg cannot be replaced: the model goes back too")
        << "cfg fails" << int(Kind::WriteFailed) << kExported << variantContent(4);
    QTest::newRow("no backup of aircraft.cfg: refused")
        << "no backup" << int(Kind::FileMissing) << kExported << variantContent(4);
}

void TestRestore::restore() {
    QFETCH(QString, scenario);
    QFETCH(int, kind);
    QFETCH(QByteArray, cfg);
    QFETCH(QByteArray, model);
    TestProgramFolder pf;
    Fs2000 fs(pf);
    const QString cfgPath =
        exportedCopy(fs, kCopy, scenario == QLatin1String("cfg only") ? QByteArray() : kInstalledModel);
    const QString modelPath = fs.model(kCopy);
    exportwriter::FileOps ops = exportwriter::FileOps::atomic();
    if (scenario == QLatin1String("model gone"))
        QVERIFY(QFile::remove(modelPath));
    if (scenario == QLatin1String("read-only"))
        QVERIFY(QFile::setPermissions(cfgPath, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    if (scenario == QLatin1String("cfg fails"))
        ops = cfgFails(cfgPath);
    if (scenario == QLatin1String("no backup"))
        QVERIFY(QFile::remove(cfgPath + QStringLiteral(".bak")));
    const auto backupsBefore = snapshot(fs.aircraft() + kCopy);

    restore::Result result;
    const auto failure = restore::run(cfgPath, &result, ops);
    QFile::setPermissions(cfgPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (kind < 0) {
        QVERIFY2(!failure, failure ? qPrintable(failure->path + QLatin1Char(' ') + failure->reason) : "");
        QCOMPARE(result.modelRestored, scenario != QLatin1String("cfg only"));
    } else {
        QVERIFY(failure);
        QCOMPARE(int(failure->kind), kind);
        QVERIFY(failure->nothingChanged());
        if (scenario == QLatin1String("no backup"))
            QCOMPARE(failure->path, cfgPath + QStringLiteral(".bak"));
    }
    QCOMPARE(readFile(cfgPath), cfg);
    QCOMPARE(readFile(modelPath), model);
    // The backups stay, and nothing is deleted.
    const auto after = snapshot(fs.aircraft() + kCopy);
    for (auto it = backupsBefore.begin(); it != backupsBefore.end(); ++it) {
        if (it.key().endsWith(QLatin1String(".bak")))
            QCOMPARE(after.value(it.key()), it.value());
    }
    QVERIFY(temporaryFiles(fs.aircraft() + kCopy).isEmpty());
}

void TestRestore::window_data() {
    // A second copy that was never exported is there each time, and never listed.
    QTest::addColumn<QString>("copies"); // "exported", "none exported", "no model backup"
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes: both files as installed, and a message says so") << "exported" << true;
    QTest::newRow("No: nothing changes, and the window stays") << "exported" << false;
    QTest::newRow("no copy with a backup: a plain message, no window") << "none exported" << true;
    QTest::newRow("no backup of the model: the message says it stayed") << "no model backup" << true;
}

void TestRestore::window() {
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
        copies == QLatin1String("none exported")
            ? fs.addCopy(kCopy)
            : exportedCopy(fs, kCopy, copies == QLatin1String("no model backup") ? QByteArray() : kInstalledModel);
    app.showMainWindow();
    QVERIFY(app.mainWindow());
    testkit::triggerAction(app.mainWindow(), "mnuExportRestore");

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
    auto* list = testkit::child<QComboBox>(window, "cmbRestore");
    QCOMPARE(list->count(), 1); // nerova_tq58_a has never been exported
    QCOMPARE(list->itemText(0), QStringLiteral("Nerova TQ 58"));
    QCOMPARE(window->focusWidget(), list);
    list->setCurrentIndex(0);
    pf.dialogs().answerQuestion(yes);
    testkit::child<QPushButton>(window, "cmdOK")->click();

    const auto questions = pf.dialogs().callsOf(Dialog::Question);
    QCOMPARE(questions.size(), 1);
    QCOMPARE(questions[0].text, text("strRestoreQuestion")
                                    .arg(QStringLiteral("Nerova TQ 58"),
                                         QDir::toNativeSeparators(fs.aircraft() + kCopy + QLatin1Char('/'))));
    QCOMPARE(questions[0].title, QStringLiteral("?"));
    if (!yes) {
        QCOMPARE(readFile(cfg), kExported);
        QVERIFY(pf.dialogs().callsOf(Dialog::Information).isEmpty());
        QVERIFY(window->isVisible());
        return;
    }
    const bool modelBackup = copies != QLatin1String("no model backup");
    QCOMPARE(readFile(cfg), kCfg);
    QCOMPARE(readFile(fs.model(kCopy)), modelBackup ? kInstalledModel : variantContent(4));
    const auto info = pf.dialogs().callsOf(Dialog::Information);
    QCOMPARE(info.size(), 1);
    QCOMPARE(info[0].text, modelBackup ? text("strRestoreDone")
                                       : text("strRestoreDone") + QLatin1Char(' ') + text("strRestoreModelKept"));
    QCOMPARE(info[0].title, text("strFinished"));
    QVERIFY(pf.dialogs().callsOf(Dialog::Exclamation).isEmpty());
    testkit::settle();
    QVERIFY(!app.restoreWindow());
}

QTEST_MAIN(TestRestore)
#include "tst_restore.moc"
