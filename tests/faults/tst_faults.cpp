// Every file the program writes, with a failure injected into each call of each write in turn:
// afterwards the file is the whole old one (or, when only the sync of its folder after the rename
// failed, the whole new one), no temporary file is left, the user was told which file and why,
// and the same operation works when tried again in the same process.
//
// The failures come from a preloaded library (faultshim.c) and from a real full disk: a small
// tmpfs mounted in a private mount namespace.

#include "FaultHarness.h"
#include "core/common/SystemReasons.h"
#include "core/export/WeightAndBalance.h"
#include "core/settings/LanguageStore.h"
#include "support/ExportFixture.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <unistd.h>

using namespace faults;
using namespace exporttest;

namespace {

const QString kDriver = QStringLiteral(MEROVAN_FAULT_DRIVER);
const QString kShim = QStringLiteral(MEROVAN_FAULT_SHIM);
const QString kCopy = QStringLiteral("nerova_tq58");

// Whether `message` gives the reason for `error` as the user reads it: in the language of one of
// the program's databases (the options switch it) where it has words for it, else the system's.
bool givesReason(const QString& message, int error, const TestProgramFolder& pf) {
    const QString system = QString::fromLocal8Bit(std::strerror(error));
    const auto key = systemreasons::keyOf(system);
    if (!key)
        return message.contains(system);
    for (const char* language : {"Data/languages/german.crf", "Data/languages/english.crf"}) {
        const auto told = tryLanguageText(pf.file(QString::fromLatin1(language)), *key);
        if (told && message.contains(*told))
            return true;
    }
    return false;
}

// One program folder made ready for an operation, with the content each file it writes has
// before and is to have after.
struct Scene {
    enum class Op { ExportFirst, ExportAgain, Options, Restore, RestoreEdited };

    TestProgramFolder pf;
    Fs2000 fs{pf};
    Op op;
    QString watched; // the folder whose files are compared
    bool watchRecursive = true;
    QMap<QString, QByteArray> before; // absolute path -> content, for the files the operation writes
    QMap<QString, QByteArray> after;  // what a successful run leaves there
    QStringList driverArguments;
    QString cfgBackup, modelBackup; // where the first export keeps the files as installed
    QByteArray record;              // what the first export records of their owner, group and mode

    explicit Scene(Op operation) : op(operation) {
        if (op == Op::Options) {
            pf.write(QStringLiteral("options.cfg"), "C:/Old/\r\n");
            pf.write(QStringLiteral("strt.cfg"), " 1 \r\n"); // the first start: all three files change
            watched = pf.path();
            watchRecursive = false;
            before[pf.file(QStringLiteral("options.cfg"))] = "C:/Old/\r\n";
            before[pf.file(QStringLiteral("strt.cfg"))] = " 1 \r\n";
            before[pf.file(QStringLiteral("Data/language.crf"))] = pf.read(QStringLiteral("Data/language.crf"));
            after[pf.file(QStringLiteral("options.cfg"))] = "D:/New/\r\n";
            after[pf.file(QStringLiteral("strt.cfg"))] = " 0 \r\n";
            after[pf.file(QStringLiteral("Data/language.crf"))] = pf.read(QStringLiteral("Data/languages/english.crf"));
            driverArguments =
                QStringList{pf.path()} + QStringLiteral("options --language English --folder D:/New/").split(' ');
            return;
        }
        const QString cfg = fs.addCopy(kCopy);
        const QString model = fs.model(kCopy);
        watched = fs.aircraft() + kCopy;
        cfgBackup = fs.backup(kCopy, QStringLiteral("aircraft.cfg.installed"));
        modelBackup = fs.backup(kCopy, QStringLiteral("TQ58-161.mdl.installed"));
        if (op == Op::Restore || op == Op::RestoreEdited) {
            // An export has been made; the backups hold the files as installed. Edited: aircraft.cfg
            // has edits of its own since, and the copy had no model before the export but has one
            // put in by hand since; the restore keeps both before it goes on.
            const QByteArray now = op == Op::Restore ? exportedCfg(threePersonsSection())
                                                     : exportedCfg(threePersonsSection()) + "// edited\r\n";
            const QByteArray modelNow = op == Op::Restore ? variantContent(4) : QByteArray("a model put in by hand");
            writeFile(cfg, now);
            writeFile(model, modelNow);
            writeFile(cfgBackup, kCfg);
            before[cfg] = now;
            before[model] = modelNow;
            after[cfg] = kCfg;
            if (op == Op::Restore) {
                writeFile(modelBackup, kInstalledModel);
                after[model] = kInstalledModel;
            } else {
                writeFile(fs.backup(kCopy, QStringLiteral("TQ58-161.mdl.absent")), "");
                after[model] = QByteArray(); // removed
            }
            driverArguments = {pf.path(), QStringLiteral("restore")};
            return;
        }
        if (op == Op::ExportAgain) {
            // An earlier export left its backups and the record of the files' modes.
            writeFile(cfgBackup, kCfg);
            writeFile(modelBackup, kInstalledModel);
            writeFile(fs.backup(kCopy, QStringLiteral("attributes.installed")), attributesRecord(cfg, model));
        }
        if (op == Op::ExportFirst)
            record = attributesRecord(cfg, model);
        before[cfg] = kCfg;
        before[model] = kInstalledModel;
        after[cfg] = exportedCfg(threePersonsSection());
        after[model] = variantContent(4);
        driverArguments =
            QStringList{pf.path()} + QStringLiteral("export --seats Co:75,PaxRight:60 --baggage 20").split(' ');
    }

