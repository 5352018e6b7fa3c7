// Loadings as files in the main window: File > Open loading..., Save loading and Save loading
// as..., by menu and by key, the loadings used last in the File menu, a loading named on the
// command line or dropped on the window, with scripted dialogs.

#include "support/ExportFixture.h"
#include "support/Loadings.h"
#include "support/MainWindowFixture.h"

#include "core/export/WeightAndBalance.h"
#include "core/loading/LoadingFile.h"
#include "core/loading/RecentLoadings.h"
#include "gui/app/QtDialogs.h"
#include "gui/export/TakeOverWindow.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMimeData>
#include <QUrl>
#include <QWindow>

#include <functional>

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

void openByMenu(MainWindowFixture& f, const QString& file) {
    f.folder.dialogs().answerOpenFile(file);
    controls::triggerAction(f.window(), "mnuDateiBeladungOeffnen");
}

// The keys pressed in the main window, as the user presses them: the window active.
void press(MainWindowFixture& f, const QKeySequence& keys) {
    f.window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window()));
    QTest::keySequence(f.window(), keys);
}

// The program started again over the same program folder.
void nextStart(MainWindowFixture& f) {
    f.app = std::make_unique<Application>(f.folder.context());
    f.open();
    controls::settle();
}

// `file` dragged over the control `name` of the main window, copy or move offered, and dropped:
// through the window, which hands it to the widget under the pointer. The action the drop was
// taken as; Qt::IgnoreAction when refused.
Qt::DropAction drop(MainWindowFixture& f, const QString& file, const char* name = "Picture1",
                    Qt::KeyboardModifiers held = Qt::NoModifier) {
    QWidget* control = f.control<QWidget>(name);
    const QPoint at = control->mapTo(f.window(), control->rect().center());
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, held);
    QCoreApplication::sendEvent(f.window()->windowHandle(), &enter);
    QDragMoveEvent move(at, offered, &data, Qt::LeftButton, held);
    QCoreApplication::sendEvent(f.window()->windowHandle(), &move);
    QDropEvent dropped(at, offered, &data, Qt::LeftButton, held);
    QCoreApplication::sendEvent(f.window()->windowHandle(), &dropped);
    controls::settle();
    return enter.isAccepted() && move.isAccepted() && dropped.isAccepted() ? dropped.dropAction() : Qt::IgnoreAction;
}

void dropFile(MainWindowFixture& f, const QString& file) {
    QCOMPARE(drop(f, file), Qt::CopyAction);
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
    void saveWritesTheFileLastUsed_data();
    void saveWritesTheFileLastUsed();
    void keysAndDialogsLeaveNothingBehind_data();
    void keysAndDialogsLeaveNothingBehind();
    void refusedFileLeavesTheLoading_data();
    void refusedFileLeavesTheLoading();
    void noteTooLongForAFileIsRefused();
    void recentListLastsWithoutItsFile();
    void saveDialogOffersTheName();
    void openedAtStart_data();
    void openedAtStart();
};

namespace {

// trip.tqload in Loadings/, with its note, as a test opens it before a row's step.
const LoadingModel kTrip = loadingOf(80, 0, 64, 0, 7);
const auto kTripNote = QStringLiteral("mit Anna");
using Step = std::function<void(MainWindowFixture&, const QString& trip)>;

} // namespace

