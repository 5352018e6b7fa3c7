#include "support/AsUser.h"
#include "support/ExportFixture.h"

#include "core/common/AtomicFile.h"
#include "core/common/CopyLock.h"
#include "core/common/SystemReasons.h"
#include "core/export/ExportWriter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <cstring>
#include <functional>
#include <iostream>
#include <string>
#include <tuple>

#include <QDirIterator>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>
#endif

using namespace exporttest;
using fileplan::Failure;
using Kind = fileplan::Failure::Kind;
Q_DECLARE_METATYPE(MessagePart)

namespace {

const QString kCopy = QStringLiteral("nerova_tq58");
constexpr const char* kChildSwitch = "--export-as-child";
constexpr const char* kLockSwitch = "--hold-lock";

// Pilot 80, co-pilot 75, right passenger 60, baggage 20: variant 4.
exportwriter::Job threePersonsJob(const QString& cfgPath, const QString& programFolder) {
    exportwriter::Job job;
    job.cfgPath = cfgPath;
    job.programFolder = programFolder;
    job.loads = {176, 165, std::nullopt, 132, 44};
    return job;
}

// A program folder whose FS2000 folder holds the copy kCopy with `installedModel` (null: none, the
// Model folder empty).
struct Installed {
    explicit Installed(const QByteArray& installedModel = kInstalledModel)
        : cfg(fs.addCopy(kCopy, kCfg, installedModel)) {
        QDir().mkpath(folder + QStringLiteral("/Model"));
    }
    exportwriter::Job job() const { return threePersonsJob(cfg, pf.path()); }
    std::optional<Failure> write(const fileplan::FileOps& ops = fileplan::FileOps::atomic()) const {
        return exportwriter::write(job(), ops);
    }
    QString backup(const char* name) const { return fs.backup(kCopy, QString::fromLatin1(name)); }

    TestProgramFolder pf;
    Fs2000 fs{pf};
    QString folder = fs.aircraft() + kCopy;
    QString cfg;
    QString model = fs.model(kCopy);
};

// What a row sets up before the export: the copy, the export's job and its file operations.
struct Export : Installed {
    QString backups = folder + QStringLiteral("/merovan-installed");
    QString cfgBackup = backup("aircraft.cfg.installed");
    QString outside = pf.path() + QStringLiteral("outside");
    exportwriter::Job job = Installed::job();
    fileplan::FileOps ops = fileplan::FileOps::atomic();
};
using Setup = std::function<void(Export&)>;

QByteArray threePersonsCfg() {
    return exportedCfg(threePersonsSection());
}

// "" for a successful export, else what stopped it, so that a failing test says why.
QString failureText(const std::optional<Failure>& failure) {
    if (!failure)
        return {};
    return QStringLiteral("kind %1: %2 (%3)").arg(int(failure->kind)).arg(failure->path, failure->reason);
}

// Another program holding the lock of the copy in `folder` (killed at once when `killed`), until the
// result is let go; null when it could not take the lock.
std::shared_ptr<void> holdLockInAnotherProgram(const QString& folder, bool killed) {
    auto other = std::make_shared<QProcess>();
    other->start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kLockSwitch), folder});
    if (!other->waitForStarted() || !other->waitForReadyRead(30000) || other->readAll().trimmed() != "locked")
        return nullptr;
    if (killed) {
        other->kill();
        other->waitForFinished();
    }
    return std::shared_ptr<void>(other.get(), [other](void*) {
        other->closeWriteChannel();
        other->waitForFinished();
    });
}
using Holder = std::function<std::shared_ptr<void>(const QString& folder)>;

// Ids no account uses: the owner of the files, another user, and the group of both.
constexpr unsigned kOwner = 64123;
constexpr unsigned kOther = 64124;
[[maybe_unused]] constexpr unsigned kGroup = 64125;

#ifdef Q_OS_UNIX
// Gives every file and folder below `root` (and `root`) to `user`:`group`, folders 0775, files 0664.
bool giveTree(const QString& root, unsigned user, unsigned group) {
    QStringList paths{root};
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        paths << it.next();
    for (const QString& path : paths) {
        const QByteArray name = QFile::encodeName(path);
        const mode_t mode = QFileInfo(path).isDir() ? 0775 : 0664;
        if (::chown(name.constData(), user, group) != 0 || ::chmod(name.constData(), mode) != 0)
            return false;
    }
    return true;
}

// Runs the export of threePersonsJob() in a process of its own as `user`:`group`. *ran is false when no
// such process could be started.
std::optional<Failure> writeAsChild(const QString& cfgPath, const QString& programFolder, unsigned user, unsigned group,
                                    bool* ran) {
    int exitCode = -1;
    QByteArray output;
    *ran = asuser::runAs(user, group, QCoreApplication::applicationFilePath(),
                         {QString::fromLatin1(kChildSwitch), cfgPath, programFolder}, &exitCode, &output) &&
           (exitCode == 0 || exitCode == 1);
    if (!*ran || exitCode == 0)
        return std::nullopt;
    const QList<QByteArray> parts = output.trimmed().split('\n');
    Failure failure{};
    failure.kind = static_cast<Kind>(parts.value(0).toInt());
    failure.path = QString::fromLocal8Bit(parts.value(1));
    return failure;
}
#endif

} // namespace

Q_DECLARE_METATYPE(Setup)
Q_DECLARE_METATYPE(Holder)

class TestExportWriter : public QObject {
    Q_OBJECT
private slots:
    void threePersonsGoIntoBothFiles_data();
    void threePersonsGoIntoBothFiles();
    void variantFollowsTheSeats_data();
    void variantFollowsTheSeats();
    void foreignFilesAreNeverTaken_data();
    void foreignFilesAreNeverTaken();
    void backupsKeepTheFilesProtection();
    void newModelFollowsTheUmask_data();
    void newModelFollowsTheUmask();
    void modelBackupHoldsOnlyAnInstalledModel_data();
    void modelBackupHoldsOnlyAnInstalledModel();
    void describeSaysWhatChanged_data();
    void describeSaysWhatChanged();
    void failureLeavesBothFiles_data();
    void failureLeavesBothFiles();
    void modelPutBackWhenCfgCannotBeWritten_data();
    void modelPutBackWhenCfgCannotBeWritten();
    void protectedFilesAreRefused_data();
    void protectedFilesAreRefused();
    void folderReadOnlyAttributeIsNoRefusal();
    void ownerAndGroupAreKept_data();
    void ownerAndGroupAreKept();
    void linksAreFollowedAsTheSystemFollowsThem_data();
    void linksAreFollowedAsTheSystemFollowsThem();
    void anotherProgramChangingTheCopy_data();
    void anotherProgramChangingTheCopy();
};

