#include "core/settings/LanguageStore.h"
#include "core/settings/Texts.h"
#include "gui/settings/OptionsWindow.h"
#include "support/AsUser.h"
#include "support/Files.h"
#include "support/MainWindowFixture.h"

#include <QAccessible>
#include <QComboBox>
#include <QDir>

#include <functional>

using Kind = ScriptedDialogs::Kind;

namespace {

using FolderSetup = std::function<void(TestProgramFolder&)>;

const QString kGerman = QStringLiteral("Data/languages/german.crf");
const QString kEnglish = QStringLiteral("Data/languages/english.crf");
const QString kActive = QStringLiteral("Data/language.crf");

// The options window of the fixture, opened as the menu opens it (or as the first start did).
struct Options : MainWindowFixture {
    OptionsWindow* open(const QByteArray& firstStartFlag = " 0 \r\n") {
        folder.write(QStringLiteral("strt.cfg"), firstStartFlag);
        app->showMainWindow();
        if (!app->optionsWindow())
            app->showOptions();
        return app->optionsWindow();
    }
    template <typename T = QWidget> T* get(const char* name) const {
        return controls::child<T>(app->optionsWindow(), name);
    }
    // Picks a language with the keyboard, the way a user does; "" picks nothing.
    void choose(const QString& entry) {
        if (!entry.isEmpty())
            QTest::keyClicks(get<QComboBox>("cmbSprache"), entry.left(1));
    }
    void browse(std::optional<QString> answer) {
        folder.dialogs().answerOpenFile(std::move(answer));
        QTest::mouseClick(get<QPushButton>("cmdBrowse"), Qt::LeftButton);
    }
    void press(const char* button) {
        QTest::mouseClick(get<QPushButton>(button), Qt::LeftButton);
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QByteArray settingsBytes() const {
        return folder.read(QStringLiteral("strt.cfg")) + '|' + folder.read(QStringLiteral("options.cfg")) + '|' +
               folder.read(kActive);
    }
};

// A non-empty folder where a settings file should be: it can be neither read nor replaced.
void blockWithFolder(const TestProgramFolder& pf, const QString& relative) {
    pf.remove(relative);
    pf.write(relative + QStringLiteral("/keep"), "x");
}

} // namespace

Q_DECLARE_METATYPE(FolderSetup)

class TestOptionsWindow : public QObject {
    Q_OBJECT
private slots:
    void loadTakesTextsFromTheDatabase_data();
    void loadTakesTextsFromTheDatabase();
    void loadShowsTheFolderOfOptionsCfg_data();
    void loadShowsTheFolderOfOptionsCfg();
    void choosingALanguageEnablesOk_data();
    void choosingALanguageEnablesOk();
    void browsePutsTheFolderOfTheFile_data();
    void browsePutsTheFolderOfTheFile();
    void okSavesAndReloadsTheMainWindow_data();
    void okSavesAndReloadsTheMainWindow();
    void okReportsAFailedStepAndGoesOn_data();
    void okReportsAFailedStepAndGoesOn();
    void refusedOkKeepsTheWindowAndEveryFile_data();
    void refusedOkKeepsTheWindowAndEveryFile();
    void firstStartWaitsForALanguage_data();
    void firstStartWaitsForALanguage();
    void firstStartOkThatCannotMarkTheStartShowsOptionsAgain();
    void cancelAndCloseSaveNothing_data();
    void cancelAndCloseSaveNothing();
};

void TestOptionsWindow::loadTakesTextsFromTheDatabase_data() {
    QTest::addColumn<QString>("database");  // copied over Data/language.crf; "" removes it
    QTest::addColumn<QStringList>("texts"); // title, lblFSPath, lblSprache, cmdOK, cmdAbbrechen, tooltip
    QTest::addColumn<QStringList>("names"); // as a screen reader names the window and txtFS2000, cmbSprache
    QTest::newRow("German") << kGerman << QStringList{"Optionen", "FS2000-Pfad:", "Sprache:",
                                                      "O.K.",     "Abbrechen",    "Durchsuchen..."}
                            << QStringList{"Optionen", "FS2000-Pfad", "Sprache"};
    QTest::newRow("English") << kEnglish
                             << QStringList{"Options", "FS2000 folder:", "Language:", "OK", "Cancel", "Browse..."}
                             << QStringList{"Options", "FS2000 folder", "Language"};
    QTest::newRow("key missing: the field still named")
        << QStringLiteral("no strLanguage")
        << QStringList{"Optionen", "FS2000-Pfad:", ":", "O.K.", "Abbrechen", "Durchsuchen..."}
        << QStringList{"Optionen", "FS2000-Pfad", "Sprache"};
    QTest::newRow("database missing: design texts, the fields still named")
        << QString() << QStringList{"Optionen", "FS2000-Pfad:", "#", "O.K.", "Abbrechen", "Durchsuchen"}
        << QStringList{"Optionen", "FS2000-Pfad", "Sprache"};
}

void TestOptionsWindow::loadTakesTextsFromTheDatabase() {
    QFETCH(QString, database);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, names);
    Options f;
    f.folder.remove(kActive);
    if (database.startsWith(QLatin1String("Data/"))) {
        QFile::copy(f.folder.file(database), f.folder.file(kActive));
    } else if (!database.isEmpty()) {
        QFile::copy(f.folder.file(kGerman), f.folder.file(kActive));
        QVERIFY(runSql(f.folder.file(kActive), "DELETE FROM Entry WHERE Variable = 'strLanguage'"));
    }
    OptionsWindow* w = f.open();
    QVERIFY(w && w->isVisible());
    QCOMPARE((QStringList{w->windowTitle(), f.get<QLabel>("lblFSPath")->text(), f.get<QLabel>("lblSprache")->text(),
                          f.get<QPushButton>("cmdOK")->text(), f.get<QPushButton>("cmdAbbrechen")->text(),
                          f.get<QPushButton>("cmdBrowse")->toolTip()}),
             texts);
    auto* cmb = f.get<QComboBox>("cmbSprache");
    QVERIFY(!cmb->isEditable());
    QCOMPARE(cmb->count(), 2);
    QCOMPARE((QStringList{cmb->itemText(0), cmb->itemText(1)}), (QStringList{"English", "Deutsch"}));
    QCOMPARE(cmb->currentIndex(), -1);
    QVERIFY(f.get<QPushButton>("cmdOK")->isEnabled());
    // Told to a screen reader as a dialog named by its title, with each field named after its caption.
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(w);
    QCOMPARE(window->role(), QAccessible::Dialog);
    QCOMPARE((QStringList{window->text(QAccessible::Name),
                          QAccessible::queryAccessibleInterface(f.get("txtFS2000"))->text(QAccessible::Name),
                          QAccessible::queryAccessibleInterface(cmb)->text(QAccessible::Name)}),
             names);
}

