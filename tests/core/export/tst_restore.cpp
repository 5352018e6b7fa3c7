// Giving a copy back as installed, as the user asks for it: each row sets up what the copy holds,
// then the restore's plan, question and apply run as the restore window has them run, and the row
// says what the user is asked and told and what the files hold afterwards.

#include "support/AsUser.h"
#include "support/ExportFixture.h"

#include "core/common/CopyLock.h"
#include "core/export/ExportWriter.h"
#include "core/export/Restore.h"

#include <QTest>

#include <functional>
#include <optional>

using namespace exporttest;

namespace {

const QString kCopy = QStringLiteral("nerova_tq58");
const QByteArray kExported = exportedCfg(threePersonsSection());
const QByteArray kEdited = QByteArray(kExported).replace("editable=1", "editable=0");
const QByteArray kOwnModel = "a model of the user's own";

// A copy as an export leaves it, and what the row does to it before the restore.
struct Scene {
    TestProgramFolder pf;
    Fs2000 fs{pf};
    QString copy = fs.aircraft() + kCopy;
    QString cfg = fs.addCopy(kCopy, kExported, variantContent(4));
    QString model = fs.model(kCopy);
    QString modelFolder = copy + QStringLiteral("/Model");
    QString backups = copy + QStringLiteral("/merovan-installed");
    fileplan::FileOps ops = fileplan::FileOps::atomic();
    bool yes = true;
    std::function<void()> whileAsked;              // while the question is open
    std::optional<copylock::Lock> other;           // another program's lock of the copy
    QMap<QString, QFileDevice::Permissions> modes; // each file's permissions afterwards
    std::optional<bool> modelFolderAfter;          // whether the Model folder is there afterwards
    std::function<void()> check;                   // what else must hold afterwards

