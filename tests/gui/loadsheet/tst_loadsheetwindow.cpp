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

using Scene = std::function<void(MainWindowFixture&)>;
Q_DECLARE_METATYPE(Scene)

namespace {

const QLocale kGerman(QLocale::German, QLocale::Germany);
const QLocale kAmerican(QLocale::English, QLocale::UnitedStates);
const QString kCg = QStringLiteral("Schwerpunkt: %1 ft längs, %2 ft quer (nach vorn und nach rechts positiv)");
const QString kMtow = QStringLiteral("Bis zum maximalen Abfluggewicht (%1 kg): %2 kg");
const QString kFuel = QStringLiteral("Treibstoff, der noch geladen werden kann: %1 kg (= %2 lbs)");

LoadSheetWindow* openLoadSheet(MainWindowFixture& f) {
    controls::triggerAction(f.window(), "mnuExtrasLadeliste");
    return f.app->loadSheetWindow();
}

QStringList row(LoadSheetWindow* w, int r) {
    auto* table = controls::child<QTableWidget>(w, "tblLadeliste");
    QStringList cells;
    for (int c = 0; c < table->columnCount(); ++c)
        cells << table->item(r, c)->text();
    return cells;
}

// Every dialog shown, as "kind: text | title", a question with the answer Return gives and the
// save dialog with the name it offers.
QStringList shown(const ScriptedDialogs& dialogs) {
    const char* const kinds[] = {"input", "exclamation", "information", "question", "open", "url", "save", "print"};
    QStringList calls;
    for (const ScriptedDialogs::Call& call : dialogs.calls()) {
        QString kind = QLatin1String(kinds[int(call.kind)]);
        if (call.preset)
            kind += *call.preset == Dialogs::Answer::No ? QStringLiteral("(No)") : QStringLiteral("(Yes)");
        calls << QStringLiteral("%1: %2 | %3").arg(kind, call.text, call.title) +
                     (call.offered.isEmpty() ? QString() : QStringLiteral(" | ") + call.offered);
    }
    return calls;
}

// The text of a PDF as pdftotext reads it; std::nullopt where it is not installed (under Wine).
std::optional<QString> pdfText(const QString& file) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (program.isEmpty())
        return std::nullopt;
    QProcess process;
    process.start(program, {file, QStringLiteral("-")});
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
    QTest::addColumn<Scene>("scene"); // done in the main window while the load sheet is open
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<QStringList>("total");
    QTest::addColumn<QStringList>("sentences");
    const QStringList start{kCg.arg("0,04", "-0,18"), kMtow.arg("1.058", "283"), kFuel.arg("283", "623")};
    QTest::newRow("the start loading in German numbers")
        << Scene([](MainWindowFixture&) {}) << 0 << QStringList{"Pilot", "80", "176", "0,4", "-1,7", "70,4", "-299,2"}
        << QStringList{"Gesamt", "775", "1.708", "0,04", "-0,18", "70,4", "-299,2"} << start;
    QTest::newRow("a seat freed again is said free, with 0 lb")
        << Scene([](MainWindowFixture& f) {
               f.clickSeat("imgCo", QStringLiteral("75"));
               f.clickSeat("imgCo", std::nullopt, false);
           })
        << 1 << QStringList{"Co-Pilot", "Platz frei", "0", "0,4", "1,7", "0,0", "0,0"}
        << QStringList{"Gesamt", "775", "1.708", "0,04", "-0,18", "70,4", "-299,2"} << start;
    QTest::newRow("beyond the maximum take-off weight: no fuel")
        << Scene([](MainWindowFixture& f) { f.clickSeat("imgPilot", QStringLiteral("400")); }) << 0
        << QStringList{"Pilot", "400", "881", "0,4", "-1,7", "352,4", "-1.497,7"}
        << QStringList{"Gesamt", "1.095", "2.413", "0,15", "-0,62", "352,4", "-1.497,7"}
        << QStringList{kCg.arg("0,15", "-0,62"), kMtow.arg("1.058", "-37"),
                       "Es kann kein Treibstoff mehr geladen werden."};
    QTest::newRow("weights below zero leave no total to balance on: no centre of gravity")
        << Scene([](MainWindowFixture& f) { f.clickSeat("imgCo", QStringLiteral("-8012")); }) << 1
        << QStringList{"Co-Pilot", "-8.012", "-17.664", "0,4", "1,7", "-7.065,6", "-30.028,8"}
        << QStringList{"Gesamt", "-7.237", "-15.956", "", "", "-6.995,2", "-30.328,0"}
        << QStringList{"Schwerpunkt: keiner, denn das Gesamtgewicht ist nicht größer als null",
                       kMtow.arg("1.058", "8.295"), kFuel.arg("8.295", "18.287")};
}

