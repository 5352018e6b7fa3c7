// Loadings as files in the main window: File > Save loading as... and Open loading..., the
// loadings used last in the File menu, and a loading named on the command line, with scripted
// dialogs.

#include "support/MainWindowFixture.h"

#include "core/loading/LoadingFile.h"
#include "core/loading/RecentLoadings.h"
#include "gui/settings/OptionsWindow.h"

#include <QAction>
#include <QDir>
#include <QMenu>

using Dialog = ScriptedDialogs::Kind;

namespace {

const QString kOpenFailed = QStringLiteral("Die Beladung %1 kann nicht geöffnet werden.\n\n%2 Die Beladung auf dem "
                                           "Bildschirm bleibt, wie sie war.");

// The loading of the scene the tests save: co-pilot 75 kg, right passenger 60 kg, baggage 12 kg.
void setScene(MainWindowFixture& f) {
    f.clickSeat("imgCo", QStringLiteral("75"));
    f.clickSeat("imgPaxRight", QStringLiteral("60"));
    f.control<QSlider>("Slider1")->setValue(12);
}

// Saves the loading on screen through File > Save loading as..., the dialog answered with `file`.
void saveAs(MainWindowFixture& f, const QString& file) {
    f.folder.dialogs().answerSaveFile(file);
    testkit::triggerAction(f.window(), "mnuDateiBeladungSpeichern");
}

// The entries of the File menu's list of loadings used last: (caption, tooltip).
QList<QPair<QString, QString>> recentEntries(const MainWindowFixture& f) {
    QList<QPair<QString, QString>> entries;
    for (int i = 1; i <= 5; ++i) {
        const auto* action =
            f.window()->findChild<QAction*>(QStringLiteral("mnuDateiZuletzt%1").arg(i), Qt::FindDirectChildrenOnly);
        if (action && f.control<QMenu>("mnuDatei")->actions().contains(action))
            entries.append({action->text(), action->toolTip()});
    }
    return entries;
}

} // namespace

class TestLoadingFiles : public QObject {
    Q_OBJECT
private slots:
    void savedThenOpenedFromTheList();
    void menuInEnglish();
    void replacingAsksFirst_data();
    void replacingAsksFirst();
    void saveRefusedBeforeAsking_data();
    void saveRefusedBeforeAsking();
    void refusedFileLeavesTheLoading_data();
    void refusedFileLeavesTheLoading();
    void listKeepsFourAndForgetsTheMissing();
    void openedAtStart_data();
    void openedAtStart();
};

void TestLoadingFiles::savedThenOpenedFromTheList() {
    MainWindowFixture f;
    f.open();
    setScene(f);
    const LoadingModel scene = f.window()->loading();
    const QString loadings = f.folder.file(QStringLiteral("Loadings"));
    const QString chosen = loadings + QString::fromUtf8("/Hamburg mit Jürgen");
    const QString file = chosen + QStringLiteral(".tqload");
    saveAs(f, chosen);

    // The dialog opens in the program folder's Loadings/, made for it, and offers loadings only.
    const auto saveCalls = f.folder.dialogs().callsOf(Dialog::SaveFile);
    QCOMPARE(saveCalls.size(), 1);
    QCOMPARE(saveCalls[0].text, QStringLiteral("Beladungen|*.tqload"));
    QCOMPARE(saveCalls[0].title, loadings);
    QCOMPARE(f.folder.dialogs().calls().size(), 3); // the two weights and the save dialog
    QCOMPARE(f.folder.read(QStringLiteral("Loadings/Hamburg mit Jürgen.tqload")),
             loadingfile::format({scene, QString()}));
    QCOMPARE(recentEntries(f), (QList<QPair<QString, QString>>{
                                   {QString::fromUtf8("Hamburg mit Jürgen"), QDir::toNativeSeparators(file)}}));

    // The next start: the start loading, and the list as it was left.
    f.app->reloadMainWindow();
    testkit::settle();
    QVERIFY(f.window()->loading() == LoadingModel());
    QCOMPARE(recentEntries(f).size(), 1);
    f.folder.dialogs().clear();
    testkit::triggerAction(f.window(), "mnuDateiZuletzt1");
    QVERIFY(f.folder.dialogs().calls().isEmpty());
    QVERIFY(f.window()->loading() == scene);
    checkInvariants(f, QStringLiteral("opened"));
    // As if entered by hand: what screen readers are told, the slider and the baggage; the title
    // stays.
    QCOMPARE(f.control<QWidget>("imgCo")->accessibleDescription(), QStringLiteral("75 kg"));
    QCOMPARE(f.control<QWidget>("imgPaxLeft")->accessibleDescription(), QStringLiteral("Platz frei"));
    QCOMPARE(f.control<QWidget>("imgPaxRight")->accessibleDescription(), QStringLiteral("60 kg"));
    QCOMPARE(f.control<QWidget>("lblGesamt")->accessibleDescription(), QStringLiteral("922 kg"));
    QCOMPARE(f.control<QSlider>("Slider1")->value(), 12);
    QCOMPARE(f.textOf("txtBaggage"), QStringLiteral("12"));
    QCOMPARE(f.window()->windowTitle(), QStringLiteral("TQ 58 Merovan"));
    // Every seat still does what a click does.
    f.clickSeat("imgCo", std::nullopt, false);
    checkInvariants(f, QStringLiteral("co-pilot freed"));
    QCOMPARE(f.window()->loading().personSum(), 140);

    // The note of a file written by hand goes with the loading into the next file saved.
    QVERIFY(loadingfile::save(file, {scene, QStringLiteral("mit \"Anna\", Ben")}) == std::nullopt);
    f.folder.dialogs().answerOpenFile(file);
    testkit::triggerAction(f.window(), "mnuDateiBeladungOeffnen");
    QCOMPARE(f.folder.dialogs().callsOf(Dialog::OpenFile).constLast().title, loadings);
    saveAs(f, loadings + QStringLiteral("/copy.TQLOAD"));
    QCOMPARE(loadingfile::open(loadings + QStringLiteral("/copy.TQLOAD")).contents->note,
             QStringLiteral("mit \"Anna\", Ben"));
    QVERIFY(f.folder.dialogs().allAnswered());
}

