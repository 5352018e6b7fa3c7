#include "ExportFixture.h"

#include "export/WeightAndBalance.h"
#include "loading/LoadingModel.h"

#include <QTest>

using namespace exporttest;

namespace {

wab::StationLoads workedLoads() {
    return {176, 165, std::nullopt, 132, 44};
}

QList<QByteArray> linesOf(const QByteArray& section) {
    QList<QByteArray> lines = section.split('\n');
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

} // namespace

class TestWeightAndBalance : public QObject {
    Q_OBJECT
private slots:
    void workedExample();
    void lineLengthsFollowTheTable();
    void loadsRoundDown_data();
    void loadsRoundDown();
    void freeSeatsGetTheZeroForm();
    void modelVariant_data();
    void modelVariant();
    void rewrite_data();
    void rewrite();
    void everyFurtherExportAddsOneEmptyLine();
};

void TestWeightAndBalance::workedExample() {
    LoadingModel loading;
    QVERIFY(loading.setPilotWeight(80));
    QVERIFY(loading.seat(Seat::Co, 75));
    QVERIFY(loading.seat(Seat::PaxRight, 60));
    QVERIFY(loading.setBaggage(20));
    QCOMPARE(wab::stationLoads(loading), workedLoads());
    QCOMPARE(wab::section(workedLoads()), workedExampleSection());
    QCOMPARE(wab::modelVariant(loading.blnCo(), loading.blnPaxLeft(), loading.blnPaxRight()), std::optional<int>(4));
}

void TestWeightAndBalance::lineLengthsFollowTheTable() {
    // The character counts of the line and suffix tables: prefix 19, then the load, then the suffix.
    const QList<QByteArray> lines = linesOf(wab::section(workedLoads()));
    QCOMPARE(lines.size(), 12); // eleven lines, each ended by CR LF
    QCOMPARE(lines.last(), QByteArray());
    const QList<qsizetype> expected{0,           20,          0,           60,          44,         44,
                                    19 + 3 + 51, 19 + 3 + 49, 19 + 3 + 51, 19 + 3 + 50, 19 + 2 + 55};
    for (qsizetype i = 0; i < expected.size(); ++i)
        QVERIFY2(lines[i].size() == expected[i], lines[i].constData());
    const QByteArray section = wab::section(workedLoads());
    QCOMPARE(section.count("\r\n"), 11);
    QCOMPARE(section.count('\n'), 11);
    for (char c : section)
        QVERIFY(static_cast<unsigned char>(c) < 128);
}

void TestWeightAndBalance::loadsRoundDown_data() {
    QTest::addColumn<int>("station");
    QTest::addColumn<int>("kilograms");
    QTest::addColumn<QByteArray>("line");
    const QByteArray copilotSuffix = ", 0.4, 1.7, 0.0" + blanks(7) + "//Co-Pilot" + blanks(5) + "Weight (lbs)";
    const QByteArray pilotSuffix = ",  0.4, -1.7, 0.0" + blanks(7) + "//Pilot Mirk" + blanks(3) + "Weight (lbs)";
    const QByteArray baggageSuffix = ", -6.5,  0.0, 0.0" + blanks(11) + "//Baggage" + blanks(6) + "Weight (lbs)";
    const QByteArray leftSuffix = ", -3.0, -1.7, 0.0" + blanks(7) + "//Passenger" + blanks(4) + "Weight (lbs)";
    QTest::newRow("co-pilot 45 kg gives 99 (99.207)") << 1 << 45 << "station_load.1 =   99" + copilotSuffix;
    QTest::newRow("pilot 100 kg gives 220 (220.46)") << 0 << 100 << "station_load.0 =   220" + pilotSuffix;
    QTest::newRow("left passenger 1 kg gives 2 (2.2046)") << 2 << 1 << "station_load.2 =   2" + leftSuffix;
    QTest::newRow("baggage 23 kg gives 50 (50.7058)") << 4 << 23 << "station_load.4 =   50" + baggageSuffix;
    QTest::newRow("baggage 0 kg gives a plain 0") << 4 << 0 << "station_load.4 =   0" + baggageSuffix;
}

void TestWeightAndBalance::loadsRoundDown() {
    QFETCH(int, station);
    QFETCH(int, kilograms);
    QFETCH(QByteArray, line);
    LoadingModel loading;
    const auto kg = static_cast<std::int16_t>(kilograms);
    switch (station) {
    case 0:
        QVERIFY(loading.setPilotWeight(kg));
        break;
    case 1:
        QVERIFY(loading.seat(Seat::Co, kg));
        break;
    case 2:
        QVERIFY(loading.seat(Seat::PaxLeft, kg));
        break;
    default:
        QVERIFY(loading.setBaggage(kg));
    }
    QCOMPARE(linesOf(wab::section(wab::stationLoads(loading)))[6 + station], line);
}

void TestWeightAndBalance::freeSeatsGetTheZeroForm() {
    LoadingModel loading; // pilot 80 kg, the other seats free, no baggage
    const QList<QByteArray> lines = linesOf(wab::section(wab::stationLoads(loading)));
    QCOMPARE(lines[6],
             "station_load.0 =   176,  0.4, -1.7, 0.0" + blanks(7) + "//Pilot Mirk" + blanks(3) + "Weight (lbs)");
    QCOMPARE(lines[7], "station_load.1 =    0 , 0.4, 1.7, 0.0" + blanks(7) + "//Co-Pilot" + blanks(5) + "Weight (lbs)");
    QCOMPARE(lines[8],
             "station_load.2 =    0 , -3.0, -1.7, 0.0" + blanks(7) + "//Passenger" + blanks(4) + "Weight (lbs)");
    QCOMPARE(lines[9],
             "station_load.3 =    0 , -3.0, 1.7, 0.0" + blanks(7) + "//Passenger" + blanks(4) + "Weight (lbs)");
    QCOMPARE(lines[10],
             "station_load.4 =   0, -6.5,  0.0, 0.0" + blanks(11) + "//Baggage" + blanks(6) + "Weight (lbs)");
}

void TestWeightAndBalance::modelVariant_data() {
    QTest::addColumn<bool>("co");
    QTest::addColumn<bool>("left");
    QTest::addColumn<bool>("right");
    QTest::addColumn<int>("variant"); // 0: none
    QTest::newRow("pilot alone: 1") << false << false << false << 1;
    QTest::newRow("co-pilot: 2") << true << false << false << 2;
    QTest::newRow("co-pilot and left: 3") << true << true << false << 3;
    QTest::newRow("co-pilot and right: 4") << true << false << true << 4;
    QTest::newRow("all seats: 5") << true << true << true << 5;
    QTest::newRow("left without co-pilot: none") << false << true << false << 0;
    QTest::newRow("right without co-pilot: none") << false << false << true << 0;
    QTest::newRow("both passengers without co-pilot: none") << false << true << true << 0;
}

void TestWeightAndBalance::modelVariant() {
    QFETCH(bool, co);
    QFETCH(bool, left);
    QFETCH(bool, right);
    QFETCH(int, variant);
    QCOMPARE(wab::modelVariant(co, left, right), variant == 0 ? std::nullopt : std::optional<int>(variant));
}

void TestWeightAndBalance::rewrite_data() {
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray s = workedExampleSection();
    const QByteArray oldBody = "[WEIGHT_AND_BALANCE]\r\nempty_weight = 1000\r\nstation_load.0 = 1, 2, 3\r\n\r\n";

    QTest::newRow("section last: kept bytes unchanged, old section replaced")
        << kHead + "\r\n" + oldBody << kHead + "\r\n" + s;
    QTest::newRow("sections after it are kept byte for byte")
        << kHead + "\r\n" + oldBody + kTail << kHead + "\r\n" + s + kTail;
    QTest::newRow("no header: appended after the last line end") << kHead << kHead + s;
    QTest::newRow("no header, last line without line end: its line is ended")
        << QByteArray("[General]\r\neditable=1") << "[General]\r\neditable=1" + s;
    QTest::newRow("empty file") << QByteArray() << s;
    QTest::newRow("header in lower case is not found: appended, old text kept")
        << kHead + "[weight_and_balance]\r\nempty_weight = 1000\r\n"
        << kHead + "[weight_and_balance]\r\nempty_weight = 1000\r\n" + s;
    QTest::newRow("header after a comment mark: cut at its bracket")
        << QByteArray(
               "[General]\r\n// [WEIGHT_AND_BALANCE] was here\r\nempty_weight = 1000\r\n[fuel]\r\nfuel_type = 1\r\n")
        << "[General]\r\n// " + s + "[fuel]\r\nfuel_type = 1\r\n";
    QTest::newRow("header mentioned in a comment before the real one: both go")
        << "[General]\r\n// see [WEIGHT_AND_BALANCE] below\r\n" + oldBody + kTail << "[General]\r\n// see " + s + kTail;
    QTest::newRow("two weight-and-balance sections in a row: both replaced") << oldBody + oldBody + kTail << s + kTail;
    QTest::newRow("a bracket inside a line does not end the section")
        << "[WEIGHT_AND_BALANCE]\r\nnote = [kg]\r\n\r\n" + kTail << s + kTail;
    QTest::newRow("LF line ends: the next section is still found")
        << QByteArray("[General]\n[WEIGHT_AND_BALANCE]\nempty_weight = 1000\n[fuel]\nfuel_type = 1\n")
        << "[General]\n" + s + "[fuel]\nfuel_type = 1\n";
    const QByteArray raw = QByteArray("title=Fl\xe4") + "che" + QByteArray(1, '\0') + "\xff\r\n";
    QTest::newRow("kept bytes are not decoded") << raw + oldBody + kTail << raw + s + kTail;
    const QByteArray bigComment = "// " + QByteArray(70000, 'x') + "\r\n";
    QTest::newRow("no size limit") << bigComment + oldBody + kTail + bigComment << bigComment + s + kTail + bigComment;
}

void TestWeightAndBalance::rewrite() {
    QFETCH(QByteArray, original);
    QFETCH(QByteArray, expected);
    QCOMPARE(wab::rewriteWeightAndBalance(original, workedLoads()), expected);
}

void TestWeightAndBalance::everyFurtherExportAddsOneEmptyLine() {
    const wab::StationLoads other{220, std::nullopt, 99, std::nullopt, 0};
    const QByteArray once = wab::rewriteWeightAndBalance(kCfg, workedLoads());
    QCOMPARE(once, kHead + "\r\n" + wab::section(workedLoads()) + kTail);
    // The later export finds the header the first one wrote and replaces that section.
    const QByteArray twice = wab::rewriteWeightAndBalance(once, other);
    QCOMPARE(twice, kHead + "\r\n\r\n" + wab::section(other) + kTail);
    const QByteArray thrice = wab::rewriteWeightAndBalance(twice, workedLoads());
    QCOMPARE(thrice, kHead + "\r\n\r\n\r\n" + wab::section(workedLoads()) + kTail);
}

QTEST_GUILESS_MAIN(TestWeightAndBalance)
#include "tst_weightandbalance.moc"
