// Giving a copy back as installed: the restore itself without a window, and the restore window
// with scripted dialogs.

#include "support/ExportFixture.h"

#include "core/common/AtomicFile.h"
#include "core/common/CopyLock.h"
#include "core/export/ExportWriter.h"
#include "core/export/Restore.h"
#include "core/settings/LanguageStore.h"
#include "gui/app/Application.h"
#include "gui/app/MainWindow.h"
#include "gui/export/RestoreWindow.h"
#include "support/Controls.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>

using namespace exporttest;
using Kind = fileplan::Failure::Kind;
using Dialog = ScriptedDialogs::Kind;

namespace {

const QString kCopy = QStringLiteral("nerova_tq58");
const QByteArray kExported = exportedCfg(threePersonsSection());

// A copy as an export leaves it: the loading and model variant 4 in place, the files as installed
// in the backups (a null model: there was none before the first export).
QString exportedCopy(const Fs2000& fs, const QString& folder = kCopy,
                     const QByteArray& installedModel = kInstalledModel) {
    const QString cfg = fs.addCopy(folder, kExported, variantContent(4));
    writeFile(fs.backup(folder, QStringLiteral("aircraft.cfg.installed")), kCfg);
    if (installedModel.isNull())
        writeFile(fs.backup(folder, QStringLiteral("TQ58-161.mdl.absent")), "none");
    else
        writeFile(fs.backup(folder, QStringLiteral("TQ58-161.mdl.installed")), installedModel);
    return cfg;
}

// A restore as the window runs it: the plan, then its apply.
std::optional<fileplan::Failure> run(const QString& cfg, const QString& programFolder, restore::Plan* plan,
                                     const fileplan::FileOps& ops = fileplan::FileOps::atomic()) {
    if (auto problem = restore::plan(cfg, programFolder, plan))
        return problem;
    return restore::apply(*plan, ops);
}

} // namespace

class TestRestore : public QObject {
    Q_OBJECT
private slots:
    void givesBackWhatWasInstalledOrNothing_data();
    void givesBackWhatWasInstalledOrNothing();
    void offersOnlyExportedCopiesAndAsksFirst_data();
    void offersOnlyExportedCopiesAndAsksFirst();
};

void TestRestore::givesBackWhatWasInstalledOrNothing_data() {
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<int>("kind"); // -1: restored
    QTest::addColumn<QByteArray>("cfg");
    QTest::addColumn<QByteArray>("model"); // null: no model file afterwards
    const QByteArray edited = QByteArray(kExported).replace("editable=1", "editable=0");
    QTest::newRow("both backups: both files as installed") << "both" << -1 << kCfg << kInstalledModel;
    QTest::newRow("model equal to a shipped variant when installed: that variant again")
        << "shipped" << -1 << kCfg << variantContent(2);
    QTest::newRow("no model before the first export: the model the export made is removed")
        << "created" << -1 << kCfg << QByteArray();
    QTest::newRow("aircraft.cfg backup only: the model stays as it is")
        << "cfg only" << -1 << kCfg << variantContent(4);
    QTest::newRow("model gone since: made again from its backup") << "model gone" << -1 << kCfg << kInstalledModel;
    QTest::newRow("the Model folder gone since: made again, and both files come back")
        << "model folder gone" << -1 << kCfg << kInstalledModel;
    QTest::newRow("aircraft.cfg missing: made again from its backup, with its mode")
        << "cfg missing" << -1 << kCfg << kInstalledModel;
    QTest::newRow("edits made after the export: the current file is kept beside the backups")
        << "edited" << -1 << kCfg << kInstalledModel;
    QTest::newRow("a second restore keeps the edits the first one kept")
        << "edited twice" << -1 << kCfg << kInstalledModel;
    QTest::newRow("a model put in by hand survives a restore") << "own model" << -1 << kCfg << kInstalledModel;
    QTest::newRow("a model put in by hand where there was none: kept before it is removed")
        << "own model created" << -1 << kCfg << QByteArray();
    QTest::newRow("backups made read-only by the user: the files come back with their installed modes")
        << "read-only backups" << -1 << kCfg << kInstalledModel;
    QTest::newRow("read-only aircraft.cfg: refused, for an administrator too")
        << "read-only" << int(Kind::ReadOnly) << kExported << variantContent(4);
    QTest::newRow("read-only model: refused before anything changes")
        << "model read-only" << int(Kind::ReadOnly) << kExported << variantContent(4);
    QTest::newRow("edits, and a backups' folder without write permission: refused, for an administrator too")
        << "backups read-only" << int(Kind::FolderReadOnly) << edited << variantContent(4);
    QTest::newRow("aircraft.cfg cannot be replaced: the model goes back too")
        << "cfg fails" << int(Kind::WriteFailed) << kExported << variantContent(4);
    QTest::newRow("the Model folder made again, and aircraft.cfg cannot be replaced: the folder goes again")
        << "model folder gone, cfg fails" << int(Kind::WriteFailed) << kExported << QByteArray();
    QTest::newRow("a user's own aircraft.cfg.bak is never restored")
        << "user bak" << int(Kind::FileMissing) << kExported << variantContent(4);
    QTest::newRow("aircraft.cfg changed while the question was open: not touched")
        << "changed meanwhile" << int(Kind::ChangedMeanwhile) << edited << variantContent(4);
    QTest::newRow("another program is changing the copy: refused after a moment, nothing changed")
        << "busy" << int(Kind::Busy) << kExported << variantContent(4);
}