void TestLoadingFiles::menuInEnglish() {
    MainWindowFixture f;
    f.folder.remove(QStringLiteral("Data/language.crf"));
    QVERIFY(QFile::copy(f.folder.file(QStringLiteral("Data/languages/english.crf")),
                        f.folder.file(QStringLiteral("Data/language.crf"))));
    f.open();
    QCOMPARE(f.control<QAction>("mnuDateiBeladungOeffnen")->text(), QStringLiteral("Open loading..."));
    QCOMPARE(f.control<QAction>("mnuDateiBeladungSpeichern")->text(), QStringLiteral("Save loading as..."));
    // Open, save, the list between two separators, exit.
    const QList<QAction*> items = f.control<QMenu>("mnuDatei")->actions();
    QCOMPARE(items.size(), 5);
    QCOMPARE(items.first()->objectName(), QStringLiteral("mnuDateiBeladungOeffnen"));
    QCOMPARE(items.last()->objectName(), QStringLiteral("mnuDateiBeenden"));
    f.folder.dialogs().answerSaveFile(std::nullopt);
    testkit::triggerAction(f.window(), "mnuDateiBeladungSpeichern");
    QCOMPARE(f.folder.dialogs().calls().constFirst().text, QStringLiteral("Loadings|*.tqload"));
    QVERIFY(!QFileInfo::exists(f.folder.file(QStringLiteral("recent.cfg"))));
}

void TestLoadingFiles::replacingAsksFirst_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes: replaced") << true;
    QTest::newRow("No: the file stays as it was") << false;
}

void TestLoadingFiles::replacingAsksFirst() {
    QFETCH(bool, yes);
    MainWindowFixture f;
    f.open();
    const QString file = f.folder.file(QStringLiteral("Loadings/trip.tqload"));
    saveAs(f, file);
    const QByteArray before = f.folder.read(QStringLiteral("Loadings/trip.tqload"));
    setScene(f);
    f.folder.dialogs().clear();
    f.folder.dialogs().answerQuestion(yes);
    // Named without its extension, it is still the same file.
    saveAs(f, f.folder.file(QStringLiteral("Loadings/trip")));
    const auto questions = f.folder.dialogs().callsOf(Dialog::Question);
    QCOMPARE(questions.size(), 1);
    QCOMPARE(questions[0].text,
             QDir::toNativeSeparators(file) + QStringLiteral(" ist bereits vorhanden. Soll die Datei ersetzt werden?"));
    QCOMPARE(questions[0].title, QStringLiteral("Beladung speichern unter"));
    QCOMPARE(f.folder.read(QStringLiteral("Loadings/trip.tqload")),
             yes ? loadingfile::format({f.window()->loading(), QString()}) : before);
    QVERIFY(f.folder.dialogs().callsOf(Dialog::Exclamation).isEmpty());
}

