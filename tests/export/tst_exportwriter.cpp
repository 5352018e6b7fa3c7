#include "ExportFixture.h"

#include "common/AtomicFile.h"
#include "export/ExportWriter.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <cstring>
#include <iostream>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace exporttest;
using exportwriter::Failure;
using Kind = exportwriter::Failure::Kind;

namespace {

const QString kCopy = QStringLiteral("nerova_tq58");
constexpr const char* kChildSwitch = "--export-as-child";

// Pilot 80, co-pilot 75, right passenger 60, baggage 20: variant 4.
exportwriter::Job workedJob(const QString& cfgPath, const QString& programFolder) {
    exportwriter::Job job;
    job.cfgPath = cfgPath;
    job.programFolder = programFolder;
    job.coPilot = true;
    job.paxRight = true;
    job.loads = {176, 165, std::nullopt, 132, 44};
    return job;
}

QByteArray workedCfg() {
    return kHead + "\r\n" + workedExampleSection() + kTail;
}

// File operations that fail for one path and otherwise do the real thing.
exportwriter::FileOps failingFor(const QString& dataTarget, const QString& copyTarget) {
    exportwriter::FileOps ops = exportwriter::FileOps::atomic();
    ops.replaceWithData = [dataTarget](const QString& path, const QByteArray& data, QString* reason) {
        if (path == dataTarget) {
            *reason = QStringLiteral("No space left on device");
            return false;
        }
        return atomicfile::replaceWithData(path, data, reason);
    };
    ops.replaceWithCopy = [copyTarget](const QString& source, const QString& target, QString* reason) {
        if (target == copyTarget) {
            *reason = QStringLiteral("No space left on device");
            return false;
        }
        return atomicfile::replaceWithCopy(source, target, reason);
    };
    return ops;
}

// "" for a successful export, else what stopped it, so that a failing test says why.
QString failureText(const std::optional<Failure>& failure) {
    if (!failure)
        return {};
    return QStringLiteral("kind %1: %2 (%3)").arg(int(failure->kind)).arg(failure->path, failure->reason);
}

bool setMode(const QString& path, QFileDevice::Permissions permissions) {
    return QFile::setPermissions(path, permissions);
}

constexpr QFileDevice::Permissions kOpenFolder = QFileDevice::Permissions(0x7777);
constexpr QFileDevice::Permissions kShutFolder = QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                 QFileDevice::ReadGroup | QFileDevice::ExeGroup |
                                                 QFileDevice::ReadOther | QFileDevice::ExeOther;
constexpr QFileDevice::Permissions kOpenFile = QFileDevice::Permissions(0x6666);
constexpr QFileDevice::Permissions kShutFile = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;

// Runs the export of workedJob() in a process of its own as the unprivileged user "nobody", for
// whom file permissions count (they do not for root, which the tests may run as).
std::optional<Failure> writeAsChild(const QString& cfgPath, const QString& programFolder, bool* ran) {
    *ran = false;
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (setpriv.isEmpty())
        return std::nullopt;
    QProcess child;
    child.start(setpriv,
                {QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"), QStringLiteral("--clear-groups"),
                 QCoreApplication::applicationFilePath(), QString::fromLatin1(kChildSwitch), cfgPath, programFolder});
    if (!child.waitForFinished(60000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() > 1)
        return std::nullopt;
    *ran = true;
    if (child.exitCode() == 0)
        return std::nullopt;
    const QList<QByteArray> parts = child.readAllStandardOutput().trimmed().split('\n');
    if (parts.size() < 2)
        return std::nullopt;
    return Failure{static_cast<Kind>(parts[0].toInt()), QString::fromLocal8Bit(parts[1]), {}, {}, {}, {}};
}

} // namespace

class TestExportWriter : public QObject {
    Q_OBJECT
private slots:
    void workedExample();
    void variantFollowsTheSeats_data();
    void variantFollowsTheSeats();
    void coPilotFreeWithPassengerLeavesModel();
    void backupsAppearOnceAndStay();
    void backupInOtherLetterCaseCounts();
    void existingFileNamesAreKept();
    void missingModelFileIsCreated();
    void failureLeavesBothFiles_data();
    void failureLeavesBothFiles();
    void modelPutBackWhenCfgCannotBeWritten();
    void createdModelRemovedWhenCfgCannotBeWritten();
    void modelThatCannotBePutBackIsReported();
    void protectedFilesAreRefused_data();
    void protectedFilesAreRefused();
};

void TestExportWriter::workedExample() {
    TestProgramFolder pf;
    Fs2000 fs(pf);
    const QString cfg = fs.addCopy(kCopy);
    QCOMPARE(failureText(exportwriter::write(workedJob(cfg, pf.path()))), QString());
    QCOMPARE(readFile(cfg), workedCfg());
    QCOMPARE(readFile(fs.model(kCopy)), variantContent(4));

    const QString folder = fs.aircraft() + kCopy;
    const QMap<QString, QByteArray> expected{{"aircraft.cfg", workedCfg()},
                                             {"aircraft.cfg.bak", kCfg},
                                             {"Model/", {}},
                                             {"Model/TQ58-161.mdl", variantContent(4)},
                                             {"Model/TQ58-161.mdl.bak", kInstalledModel}};
    QCOMPARE(snapshot(folder), expected);
    QCOMPARE(readFile(pf.file(QStringLiteral("Models/4.mdl"))), variantContent(4));
}

void TestExportWriter::variantFollowsTheSeats_data() {
    QTest::addColumn<bool>("co");
    QTest::addColumn<bool>("left");
    QTest::addColumn<bool>("right");
    QTest::addColumn<int>("variant");
    QTest::newRow("pilot alone") << false << false << false << 1;
    QTest::newRow("co-pilot") << true << false << false << 2;
    QTest::newRow("co-pilot and left") << true << true << false << 3;
    QTest::newRow("all seats") << true << true << true << 5;
}

void TestExportWriter::variantFollowsTheSeats() {
    QFETCH(bool, co);
    QFETCH(bool, left);
    QFETCH(bool, right);
    QFETCH(int, variant);
    TestProgramFolder pf;
    Fs2000 fs(pf);
    auto job = workedJob(fs.addCopy(kCopy), pf.path());
    job.coPilot = co;
    job.paxLeft = left;
    job.paxRight = right;
    QCOMPARE(failureText(exportwriter::write(job)), QString());
    QCOMPARE(readFile(fs.model(kCopy)), variantContent(variant));
}

void TestExportWriter::coPilotFreeWithPassengerLeavesModel() {
    TestProgramFolder pf;
    Fs2000 fs(pf);
    auto job = workedJob(fs.addCopy(kCopy), pf.path());
    job.coPilot = false;
    job.paxLeft = true;
    job.paxRight = false;
    job.loads = {176, std::nullopt, 132, std::nullopt, 44};
    QCOMPARE(failureText(exportwriter::write(job)), QString());
    QCOMPARE(readFile(fs.model(kCopy)), kInstalledModel);
    QVERIFY(!QFile::exists(fs.model(kCopy) + QStringLiteral(".bak")));
    QCOMPARE(readFile(job.cfgPath), kHead + "\r\n" + wab::section(job.loads) + kTail);
}

void TestExportWriter::backupsAppearOnceAndStay() {
    TestProgramFolder pf;
    Fs2000 fs(pf);
    auto job = workedJob(fs.addCopy(kCopy), pf.path());
    QCOMPARE(failureText(exportwriter::write(job)), QString());
    job.paxLeft = true;
    job.loads.paxLeft = 99;
    QCOMPARE(failureText(exportwriter::write(job)), QString());
    QCOMPARE(readFile(fs.model(kCopy)), variantContent(5));
    QCOMPARE(readFile(job.cfgPath), kHead + "\r\n\r\n" + wab::section(job.loads) + kTail);
    // Still the files as installed, not those of the first export.
    QCOMPARE(readFile(job.cfgPath + QStringLiteral(".bak")), kCfg);
    QCOMPARE(readFile(fs.model(kCopy) + QStringLiteral(".bak")), kInstalledModel);
}

void TestExportWriter::backupInOtherLetterCaseCounts() {
    TestProgramFolder pf;
    Fs2000 fs(pf);
    const QString cfg = fs.addCopy(kCopy);
    QVERIFY(writeFile(fs.aircraft() + kCopy + QStringLiteral("/AIRCRAFT.CFG.BAK"), "older backup"));
    QCOMPARE(failureText(exportwriter::write(workedJob(cfg, pf.path()))), QString());
    const auto files = snapshot(fs.aircraft() + kCopy);
    QVERIFY(!files.contains(QStringLiteral("aircraft.cfg.bak")));
    QCOMPARE(files.value(QStringLiteral("AIRCRAFT.CFG.BAK")), QByteArray("older backup"));
}

void TestExportWriter::existingFileNamesAreKept() {
    TestProgramFolder pf;
    Fs2000 fs(pf);
    const QString cfg = fs.addCopy(QStringLiteral("NEROVA_TQ58_float"), kCfg, kInstalledModel,
                                   QStringLiteral("AIRCRAFT.CFG"), QStringLiteral("MODEL/tq58-161.MDL"));
    QCOMPARE(failureText(exportwriter::write(workedJob(cfg, pf.path()))), QString());
    const QMap<QString, QByteArray> expected{{"AIRCRAFT.CFG", workedCfg()},
                                             {"AIRCRAFT.CFG.bak", kCfg},
                                             {"MODEL/", {}},
                                             {"MODEL/tq58-161.MDL", variantContent(4)},
                                             {"MODEL/tq58-161.MDL.bak", kInstalledModel}};
    QCOMPARE(snapshot(fs.aircraft() + QStringLiteral("NEROVA_TQ58_float")), expected);
}

void TestExportWriter::missingModelFileIsCreated() {
    TestProgramFolder pf;
    Fs2000 fs(pf);
    const QString cfg = fs.addCopy(kCopy, kCfg, QByteArray());
    QVERIFY(QDir().mkpath(fs.aircraft() + kCopy + QStringLiteral("/Model")));
    QCOMPARE(failureText(exportwriter::write(workedJob(cfg, pf.path()))), QString());
    QCOMPARE(readFile(fs.model(kCopy)), variantContent(4));
    QVERIFY(!QFile::exists(fs.model(kCopy) + QStringLiteral(".bak")));
}

void TestExportWriter::failureLeavesBothFiles_data() {
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("path"); // relative to the program folder
    QTest::addColumn<bool>("backupsMayAppear");
    const QString copy = QStringLiteral("FS2000/Aircraft/nerova_tq58/");
    QTest::newRow("variant missing") << "variant missing" << int(Kind::VariantMissing) << "Models/4.mdl" << false;
    QTest::newRow("variant is a folder") << "variant folder" << int(Kind::NotAFile) << "Models/4.mdl" << false;
    QTest::newRow("Model folder missing")
        << "no Model folder" << int(Kind::ModelFolderMissing) << copy + "Model" << false;
    QTest::newRow("model file is a folder")
        << "model folder" << int(Kind::NotAFile) << copy + "Model/TQ58-161.mdl" << false;
    QTest::newRow("aircraft.cfg gone since the listing")
        << "cfg missing" << int(Kind::FileMissing) << copy + "aircraft.cfg" << false;
    QTest::newRow("aircraft.cfg is a folder") << "cfg folder" << int(Kind::NotAFile) << copy + "aircraft.cfg" << false;
    QTest::newRow("backup cannot be made")
        << "backup fails" << int(Kind::BackupFailed) << copy + "aircraft.cfg.bak" << false;
    QTest::newRow("model cannot be replaced")
        << "model write fails" << int(Kind::WriteFailed) << copy + "Model/TQ58-161.mdl" << true;
    QTest::newRow("aircraft.cfg cannot be replaced")
        << "cfg write fails" << int(Kind::WriteFailed) << copy + "aircraft.cfg" << true;
}

void TestExportWriter::failureLeavesBothFiles() {
    QFETCH(QString, scenario);
    QFETCH(int, kind);
    QFETCH(QString, path);
    QFETCH(bool, backupsMayAppear);
    TestProgramFolder pf;
    Fs2000 fs(pf);
    const QString cfg = fs.addCopy(kCopy);
    const QString model = fs.model(kCopy);
    exportwriter::FileOps ops = exportwriter::FileOps::atomic();
    if (scenario == QLatin1String("variant missing")) {
        pf.remove(QStringLiteral("Models/4.mdl"));
    } else if (scenario == QLatin1String("variant folder")) {
        pf.remove(QStringLiteral("Models/4.mdl"));
        QVERIFY(QDir().mkpath(pf.file(QStringLiteral("Models/4.mdl"))));
    } else if (scenario == QLatin1String("no Model folder")) {
        QVERIFY(QDir(fs.aircraft() + kCopy + QStringLiteral("/Model")).removeRecursively());
    } else if (scenario == QLatin1String("model folder")) {
        QVERIFY(QFile::remove(model));
        QVERIFY(QDir().mkpath(model));
    } else if (scenario == QLatin1String("cfg missing")) {
        QVERIFY(QFile::remove(cfg));
    } else if (scenario == QLatin1String("cfg folder")) {
        QVERIFY(QFile::remove(cfg));
        QVERIFY(QDir().mkpath(cfg));
    } else if (scenario == QLatin1String("backup fails")) {
        ops = failingFor(QString(), cfg + QStringLiteral(".bak"));
    } else if (scenario == QLatin1String("model write fails")) {
        ops = failingFor(QString(), model);
    } else if (scenario == QLatin1String("cfg write fails")) {
        ops = failingFor(cfg, QString());
    }
    auto before = snapshot(pf.path());

    const auto failure = exportwriter::write(workedJob(cfg, pf.path()), ops);
    QVERIFY(failure);
    QCOMPARE(int(failure->kind), kind);
    QCOMPARE(failure->path, pf.file(path));
    QCOMPARE(failure->reason.isEmpty(), !exportwriter::hasReason(failure->kind));
    QVERIFY(failure->unrestoredModel.isEmpty());

    auto after = snapshot(pf.path());
    if (backupsMayAppear) {
        after.remove(QStringLiteral("FS2000/Aircraft/nerova_tq58/aircraft.cfg.bak"));
        after.remove(QStringLiteral("FS2000/Aircraft/nerova_tq58/Model/TQ58-161.mdl.bak"));
    }
    QCOMPARE(after, before);
}

void TestExportWriter::modelPutBackWhenCfgCannotBeWritten() {
    TestProgramFolder pf;
    Fs2000 fs(pf);
    const QString cfg = fs.addCopy(kCopy, kCfg, "model of an earlier export");
    // The backup holds the model as installed; putting back means the model just before.
    QVERIFY(writeFile(fs.model(kCopy) + QStringLiteral(".bak"), kInstalledModel));
    int modelWrites = 0;
    exportwriter::FileOps ops = failingFor(cfg, QString());
    const auto copy = ops.replaceWithCopy;
    ops.replaceWithCopy = [&](const QString& source, const QString& target, QString* reason) {
        modelWrites += target == fs.model(kCopy);
        return copy(source, target, reason);
    };
    const auto failure = exportwriter::write(workedJob(cfg, pf.path()), ops);
    QVERIFY(failure);
    QCOMPARE(modelWrites, 1); // it really had been replaced
    QCOMPARE(readFile(fs.model(kCopy)), QByteArray("model of an earlier export"));
    QCOMPARE(readFile(cfg), kCfg);
}

void TestExportWriter::createdModelRemovedWhenCfgCannotBeWritten() {
    TestProgramFolder pf;
    Fs2000 fs(pf);
    const QString cfg = fs.addCopy(kCopy, kCfg, QByteArray());
    QVERIFY(QDir().mkpath(fs.aircraft() + kCopy + QStringLiteral("/Model")));
    const auto failure = exportwriter::write(workedJob(cfg, pf.path()), failingFor(cfg, QString()));
    QVERIFY(failure);
    QVERIFY(failure->unrestoredModel.isEmpty());
    QVERIFY(!QFile::exists(fs.model(kCopy)));
    QCOMPARE(readFile(cfg), kCfg);
}

void TestExportWriter::modelThatCannotBePutBackIsReported() {
    TestProgramFolder pf;
    Fs2000 fs(pf);
    const QString cfg = fs.addCopy(kCopy);
    exportwriter::FileOps ops = exportwriter::FileOps::atomic();
    ops.replaceWithData = [](const QString&, const QByteArray&, QString* reason) {
        *reason = QStringLiteral("Input/output error");
        return false;
    };
    const auto failure = exportwriter::write(workedJob(cfg, pf.path()), ops);
    QVERIFY(failure);
    QCOMPARE(failure->kind, Kind::WriteFailed);
    QCOMPARE(failure->path, cfg);
    QCOMPARE(failure->unrestoredModel, fs.model(kCopy));
    QCOMPARE(failure->restoreReason, QStringLiteral("Input/output error"));
    QCOMPARE(failure->modelBackup, fs.model(kCopy) + QStringLiteral(".bak"));
    QCOMPARE(readFile(failure->modelBackup), kInstalledModel);
    QCOMPARE(readFile(cfg), kCfg);
}

void TestExportWriter::protectedFilesAreRefused_data() {
    QTest::addColumn<QString>("shut"); // what is made read-only, relative to the copy's folder
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("path"); // reported, relative to the copy's folder
    QTest::newRow("read-only aircraft.cfg") << "aircraft.cfg" << int(Kind::ReadOnly) << "/aircraft.cfg";
    QTest::newRow("read-only model file") << "Model/TQ58-161.mdl" << int(Kind::ReadOnly) << "/Model/TQ58-161.mdl";
    QTest::newRow("aircraft folder not writable") << "." << int(Kind::FolderReadOnly) << "";
    QTest::newRow("Model folder not writable") << "Model" << int(Kind::FolderReadOnly) << "/Model";
}

void TestExportWriter::protectedFilesAreRefused() {
    QFETCH(QString, shut);
    QFETCH(int, kind);
    QFETCH(QString, path);
#ifndef Q_OS_UNIX
    // Windows has the read-only attribute of a file; a folder's does not stop anybody writing.
    if (kind == int(Kind::FolderReadOnly))
        QSKIP("a folder that cannot be written needs Unix permissions");
#endif
    TestProgramFolder pf;
    Fs2000 fs(pf);
    const QString folder = fs.aircraft() + kCopy;
    const QString cfg = fs.addCopy(kCopy);
    const QString model = fs.model(kCopy);
    // Everything reachable and writable for anybody, except the one thing under test.
    for (const QString& dir : {pf.path(), fs.root(), fs.aircraft(), pf.file(QStringLiteral("Models")), folder,
                               folder + QStringLiteral("/Model")})
        QVERIFY(setMode(dir, kOpenFolder));
    for (const QString& file : {cfg, model, pf.file(QStringLiteral("Models/4.mdl"))})
        QVERIFY(setMode(file, kOpenFile));
    const QString shutPath = QDir::cleanPath(folder + QLatin1Char('/') + shut);
    QVERIFY(setMode(shutPath, QFileInfo(shutPath).isDir() ? kShutFolder : kShutFile));
    const auto before = snapshot(pf.path());

    std::optional<Failure> failure;
#ifdef Q_OS_UNIX
    if (::geteuid() == 0) {
        bool ran = false;
        failure = writeAsChild(cfg, pf.path(), &ran);
        if (!ran) {
            setMode(shutPath, kOpenFolder);
            QSKIP("running as root and no child process as user nobody could be started (setpriv)");
        }
    } else
#endif
    {
        failure = exportwriter::write(workedJob(cfg, pf.path()));
    }
    QVERIFY(setMode(shutPath, QFileInfo(shutPath).isDir() ? kOpenFolder : kOpenFile));
    QVERIFY2(failure, "a protected file was overwritten");
    QCOMPARE(int(failure->kind), kind);
    QCOMPARE(failure->path, folder + path);
    QCOMPARE(snapshot(pf.path()), before);
}

// The child mode exports the worked example as the user it runs as and says how it ended: exit
// code 0, or 1 with the failure's kind and path on two lines.
int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], kChildSwitch) == 0) {
        QCoreApplication app(argc, argv);
        const auto failure =
            exportwriter::write(workedJob(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3])));
        if (!failure)
            return 0;
        std::cout << int(failure->kind) << '\n' << failure->path.toLocal8Bit().constData() << std::endl;
        return 1;
    }
    QCoreApplication app(argc, argv);
    TestExportWriter test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_exportwriter.moc"