void TestOptionsWindow::loadShowsTheFolderOfOptionsCfg_data() {
    QTest::addColumn<QByteArray>("content"); // "-" removes options.cfg, "dir" blocks it with a folder
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("reported");
    QTest::newRow("folder") << QByteArray("D:\\Games\\FS2000\\\r\n") << "D:\\Games\\FS2000\\" << false;
    QTest::newRow("comma ends it") << QByteArray("C:\\Spiele, alt\\FS2000\\\r\n") << "C:\\Spiele" << false;
    QTest::newRow("blanks before") << QByteArray("   C:/FS2000/\r\n") << "C:/FS2000/" << false;
    QTest::newRow("quoted") << QByteArray("\"C:\\A,B\\\"\r\n") << "C:\\A,B\\" << false;
    QTest::newRow("second line ignored") << QByteArray("C:/A/\r\nC:/B/\r\n") << "C:/A/" << false;
    QTest::newRow("missing") << QByteArray("-") << "" << false;
    QTest::newRow("unreadable") << QByteArray("dir") << "" << true;
    QTest::newRow("links that lead round in a circle: said so") << QByteArray("circle") << "" << true;
}

void TestOptionsWindow::loadShowsTheFolderOfOptionsCfg() {
    QFETCH(QByteArray, content);
    QFETCH(QString, shown);
    QFETCH(bool, reported);
    Options f;
    if (content == "-")
        f.folder.remove(QStringLiteral("options.cfg"));
    else if (content == "dir")
        blockWithFolder(f.folder, QStringLiteral("options.cfg"));
    else if (content == "circle") {
#ifndef Q_OS_UNIX
        QSKIP("links are made as shortcut files here");
#endif
        f.folder.remove(QStringLiteral("options.cfg"));
        QVERIFY(QFile::link(QStringLiteral("options.cfg"), f.folder.file(QStringLiteral("options.cfg"))));
    } else
        f.folder.write(QStringLiteral("options.cfg"), content);
    QVERIFY(f.open());
    QCOMPARE(f.get<QLineEdit>("txtFS2000")->text(), shown);
    const auto messages = f.folder.dialogs().callsOf(Kind::Exclamation);
    QCOMPARE(messages.size(), reported ? 1 : 0);
    if (reported)
        QVERIFY(messages[0].text.contains(QDir::toNativeSeparators(f.folder.file(QStringLiteral("options.cfg")))));
    if (content == "circle") // the reason in the program's language
        QVERIFY2(messages[0].text.contains(
                     Texts(f.folder.context().languageDatabase()).messageText(QStringLiteral("strReasonLinkLoop"))),
                 qPrintable(messages[0].text));
}