void TestLoadSheetWindow::followsTheLoading() {
    QFETCH(Scene, scene);
    QFETCH(int, row);
    QFETCH(QStringList, cells);
    QFETCH(QStringList, total);
    QFETCH(QStringList, sentences);
    QLocale::setDefault(kGerman);
    MainWindowFixture f;
    f.open();
    LoadSheetWindow* w = openLoadSheet(f);
    QVERIFY(w && w->isVisible());
    QCOMPARE(w->windowTitle(), QStringLiteral("Ladeliste"));
    scene(f);
    QCOMPARE(::row(w, row), cells);
    QCOMPARE(::row(w, 6), total);
    const auto label = [w](const char* name) { return controls::child<QLabel>(w, name)->text(); };
    QCOMPARE((QStringList{label("lblSchwerpunkt"), label("lblMTOW"), label("lblTreibstoff")}), sentences);
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
    // Chosen again, the same window comes forward; the main window stays usable meanwhile.
    f.window()->activateWindow();
    f.clickSeat("imgCo", QStringLiteral("75"));
    QCOMPARE(openLoadSheet(f), w);
    QVERIFY(QTest::qWaitForWindowActive(w));
    QCOMPARE(::row(w, 1)[1], QStringLiteral("75"));
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("tblLadeliste"));
    QStringList names{QAccessible::queryAccessibleInterface(QApplication::focusWidget())->text(QAccessible::Name)};
    for (int i = 0; i < tabs; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        names << QAccessible::queryAccessibleInterface(QApplication::focusWidget())->text(QAccessible::Name);
    }
    QCOMPARE(names, (QStringList{"Ladeliste", "Drucken", "Als PDF speichern", "Schliessen"}.first(tabs + 1)));
    QCOMPARE(QAccessible::queryAccessibleInterface(w)->role(), QAccessible::Dialog);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QTRY_VERIFY(!f.app->loadSheetWindow());
    QVERIFY(f.folder.dialogs().allAnswered());
}

void TestLoadSheetWindow::savesOnePage_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("before");   // at the chosen name: "" nothing, "folder", "link" (to pa.bmp), or content
    QTest::addColumn<int>("replace");      // the answer to the question: -1 none asked, 0 No, 1 Yes
    QTest::addColumn<QByteArray>("paper"); // the page's size in points; "" when nothing is written
    QTest::newRow("a new name: one A4 page") << kGerman << "" << -1 << QByteArray("595.000000 842.000000");
    QTest::newRow("American measures: one Letter page") << kAmerican << "" << -1 << QByteArray("612.000000 792.000000");
    QTest::newRow("a name taken, Yes: replaced") << kGerman << "old" << 1 << QByteArray("595.000000 842.000000");
    QTest::newRow("a name taken, No: the file stays") << kGerman << "old" << 0 << QByteArray();
    QTest::newRow("a folder in its place: said so, nothing written") << kGerman << "folder" << -1 << QByteArray();
#ifdef Q_OS_UNIX
    QTest::newRow("a link to a picture the program ships: refused before the question")
        << kGerman << "link" << -1 << QByteArray();
#endif
}

