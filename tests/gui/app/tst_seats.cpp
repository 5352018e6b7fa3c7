#include "support/MainWindowFixture.h"

#include "core/loading/LoadingModel.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QFocusFrame>

class TestSeats : public QObject {
    Q_OBJECT
private slots:
    void clicksSumAndTotal_data();
    void clicksSumAndTotal();
    void readOnlyTextBoxes();
    void seatsByKeysAndScreenReader_data();
    void seatsByKeysAndScreenReader();
};

namespace {
const QString kFree = QStringLiteral("Platz frei");

} // namespace

void TestSeats::clicksSumAndTotal_data() {
    // "imgCo=75": a click on a free seat answered with 75; "imgCo": a click that frees it;
    // "Slider1=12": the slider moved; "reload": the main window loaded afresh.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("sum");
    QTest::addColumn<int>("baggage");
    QTest::addColumn<QString>("total");
    QTest::newRow("start: the pilot of 80 kg alone") << QStringList{} << "80" << 0 << " 775 kg";
    QTest::newRow("co-pilot seated") << QStringList{"imgCo=75"} << "155" << 0 << " 850 kg";
    QTest::newRow("co-pilot freed again, nothing asked") << QStringList{"imgCo=75", "imgCo"} << "80" << 0 << " 775 kg";
    QTest::newRow("a negative passenger") << QStringList{"imgPaxLeft=-20"} << "60" << 0 << " 755 kg";
    QTest::newRow("freeing takes off the weight recorded")
        << QStringList{"imgPaxLeft=-20", "imgPaxRight=61", "imgPaxLeft"} << "141" << 0 << " 836 kg";
    QTest::newRow("a negative total has no place for a sign") << QStringList{"imgCo=-780"} << "-700" << 0 << "-5 kg";
    QTest::newRow("baggage 23 with the pilot alone") << QStringList{"Slider1=23"} << "80" << 23 << " 798 kg";
    QTest::newRow("baggage 10 with a co-pilot of 75")
        << QStringList{"imgCo=75", "Slider1=10"} << "155" << 10 << " 860 kg";
    QTest::newRow("the slider stops at 23") << QStringList{"Slider1=40"} << "80" << 23 << " 798 kg";
    QTest::newRow("a reload starts afresh")
        << QStringList{"imgCo=75", "imgPaxLeft=60", "imgPaxRight=65", "imgPilot=90", "Slider1=12", "reload"} << "80"
        << 0 << " 775 kg";
}

void TestSeats::clicksSumAndTotal() {
    QFETCH(QStringList, steps);
    QFETCH(int, baggage);
    MainWindowFixture f;
    QVERIFY(f.open());
    auto* slider = f.control<QSlider>("Slider1");
    QCOMPARE((QList<int>{slider->minimum(), slider->maximum(), slider->singleStep(), slider->pageStep()}),
             (QList<int>{0, 23, 1, 5}));
    qsizetype asked = 0;
    for (const QString& step : steps) {
        const QString name = step.section(QLatin1Char('='), 0, 0);
        const bool answered = step.contains(QLatin1Char('='));
        if (step == QLatin1String("reload"))
            f.app->reloadMainWindow();
        else if (name == QLatin1String("Slider1"))
            f.control<QSlider>("Slider1")->setValue(step.section(QLatin1Char('='), 1).toInt());
        else
            f.clickSeat(qPrintable(name), step.section(QLatin1Char('='), 1), answered);
        asked += answered && name != QLatin1String("Slider1");
    }
    checkInvariants(f);
    // Only a free seat asks for a weight, each time in the same words.
    const auto input = f.folder.dialogs().callsOf(ScriptedDialogs::Kind::InputBox);
    QCOMPARE(input.size(), asked);
    for (const auto& call : input)
        QCOMPARE(call.text + QLatin1Char('|') + call.title,
                 QStringLiteral("Bitte geben Sie das Gewicht der Person in kg ein:|Gewicht"));
    for (const SeatImage& s : kSeatImages)
        QVERIFY2(recordedWeight(f.tooltip(s.name)) || f.tooltip(s.name) == kFree, s.name);
    QTEST(f.textOf("txtPersonengewicht"), "sum");
    QCOMPARE(f.control<QSlider>("Slider1")->value(), baggage);
    QCOMPARE(f.textOf("txtBaggage"), QString::number(baggage));
    QCOMPARE(int(f.window()->loading().baggage()), baggage);
    QTEST(f.textOf("lblGesamt"), "total");
    QVERIFY(f.folder.dialogs().callsOf(ScriptedDialogs::Kind::Exclamation).isEmpty());
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