void TestExportWriter::threePersonsGoIntoBothFiles_data() {
    QTest::addColumn<QString>("copy");
    QTest::addColumn<QString>("cfgName");
    QTest::addColumn<QString>("modelPath");
    QTest::newRow("both files and the backups") << kCopy << "aircraft.cfg"
                                                << "Model/TQ58-161.mdl";
    QTest::newRow("names in another case are kept as they are") << "NEROVA_TQ58_float"
                                                                << "AIRCRAFT.CFG"
                                                                << "MODEL/tq58-161.MDL";
    QTest::newRow("a copy in folders beyond 260 characters")
        << testfiles::longFolderPath(260) + QStringLiteral("/nerova_tq58") << "aircraft.cfg"
        << "Model/TQ58-161.mdl";
}

void TestExportWriter::threePersonsGoIntoBothFiles() {
    QFETCH(QString, copy);
    QFETCH(QString, cfgName);
    QFETCH(QString, modelPath);
    TestProgramFolder pf;
    Fs2000 fs(pf);
    const QString folder = fs.aircraft() + copy;
    const QString cfg = fs.addCopy(copy, kCfg, kInstalledModel, cfgName, modelPath);
    const QByteArray record = attributesRecord(cfg, folder + QLatin1Char('/') + modelPath);
    QCOMPARE(failureText(exportwriter::write(threePersonsJob(cfg, pf.path()))), QString());
    QMap<QString, QByteArray> expected{{cfgName, threePersonsCfg()},
                                       {"merovan-installed/", {}},
                                       {"merovan-installed/aircraft.cfg.installed", kCfg},
                                       {"merovan-installed/TQ58-161.mdl.installed", kInstalledModel},
                                       {modelPath.section(QLatin1Char('/'), 0, 0) + QLatin1Char('/'), {}},
                                       {modelPath, variantContent(4)}};
    if (!record.isNull())
        expected.insert("merovan-installed/attributes.installed", record);
    QCOMPARE(snapshot(folder), expected);
    QCOMPARE(readFile(pf.file(QStringLiteral("Models/4.mdl"))), variantContent(4));
}

void TestExportWriter::variantFollowsTheSeats_data() {
    QTest::addColumn<bool>("co");
    QTest::addColumn<bool>("left");
    QTest::addColumn<bool>("right");
    QTest::addColumn<int>("variant"); // 0: the model stays as installed
    QTest::newRow("pilot alone") << false << false << false << 1;
    QTest::newRow("co-pilot") << true << false << false << 2;
    QTest::newRow("co-pilot and left") << true << true << false << 3;
    QTest::newRow("all seats") << true << true << true << 5;
    QTest::newRow("co-pilot free with a passenger: the model stays") << false << true << false << 0;
}

void TestExportWriter::variantFollowsTheSeats() {
    QFETCH(bool, co);
    QFETCH(bool, left);
    QFETCH(bool, right);
    QFETCH(int, variant);
    Installed c;
    auto job = c.job();
    job.loads.coPilot = co ? std::optional<std::int64_t>(165) : std::nullopt;
    job.loads.paxLeft = left ? std::optional<std::int64_t>(99) : std::nullopt;
    job.loads.paxRight = right ? std::optional<std::int64_t>(132) : std::nullopt;
    QCOMPARE(failureText(exportwriter::write(job)), QString());
    QCOMPARE(readFile(c.model), variant ? variantContent(variant) : kInstalledModel);
    QCOMPARE(readFile(c.fs.backup(kCopy, "TQ58-161.mdl.installed")), kInstalledModel);
    QCOMPARE(readFile(c.cfg), exportedCfg(wab::section(job.loads)));
}

void TestExportWriter::foreignFilesAreNeverTaken_data() {
    QTest::addColumn<int>("kind");             // -1: exported
    QTest::addColumn<QByteArray>("cfgBackup"); // what aircraft.cfg's backup holds afterwards; null: none
    QTest::addColumn<Setup>("setup");          // what stands in the copy before the first export
    const auto row = [](const char* name, int kind, const QByteArray& cfgBackup, Setup setup) {
        QTest::newRow(name) << kind << cfgBackup << setup;
    };
    row("a user's own aircraft.cfg.bak is left exactly as it was", -1, kCfg, [](Export& e) {
        QVERIFY(writeFile(e.cfg + QStringLiteral(".bak"), "title=Some other aircraft\r\n"));
        QVERIFY(writeFile(e.folder + QStringLiteral("/AIRCRAFT.CFG.BAK"), "older backup"));
    });
    row("a folder named aircraft.cfg.bak is no backup", -1, kCfg,
        [](Export& e) { QVERIFY(QDir().mkpath(e.cfg + QStringLiteral(".bak"))); });
    row("a plain file named merovan-installed: refused, to be moved away", int(Kind::BackupsBlocked), {},
        [](Export& e) { QVERIFY(writeFile(e.backups, "a user's notes")); });
    // Another program puts it there between the plan and the backup.
    row("a file put at the backup's place during the export: never overwritten, refused", int(Kind::BackupFailed),
        "another program's file", [](Export& e) {
            e.ops.createCopy = [target = e.cfgBackup](const QString& from, const QString& to, QString* reason) {
                if (to == target)
                    writeFile(to, "another program's file");
                return atomicfile::createCopy(from, to, reason);
            };
        });
#ifdef Q_OS_UNIX // links and pipes
    row("a dangling link at the backup's place: refused, nothing lands outside", int(Kind::NotAFile), {},
        [](Export& e) { QVERIFY(QDir().mkpath(e.backups) && QFile::link(e.outside, e.cfgBackup)); });
    row("a link in place of the backups' folder: refused, to be moved away", int(Kind::BackupsBlocked), {},
        [](Export& e) { QVERIFY(QDir().mkpath(e.outside) && QFile::link(e.outside, e.backups)); });
    row("a pipe at the model backup's place: never opened, refused", int(Kind::NotAFile), {}, [](Export& e) {
        QVERIFY(QDir().mkpath(e.backups));
        QVERIFY(::mkfifo(QFile::encodeName(e.backup("TQ58-161.mdl.installed")).constData(), 0644) == 0);
    });
    row("a private backups' folder a killed export left half made: cleared away", -1, kCfg, [](Export& e) {
        const QByteArray half = QFile::encodeName(e.folder + QStringLiteral("/.merovan-installed.k3j9.tmp"));
        const struct timeval longAgo[2] = {{1000000000, 0}, {1000000000, 0}};
        QVERIFY(::mkdir(half.constData(), 0700) == 0 && ::utimes(half.constData(), longAgo) == 0);
    });
#endif
}

