#include "support/MainWindowFixture.h"

#include "core/common/RandomSource.h"
#include "core/loading/RandomLoading.h"

#include <cmath>

// Draws in [0, 1) that give a wanted whole number for floor(r * count).
static double pick(int wanted, int count) {
    return (wanted + 0.5) / count;
}
constexpr double kHeads = 0.75; // floor(r * 2) = 1
constexpr double kTails = 0.25;

class TestRandomLoading : public QObject {
    Q_OBJECT
private slots:
    void scriptedDraws_data();
    void scriptedDraws();
    void reseedsBeforeEveryDrawButTheBaggage();
    void boundsAndOddsOverManyDraws();
    void systemRandomStaysInRange();
};

void TestRandomLoading::scriptedDraws_data() {
    QTest::addColumn<QList<double>>("draws");
    QTest::addColumn<QList<int>>("weights"); // pilot, co, left, right; 0 = free
    QTest::addColumn<int>("baggage");

    QTest::newRow("pilot alone, 40 kg, no baggage")
        << QList<double>{pick(0, 61), kTails, 0.0} << QList<int>{40, 0, 0, 0} << 0;
    QTest::newRow("pilot alone, 40 kg, most baggage the slider shows")
        << QList<double>{pick(0, 61), kTails, 0.999999} << QList<int>{40, 0, 0, 0} << 23;
    QTest::newRow("pilot 100, co 100, left 10..20, right never seated")
        << QList<double>{pick(60, 61), kHeads, pick(60, 61), kHeads, 0.999999, kHeads, 0.0}
        << QList<int>{100, 100, 20, 0, 0} << 0;
    QTest::newRow("pilot 100, co 100, no left, right 10..20")
        << QList<double>{pick(60, 61), kHeads, pick(60, 61), kTails, kHeads, 0.999999, 0.5}
        << QList<int>{100, 100, 0, 20} << 1;
    QTest::newRow("pilot 40, co 40, left up to 140")
        << QList<double>{pick(0, 61), kHeads, pick(0, 61), kHeads, 0.999999, kTails, 0.0} << QList<int>{40, 40, 140, 0}
        << 0;
    // The right passenger's limit is 222 - 140 - 11 = 71, so pick(5, 61) gives 10 + 6; the baggage
    // can go up to 23 of the 66 kg left, and 0.5 gives 12.
    QTest::newRow("all four, left lowest")
        << QList<double>{pick(20, 61), kHeads, pick(30, 61), kHeads, 0.0, kHeads, pick(5, 61), 0.5}
        << QList<int>{60, 70, 10, 16} << 12;
    // 95 + 96 + 10 leave 222 - 201 - 11 = 10 kg for the right passenger: just enough for 10..19.
    QTest::newRow("right passenger seated when exactly 10 kg are left for them")
        << QList<double>{pick(55, 61), kHeads, pick(56, 61), kHeads, 0.0, kHeads, 0.999999, 0.5}
        << QList<int>{95, 96, 10, 19} << 1;
}

void TestRandomLoading::scriptedDraws() {
    QFETCH(QList<double>, draws);
    QFETCH(QList<int>, weights);
    QFETCH(int, baggage);
    MainWindowFixture f;
    f.open();
    f.folder.random().setDraws(draws);
    QTest::mouseClick(f.control<QPushButton>("cmdZufällig"), Qt::LeftButton);
    QCOMPARE(f.folder.random().drawsLeft(), 0);
    const LoadingModel& m = f.window()->loading();
    const Seat seats[] = {Seat::Pilot, Seat::Co, Seat::PaxLeft, Seat::PaxRight};
    for (int i = 0; i < 4; ++i) {
        const int expected = i < weights.size() ? weights[i] : 0;
        QCOMPARE(m.occupied(seats[i]), expected != 0);
        QCOMPARE(int(m.weight(seats[i])), expected);
    }
    QCOMPARE(f.control<QSlider>("Slider1")->value(), baggage);
    QCOMPARE(f.textOf("txtBaggage"), QString::number(baggage));
    const int persons = weights[0] + weights[1] + weights[2] + (weights.size() > 3 ? weights[3] : 0);
    QCOMPARE(f.textOf("txtPersonengewicht"), QString::number(persons));
    QCOMPARE(f.textOf("lblGesamt"), totalCaption(695 + persons + baggage));
    checkInvariants(f);
}