    Scene() {
        writeFile(backup("aircraft.cfg.installed"), kCfg);
        writeFile(backup("TQ58-161.mdl.installed"), kInstalledModel);
    }
    QString backup(const char* name) const { return backups + QLatin1Char('/') + QLatin1String(name); }
    // The copy moved into folders beyond 260 characters.
    void movedDeep() {
        const QString deep = fs.aircraft() + testfiles::longFolderPath(260) + QLatin1Char('/') + kCopy;
        if (!QDir().mkpath(deep) || !QDir().rmdir(deep) || !QDir().rename(copy, deep))
            QTest::qFail("the copy could not be moved", __FILE__, __LINE__);
        copy = deep;
        cfg = copy + QStringLiteral("/aircraft.cfg");
        model = copy + QStringLiteral("/Model/TQ58-161.mdl");
        modelFolder = copy + QStringLiteral("/Model");
        backups = copy + QStringLiteral("/merovan-installed");
    }
    void noModelInstalled() const {
        QFile::remove(backup("TQ58-161.mdl.installed"));
        writeFile(backup("TQ58-161.mdl.absent"), "none");
    }
    // As a real first export leaves the copy, its files' modes recorded.
    void exportedWithModes(QFileDevice::Permissions cfgMode, QFileDevice::Permissions modelMode) {
        QDir(copy).removeRecursively();
        cfg = fs.addCopy(kCopy);
        QFile::setPermissions(cfg, cfgMode);
        QFile::setPermissions(model, modelMode);
        if (exportwriter::write({cfg, pf.path(), {176, 165, std::nullopt, 132, 44}}))
            QTest::qFail("the first export failed", __FILE__, __LINE__);
        modes = {{cfg, cfgMode}, {model, modelMode}};
    }
};

using Setup = std::function<void(Scene&)>;

constexpr auto kOwner = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr auto kReadOnly = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ExeOwner;

void chmod(const QString& path, QFileDevice::Permissions permissions) {
    QFile::setPermissions(path, permissions);
}

// Gives the owner every permission again at and below `path`, so that the row's folder can go.
void openUp(const QString& path) {
    const QFileInfo info(path);
    QFile::setPermissions(path, info.permissions() | QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                    (info.isDir() ? QFileDevice::ExeOwner : QFileDevice::Permissions()));
    if (info.isDir() && !info.isSymLink()) {
        for (const QString& name : QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
            openUp(path + QLatin1Char('/') + name);
    }
}

using Parts = QList<MessagePart>;

} // namespace

Q_DECLARE_METATYPE(Setup)

class TestRestore : public QObject {
    Q_OBJECT
private slots:
    void restoreAsInstalled_data();
    void restoreAsInstalled();
};

void TestRestore::restoreAsInstalled_data() {
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<bool>("ordinaryUser"); // the row runs as an ordinary user
    QTest::addColumn<Parts>("asked");       // after the question's first part; empty: nothing asked
    QTest::addColumn<Parts>("told");        // <cfg>, <model>, <copy>, ... stand for the paths, <kept> for a kept file
    QTest::addColumn<QByteArray>("cfg");
    QTest::addColumn<QByteArray>("model"); // null: no model file afterwards
    QTest::addColumn<QByteArrayList>("kept");
    const MessagePart cfgBack{"strRestoreCfgBack", {"<cfg>"}};
    const MessagePart modelBack{"strRestoreModelBack", {"<model>"}};
    const MessagePart removed{"strRestoreModelRemoved", {"<model>"}};
    const MessagePart done{"strRestoreDone", {}};
    const MessagePart nothing{"strExportNothingChanged", {}};
    const MessagePart full{"strExportWriteFailed", {"<cfg>", "No space left on device"}};
    const auto restored = [&](const char* name, Setup setup, Parts asked, Parts told = {},
                              QByteArray model = kInstalledModel, QByteArrayList kept = {}) {
        QTest::newRow(name) << setup << false << asked << (Parts{done} + told) << kCfg << model << kept;
    };
    const auto refused = [&](const char* name, Setup setup, Parts told, Parts asked = {}, bool ordinaryUser = false,
                             QByteArray cfg = kExported, QByteArray model = variantContent(4)) {
        QTest::newRow(name) << setup << ordinaryUser << asked << (told + Parts{nothing}) << cfg << model
                            << QByteArrayList{};
    };

    restored("both backups: both files as installed", [](Scene&) {}, {cfgBack, modelBack});
    restored(
        "model equal to a shipped variant when installed: that variant again",
        [](Scene& s) { writeFile(s.backup("TQ58-161.mdl.installed"), variantContent(2)); }, {cfgBack, modelBack}, {},
        variantContent(2));
    restored(
        "no model before the first export: the model the export made is removed",
        [](Scene& s) { s.noModelInstalled(); }, {cfgBack, removed}, {}, QByteArray());
    restored(
        "aircraft.cfg backup only: the model stays as it is",
        [](Scene& s) { QFile::remove(s.backup("TQ58-161.mdl.installed")); }, {cfgBack, {"strRestoreModelStays", {}}},
        {{"strRestoreModelKept", {}}}, variantContent(4));
    restored("model gone since: made again from its backup", [](Scene& s) { QFile::remove(s.model); },
             {cfgBack, modelBack});
    restored("the Model folder gone since: made again, and both files come back",
             [](Scene& s) { QDir(s.modelFolder).removeRecursively(); },
             {cfgBack, {"strRestoreModelFolderMade", {"<modelfolder>"}}, modelBack});
#ifdef Q_OS_UNIX // links
    restored("a dangling aircraft.cfg link: the installed file is written at the link's end, the link stays",
             [](Scene& s) {
                 QFile::remove(s.cfg);
                 QDir().mkpath(s.copy + QStringLiteral("/real"));
                 QFile::link(QStringLiteral("real/aircraft.cfg"), s.cfg);
                 s.check = [&s] {
                     QVERIFY(QFileInfo(s.cfg).isSymLink());
                     QCOMPARE(readFile(s.copy + QStringLiteral("/real/aircraft.cfg")), kCfg);
                 };
             },
             {{"strRestoreCfgMade", {"<cfg>"}}, modelBack});
    // Aircraft/nerova_tq58 -> ../store/nerova_tq58, whose aircraft.cfg -> ../shared/tq58.cfg.
    restored("a copy linked into a store whose aircraft.cfg climbs out with ..: the file FS2000 reads is given back",
             [](Scene& s) {
                 const QString store = s.fs.root() + QStringLiteral("store/");
                 QDir().mkpath(store + QStringLiteral("shared"));
                 QDir().mkpath(s.fs.aircraft() + QStringLiteral("shared"));
                 QDir().rename(s.copy, store + kCopy);
                 QFile::link(QStringLiteral("../store/") + kCopy, s.copy);
                 QFile::rename(store + kCopy + QStringLiteral("/aircraft.cfg"),
                               store + QStringLiteral("shared/tq58.cfg"));
                 QFile::link(QStringLiteral("../shared/tq58.cfg"), s.cfg);
                 s.check = [&s, store] {
                     QCOMPARE(readFile(store + QStringLiteral("shared/tq58.cfg")), kCfg);
                     QVERIFY(QDir(s.fs.aircraft() + QStringLiteral("shared")).isEmpty());
                 };
             },
             {cfgBack, modelBack});
#endif
    restored("aircraft.cfg missing: made again from its backup, with its mode",
             [](Scene& s) {
                 QFile::remove(s.cfg);
                 chmod(s.backup("aircraft.cfg.installed"), kOwner | QFileDevice::ReadGroup);
                 s.modes[s.cfg] = kOwner | QFileDevice::ReadGroup;
             },
             {{"strRestoreCfgMade", {"<cfg>"}}, modelBack});
    const MessagePart editsKept{"strRestoreCfgEdited", {"<cfg>", "<kept>"}};
    restored("edits made after the export: the current file is kept beside the backups",
             [](Scene& s) { writeFile(s.cfg, kEdited); }, {cfgBack, editsKept, modelBack},
             {{"strRestoreEditedKept", {"<kept>"}}}, kInstalledModel, {kEdited});
    restored("a second restore keeps the edits the first one kept",
             [](Scene& s) {
                 writeFile(s.cfg, kEdited);
                 restore::restoreAsInstalled(s.cfg, s.pf.path(), {}, [](const Parts&) { return true; });
                 writeFile(s.cfg, QByteArray(kExported).replace("editable=1", "editable=2"));
             },
             {cfgBack, editsKept, modelBack}, {{"strRestoreEditedKept", {"<kept>"}}}, kInstalledModel,
             {QByteArray(kExported).replace("editable=1", "editable=2")});
    restored("a copy in folders beyond 260 characters, edited since: as installed, the edits kept",
             [](Scene& s) {
                 s.movedDeep();
                 writeFile(s.cfg, kEdited);
             },
             {cfgBack, editsKept, modelBack}, {{"strRestoreEditedKept", {"<kept>"}}}, kInstalledModel, {kEdited});
    const MessagePart ownKept{"strRestoreModelOwnKept", {"<kept>"}};
    restored("a model put in by hand survives a restore", [](Scene& s) { writeFile(s.model, kOwnModel); },
             {cfgBack, modelBack, {"strRestoreModelOwn", {"<model>", "<kept>"}}}, {ownKept}, kInstalledModel,
             {kOwnModel});
    restored("a model put in by hand where there was none: kept before it is removed",
             [](Scene& s) {
                 s.noModelInstalled();
                 writeFile(s.model, kOwnModel);
             },
             {cfgBack, removed, {"strRestoreModelOwn", {"<model>", "<kept>"}}}, {ownKept}, QByteArray(), {kOwnModel});
#ifdef Q_OS_UNIX // files have modes only here
    restored("backups made read-only by the user: the files come back with their installed modes, and export again",
             [](Scene& s) {
                 s.exportedWithModes(kOwner | QFileDevice::ReadGroup, kOwner);
                 for (const QString& name : QDir(s.backups).entryList(QDir::Files))
                     chmod(s.backups + QLatin1Char('/') + name, QFileDevice::ReadOwner | QFileDevice::ReadOther);
                 QFile::remove(s.model); // made again from its read-only backup
             },
             {cfgBack, modelBack});
    restored("an export stopped before it recorded the modes: the next one records them, the restore gives them back",
             [](Scene& s) {
                 s.exportedWithModes(kOwner | QFileDevice::ReadGroup, kOwner);
                 QFile::remove(s.backup("attributes.installed"));
                 const auto wider = kOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
                 chmod(s.cfg, wider);
                 chmod(s.model, wider);
                 if (exportwriter::write({s.cfg, s.pf.path(), {176, 165, std::nullopt, 132, 44}}))
                     QTest::qFail("the next export failed", __FILE__, __LINE__);
             },
             {cfgBack, modelBack});
    restored("a model whose mode was widened since the export gets its installed mode back",
             [](Scene& s) {
                 s.exportedWithModes(kOwner | QFileDevice::ReadGroup, kOwner);
                 chmod(s.model, kOwner | QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther);
             },
             {cfgBack, modelBack});
#endif
    refused("read-only aircraft.cfg: refused, for an administrator too",
            [](Scene& s) { chmod(s.cfg, QFileDevice::ReadOwner | QFileDevice::ReadGroup); },
            {{"strExportReadOnly", {"<cfg>"}}});
    refused("read-only model: refused before anything changes",
            [](Scene& s) { chmod(s.model, QFileDevice::ReadOwner | QFileDevice::ReadGroup); },
            {{"strExportReadOnly", {"<model>"}}});
#ifdef Q_OS_UNIX // folder permissions
    refused(
        "the model gone from a read-only Model folder: refused, for an administrator too",
        [](Scene& s) {
            QFile::remove(s.model);
            chmod(s.modelFolder, kReadOnly);
        },
        {{"strExportFolderReadOnly", {"<modelfolder>"}}}, {}, false, kExported, QByteArray());
    refused(
        "edits, and a backups' folder without write permission: refused, for an administrator too",
        [](Scene& s) {
            writeFile(s.cfg, kEdited);
            chmod(s.backups, kReadOnly);
        },
        {{"strExportFolderReadOnly", {"<backups>"}}}, {}, false, kEdited);
    refused(
        "a backups' folder that cannot be entered: refused, with the reason",
        [](Scene& s) { chmod(s.backups, kOwner); },
        {{"strExportReadFailed", {"<backups>/aircraft.cfg.installed", "Permission denied"}}}, {}, true);
#endif
#ifdef Q_OS_UNIX // links
    refused(
        "a dangling aircraft.cfg link into a folder that is not there: refused, the link leads nowhere",
        [](Scene& s) {
            QFile::remove(s.cfg);
            QFile::link(QStringLiteral("nowhere/aircraft.cfg"), s.cfg);
        },
        {{"strExportLinkNowhere", {"<cfg>", "<folder>/nowhere/aircraft.cfg"}}}, {}, false, QByteArray());
    refused("a model that leads to a model variant of the program: refused, naming both",
            [](Scene& s) {
                QFile::remove(s.model);
                QFile::link(s.pf.path() + QStringLiteral("Models/4.mdl"), s.model);
            },
            {{"strExportShippedFile", {"<model>", "<pf>/Models/4.mdl"}}});
    refused("a model variant of the program that leads to the copy's model: refused, naming both",
            [](Scene& s) {
                QFile::remove(s.pf.path() + QStringLiteral("Models/1.mdl"));
                QFile::link(s.model, s.pf.path() + QStringLiteral("Models/1.mdl"));
            },
            {{"strExportShippedLink", {"<model>", "<pf>/Models/1.mdl"}}});
#endif
    refused("aircraft.cfg cannot be replaced: the model goes back too",
            [](Scene& s) { s.ops = failingFor(s.cfg, s.cfg); }, {full}, {cfgBack, modelBack});
    refused(
        "the Model folder made again, and aircraft.cfg cannot be replaced: the folder goes again",
        [](Scene& s) {
            QDir(s.modelFolder).removeRecursively();
            s.ops = failingFor(s.cfg, s.cfg);
            s.modelFolderAfter = false;
        },
        {full}, {cfgBack, {"strRestoreModelFolderMade", {"<modelfolder>"}}, modelBack}, false, kExported, QByteArray());
    refused("a user's own aircraft.cfg.bak is never restored",
            [](Scene& s) {
                QDir(s.backups).removeRecursively();
                writeFile(s.cfg + QStringLiteral(".bak"), "title=Some other aircraft\r\n");
            },
            {{"strExportFileMissing", {"<backups>/aircraft.cfg.installed"}}});
    refused(
        "aircraft.cfg changed while the question was open: not touched",
        [](Scene& s) { s.whileAsked = [&s] { writeFile(s.cfg, kEdited); }; },
        {{"strExportChangedMeanwhile", {"<cfg>"}}}, {cfgBack, modelBack}, false, kEdited);
    refused("another program is changing the copy: refused after a moment, nothing asked",
            [](Scene& s) { s.other.emplace(s.copy, copylock::Lock::Mode::Exclusive); },
            {{"strExportBusy", {"<copy>"}}});
    refused("another program reads the copy when Yes is given: refused after a moment",
            [](Scene& s) {
                // As an export leaves the copy: on Windows a reader locks only a lock file a writer made.
                { const copylock::Lock written(s.copy, copylock::Lock::Mode::Exclusive); }
                s.whileAsked = [&s] { s.other.emplace(s.copy, copylock::Lock::Mode::Shared); };
            },
            {{"strExportBusy", {"<copy>"}}}, {cfgBack, modelBack});
    QTest::newRow("No: nothing changes") << Setup([](Scene& s) { s.yes = false; }) << false << Parts{cfgBack, modelBack}
                                         << Parts{} << kExported << variantContent(4) << QByteArrayList{};
}

void TestRestore::restoreAsInstalled() {
    QFETCH(Setup, setup);
    QFETCH(bool, ordinaryUser);
    QFETCH(Parts, asked);
    QFETCH(Parts, told);
    QFETCH(QByteArray, cfg);
    QFETCH(QByteArray, model);
    QFETCH(QByteArrayList, kept);
    if (ordinaryUser)
        MEROVAN_RUN_UNPRIVILEGED();
    Scene s;
    setup(s);
    const auto before = snapshot(s.copy);

    Parts question;
    const fileplan::Report report = restore::restoreAsInstalled(
        s.cfg, s.pf.path(), QStringLiteral("Nerova TQ 58"),
        [&](const Parts& parts) {
            question = parts;
            if (s.whileAsked)
                s.whileAsked();
            return s.yes;
        },
        s.ops);
    s.other.reset();
    const auto after = snapshot(s.copy);
#ifdef Q_OS_UNIX // files have modes only here
    for (auto it = s.modes.begin(); it != s.modes.end(); ++it) {
        const auto mode = QFileInfo(it.key()).permissions() &
                          ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
        QCOMPARE(mode, it.value());
    }
#endif
    openUp(s.copy);

    // What is new beside the backups is what the restore kept, under names of its own; the backups
    // themselves (and a user's .bak) stay.
    QByteArrayList keptNow;
    QStringList keptPaths;
    for (auto it = after.begin(); it != after.end(); ++it) {
        if (it.key().startsWith(QLatin1String("merovan-installed/")) && !before.contains(it.key())) {
            QVERIFY2(it.key().contains(QLatin1String(".before-restore-")), qPrintable(it.key()));
            keptNow << it.value();
            keptPaths << QDir::toNativeSeparators(s.copy + QLatin1Char('/') + it.key());
        }
    }
    QCOMPARE(keptNow, kept);
    for (auto it = before.begin(); it != before.end(); ++it) {
        if (it.key().startsWith(QLatin1String("merovan-installed")) || it.key().endsWith(QLatin1String(".bak")))
            QCOMPARE(after.value(it.key()), it.value());
    }
    // The paths the messages name.
    const QMap<QString, QString> paths{{"<cfg>", s.cfg},
                                       {"<model>", s.model},
                                       {"<copy>", s.copy + '/'},
                                       {"<backups>", s.backups},
                                       {"<modelfolder>", s.modelFolder},
                                       {"<folder>", s.copy},
                                       {"<pf>", s.pf.path().chopped(1)}};
    const auto spelled = [&](Parts parts) {
        for (MessagePart& part : parts) {
            for (QString& detail : part.details) {
                const QString head = detail.section(QLatin1Char('/'), 0, 0);
                if (paths.contains(head))
                    detail = QDir::toNativeSeparators(paths[head] + detail.mid(head.size()));
                if (detail == QLatin1String("<kept>"))
                    detail = keptPaths.value(0);
            }
        }
        return parts;
    };
    if (!question.isEmpty()) {
        QCOMPARE(question.takeFirst(),
                 (MessagePart{"strRestoreQuestion", {"Nerova TQ 58", QDir::toNativeSeparators(s.copy + '/')}}));
    }
    QCOMPARE(question, spelled(asked));
    QCOMPARE(report.message, spelled(told));
    QCOMPARE(report.done, told.value(0).key == QLatin1String("strRestoreDone"));

    QCOMPARE(readFile(s.cfg), cfg);
    QCOMPARE(QFileInfo::exists(s.model), !model.isNull());
    QCOMPARE(readFile(s.model), model);
    QCOMPARE(QFileInfo::exists(s.modelFolder), s.modelFolderAfter.value_or(true));
    QVERIFY(temporaryFiles(s.copy).isEmpty());
    if (s.check)
        s.check();
    // The files given back can be exported to again.
    if (report.done && !s.modes.isEmpty())
        QVERIFY(!exportwriter::write({s.cfg, s.pf.path(), {176, 165, std::nullopt, 132, 44}}));
}

QTEST_GUILESS_MAIN(TestRestore)
#include "tst_restore.moc"