void TestOptionsWindow::choosingALanguageEnablesOk_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("enabled");
    const auto row = [](const char* name, const char* folder, const char* language, bool enabled) {
        QTest::newRow(name) << QString::fromUtf8(folder) << QString::fromUtf8(language) << enabled;
    };
    row("folder, English", "C:\\FS2000\\", "English", true);
    row("empty folder, Deutsch", "", "Deutsch", true);
    row("<>", "<>", "English", false);
    row("<> between blanks", "  <>  ", "Deutsch", false);
    row("more than <>", "<>x", "English", true);
    row("no choice", "C:\\FS2000\\", "", false);
}

void TestOptionsWindow::choosingALanguageEnablesOk() {
    QFETCH(QString, folder);
    QFETCH(QString, language);
    QFETCH(bool, enabled);
    Options f;
    QVERIFY(f.open(" 1 \r\n"));
    QVERIFY(!f.get<QPushButton>("cmdOK")->isEnabled());
    f.get<QLineEdit>("txtFS2000")->setText(folder);
    f.choose(language);
    QCOMPARE(f.get<QComboBox>("cmbSprache")->currentText(), language);
    QCOMPARE(f.get<QPushButton>("cmdOK")->isEnabled(), enabled);
}

void TestOptionsWindow::browsePutsTheFolderOfTheFile_data() {
    QTest::addColumn<QString>("entered"); // options.cfg's folder; "FS/" a folder of the program folder
    QTest::addColumn<std::optional<QString>>("chosen");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("shown"); // as the system writes it
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("opensInEntered"); // else in the program folder
    QTest::newRow("Qt path, shown with the system's separators")
        << "C:/Old/" << std::optional<QString>("D:/Games/FS2000/fs2000.exe") << ""
        << QDir::toNativeSeparators("D:/Games/FS2000/") << false << false;
    QTest::newRow("Windows path, language chosen")
        << "C:/Old/" << std::optional<QString>("D:\\Games\\FS2000\\FS2000.EXE") << "Deutsch"
        << "D:\\Games\\FS2000\\" << true << false;
    QTest::newRow("dialog cancelled") << "C:/Old/" << std::optional<QString>() << "English"
                                      << "C:/Old/" << true << false;
    QTest::newRow("no folder in the name") << "C:/Old/" << std::optional<QString>("fs2000.exe") << ""
                                           << "C:/Old/" << false << false;
    QTest::newRow("opens in the FS2000 folder entered") << "FS/" << std::optional<QString>() << ""
                                                        << "FS/" << false << true;
    QTest::newRow("opens in the program folder when no folder is entered") << "" << std::optional<QString>() << ""
                                                                           << "" << false << false;
}