void TestLoadingFiles::saveRefusedBeforeAsking_data() {
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("reason"); // as the message tells it
    QTest::newRow("a folder of that name") << "folder" << QStringLiteral("es ist ein Ordner");
    QTest::newRow("a read-only file") << "read-only file" << QStringLiteral("die Datei ist schreibgeschützt");
#ifdef Q_OS_UNIX
    // Windows ignores a folder's read-only attribute.
    QTest::newRow("a folder without write permission, also for an administrator")
        << "read-only folder" << QStringLiteral("Zugriff verweigert");
#endif
}

void TestLoadingFiles::saveRefusedBeforeAsking() {
    QFETCH(QString, what);
    QFETCH(QString, reason);
    MainWindowFixture f;
    f.open();
    const QString folder = f.folder.file(QStringLiteral("Loadings"));
    const QString file = folder + QStringLiteral("/trip.tqload");
    QVERIFY(QDir().mkpath(what == QLatin1String("folder") ? file : folder));
    if (what == QLatin1String("read-only file")) {
        f.folder.write(QStringLiteral("Loadings/trip.tqload"), "mine");
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    }
    if (what == QLatin1String("read-only folder"))
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    saveAs(f, folder + QStringLiteral("/trip"));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(f.folder.dialogs().callsOf(Dialog::Question).isEmpty());
    const auto messages = f.folder.dialogs().callsOf(Dialog::Exclamation);
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0].text, QStringLiteral("Die Beladung konnte nicht als %1 gespeichert werden: %2")
                                   .arg(QDir::toNativeSeparators(file), reason));
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden),
             what == QLatin1String("read-only file") ? QStringList{"trip.tqload"} : QStringList{});
    if (what == QLatin1String("read-only file"))
        QCOMPARE(f.folder.read(QStringLiteral("Loadings/trip.tqload")), QByteArray("mine"));
    QVERIFY(recentEntries(f).isEmpty());
}

void TestLoadingFiles::refusedFileLeavesTheLoading_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // "folder": a folder of that name
    QTest::addColumn<QString>("fault");      // as the message tells it
    QTest::newRow("a pilot under 40 kg")
        << QString::fromUtf8("Jürgen, 'Ben' & Co.tqload")
        << QByteArray("Merovan TQ 58 loading 1\npilot=39\ncopilot=\npassenger_left=\npassenger_right=\nbaggage=0\n")
        << QStringLiteral("Zeile 2 (pilot=39): Der Pilot muss mindestens 40 kg wiegen.");
    QTest::newRow("baggage beyond the slider")
        << "b.tqload"
        << QByteArray("Merovan TQ 58 loading 1\npilot=80\ncopilot=\npassenger_left=\npassenger_right=\nbaggage=30\n")
        << QStringLiteral("Zeile 6 (baggage=30): Das Gepäck reicht nur von 0 bis 23 kg.");
    QTest::newRow("cut short") << "c.tqload" << QByteArray("Merovan TQ 58 loading 1\npilot=80\ncopi")
                               << QStringLiteral("Zeile 3 (copi) ist kein Eintrag der Form Name=Wert.");
    QTest::newRow("a folder") << "d.tqload" << QByteArray("folder")
                              << QStringLiteral("Die Datei kann nicht gelesen werden: es ist ein Ordner.");
    QTest::newRow("a picture") << "e.tqload" << QByteArray("BM\x36\0\0\0", 6)
                               << QStringLiteral("Die Datei ist kein Text in UTF-8: Sie enthält Null-Bytes.");
}

void TestLoadingFiles::refusedFileLeavesTheLoading() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, fault);
    MainWindowFixture f;
    f.open();
    setScene(f);
    const LoadingModel scene = f.window()->loading();
    const QString where = QString::fromUtf8("Flüge");
    const QString path = f.folder.file(where + QLatin1Char('/') + name);
    QVERIFY(QDir().mkpath(f.folder.file(where)));
    if (content == "folder")
        QVERIFY(QDir().mkpath(path));
    else
        f.folder.write(where + QLatin1Char('/') + name, content);
    f.folder.dialogs().clear();
    f.folder.dialogs().answerOpenFile(path);
    testkit::triggerAction(f.window(), "mnuDateiBeladungOeffnen");
    const auto messages = f.folder.dialogs().callsOf(Dialog::Exclamation);
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0].text, kOpenFailed.arg(QDir::toNativeSeparators(path), fault));
    QCOMPARE(messages[0].title, QStringLiteral("Error!"));
    QVERIFY(f.window()->loading() == scene);
    checkInvariants(f, QStringLiteral("refused"));
    // Not one of the loadings used last; but its folder is the one the dialogs show next.
    QVERIFY(recentEntries(f).isEmpty());
    f.folder.dialogs().answerSaveFile(std::nullopt);
    testkit::triggerAction(f.window(), "mnuDateiBeladungSpeichern");
    QCOMPARE(f.folder.dialogs().callsOf(Dialog::SaveFile).constFirst().title, QFileInfo(path).absolutePath());
}