void TestLoadingFiles::savedThenOpenedFromTheList() {
    MainWindowFixture f;
    f.open();
    setScene(f);
    const LoadingModel scene = f.window()->loading();
    const QString loadings = f.folder.file(QStringLiteral("Loadings"));
    const QString file = loadings + QStringLiteral("/Hamburg mit Jürgen.tqload");
    saveAs(f, loadings + QStringLiteral("/Hamburg mit Jürgen"));
    // In the program folder's Loadings/, made for it; loadings only; no name offered yet.
    const auto saveCall = f.folder.dialogs().callsOf(Dialog::SaveFile).constFirst();
    QCOMPARE(saveCall.text + QLatin1Char(' ') + saveCall.title + QLatin1Char('|') + saveCall.offered,
             QStringLiteral("Beladungen|*.tqload ") + loadings + QLatin1Char('|'));
    QCOMPARE(f.folder.read(QStringLiteral("Loadings/Hamburg mit Jürgen.tqload")),
             loadingfile::format({scene, QString()}));
    for (const char* name : {"b", "c", "Anna & Ben", "e"})
        saveAs(f, loadings + QLatin1Char('/') + QString::fromUtf8(name));
    // The next start: the start loading, the four used last, numbered; an "&" stays an "&" on
    // screen.
    nextStart(f);
    QVERIFY(f.window()->loading() == LoadingModel());
    const auto entry = [&loadings](const QString& name, const QString& caption) {
        return caption + QStringLiteral(" | ") + QDir::toNativeSeparators(loadings + QLatin1Char('/') + name);
    };
    QCOMPARE(recentEntries(f), (QStringList{entry("e.tqload", "&1 e"), entry("Anna & Ben.tqload", "&2 Anna && Ben"),
                                            entry("c.tqload", "&3 c"), entry("b.tqload", "&4 b")}));
    // A loading that has gone is said so, and leaves the list.
    QVERIFY(QFile::remove(loadings + QStringLiteral("/c.tqload")));
    controls::triggerAction(f.window(), "mnuDateiZuletzt3");
    QCOMPARE(f.folder.dialogs().callsOf(Dialog::Exclamation).constFirst().text,
             openFailed(loadings + QStringLiteral("/c.tqload"),
                        QStringLiteral("Die Datei kann nicht gelesen werden: Datei oder Ordner nicht vorhanden.")));
    QCOMPARE(recentEntries(f).size(), 3);

    // Opened as if entered by hand, the title as it was; the file's note goes into the next save.
    QVERIFY(!loadingfile::save(file, {scene, QStringLiteral("mit \"Anna\"")}));
    openByMenu(f, file);
    QCOMPARE(f.folder.dialogs().callsOf(Dialog::OpenFile).constFirst().text,
             QStringLiteral("Beladungen|*.tqload|Alle Dateien|*"));
    QVERIFY(f.window()->loading() == scene);
    checkInvariants(f, QStringLiteral("opened"));
    QCOMPARE(f.control<QWidget>("imgCo")->accessibleDescription(), QStringLiteral("75 kg"));
    QCOMPARE(f.control<QWidget>("imgPaxLeft")->accessibleDescription(), QStringLiteral("Platz frei"));
    QCOMPARE(f.control<QWidget>("lblGesamt")->accessibleDescription(), QStringLiteral("922 kg"));
    QCOMPARE(f.control<QSlider>("Slider1")->value(), 12);
    QCOMPARE(f.window()->windowTitle(), QStringLiteral("TQ 58 Merovan"));
    QCOMPARE(recentEntries(f).constFirst(), entry("Hamburg mit Jürgen.tqload", "&1 Hamburg mit Jürgen"));
    QCOMPARE(controls::child<QAction>(f.window(), "mnuDateiSpeichern")->toolTip(), QDir::toNativeSeparators(file));
    // A name taken is asked about first (named without the extension, it is the same file), and
    // Return keeps the file; the file's note goes with the loading into it. The dialog offers the
    // file opened.
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
    QVERIFY(question.preset == Dialogs::Answer::No);
    const auto offered = f.folder.dialogs().callsOf(Dialog::SaveFile).constLast();
    QCOMPARE(offered.title + QLatin1Char('/') + offered.offered, file);
    QVERIFY(f.folder.dialogs().allAnswered());
}

void TestLoadingFiles::refusedFileLeavesTheLoading_data() {
    QTest::addColumn<QByteArray>("content"); // "folder", "pipe", or absent: nothing there
    QTest::addColumn<QString>("fault");      // as the message tells it
    QTest::addColumn<Step>("open");          // the menu's dialog when none
    const QByteArray head = "Merovan TQ 58 loading 1\npilot=80\ncopilot=\npassenger_left=\npassenger_right=\n";
    const QByteArray pilot39 = QByteArray(head + "baggage=0\n").replace("pilot=80", "pilot=39");
    const QString under40 = QStringLiteral("Zeile 2 (pilot=39): Der Pilot muss mindestens 40 kg wiegen.");
    const QString folder = QStringLiteral("Die Datei kann nicht gelesen werden: es ist ein Ordner.");
    QTest::newRow("a pilot under 40 kg") << pilot39 << under40 << Step();
    QTest::newRow("one byte too large")
        << QByteArray(loadingfile::kLargestFile + 1, '\n')
        << QStringLiteral("Die Datei ist mit 65537 Bytes zu groß für eine Beladung (höchstens 65536 Bytes).") << Step();
    QTest::newRow("a folder") << QByteArray("folder") << folder << Step();
#ifdef Q_OS_UNIX
    // Opened, a pipe would wait for a writer for ever.
    QTest::newRow("a named pipe") << QByteArray("pipe")
                                  << QStringLiteral(
                                         "Die Datei kann nicht gelesen werden: es ist keine gewöhnliche Datei "
                                         "(sondern eine Pipe, ein Socket oder ein Gerät).")
                                  << Step();
#endif
    // Dropped on the window, a file goes through the checks of the menu.
    QTest::newRow("a pilot under 40 kg, dropped") << pilot39 << under40 << Step(dropFile);
    QTest::newRow("a folder, dropped") << QByteArray("folder") << folder << Step(dropFile);
}

