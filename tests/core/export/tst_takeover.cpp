// Taking over the loading a copy already holds, without a window: reading the loads, the message
// for the copy, and the way back from every loading an export writes.

#include "support/ExportFixture.h"
#include "support/Loadings.h"

#include "core/common/CopyLock.h"
#include "core/export/TakeOver.h"
#include "core/export/WeightAndBalance.h"
#include "core/loading/RandomLoading.h"
#include "core/loading/SeatOperations.h"

#include <QTest>

#include <optional>
#include <random>

using namespace exporttest;
using Kind = takeover::Reading::Kind;
using Reason = takeover::Reason;

namespace {

// Draws from a fixed seed, so that a failing loading can be found again.
class SeededRandom final : public RandomSource {
public:
    void reseed() override {}
    double next() override { return std::uniform_real_distribution<double>(0.0, 1.0)(m_engine); }

private:
    std::mt19937_64 m_engine{58};
};

} // namespace

class TestTakeOver : public QObject {
    Q_OBJECT
private slots:
    void interpret_data();
    void interpret();
    void message_data();
    void message();
    void roundTrip();
};

void TestTakeOver::interpret_data() {
    QTest::addColumn<QByteArrayList>("values");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("station"); // of a refusal
    QTest::addColumn<int>("reason");  // of a refusal
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QString>("changes"); // "station:value>pounds the next export writes", blank-separated
    const int refused = int(Kind::Refused);
    const int loading = int(Kind::Loading);
    const int none = int(Kind::NoLoading);
    auto row = [](const char* name, QByteArrayList values, int kind, int station, Reason reason, const char* summary,
                  const char* changes = "") {
        QTest::newRow(name) << values << kind << station << int(reason) << QString::fromUtf8(summary)
                            << QString::fromUtf8(changes);
    };
    row("three persons and baggage as written", {"176", "165", "0", "132", "44"}, loading, 0, {},
        "80 / 75 / – / 60 kg, 20 kg");
    row("zero form and 0 both mean free; 0 pounds of baggage is 0 kg", {"220", " 0 ", "0", "-0", "0"}, loading, 0, {},
        "100 / – / – / – kg, 0 kg");
    row("a passenger of -20 kg (-45 lb) the window accepts", {"176", "-45", "+22", "-17663", "50"}, loading, 0, {},
        "80 / -20 / 10 / -8012 kg, 23 kg", "3:-17663>-17664");
    row("176.0, 0.00 and 44. as other tools write them: the same pounds again", {"176.0", "0.00", "0", "0", "44."},
        loading, 0, {}, "80 / – / – / – kg, 20 kg");
    row("decimal pounds are taken in whole kilograms, and the pounds the next export writes are named",
        {"176.4", "0", "12.5", "0", "10"}, loading, 0, {}, "80 / – / 6 / – kg, 5 kg", "0:176.4>176 2:12.5>13 4:10>11");
    row("170 / 150 / 10 lb another tool wrote come back as 77 / 68 / 5 kg, exported as 169 / 149 / 11",
        {"170", "150", "0", "0", "10"}, loading, 0, {}, "77 / 68 / – / – kg, 5 kg", "0:170>169 1:150>149 4:10>11");
    row("an empty value: not a number", {"176", "", "0", "0", "0"}, refused, 1, Reason::NotANumber, "");
    row("two decimal points: not a number", {"176", "0", "1.2.3", "0", "0"}, refused, 2, Reason::NotANumber, "");
    row("pilot in the zero form: under 40 kg", {" 0 ", "0", "0", "0", "0"}, refused, 0, Reason::PilotUnder, "");
    row("pilot 86 lb (39 kg): under 40 kg", {"86", "0", "0", "0", "0"}, refused, 0, Reason::PilotUnder, "");
    row("pilot 88 lb (40 kg) is taken", {"88", "0", "0", "0", "0"}, loading, 0, {}, "40 / – / – / – kg, 0 kg");
    row("co-pilot 17666 lb (8013 kg): beyond the per-entry limit", {"176", "17666", "0", "0", "0"}, refused, 1,
        Reason::BeyondLimit, "");
    row("passenger -17666 lb (-8013 kg): beyond the per-entry limit", {"176", "0", "0", "-17666", "0"}, refused, 3,
        Reason::BeyondLimit, "");
    row("pilot of thirty digits: beyond the per-entry limit", {"123456789012345678901234567890", "0", "0", "0", "0"},
        refused, 0, Reason::BeyondLimit, "");
    row("pilot of four hundred digits, more than a double holds: beyond the per-entry limit",
        {QByteArray(400, '9'), "0", "0", "0", "0"}, refused, 0, Reason::BeyondLimit, "");
    row("passenger 1 lb (0 kg): no person", {"176", "0", "1", "0", "0"}, refused, 2, Reason::NoWeight, "");
    row("baggage 52 lb (24 kg): beyond the slider", {"176", "0", "0", "0", "52"}, refused, 4, Reason::BaggageRange, "");
    row("baggage -3 lb (-1 kg): below the slider", {"176", "0", "0", "0", "-3"}, refused, 4, Reason::BaggageRange, "");
    row("the first station that cannot be taken is named", {"176", "1.5", "x", "0", "99"}, refused, 2,
        Reason::NotANumber, "");
    row("no baggage line: no loading", {"176", "0", "0", "0", "-"}, none, 0, {}, "");
    row("no station lines: no loading", {"-", "-", "-", "-", "-"}, none, 0, {}, "");
}