void TestExportWriter::foreignFilesAreNeverTaken() {
    QFETCH(Setup, setup);
    QFETCH(int, kind);
    QFETCH(QByteArray, cfgBackup);
    Export e;
    setup(e);
    if (QTest::currentTestFailed())
        return;
    const auto before = snapshot(e.folder);
    const auto failure = e.write(e.ops);
    const auto after = snapshot(e.folder);
    for (auto it = before.begin(); it != before.end(); ++it) {
        if (!it.key().startsWith(QLatin1String("merovan-installed")) &&
            !it.key().startsWith(QLatin1String("aircraft.cfg")) && !it.key().startsWith(QLatin1String("Model")))
            QCOMPARE(after.value(it.key()), it.value());
    }
    QVERIFY(!QFileInfo::exists(e.outside) || QFileInfo(e.outside).isDir());
    QVERIFY(QDir(e.outside).isEmpty());
    QCOMPARE(readFile(e.cfgBackup), cfgBackup);
    if (kind >= 0) {
        QVERIFY(failure);
        QCOMPARE(int(failure->kind), kind);
        QCOMPARE(readFile(e.cfg), kCfg);
        return;
    }
    QCOMPARE(failureText(failure), QString());
    QCOMPARE(readFile(e.backup("TQ58-161.mdl.installed")), kInstalledModel);
    QCOMPARE(temporaryFiles(e.folder), QStringList());
}

void TestExportWriter::modelBackupHoldsOnlyAnInstalledModel_data() {
    QTest::addColumn<QByteArray>("installed"); // the model before the first export; null: none
    QTest::addColumn<QByteArray>("backup");    // TQ58-161.mdl.installed afterwards; null: none
    QTest::addColumn<QByteArray>("byHand");    // put in by hand between the exports; null: nothing
    QTest::addColumn<bool>("kept");            // kept under a name of its own before the second export
    QTest::newRow("installed model: kept in the backup, which a second export leaves as it is")
        << kInstalledModel << kInstalledModel << QByteArray() << false;
    QTest::newRow("no model at the first export: noted as absent")
        << QByteArray() << QByteArray() << QByteArray() << false;
    QTest::newRow("model equal to a shipped variant: backed up all the same")
        << variantContent(2) << variantContent(2) << QByteArray() << false;
    QTest::newRow("a model put in by hand after an export: kept before the next export replaces it")
        << kInstalledModel << kInstalledModel << QByteArray("a model of the user's own") << true;
    QTest::newRow("a model put in by hand where there was none: kept too")
        << QByteArray() << QByteArray() << QByteArray("a model of the user's own") << true;
    QTest::newRow("the installed model put back by hand: nothing more to keep")
        << kInstalledModel << kInstalledModel << kInstalledModel << false;
    QTest::newRow("a model variant put in by hand: nothing to keep, not even the fifth")
        << kInstalledModel << kInstalledModel << variantContent(5) << false;
}

void TestExportWriter::modelBackupHoldsOnlyAnInstalledModel() {
    QFETCH(QByteArray, installed);
    QFETCH(QByteArray, backup);
    QFETCH(QByteArray, byHand);
    QFETCH(bool, kept);
    Installed c(installed);
    auto job = c.job();
    QCOMPARE(failureText(exportwriter::write(job)), QString());
    QCOMPARE(readFile(c.model), variantContent(4));
    if (!byHand.isNull())
        QVERIFY(writeFile(c.model, byHand));
    job.loads.paxLeft = 99;
    const auto before = snapshot(c.folder + QStringLiteral("/merovan-installed"));
    const fileplan::Report report = exportwriter::exportLoading(job);
    QCOMPARE(readFile(c.model), variantContent(5));
    QCOMPARE(readFile(c.cfg), exportedCfg(wab::section(job.loads)));
    // Still the files as installed, not those of the first export.
    QCOMPARE(readFile(c.backup("aircraft.cfg.installed")), kCfg);
    QCOMPARE(QFile::exists(c.backup("TQ58-161.mdl.installed")), !backup.isNull());
    QCOMPARE(QFile::exists(c.backup("TQ58-161.mdl.absent")), backup.isNull());
    QCOMPARE(readFile(c.backup("TQ58-161.mdl.installed")), backup);
    // A model of the user's own is kept under a name of its own, which the message names.
    const auto after = snapshot(c.folder + QStringLiteral("/merovan-installed"));
    QStringList added;
    for (auto it = after.begin(); it != after.end(); ++it) {
        if (!before.contains(it.key())) {
            QVERIFY2(it.key().startsWith(QLatin1String("TQ58-161.before-export-")) &&
                         it.key().endsWith(QLatin1String(".mdl")) && it.value() == byHand,
                     qPrintable(it.key()));
            added << c.folder + QStringLiteral("/merovan-installed/") + it.key();
        }
    }
    QCOMPARE(added.size(), kept ? 1 : 0);
    QList<MessagePart> told{{"strWritten", {}}};
    if (kept)
        told.append(
            {"strWrittenModelOwnKept", {QDir::toNativeSeparators(c.model), QDir::toNativeSeparators(added[0])}});
    QCOMPARE(report.message, told);
}

