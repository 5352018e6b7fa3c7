#include "support/ExportFixture.h"

#include "core/export/WeightAndBalance.h"
#include "core/loading/LoadingModel.h"

#include <QTest>

using namespace exporttest;

namespace {

wab::StationLoads threePersonsLoads() {
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
    void threePersonsAndBaggage();
    void stationLines_data();
    void stationLines();
    void modelVariant_data();
    void modelVariant();
    void replacesTheSectionAndKeepsTheRest_data();
    void replacesTheSectionAndKeepsTheRest();
    void readStationValues_data();
    void readStationValues();
};

void TestWeightAndBalance::threePersonsAndBaggage() {
    LoadingModel loading;
    QVERIFY(loading.setPilotWeight(80));
    QVERIFY(loading.seat(Seat::Co, 75));
    QVERIFY(loading.seat(Seat::PaxRight, 60));
    QVERIFY(loading.setBaggage(20));
    QCOMPARE(wab::stationLoads(loading), threePersonsLoads());
    QCOMPARE(wab::section(threePersonsLoads()), threePersonsSection());
    QCOMPARE(wab::modelVariant(loading.blnCo(), loading.occupied(Seat::PaxLeft), loading.occupied(Seat::PaxRight)),
             std::optional<int>(4));
}

void TestWeightAndBalance::stationLines_data() {
    QTest::addColumn<int>("station");
    QTest::addColumn<int>("kilograms"); // -1: the seat free
    QTest::addColumn<QByteArray>("line");
    const QByteArray copilotSuffix = ", 0.4, 1.7, 0.0" + blanks(7) + "//Co-Pilot" + blanks(5) + "Weight (lbs)";
    const QByteArray pilotSuffix = ",  0.4, -1.7, 0.0" + blanks(7) + "//Pilot Mirk" + blanks(3) + "Weight (lbs)";
    const QByteArray baggageSuffix = ", -6.5,  0.0, 0.0" + blanks(11) + "//Baggage" + blanks(6) + "Weight (lbs)";
    const QByteArray leftSuffix = ", -3.0, -1.7, 0.0" + blanks(7) + "//Passenger" + blanks(4) + "Weight (lbs)";
    const QByteArray rightSuffix = ", -3.0, 1.7, 0.0" + blanks(7) + "//Passenger" + blanks(4) + "Weight (lbs)";
    QTest::newRow("co-pilot 45 kg gives 99 (99.207)") << 1 << 45 << "station_load.1 =   99" + copilotSuffix;
    QTest::newRow("pilot 77 kg gives 169 (169.754), never rounded up")
        << 0 << 77 << "station_load.0 =   169" + pilotSuffix;
    QTest::newRow("pilot 100 kg gives 220 (220.46)") << 0 << 100 << "station_load.0 =   220" + pilotSuffix;
    QTest::newRow("left passenger 1 kg gives 2 (2.2046)") << 2 << 1 << "station_load.2 =   2" + leftSuffix;
    QTest::newRow("baggage 23 kg gives 50 (50.7058)") << 4 << 23 << "station_load.4 =   50" + baggageSuffix;
    QTest::newRow("baggage 0 kg gives a plain 0") << 4 << 0 << "station_load.4 =   0" + baggageSuffix;
    QTest::newRow("a free co-pilot seat gives the zero form") << 1 << -1 << "station_load.1 =    0 " + copilotSuffix;
    QTest::newRow("a free left seat gives the zero form") << 2 << -1 << "station_load.2 =    0 " + leftSuffix;
    QTest::newRow("a free right seat gives the zero form") << 3 << -1 << "station_load.3 =    0 " + rightSuffix;
}

void TestWeightAndBalance::stationLines() {
    QFETCH(int, station);
    QFETCH(int, kilograms);
    QFETCH(QByteArray, line);
    LoadingModel loading; // pilot 80 kg, the other seats free, no baggage
    const auto kg = static_cast<std::int16_t>(kilograms);
    const Seat seats[] = {Seat::Pilot, Seat::Co, Seat::PaxLeft, Seat::PaxRight};
    if (station == 0)
        QVERIFY(loading.setPilotWeight(kg));
    else if (station == 4)
        QVERIFY(loading.setBaggage(kg));
    else if (kilograms >= 0)
        QVERIFY(loading.seat(seats[station], kg));
    QCOMPARE(linesOf(wab::section(wab::stationLoads(loading)))[6 + station], line);
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

void TestWeightAndBalance::replacesTheSectionAndKeepsTheRest_data() {
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray s = threePersonsSection();
    const QByteArray w = s.mid(2); // what replaces a header line: the section without its empty line
    const QByteArray oldBody = "[WEIGHT_AND_BALANCE]\r\nempty_weight = 1000\r\nstation_load.0 = 1, 2, 3\r\n\r\n";

    QTest::newRow("section last: bytes before it kept, its empty last line kept")
        << kHead + "\r\n" + oldBody << kHead + "\r\n" + w + "\r\n";
    QTest::newRow("sections after it are kept byte for byte")
        << kHead + "\r\n" + oldBody + kTail << kHead + "\r\n" + w + "\r\n" + kTail;
    QTest::newRow("no header: appended after the last line end") << kHead << kHead + s;
    QTest::newRow("no header, last line without line end: its line is ended first")
        << QByteArray("[General]\r\neditable=1") << "[General]\r\neditable=1\r\n" + s;
    QTest::newRow("no header, lone CR line ends: appended after the last line end")
        << QByteArray("[General]\reditable=1\r") << "[General]\reditable=1\r" + QByteArray(s).replace("\r\n", "\r");
    QTest::newRow("empty file") << QByteArray() << s;
    QTest::newRow("header in lower case is the section")
        << kHead + "[weight_and_balance]\r\nempty_weight = 1000\r\n" + kTail << kHead + w + kTail;
    QTest::newRow("indented header with a comment after it")
        << kHead + " \t[Weight_And_Balance] // loading\r\nempty_weight = 1000\r\n" + kTail << kHead + w + kTail;
    const QByteArray general = "[General]\r\n// Beladung: siehe [WEIGHT_AND_BALANCE] weiter unten\r\natc_heavy=0\r\n"
                               "atc_airline=\r\nperformance=Cruise 125 kts\r\n\r\n";
    QTest::newRow("header mentioned in a comment line is no header")
        << general + oldBody + kTail << general + w + "\r\n" + kTail;
    const QByteArray entry =
        "[fltsim.0]\r\ntitle=Nerova TQ 58\r\ndescription=Loads go to [WEIGHT_AND_BALANCE] as usual\r\nsim=TQ58-161\r\n"
        "model=\r\n\r\n";
    QTest::newRow("header mentioned in description= is no header") << entry + oldBody << entry + w + "\r\n";
    QTest::newRow("indented next header ends the section")
        << QByteArray("[WEIGHT_AND_BALANCE]\r\nempty_weight = 1000\r\n  [gear_warning_system]\r\n"
                      "gear_warning_available = 0\r\n")
        << w + "  [gear_warning_system]\r\ngear_warning_available = 0\r\n";
    QTest::newRow("comment block heading the next section is kept")
        << QByteArray("[WEIGHT_AND_BALANCE]\r\nstation_load.0 = 1\r\n\r\n//---- Tanks: 2 x 20 gal ----\r\n"
                      "[fuel]\r\nfuel_type = 1\r\n")
        << w + "\r\n//---- Tanks: 2 x 20 gal ----\r\n[fuel]\r\nfuel_type = 1\r\n";
    const QByteArray others = "max_gross_weight = 2332\r\n"
                              "// Tr\xe4gheitsmomente (slug ft\xb2)\r\n"
                              "empty_weight_pitch_MOI = 1200\r\n"
                              "empty_weight_roll_MOI = 1100\r\n"
                              "\tempty_weight_yaw_MOI = 2000\r\n"
                              "empty_weight_coupled_MOI = 0\r\n"
                              "\r\n"
                              "max_number_of_stations = 6\r\n"
                              "// station_load.0 = 170, 0.4, -1.7, 0.0\r\n"
                              "station_load.0x = 1\r\n"
                              "station_load.5 = 20, -7.0, 0.0, 0.0  // Gep\xe4"
                              "ckfach 2\r\n";
    QTest::newRow("other keys, comments and station_load.5 stay in their order after the written lines")
        << "[WEIGHT_AND_BALANCE]\r\n\r\n\r\nmax_gross_weight = 2332\r\nEMPTY_WEIGHT= 1532\r\n"
           "// Tr\xe4gheitsmomente (slug ft\xb2)\r\nempty_weight_pitch_MOI = 1200\r\n"
           "empty_weight_roll_MOI = 1100\r\n\tempty_weight_yaw_MOI = 2000\r\nempty_weight_coupled_MOI = 0\r\n\r\n"
           "max_number_of_stations = 6\r\n reference_datum_position\t=   0.0,   0, 0\r\n"
           "Empty_Weight_CG_Position = 0.0, 0, 0\r\n// station_load.0 = 170, 0.4, -1.7, 0.0\r\n"
           "station_load.0 = 170, 0.4, -1.7, 0.0\r\nstation_load.0x = 1\r\nstation_load.1=0\r\nstation_load.2 = 0\r\n"
           "station_load.3 = 0\r\nstation_load.4 = 0\r\nstation_load.5 = 20, -7.0, 0.0, 0.0  // Gep\xe4"
           "ckfach 2\r\n" +
               kTail
        << w + others + kTail;
    QTest::newRow("a later section with the same header loses only its stale station loads")
        << oldBody + "[fuel]\r\nfuel_type = 1\r\n[Weight_And_Balance]\r\nstation_load.1 = 50, 0.4, 1.7, 0.0\r\n"
                     "max_gross_weight = 2400\r\n"
        << w + "\r\n[fuel]\r\nfuel_type = 1\r\n[Weight_And_Balance]\r\nmax_gross_weight = 2400\r\n";
    QTest::newRow("a later section after brackets in lines, a lone CR and blanks loses its stale loads")
        << oldBody + "[fuel]\r\nnote = [kg] [WEIGHT_AND_BALANCE]\r\nx = 1\r \t[weight_and_balance]\r\n"
                     "station_load.2 = 50, 0.4, 1.7, 0.0\r\nkept = 2\r\n"
        << w + "\r\n[fuel]\r\nnote = [kg] [WEIGHT_AND_BALANCE]\r\nx = 1\r \t[weight_and_balance]\r\nkept = 2\r\n";
    QTest::newRow("two weight-and-balance sections in a row")
        << oldBody + oldBody + kTail << w + "\r\n[WEIGHT_AND_BALANCE]\r\n\r\n" + kTail;
    QTest::newRow("a bracket inside a line does not end the section")
        << "[WEIGHT_AND_BALANCE]\r\nnote = [kg]\r\n\r\n" + kTail << w + "note = [kg]\r\n\r\n" + kTail;
    QTest::newRow("LF line ends")
        << QByteArray("[General]\n[WEIGHT_AND_BALANCE]\nempty_weight = 1000\nmax_gross_weight = 2332\n[fuel]\n"
                      "fuel_type = 1\n")
        << "[General]\n" + QByteArray(w).replace("\r\n", "\n") + "max_gross_weight = 2332\n[fuel]\nfuel_type = 1\n";
    QTest::newRow("lone CR line ends") << QByteArray("[General]\r[WEIGHT_AND_BALANCE]\rempty_weight = 1\r[fuel]\r")
                                       << "[General]\r" + QByteArray(w).replace("\r\n", "\r") + "[fuel]\r";
    QTest::newRow("LF line ends, no header: the appended lines end with LF too")
        << QByteArray("[General]\neditable=1") << "[General]\neditable=1\n" + QByteArray(s).replace("\r\n", "\n");
    QTest::newRow("mixed line ends: the written lines get CR LF")
        << QByteArray("[General]\neditable=1\r\n[WEIGHT_AND_BALANCE]\n") << "[General]\neditable=1\r\n" + w;
    QTest::newRow("last line of the section without line end")
        << QByteArray("[General]\r\n[WEIGHT_AND_BALANCE]\r\nmax_gross_weight = 2332\r\nstation_load.4 = 0")
        << "[General]\r\n" + w + "max_gross_weight = 2332\r\n";
    QTest::newRow("header as the last line, without line end")
        << QByteArray("[General]\r\n[WEIGHT_AND_BALANCE]") << "[General]\r\n" + w;
    const QByteArray bom = "\xEF\xBB\xBF";
    QTest::newRow("byte-order mark before the header is kept")
        << bom + "[WEIGHT_AND_BALANCE]\r\nempty_weight = 1\r\n" + kTail << bom + w + kTail;
    QTest::newRow("byte-order mark before another section")
        << bom + "[General]\r\n" + oldBody << bom + "[General]\r\n" + w + "\r\n";
    const QByteArray cp1252 = QByteArray("[General]\r\n// Gew\xe4hlt: \x80 \x96 \x93") + "Kn\xf6pfe\x94 \x8a\x9e\r\n";
    QTest::newRow("Western code page bytes are kept, not decoded") << cp1252 + oldBody +
                                                                          "// Nutzlast \x84"
                                                                          "120 kg\x93\r\n" +
                                                                          kTail
                                                                   << cp1252 + w +
                                                                          "\r\n// Nutzlast \x84"
                                                                          "120 kg\x93\r\n" +
                                                                          kTail;
    const QByteArray raw = QByteArray("title=Fl\xe4") + "che" + QByteArray(1, '\0') + "\xff\r\n";
    QTest::newRow("NUL and high bytes are kept") << raw + oldBody + kTail << raw + w + "\r\n" + kTail;
    const QByteArray bigComment = "// " + QByteArray(70000, 'x') + "\r\n";
    QTest::newRow("no size limit") << bigComment + oldBody + kTail + bigComment
                                   << bigComment + w + "\r\n" + kTail + bigComment;
}

void TestWeightAndBalance::replacesTheSectionAndKeepsTheRest() {
    QFETCH(QByteArray, original);
    QFETCH(QByteArray, expected);
    const QByteArray once = wab::rewriteWeightAndBalance(original, threePersonsLoads());
    QCOMPARE(once, expected);
    // Exporting the same loading again changes nothing, and a loading exported in between leaves
    // no trace.
    QCOMPARE(wab::rewriteWeightAndBalance(once, threePersonsLoads()), expected);
    const wab::StationLoads other{220, std::nullopt, 99, std::nullopt, 0};
    QCOMPARE(wab::rewriteWeightAndBalance(wab::rewriteWeightAndBalance(once, other), threePersonsLoads()), expected);
    // The reader finds what the writer wrote, whatever the file around it.
    QCOMPARE(wab::readStationValues(once), (wab::StationValues{"176", "165", "0", "132", "44"}));
}

void TestWeightAndBalance::readStationValues_data() {
    QTest::addColumn<QByteArray>("cfg");
    QTest::addColumn<QByteArrayList>("values"); // "-" for a station without a line
    const QByteArray stations = "station_load.0 = 170, 0.4, -1.7, 0.0\r\nstation_load.1 =  0 , 0.4\r\n"
                                "station_load.2 = 0\r\nstation_load.3 = -45\r\nstation_load.4 = 22\r\n";
    const QByteArrayList read{"170", "0", "0", "-45", "22"};
    QTest::newRow("first values, zero form trimmed") << "[WEIGHT_AND_BALANCE]\r\n" + stations << read;
    QTest::newRow("keys and header in any case, blanks and tabs around, LF only")
        << QByteArray("  [weight_and_balance]\nSTATION_LOAD.0\t=\t170 ,x\n Station_Load.1=0\nstation_load.2 = 0\n"
                      "station_load.3 = -45\nstation_load.4 = 22 // kg x 2.2046\n")
        << read;
    QTest::newRow("no section: no station")
        << kHead + "station_load.0 = 170\r\n" + kTail << QByteArrayList{"-", "-", "-", "-", "-"};
    QTest::newRow("header mentioned in a comment is no section")
        << "// see [WEIGHT_AND_BALANCE]\r\n" + stations << QByteArrayList{"-", "-", "-", "-", "-"};
    QTest::newRow("only the first section counts, up to the next header")
        << "[WEIGHT_AND_BALANCE]\r\nstation_load.0 = 170\r\n[fuel]\r\nstation_load.1 = 99\r\n"
           "[WEIGHT_AND_BALANCE]\r\n" +
               stations
        << QByteArrayList{"170", "-", "-", "-", "-"};
    QTest::newRow("the first line of a station counts")
        << "[WEIGHT_AND_BALANCE]\r\n" + stations + "station_load.0 = 200\r\n"
        << read;
    QTest::newRow("keys compared whole: commented out, station 10, a prefix")
        << QByteArray("[WEIGHT_AND_BALANCE]\r\n// station_load.0 = 200\r\nstation_load.10 = 7\r\n"
                      "xstation_load.1 = 7\r\nstation_load.2\r\nstation_load.3 =\r\n")
        << QByteArrayList{"-", "-", "-", "", "-"};
    QTest::newRow("a value that is not a number is read as it stands")
        << QByteArray("[WEIGHT_AND_BALANCE]\r\nstation_load.4 = 12.5 lbs, -6.5\r\n")
        << QByteArrayList{"-", "-", "-", "-", "12.5 lbs"};
}

void TestWeightAndBalance::readStationValues() {
    QFETCH(QByteArray, cfg);
    QFETCH(QByteArrayList, values);
    wab::StationValues expected;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (values[qsizetype(i)] != "-")
            expected[i] = values[qsizetype(i)];
    }
    QCOMPARE(wab::readStationValues(cfg), expected);
}

QTEST_GUILESS_MAIN(TestWeightAndBalance)
#include "tst_weightandbalance.moc"