void TestTakeOver::interpret() {
    QFETCH(QByteArrayList, values);
    QFETCH(int, kind);
    QFETCH(int, station);
    QFETCH(int, reason);
    QFETCH(QString, summary);
    QFETCH(QString, changes);
    const takeover::Reading reading = takeover::interpret(cfgWith(values));
    QCOMPARE(int(reading.kind), kind);
    QStringList changed;
    for (const takeover::Reading::Change& change : reading.changes)
        changed
            << QStringLiteral("%1:%2>%3").arg(change.station).arg(QString::fromLatin1(change.value)).arg(change.pounds);
    QCOMPARE(changed.join(QLatin1Char(' ')), changes);
    if (reading.kind == Kind::Loading)
        QCOMPARE(takeover::summary(reading.loading), summary);
    if (reading.kind == Kind::Refused) {
        QCOMPARE(reading.refusal.station, station);
        QCOMPARE(int(reading.refusal.reason), reason);
        QCOMPARE(reading.refusal.value, values[station].trimmed());
    }
}

void TestTakeOver::message_data() {
    QTest::addColumn<QByteArray>("cfg"); // "folder": the aircraft.cfg is a folder
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QList<MessagePart>>("message");
    const MessagePart refused{"strTakeOverRefused", {"Nerova TQ 58"}};
    const MessagePart unchanged{"strTakeOverUnchanged", {}};
    QTest::newRow("pilot under 40 kg: station, pounds, kilograms and the bound")
        << cfgWith({"66", "0", "0", "0", "0"}) << false
        << QList<MessagePart>{
               refused, {"strTakeOverStation0", {}}, {"strTakeOverPilotUnder", {"66", "30", "40"}}, unchanged};
    QTest::newRow("aircraft.cfg cannot be read: the file and the reason")
        << QByteArray("folder") << false
        << QList<MessagePart>{refused, {"strExportReadFailed", {"<cfg>", "it is a folder, not a file"}}, unchanged};
    QTest::newRow("another program is changing the copy: said after a moment, nothing taken over")
        << QByteArray("busy") << false << QList<MessagePart>{refused, {"strExportBusy", {"<folder>"}}, unchanged};
    QByteArray wide;
    for (const char c : cfgWith({"176", "0", "0", "0", "0"}))
        wide += QByteArray(1, c) + '\0';
    QTest::newRow("aircraft.cfg in UTF-16: the encoding is named, not missing stations")
        << QByteArray("\xFF\xFE") + wide << false
        << QList<MessagePart>{refused, {"strTakeOverWideEncoding", {"<cfg>"}}, unchanged};
    // Without a mark, a title in Cyrillic leaves fewer zero bytes than plain ASCII would.
    const QString cyrillic = QString::fromLatin1(cfgWith({"176", "0", "0", "0", "0"}))
                                 .replace(QStringLiteral("Nerova TQ 58"), QString::fromUtf8("Нерова ТК 58"));
    QTest::newRow("aircraft.cfg in UTF-16 without a mark, its title in Cyrillic: the encoding is named")
        << QByteArray(reinterpret_cast<const char*>(cyrillic.utf16()), cyrillic.size() * 2) << false
        << QList<MessagePart>{refused, {"strTakeOverWideEncoding", {"<cfg>"}}, unchanged};
    QTest::newRow("loads the next export writes otherwise: each station with both pounds and the kilograms")
        << cfgWith({"170", "150", "0", "0", "10"}) << true
        << QList<MessagePart>{{"strTakeOverNextExport", {"Nerova TQ 58"}},
                              {"strTakeOverPounds0", {"170", "169", "77"}},
                              {"strTakeOverPounds1", {"150", "149", "68"}},
                              {"strTakeOverPounds4", {"10", "11", "5"}}};
    QTest::newRow("loads as the program writes them: taken without a word")
        << cfgWith({"176", "165", "0", "132", "44"}) << true << QList<MessagePart>{};
}