    // The content a backup must have: its file as it was before the first export (for a restore,
    // what the restore brings back); a file a restore keeps: its file as it was before the restore.
    std::optional<QByteArray> backupOf(const QString& path) const {
        if (path.isEmpty())
            return std::nullopt;
        if (path == QFileInfo(cfgBackup).path() + QStringLiteral("/attributes.installed") && !record.isNull())
            return record;
        const bool restoring = op == Op::Restore || op == Op::RestoreEdited;
        const QString kept = keptFor(path);
        for (auto it = before.begin(); it != before.end(); ++it) {
            const bool isBackup = (path == cfgBackup && it.key().endsWith(QLatin1String("aircraft.cfg"))) ||
                                  (path == modelBackup && it.key().endsWith(QLatin1String(".mdl")));
            if (isBackup)
                return restoring ? after[it.key()] : it.value();
            if (!kept.isEmpty() && it.key().endsWith(kept))
                return it.value();
        }
        return std::nullopt;
    }

    // The file a restore kept at `path` stands for ("aircraft.cfg", "TQ58-161.mdl"); empty for
    // anything else. Its name holds the time it was kept.
    static QString keptFor(const QString& path) {
        static const QRegularExpression keptName(
            QStringLiteral("/merovan-installed/(aircraft|TQ58-161)\\.before-restore-[0-9_-]+\\.(cfg|mdl)$"));
        const auto m = keptName.match(path);
        return m.hasMatch() ? m.captured(1) + QLatin1Char('.') + m.captured(2) : QString();
    }

    // The export's closing words when a failure left the aircraft untouched.
    QString nothingChanged() const {
        return tryLanguageText(pf.file(QStringLiteral("Data/language.crf")), QStringLiteral("strExportNothingChanged"))
            .value_or(QStringLiteral("-"));
    }

    // The first file that does not hold what a successful run leaves there, or a backup or kept
    // file that does not hold what backupOf() says; empty when every one does.
    QString wrongFile() const {
        for (auto it = after.begin(); it != after.end(); ++it) {
            if (readFile(it.key()) != it.value())
                return it.key();
        }
        const auto h = snapshot(watched, watchRecursive);
        for (auto it = h.begin(); it != h.end(); ++it) {
            const auto backup = backupOf(QDir(watched).filePath(it.key()));
            if (!it.key().endsWith(QLatin1Char('/')) && backup && it.value() != *backup)
                return QDir(watched).filePath(it.key());
        }
        return {};
    }
};

// The operations, as the rows name them.
const struct {
    const char* name;
    Scene::Op op;
} kOperations[] = {
    {"export, first time (with backups)", Scene::Op::ExportFirst},
    {"export, backups there", Scene::Op::ExportAgain},
    {"options OK on the first start", Scene::Op::Options},
    {"restore as installed", Scene::Op::Restore},
    {"restore of an edited aircraft.cfg and a model put in by hand where there was none", Scene::Op::RestoreEdited}};

// The driver's environment: offscreen, and with a scene, the fault library preloaded for its
// program folder, tracing to `trace` when given.
QProcessEnvironment driverEnvironment(const Scene* scene = nullptr, const QString& trace = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    if (!scene)
        return env;
    env.insert(QStringLiteral("LD_PRELOAD"), kShim);
    env.insert(QStringLiteral("MEROVAN_FAULT_DIR"), QDir(scene->pf.path()).absolutePath());
    if (!trace.isEmpty())
        env.insert(QStringLiteral("MEROVAN_FAULT_TRACE"), trace);
    return env;
}

int g_faultsInjected = 0;
int g_folderSyncFaults = 0;
int g_diskFullCases = 0;

} // namespace