void TestLoadingFiles::refusedFileLeavesTheLoading() {
    QFETCH(QByteArray, content);
    QFETCH(QString, fault);
    QFETCH(Step, open);
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
    if (open)
        open(f, path);
    else
        openByMenu(f, path);
    const auto messages = f.folder.dialogs().callsOf(Dialog::Exclamation);
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0].text, openFailed(path, fault));
    QCOMPARE(messages[0].title, QStringLiteral("Error!"));
    QVERIFY(f.window()->loading() == scene);
    checkInvariants(f, QStringLiteral("refused"));
    // Not one of the loadings used last, nor the file Save writes; but its folder is the one the
    // dialogs show next.
    QVERIFY(recentEntries(f).isEmpty());
    QCOMPARE(f.app->loadingFile(), QString());
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
    // Only once: the next main window (the options' OK) shows the start loading.
    f.app->reloadMainWindow();
    controls::settle();
    QVERIFY(f.window()->loading() == LoadingModel());
}

void TestLoadingFiles::saveWritesTheFileLastUsed_data() {
    QTest::addColumn<Step>("step");       // after trip.tqload was opened and the co-pilot seated
    QTest::addColumn<QString>("written"); // what Ctrl+S writes, in Loadings/; empty: a name is asked for
    QTest::addColumn<QString>("note");    // written with it
    const auto none = [](MainWindowFixture&, const QString&) {};
    QTest::newRow("changed after opening: written back, with its note") << Step(none) << "trip.tqload" << kTripNote;
    QTest::newRow("a refused open elsewhere leaves it") << Step([](MainWindowFixture& f, const QString&) {
        f.folder.write(QStringLiteral("Flüge/bad.tqload"), "not a loading");
        openByMenu(f, f.folder.file(QStringLiteral("Flüge/bad.tqload")));
    }) << "trip.tqload" << kTripNote;
    QTest::newRow("saved as another file: that one from then on")
        << Step([](MainWindowFixture& f, const QString& trip) {
               saveAs(f, QFileInfo(trip).absolutePath() + QStringLiteral("/b"));
               f.clickSeat("imgPaxRight", QStringLiteral("60"));
           })
        << "b.tqload" << kTripNote;
    // Shift held in a file manager proposes a move, which would have it delete the file.
    QTest::newRow("another file dropped with Shift held: taken as a copy, that one")
        << Step([](MainWindowFixture& f, const QString& trip) {
               const QString other = QFileInfo(trip).absolutePath() + QStringLiteral("/c.tqload");
               QVERIFY(!loadingfile::save(other, {kTrip, QStringLiteral("mit Ben")}));
               QCOMPARE(drop(f, other, "txtBaggage", Qt::ShiftModifier), Qt::CopyAction);
               QVERIFY(QFile::exists(other) && f.window()->loading() == kTrip);
               f.clickSeat("imgPaxRight", QStringLiteral("60"));
           })
        << "c.tqload"
        << "mit Ben";
    QTest::newRow("the options' OK: the start loading, of no file, and a name asked for")
        << Step([](MainWindowFixture& f, const QString&) {
               f.app->reloadMainWindow();
               controls::settle();
               QVERIFY(f.window()->loading() == LoadingModel());
           })
        << QString() << QString();
    QTest::newRow("taken over from an aircraft: a name asked for") << Step([](MainWindowFixture& f, const QString&) {
        const exporttest::Fs2000 fs(f.folder);
        const QString cfg = fs.addCopy(QStringLiteral("nerova_tq58"));
        QVERIFY(!exportwriter::write({cfg, f.folder.path(), wab::stationLoads(kTrip)}));
        controls::triggerAction(f.window(), "mnuExportTakeOver");
        controls::child<QComboBox>(f.app->takeOverWindow(), "cmbTakeOver")->setCurrentIndex(0);
        controls::child<QPushButton>(f.app->takeOverWindow(), "cmdOK")->click();
        controls::settle();
        QVERIFY(f.window()->loading() == kTrip);
    }) << QString() << QString();
}

