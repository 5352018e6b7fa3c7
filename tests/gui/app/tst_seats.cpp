#include "support/MainWindowFixture.h"

#include "core/loading/LoadingModel.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QFocusFrame>

class TestSeats : public QObject {
    Q_OBJECT
private slots:
    void startState();
    void seatAndFreeCoPilot();
    void weightEntries_data();
    void weightEntries();
    void pilotWeight_data();
    void pilotWeight();
    void freeingReadsTheRecordedWeight();
    void outOfRangeIsRefused_data();
    void outOfRangeIsRefused();
    void sliderMovesBaggageAndTotal_data();
    void sliderMovesBaggageAndTotal();
    void negativeTotalHasNoSignPlace();
    void readOnlyTextBoxes();
    void reloadResetsTheLoading();
    void seatsByKeysAndScreenReader_data();
    void seatsByKeysAndScreenReader();
};

namespace {
const QString kFree = QStringLiteral("Platz frei");

} // namespace

void TestSeats::startState() {
    MainWindowFixture f;
    QVERIFY(f.open());
    QCOMPARE(f.tooltip("imgPilot"), QStringLiteral("80 kg"));
    for (const char* seat : {"imgCo", "imgPaxLeft", "imgPaxRight"})
        QCOMPARE(f.tooltip(seat), kFree);
    QCOMPARE(f.textOf("txtPersonengewicht"), QStringLiteral("80"));
    QCOMPARE(f.textOf("txtBaggage"), QStringLiteral("0"));
    QCOMPARE(f.textOf("lblGesamt"), QStringLiteral(" 775 kg"));
    QVERIFY(!f.window()->loading().blnCo() && !f.window()->loading().occupied(Seat::PaxLeft) &&
            !f.window()->loading().occupied(Seat::PaxRight));
    checkInvariants(f);
}

void TestSeats::seatAndFreeCoPilot() {
    MainWindowFixture f;
    f.open();
    f.clickSeat("imgCo", QStringLiteral("75"));
    const auto input = f.folder.dialogs().callsOf(ScriptedDialogs::Kind::InputBox);
    QCOMPARE(input.size(), 1);
    QCOMPARE(input[0].text, QStringLiteral("Bitte geben Sie das Gewicht der Person in kg ein:"));
    QCOMPARE(input[0].title, QStringLiteral("Gewicht"));
    QVERIFY(f.showsPictureOf("imgCo", "imgSet"));
    QCOMPARE(f.tooltip("imgCo"), QStringLiteral("75 kg"));
    QVERIFY(f.window()->loading().blnCo());
    QCOMPARE(f.textOf("txtPersonengewicht"), QStringLiteral("155"));
    QCOMPARE(f.textOf("lblGesamt"), QStringLiteral(" 850 kg"));
    checkInvariants(f);

    // Freeing asks nothing.
    f.clickSeat("imgCo", std::nullopt, false);
    QCOMPARE(f.folder.dialogs().calls().size(), 1);
    QVERIFY(f.showsPictureOf("imgCo", "imgReset"));
    QCOMPARE(f.tooltip("imgCo"), kFree);
    QVERIFY(!f.window()->loading().blnCo());
    QCOMPARE(f.textOf("txtPersonengewicht"), QStringLiteral("80"));
    checkInvariants(f);
}

void TestSeats::weightEntries_data() {
    QTest::addColumn<std::optional<QString>>("answer");
    QTest::addColumn<QString>("record"); // empty: the seat stays free
    QTest::newRow("72.5 to even") << std::optional<QString>("72.5") << "72 kg";
    QTest::newRow("73.5 to even") << std::optional<QString>("73.5") << "74 kg";
    QTest::newRow("digits then letters") << std::optional<QString>("75kg") << "75 kg";
    QTest::newRow("leading blanks") << std::optional<QString>("   68") << "68 kg";
    QTest::newRow("negative accepted") << std::optional<QString>("-20") << "-20 kg";
    QTest::newRow("hex") << std::optional<QString>("&H50") << "80 kg";
    QTest::newRow("letters only") << std::optional<QString>("abc") << "";
    QTest::newRow("empty") << std::optional<QString>("") << "";
    QTest::newRow("zero") << std::optional<QString>("0") << "";
    QTest::newRow("0.4 rounds to zero") << std::optional<QString>("0.4") << "";
    QTest::newRow("cancel") << std::optional<QString>() << "";
}