class TestFaults : public QObject {
    Q_OBJECT
private slots:
    void init() {
        if (kAddressSanitizer && QTest::currentTestFunction() != QLatin1String("fullDisk"))
            QSKIP(kPreloadSkip);
    }
    void callsAreCounted_data();
    void callsAreCounted();
    void everyCallFails_data();
    void everyCallFails();
    void withoutExclusiveRename_data();
    void withoutExclusiveRename();
    void twoProgramsAtOnceNeverMix_data();
    void twoProgramsAtOnceNeverMix();
    void fullDisk_data();
    void fullDisk();
    void cleanupTestCase();
};

namespace {

void addOperations() {
    QTest::addColumn<int>("op");
    for (const auto& o : kOperations)
        QTest::newRow(o.name) << int(o.op);
}

// Runs the operation once under the fault library without a fault, for its trace; `settings` are
// further settings of the library. A run that did not go through or warned is a failure.
Trace countCalls(Scene& scene, const QString& trace, QString* failure, const QStringList& settings = {}) {
    QProcessEnvironment env = driverEnvironment(&scene, trace);
    for (const QString& setting : settings)
        env.insert(setting, QStringLiteral("1"));
    Driver driver;
    driver.start(kDriver, scene.driverArguments, env);
    if (!driver.finish(120000))
        *failure = QStringLiteral("the driver did not run through: ") + driver.errorOutput() + driver.transcript();
    else if (!driver.dialogs(1, QStringLiteral("exclamation")).isEmpty())
        *failure = QStringLiteral("a warning: ") + driver.transcript();
    return Trace::read(trace);
}

} // namespace

// The library sees every call the operation makes on the files it writes: one creating open, at
// least one write, two syncs (the file, then its folder) and one rename per file.
void TestFaults::callsAreCounted_data() {
    addOperations();
}

void TestFaults::callsAreCounted() {
    QFETCH(int, op);
    Scene scene{Scene::Op(op)};
    QVERIFY(scene.pf.isValid());
    QTemporaryDir traces;
    QString failure;
    const Trace trace = countCalls(scene, traces.filePath(QStringLiteral("trace")), &failure);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));

    // The files written, in the order of their renames (a file a restore keeps as the one it keeps).
    QStringList renamed;
    for (const TraceCall& c : trace.calls) {
        if (c.kind == QLatin1String("rename"))
            renamed.append(Scene::keptFor(c.second).isEmpty() ? c.second : "kept " + Scene::keptFor(c.second));
    }
    QStringList expected;
    int extraSyncs = 0; // of folders besides those of each file's replacement
    int folders = 0;    // renamed into place like the files, but made without an open
    const QString air = scene.fs.aircraft() + kCopy + QLatin1Char('/');
    switch (Scene::Op(op)) {
    case Scene::Op::ExportFirst:
        // The backups' folder takes its name only when its owner and permissions are set.
        expected = {air + "merovan-installed",  scene.cfgBackup,
                    scene.modelBackup,          air + "merovan-installed/attributes.installed",
                    air + "Model/TQ58-161.mdl", air + "aircraft.cfg"};
        extraSyncs = 2; // the new backups folder and the folder it is in
        folders = 1;
        break;
    case Scene::Op::RestoreEdited:
        expected = {"kept aircraft.cfg", "kept TQ58-161.mdl", air + "aircraft.cfg"};
        extraSyncs = 1; // the Model folder after the model's removal
        break;
    case Scene::Op::ExportAgain:
    case Scene::Op::Restore:
        expected = {air + "Model/TQ58-161.mdl", air + "aircraft.cfg"};
        break;
    case Scene::Op::Options:
        expected = {scene.pf.file("options.cfg"), scene.pf.file("Data/language.crf"), scene.pf.file("strt.cfg")};
        break;
    }
    QCOMPARE(renamed, expected);
    const int files = int(expected.size()) - folders;
    QCOMPARE(trace.count(QStringLiteral("open")), files);
    QVERIFY(trace.count(QStringLiteral("write")) >= files);
    QCOMPARE(trace.count(QStringLiteral("fsync")), 2 * files + extraSyncs);
    for (const QString& path : expected.mid(folders)) {
        if (!path.startsWith(QLatin1String("kept ")))
            QCOMPARE(readFile(path), scene.backupOf(path).value_or(scene.after.value(path)));
    }
}

