// A child process exports over and over and is killed (SIGKILL) at a random moment, again and
// again. After each kill, aircraft.cfg and the model are each exactly what they were before the
// export under way or exactly what it writes; never a part. Temporary files of a killed
// replacement may stay behind; they never take the place of a real file. The export after each
// restart works.
//
// Environment: MEROVAN_CRASH_KILLS (default 60), MEROVAN_CRASH_SEED (default 58) and
// MEROVAN_CRASH_SECONDS (default 150, the bound on the whole run). `make crash-long` runs 500.

#include "FaultHarness.h"
#include "core/export/WeightAndBalance.h"
#include "support/ExportFixture.h"

#include <QElapsedTimer>
#include <QTest>

#include <chrono>
#include <random>
#include <signal.h>
#include <thread>

using namespace faults;
using namespace exporttest;

namespace {

const QString kDriver = QStringLiteral(MEROVAN_FAULT_DRIVER);
const QString kCopy = QStringLiteral("nerova_tq58");

int setting(const char* name, int fallback) {
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

// The loadings the driver alternates: pilot 80, co-pilot 75, right passenger 60, baggage 20
// (model 4); then the left passenger of 50 kg seated as well (model 5).
const wab::StationLoads kLoadsA{176, 165, std::nullopt, 132, 44};
const wab::StationLoads kLoadsB{176, 165, 110, 132, 44};

// A model variant big enough that a kill can fall into its copy.
QByteArray bigVariant(int n) {
    QByteArray content = "model variant " + QByteArray::number(n) + "\n";
    for (int i = 0; content.size() < 96 * 1024; ++i)
        content += "vertex " + QByteArray::number(n) + "." + QByteArray::number(i) + "\n";
    return content;
}

// What the files hold after the first `exports` exports of one child, started from `cfg` and
// `model`: the child begins with loading A and then alternates.
struct Chain {
    QByteArray baseCfg;
    QByteArray baseModel;
    QList<QByteArray> cfgs;

    QByteArray cfgAfter(int exports) {
        if (cfgs.isEmpty())
            cfgs.append(baseCfg);
        while (cfgs.size() <= exports) {
            const int next = int(cfgs.size()); // 1-based number of the export
            cfgs.append(wab::rewriteWeightAndBalance(cfgs.last(), next % 2 == 1 ? kLoadsA : kLoadsB));
        }
        return cfgs[exports];
    }
    QByteArray modelAfter(int exports) const {
        if (exports == 0)
            return baseModel;
        return bigVariant(exports % 2 == 1 ? 4 : 5);
    }
};

} // namespace

class TestCrash : public QObject {
    Q_OBJECT
private slots:
    void killedExportsLeaveWholeFiles();
};

void TestCrash::killedExportsLeaveWholeFiles() {
    const int wantedKills = setting("MEROVAN_CRASH_KILLS", 60);
    const int seed = setting("MEROVAN_CRASH_SEED", 58);
    const int seconds = setting("MEROVAN_CRASH_SECONDS", 150);
    std::mt19937 random(static_cast<std::mt19937::result_type>(seed));

    TestProgramFolder pf;
    Fs2000 fs{pf};
    QVERIFY(pf.isValid());
    for (int n = 1; n <= 5; ++n)
        pf.write(QStringLiteral("Models/%1.mdl").arg(n), bigVariant(n));
    const QString cfgPath = fs.addCopy(kCopy);
    const QString modelPath = fs.model(kCopy);
    const QString air = fs.aircraft() + kCopy;
    const QStringList known{"aircraft.cfg",
                            "merovan-installed/",
                            "merovan-installed/aircraft.cfg.installed",
                            "merovan-installed/TQ58-161.mdl.installed",
                            "merovan-installed/attributes.installed",
                            "Model/",
                            "Model/TQ58-161.mdl"};

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const QStringList arguments{pf.path(), "export", "--seats", "Co:75,PaxRight:60", "--baggage", "20"};

    QElapsedTimer clock;
    clock.start();
    int kills = 0;
    int betweenFiles = 0;     // kills that found the model of the export under way but the old cfg
    int exportsDone = 0;      // exports the children reported complete
    int restartsExported = 0; // children that completed at least one export before the kill
    double window = 0;        // milliseconds over which the kill moment is drawn
    bool timedOut = false;
    QByteArray cfg = kCfg;
    QByteArray model = kInstalledModel;

    while (kills < wantedKills) {
        if (clock.elapsed() > seconds * 1000LL) {
            timedOut = true;
            break;
        }
        Chain chain{cfg, model, {}};
        Driver driver;
        driver.start(kDriver, arguments + QStringList{"--loop"}, env);
        QVERIFY2(driver.waitForLine(QStringLiteral("READY")), qPrintable(driver.errorOutput() + driver.transcript()));
        if (window == 0) {
            // The first child measures how long an export takes; the kill moments are then drawn
            // over about three exports.
            QElapsedTimer exportClock;
            exportClock.start();
            QVERIFY2(driver.waitForLine(QStringLiteral("DONE 4")), qPrintable(driver.transcript()));
            window = qMax(2.0, 3.0 * double(exportClock.elapsed()) / 4.0);
        } else {
            std::uniform_real_distribution<double> moment(0.0, window);
            std::this_thread::sleep_for(std::chrono::microseconds(qint64(moment(random) * 1000.0)));
        }
        const qint64 pid = driver.process().processId();
        QVERIFY2(driver.process().state() == QProcess::Running,
                 qPrintable("the exporting child ended by itself: " + driver.transcript() + driver.errorOutput()));
        ::kill(pid_t(pid), SIGKILL);
        QVERIFY(driver.process().waitForFinished(30000));
        driver.drain();
        QVERIFY2(driver.process().exitStatus() == QProcess::CrashExit,
                 qPrintable("the exporting child ended by itself: " + driver.transcript() + driver.errorOutput()));
        ++kills;

        const int done = driver.lastDone();
        exportsDone += done;
        restartsExported += done > 0;
        const QString where = QStringLiteral("kill %1 after %2 export(s)").arg(kills).arg(done);
        const QByteArray cfgNow = readFile(cfgPath);
        const QByteArray modelNow = readFile(modelPath);
        // The export under way writes the model first, then aircraft.cfg.
        const bool bothOld = cfgNow == chain.cfgAfter(done) && modelNow == chain.modelAfter(done);
        const bool modelNew = cfgNow == chain.cfgAfter(done) && modelNow == chain.modelAfter(done + 1);
        const bool bothNew = cfgNow == chain.cfgAfter(done + 1) && modelNow == chain.modelAfter(done + 1);
        QVERIFY2(bothOld || modelNew || bothNew,
                 qPrintable(where + QStringLiteral(": aircraft.cfg %1 B, model %2 B are not whole files of one step")
                                        .arg(cfgNow.size())
                                        .arg(modelNow.size())));
        betweenFiles += modelNew && !bothOld;

        // Backups hold the files as installed, or are not made yet.
        const std::pair<QString, QByteArray> backups[] = {
            {fs.backup(kCopy, QStringLiteral("aircraft.cfg.installed")), kCfg},
            {fs.backup(kCopy, QStringLiteral("TQ58-161.mdl.installed")), kInstalledModel}};
        for (const auto& [backup, original] : backups) {
            if (QFileInfo::exists(backup))
                QVERIFY2(readFile(backup) == original, qPrintable(where + ": " + backup));
            else
                QVERIFY2(exportsDone == 0 && cfgNow == kCfg && modelNow == kInstalledModel,
                         qPrintable(where + ": files changed without " + backup));
        }
        // Nothing else but temporary files of killed replacements.
        for (const QString& entry : snapshot(air).keys())
            QVERIFY2(known.contains(entry) || isTemporaryFile(entry), qPrintable(where + ": unexpected " + entry));
        cfg = cfgNow;
        model = modelNow;
    }
    const int strays = int(temporaryFiles(air).size());

    // The export after the last restart runs to its end.
    Driver last;
    last.start(kDriver, arguments, env);
    QVERIFY2(last.finish(), qPrintable(last.errorOutput() + last.transcript()));
    QCOMPARE(last.dialogs(1, QStringLiteral("exclamation")).size(), 0);
    QCOMPARE(last.dialogs(1, QStringLiteral("information")).size(), 1);
    QCOMPARE(readFile(cfgPath), wab::rewriteWeightAndBalance(cfg, kLoadsA));
    QCOMPARE(readFile(modelPath), bigVariant(4));
    QCOMPARE(readFile(fs.backup(kCopy, QStringLiteral("aircraft.cfg.installed"))), kCfg);

    qInfo("crash run, seed %d: %d kills in %.1f s (kill moments over %.1f ms), %d exports completed, %d restarts "
          "exported before their kill, %d kills between the model and aircraft.cfg, %d temporary files left by "
          "kills; every file whole",
          seed, kills, double(clock.elapsed()) / 1000.0, window, exportsDone, restartsExported, betweenFiles, strays);
    if (timedOut) {
        QVERIFY2(
            kills >= qMax(1, wantedKills / 4),
            qPrintable(QStringLiteral("only %1 of %2 kills within %3 s").arg(kills).arg(wantedKills).arg(seconds)));
        QWARN(qPrintable(QStringLiteral("stopped at the time bound after %1 of %2 kills").arg(kills).arg(wantedKills)));
    }
}

QTEST_GUILESS_MAIN(TestCrash)
#include "tst_crash.moc"
