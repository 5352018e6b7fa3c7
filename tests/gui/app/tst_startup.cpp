#include "support/MainWindowFixture.h"

#include "gui/app/QtDialogs.h"
#include "gui/app/SplashWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QSignalSpy>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void splashVersion();
    void splashGivesWayToMainWindow();
    void firstStartFlag_data();
    void firstStartFlag();
    void qtTextsSpeakTheProgramsLanguage_data();
    void qtTextsSpeakTheProgramsLanguage();
};

namespace {

// Shows a real Qt question box and reads its buttons, the one Return presses, and its title
// before answering No.
struct ShownBox {
    QStringList buttons;
    QString preset;
    QString title;
};

ShownBox showQuestion(const QString& title, Dialogs::Answer preset) {
    ShownBox shown;
    const auto answer = controls::whenModal<QMessageBox>([&](QMessageBox* box) {
        for (QAbstractButton* button : box->buttons())
            shown.buttons << button->text().remove(QLatin1Char('&'));
        shown.buttons.sort();
        if (box->defaultButton())
            shown.preset = box->defaultButton()->text().remove(QLatin1Char('&'));
        shown.title = box->windowTitle();
        box->button(QMessageBox::No)->click();
    });
    QtDialogs dialogs;
    dialogs.question(nullptr, QStringLiteral("?"), title, preset);
    return shown;
}

} // namespace

void TestStartup::splashVersion() {
    QCOMPARE(splashVersionText(1, 1, 0), QStringLiteral("Version 1.1.0"));
    QCOMPARE(splashVersionText(1, 10, 3), QStringLiteral("Version 1.10.3"));
    TestProgramFolder folder;
    SplashWindow splash(folder.context());
    QCOMPARE(controls::child<QLabel>(&splash, "lblVersion")->text(), QStringLiteral("Version 1.1.0"));
    QCOMPARE(controls::child<QLabel>(&splash, "lblTitle")->text(), QStringLiteral("Velmora Control Center"));
    // The picture stands at its own size in the top-left corner, not stretched over the window.
    auto* picture = controls::child<QLabel>(&splash, "imgBackground");
    QVERIFY(!picture->pixmap().isNull());
    QVERIFY(!picture->hasScaledContents());
    QCOMPARE(picture->geometry(), QRect(QPoint(0, 0), picture->pixmap().deviceIndependentSize().toSize()));
    QCOMPARE(picture->pixmap().size(), QSize(412, 127));
    QCOMPARE(splash.timer()->interval(), 250);
    QVERIFY(splash.timer()->isSingleShot());
    // Not a coarse timer, which may end the splash up to 12 ms early or late.
    QCOMPARE(splash.timer()->timerType(), Qt::PreciseTimer);
}

void TestStartup::splashGivesWayToMainWindow() {
    MainWindowFixture f;
    f.app->start();
    QVERIFY(f.app->splashWindow() && f.app->splashWindow()->isVisible());
    QVERIFY(!f.app->mainWindow());
    QTRY_VERIFY_WITH_TIMEOUT(f.app->mainWindow() && f.app->mainWindow()->isVisible(), 3000);
    QTRY_VERIFY(!f.app->splashWindow());
    QVERIFY(!f.app->hasEnded());
}

void TestStartup::firstStartFlag_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("firstStart");
    QTest::newRow("installed form") << QByteArray(" 1 \r\n") << true;
    QTest::newRow("bare 1") << QByteArray("1") << true;
    QTest::newRow("1 with blanks, no line end") << QByteArray("  1  ") << true;
    QTest::newRow("1 with LF") << QByteArray("1\n") << true;
    QTest::newRow("written 0") << QByteArray(" 0 \r\n") << false;
    QTest::newRow("2") << QByteArray("2\r\n") << false;
    QTest::newRow("letters") << QByteArray("yes\r\n") << false;
    QTest::newRow("beyond 16 bits") << QByteArray("65537\r\n") << false;
    QTest::newRow("empty") << QByteArray("") << false;
    QTest::newRow("missing: the value in force stays") << QByteArray("-") << false;
}