void TestLoadingFiles::listKeepsFourAndForgetsTheMissing() {
    MainWindowFixture f;
    f.open();
    const QString folder = f.folder.file(QStringLiteral("Loadings/"));
    for (const char* name : {"a", "b", "c", "Anna & Ben", "e"})
        saveAs(f, folder + QString::fromUtf8(name));
    f.folder.dialogs().answerQuestion(true);
    saveAs(f, folder + QStringLiteral("b.tqload"));
    QCOMPARE(f.folder.dialogs().callsOf(Dialog::Question).size(), 1);
    // An "&" stays an "&" on screen.
    const auto entry = [&folder](const char* caption, const char* file) {
        return QPair<QString, QString>{QString::fromUtf8(caption), QDir::toNativeSeparators(folder + file)};
    };
    QCOMPARE(recentEntries(f),
             (QList<QPair<QString, QString>>{entry("b", "b.tqload"), entry("e", "e.tqload"),
                                             entry("Anna && Ben", "Anna & Ben.tqload"), entry("c", "c.tqload")}));
    // A loading that has gone is said so, and leaves the list.
    QVERIFY(QFile::remove(folder + QStringLiteral("e.tqload")));
    testkit::triggerAction(f.window(), "mnuDateiZuletzt2");
    const auto messages = f.folder.dialogs().callsOf(Dialog::Exclamation);
    QCOMPARE(messages.size(), 1);
    QCOMPARE(
        messages[0].text,
        kOpenFailed.arg(QDir::toNativeSeparators(folder + QStringLiteral("e.tqload")),
                        QStringLiteral("Die Datei kann nicht gelesen werden: Datei oder Ordner nicht vorhanden.")));
    QCOMPARE(recentEntries(f),
             (QList<QPair<QString, QString>>{entry("b", "b.tqload"), entry("Anna && Ben", "Anna & Ben.tqload"),
                                             entry("c", "c.tqload")}));
    testkit::triggerAction(f.window(), "mnuDateiZuletzt2");
    QVERIFY(f.window()->loading() == LoadingModel());
    QCOMPARE(recentEntries(f).constFirst(), entry("Anna && Ben", "Anna & Ben.tqload"));
    QVERIFY(f.folder.dialogs().allAnswered());
}

void TestLoadingFiles::openedAtStart_data() {
    QTest::addColumn<bool>("firstStart");
    QTest::newRow("an ordinary start") << false;
    QTest::newRow("the first start: once the options are confirmed") << true;
}

void TestLoadingFiles::openedAtStart() {
    QFETCH(bool, firstStart);
    MainWindowFixture f;
    const QString file = f.folder.path() + QString::fromUtf8("Flüge, neu/trip.tqload");
    QVERIFY(QDir().mkpath(QFileInfo(file).absolutePath()));
    LoadingModel wanted;
    QVERIFY(wanted.seat(Seat::PaxLeft, 64) && wanted.setBaggage(7));
    QVERIFY(!loadingfile::save(file, {wanted, QString()}));
    if (firstStart)
        f.folder.write(QStringLiteral("strt.cfg"), " 1 \r\n");
    f.app->openAtStart(file);
    f.app->showMainWindow();
    testkit::settle();
    if (firstStart) {
        QVERIFY(!f.window());
        QVERIFY(f.app->optionsWindow());
        f.app->saveOptions({QString(), QStringLiteral("Deutsch")});
        testkit::settle();
    }
    QVERIFY(f.window());
    QVERIFY(f.window()->loading() == wanted);
    checkInvariants(f, QStringLiteral("opened at start"));
    QVERIFY(f.folder.dialogs().calls().isEmpty());
    QCOMPARE(recentloadings::read(f.folder.path()).files, QStringList{QDir::cleanPath(file)});
    // Only once: the next main window starts with the start loading.
    f.app->reloadMainWindow();
    testkit::settle();
    QVERIFY(f.window()->loading() == LoadingModel());
}

QTEST_MAIN(TestLoadingFiles)
#include "tst_loadingfiles.moc"