void TestOptionsWindow::browsePutsTheFolderOfTheFile() {
    QFETCH(QString, entered);
    QFETCH(std::optional<QString>, chosen);
    QFETCH(QString, language);
    QFETCH(QString, shown);
    QFETCH(bool, enabled);
    QFETCH(bool, opensInEntered);
    Options f;
    if (entered == QLatin1String("FS/")) {
        f.folder.write(QStringLiteral("FS/fs2000.exe"), "");
        entered = f.folder.file(entered);
        shown = entered;
    }
    f.folder.write(QStringLiteral("options.cfg"), entered.toLocal8Bit() + "\r\n");
    QVERIFY(f.open(" 1 \r\n"));
    f.choose(language);
    f.browse(chosen);
    QCOMPARE(f.get<QLineEdit>("txtFS2000")->text(), shown);
    QCOMPARE(f.get<QPushButton>("cmdOK")->isEnabled(), enabled);
    const auto calls = f.folder.dialogs().calls();
    QCOMPARE(calls.size(), 1); // the file dialog, and no message whatever the outcome
    QCOMPARE(calls[0].text, QStringLiteral("FS2000 - EXE ( fs2000.exe )|fs2000.exe"));
    QCOMPARE(calls[0].title, opensInEntered ? entered : f.folder.path());
}

void TestOptionsWindow::okSavesAndReloadsTheMainWindow_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QByteArray>("written"); // options.cfg afterwards
    QTest::addColumn<QString>("database");   // what Data/language.crf must equal afterwards
    QTest::addColumn<FolderSetup>("setup");  // what the program folder holds before
    const auto row = [](
                         const char* name, const char* language, const char* folder, const char* written,
                         const QString& database, FolderSetup setup = [](TestProgramFolder&) {}) {
        QTest::newRow(name) << QString::fromUtf8(language) << QString::fromUtf8(folder) << QByteArray(written)
                            << database << setup;
    };
    row("English", "English", "D:/Games/FS2000/", "D:/Games/FS2000/\r\n", kEnglish);
    row("Deutsch after English", "Deutsch", "C:\\FS2000\\", "C:\\FS2000\\\r\n", kGerman);
    row("no language: untouched; a comma in the folder is kept in quotes", "", "C:\\Spiele, alt\\",
        "\"C:\\Spiele, alt\\\"\r\n", kEnglish);
    row("a leading blank is kept in quotes", "English", " /games/FS2000/", "\" /games/FS2000/\"\r\n", kEnglish);
    row("a leading tab is kept in quotes", "English", "\t/games/FS2000/", "\"\t/games/FS2000/\"\r\n", kEnglish);
#ifdef Q_OS_UNIX // links
    // As a packager saving space makes it: the language in force a link to a shipped database.
    row("switching the language keeps the shipped databases", "Deutsch", "C:\\FS2000\\", "C:\\FS2000\\\r\n", kGerman,
        [](TestProgramFolder& pf) {
            pf.remove(kActive);
            QVERIFY(QFile::link(QStringLiteral("languages/english.crf"), pf.file(kActive)));
        });
    row("settings that lead to files the program ships are replaced themselves, those files stay", "English",
        "C:/FS2000/", "C:/FS2000/\r\n", kEnglish, [](TestProgramFolder& pf) {
            for (const char* setting : {"options.cfg", "strt.cfg"})
                pf.remove(QString::fromLatin1(setting));
            QVERIFY(QFile::link(pf.file(QStringLiteral("Models/1.mdl")), pf.file(QStringLiteral("options.cfg"))));
            QVERIFY(QFile::link(QStringLiteral("logo.bmp"), pf.file(QStringLiteral("strt.cfg"))));
        });