void TestRestore::givesBackWhatWasInstalledOrNothing() {
    QFETCH(QString, scenario);
    QFETCH(int, kind);
    QFETCH(QByteArray, cfg);
    QFETCH(QByteArray, model);
#ifndef Q_OS_UNIX
    if (scenario.contains(QLatin1String("read-only backups")) || scenario == QLatin1String("backups read-only"))
        QSKIP("modes and folder permissions are Unix matters");
#endif
    TestProgramFolder pf;
    Fs2000 fs(pf);
    const QByteArray own = "a model of the user's own";
    const QByteArray installedModel =
        scenario == QLatin1String("cfg only") ? QByteArray("-")
        : scenario.startsWith(QLatin1String("created")) || scenario == QLatin1String("own model created") ? QByteArray()
        : scenario == QLatin1String("shipped") ? variantContent(2)
                                               : kInstalledModel;
    QString cfgPath = exportedCopy(fs, kCopy, installedModel);
    if (scenario == QLatin1String("cfg only"))
        QVERIFY(QFile::remove(fs.backup(kCopy, QStringLiteral("TQ58-161.mdl.installed"))));
    const QString modelPath = fs.model(kCopy);
    const QString backupsFolder = fs.aircraft() + kCopy + QStringLiteral("/merovan-installed");
    const QByteArray edited = QByteArray(kExported).replace("editable=1", "editable=0");
    fileplan::FileOps ops = fileplan::FileOps::atomic();
    if (scenario == QLatin1String("read-only backups")) {
        // A real first export records the modes; the user then protects the backups.
        QVERIFY(QDir(fs.aircraft() + kCopy).removeRecursively());
        cfgPath = fs.addCopy(kCopy);
        QVERIFY(
            QFile::setPermissions(cfgPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
        QVERIFY(QFile::setPermissions(modelPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        exportwriter::Job job{cfgPath, pf.path(), {176, 165, std::nullopt, 132, 44}};
        QVERIFY(!exportwriter::write(job));
        for (const QString& backup : QDir(backupsFolder).entryList(QDir::Files))
            QVERIFY(QFile::setPermissions(backupsFolder + QLatin1Char('/') + backup,
                                          QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
        QVERIFY(QFile::remove(modelPath)); // made again from its read-only backup
    }
    if (scenario == QLatin1String("model gone"))
        QVERIFY(QFile::remove(modelPath));
    if (scenario.startsWith(QLatin1String("model folder gone")))
        QVERIFY(QDir(QFileInfo(modelPath).path()).removeRecursively());
    if (scenario == QLatin1String("cfg missing")) {
        QVERIFY(QFile::remove(cfgPath));
        QVERIFY(QFile::setPermissions(fs.backup(kCopy, QStringLiteral("aircraft.cfg.installed")),
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
    }
    if (scenario.startsWith(QLatin1String("edited")) || scenario == QLatin1String("backups read-only"))
        QVERIFY(writeFile(cfgPath, edited));
    if (scenario.startsWith(QLatin1String("own model")))
        QVERIFY(writeFile(modelPath, own));
    if (scenario == QLatin1String("read-only"))
        QVERIFY(QFile::setPermissions(cfgPath, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    if (scenario == QLatin1String("model read-only"))
        QVERIFY(QFile::setPermissions(modelPath, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    if (scenario == QLatin1String("backups read-only"))
        QVERIFY(QFile::setPermissions(backupsFolder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    if (scenario.endsWith(QLatin1String("cfg fails")))
        ops = failingFor(cfgPath, cfgPath);
    if (scenario == QLatin1String("user bak")) {
        QVERIFY(QDir(backupsFolder).removeRecursively());
        QVERIFY(writeFile(cfgPath + QStringLiteral(".bak"), "title=Some other aircraft\r\n"));
    }
    const auto backupsBefore = snapshot(fs.aircraft() + kCopy);

    restore::Plan plan;
    std::optional<fileplan::Failure> failure;
    if (scenario == QLatin1String("changed meanwhile")) {
        QVERIFY(!restore::plan(cfgPath, pf.path(), &plan));
        QVERIFY(writeFile(cfgPath, edited)); // while the question is open
        failure = restore::apply(plan, ops);
    } else if (scenario == QLatin1String("busy")) {
        const copylock::Lock other(fs.aircraft() + kCopy, copylock::Lock::Mode::Exclusive);
        QVERIFY(other.held());
        failure = run(cfgPath, pf.path(), &plan, ops);
    } else {
        if (scenario == QLatin1String("edited twice")) {
            QVERIFY(!run(cfgPath, pf.path(), &plan));
            QVERIFY(writeFile(cfgPath, QByteArray(kExported).replace("editable=1", "editable=2")));
        }
        failure = run(cfgPath, pf.path(), &plan, ops);
    }
    if (scenario.endsWith(QLatin1String("read-only"))) {
        QFile::setPermissions(cfgPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QFile::setPermissions(modelPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QFile::setPermissions(backupsFolder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    if (kind < 0) {
        QVERIFY2(!failure, failure ? qPrintable(failure->path + QLatin1Char(' ') + failure->reason) : "");
        QCOMPARE(plan.model == restore::Plan::Model::Keep, scenario == QLatin1String("cfg only"));
    } else {
        QVERIFY(failure);
        QCOMPARE(int(failure->kind), kind);
        QVERIFY(failure->nothingChanged());
        if (scenario == QLatin1String("user bak"))
            QCOMPARE(failure->path, fs.backup(kCopy, QStringLiteral("aircraft.cfg.installed")));
        if (scenario == QLatin1String("model read-only"))
            QCOMPARE(failure->path, modelPath);
        if (scenario == QLatin1String("backups read-only"))
            QCOMPARE(failure->path, backupsFolder);
    }
    QCOMPARE(readFile(cfgPath), cfg);
    QCOMPARE(QFileInfo::exists(modelPath), !model.isNull());
    QCOMPARE(readFile(modelPath), model);
    // A Model folder made for nothing goes again.
    QCOMPARE(QFileInfo::exists(QFileInfo(modelPath).path()), scenario != QLatin1String("model folder gone, cfg fails"));
#ifdef Q_OS_UNIX // files have modes only here
    const auto modeOf = [](const QString& path) {
        return QFileInfo(path).permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
    };
    if (scenario == QLatin1String("cfg missing"))
        QCOMPARE(modeOf(cfgPath), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
    if (scenario == QLatin1String("read-only backups")) {
        QCOMPARE(modeOf(cfgPath), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
        QCOMPARE(modeOf(modelPath), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        // So the next export is not refused.
        QVERIFY(!exportwriter::write({cfgPath, pf.path(), {176, 165, std::nullopt, 132, 44}}));
    }
#endif
    // Edits and models put in by hand are kept beside the backups under names of their own, as the
    // question said; nothing else is, and the backups (and a user's .bak) stay.
    const auto native = [](const QString& path) { return QDir::toNativeSeparators(path); };
    const QList<MessagePart> asked = restore::question(plan, QStringLiteral("T"));
    QCOMPARE(asked.contains({QStringLiteral("strRestoreCfgEdited"), {native(cfgPath), native(plan.keepEdited)}}),
             !plan.keepEdited.isEmpty());
    QCOMPARE(asked.contains({QStringLiteral("strRestoreModelOwn"), {native(modelPath), native(plan.keepModel)}}),
             !plan.keepModel.isEmpty());
    QCOMPARE(asked.contains({QStringLiteral("strRestoreModelFolderMade"), {native(QFileInfo(modelPath).path())}}),
             scenario.startsWith(QLatin1String("model folder gone")));
    QByteArrayList expectedKept{scenario.startsWith(QLatin1String("edited")) ? edited : QByteArray()};
    if (scenario == QLatin1String("edited twice"))
        expectedKept << QByteArray(kExported).replace("editable=1", "editable=2");
    if (scenario.startsWith(QLatin1String("own model")))
        expectedKept << own;
    expectedKept.removeAll(QByteArray());
    QByteArrayList keptNow;
    const auto after = snapshot(fs.aircraft() + kCopy);
    for (auto it = after.begin(); it != after.end(); ++it) {
        if (it.key().startsWith(QLatin1String("merovan-installed/")) && !backupsBefore.contains(it.key())) {
            QVERIFY2(it.key().contains(QLatin1String(".before-restore-")), qPrintable(it.key()));
            keptNow << it.value();
        }
    }
    QCOMPARE(keptNow, expectedKept);
    for (auto it = backupsBefore.begin(); it != backupsBefore.end(); ++it) {
        if (it.key().contains(QLatin1String("merovan-installed")) || it.key().endsWith(QLatin1String(".bak")))
            QCOMPARE(after.value(it.key()), it.value());
    }
    QVERIFY(temporaryFiles(fs.aircraft() + kCopy).isEmpty());
}

void TestRestore::offersOnlyExportedCopiesAndAsksFirst_data() {
    // A second copy that was never exported is there each time, and never listed.
    QTest::addColumn<QString>("copies"); // "exported", "none exported", "no model backup"
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes: both files as installed, and a message says so") << "exported" << true;
    QTest::newRow("No: nothing changes, and the window stays") << "exported" << false;
    QTest::newRow("no copy with a backup: a plain message, no window") << "none exported" << true;
    QTest::newRow("no backup of the model: the question and the message say it stays") << "no model backup" << true;
    QTest::newRow("aircraft.cfg missing: the copy is offered and its file made again") << "cfg missing" << true;
}

void TestRestore::offersOnlyExportedCopiesAndAsksFirst() {
    QFETCH(QString, copies);
    QFETCH(bool, yes);
    TestProgramFolder pf;
    Fs2000 fs(pf);
    Application app(pf.context());
    auto text = [&](const char* key) {
        return tryLanguageText(pf.context().languageDatabase(), QString::fromLatin1(key)).value_or(QString());
    };
    fs.addCopy(QStringLiteral("nerova_tq58_a"));
    const QString cfg = copies == QLatin1String("none exported") ? fs.addCopy(kCopy) : exportedCopy(fs, kCopy);
    if (copies == QLatin1String("no model backup"))
        QVERIFY(QFile::remove(fs.backup(kCopy, QStringLiteral("TQ58-161.mdl.installed"))));
    if (copies == QLatin1String("cfg missing"))
        QVERIFY(QFile::remove(cfg));
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
    testkit::settle();
    QVERIFY(!app.restoreWindow());
}

QTEST_MAIN(TestRestore)
#include "tst_restore.moc"
