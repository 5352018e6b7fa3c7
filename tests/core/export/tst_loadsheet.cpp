// The load sheet without a window: the weights, moments and centre of gravity of a loading, and of
// what a copy's aircraft.cfg holds.

#include "support/ExportFixture.h"
#include "support/Loadings.h"

#include "core/export/LoadSheet.h"

#include <QTest>

#include <functional>

using namespace exporttest;

namespace {

// The centre of gravity to four places, "none" without one.
QString shown(const std::optional<wab::Position>& cg) {
    if (!cg)
        return QStringLiteral("none");
    return QString::number(cg->along, 'f', 4) + QLatin1Char(' ') + QString::number(cg->across, 'f', 4);
}

using Cfg = std::function<QByteArray()>;

} // namespace

Q_DECLARE_METATYPE(Cfg)

class TestLoadSheet : public QObject {
    Q_OBJECT
private slots:
    void ofLoading_data();
    void ofLoading();
    void ofCopy_data();
    void ofCopy();
};

void TestLoadSheet::ofLoading_data() {
    QTest::addColumn<LoadingModel>("loading");
    QTest::addColumn<QString>("pounds"); // of the five stations; "-" for a free seat
    QTest::addColumn<int>("kilograms");
    QTest::addColumn<double>("totalPounds");
    QTest::addColumn<QString>("cg");
    QTest::newRow("the start loading: the pilot's 176 lb ahead of the datum and to the left")
        << loadingOf(80, 0, 0, 0, 0) << "176 - - - 0" << 775 << 1708.0 << "0.0412 -0.1752";
    QTest::newRow("every seat taken and 23 kg of baggage: far aft, nearly on the centre line")
        << loadingOf(80, 75, 68, 60, 23) << "176 165 149 132 50" << 1001 << 2204.0 << "-0.4681 -0.0216";
    QTest::newRow("baggage only, besides the pilot")
        << loadingOf(80, 0, 0, 0, 23) << "176 - - - 50" << 798 << 1758.0 << "-0.1448 -0.1702";
    QTest::newRow("the left passenger's seat free: the weight to the right")
        << loadingOf(80, 75, 0, 60, 20) << "176 165 - 132 44" << 930 << 2049.0 << "-0.2663 0.1004";
    QTest::newRow("a total below zero, as weights below zero can make it: no centre of gravity")
        << loadingOf(40, -8012, 0, 0, 0) << "88 -17664 - - 0" << -7277 << -16044.0 << "none";
}

void TestLoadSheet::ofLoading() {
    QFETCH(LoadingModel, loading);
    QFETCH(QString, pounds);
    QFETCH(int, kilograms);
    QFETCH(double, totalPounds);
    QFETCH(QString, cg);
    const loadsheet::Sheet sheet = loadsheet::ofLoading(loading);
    QStringList stations;
    for (const loadsheet::Station& station : sheet.stations)
        stations << (station.loaded ? QString::number(station.pounds) : QStringLiteral("-"));
    QCOMPARE(stations.join(QLatin1Char(' ')), pounds);
    QCOMPARE(sheet.empty.pounds, 1532.0);
    QCOMPARE(sheet.empty.kilograms, 695);
    QCOMPARE(sheet.totalKilograms, kilograms);
    QCOMPARE(sheet.totalPounds, totalPounds);
    QCOMPARE(shown(sheet.centreOfGravity), cg);
}

void TestLoadSheet::ofCopy_data() {
    QTest::addColumn<Cfg>("cfg");
    QTest::addColumn<QString>("cg");
    // Exported by the export itself into a copy, and read back from its file.
    auto exported = [](LoadingModel loading) -> Cfg {
        return [loading] {
            TestProgramFolder pf;
            Fs2000 fs(pf);
            exportwriter::Job job;
            job.cfgPath = fs.addCopy(QStringLiteral("nerova_tq58"));
            job.programFolder = pf.path();
            job.loads = wab::stationLoads(loading);
            if (!exportwriter::exportLoading(job).done)
                QTest::qFail("the export failed", __FILE__, __LINE__);
            // The copy's centre of gravity is the loading's.
            const auto cfg = readFile(job.cfgPath);
            const auto sheet = loadsheet::ofCopy(cfg);
            if (!sheet || sheet->centreOfGravity != loadsheet::ofLoading(loading).centreOfGravity)
                QTest::qFail("the copy's centre of gravity is not the loading's", __FILE__, __LINE__);
            return cfg;
        };
    };
    auto holding = [](QByteArrayList values) -> Cfg { return [values] { return cfgWith(values); }; };
    QTest::newRow("exported: the start loading") << exported(loadingOf(80, 0, 0, 0, 0)) << "0.0412 -0.1752";
    QTest::newRow("exported: every seat taken") << exported(loadingOf(80, 75, 68, 60, 23)) << "-0.4681 -0.0216";
    QTest::newRow("exported: baggage only") << exported(loadingOf(80, 0, 0, 0, 23)) << "-0.1448 -0.1702";
    QTest::newRow("exported: a free seat") << exported(loadingOf(80, 75, 0, 60, 20)) << "-0.2663 0.1004";
    QTest::newRow("the places are those the export writes, whatever the file's lines say")
        << holding({"176", "165", " 0 ", "132", "44"}) << "-0.2663 0.1004";
    QTest::newRow("decimal pounds another tool wrote count as they stand")
        << holding({"176.4", "0", "0", "0", "0"}) << "0.0413 -0.1755";
    QTest::newRow("a station without its line: none") << holding({"176", "0", "0", "0", "-"}) << "none";
    QTest::newRow("a load that is no number: none") << holding({"176", "x", "0", "0", "0"}) << "none";
    QTest::newRow("a load of four hundred digits: none")
        << holding({QByteArray(400, '9'), "0", "0", "0", "0"}) << "none";
}

void TestLoadSheet::ofCopy() {
    QFETCH(Cfg, cfg);
    QFETCH(QString, cg);
    const auto sheet = loadsheet::ofCopy(cfg());
    QCOMPARE(sheet ? shown(sheet->centreOfGravity) : QStringLiteral("none"), cg);
}

QTEST_GUILESS_MAIN(TestLoadSheet)
#include "tst_loadsheet.moc"