void TestExportWriter::failureLeavesBothFiles_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("path"); // relative to the program folder
    QTest::addColumn<Setup>("setup");
    const auto row = [](const char* name, Kind kind, const QString& path, Setup setup) {
        QTest::newRow(name) << int(kind) << path << setup;
    };
    const QString copy = QStringLiteral("FS2000/Aircraft/nerova_tq58/");
    // A non-Latin letter leaves fewer zero bytes than ASCII alone.
    const auto wide = [](const QByteArray& mark, const char* title) -> Setup {
        return [=](Export& e) {
            const QString text = QString::fromLatin1(kCfg).replace("Nerova TQ 58", QString::fromUtf8(title));
            QVERIFY(writeFile(e.cfg, mark + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2)));
        };
    };
    row("variant missing", Kind::VariantMissing, "Models/4.mdl",
        [](Export& e) { e.pf.remove(QStringLiteral("Models/4.mdl")); });
    row("Models/5.mdl missing with every seat taken: the message names the model with all four seats",
        Kind::VariantMissing, "Models/5.mdl", [](Export& e) {
            e.pf.remove(QStringLiteral("Models/5.mdl"));
            e.job.loads.paxLeft = 99;
        });
    row("variant is a folder", Kind::NotAFile, "Models/4.mdl", [](Export& e) {
        e.pf.remove(QStringLiteral("Models/4.mdl"));
        QVERIFY(QDir().mkpath(e.pf.file(QStringLiteral("Models/4.mdl"))));
    });
    row("a demo stand-in never replaces the aircraft's model", Kind::StandInVariant, "Models/4.mdl",
        [](Export& e) { e.pf.write(QStringLiteral("Models/4.mdl"), kStandIn); });
    row("Model folder missing", Kind::ModelFolderMissing, copy + "Model",
        [](Export& e) { QVERIFY(QDir(e.folder + QStringLiteral("/Model")).removeRecursively()); });
    row("model file is a folder", Kind::NotAFile, copy + "Model/TQ58-161.mdl",
        [](Export& e) { QVERIFY(QFile::remove(e.model) && QDir().mkpath(e.model)); });
    row("aircraft.cfg gone since the listing", Kind::FileMissing, copy + "aircraft.cfg",
        [](Export& e) { QVERIFY(QFile::remove(e.cfg)); });
    row("aircraft.cfg is a folder", Kind::NotAFile, copy + "aircraft.cfg",
        [](Export& e) { QVERIFY(QFile::remove(e.cfg) && QDir().mkpath(e.cfg)); });
    row("backup cannot be made", Kind::BackupFailed, copy + "merovan-installed/aircraft.cfg.installed",
        [](Export& e) { e.ops = failingFor(QString(), e.cfgBackup); });
    row("aircraft.cfg in UTF-16 with its mark: refused whole, unchanged", Kind::WideEncoding, copy + "aircraft.cfg",
        wide("\xFF\xFE", "Nerova TQ 58"));
    row("aircraft.cfg in UTF-16 without a mark: refused whole, unchanged", Kind::WideEncoding, copy + "aircraft.cfg",
        wide({}, "Nerova TQ 58"));
    row("aircraft.cfg in UTF-16 without a mark, its title in Cyrillic: refused whole, unchanged", Kind::WideEncoding,
        copy + "aircraft.cfg", wide({}, "Нерова ТК 58"));
#ifdef Q_OS_UNIX // pipes
    row("aircraft.cfg is a named pipe: never opened, refused", Kind::NotAFile, copy + "aircraft.cfg",
        [](Export& e) { QVERIFY(QFile::remove(e.cfg) && ::mkfifo(QFile::encodeName(e.cfg).constData(), 0644) == 0); });
#endif
    row("model cannot be replaced", Kind::WriteFailed, copy + "Model/TQ58-161.mdl",
        [](Export& e) { e.ops = failingFor(e.model, QString()); });
    row("aircraft.cfg cannot be replaced", Kind::WriteFailed, copy + "aircraft.cfg",
        [](Export& e) { e.ops = failingFor(e.cfg, QString()); });
}

void TestExportWriter::failureLeavesBothFiles() {
    QFETCH(Setup, setup);
    QFETCH(int, kind);
    QFETCH(QString, path);
    Export e;
    setup(e);
    if (QTest::currentTestFailed())
        return;
    auto before = snapshot(e.pf.path());

    const auto failure = exportwriter::write(e.job, e.ops);
    QVERIFY(failure);
    QCOMPARE(int(failure->kind), kind);
    QCOMPARE(failure->path, e.pf.file(path));
    if (failure->kind == Kind::VariantMissing) // said with what the variant shows
        QCOMPARE(fileplan::describe(*failure).value(0).key, "strExportVariantMissing" + path.mid(7, 1));
    QCOMPARE(failure->reason.isEmpty(), !fileplan::hasReason(failure->kind));
    QVERIFY(!failure->standing.model);

    // Backups made before a failure at a write stay: they hold the files as installed.
    auto after = snapshot(e.pf.path());
    if (failure->kind == Kind::BackupFailed || failure->kind == Kind::WriteFailed)
        after.removeIf([](auto it) {
            return it.key().startsWith(QLatin1String("FS2000/Aircraft/nerova_tq58/merovan-installed"));
        });
    QCOMPARE(after, before);
}

void TestExportWriter::modelPutBackWhenCfgCannotBeWritten_data() {
    QTest::addColumn<QByteArray>("model");  // what the model holds before the export; null: none
    QTest::addColumn<bool>("wayBackFails"); // the model's way back fails too; its backups made by this export
    QByteArray lastByte = variantContent(4);
    lastByte.back() = 'x';
    QTest::newRow("a model of an earlier export") << QByteArray("model of an earlier export") << false;
    QTest::newRow("the variant but for its last byte") << lastByte << false;
    QTest::newRow("the variant itself") << variantContent(4) << false;
    QTest::newRow("no model before: the one the export made is removed") << QByteArray() << false;
    QTest::newRow("a model that cannot be put back: named, with its backup") << kInstalledModel << true;
}

