// Odd and hostile weight entries typed into the input box of every seat of the real main window.
// After each: the seat pictures, tooltips, flags, person sum and total agree; nothing wraps
// around the 16-bit range; and the entry had the outcome the number rules give it.

#include "support/MainWindowFixture.h"

#include "core/loading/LoadingModel.h"

namespace {

using Kind = ScriptedDialogs::Kind;

const QString kRange =
    QStringLiteral("Dieses Gewicht liegt außerhalb des erlaubten Bereichs; es wurde nichts geändert!");
const QString kUnder40 = QStringLiteral("Der Pilot muss mindestens 40 kg wiegen!");

// What an entry does to a seat: nothing, seat (or set the pilot to) a weight, or refusal with
// the range message. `underForty` marks a pilot entry raised to 40 kg with its message.
struct Outcome {
    enum Kind { None, Weight, Refused } kind = None;
    int weight = 0;
    bool underForty = false;
};

const Outcome none{};
const Outcome refused{Outcome::Refused, 0, false};
const Outcome raisedTo40{Outcome::Weight, 40, true};
Outcome weight(int kg) {
    return {Outcome::Weight, kg, false};
}

} // namespace

class TestBadInput : public QObject {
    Q_OBJECT
private slots:
    void entries_data();
    void entries();
    void largestEntriesCanAlwaysBeFreed_data();
    void largestEntriesCanAlwaysBeFreed();
};

void TestBadInput::entries_data() {
    QTest::addColumn<std::optional<QString>>("answer");
    QTest::addColumn<Outcome>("passenger"); // co-pilot and both passenger seats, from the start state
    QTest::addColumn<Outcome>("pilot");
    using A = std::optional<QString>;
    // Not a number at all.
    QTest::newRow("letters") << A("abc") << none << none;
    QTest::newRow("empty") << A("") << none << none;
    QTest::newRow("blanks") << A("   ") << none << none;
    QTest::newRow("line feeds only") << A("\n\n\n") << none << none;
    QTest::newRow("cancel") << A() << none << none;
    QTest::newRow("NaN") << A("NaN") << none << none;
    QTest::newRow("inf") << A("inf") << none << none;
    QTest::newRow("-inf") << A("-inf") << none << none;
    QTest::newRow("0x10 stops at x") << A("0x10") << none << none;
    QTest::newRow("Arabic-Indic three") << A(QStringLiteral("\u0663")) << none << none;
    QTest::newRow("full-width 75") << A(QStringLiteral("\uff17\uff15")) << none << none;
    QTest::newRow("no-break space before") << A(QStringLiteral("\u00a075")) << none << none;
    QTest::newRow("carriage return before") << A("\r75") << none << none;
    QTest::newRow("two signs") << A("--5") << none << none;
    // Zero in disguise.
    QTest::newRow("0") << A("0") << none << none;
    QTest::newRow("-0") << A("-0") << none << none;
    QTest::newRow("0.4 rounds to 0") << A("0.4") << none << none;
    QTest::newRow("1e-400 underflows to 0") << A("1e-400") << none << none;
    QTest::newRow(".5 rounds to even 0") << A(".5") << none << none;
    QTest::newRow("-0.5 rounds to 0") << A("-0.5") << none << none;
    QTest::newRow("1,000 zeros") << A(QString(1000, QLatin1Char('0'))) << none << none;
    // Numbers the rules read.
    QTest::newRow("+5") << A("+5") << weight(5) << raisedTo40;
    QTest::newRow("blank sign blank") << A(" - 5") << weight(-5) << raisedTo40;
    QTest::newRow("tab and line feed inside") << A("\t7\n5") << weight(75) << weight(75);
    QTest::newRow("blank inside") << A("7 5") << weight(75) << weight(75);
    QTest::newRow("80 kg") << A("80 kg") << weight(80) << weight(80);
    QTest::newRow("75kg: digits then letters") << A("75kg") << weight(75) << weight(75);
    QTest::newRow("blanks before") << A("   68") << weight(68) << weight(68);
    QTest::newRow("no-break space after") << A(QStringLiteral("75\u00a0")) << weight(75) << weight(75);
    QTest::newRow("7,5 stops at the comma") << A("7,5") << weight(7) << raisedTo40;
    QTest::newRow("1,000 stops at the comma") << A("1,000") << weight(1) << raisedTo40;
    QTest::newRow("2.5 to even 2") << A("2.5") << weight(2) << raisedTo40;
    QTest::newRow("73.5 to even 74") << A("73.5") << weight(74) << weight(74);
    QTest::newRow("40: the lightest pilot") << A("40") << weight(40) << weight(40);
    QTest::newRow("39.5 to even 40: no pilot message") << A("39.5") << weight(40) << weight(40);
    QTest::newRow("5e without exponent digits") << A("5e") << weight(5) << raisedTo40;
    QTest::newRow("1e4") << A("1e4") << refused << refused;
    QTest::newRow("1d2") << A("1d2") << weight(100) << weight(100);
    QTest::newRow("&H50") << A("&H50") << weight(80) << weight(80);
    QTest::newRow("&o17") << A("&o17") << weight(15) << raisedTo40;
    QTest::newRow("999 zeros then 1") << A(QString(999, QLatin1Char('0')) + QLatin1Char('1')) << weight(1)
                                      << raisedTo40;
    // The largest entry either way: four persons of it and the fullest baggage still fit 16 bits.
    // For the pilot the range comes first: -8013 is refused, not raised to 40.
    QTest::newRow("8012: the largest entry") << A("8012") << weight(8012) << weight(8012);
    QTest::newRow("8012.5 to even 8012") << A("8012.5") << weight(8012) << weight(8012);
    QTest::newRow("8013: one over") << A("8013") << refused << refused;
    QTest::newRow("-8012: the largest negative entry") << A("-8012") << weight(-8012) << raisedTo40;
    QTest::newRow("-8013: one over, no pilot message") << A("-8013") << refused << refused;
    QTest::newRow("31990") << A("31990") << refused << refused;
    QTest::newRow("-32768") << A("-32768") << refused << refused;
    QTest::newRow("32767") << A("32767") << refused << refused;
    // Beyond 16 bits.
    QTest::newRow("32766.5 to even 32766") << A("32766.5") << refused << refused;
    QTest::newRow("32767.5 to even 32768") << A("32767.5") << refused << refused;
    QTest::newRow("-32769") << A("-32769") << refused << refused;
    QTest::newRow("-40000") << A("-40000") << refused << refused;
    QTest::newRow("1e9") << A("1e9") << refused << refused;
    QTest::newRow("1e308") << A("1e308") << refused << refused;
    QTest::newRow("&HFFFF") << A("&HFFFF") << refused << refused;
    QTest::newRow("&O777777") << A("&O777777") << refused << refused;
    QTest::newRow("1,000 nines") << A(QString(1000, QLatin1Char('9'))) << refused << refused;
    QTest::newRow("1,000 digits, negative")
        << A(QLatin1Char('-') + QString(1000, QLatin1Char('7'))) << refused << refused;
}

