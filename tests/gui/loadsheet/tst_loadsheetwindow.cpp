// The load sheet window through its controls: opened from the Extras menu, following the main
// window's loading, in the user's number format, printed and saved as a PDF, by keys alone.

#include "support/MainWindowFixture.h"

#include "gui/loadsheet/LoadSheetWindow.h"

#include <QAccessible>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTableWidget>

#include <functional>

using Dialog = ScriptedDialogs::Kind;
using Scene = std::function<void(MainWindowFixture&)>;
Q_DECLARE_METATYPE(Scene)

namespace {

// The German texts a sentence puts around its numbers.
const QString kCg = QStringLiteral("Schwerpunkt: %1 ft längs, %2 ft quer (nach vorn und nach rechts positiv)");
const QString kFuel = QStringLiteral("Treibstoff, der noch geladen werden kann: %1 kg (= %2 lbs)");

LoadSheetWindow* openLoadSheet(MainWindowFixture& f) {
    controls::triggerAction(f.window(), "mnuExtrasLadeliste");
    return f.app->loadSheetWindow();
}

QString text(LoadSheetWindow* w, const char* label) {
    return controls::child<QLabel>(w, label)->text();
}

// The cells of a row of the table.
QStringList row(LoadSheetWindow* w, int r) {
    auto* table = controls::child<QTableWidget>(w, "tblLadeliste");
    QStringList cells;
    for (int c = 0; c < table->columnCount(); ++c)
        cells << table->item(r, c)->text();
    return cells;
}

// What poppler makes of a PDF file; std::nullopt where it is not installed (the Windows build
// under Wine).
std::optional<QString> poppler(const char* tool, const QString& file) {
    const QString program = QStandardPaths::findExecutable(QString::fromLatin1(tool));
    if (program.isEmpty())
        return std::nullopt;
    QProcess process;
    process.start(program,
                  QByteArrayView(tool) == "pdftotext" ? QStringList{file, QStringLiteral("-")} : QStringList{file});
    process.waitForFinished(20000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class TestLoadSheetWindow : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void followsTheLoading_data();
    void followsTheLoading();
    void opensOnceWorksByKeys_data();
    void opensOnceWorksByKeys();
    void savesOnePage_data();
    void savesOnePage();
    void prints_data();
    void prints();
};

void TestLoadSheetWindow::followsTheLoading_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<Scene>("scene"); // done in the main window while the load sheet is open
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<QStringList>("total");
    QTest::addColumn<QStringList>("sentences");
    const QLocale de(QLocale::German, QLocale::Germany);
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("the start loading in German numbers")
        << de << Scene([](MainWindowFixture&) {}) << 0
        << QStringList{"Pilot", "80", "176", "0,4", "-1,7", "70,4", "-299,2"}
        << QStringList{"Gesamt", "775", "1.708", "0,04", "-0,18", "70,4", "-299,2"}
        << QStringList{kCg.arg("0,04", "-0,18"), "Bis zum maximalen Abfluggewicht (1.058 kg): 283 kg",
                       kFuel.arg("283", "623")};
    QTest::newRow("every seat taken and 23 kg of baggage, in American numbers")
        << us << Scene([](MainWindowFixture& f) {
               f.clickSeat("imgCo", QStringLiteral("75"));
               f.clickSeat("imgPaxLeft", QStringLiteral("68"));
               f.clickSeat("imgPaxRight", QStringLiteral("60"));
               f.control<QSlider>("Slider1")->setValue(23);
           })
        << 4 << QStringList{"Gepäck", "23", "50", "-6.5", "0.0", "-325.0", "0.0"}
        << QStringList{"Gesamt", "1,001", "2,204", "-0.47", "-0.02", "-1,031.6", "-47.6"}
        << QStringList{kCg.arg("-0.47", "-0.02"), "Bis zum maximalen Abfluggewicht (1,058 kg): 57 kg",
                       kFuel.arg("57", "125")};
    QTest::newRow("a seat freed again is said free, with 0 lb")
        << de << Scene([](MainWindowFixture& f) {
               f.clickSeat("imgCo", QStringLiteral("75"));
               f.clickSeat("imgCo", std::nullopt, false);
           })
        << 1 << QStringList{"Co-Pilot", "Platz frei", "0", "0,4", "1,7", "0,0", "0,0"}
        << QStringList{"Gesamt", "775", "1.708", "0,04", "-0,18", "70,4", "-299,2"}
        << QStringList{kCg.arg("0,04", "-0,18"), "Bis zum maximalen Abfluggewicht (1.058 kg): 283 kg",
                       kFuel.arg("283", "623")};
    QTest::newRow("beyond the maximum take-off weight: no fuel")
        << de << Scene([](MainWindowFixture& f) { f.clickSeat("imgPilot", QStringLiteral("400")); }) << 0
        << QStringList{"Pilot", "400", "881", "0,4", "-1,7", "352,4", "-1.497,7"}
        << QStringList{"Gesamt", "1.095", "2.413", "0,15", "-0,62", "352,4", "-1.497,7"}
        << QStringList{kCg.arg("0,15", "-0,62"), "Bis zum maximalen Abfluggewicht (1.058 kg): -37 kg",
                       "Es kann kein Treibstoff mehr geladen werden."};
    QTest::newRow("weights below zero leave no total to balance on: no centre of gravity")
        << de << Scene([](MainWindowFixture& f) { f.clickSeat("imgCo", QStringLiteral("-8012")); }) << 1
        << QStringList{"Co-Pilot", "-8.012", "-17.664", "0,4", "1,7", "-7.065,6", "-30.028,8"}
        << QStringList{"Gesamt", "-7.237", "-15.956", "", "", "-6.995,2", "-30.328,0"}
        << QStringList{"Schwerpunkt: keiner, denn das Gesamtgewicht ist nicht größer als null",
                       "Bis zum maximalen Abfluggewicht (1.058 kg): 8.295 kg", kFuel.arg("8.295", "18.287")};
}

void TestLoadSheetWindow::followsTheLoading() {
    QFETCH(QLocale, locale);
    QFETCH(Scene, scene);
    QFETCH(int, row);
    QFETCH(QStringList, cells);
    QFETCH(QStringList, total);
    QFETCH(QStringList, sentences);
    QLocale::setDefault(locale);
    MainWindowFixture f;
    f.open();
    LoadSheetWindow* w = openLoadSheet(f);
    QVERIFY(w && w->isVisible());
    QCOMPARE(w->windowTitle(), QStringLiteral("Ladeliste"));
    scene(f);
    QCOMPARE(::row(w, row), cells);
    const QString zero = locale.toString(0.0, 'f', 1);
    QCOMPARE(::row(w, 5), (QStringList{"Leergewicht", "695", locale.toString(1532), zero, zero, zero, zero}));
    QCOMPARE(::row(w, 6), total);
    QCOMPARE((QStringList{text(w, "lblSchwerpunkt"), text(w, "lblMTOW"), text(w, "lblTreibstoff")}), sentences);
    // A screen reader is told the centre of gravity with the picture.
    QCOMPARE(controls::child<QLabel>(w, "picLadeliste")->accessibleDescription(), sentences[0]);
}

void TestLoadSheetWindow::opensOnceWorksByKeys_data() {
    QTest::addColumn<int>("tabs"); // from the table, before the key
    QTest::addColumn<int>("key");
    QTest::newRow("Escape in the table closes it") << 0 << int(Qt::Key_Escape);
    QTest::newRow("Return on Schliessen, the third stop after the table, closes it") << 3 << int(Qt::Key_Return);
}

void TestLoadSheetWindow::opensOnceWorksByKeys() {
    QFETCH(int, tabs);
    QFETCH(int, key);
    MainWindowFixture f;
    f.open();
    LoadSheetWindow* w = openLoadSheet(f);
    QVERIFY(QTest::qWaitForWindowActive(w));
    // Chosen again, the same window comes forward.
    f.window()->activateWindow();
    QCOMPARE(openLoadSheet(f), w);
    QVERIFY(QTest::qWaitForWindowActive(w));
    // The main window stays usable.
    f.clickSeat("imgCo", QStringLiteral("75"));
    QCOMPARE(::row(w, 1)[1], QStringLiteral("75"));
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("tblLadeliste"));
    QStringList names;
    for (int i = 0; i < tabs; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        names << QAccessible::queryAccessibleInterface(QApplication::focusWidget())->text(QAccessible::Name);
    }
    if (tabs == 3)
        QCOMPARE(names, (QStringList{"Drucken", "Als PDF speichern", "Schliessen"}));
    QCOMPARE(QAccessible::queryAccessibleInterface(w)->role(), QAccessible::Dialog);
    QCOMPARE(
        QAccessible::queryAccessibleInterface(controls::child<QWidget>(w, "tblLadeliste"))->text(QAccessible::Name),
        QStringLiteral("Ladeliste"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QTRY_VERIFY(!f.app->loadSheetWindow());
    QVERIFY(f.folder.dialogs().allAnswered());
}

void TestLoadSheetWindow::savesOnePage_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("before"); // at the chosen name: "" nothing, "folder", or a file's content
    QTest::addColumn<int>("replace");    // the answer to the question: -1 none asked, 0 No, 1 Yes
    QTest::addColumn<QString>("paper");  // as pdfinfo names it; "" when nothing is written
    QTest::addColumn<QString>("failure");
    const QLocale de(QLocale::German, QLocale::Germany);
    QTest::newRow("a new name: one A4 page") << de << "" << -1 << "A4"
                                             << "";
    QTest::newRow("American measures: one Letter page")
        << QLocale(QLocale::English, QLocale::UnitedStates) << "" << -1 << "letter"
        << "";
    QTest::newRow("a name taken, Yes: replaced") << de << "old" << 1 << "A4"
                                                 << "";
    QTest::newRow("a name taken, No: the file stays") << de << "old" << 0 << ""
                                                      << "";
    QTest::newRow("a folder in its place: said so, nothing written")
        << de << "folder" << -1 << ""
        << "Die Ladeliste konnte nicht als %1 gespeichert werden: es ist ein Ordner";
}

void TestLoadSheetWindow::savesOnePage() {
    QFETCH(QLocale, locale);
    QFETCH(QString, before);
    QFETCH(int, replace);
    QFETCH(QString, paper);
    QFETCH(QString, failure);
    QLocale::setDefault(locale);
    MainWindowFixture f;
    f.open();
    ScriptedDialogs& dialogs = f.folder.dialogs();
    // The loading saved as a file first: the page names it, and the PDF is offered beside it.
    f.clickSeat("imgCo", QStringLiteral("75"));
    const QString loading = f.folder.file(QStringLiteral("Rundflug.tqload"));
    dialogs.answerSaveFile(loading);
    controls::triggerAction(f.window(), "mnuDateiBeladungSpeichern");
    LoadSheetWindow* w = openLoadSheet(f);
    const QString chosen = f.folder.file(QStringLiteral("Blatt")); // ".pdf" is added
    const QString pdf = chosen + QStringLiteral(".pdf");
    if (before == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(pdf));
    else if (!before.isEmpty())
        f.folder.write(QStringLiteral("Blatt.pdf"), before.toUtf8());
    dialogs.clear();
    dialogs.answerSaveFile(chosen);
    if (replace >= 0)
        dialogs.answerQuestion(replace == 1);
    QTest::mouseClick(controls::child<QPushButton>(w, "cmdAlsPdf"), Qt::LeftButton);

    QList<ScriptedDialogs::Call> expected{
        {Dialog::SaveFile, QStringLiteral("PDF-Dokumente|*.pdf"), f.folder.file(QStringLiteral("Rundflug.pdf"))}};
    if (replace >= 0)
        expected.append({Dialog::ReplaceQuestion,
                         QStringLiteral("%1 ist bereits vorhanden. Soll die Datei ersetzt werden?")
                             .arg(QDir::toNativeSeparators(pdf)),
                         QStringLiteral("Als PDF speichern")});
    if (!failure.isEmpty())
        expected.append({Dialog::Exclamation, failure.arg(QDir::toNativeSeparators(pdf)), QStringLiteral("Error!")});
    QCOMPARE(dialogs.calls().size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QCOMPARE(int(dialogs.calls()[i].kind), int(expected[i].kind));
        QCOMPARE(dialogs.calls()[i].text, expected[i].text);
        QCOMPARE(dialogs.calls()[i].title, expected[i].title);
    }
    if (paper.isEmpty()) {
        if (before != QLatin1String("folder"))
            QCOMPARE(QString::fromUtf8(f.folder.read(QStringLiteral("Blatt.pdf"))), before);
        return;
    }
    const QByteArray bytes = f.folder.read(QStringLiteral("Blatt.pdf"));
    QVERIFY(bytes.startsWith("%PDF-"));
    QCOMPARE(bytes.count("/Type /Page\n"), 1);
    const auto info = poppler("pdfinfo", pdf);
    if (!info)
        return;
    QVERIFY2(info->contains(QRegularExpression(QStringLiteral("Pages: +1\n"))), qPrintable(*info));
    QVERIFY2(info->contains(QStringLiteral("(%1)").arg(paper)), qPrintable(*info));
    const QString page = *poppler("pdftotext", pdf);
    const QString date = locale.toString(QDate::currentDate(), QLocale::ShortFormat);
    const QString total = locale.toString(1873);
    for (const QString& expectedText : {QStringLiteral("Ladeliste – TQ 58"), QStringLiteral("Datum: ") + date,
                                        QStringLiteral("Beladung: Rundflug.tqload"), QStringLiteral("Gesamt"), total,
                                        kCg.arg(locale.toString(0.07, 'f', 2), locale.toString(-0.01, 'f', 2))})
        QVERIFY2(page.contains(expectedText), qPrintable(expectedText + QStringLiteral(" not in:\n") + page));
}

void TestLoadSheetWindow::prints_data() {
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("message");
    QTest::newRow("printed") << int(Dialogs::Printed::Yes) << "";
    QTest::newRow("cancelled in the print dialog: nothing said") << int(Dialogs::Printed::Cancelled) << "";
    QTest::newRow("the printer failed: said so")
        << int(Dialogs::Printed::Failed) << "Die Ladeliste konnte nicht gedruckt werden.";
}

void TestLoadSheetWindow::prints() {
    QFETCH(int, outcome);
    QFETCH(QString, message);
    MainWindowFixture f;
    f.open();
    LoadSheetWindow* w = openLoadSheet(f);
    ScriptedDialogs& dialogs = f.folder.dialogs();
    dialogs.answerPrint(Dialogs::Printed(outcome));
    QTest::mouseClick(controls::child<QPushButton>(w, "cmdDrucken"), Qt::LeftButton);
    QCOMPARE(dialogs.calls().size(), message.isEmpty() ? 1 : 2);
    QCOMPARE(dialogs.calls()[0].kind, Dialog::Print);
    QCOMPARE(dialogs.calls()[0].title, QStringLiteral("Ladeliste"));
    if (!message.isEmpty()) {
        QCOMPARE(dialogs.calls()[1].kind, Dialog::Exclamation);
        QCOMPARE(dialogs.calls()[1].text, message);
    }
    // The page drawn on the printer: the aircraft on its silver, and black text and lines.
    const QImage& page = dialogs.printedPage();
    QCOMPARE(page.isNull(), outcome != int(Dialogs::Printed::Yes));
    int silver = 0;
    int dark = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            silver += page.pixel(x, y) == qRgb(192, 192, 192);
            dark += qGray(page.pixel(x, y)) < 64;
        }
    }
    if (!page.isNull())
        QVERIFY(silver > page.width() * page.height() / 10 && dark > 1000);
}

QTEST_MAIN(TestLoadSheetWindow)
#include "tst_loadsheetwindow.moc"