void TestExportWriter::modelPutBackWhenCfgCannotBeWritten() {
    QFETCH(QByteArray, model);
    QFETCH(bool, wayBackFails);
    Installed c(model);
    // The backup holds the model as installed; putting back means the model just before.
    if (!model.isNull() && !wayBackFails)
        QVERIFY(writeFile(c.backup("TQ58-161.mdl.installed"), kInstalledModel));
    QByteArrayList modelWrites;
    fileplan::FileOps ops = failingFor(c.cfg, QString());
    const auto data = ops.replaceWithData;
    ops.replaceWithData = [&](const QString& path, const QByteArray& content, QString* reason) {
        if (path == c.model)
            modelWrites << content;
        if (path == c.model && wayBackFails && modelWrites.size() > 1) {
            *reason = QStringLiteral("Input/output error");
            return false;
        }
        return data(path, content, reason);
    };
    const auto failure = c.write(ops);
    QVERIFY(failure);
    QCOMPARE(failure->kind, Kind::WriteFailed);
    QCOMPARE(failure->path, c.cfg);
    // It really had been replaced, and went back to what it held.
    const QByteArrayList putBack = model.isNull() ? QByteArrayList() : QByteArrayList{model};
    QCOMPARE(modelWrites, QByteArrayList{variantContent(4)} + putBack);
    QCOMPARE(QFile::exists(c.model), !model.isNull());
    QCOMPARE(readFile(c.model), wayBackFails ? variantContent(4) : model);
    QCOMPARE(readFile(c.cfg), kCfg);
    QCOMPARE(bool(failure->standing.model), wayBackFails);
    if (wayBackFails) {
        QCOMPARE(failure->standing.model->path, c.model);
        QCOMPARE(failure->standing.model->reason, QStringLiteral("Input/output error"));
        QCOMPARE(failure->standing.model->backup, c.backup("TQ58-161.mdl.installed"));
        QCOMPARE(readFile(failure->standing.model->backup), kInstalledModel);
    }
}

void TestExportWriter::protectedFilesAreRefused_data() {
    QTest::addColumn<QString>("shut"); // relative to the copy's folder
    QTest::addColumn<int>("mode");     // what it is given
    QTest::addColumn<bool>("anyUser"); // holds for the superuser as well: runs as whoever runs the tests
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("path"); // reported, relative to the copy's folder
    QTest::newRow("read-only aircraft.cfg")
        << "aircraft.cfg" << 0444 << false << int(Kind::ReadOnly) << "/aircraft.cfg";
    QTest::newRow("read-only model file")
        << "Model/TQ58-161.mdl" << 0444 << false << int(Kind::ReadOnly) << "/Model/TQ58-161.mdl";
    QTest::newRow("aircraft.cfg its user may not write, though others may: no permission, not read-only")
        << "aircraft.cfg" << 0464 << false << int(Kind::NoPermission) << "/aircraft.cfg";
    QTest::newRow("model file its user may not write: no permission")
        << "Model/TQ58-161.mdl" << 0446 << false << int(Kind::NoPermission) << "/Model/TQ58-161.mdl";
    QTest::newRow("aircraft folder not writable") << "." << 0555 << false << int(Kind::FolderReadOnly) << "";
    QTest::newRow("Model folder not writable") << "Model" << 0555 << false << int(Kind::FolderReadOnly) << "/Model";
    QTest::newRow("read-only aircraft.cfg, for an administrator too")
        << "aircraft.cfg" << 0444 << true << int(Kind::ReadOnly) << "/aircraft.cfg";
    QTest::newRow("read-only model file, for an administrator too")
        << "Model/TQ58-161.mdl" << 0444 << true << int(Kind::ReadOnly) << "/Model/TQ58-161.mdl";
    QTest::newRow("Model folder without write permission, for an administrator too")
        << "Model" << 0555 << true << int(Kind::FolderReadOnly) << "/Model";
    QTest::newRow("backups' folder without write permission: no backup lands in it, for an administrator too")
        << "merovan-installed" << 0555 << true << int(Kind::FolderReadOnly) << "/merovan-installed";
    QTest::newRow("backups' folder that cannot be entered: refused with the reason, never taken for empty")
        << "merovan-installed" << 0666 << false << int(Kind::ReadFailed) << "/merovan-installed/aircraft.cfg.installed";
    // Existing but unreadable is never "missing".
    QTest::newRow("aircraft.cfg without read permission")
        << "aircraft.cfg" << 0222 << false << int(Kind::ReadFailed) << "/aircraft.cfg";
    QTest::newRow("model file without read permission")
        << "Model/TQ58-161.mdl" << 0222 << false << int(Kind::ReadFailed) << "/Model/TQ58-161.mdl";
    QTest::newRow("Model folder that cannot be entered")
        << "Model" << 0666 << false << int(Kind::ReadFailed) << "/Model/TQ58-161.mdl";
}

void TestExportWriter::protectedFilesAreRefused() {
    QFETCH(QString, shut);
    QFETCH(int, mode);
    QFETCH(bool, anyUser);
    QFETCH(int, kind);
    QFETCH(QString, path);
#ifndef Q_OS_UNIX
    // Windows has the read-only attribute of a file, and nothing of the rest.
    if (kind != int(Kind::ReadOnly))
        QSKIP("needs Unix permissions");
#endif
    if (!anyUser)
        MEROVAN_RUN_UNPRIVILEGED();
    TestProgramFolder pf;
    if (!pf.isValid())
        QSKIP("the staged program folder cannot be copied by this user");
    Fs2000 fs(pf);
    const QString folder = fs.aircraft() + kCopy;
    const QString cfg = fs.addCopy(kCopy);
    const QString shutPath = QDir::cleanPath(folder + QLatin1Char('/') + shut);
    if (shut == QLatin1String("merovan-installed"))
        QVERIFY(QDir().mkpath(shutPath)); // the backups' folder, emptied and protected by the user
    const QFileDevice::Permissions open = QFileInfo(shutPath).permissions();
    const auto before = snapshot(pf.path());
#ifdef Q_OS_UNIX
    QVERIFY(::chmod(QFile::encodeName(shutPath).constData(), mode_t(mode)) == 0);
#else
    Q_UNUSED(mode);
    QVERIFY(QFile::setPermissions(shutPath, QFileDevice::ReadOwner | QFileDevice::ReadUser));
#endif
    const auto failure = exportwriter::write(threePersonsJob(cfg, pf.path()));
    QVERIFY(QFile::setPermissions(shutPath, open));
    QVERIFY2(failure, "a protected file was overwritten");
    QCOMPARE(failureText(failure).section(QLatin1Char(':'), 0, 0), QStringLiteral("kind %1").arg(kind));
    QCOMPARE(failure->path, folder + path);
    QCOMPARE(failure->reason.isEmpty(), !fileplan::hasReason(failure->kind));
    QCOMPARE(snapshot(pf.path()), before);
}