void TestRandomLoading::reseedsBeforeEveryDrawButTheBaggage() {
    LoadingModel model;
    ReplayRandom random({pick(10, 61), kHeads, pick(10, 61), kHeads, 0.3, kHeads, 0.3, 0.5});
    randomloading::apply(model, random, 23);
    QCOMPARE(random.drawsLeft(), 0);
    // pilot, co coin, co, left coin, left, right coin, right: seven re-seeds; none for the baggage.
    QCOMPARE(random.reseeds(), 7);
}

void TestRandomLoading::boundsAndOddsOverManyDraws() {
    SystemRandom random;
    LoadingModel model;
    constexpr int kPresses = 40000;
    int pilotAlone = 0;
    int combos[4] = {}; // co only, co+left, co+right, co+left+right
    for (int i = 0; i < kPresses; ++i) {
        model.setBaggage(randomloading::apply(model, random, 23));
        QVERIFY(model.weight(Seat::Pilot) >= 40 && model.weight(Seat::Pilot) <= 100);
        QVERIFY(model.blnCo() || (!model.occupied(Seat::PaxLeft) && !model.occupied(Seat::PaxRight)));
        int sum = 0;
        for (Seat s : kAllSeats)
            sum += model.occupied(s) ? model.weight(s) : 0;
        QCOMPARE(int(model.personSum()), sum);
        QVERIFY(sum <= 220);
        QVERIFY(sum + model.baggage() <= 222);
        QVERIFY(model.total() <= 917);
        QVERIFY(model.baggage() >= 0 && model.baggage() <= 23);
        if (model.blnCo()) {
            QVERIFY(model.weight(Seat::Co) >= 40 && model.weight(Seat::Co) <= 100);
            combos[(model.occupied(Seat::PaxLeft) ? 1 : 0) + (model.occupied(Seat::PaxRight) ? 2 : 0)]++;
        } else {
            ++pilotAlone;
        }
    }
    // Binomial standard deviation is at most 100 for 1/2 and 66 for 1/8 here; 6 sigma cannot flake.
    QVERIFY2(std::abs(pilotAlone - kPresses / 2) < 600, qPrintable(QString::number(pilotAlone)));
    // Without a left passenger both coins show as drawn: 1/8 each. With one, a right passenger whose
    // limit falls under 10 kg stays away, so only the two together keep their 1/4.
    QVERIFY2(std::abs(combos[0] - kPresses / 8) < 400, qPrintable(QString::number(combos[0])));
    QVERIFY2(std::abs(combos[2] - kPresses / 8) < 400, qPrintable(QString::number(combos[2])));
    QVERIFY2(std::abs(combos[1] + combos[3] - kPresses / 4) < 500, qPrintable(QString::number(combos[1] + combos[3])));
    QVERIFY(combos[3] > kPresses / 20);
}

void TestRandomLoading::systemRandomStaysInRange() {
    SystemRandom random;
    double lowest = 1.0;
    double highest = 0.0;
    for (int i = 0; i < 100000; ++i) {
        if (i % 3 == 0)
            random.reseed();
        const double r = random.next();
        QVERIFY(r >= 0.0 && r < 1.0);
        lowest = std::min(lowest, r);
        highest = std::max(highest, r);
    }
    QVERIFY(lowest < 0.001 && highest > 0.999);
}

QTEST_MAIN(TestRandomLoading)
#include "tst_randomloading.moc"
