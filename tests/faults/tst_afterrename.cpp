// An export whose replacement of a file fails only after the rename (the folder could not be
// synced) has put that file in place all the same. The export takes it back like any other step
// already done, so that "nothing has been changed" stays true and the model never shows a loading
// that aircraft.cfg does not have. A restore that cannot take its aircraft.cfg back says so in its
// own words.

#include "core/common/AtomicFile.h"
#include "core/export/ExportWriter.h"
#include "core/export/Restore.h"
#include "support/ExportFixture.h"

#include <QTest>

using namespace exporttest;
using Kind = fileplan::Failure::Kind;

namespace {

const QString kCopy = QStringLiteral("nerova_tq58");
const QString kSyncFailed = QStringLiteral("Input/output error");

// File operations that do the real replacement of `lateTarget` and then report the failure of
// the folder's sync; `deadTarget` fails outright on any later attempt.
fileplan::FileOps failingAfterRename(const QString& lateTarget, const QString& deadTarget = QString()) {
    auto attempts = std::make_shared<QMap<QString, int>>();
    auto decide = [=](const QString& target, const std::function<bool()>& real, QString* reason) {
        const int attempt = ++(*attempts)[target];
        if (target == deadTarget && attempt > 1) {
            *reason = kSyncFailed;
            return false;
        }
        const bool done = real();
        if (target == lateTarget && attempt == 1) {
            *reason = kSyncFailed;
            return false;
        }
        return done;
    };
    fileplan::FileOps ops;
    ops.replaceWithData = [=](const QString& path, const QByteArray& data, QString* reason) {
        return decide(
            path, [&] { return atomicfile::replaceWithData(path, data, reason); }, reason);
    };
    ops.replaceWithCopy = [=](const QString& source, const QString& target, QString* reason) {
        return decide(
            target, [&] { return atomicfile::replaceWithCopy(source, target, reason); }, reason);
    };
    return ops;
}

} // namespace

class TestAfterRename : public QObject {
    Q_OBJECT
private slots:
    void replacementIsTakenBack_data();
    void replacementIsTakenBack();
    void modelStaysWithAnAircraftCfgThatCannotGoBack();
    void restoreTellsWhatStaysAsInstalled();
};

void TestAfterRename::replacementIsTakenBack_data() {
    QTest::addColumn<QString>("late");    // the file whose folder sync fails: model or cfg
    QTest::addColumn<bool>("modelThere"); // the copy has a model before the export
    QTest::addColumn<bool>("variant");    // the loading has a model variant
    QTest::newRow("model replaced") << "model" << true << true;
    QTest::newRow("model created") << "model" << false << true;
    QTest::newRow("aircraft.cfg after the model was replaced") << "cfg" << true << true;
    QTest::newRow("aircraft.cfg after the model was created") << "cfg" << false << true;
    QTest::newRow("aircraft.cfg, no model variant") << "cfg" << true << false;
}

void TestAfterRename::replacementIsTakenBack() {
    QFETCH(QString, late);
    QFETCH(bool, modelThere);
    QFETCH(bool, variant);
    TestProgramFolder pf;
    Fs2000 fs{pf};
    QDir().mkpath(fs.aircraft() + kCopy + QStringLiteral("/Model"));
    const QString cfg = fs.addCopy(kCopy, kCfg, modelThere ? kInstalledModel : QByteArray());
    const QString model = fs.model(kCopy);

    const exportwriter::Job job{
        cfg, pf.path(), {176, variant ? std::optional<std::int64_t>(165) : std::nullopt, std::nullopt, 132, 44}};
    const QString lateTarget = late == QLatin1String("model") ? model : cfg;

    const auto failure = exportwriter::write(job, failingAfterRename(lateTarget));
    QVERIFY(failure);
    QCOMPARE(int(failure->kind), int(Kind::WriteFailed));
    QCOMPARE(failure->path, lateTarget);
    QCOMPARE(failure->reason, kSyncFailed);
    QVERIFY(!failure->standing.model);
    // Nothing has been changed in the aircraft; the backups hold what was there.
    QCOMPARE(readFile(cfg), kCfg);
    QCOMPARE(QFileInfo::exists(model), modelThere);
    if (modelThere) {
        QCOMPARE(readFile(model), kInstalledModel);
        QCOMPARE(readFile(fs.backup(kCopy, QStringLiteral("TQ58-161.mdl.installed"))), kInstalledModel);
    }
    QCOMPARE(readFile(fs.backup(kCopy, QStringLiteral("aircraft.cfg.installed"))), kCfg);
}