void TestTakeOver::message() {
    QFETCH(QByteArray, cfg);
    QFETCH(bool, taken);
    QFETCH(QList<MessagePart>, message);
    TestProgramFolder pf;
    Fs2000 fs(pf);
    QString path = fs.cfg(QStringLiteral("nerova_tq58"));
    const QString folder = fs.aircraft() + QStringLiteral("nerova_tq58/");
    if (cfg == "folder")
        QVERIFY(QDir().mkpath(path));
    else
        fs.addCopy(QStringLiteral("nerova_tq58"), cfg == "busy" ? exportedCfg(threePersonsSection()) : cfg);
    for (MessagePart& part : message) {
        part.details.replaceInStrings(QStringLiteral("<cfg>"), QDir::toNativeSeparators(path));
        part.details.replaceInStrings(QStringLiteral("<folder>"), QDir::toNativeSeparators(folder));
    }
    std::optional<copylock::Lock> other;
    if (cfg == "busy")
        QVERIFY(other.emplace(folder, copylock::Lock::Mode::Exclusive).held());
    const takeover::Result result = takeover::takeOver(path, QStringLiteral("Nerova TQ 58"));
    QCOMPARE(result.loading.has_value(), taken);
    QCOMPARE(result.message, message);
}

void TestTakeOver::roundTrip() {
    // The limits the window allows, either way, passengers without a co-pilot, and random loadings.
    QList<LoadingModel> loadings{loadingOf(8012, 8012, 8012, 8012, 23), loadingOf(40, -8012, -8012, -8012, 0),
                                 loadingOf(80, 0, 68, 1, 12), loadingOf(8012, -8012, 8012, -8012, 23)};
    SeededRandom random;
    for (int i = 0; i < 5000; ++i) {
        LoadingModel loading;
        QVERIFY(loading.setBaggage(randomloading::apply(loading, random, LoadingModel::kBaggageMaximum)));
        loadings << loading;
    }
    // Every weight one entry may have, on each seat, and every baggage.
    for (int kg = -SeatOperations::kLargestEntry; kg <= SeatOperations::kLargestEntry; ++kg) {
        const auto w = static_cast<std::int16_t>(kg);
        if (kg >= SeatOperations::kPilotMinimum)
            loadings << loadingOf(w, 0, 0, 0, 0);
        if (kg != 0)
            loadings << loadingOf(80, w, 0, 0, 0) << loadingOf(80, 0, w, 0, 0) << loadingOf(80, 0, 0, w, 0);
        if (kg >= 0 && kg <= LoadingModel::kBaggageMaximum)
            loadings << loadingOf(80, 0, 0, 0, w);
    }
    for (const LoadingModel& loading : loadings) {
        const takeover::Reading back =
            takeover::interpret(wab::rewriteWeightAndBalance(kCfg, wab::stationLoads(loading)));
        QVERIFY2(back.kind == Kind::Loading && back.loading == loading, qPrintable(takeover::summary(loading)));
    }
}

QTEST_GUILESS_MAIN(TestTakeOver)
#include "tst_takeover.moc"