#endif
}

void TestOptionsWindow::okSavesAndReloadsTheMainWindow() {
    QFETCH(QString, language);
    QFETCH(QString, folder);
    QFETCH(QByteArray, written);
    QFETCH(QString, database);
    QFETCH(FolderSetup, setup);
    Options f;
    f.folder.write(kActive, f.folder.read(kEnglish)); // English is in force before
    QVERIFY(f.open());
    setup(f.folder);
    MainWindow* before = f.app->mainWindow();
    const auto startSum = f.app->loading()->personSum();
    f.folder.dialogs().answerInput(QStringLiteral("80"));
    before->seatClicked(Seat::Co);
    QCOMPARE(f.app->loading()->personSum(), startSum + 80);
    f.get<QLineEdit>("txtFS2000")->setText(folder);
    f.choose(language);
    f.press("cmdOK");
    QCOMPARE(f.folder.read(QStringLiteral("options.cfg")), written);
    QCOMPARE(f.folder.read(kActive), f.folder.read(database));
    QCOMPARE(f.folder.read(QStringLiteral("strt.cfg")), QByteArray(" 0 \r\n"));
    QVERIFY(f.folder.dialogs().callsOf(Kind::Exclamation).isEmpty());
    QVERIFY(!f.app->optionsWindow());
    QVERIFY(f.window() && f.window() != before && f.window()->isVisible());
    QCOMPARE(f.textOf("cmdSchliessen"), database == kEnglish ? QStringLiteral("Close") : QStringLiteral("Schliessen"));
    QCOMPARE(f.app->loading()->personSum(), startSum); // the loading starts afresh
    // The files the program ships are as shipped, and no setting leads to one of them.
    for (const char* shipped : {"Data/languages/german.crf", "Data/languages/english.crf", "Models/1.mdl", "logo.bmp"})
        QCOMPARE(f.folder.read(QString::fromLatin1(shipped)),
                 testfiles::readFile(QStringLiteral(MEROVAN_STAGED_FOLDER "/") + QString::fromLatin1(shipped)));
    for (const QString& setting : {kActive, QStringLiteral("options.cfg"), QStringLiteral("strt.cfg")})
        QVERIFY2(!QFileInfo(f.folder.file(setting)).isSymLink(), qPrintable(setting));
    // The next opening reads the folder back whole.
    f.app->showOptions();
    QCOMPARE(f.get<QLineEdit>("txtFS2000")->text(), folder);
}

void TestOptionsWindow::okReportsAFailedStepAndGoesOn_data() {
    QTest::addColumn<QString>("blocked"); // made unwritable; "-" first: removed
    QTest::addColumn<QString>("named");   // the file the message names
    QTest::newRow("options.cfg") << "options.cfg" << QStringLiteral("options.cfg");
    QTest::newRow("language source missing") << "-Data/languages/english.crf" << kEnglish;
    QTest::newRow("language database") << "Data/language.crf" << kActive;
    QTest::newRow("strt.cfg") << "strt.cfg" << QStringLiteral("strt.cfg");
}