void TestExportWriter::backupsKeepTheFilesProtection() {
#ifndef Q_OS_UNIX
    QSKIP("files have no modes here");
#else
    Installed c;
    QVERIFY(::chmod(QFile::encodeName(c.cfg).constData(), 0640) == 0);
    QVERIFY(::chmod(QFile::encodeName(c.model).constData(), 0600) == 0);
    QVERIFY(::chmod(QFile::encodeName(c.folder).constData(), 0751) == 0);
    QCOMPARE(failureText(c.write()), QString());
    QCOMPARE(modeOf(c.folder + QStringLiteral("/merovan-installed")), 0751);
    QCOMPARE(modeOf(c.backup("aircraft.cfg.installed")), 0640);
    QCOMPARE(modeOf(c.backup("TQ58-161.mdl.installed")), 0600);
#endif
}

void TestExportWriter::newModelFollowsTheUmask_data() {
    QTest::addColumn<int>("umask");
    QTest::addColumn<int>("installed"); // the model's mode before the export; 0: there is none
    QTest::addColumn<int>("mode");      // the model's mode afterwards
    QTest::newRow("a model the export makes, umask 027: 0640") << 027 << 0 << 0640;
    QTest::newRow("a model the export makes, umask 002: 0664, for a shared group") << 002 << 0 << 0664;
    QTest::newRow("a private model replaced, umask 000: still 0600, never wider") << 000 << 0600 << 0600;
}

void TestExportWriter::newModelFollowsTheUmask() {
#ifndef Q_OS_UNIX
    QSKIP("files have no modes here");
#else
    QFETCH(int, umask);
    QFETCH(int, installed);
    QFETCH(int, mode);
    Installed c(installed ? kInstalledModel : QByteArray());
    if (installed)
        QVERIFY(::chmod(QFile::encodeName(c.model).constData(), mode_t(installed)) == 0);
    const mode_t before = ::umask(mode_t(umask));
    const auto failure = c.write();
    ::umask(before);
    QCOMPARE(failureText(failure), QString());
    QCOMPARE(modeOf(c.model), mode);
#endif
}

void TestExportWriter::folderReadOnlyAttributeIsNoRefusal() {
#ifndef Q_OS_WIN
    QSKIP("the read-only attribute of folders is a Windows matter");
#else
    // Explorer sets it on every customised folder, and Windows ignores it: files are created in
    // such a folder all the same.
    Installed c;
    const QString modelFolder = c.folder + QStringLiteral("/Model");
    const auto readOnly = QFileDevice::ReadOwner | QFileDevice::ReadUser | QFileDevice::ExeOwner;
    QVERIFY(QFile::setPermissions(c.folder, readOnly) && QFile::setPermissions(modelFolder, readOnly));
    const auto failure = c.write();
    QFile::setPermissions(c.folder, readOnly | QFileDevice::WriteOwner);
    QFile::setPermissions(modelFolder, readOnly | QFileDevice::WriteOwner);
    QCOMPARE(failureText(failure), QString());
    QCOMPARE(readFile(c.cfg), threePersonsCfg());
#endif
}

void TestExportWriter::ownerAndGroupAreKept_data() {
    QTest::addColumn<unsigned>("owner"); // of the files
    QTest::addColumn<unsigned>("user");  // who exports; 0: the superuser, in this process
    QTest::addColumn<bool>("refused");
    QTest::addColumn<bool>("shared"); // the copy's folders the superuser's, setgid in the group: 2775
    QTest::newRow("administrator: another user's files keep their owner and group") << kOwner << 0u << false << false;
    QTest::newRow("administrator: their own files in a shared group keep the group") << 0u << 0u << false << false;
    QTest::newRow("the owner: exported, owner and group kept") << kOwner << kOwner << false << false;
    QTest::newRow("another user of the file's group: refused before anything changes")
        << kOwner << kOther << true << false;
    QTest::newRow("a group-shared installation: exported, the backups the user's own in the copy's group")
        << kOwner << kOwner << false << true;
}

void TestExportWriter::ownerAndGroupAreKept() {
#ifndef Q_OS_UNIX
    QSKIP("files have no owners here");
#else
    QFETCH(unsigned, owner);
    QFETCH(unsigned, user);
    QFETCH(bool, refused);
    QFETCH(bool, shared);
    if (!asuser::isSuperuser())
        QSKIP("giving files to other users needs the superuser");
    TestProgramFolder pf;
    Fs2000 fs(pf);
    const QString cfg = fs.addCopy(kCopy);
    const QString model = fs.model(kCopy);
    QVERIFY(::chmod(QFile::encodeName(pf.path()).constData(), 0755) == 0);
    QVERIFY(giveTree(fs.root(), owner, kGroup));
    for (const QString& folder : {fs.aircraft() + kCopy, fs.aircraft() + kCopy + QStringLiteral("/Model")}) {
        const QByteArray name = QFile::encodeName(folder);
        if (shared)
            QVERIFY(::chown(name.constData(), 0, kGroup) == 0 && ::chmod(name.constData(), 02775) == 0);
    }
    const auto before = snapshot(pf.path());

    std::optional<Failure> failure;
    if (user == 0) {
        failure = exportwriter::write(threePersonsJob(cfg, pf.path()));
    } else {
        bool ran = false;
        failure = writeAsChild(cfg, pf.path(), user, kGroup, &ran);
        if (!ran)
            QSKIP("no process as another user could be started (setpriv)");
    }
    if (refused) {
        QVERIFY2(failure, "another user's file was replaced");
        QCOMPARE(failure->kind, Kind::OwnerNotKept);
        QCOMPARE(failure->path, cfg);
        QCOMPARE(snapshot(pf.path()), before);
        return;
    }
    QCOMPARE(failureText(failure), QString());
    QCOMPARE(readFile(cfg), threePersonsCfg());
    // The backups as well: whoever exported, they are the owner's.
    for (const QString& path : {cfg, model, fs.backup(kCopy, QStringLiteral("aircraft.cfg.installed")),
                                fs.backup(kCopy, QStringLiteral("TQ58-161.mdl.installed")),
                                fs.backup(kCopy, QStringLiteral("attributes.installed"))}) {
        struct stat info {};
        QVERIFY(::stat(QFile::encodeName(path).constData(), &info) == 0);
        QCOMPARE(unsigned(info.st_uid), owner);
        QCOMPARE(unsigned(info.st_gid), kGroup);
        QCOMPARE(modeOf(path), 0664);
    }
    struct stat copyFolder {
    }, backups{};
    QVERIFY(::stat(QFile::encodeName(fs.aircraft() + kCopy).constData(), &copyFolder) == 0);
    QVERIFY(::stat(QFile::encodeName(fs.aircraft() + kCopy + QStringLiteral("/merovan-installed")).constData(),
                   &backups) == 0);
    // In a shared installation the user may not give the folder to its owner: it is theirs.
    QCOMPARE(std::make_tuple(backups.st_uid, backups.st_gid, backups.st_mode),
             std::make_tuple(shared ? kOwner : copyFolder.st_uid, copyFolder.st_gid, copyFolder.st_mode));
#endif
}