void TestStartup::firstStartFlag() {
    QFETCH(QByteArray, content);
    QFETCH(bool, firstStart);
    MainWindowFixture f;
    if (content == "-")
        f.folder.remove(QStringLiteral("strt.cfg"));
    else
        f.folder.write(QStringLiteral("strt.cfg"), content);
    f.app->showMainWindow();
    QCOMPARE(f.folder.context().intFirstStart == 1, firstStart);
    if (content == "-")
        QCOMPARE(f.folder.context().intFirstStart, qint16(0));
    // On the first start the main window unloads again and the options window takes its place.
    QCOMPARE(f.app->mainWindow() == nullptr, firstStart);
    QCOMPARE(f.app->optionsWindow() != nullptr, firstStart);
    QVERIFY(f.folder.dialogs().calls().isEmpty());
    QVERIFY(!f.app->hasEnded());
}

void TestStartup::qtTextsSpeakTheProgramsLanguage_data() {
    QTest::addColumn<QString>("change"); // what is done to the German program folder first
    QTest::addColumn<bool>("german");    // a question box says Ja and Nein, else Yes and No
    QTest::newRow("German") << "" << true;
    QTest::newRow("English") << "english" << false;
    QTest::newRow("German, then switched to English") << "switch" << false;
    QTest::newRow("a database that names no language: Qt's English") << "no strLocale" << false;
    QTest::newRow("no translation file: Qt's English") << "no translation" << false;
    QTest::newRow("a named pipe at Data/language.crf: the start does not wait, Qt's English") << "pipe" << false;
}

void TestStartup::qtTextsSpeakTheProgramsLanguage() {
    QFETCH(QString, change);
    QFETCH(bool, german);
    MainWindowFixture f;
    const QString active = f.folder.file(QStringLiteral("Data/language.crf"));
    f.folder.remove(QStringLiteral("Data/language.crf"));
    QVERIFY(QFile::copy(f.folder.file(change == QLatin1String("english") ? QStringLiteral("Data/languages/english.crf")
                                                                         : QStringLiteral("Data/languages/german.crf")),
                        active));
    QVERIFY(QFile::setPermissions(active, QFile::ReadOwner | QFile::WriteOwner));
    if (change == QLatin1String("no strLocale"))
        QVERIFY(runSql(active, "DELETE FROM Entry WHERE Variable = 'strLocale'"));
    if (change == QLatin1String("no translation"))
        f.folder.remove(QStringLiteral("translations/qtbase_de.qm"));
    if (change == QLatin1String("pipe")) {
#ifdef Q_OS_UNIX
        f.folder.remove(QStringLiteral("Data/language.crf"));
        QVERIFY(::mkfifo(QFile::encodeName(active).constData(), 0644) == 0);
#else
        QSKIP("no pipes in the file system here");
#endif
    }
    QVERIFY(f.open());
    if (change == QLatin1String("switch")) {
        QCOMPARE(f.app->qtLanguage().installed(), QStringLiteral("de"));
        f.folder.remove(QStringLiteral("Data/language.crf"));
        QVERIFY(QFile::copy(f.folder.file(QStringLiteral("Data/languages/english.crf")), active));
        f.app->reloadMainWindow();
    }
    const ShownBox shown = showQuestion(QStringLiteral("?"), Dialogs::Answer::No);
    QCOMPARE(shown.buttons, german ? QStringList({"Ja", "Nein"}) : QStringList({"No", "Yes"}));
    QCOMPARE(shown.preset, german ? QStringLiteral("Nein") : QStringLiteral("No"));
    // An empty title stays blank: never an empty one, which the system fills with the program's name.
    const ShownBox blank = showQuestion(QString(), Dialogs::Answer::Yes);
    QVERIFY(!blank.title.isEmpty() && blank.title.trimmed().isEmpty());
    QCOMPARE(blank.preset, german ? QStringLiteral("Ja") : QStringLiteral("Yes"));
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