void TestAfterRename::modelStaysWithAnAircraftCfgThatCannotGoBack() {
    TestProgramFolder pf;
    Fs2000 fs{pf};
    const QString cfg = fs.addCopy(kCopy);
    const QString model = fs.model(kCopy);
    const exportwriter::Job job{cfg, pf.path(), {176, 165, std::nullopt, 132, 44}};

    const auto failure = exportwriter::write(job, failingAfterRename(cfg, cfg));
    QVERIFY(failure);
    QCOMPARE(failure->path, cfg);
    QCOMPARE(readFile(cfg), exportedCfg(threePersonsSection()));
    QCOMPARE(readFile(model), variantContent(4));
    // The message must not say that nothing has changed: it names both files and the backups.
    QVERIFY(!failure->nothingChanged());
    QCOMPARE(failure->standing.cfg->path, cfg);
    QCOMPARE(failure->standing.cfg->reason, kSyncFailed);
    QCOMPARE(failure->standing.cfg->backup, fs.backup(kCopy, QStringLiteral("aircraft.cfg.installed")));
    QCOMPARE(readFile(failure->standing.cfg->backup), kCfg);
    QCOMPARE(failure->standing.model->path, model);
    QCOMPARE(failure->standing.model->backup, fs.backup(kCopy, QStringLiteral("TQ58-161.mdl.installed")));
    QCOMPARE(readFile(failure->standing.model->backup), kInstalledModel);
}

void TestAfterRename::restoreTellsWhatStaysAsInstalled() {
    TestProgramFolder pf;
    Fs2000 fs{pf};
    const QByteArray exported = exportedCfg(threePersonsSection());
    const QString cfg = fs.addCopy(kCopy, exported, variantContent(4));
    const QString model = fs.model(kCopy);
    const QString cfgBackup = fs.backup(kCopy, QStringLiteral("aircraft.cfg.installed"));
    const QString modelBackup = fs.backup(kCopy, QStringLiteral("TQ58-161.mdl.installed"));
    QVERIFY(writeFile(cfgBackup, kCfg));
    QVERIFY(writeFile(modelBackup, kInstalledModel));
    // aircraft.cfg as installed lands, its folder's sync fails, and the way back fails too.
    fileplan::FileOps ops;
    ops.restoreCopy = [&](const QString& source, const QString& target, const atomicfile::Attributes& installed,
                          QString* reason) {
        const bool done = atomicfile::restoreCopy(source, target, installed, reason);
        *reason = kSyncFailed;
        return done && target != cfg;
    };
    ops.replaceWithData = [](const QString&, const QByteArray&, QString* reason) {
        *reason = kSyncFailed;
        return false;
    };
    QList<MessagePart> asked;
    const fileplan::Report report = restore::restoreAsInstalled(
        cfg, pf.path(), QStringLiteral("T"),
        [&](const QList<MessagePart>& question) {
            asked = question;
            return true;
        },
        ops);
    QVERIFY(!asked.isEmpty());
    QVERIFY(!report.done);
    const auto native = [](const QString& path) { return QDir::toNativeSeparators(path); };
    QCOMPARE(report.message, (QList<MessagePart>{{QStringLiteral("strExportWriteFailed"), {native(cfg), kSyncFailed}},
                                                 {QStringLiteral("strRestoreCfgNotRestored"),
                                                  {native(cfg), kSyncFailed, native(cfgBackup)}},
                                                 {QStringLiteral("strRestoreModelNew"), {native(model)}}}));
    QCOMPARE(readFile(cfg), kCfg);
    QCOMPARE(readFile(model), kInstalledModel);
}

QTEST_GUILESS_MAIN(TestAfterRename)
#include "tst_afterrename.moc"