#ifdef Q_OS_UNIX // QFile::link makes a shortcut file on Windows, which the file system does not follow
namespace {

// What an export through links does: the file that gets the loading (empty: the export is refused
// with `kind`, naming `path` and `other`, and nothing changes); a folder that must stay empty.
struct Through {
    QString gets;
    Kind kind = Kind::FileMissing;
    QString path;
    QString other;
    QString staysEmpty;
};
using LinkSetup = std::function<void(Export&, Through*)>;

bool link(const QString& target, const QString& path) {
    return QFile::link(target, path);
}

} // namespace
Q_DECLARE_METATYPE(LinkSetup)
#endif

void TestExportWriter::linksAreFollowedAsTheSystemFollowsThem_data() {
#ifdef Q_OS_UNIX
    QTest::addColumn<LinkSetup>("setup");
    const auto row = [](const char* name, LinkSetup setup) { QTest::newRow(name) << setup; };
    row("aircraft.cfg -> link2.cfg -> real.cfg: real.cfg gets the loading, both links stay links",
        [](Export& e, Through* t) {
            const QString folder = e.folder + QLatin1Char('/');
            QVERIFY(QFile::rename(e.cfg, folder + QStringLiteral("real.cfg")));
            QVERIFY(link(QStringLiteral("real.cfg"), folder + QStringLiteral("link2.cfg")));
            QVERIFY(link(QStringLiteral("link2.cfg"), e.cfg));
            t->gets = folder + QStringLiteral("real.cfg");
        });
    row("aircraft.cfg in a circle of links: refused as such, nothing changed", [](Export& e, Through* t) {
        QVERIFY(QFile::remove(e.cfg) && link(QStringLiteral("aircraft.cfg"), e.folder + QStringLiteral("/link2.cfg")));
        QVERIFY(link(QStringLiteral("link2.cfg"), e.cfg));
        t->kind = Kind::ReadFailed;
        t->path = e.cfg;
        t->other = QString::fromLatin1(systemreasons::own::kLinkLoop);
    });
    // Aircraft/nerova_tq58 -> ../store/nerova_tq58, whose aircraft.cfg -> ../shared/tq58.cfg: the ".."
    // goes up from the store, where the link really stands, not from Aircraft.
    row("a copy linked into a store whose aircraft.cfg climbs out with ..: the file FS2000 reads gets the loading",
        [](Export& e, Through* t) {
            const QString store = e.fs.root() + QStringLiteral("store/");
            QVERIFY(QDir().mkpath(store + QStringLiteral("shared")) && QDir().mkpath(e.fs.aircraft() + "shared"));
            QVERIFY(QDir().rename(e.folder, store + kCopy) && link(QStringLiteral("../store/") + kCopy, e.folder));
            QVERIFY(QFile::rename(store + kCopy + QStringLiteral("/aircraft.cfg"), store + "shared/tq58.cfg"));
            QVERIFY(link(QStringLiteral("../shared/tq58.cfg"), e.cfg));
            t->gets = store + QStringLiteral("shared/tq58.cfg");
            t->staysEmpty = e.fs.aircraft() + "shared";
        });
    row("a copy's model that leads to a model variant of the program: refused, naming both", [](Export& e, Through* t) {
        QVERIFY(QFile::remove(e.model) && link(e.pf.path() + QStringLiteral("Models/4.mdl"), e.model));
        t->kind = Kind::ShippedFile;
        t->path = e.model;
        t->other = e.pf.path() + QStringLiteral("Models/4.mdl");
    });
    row("a model variant of the program that leads to the copy's model: refused, naming both",
        [](Export& e, Through* t) {
            const QString variant = e.pf.path() + QStringLiteral("Models/1.mdl");
            QVERIFY(QFile::remove(variant) && link(e.model, variant));
            t->kind = Kind::ShippedLink;
            t->path = e.model;
            t->other = variant;
        });
#endif
}