void TestOptionsWindow::okReportsAFailedStepAndGoesOn() {
    QFETCH(QString, blocked);
    QFETCH(QString, named);
    Options f;
    f.folder.write(QStringLiteral("options.cfg"), "C:/Old/\r\n");
    QVERIFY(f.open());
    const QByteArray options = f.folder.read(QStringLiteral("options.cfg"));
    const QByteArray german = f.folder.read(kActive);
    if (blocked.startsWith(QLatin1Char('-')))
        f.folder.remove(blocked.mid(1));
    else
        blockWithFolder(f.folder, blocked);
    f.get<QLineEdit>("txtFS2000")->setText(QStringLiteral("C:/FS/"));
    f.choose(QStringLiteral("English"));
    f.press("cmdOK");

    const auto messages = f.folder.dialogs().callsOf(Kind::Exclamation);
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages[0].text.contains(QDir::toNativeSeparators(f.folder.file(named))), qPrintable(messages[0].text));
    QVERIFY(messages[0].text.count(QLatin1Char('\n')) >= 3 && !messages[0].text.endsWith(QLatin1Char('\n')));
    // The failed step left its file whole; the others were done all the same.
    const bool optionsFailed = named == QLatin1String("options.cfg");
    const bool languageFailed = named.startsWith(QLatin1String("Data/"));
    if (blocked != QLatin1String("options.cfg"))
        QCOMPARE(f.folder.read(QStringLiteral("options.cfg")), optionsFailed ? options : QByteArray("C:/FS/\r\n"));
    if (blocked != kActive)
        QCOMPARE(f.folder.read(kActive), languageFailed ? german : f.folder.read(kEnglish));
    if (blocked != QLatin1String("strt.cfg"))
        QCOMPARE(f.folder.read(QStringLiteral("strt.cfg")), QByteArray(" 0 \r\n"));
    QVERIFY(f.window() && !f.app->optionsWindow());
}

void TestOptionsWindow::refusedOkKeepsTheWindowAndEveryFile_data() {
    // The FS2000 folder entered; "<folder>": the program folder and Data/ are read-only,
    // "<folder>Data": Data/ alone.
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("changed"); // a folder and a language other than those in force
    QTest::addColumn<QString>("key");  // of the one message; empty: none
    QTest::newRow("read-only program folder: one message names the folder; the window keeps what was entered")
        << "<folder>" << true << "strProgramFolderReadOnly";
    QTest::newRow("read-only program folder, nothing changed: no file rewritten, no message")
        << "<folder>" << false << "";
    QTest::newRow("only Data read-only: one message names Data, options.cfg is not written either")
        << "<folder>Data" << true << "strProgramFolderReadOnly";
    QTest::newRow("a folder with a double quote: said in the program's language; the window keeps it")
        << "C:/\"FS\"/" << true << "strFolderQuote";
    QTest::newRow("a folder with a line break: said; the window keeps it")
        << "C:/FS\nD:/" << true << "strFolderLineBreak";
    QTest::newRow("a folder the system's encoding cannot store: said; the window keeps it")
        << (QStringLiteral("C:/") + QChar(0xD800) + QStringLiteral("/")) << true << "strFolderEncoding";
}