void TestBadInput::entries() {
    QFETCH(std::optional<QString>, answer);
    QFETCH(Outcome, passenger);
    QFETCH(Outcome, pilot);
    MainWindowFixture f;
    QVERIFY(f.open());
    for (const SeatImage& s : kSeatImages) {
        // Each seat from the start state: the main window loads afresh.
        f.app->reloadMainWindow();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        f.folder.dialogs().clear();
        const QString where = QString::fromLatin1(s.name);
        const QString sumBefore = f.textOf("txtPersonengewicht");
        const QString recordBefore = f.tooltip(s.name);
        const Outcome expected = s.seat == Seat::Pilot ? pilot : passenger;

        f.clickSeat(s.name, answer);
        QCOMPARE(f.folder.dialogs().callsOf(Kind::InputBox).size(), 1);
        QStringList messages;
        if (expected.underForty)
            messages << kUnder40;
        if (expected.kind == Outcome::Refused)
            messages << kRange;
        QCOMPARE(f.folder.dialogs().textsOf(Kind::Exclamation), messages);
        for (const auto& message : f.folder.dialogs().callsOf(Kind::Exclamation))
            QCOMPARE(message.title, QStringLiteral("Error!"));
        if (expected.kind == Outcome::Weight) {
            QCOMPARE(f.tooltip(s.name), weightRecord(qint16(expected.weight)));
            const int others = s.seat == Seat::Pilot ? 0 : 80;
            QCOMPARE(f.textOf("txtPersonengewicht"), QString::number(others + expected.weight));
        } else {
            QCOMPARE(f.tooltip(s.name), recordBefore);
            QCOMPARE(f.textOf("txtPersonengewicht"), sumBefore);
        }
        checkInvariants(f, where);
        if (QTest::currentTestFailed())
            return;
    }
}

// With the largest entries on every seat and the fullest baggage, nothing can be refused any more
// but one over the largest entry: every seat frees, and the slider stands wherever it is moved.
void TestBadInput::largestEntriesCanAlwaysBeFreed_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("kg"); // what each seat then holds (the pilot at least 40)
    QTest::newRow("four persons of 8012 kg") << "8012" << 8012;
    QTest::newRow("four persons of -8012 kg (the pilot raised to 40)") << "-8012" << -8012;
}

void TestBadInput::largestEntriesCanAlwaysBeFreed() {
    QFETCH(QString, answer);
    QFETCH(int, kg);
    MainWindowFixture f;
    QVERIFY(f.open());
    f.clickSeat("imgPilot", answer);
    for (const char* seat : {"imgCo", "imgPaxLeft", "imgPaxRight"})
        f.clickSeat(seat, answer);
    auto* slider = f.control<QSlider>("Slider1");
    slider->setValue(slider->maximum());
    const int pilot = qMax(kg, 40);
    QCOMPARE(f.textOf("txtPersonengewicht"), QString::number(pilot + 3 * kg));
    QCOMPARE(f.textOf("lblGesamt"), totalCaption(LoadingModel::kEmptyWeight + pilot + 3 * kg + 23));
    checkInvariants(f, QStringLiteral("all seats taken"));

    f.folder.dialogs().clear();
    for (int value = slider->maximum(); value >= slider->minimum(); --value) {
        slider->setValue(value);
        QCOMPARE(slider->value(), value);
        QCOMPARE(f.textOf("txtBaggage"), QString::number(value));
    }
    for (const char* seat : {"imgPaxRight", "imgCo", "imgPaxLeft"}) {
        f.clickSeat(seat, std::nullopt, false);
        QVERIFY2(!recordedWeight(f.tooltip(seat)), seat);
        checkInvariants(f, QString::fromLatin1(seat) + QStringLiteral(" freed"));
    }
    QVERIFY(f.folder.dialogs().textsOf(Kind::Exclamation).isEmpty());
    // Beside the largest entry, one over it is refused as it is alone.
    f.clickSeat("imgPaxRight", answer);
    f.clickSeat("imgCo", kg > 0 ? QStringLiteral("8013") : QStringLiteral("-8013"));
    QCOMPARE(f.folder.dialogs().textsOf(Kind::Exclamation), QStringList{kRange});
    QVERIFY2(!recordedWeight(f.tooltip("imgCo")), "imgCo");
    f.clickSeat("imgPaxRight", std::nullopt, false);
    QCOMPARE(f.textOf("txtPersonengewicht"), QString::number(pilot));
}

QTEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