void TestExportWriter::linksAreFollowedAsTheSystemFollowsThem() {
#ifndef Q_OS_UNIX
    QSKIP("QFile::link makes a shortcut file here, which the file system does not follow");
#else
    QFETCH(LinkSetup, setup);
    Export e;
    Through expected;
    setup(e, &expected);
    if (QTest::currentTestFailed())
        return;
    QStringList links;
    QDirIterator it(e.pf.path(), QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        if (const QString path = it.next(); QFileInfo(path).isSymLink())
            links << path + QStringLiteral(" -> ") + QFile::symLinkTarget(path);
    }
    const auto before = snapshot(e.pf.path());

    const auto failure = e.write();
    QStringList linksAfter;
    for (const QString& entry : links)
        linksAfter << entry.section(QStringLiteral(" -> "), 0, 0) + QStringLiteral(" -> ") +
                          QFile::symLinkTarget(entry.section(QStringLiteral(" -> "), 0, 0));
    QCOMPARE(linksAfter, links);
    if (expected.gets.isEmpty()) {
        QVERIFY(failure);
        QCOMPARE(std::make_tuple(failure->kind, failure->path, failure->reason),
                 std::make_tuple(expected.kind, expected.path, expected.other));
        QCOMPARE(snapshot(e.pf.path()), before);
        return;
    }
    QCOMPARE(failureText(failure), QString());
    QCOMPARE(readFile(expected.gets), threePersonsCfg());
    QCOMPARE(readFile(e.cfgBackup), kCfg); // read through the links
    if (!expected.staysEmpty.isEmpty())
        QCOMPARE(QDir(expected.staysEmpty).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
#endif
}

void TestExportWriter::anotherProgramChangingTheCopy_data() {
    QTest::addColumn<Holder>("hold"); // what another program does with the copy meanwhile
    QTest::addColumn<bool>("busy");
    QTest::newRow("another program is changing the copy: the export waits a moment, says so, changes nothing")
        << Holder([](const QString& folder) { return holdLockInAnotherProgram(folder, false); }) << true;
    QTest::newRow("a lock left by a killed program never blocks")
        << Holder([](const QString& folder) { return holdLockInAnotherProgram(folder, true); }) << false;
#ifdef Q_OS_WIN
    QTest::newRow("another program holds merovan.lock open without sharing it: the same")
        << Holder([](const QString& folder) -> std::shared_ptr<void> {
               const HANDLE file = ::CreateFileW(
                   QDir::toNativeSeparators(folder + QLatin1String(copylock::kLockFileName)).toStdWString().c_str(),
                   GENERIC_READ, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
               if (file == INVALID_HANDLE_VALUE)
                   return nullptr;
               return std::shared_ptr<void>(file, [](void* held) { ::CloseHandle(held); });
           })
        << true;
#endif
}

void TestExportWriter::anotherProgramChangingTheCopy() {
    QFETCH(Holder, hold);
    QFETCH(bool, busy);
    Installed c;
    const QString folder = c.folder + QLatin1Char('/');
    std::shared_ptr<void> other = hold(folder);
    QVERIFY(other);
    const auto before = snapshot(c.pf.path());

    QElapsedTimer clock;
    clock.start();
    const auto failure = c.write();
    const qint64 took = clock.elapsed();
    other.reset();
    if (!busy) {
        QCOMPARE(failureText(failure), QString());
        QVERIFY2(took < copylock::kWaitMilliseconds / 2, qPrintable(QString::number(took)));
        QCOMPARE(readFile(c.cfg), threePersonsCfg());
        return;
    }
    QVERIFY(failure);
    QCOMPARE(failure->kind, Kind::Busy);
    QCOMPARE(failure->path, folder);
    QVERIFY2(took >= copylock::kWaitMilliseconds - 100, qPrintable(QString::number(took)));
    QCOMPARE(fileplan::describe(*failure), (QList<MessagePart>{{"strExportBusy", {QDir::toNativeSeparators(folder)}},
                                                               {"strExportNothingChanged", {}}}));
    QCOMPARE(snapshot(c.pf.path()), before);
}

void TestExportWriter::describeSaysWhatChanged_data() {
    using Part = MessagePart;
    QTest::addColumn<int>("state");
    QTest::addColumn<QList<Part>>("parts");
    // Paths are told as the system writes them.
    const QString cfg = QDir::toNativeSeparators(QStringLiteral("/fs/aircraft.cfg"));
    const QString model = QDir::toNativeSeparators(QStringLiteral("/fs/Model/TQ58-161.mdl"));
    const QString io = QStringLiteral("Input/output error");
    QTest::newRow("aircraft as it was: nothing has been changed")
        << 0 << QList<Part>{{"strExportWriteFailed", {cfg, io}}, {"strExportNothingChanged", {}}};
    QTest::newRow("the model could not be put back")
        << 1 << QList<Part>{{"strExportWriteFailed", {cfg, io}}, {"strExportModelNotPutBack", {model, io}}};
    QTest::newRow("the new aircraft.cfg could not go back: both files and the backups named")
        << 2
        << QList<Part>{{"strExportWriteFailed", {cfg, io}},
                       {"strExportCfgNotRestored", {cfg, io, cfg + ".bak"}},
                       {"strExportModelNewBackup", {model, model + ".bak"}}};
}

void TestExportWriter::describeSaysWhatChanged() {
    QFETCH(int, state);
    QFETCH(QList<MessagePart>, parts);
    Failure failure{};
    failure.kind = Kind::WriteFailed;
    failure.path = QStringLiteral("/fs/aircraft.cfg");
    failure.reason = QStringLiteral("Input/output error");
    const QString model = QStringLiteral("/fs/Model/TQ58-161.mdl");
    if (state == 1) {
        failure.standing.model = fileplan::FileLeft{model, failure.reason, {}, false};
    } else if (state == 2) {
        failure.standing.cfg =
            fileplan::FileLeft{failure.path, failure.reason, failure.path + QStringLiteral(".bak"), false};
        failure.standing.model = fileplan::FileLeft{model, {}, model + QStringLiteral(".bak"), false};
    }
    QCOMPARE(failure.nothingChanged(), state == 0);
    QCOMPARE(fileplan::describe(failure), parts);
}

// The child mode exports three persons and baggage as the user it runs as and says how it ended: exit
// code 0, or 1 with the failure's kind and path on two lines.
int main(int argc, char** argv) {
    // The other program: holds the lock of the copy in the folder given until its input ends.
    if (argc == 3 && std::strcmp(argv[1], kLockSwitch) == 0) {
        QCoreApplication app(argc, argv);
        const copylock::Lock lock(QString::fromLocal8Bit(argv[2]), copylock::Lock::Mode::Exclusive, 0);
        std::cout << (lock.held() ? "locked" : "not locked") << std::endl;
        std::string line;
        std::getline(std::cin, line);
        return 0;
    }
    if (argc == 4 && std::strcmp(argv[1], kChildSwitch) == 0) {
        QCoreApplication app(argc, argv);
        const auto failure =
            exportwriter::write(threePersonsJob(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3])));
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