void TestLoadSheetWindow::savesOnePage() {
    QFETCH(QLocale, locale);
    QFETCH(QString, before);
    QFETCH(int, replace);
    QFETCH(QByteArray, paper);
    QLocale::setDefault(locale);
    MainWindowFixture f;
    f.open();
    ScriptedDialogs& dialogs = f.folder.dialogs();
    // The loading saved as a file first: the page names it, and the PDF is offered beside it.
    f.clickSeat("imgCo", QStringLiteral("75"));
    dialogs.answerSaveFile(f.folder.file(QStringLiteral("Rundflug.tqload")));
    controls::triggerAction(f.window(), "mnuDateiBeladungSpeichern");
    LoadSheetWindow* w = openLoadSheet(f);
    const QString pdf = f.folder.file(QStringLiteral("Blatt.pdf"));
    if (before == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(pdf));
    else if (before == QLatin1String("link"))
        QVERIFY(QFile::link(f.folder.file(QStringLiteral("pa.bmp")), pdf));
    else if (!before.isEmpty())
        f.folder.write(QStringLiteral("Blatt.pdf"), before.toUtf8());
    dialogs.clear();
    dialogs.answerSaveFile(f.folder.file(QStringLiteral("Blatt"))); // ".pdf" is added
    if (replace >= 0)
        dialogs.answerQuestion(replace == 1);
    QTest::mouseClick(controls::child<QPushButton>(w, "cmdAlsPdf"), Qt::LeftButton);

    const QString native = QDir::toNativeSeparators(pdf);
    QStringList expected{QStringLiteral("save: PDF-Dokumente|*.pdf | ") + QDir::cleanPath(f.folder.path()) +
                         QStringLiteral(" | Rundflug.pdf")};
    if (replace >= 0)
        expected << QStringLiteral(
                        "question(No): %1 ist bereits vorhanden. Soll die Datei ersetzt werden? | Als PDF speichern")
                        .arg(native);
    if (before == QLatin1String("folder"))
        expected << QStringLiteral(
                        "exclamation: Die Ladeliste konnte nicht als %1 gespeichert werden: es ist ein Ordner | Error!")
                        .arg(native);
    if (before == QLatin1String("link"))
        expected << QStringLiteral("exclamation: %1 ist eine Datei, die Merovan mitbringt und nie überschreibt; die "
                                   "Ladeliste wurde nicht gespeichert. Bitte wählen Sie einen anderen Namen. | Error!")
                        .arg(native);
    QCOMPARE(shown(dialogs), expected);
    if (paper.isEmpty()) {
        if (before != QLatin1String("link"))
            QCOMPARE(QString::fromUtf8(f.folder.read(QStringLiteral("Blatt.pdf"))), before == "folder" ? "" : before);
        QVERIFY(f.folder.read(QStringLiteral("pa.bmp")).startsWith("BM"));
        return;
    }
    const QByteArray bytes = f.folder.read(QStringLiteral("Blatt.pdf"));
    QVERIFY(bytes.startsWith("%PDF-"));
    QCOMPARE(bytes.count("/Type /Page\n"), 1);
    QVERIFY(bytes.contains("/MediaBox [0 0 " + paper + ']'));
    const auto page = pdfText(pdf);
    if (!page)
        return;
    // Pilot 80 kg and co-pilot 75 kg: 1873 lb with the centre of gravity at 0.07 ft and -0.01 ft.
    for (const QString& line :
         {QStringLiteral("Ladeliste – TQ 58"),
          QStringLiteral("Datum: ") + locale.toString(QDate::currentDate(), QLocale::ShortFormat),
          QStringLiteral("Beladung: Rundflug.tqload"), QStringLiteral("Gesamt"), locale.toString(1873),
          kCg.arg(locale.toString(0.07, 'f', 2), locale.toString(-0.01, 'f', 2))})
        QVERIFY2(page->contains(line), qPrintable(line + QStringLiteral(" not in:\n") + *page));
}

void TestLoadSheetWindow::prints_data() {
    QTest::addColumn<Dialogs::Printed>("outcome");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("printed") << Dialogs::Printed::Yes << QStringList{"print:  | Ladeliste"};
    QTest::newRow("cancelled in the print dialog: nothing said")
        << Dialogs::Printed::Cancelled << QStringList{"print:  | Ladeliste"};
    QTest::newRow("the printer failed: said so")
        << Dialogs::Printed::Failed
        << QStringList{"print:  | Ladeliste", "exclamation: Die Ladeliste konnte nicht gedruckt werden. | Error!"};
}

void TestLoadSheetWindow::prints() {
    QFETCH(Dialogs::Printed, outcome);
    QFETCH(QStringList, shown);
    MainWindowFixture f;
    f.open();
    LoadSheetWindow* w = openLoadSheet(f);
    f.folder.dialogs().answerPrint(outcome);
    QTest::mouseClick(controls::child<QPushButton>(w, "cmdDrucken"), Qt::LeftButton);
    QCOMPARE(::shown(f.folder.dialogs()), shown);
    // The page drawn on the printer, the aircraft on its silver a good part of it.
    const QImage& page = f.folder.dialogs().printedPage();
    QCOMPARE(page.isNull(), outcome != Dialogs::Printed::Yes);
    int silver = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x)
            silver += page.pixel(x, y) == qRgb(192, 192, 192);
    }
    QVERIFY(page.isNull() || silver > page.width() * page.height() / 10);
}

QTEST_MAIN(TestLoadSheetWindow)
#include "tst_loadsheetwindow.moc"