void TestSeats::weightEntries() {
    QFETCH(std::optional<QString>, answer);
    QFETCH(QString, record);
    for (const char* seat : {"imgCo", "imgPaxLeft", "imgPaxRight"}) {
        MainWindowFixture f;
        f.open();
        f.clickSeat(seat, answer);
        if (record.isEmpty()) {
            QCOMPARE(f.tooltip(seat), kFree);
            QCOMPARE(f.textOf("txtPersonengewicht"), QStringLiteral("80"));
        } else {
            QCOMPARE(f.tooltip(seat), record);
            QCOMPARE(f.textOf("txtPersonengewicht"), QString::number(80 + record.chopped(3).toInt()));
        }
        QVERIFY(f.folder.dialogs().callsOf(ScriptedDialogs::Kind::Exclamation).isEmpty());
        checkInvariants(f);
    }
}

void TestSeats::pilotWeight_data() {
    QTest::addColumn<std::optional<QString>>("answer");
    QTest::addColumn<QString>("record");
    QTest::addColumn<bool>("warned");
    QTest::newRow("normal") << std::optional<QString>("95") << "95 kg" << false;
    QTest::newRow("exactly 40") << std::optional<QString>("40") << "40 kg" << false;
    QTest::newRow("39.5 to even 40") << std::optional<QString>("39.5") << "40 kg" << false;
    QTest::newRow("under 40") << std::optional<QString>("30") << "40 kg" << true;
    QTest::newRow("negative") << std::optional<QString>("-70") << "40 kg" << true;
    QTest::newRow("zero keeps old") << std::optional<QString>("0") << "80 kg" << false;
    QTest::newRow("cancel keeps old") << std::optional<QString>() << "80 kg" << false;
}

void TestSeats::pilotWeight() {
    QFETCH(std::optional<QString>, answer);
    QFETCH(QString, record);
    QFETCH(bool, warned);
    MainWindowFixture f;
    f.open();
    f.clickSeat("imgCo", QStringLiteral("70"));
    f.clickSeat("imgPilot", answer);
    QCOMPARE(f.tooltip("imgPilot"), record);
    QVERIFY(f.showsPictureOf("imgPilot", "imgSet"));
    QCOMPARE(f.textOf("txtPersonengewicht"), QString::number(70 + record.chopped(3).toInt()));
    const auto warnings = f.folder.dialogs().callsOf(ScriptedDialogs::Kind::Exclamation);
    QCOMPARE(warnings.size(), warned ? 1 : 0);
    if (warned) {
        QCOMPARE(warnings[0].text, QStringLiteral("Der Pilot muss mindestens 40 kg wiegen!"));
        QCOMPARE(warnings[0].title, QStringLiteral("Error!"));
    }
    checkInvariants(f);
}

void TestSeats::freeingReadsTheRecordedWeight() {
    MainWindowFixture f;
    f.open();
    f.clickSeat("imgPaxLeft", QStringLiteral("-20"));
    QCOMPARE(f.textOf("txtPersonengewicht"), QStringLiteral("60"));
    QCOMPARE(f.textOf("lblGesamt"), QStringLiteral(" 755 kg"));
    f.clickSeat("imgPaxRight", QStringLiteral("61"));
    f.clickSeat("imgPaxLeft", std::nullopt, false);
    QCOMPARE(f.textOf("txtPersonengewicht"), QStringLiteral("141"));
    checkInvariants(f);
}

void TestSeats::outOfRangeIsRefused_data() {
    QTest::addColumn<QString>("seat");
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("answer");
    QTest::newRow("entry beyond 16 bits") << "imgCo" << QStringList{} << "40000";
    QTest::newRow("32767.5 overflows") << "imgCo" << QStringList{} << "32767.5";
    QTest::newRow("1e9") << "imgPaxLeft" << QStringList{} << "1e9";
    QTest::newRow("pilot beyond 16 bits") << "imgPilot" << QStringList{} << "-40000";
    QTest::newRow("one over the largest entry, beside the largest") << "imgPaxRight" << QStringList{"8012"} << "8013";
}

void TestSeats::outOfRangeIsRefused() {
    QFETCH(QString, seat);
    QFETCH(QStringList, before);
    QFETCH(QString, answer);
    MainWindowFixture f;
    f.open();
    for (const QString& weight : before)
        f.clickSeat("imgCo", weight);
    const QString sum = f.textOf("txtPersonengewicht");
    const QString record = f.tooltip(qPrintable(seat));
    f.folder.dialogs().clear();
    f.clickSeat(qPrintable(seat), answer);
    const auto warnings = f.folder.dialogs().callsOf(ScriptedDialogs::Kind::Exclamation);
    QCOMPARE(warnings.size(), 1);
    QCOMPARE(warnings.last().text,
             QStringLiteral("Dieses Gewicht liegt außerhalb des erlaubten Bereichs; es wurde nichts geändert!"));
    QCOMPARE(f.textOf("txtPersonengewicht"), sum);
    QCOMPARE(f.tooltip(qPrintable(seat)), record);
    checkInvariants(f);
}

