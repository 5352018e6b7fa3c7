// Loadings as files in the main window: File > Save loading as... and Open loading..., the
// loadings used last in the File menu, and a loading named on the command line, with scripted
// dialogs.

#include "support/MainWindowFixture.h"

#include "core/loading/LoadingFile.h"
#include "core/loading/RecentLoadings.h"

#include <QDir>
#include <QFile>
#include <QMenu>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using Dialog = ScriptedDialogs::Kind;

namespace {

// Co-pilot 75 kg, right passenger 60 kg, baggage 12 kg.
void setScene(MainWindowFixture& f) {
    f.clickSeat("imgCo", QStringLiteral("75"));
    f.clickSeat("imgPaxRight", QStringLiteral("60"));
    f.control<QSlider>("Slider1")->setValue(12);
}

void saveAs(MainWindowFixture& f, const QString& file) {
    f.folder.dialogs().answerSaveFile(file);
    controls::triggerAction(f.window(), "mnuDateiBeladungSpeichern");
}

// The File menu's list of loadings used last: caption and tooltip of each entry.
QStringList recentEntries(const MainWindowFixture& f) {
    QStringList entries;
    for (QAction* action : f.control<QMenu>("mnuDatei")->actions()) {
        if (action->objectName().startsWith(QLatin1String("mnuDateiZuletzt")))
            entries << action->text() + QStringLiteral(" | ") + action->toolTip();
    }
    return entries;
}

QString openFailed(const QString& file, const QString& fault) {
    return QStringLiteral("Die Beladung %1 kann nicht geöffnet werden.\n\n%2 Die Beladung auf dem Bildschirm bleibt, "
                          "wie sie war.")
        .arg(QDir::toNativeSeparators(file), fault);
}

} // namespace

class TestLoadingFiles : public QObject {
    Q_OBJECT
private slots:
    void savedThenOpenedFromTheList();
    void refusedFileLeavesTheLoading_data();
    void refusedFileLeavesTheLoading();
    void openedAtStart_data();
    void openedAtStart();
};

void TestLoadingFiles::savedThenOpenedFromTheList() {
    MainWindowFixture f;
    f.open();
    setScene(f);
    const LoadingModel scene = f.window()->loading();
    const QString loadings = f.folder.file(QStringLiteral("Loadings"));
    const QString file = loadings + QStringLiteral("/Hamburg mit Jürgen.tqload");
    saveAs(f, loadings + QStringLiteral("/Hamburg mit Jürgen"));
    // In the program folder's Loadings/, made for it; loadings only.
    const auto saveCall = f.folder.dialogs().callsOf(Dialog::SaveFile).constFirst();
    QCOMPARE(saveCall.text + QLatin1Char(' ') + saveCall.title, QStringLiteral("Beladungen|*.tqload ") + loadings);
    QCOMPARE(f.folder.read(QStringLiteral("Loadings/Hamburg mit Jürgen.tqload")),
             loadingfile::format({scene, QString()}));
    for (const char* name : {"b", "c", "Anna & Ben", "e"})
        saveAs(f, loadings + QLatin1Char('/') + QString::fromUtf8(name));
    // The next start: the start loading, the four used last; an "&" stays an "&" on screen.
    f.app->reloadMainWindow();
    controls::settle();
    QVERIFY(f.window()->loading() == LoadingModel());
    const auto entry = [&loadings](const QString& name, const QString& caption) {
        return caption + QStringLiteral(" | ") + QDir::toNativeSeparators(loadings + QLatin1Char('/') + name);
    };
    QCOMPARE(recentEntries(f), (QStringList{entry("e.tqload", "e"), entry("Anna & Ben.tqload", "Anna && Ben"),
                                            entry("c.tqload", "c"), entry("b.tqload", "b")}));
    // A loading that has gone is said so, and leaves the list.
    QVERIFY(QFile::remove(loadings + QStringLiteral("/c.tqload")));
    controls::triggerAction(f.window(), "mnuDateiZuletzt3");
    QCOMPARE(f.folder.dialogs().callsOf(Dialog::Exclamation).constFirst().text,
             openFailed(loadings + QStringLiteral("/c.tqload"),
                        QStringLiteral("Die Datei kann nicht gelesen werden: Datei oder Ordner nicht vorhanden.")));
    QCOMPARE(recentEntries(f).size(), 3);

    // Opened as if entered by hand, the title as it was; the file's note goes into the next save.
    QVERIFY(!loadingfile::save(file, {scene, QStringLiteral("mit \"Anna\"")}));
    f.folder.dialogs().answerOpenFile(file);
    controls::triggerAction(f.window(), "mnuDateiBeladungOeffnen");
    QVERIFY(f.window()->loading() == scene);
    checkInvariants(f, QStringLiteral("opened"));
    QCOMPARE(f.control<QWidget>("imgCo")->accessibleDescription(), QStringLiteral("75 kg"));
    QCOMPARE(f.control<QWidget>("imgPaxLeft")->accessibleDescription(), QStringLiteral("Platz frei"));
    QCOMPARE(f.control<QWidget>("lblGesamt")->accessibleDescription(), QStringLiteral("922 kg"));
    QCOMPARE(f.control<QSlider>("Slider1")->value(), 12);
    QCOMPARE(f.window()->windowTitle(), QStringLiteral("TQ 58 Merovan"));
    QCOMPARE(recentEntries(f).constFirst(), entry("Hamburg mit Jürgen.tqload", "Hamburg mit Jürgen"));
    // A name taken is asked about first (named without the extension, it is the same file); the
    // file's note goes with the loading into it.
    const QByteArray before = f.folder.read(QStringLiteral("Loadings/Hamburg mit Jürgen.tqload"));
    f.clickSeat("imgCo", std::nullopt, false);
    for (bool yes : {false, true}) {
        f.folder.dialogs().answerQuestion(yes);
        saveAs(f, loadings + QStringLiteral("/Hamburg mit Jürgen"));
        QCOMPARE(f.folder.read(QStringLiteral("Loadings/Hamburg mit Jürgen.tqload")),
                 yes ? loadingfile::format({f.window()->loading(), QStringLiteral("mit \"Anna\"")}) : before);
    }
    const auto question = f.folder.dialogs().callsOf(Dialog::Question).constLast();
    QCOMPARE(question.text + QLatin1Char('|') + question.title,
             QDir::toNativeSeparators(file) +
                 QStringLiteral(" ist bereits vorhanden. Soll die Datei ersetzt werden?|Beladung speichern unter"));
    // Return keeps the file.
    QVERIFY(question.preset == Dialogs::Answer::No);
    QVERIFY(f.folder.dialogs().allAnswered());
}

