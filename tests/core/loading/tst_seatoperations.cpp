// What a click on a seat does to the loading, without a window: the texts are their keys in
// brackets, so each row shows exactly what the user is asked and told.

#include "core/loading/SeatOperations.h"

#include <QTest>

namespace {

using Outcome = SeatOperations::Outcome;

QString bracketed(const QString& key) {
    return QLatin1Char('[') + key + QLatin1Char(']');
}

const QString kAsk = QStringLiteral("input: [boxWeight]: | [boxWeightCaption]");
const QString kUnder40 = QStringLiteral("exclamation: [strUnder45]! | Error!");
const QString kRange = QStringLiteral("exclamation: [strWeightRange]! | Error!");

} // namespace

class TestSeatOperations : public QObject {
    Q_OBJECT
private slots:
    void click_data();
    void click();
    void modelKeepsEverySumInRange_data();
    void modelKeepsEverySumInRange();
};

void TestSeatOperations::click_data() {
    QTest::addColumn<int>("seat");
    QTest::addColumn<int>("coPilotBefore"); // 0: the co-pilot seat is free
    QTest::addColumn<std::optional<QString>>("answer");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<int>("weight"); // of the clicked seat afterwards; 0 for a free seat
    QTest::addColumn<int>("sum");
    QTest::addColumn<QStringList>("dialogs");
    using A = std::optional<QString>;
    const int co = int(Seat::Co);
    const int pilot = int(Seat::Pilot);
    const int left = int(Seat::PaxLeft);
    QTest::newRow("free seat, 75: seated")
        << co << 0 << A("75") << int(Outcome::Seated) << 75 << 155 << QStringList{kAsk};
    QTest::newRow("free seat, Cancel: nothing")
        << co << 0 << A() << int(Outcome::Unchanged) << 0 << 80 << QStringList{kAsk};
    QTest::newRow("free seat, 0: nothing")
        << left << 0 << A("0") << int(Outcome::Unchanged) << 0 << 80 << QStringList{kAsk};
    QTest::newRow("free seat, -20: seated below zero")
        << left << 0 << A("-20") << int(Outcome::Seated) << -20 << 60 << QStringList{kAsk};
    QTest::newRow("occupied seat: freed, nothing asked")
        << co << 75 << A("never asked") << int(Outcome::Freed) << 0 << 80 << QStringList{};
    QTest::newRow("pilot 95: replaced") << pilot << 0 << A("95") << int(Outcome::PilotChanged) << 95 << 95
                                        << QStringList{kAsk};
    QTest::newRow("pilot 30: told, and raised to 40")
        << pilot << 0 << A("30") << int(Outcome::PilotChanged) << 40 << 40 << QStringList{kAsk, kUnder40};
    QTest::newRow("pilot Cancel: keeps 80")
        << pilot << 0 << A() << int(Outcome::Unchanged) << 80 << 80 << QStringList{kAsk};
    QTest::newRow("8012: the largest entry")
        << left << 0 << A("8012") << int(Outcome::Seated) << 8012 << 8092 << QStringList{kAsk};
    QTest::newRow("8013: refused with the range message")
        << left << 0 << A("8013") << int(Outcome::Unchanged) << 0 << 80 << QStringList{kAsk, kRange};
    QTest::newRow("-8012: the largest negative entry")
        << left << 0 << A("-8012") << int(Outcome::Seated) << -8012 << -7932 << QStringList{kAsk};
    QTest::newRow("-8013: refused") << left << 0 << A("-8013") << int(Outcome::Unchanged) << 0 << 80
                                    << QStringList{kAsk, kRange};
    QTest::newRow("pilot -8012: told, and raised to 40")
        << pilot << 0 << A("-8012") << int(Outcome::PilotChanged) << 40 << 40 << QStringList{kAsk, kUnder40};
    QTest::newRow("pilot -8013: the range comes first, the pilot stays")
        << pilot << 0 << A("-8013") << int(Outcome::Unchanged) << 80 << 80 << QStringList{kAsk, kRange};
    QTest::newRow("beyond 16 bits: refused with the range message")
        << left << 0 << A("40000") << int(Outcome::Unchanged) << 0 << 80 << QStringList{kAsk, kRange};
}

void TestSeatOperations::click() {
    QFETCH(int, seat);
    QFETCH(int, coPilotBefore);
    QFETCH(std::optional<QString>, answer);
    QFETCH(int, outcome);
    QFETCH(int, weight);
    QFETCH(int, sum);
    QFETCH(QStringList, dialogs);
    LoadingModel model;
    if (coPilotBefore != 0)
        QVERIFY(model.seat(Seat::Co, std::int16_t(coPilotBefore)));
    SeatOperations operations(model, bracketed);
    QStringList shown; // "input: <prompt> | <title>" or "exclamation: <text> | <title>", in order
    const auto question = operations.weightQuestion(Seat(seat));
    if (question)
        shown << QStringLiteral("input: ") + question->prompt + QStringLiteral(" | ") + question->title;
    const auto result = operations.click(Seat(seat), question ? answer : std::nullopt);
    for (const QString& error : result.errors)
        shown << QStringLiteral("exclamation: ") + error + QStringLiteral(" | Error!");
    QCOMPARE(int(result.outcome), outcome);
    QCOMPARE(shown, dialogs);
    QCOMPARE(int(model.weight(Seat(seat))), weight);
    QCOMPARE(model.occupied(Seat(seat)), weight != 0);
    QCOMPARE(int(model.personSum()), sum);
}

// The entry limit keeps the sums in range; the model checks them all the same, and refuses (and
// changes nothing) what would take a weight, the person sum or the total out of 16 bits.
void TestSeatOperations::modelKeepsEverySumInRange_data() {
    QTest::addColumn<int>("coPilot"); // seated first
    QTest::addColumn<int>("seat");
    QTest::addColumn<int>("weight");
    QTest::addColumn<bool>("taken");
    const int right = int(Seat::PaxRight);
    const int pilot = int(Seat::Pilot);
    QTest::newRow("total exactly 32767: taken") << 30000 << right << 1992 << true;
    QTest::newRow("sum beyond 16 bits") << 30000 << right << 3000 << false;
    QTest::newRow("total beyond 16 bits") << 31900 << right << 500 << false;
    QTest::newRow("pilot pushes the total over") << 31900 << pilot << 300 << false;
    QTest::newRow("sum below 16 bits") << -32000 << right << -2000 << false;
}

void TestSeatOperations::modelKeepsEverySumInRange() {
    QFETCH(int, coPilot);
    QFETCH(int, seat);
    QFETCH(int, weight);
    QFETCH(bool, taken);
    LoadingModel model;
    QVERIFY(model.seat(Seat::Co, std::int16_t(coPilot)));
    const auto sumBefore = model.personSum();
    const bool done = Seat(seat) == Seat::Pilot ? model.setPilotWeight(std::int16_t(weight))
                                                : model.seat(Seat(seat), std::int16_t(weight));
    QCOMPARE(done, taken);
    if (!taken) {
        QCOMPARE(model.personSum(), sumBefore);
        QCOMPARE(model.occupied(Seat(seat)), Seat(seat) == Seat::Pilot);
    }
    QVERIFY(model.total() >= -32768 && model.total() <= 32767);
}

QTEST_GUILESS_MAIN(TestSeatOperations)
#include "tst_seatoperations.moc"