void TestOptionsWindow::refusedOkKeepsTheWindowAndEveryFile() {
    QFETCH(QString, typed);
    QFETCH(bool, changed);
    QFETCH(QString, key);
    const bool readOnly = typed.startsWith(QLatin1String("<folder>"));
    const QString locked = typed.mid(8); // within the program folder
    if (readOnly) {
#ifndef Q_OS_UNIX
        // A folder's read-only attribute does not stop anybody from writing into it on Windows.
        QSKIP("a folder that cannot be written needs Unix permissions");
#else
        MEROVAN_RUN_UNPRIVILEGED();
#endif
    }
    Options f;
    if (!f.folder.isValid())
        QSKIP("the staged program folder cannot be copied by this user");
    f.folder.write(QStringLiteral("options.cfg"), "C:/Old/\r\n");
    QVERIFY(f.open());
    MainWindow* main = f.window();
    const QByteArray before = f.settingsBytes();
    const auto readOnlyMode = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup;
    if (readOnly) {
        if (locked.isEmpty())
            QVERIFY(QFile::setPermissions(f.folder.path(), readOnlyMode));
        QVERIFY(QFile::setPermissions(f.folder.file(QStringLiteral("Data")), readOnlyMode));
        typed = changed ? QStringLiteral("D:/New/") : QStringLiteral("C:/Old/");
    }
    f.get<QLineEdit>("txtFS2000")->setText(typed);
    f.choose(changed ? QStringLiteral("English") : QStringLiteral("Deutsch"));
    f.press("cmdOK");
    const QByteArray after = f.settingsBytes();
    const auto messages = f.folder.dialogs().callsOf(Kind::Exclamation);
    if (readOnly) {
        QFile::setPermissions(f.folder.file(QStringLiteral("Data")), readOnlyMode | QFile::WriteOwner);
        QFile::setPermissions(f.folder.path(), readOnlyMode | QFile::WriteOwner);
    }
    QCOMPARE(after, before);
    if (key.isEmpty()) {
        QVERIFY(messages.isEmpty());
        QVERIFY(f.window() && f.window() != main && !f.app->optionsWindow());
        return;
    }
    QCOMPARE(messages.size(), 1);
    const QString text =
        tryLanguageText(f.folder.context().languageDatabase(), key).value_or(QStringLiteral("(no text)"));
    const QString shown = readOnly ? QDir::toNativeSeparators(QDir::cleanPath(f.folder.file(locked))) : typed;
    QCOMPARE(messages[0].text, text.arg(shown));
    if (readOnly)
        QVERIFY2(messages[0].text.contains(QStringLiteral("Dokumente")), qPrintable(messages[0].text));
    QVERIFY(f.app->optionsWindow() && f.app->optionsWindow()->isVisible());
    QCOMPARE(f.get<QLineEdit>("txtFS2000")->text(), typed);
    QCOMPARE(f.get<QComboBox>("cmbSprache")->currentText(), QStringLiteral("English"));
    QCOMPARE(f.window(), main); // not reloaded
}

void TestOptionsWindow::firstStartWaitsForALanguage_data() {
    QTest::addColumn<bool>("linked");
    QTest::newRow("the three settings files written") << false;
    QTest::newRow("each behind a chain of two links: the files at their ends written, every link stays a link") << true;
}

void TestOptionsWindow::firstStartWaitsForALanguage() {
    QFETCH(bool, linked);
    Options f;
    QVERIFY(f.open(" 1 \r\n"));
    QVERIFY(!f.window());
    // options.cfg -> settings/options.cfg.link -> settings/options.cfg, and so on.
    QStringList links;
#ifndef Q_OS_UNIX
    if (linked)
        QSKIP("QFile::link makes a shortcut file here, which the file system does not follow");
#endif
    for (const QString& name : {QStringLiteral("options.cfg"), QStringLiteral("strt.cfg"), kActive}) {
        if (!linked)
            break;
        const QString end = f.folder.file(QStringLiteral("settings/") + QFileInfo(name).fileName());
        QVERIFY(QDir().mkpath(QFileInfo(end).path()));
        if (!QFileInfo::exists(f.folder.file(name)))
            f.folder.write(name, "C:/Old/\r\n");
        QVERIFY(QFile::rename(f.folder.file(name), end));
        QVERIFY(QFile::link(QFileInfo(end).fileName(), end + QStringLiteral(".link")));
        QVERIFY(QFile::link(QDir(QFileInfo(f.folder.file(name)).path()).relativeFilePath(end + QStringLiteral(".link")),
                            f.folder.file(name)));
        links << f.folder.file(name) << end + QStringLiteral(".link");
    }
    f.browse(QStringLiteral("/wine/drive_c/FS2000/Fs2000.exe"));
    QVERIFY(!f.get<QPushButton>("cmdOK")->isEnabled());
    // Return presses O.K., the default button, once it is enabled; by keys alone, as a user without a mouse does.
    auto* folderBox = f.get<QLineEdit>("txtFS2000");
    QTest::keyClick(folderBox, Qt::Key_Return);
    QVERIFY(f.app->optionsWindow() && f.app->optionsWindow()->isVisible());
    f.choose(QStringLiteral("English"));
    QVERIFY(f.get<QPushButton>("cmdOK")->isEnabled());
    QTest::keyClick(folderBox, Qt::Key_Return);
    controls::settle();
    QCOMPARE(f.folder.read(QStringLiteral("strt.cfg")), QByteArray(" 0 \r\n"));
    QCOMPARE(f.folder.read(QStringLiteral("options.cfg")),
             QDir::toNativeSeparators(QStringLiteral("/wine/drive_c/FS2000/")).toLocal8Bit() + "\r\n");
    QVERIFY(f.window() && f.window()->isVisible() && !f.app->optionsWindow());
    QCOMPARE(f.folder.context().intFirstStart, qint16(0));
    QCOMPARE(f.textOf("cmdSchliessen"), QStringLiteral("Close"));
    QVERIFY(!f.app->hasEnded());
    QCOMPARE(f.folder.read(kActive), f.folder.read(kEnglish));
    for (const QString& link : links)
        QVERIFY2(QFileInfo(link).isSymbolicLink(), qPrintable(link));
}