void TestLoadingFiles::saveWritesTheFileLastUsed() {
    QFETCH(Step, step);
    QFETCH(QString, written);
    QFETCH(QString, note);
    MainWindowFixture f;
    f.open();
    const QString trip = f.folder.file(QStringLiteral("Loadings/trip.tqload"));
    QVERIFY(QDir().mkpath(QFileInfo(trip).absolutePath()));
    QVERIFY(!loadingfile::save(trip, {kTrip, kTripNote}));
    openByMenu(f, trip);
    f.clickSeat("imgCo", QStringLiteral("75"));
    step(f, trip);
    if (QTest::currentTestFailed())
        return;
    const QByteArray before = f.folder.read(QStringLiteral("Loadings/trip.tqload"));
    if (!written.isEmpty()) {
        // Save as shows that file, in its own folder.
        f.folder.dialogs().answerSaveFile(std::nullopt);
        press(f, QKeySequence(QStringLiteral("Ctrl+Shift+S")));
        const auto shown = f.folder.dialogs().callsOf(Dialog::SaveFile).constLast();
        QCOMPARE(shown.title + QLatin1Char('/') + shown.offered, f.folder.file(QStringLiteral("Loadings/") + written));
    }
    const qsizetype asked = f.folder.dialogs().calls().size();
    if (written.isEmpty())
        f.folder.dialogs().answerSaveFile(std::nullopt);
    press(f, QKeySequence(QStringLiteral("Ctrl+S")));
    const auto calls = f.folder.dialogs().calls().sliced(asked);
    if (written.isEmpty()) {
        // As Save as asks, with no name offered; nothing written.
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls[0].kind, Dialog::SaveFile);
        QCOMPARE(calls[0].offered, QString());
        QCOMPARE(f.folder.read(QStringLiteral("Loadings/trip.tqload")), before);
    } else {
        QCOMPARE(calls.size(), 0);
        QCOMPARE(f.folder.read(QStringLiteral("Loadings/") + written),
                 loadingfile::format({f.window()->loading(), note}));
    }
    QVERIFY(f.folder.dialogs().allAnswered());
}

void TestLoadingFiles::keysAndDialogsLeaveNothingBehind_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("chosen");    // in the program folder; empty: the dialog cancelled
    QTest::addColumn<bool>("there");        // Loadings/ there before
    QTest::addColumn<QStringList>("after"); // what Loadings/ holds afterwards; null: not there
    QTest::newRow("Ctrl+O cancelled: no folder left behind") << "Ctrl+O" << QString() << false << QStringList();
    QTest::newRow("Ctrl+S without a file: saved elsewhere, no folder left behind")
        << "Ctrl+S" << QStringLiteral("trip") << false << QStringList();
    QTest::newRow("saved into it: the folder stays, a typed suffix kept")
        << "Ctrl+Shift+S" << QStringLiteral("Loadings/trip.txt") << false << QStringList{QStringLiteral("trip.txt")};
    QTest::newRow("there before: it stays, empty") << "Ctrl+O" << QString() << true << QStringList{QString()};
}

void TestLoadingFiles::keysAndDialogsLeaveNothingBehind() {
    QFETCH(QString, keys);
    QFETCH(QString, chosen);
    QFETCH(bool, there);
    QFETCH(QStringList, after);
    MainWindowFixture f;
    const QString loadings = f.folder.file(QStringLiteral("Loadings"));
    QVERIFY(!there || QDir().mkpath(loadings));
    f.open();
    const std::optional<QString> answer =
        chosen.isEmpty() ? std::nullopt : std::optional<QString>(f.folder.file(chosen));
    if (keys == QLatin1String("Ctrl+O"))
        f.folder.dialogs().answerOpenFile(answer);
    else
        f.folder.dialogs().answerSaveFile(answer);
    press(f, QKeySequence(keys));
    // Shown in Loadings/ all the same.
    QCOMPARE(f.folder.dialogs().calls().size(), 1);
    QCOMPARE(f.folder.dialogs().calls().constFirst().title, loadings);
    if (answer)
        QCOMPARE(f.folder.read(loadingfile::withExtension(chosen)), loadingfile::format({LoadingModel(), QString()}));
    QDir folder(loadings);
    QCOMPARE(folder.exists(), !after.isEmpty());
    if (folder.exists())
        QCOMPARE(folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 after.constFirst().isEmpty() ? QStringList() : after);
}