void TestSeats::sliderMovesBaggageAndTotal_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("withCoPilot");
    QTest::addColumn<QString>("total");
    QTest::newRow("23 with pilot only") << 23 << false << " 798 kg";
    QTest::newRow("10 with co-pilot 75") << 10 << true << " 860 kg";
    QTest::newRow("beyond maximum stops at 23") << 40 << false << " 798 kg";
}

void TestSeats::sliderMovesBaggageAndTotal() {
    QFETCH(int, value);
    QFETCH(bool, withCoPilot);
    QFETCH(QString, total);
    MainWindowFixture f;
    f.open();
    if (withCoPilot)
        f.clickSeat("imgCo", QStringLiteral("75"));
    auto* slider = f.control<QSlider>("Slider1");
    QCOMPARE(slider->minimum(), 0);
    QCOMPARE(slider->maximum(), 23);
    QCOMPARE(slider->singleStep(), 1);
    QCOMPARE(slider->pageStep(), 5);
    slider->setValue(value);
    QCOMPARE(f.textOf("txtBaggage"), QString::number(slider->value()));
    QCOMPARE(f.textOf("lblGesamt"), total);
    QCOMPARE(int(f.window()->loading().baggage()), slider->value());
}

void TestSeats::negativeTotalHasNoSignPlace() {
    MainWindowFixture f;
    f.open();
    f.clickSeat("imgCo", QStringLiteral("-780"));
    QCOMPARE(f.textOf("lblGesamt"), QStringLiteral("-5 kg"));
}

void TestSeats::readOnlyTextBoxes() {
    MainWindowFixture f;
    f.open();
    for (const char* name : {"txtPersonengewicht", "txtBaggage"}) {
        auto* edit = f.control<QLineEdit>(name);
        QVERIFY(edit->isReadOnly());
        // A stop for the keyboard, where a screen reader reads the value; typing changes nothing.
        QVERIFY(edit->focusPolicy() & Qt::TabFocus);
        edit->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(edit, QStringLiteral("999"));
        QTest::keyClick(edit, Qt::Key_Backspace);
    }
    QCOMPARE(f.textOf("txtPersonengewicht"), QStringLiteral("80"));
    QCOMPARE(f.textOf("lblGesamt"), QStringLiteral(" 775 kg"));
}

void TestSeats::reloadResetsTheLoading() {
    MainWindowFixture f;
    f.open();
    f.clickSeat("imgCo", QStringLiteral("75"));
    f.clickSeat("imgPaxLeft", QStringLiteral("60"));
    f.clickSeat("imgPaxRight", QStringLiteral("65"));
    f.clickSeat("imgPilot", QStringLiteral("90"));
    f.control<QSlider>("Slider1")->setValue(12);
    f.app->reloadMainWindow();
    QVERIFY(f.window());
    QCOMPARE(f.tooltip("imgPilot"), QStringLiteral("80 kg"));
    QVERIFY(!f.window()->loading().blnCo());
    QCOMPARE(f.textOf("lblGesamt"), QStringLiteral(" 775 kg"));
    QCOMPARE(f.control<QSlider>("Slider1")->value(), 0);
    checkInvariants(f);
}

void TestSeats::seatsByKeysAndScreenReader_data() {
    QTest::addColumn<QString>("database");
    QTest::addColumn<QStringList>("names"); // pilot, co-pilot, passengers left and right
    QTest::addColumn<QString>("free");
    QTest::addColumn<QStringList>("captions"); // of the slider, the person sum and the total
    QTest::newRow("Deutsch") << "Data/languages/german.crf"
                             << QStringList{"Pilot", "Co-Pilot", "Passagier links", "Passagier rechts"} << "Platz frei"
                             << QStringList{QString::fromUtf8("Gepäck"), "Personengewicht", "GESAMT"};
    QTest::newRow("English") << "Data/languages/english.crf"
                             << QStringList{"Pilot", "Co-pilot", "Passenger left", "Passenger right"} << "Seat free"
                             << QStringList{"Baggage", "Persons' weight", "TOTAL"};
    QTest::newRow("No language database: the program's own texts, a free seat said free too")
        << "" << QStringList{"Pilot", "Co-Pilot", "Passagier links", "Passagier rechts"} << "Platz frei"
        << QStringList{"#", "#", "GESAMT"}; // the captions as the window shows them then
}