void TestLoadingFiles::refusedFileLeavesTheLoading_data() {
    QTest::addColumn<QByteArray>("content"); // "folder", "pipe", or absent: nothing there
    QTest::addColumn<QString>("fault");      // as the message tells it
    const QByteArray head = "Merovan TQ 58 loading 1\npilot=80\ncopilot=\npassenger_left=\npassenger_right=\n";
    QTest::newRow("a pilot under 40 kg") << QByteArray(head + "baggage=0\n").replace("pilot=80", "pilot=39")
                                         << QStringLiteral(
                                                "Zeile 2 (pilot=39): Der Pilot muss mindestens 40 kg wiegen.");
    QTest::newRow("one byte too large")
        << QByteArray(loadingfile::kLargestFile + 1, '\n')
        << QStringLiteral("Die Datei ist mit 65537 Bytes zu groß für eine Beladung (höchstens 65536 Bytes).");
    QTest::newRow("a folder") << QByteArray("folder")
                              << QStringLiteral("Die Datei kann nicht gelesen werden: es ist ein Ordner.");
#ifdef Q_OS_UNIX
    // Opened, a pipe would wait for a writer for ever.
    QTest::newRow("a named pipe") << QByteArray("pipe")
                                  << QStringLiteral(
                                         "Die Datei kann nicht gelesen werden: es ist keine gewöhnliche Datei "
                                         "(sondern eine Pipe, ein Socket oder ein Gerät).");
#endif
}

void TestLoadingFiles::refusedFileLeavesTheLoading() {
    QFETCH(QByteArray, content);
    QFETCH(QString, fault);
    MainWindowFixture f;
    f.open();
    setScene(f);
    const LoadingModel scene = f.window()->loading();
    const QString name = QStringLiteral("Flüge/Jürgen, 'Ben' & Co.tqload");
    const QString path = f.folder.file(name);
    QVERIFY(QDir().mkpath(f.folder.file(QStringLiteral("Flüge"))));
    if (content == "folder")
        QVERIFY(QDir().mkpath(path));
#ifdef Q_OS_UNIX
    else if (content == "pipe")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
    else
        f.folder.write(name, content);
    f.folder.dialogs().answerOpenFile(path);
    controls::triggerAction(f.window(), "mnuDateiBeladungOeffnen");
    const auto messages = f.folder.dialogs().callsOf(Dialog::Exclamation);
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0].text, openFailed(path, fault));
    QCOMPARE(messages[0].title, QStringLiteral("Error!"));
    QVERIFY(f.window()->loading() == scene);
    checkInvariants(f, QStringLiteral("refused"));
    // Not one of the loadings used last; but its folder is the one the dialogs show next.
    QVERIFY(recentEntries(f).isEmpty());
    f.folder.dialogs().answerSaveFile(std::nullopt);
    controls::triggerAction(f.window(), "mnuDateiBeladungSpeichern");
    QCOMPARE(f.folder.dialogs().callsOf(Dialog::SaveFile).constFirst().title, QFileInfo(path).absolutePath());
}

void TestLoadingFiles::openedAtStart_data() {
    QTest::addColumn<bool>("firstStart");
    QTest::newRow("an ordinary start") << false;
    QTest::newRow("the first start: once the options are confirmed") << true;
}

void TestLoadingFiles::openedAtStart() {
    QFETCH(bool, firstStart);
    MainWindowFixture f;
    const QString file = f.folder.file(QStringLiteral("Flüge, neu/trip.tqload"));
    QVERIFY(QDir().mkpath(QFileInfo(file).absolutePath()));
    LoadingModel wanted;
    QVERIFY(wanted.seat(Seat::PaxLeft, 64) && wanted.setBaggage(7));
    QVERIFY(!loadingfile::save(file, {wanted, QString()}));
    if (firstStart)
        f.folder.write(QStringLiteral("strt.cfg"), " 1 \r\n");
    f.app->openAtStart(file);
    f.app->showMainWindow();
    controls::settle();
    if (firstStart) {
        QVERIFY(!f.window() && f.app->optionsWindow());
        f.app->saveOptions({QString(), QStringLiteral("Deutsch")});
        controls::settle();
    }
    QVERIFY(f.window()->loading() == wanted);
    checkInvariants(f, QStringLiteral("opened at start"));
    QVERIFY(f.folder.dialogs().calls().isEmpty());
    QCOMPARE(recentloadings::read(f.folder.path()).files, QStringList{QDir::cleanPath(file)});
    // Only once: the next main window starts with the start loading.
    f.app->reloadMainWindow();
    controls::settle();
    QVERIFY(f.window()->loading() == LoadingModel());
}

QTEST_MAIN(TestLoadingFiles)
#include "tst_loadingfiles.moc"