void TestOptionsWindow::firstStartOkThatCannotMarkTheStartShowsOptionsAgain() {
    Options f;
    OptionsWindow* w = f.open(" 1 \r\n");
    QVERIFY(w);
    blockWithFolder(f.folder, QStringLiteral("strt.cfg"));
    f.choose(QStringLiteral("English"));
    f.press("cmdOK");
    QCOMPARE(f.folder.dialogs().callsOf(Kind::Exclamation).size(), 1);
    // Still the first start: the options window, loaded afresh (now in English), and no main window.
    QVERIFY(!f.window());
    QVERIFY(f.app->optionsWindow() && f.app->optionsWindow() != w);
    w = f.app->optionsWindow();
    QVERIFY(w->isVisible());
    QCOMPARE(f.get<QComboBox>("cmbSprache")->currentIndex(), -1);
    QVERIFY(!f.get<QPushButton>("cmdOK")->isEnabled());
    QCOMPARE(w->windowTitle(), QStringLiteral("Options"));
    controls::settle();
    QVERIFY(!f.app->hasEnded());
}

void TestOptionsWindow::cancelAndCloseSaveNothing_data() {
    QTest::addColumn<bool>("firstStart");
    QTest::addColumn<QString>("how"); // "cancel", "escape" or "frame"
    QTest::addColumn<bool>("ends");
    QTest::newRow("first start, Cancel") << true << "cancel" << true;
    QTest::newRow("first start, Esc") << true << "escape" << true;
    QTest::newRow("first start, frame") << true << "frame" << true;
    QTest::newRow("later, Cancel") << false << "cancel" << false;
    QTest::newRow("later, frame") << false << "frame" << false;
}

void TestOptionsWindow::cancelAndCloseSaveNothing() {
    QFETCH(bool, firstStart);
    QFETCH(QString, how);
    QFETCH(bool, ends);
    Options f;
    QVERIFY(f.open(firstStart ? " 1 \r\n" : " 0 \r\n"));
    const QByteArray before = f.settingsBytes();
    f.get<QLineEdit>("txtFS2000")->setText(QStringLiteral("D:/Elsewhere/"));
    f.choose(QStringLiteral("English"));
    if (how == QLatin1String("cancel")) {
        f.press("cmdAbbrechen");
    } else if (how == QLatin1String("escape")) {
        f.app->optionsWindow()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.app->optionsWindow()));
        QTest::keyClick(f.get<QLineEdit>("txtFS2000"), Qt::Key_Escape);
    } else {
        f.app->optionsWindow()->close();
    }
    QTRY_VERIFY(!f.app->optionsWindow());
    controls::settle();
    QCOMPARE(f.app->hasEnded(), ends);
    QCOMPARE(f.window() != nullptr, !ends);
    QCOMPARE(f.settingsBytes(), before);
    QVERIFY(f.folder.dialogs().callsOf(Kind::Exclamation).isEmpty());
}

QTEST_MAIN(TestOptionsWindow)
#include "tst_optionswindow.moc"