void TestLoadingFiles::noteTooLongForAFileIsRefused() {
    MainWindowFixture f;
    f.open();
    // Notepad's "ANSI": "é" takes one byte here, two in the UTF-8 that Merovan writes.
    const QByteArray ansi = "Merovan TQ 58 loading 1\r\npilot=80\r\ncopilot=\r\npassenger_left=\r\n"
                            "passenger_right=\r\nbaggage=0\r\nnote=" +
                            QByteArray(65000, '\xE9') + "\r\n";
    f.folder.write(QStringLiteral("Loadings/ansi.tqload"), ansi);
    const QString file = f.folder.file(QStringLiteral("Loadings/ansi.tqload"));
    openByMenu(f, file);
    QVERIFY(f.folder.dialogs().callsOf(Dialog::Exclamation).isEmpty());
    const QString refused = QStringLiteral(
        "Die Beladung kann nicht als %1 gespeichert werden: Mit ihrer Notiz hätte die Datei 130173 Bytes, und Merovan "
        "öffnet Beladungen bis höchstens 65536 Bytes.\n\nNichts wurde gespeichert. Kürzen Sie die Notiz (die Zeile "
        "note=) in der Datei, aus der die Beladung geöffnet wurde, und öffnen Sie diese Datei erneut.");
    press(f, QKeySequence(QStringLiteral("Ctrl+S")));
    QCOMPARE(f.folder.dialogs().textsOf(Dialog::Exclamation), QStringList{refused.arg(QDir::toNativeSeparators(file))});
    QCOMPARE(f.folder.read(QStringLiteral("Loadings/ansi.tqload")), ansi);
}

void TestLoadingFiles::recentListLastsWithoutItsFile() {
    MainWindowFixture f;
    // A folder where recent.cfg belongs: no write replaces it, whoever runs the program.
    QVERIFY(QDir().mkpath(f.folder.file(QStringLiteral("recent.cfg"))));
    f.open();
    const QString loadings = f.folder.file(QStringLiteral("Loadings"));
    for (const char* name : {"a", "b"})
        saveAs(f, loadings + QLatin1Char('/') + QString::fromLatin1(name));
    controls::triggerAction(f.window(), "mnuDateiZuletzt2");
    // The options' OK: a fresh main window, the list as it was, the dialogs in the folder last used.
    f.app->reloadMainWindow();
    controls::settle();
    QCOMPARE(recentEntries(f), (QStringList{"&1 a | " + QDir::toNativeSeparators(loadings + "/a.tqload"),
                                            "&2 b | " + QDir::toNativeSeparators(loadings + "/b.tqload")}));
    // Nothing said about the list: the loadings themselves were saved and opened.
    QVERIFY(f.folder.dialogs().callsOf(Dialog::Exclamation).isEmpty());
    // Once recent.cfg can be written again, the whole list goes into it.
    QVERIFY(QDir(f.folder.file(QStringLiteral("recent.cfg"))).removeRecursively());
    saveAs(f, loadings + QStringLiteral("/c"));
    QCOMPARE(f.folder.dialogs().callsOf(Dialog::SaveFile).constLast().title, loadings);
    QCOMPARE(recentloadings::read(f.folder.path()).files,
             (QStringList{loadings + "/c.tqload", loadings + "/a.tqload", loadings + "/b.tqload"}));
}

void TestLoadingFiles::saveDialogOffersTheName() {
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    QSKIP("the system's own dialogs here");
#endif
    QTemporaryDir dir;
    QString offered;
    const auto watch = controls::whenModal<QFileDialog>([&](QFileDialog* dialog) {
        offered = dialog->selectedFiles().value(0);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    QtDialogs dialogs;
    const std::optional<QString> chosen = dialogs.saveFile(nullptr, loadingfile::filter(QStringLiteral("Beladungen")),
                                                           dir.path(), QStringLiteral("trip.tqload"));
    // Never "trip.[tT][qQ]...", as Qt's own dialog makes of a pattern in any letter case.
    QCOMPARE(offered, dir.filePath(QStringLiteral("trip.tqload")));
    QCOMPARE(chosen, std::optional<QString>(dir.filePath(QStringLiteral("trip.tqload"))));
}

QTEST_MAIN(TestLoadingFiles)
#include "tst_loadingfiles.moc"