void TestSeats::seatsByKeysAndScreenReader() {
    QFETCH(QString, database);
    QFETCH(QStringList, names);
    QFETCH(QString, free);
    QFETCH(QStringList, captions);
    MainWindowFixture f;
    f.folder.write(QStringLiteral("Data/language.crf"), database.isEmpty() ? QByteArray() : f.folder.read(database));
    f.open();
    auto told = [&](const char* name, QAccessible::Text what) {
        QAccessibleInterface* seat = QAccessible::queryAccessibleInterface(f.control<QWidget>(name));
        return seat ? seat->text(what) : QStringLiteral("(no interface)");
    };
    const QStringList start{QStringLiteral("80 kg"), free, free, free};
    for (std::size_t i = 0; i < std::size(kSeatImages); ++i) {
        QAccessibleInterface* seat = QAccessible::queryAccessibleInterface(f.control<QWidget>(kSeatImages[i].name));
        QCOMPARE(seat->role(), QAccessible::Button);
        QCOMPARE(seat->text(QAccessible::Name), names[int(i)]);
        QCOMPARE(seat->text(QAccessible::Description), start[int(i)]);
    }
    QCOMPARE(told("Slider1", QAccessible::Name), captions[0]);
    QCOMPARE(told("txtBaggage", QAccessible::Name), captions[0]);
    QCOMPARE(told("txtPersonengewicht", QAccessible::Name), captions[1]);
    QCOMPARE(told("lblGesamt", QAccessible::Name), captions[2]);
    // No control is nameless; the focus frames (of the seats, of the web link) are no controls,
    // and Line1 is only a line. The address is told once, by the link Label4: the text Label6
    // under it is left out.
    QWidget* clientArea = f.control<QWidget>("clientArea");
    QAccessibleInterface* client = QAccessible::queryAccessibleInterface(clientArea);
    QCOMPARE(client->childCount(),
             clientArea->findChildren<QWidget*>().size() - clientArea->findChildren<QFocusFrame*>().size() - 1);
    for (int i = 0; i < client->childCount(); ++i) {
        const QObject* control = client->child(i)->object();
        QVERIFY2(control->objectName() != QLatin1String("Label6"), "the address is told twice");
        QVERIFY2(control->objectName() == QLatin1String("Line1") ||
                     !client->child(i)->text(QAccessible::Name).isEmpty(),
                 qPrintable(control->objectName()));
    }
    QCOMPARE(client->indexOfChild(QAccessible::queryAccessibleInterface(f.control<QWidget>("Label6"))), -1);

    // Space and Return do what a click does: the same input box, the same seat.
    f.folder.dialogs().answerInput(QStringLiteral("75"));
    QTest::keyClick(f.control<QWidget>("imgCo"), Qt::Key_Space);
    f.folder.dialogs().answerInput(QStringLiteral("68"));
    QTest::keyClick(f.control<QWidget>("imgPaxLeft"), Qt::Key_Return);
    // Shift+Space is no click: nothing is asked.
    QTest::keyClick(f.control<QWidget>("imgPaxRight"), Qt::Key_Space, Qt::ShiftModifier);
    const auto asked = f.folder.dialogs().callsOf(ScriptedDialogs::Kind::InputBox);
    QCOMPARE(asked.size(), 2);
    QCOMPARE(asked[1].title, asked[0].title);
    QCOMPARE(told("imgCo", QAccessible::Description), QStringLiteral("75 kg"));
    QCOMPARE(told("imgPaxLeft", QAccessible::Description), QStringLiteral("68 kg"));
    QCOMPARE(told("lblGesamt", QAccessible::Description), QStringLiteral("918 kg"));
    checkInvariants(f);

    // A screen reader's press frees the co-pilot again.
    QAccessibleInterface* co = QAccessible::queryAccessibleInterface(f.control<QWidget>("imgCo"));
    QVERIFY(co->actionInterface());
    co->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTRY_COMPARE(told("imgCo", QAccessible::Description), free);
    QVERIFY(!f.window()->loading().blnCo());
    QCOMPARE(f.folder.dialogs().callsOf(ScriptedDialogs::Kind::InputBox).size(), 2);
    checkInvariants(f);
}

QTEST_MAIN(TestSeats)
#include "tst_seats.moc"