void TestFaults::everyCallFails_data() {
    QTest::addColumn<int>("op");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("partial");
    const struct {
        const char* name;
        const char* kind;
        int error;
        bool partial;
    } faults[] = {{"open of the temporary file, EACCES", "open", EACCES, false},
                  {"write, ENOSPC", "write", ENOSPC, false},
                  {"short write, then ENOSPC", "write", ENOSPC, true},
                  {"fsync, EIO", "fsync", EIO, false},
                  {"rename, EXDEV", "rename", EXDEV, false},
                  {"rename, EACCES", "rename", EACCES, false},
                  {"rename, EBUSY", "rename", EBUSY, false}};
    for (const auto& o : kOperations) {
        for (const auto& f : faults) {
            QTest::addRow("%s: %s", o.name, f.name) << int(o.op) << QString::fromLatin1(f.kind) << f.error << f.partial;
        }
    }
}

void TestFaults::everyCallFails() {
    QFETCH(int, op);
    QFETCH(QString, kind);
    QFETCH(int, error);
    QFETCH(bool, partial);

    QTemporaryDir traces;
    int calls = 0;
    {
        Scene counting{Scene::Op(op)};
        QString failure;
        calls = countCalls(counting, traces.filePath(QStringLiteral("count")), &failure).count(kind);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
    QVERIFY(calls > 0);

    for (int n = 1; n <= calls; ++n) {
        const QString where = QStringLiteral("%1 call %2 of %3").arg(kind).arg(n).arg(calls);
        Scene scene{Scene::Op(op)};
        QVERIFY(scene.pf.isValid());
        const QMap<QString, QByteArray> before = snapshot(scene.watched, scene.watchRecursive);
        const QString tracePath = traces.filePath(QStringLiteral("trace%1").arg(n));
        QProcessEnvironment env = driverEnvironment(&scene, tracePath);
        env.insert(QStringLiteral("MEROVAN_FAULT_CLASS"), kind);
        env.insert(QStringLiteral("MEROVAN_FAULT_NTH"), QString::number(n));
        env.insert(QStringLiteral("MEROVAN_FAULT_ERRNO"), QString::number(error));
        if (partial)
            env.insert(QStringLiteral("MEROVAN_FAULT_PARTIAL"), QStringLiteral("1"));
        Driver driver;
        driver.start(kDriver, scene.driverArguments + QStringList{"--runs", "2", "--pause"}, env);
        QVERIFY2(driver.waitForLine(QStringLiteral("PAUSE 1")),
                 qPrintable(where + ": " + driver.errorOutput() + driver.transcript()));

        // The fault happened, and on which file.
        const Trace trace = Trace::read(tracePath);
        QVERIFY2(trace.fault, qPrintable(where + ": no fault was injected"));
        ++g_faultsInjected;
        const QString file = trace.fileOf(*trace.fault);
        const bool afterRename = Trace::isFolderSync(*trace.fault);
        g_folderSyncFaults += afterRename;
        QVERIFY2(!file.isEmpty(), qPrintable(where));

        // The user was told: the file and the reason, and not that all went well.
        const auto warnings = driver.dialogs(1, QStringLiteral("exclamation"));
        QVERIFY2(warnings.size() == 1, qPrintable(where + ": " + driver.transcript()));
        const QString& message = warnings[0].text;
        QVERIFY2(message.contains(QDir::toNativeSeparators(file)), qPrintable(where + ": " + message));
        QVERIFY2(givesReason(message, error, scene.pf), qPrintable(where + ": " + message));
        QVERIFY2(!message.contains(QLatin1String("Unknown error"), Qt::CaseInsensitive), qPrintable(message));
        QVERIFY2(driver.dialogs(1, QStringLiteral("information")).isEmpty(), qPrintable(where));
        // Where the message says the aircraft is as it was, every one of its files must be.
        const bool saysNothingChanged = scene.op != Scene::Op::Options && message.contains(scene.nothingChanged());

        // Every file is whole. The one the fault hit is the old one, or the new one where only its
        // folder's sync failed. The export stops at the fault, so its other files are old too (the
        // model put back); the options go on with their next step, so theirs are new. A file that
        // was not there is a backup of what its file held before.
        const QMap<QString, QByteArray> after = snapshot(scene.watched, scene.watchRecursive);
        for (auto it = after.begin(); it != after.end(); ++it) {
            const QString path = QDir(scene.watched).filePath(it.key());
            const QString context = where + ": " + path;
            if (!before.contains(it.key()) && it.key().endsWith(QLatin1Char('/'))) {
                QVERIFY2(it.key() == QLatin1String("merovan-installed/"), qPrintable(context + " appeared"));
            } else if (!before.contains(it.key())) {
                const auto backup = scene.backupOf(path);
                QVERIFY2(backup, qPrintable(context + " appeared"));
                QVERIFY2(it.value() == *backup, qPrintable(context + " is not the old file"));
            } else if (path == file && !saysNothingChanged) {
                const bool old = it.value() == before[it.key()];
                const bool whole = afterRename && it.value() == scene.after.value(path);
                QVERIFY2(old || whole, qPrintable(context + " is neither the old file nor the new one"));
            } else if (scene.op == Scene::Op::Options && scene.after.contains(path)) {
                QVERIFY2(it.value() == scene.after[path], qPrintable(context + " is not the new file"));
            } else {
                QVERIFY2(it.value() == before[it.key()], qPrintable(context + " changed"));
            }
        }
        for (auto it = before.begin(); it != before.end(); ++it)
            QVERIFY2(after.contains(it.key()), qPrintable(where + ": " + it.key() + " is gone"));
        QVERIFY2(temporaryFiles(scene.pf.path()).isEmpty(),
                 qPrintable(where + ": " + temporaryFiles(scene.pf.path()).join(' ')));

        // The same operation in the same process now works.
        driver.resume();
        QVERIFY2(driver.waitForLine(QStringLiteral("PAUSE 2")), qPrintable(where + ": " + driver.transcript()));
        QVERIFY2(driver.dialogs(2, QStringLiteral("exclamation")).isEmpty(),
                 qPrintable(where + ": " + driver.transcript()));
        if (scene.op != Scene::Op::Options)
            QCOMPARE(driver.dialogs(2, QStringLiteral("information")).size(), 1);
        QCOMPARE(driver.state(2), QStringLiteral("main=1\toptions=0\texport=0"));
        // A second export of the same loading gives the same bytes as the first; a second restore,
        // the files as installed.
        QVERIFY2(scene.wrongFile().isEmpty(), qPrintable(where + ": second run, " + scene.wrongFile()));
        QVERIFY(temporaryFiles(scene.pf.path()).isEmpty());
        QVERIFY2(driver.finish(), qPrintable(where + ": " + driver.errorOutput()));
    }
}

// A file system whose rename cannot refuse to replace (ntfs-3g, many network shares): a backup
// still takes its name only where nothing is, by a hard link for a file and, for the backups'
// folder, after a look that nothing is there.
void TestFaults::withoutExclusiveRename_data() {
    QTest::addColumn<int>("op");
    QTest::newRow("first export: the backups made all the same") << int(Scene::Op::ExportFirst);
    QTest::newRow("restore of an edited aircraft.cfg: the edited one kept all the same")
        << int(Scene::Op::RestoreEdited);
}

void TestFaults::withoutExclusiveRename() {
    QFETCH(int, op);
    Scene scene{Scene::Op(op)};
    QVERIFY(scene.pf.isValid());
    QTemporaryDir traces;
    QString failure;
    const Trace trace = countCalls(scene, traces.filePath(QStringLiteral("trace")), &failure,
                                   {QStringLiteral("MEROVAN_FAULT_NO_NOREPLACE")});
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QVERIFY(trace.count(QStringLiteral("noreplace")) > 0);
    QVERIFY2(scene.wrongFile().isEmpty(), qPrintable(scene.wrongFile()));
    QCOMPARE(temporaryFiles(scene.pf.path()), QStringList());
}

// Two instances of the program export different loadings to the same copy at once, the first on a
// slow disk: its sync of aircraft.cfg takes long, and the second starts while the first is writing
// it, its new model already in place. The second waits for the first, or after a moment says that
// another program is changing the aircraft and changes nothing; aircraft.cfg and the model always
// hold one and the same loading, never one each.
void TestFaults::twoProgramsAtOnceNeverMix_data() {
    QTest::addColumn<int>("slowSync");  // milliseconds the first one's sync of aircraft.cfg takes
    QTest::addColumn<bool>("bothDone"); // else the second gives up
    QTest::newRow("the first done within the moment the second waits: both written in turn, one loading")
        << 1000 << true;
    QTest::newRow("the first slower than that: the second says so and changes nothing, one loading") << 5000 << false;
}

void TestFaults::twoProgramsAtOnceNeverMix() {
    QFETCH(int, slowSync);
    QFETCH(bool, bothDone);
    Scene scene{Scene::Op::ExportAgain};
    QVERIFY(scene.pf.isValid());
    const QString air = scene.fs.aircraft() + kCopy;
    const QString cfg = air + QStringLiteral("/aircraft.cfg");
    const QString model = air + QStringLiteral("/Model/TQ58-161.mdl");
    // The first seats the co-pilot and the right passenger (model 4), the second the left passenger too (5).
    const QByteArray cfgA = wab::rewriteWeightAndBalance(kCfg, {176, 165, std::nullopt, 132, 44});
    const QByteArray cfgB = wab::rewriteWeightAndBalance(kCfg, {176, 165, 110, 132, 44});

    QProcessEnvironment slow = driverEnvironment(&scene);
    slow.insert(QStringLiteral("MEROVAN_FAULT_SLOW_FSYNC_MS"), QString::number(slowSync));
    slow.insert(QStringLiteral("MEROVAN_FAULT_SLOW_MATCH"), QStringLiteral("/.aircraft.cfg."));
    Driver first;
    Driver second;
    first.start(kDriver, scene.driverArguments + QStringList{"--hold"}, slow);
    second.start(kDriver,
                 {scene.pf.path(), "export", "--seats", "Co:75,PaxLeft:50,PaxRight:60", "--baggage", "20", "--hold"},
                 driverEnvironment());
    QVERIFY2(first.waitForLine(QStringLiteral("READY")), qPrintable(first.errorOutput()));
    QVERIFY2(second.waitForLine(QStringLiteral("READY")), qPrintable(second.errorOutput()));

    // The second starts once the first writes aircraft.cfg, its model already replaced.
    first.resume();
    QVERIFY(first.process().waitForBytesWritten(10000));
    QDeadlineTimer deadline(30000);
    while (temporaryFiles(air).filter(QStringLiteral("/.aircraft.cfg.")).isEmpty() && !deadline.hasExpired())
        QThread::msleep(5);
    QVERIFY2(!deadline.hasExpired(), "the first instance never wrote aircraft.cfg");
    QCOMPARE(readFile(model), variantContent(4));
    second.resume();
    QVERIFY(second.process().waitForBytesWritten(10000));
    QVERIFY2(first.waitForLine(QStringLiteral("DONE 1")), qPrintable(first.transcript()));
    QVERIFY2(second.waitForLine(QStringLiteral("DONE 1")), qPrintable(second.transcript()));
    QVERIFY(first.finish() && second.finish());

    QCOMPARE(first.dialogs(1, QStringLiteral("information")).size(), 1);
    QCOMPARE(second.dialogs(1, QStringLiteral("information")).size(), bothDone ? 1 : 0);
    if (!bothDone) {
        const auto warnings = second.dialogs(1, QStringLiteral("exclamation"));
        QVERIFY2(warnings.size() == 1, qPrintable(second.transcript()));
        const QString busy =
            tryLanguageText(scene.pf.file(QStringLiteral("Data/language.crf")), QStringLiteral("strExportBusy"))
                .value_or(QStringLiteral("-"))
                .arg(QDir::toNativeSeparators(air + QLatin1Char('/')));
        QVERIFY2(warnings[0].text.startsWith(busy), qPrintable(warnings[0].text));
        QVERIFY2(warnings[0].text.contains(scene.nothingChanged()), qPrintable(warnings[0].text));
    }
    const QByteArray cfgNow = readFile(cfg);
    const QByteArray modelNow = readFile(model);
    QVERIFY2(cfgNow == cfgA || cfgNow == cfgB, cfgNow.constData());
    QCOMPARE(modelNow, variantContent(cfgNow == cfgA ? 4 : 5)); // never the loading of one, the model of the other
    QCOMPARE(cfgNow, bothDone ? cfgB : cfgA);
    QCOMPARE(temporaryFiles(air), QStringList());
}

// A real full disk: the aircraft's folder is a 64 KiB tmpfs, mounted in a mount namespace of the
// driver's own, so nothing outside sees it.
void TestFaults::fullDisk_data() {
    QTest::addColumn<int>("modelSize");   // bytes of the model variant to be copied; 0: no model change
    QTest::addColumn<int>("cfgSize");     // bytes of the aircraft.cfg
    QTest::addColumn<bool>("backups");    // an earlier export left its backups
    QTest::addColumn<int>("freeBytes");   // room left on the disk; -1: what is left after the files
    QTest::addColumn<QString>("failing"); // the file the message must name, relative to the aircraft
    QTest::addColumn<bool>("readOnly");   // the disk is mounted read-only instead
    QTest::newRow("model 12,000 B (< Qt's 16 KiB buffer), 8 KiB free")
        << 12000 << 0 << true << 8192 << "Model/TQ58-161.mdl" << false;
    QTest::newRow("model 100,000 B, larger than the disk")
        << 100000 << 0 << true << -1 << "Model/TQ58-161.mdl" << false;
    QTest::newRow("aircraft.cfg 20,000 B (> Qt's 16 KiB buffer), 16 KiB free")
        << 0 << 20000 << true << 16384 << "aircraft.cfg" << false;
    QTest::newRow("aircraft.cfg 2,000 B, disk full") << 0 << 2000 << true << 0 << "aircraft.cfg" << false;
    QTest::newRow("first export, backup of a 20,000 B aircraft.cfg, 16 KiB free")
        << 0 << 20000 << false << 16384 << "merovan-installed/aircraft.cfg.installed" << false;
    QTest::newRow("a read-only file system: said as such, not as another user's file")
        << 12000 << 0 << true << -1 << "aircraft.cfg" << true;
}

void TestFaults::fullDisk() {
    QFETCH(int, modelSize);
    QFETCH(int, cfgSize);
    QFETCH(bool, backups);
    QFETCH(int, freeBytes);
    QFETCH(QString, failing);
    QFETCH(bool, readOnly);

    TestProgramFolder pf;
    Fs2000 fs{pf};
    QVERIFY(pf.isValid());
    const QString air = fs.aircraft() + kCopy;
    QVERIFY(QDir().mkpath(air));

    // The files go to a staging folder; the namespace copies them onto its tmpfs.
    const QString stage = pf.path() + QStringLiteral("stage");
    QByteArray cfg = kCfg;
    if (cfgSize > 0) {
        QByteArray padding;
        for (int line = 0; cfg.size() + padding.size() < cfgSize; ++line)
            padding +=
                "// padding line " + QByteArray::number(line).rightJustified(6, '0') + QByteArray(40, '-') + "\r\n";
        cfg = kHead + padding.left(cfgSize - cfg.size() - 2) + "\r\n" + kOldSection + kTail;
        QCOMPARE(cfg.size(), qsizetype(cfgSize));
    }
    QVERIFY(writeFile(stage + QStringLiteral("/aircraft.cfg"), cfg));
    QVERIFY(writeFile(stage + QStringLiteral("/Model/TQ58-161.mdl"), kInstalledModel));
    if (backups) {
        QVERIFY(writeFile(stage + QStringLiteral("/merovan-installed/aircraft.cfg.installed"), cfg));
        QVERIFY(writeFile(stage + QStringLiteral("/merovan-installed/TQ58-161.mdl.installed"), kInstalledModel));
        QVERIFY(writeFile(stage + QStringLiteral("/merovan-installed/attributes.installed"),
                          "aircraft.cfg\t0644\t0\t0\r\nTQ58-161.mdl\t0644\t0\t0\r\n"));
    }
    QByteArray variant;
    for (int i = 0; variant.size() < modelSize; ++i)
        variant += "vertex " + QByteArray::number(i) + "\n";
    variant.truncate(modelSize);
    if (modelSize > 0)
        pf.write(QStringLiteral("Models/4.mdl"), variant);
    const QString seats = modelSize > 0 ? QStringLiteral("Co:75,PaxRight:60") : QStringLiteral("PaxRight:60");

    // Mount, fill, leave the room asked for, then become the driver.
    const QString script = QStringLiteral("set -e\n"
                                          "mount -t tmpfs -o size=64k merovan-full \"$AIR\"\n"
                                          "cp -a \"$STAGE/.\" \"$AIR/\"\n"
                                          "if [ \"$FREE\" -ge 0 ]; then\n"
                                          "  dd if=/dev/zero of=\"$AIR/filler\" bs=4096 2>/dev/null || true\n"
                                          "  if [ \"$FREE\" -gt 0 ]; then truncate -s -\"$FREE\" \"$AIR/filler\"; fi\n"
                                          "fi\n"
                                          "if [ \"$READONLY\" = 1 ]; then mount -o remount,ro \"$AIR\"; fi\n"
                                          "echo MOUNTED\n"
                                          "exec \"$@\"\n");
    QProcessEnvironment env = driverEnvironment();
    env.insert(QStringLiteral("AIR"), air);
    env.insert(QStringLiteral("STAGE"), stage);
    env.insert(QStringLiteral("FREE"), QString::number(freeBytes));
    env.insert(QStringLiteral("READONLY"), readOnly ? QStringLiteral("1") : QStringLiteral("0"));
    Driver driver;
    driver.start(QStringLiteral("unshare"),
                 QStringList{"-m", "sh", "-c", script, "sh", kDriver, pf.path(), "export", "--seats", seats,
                             "--baggage", "20", "--runs", "2", "--pause"},
                 env);
    if (!driver.waitForLine(QStringLiteral("MOUNTED"), 30000)) {
        driver.finish(10000);
        QSKIP(qPrintable(QStringLiteral("a tmpfs in a private mount namespace needs unshare and mount as the "
                                        "superuser (or CAP_SYS_ADMIN), which this run lacks: ") +
                         driver.errorOutput().trimmed()));
    }
    QVERIFY2(driver.waitForLine(QStringLiteral("PAUSE 1")), qPrintable(driver.errorOutput() + driver.transcript()));
    ++g_diskFullCases;

    // The tmpfs is seen through the driver's own view of the file system.
    const QString inside = QStringLiteral("/proc/%1/root%2").arg(driver.process().processId()).arg(air);
    QVERIFY2(QFileInfo::exists(inside + QStringLiteral("/aircraft.cfg")), qPrintable(inside));
    auto contentOf = [&](const QString& relative) { return readFile(inside + QLatin1Char('/') + relative); };

    const auto warnings = driver.dialogs(1, QStringLiteral("exclamation"));
    QVERIFY2(warnings.size() == 1, qPrintable(driver.transcript()));
    QVERIFY2(warnings[0].text.contains(air + QLatin1Char('/') + failing), qPrintable(warnings[0].text));
    const QString readOnlyText =
        germanText("strExportReadOnlyVolume").arg(QDir::toNativeSeparators(air + QLatin1Char('/') + failing));
    QVERIFY2(readOnly ? warnings[0].text.contains(readOnlyText) : givesReason(warnings[0].text, ENOSPC, pf),
             qPrintable(warnings[0].text));
    QVERIFY(driver.dialogs(1, QStringLiteral("information")).isEmpty());
    QCOMPARE(contentOf(QStringLiteral("aircraft.cfg")), cfg);
    QCOMPARE(contentOf(QStringLiteral("Model/TQ58-161.mdl")), kInstalledModel);
    if (backups || QFileInfo::exists(inside + QStringLiteral("/merovan-installed/aircraft.cfg.installed")))
        QCOMPARE(contentOf(QStringLiteral("merovan-installed/aircraft.cfg.installed")), cfg);
    if (backups || QFileInfo::exists(inside + QStringLiteral("/merovan-installed/TQ58-161.mdl.installed")))
        QCOMPARE(contentOf(QStringLiteral("merovan-installed/TQ58-161.mdl.installed")), kInstalledModel);
    QVERIFY2(temporaryFiles(inside).isEmpty(), qPrintable(temporaryFiles(inside).join(' ')));

    // Room again (a larger disk, the filler gone): the export in the same process goes through.
    QFile::remove(inside + QStringLiteral("/filler"));
    QCOMPARE(
        QProcess::execute(QStringLiteral("nsenter"), {"-t", QString::number(driver.process().processId()), "-m",
                                                      "mount", "-o", readOnly ? "remount,rw" : "remount,size=1m", air}),
        0);
    driver.resume();
    QVERIFY2(driver.waitForLine(QStringLiteral("PAUSE 2")), qPrintable(driver.transcript()));
    QVERIFY2(driver.dialogs(2, QStringLiteral("exclamation")).isEmpty(), qPrintable(driver.transcript()));
    QCOMPARE(driver.dialogs(2, QStringLiteral("information")).size(), 1);
    const QByteArray written = contentOf(QStringLiteral("aircraft.cfg"));
    QVERIFY(written.startsWith(cfg.left(cfg.indexOf("[WEIGHT_AND_BALANCE]"))));
    QVERIFY(written.endsWith(kTail));
    QCOMPARE(contentOf(QStringLiteral("Model/TQ58-161.mdl")), modelSize > 0 ? variant : kInstalledModel);
    QCOMPARE(contentOf(QStringLiteral("merovan-installed/aircraft.cfg.installed")), cfg);
    QVERIFY(temporaryFiles(inside).isEmpty());
    QVERIFY2(driver.finish(), qPrintable(driver.errorOutput()));
}

void TestFaults::cleanupTestCase() {
    qInfo("faults injected through the library: %d (of them after the rename, in the folder sync: %d); "
          "full-disk cases: %d",
          g_faultsInjected, g_folderSyncFaults, g_diskFullCases);
}

QTEST_GUILESS_MAIN(TestFaults)
#include "tst_faults.moc"
