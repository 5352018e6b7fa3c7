#include "support/MainWindowFixture.h"

#include "app/SplashWindow.h"

#include <QSignalSpy>
#include <QTimer>

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void splashVersion();
    void splashGivesWayToMainWindow();
    void firstStartFlag_data();
    void firstStartFlag();
    void missingFlagKeepsPreviousValue();
};

void TestStartup::splashVersion() {
    QCOMPARE(splashVersionText(1, 1, 0), QStringLiteral("Version 1.1.0"));
    QCOMPARE(splashVersionText(1, 10, 3), QStringLiteral("Version 1.10.3"));
    TestProgramFolder folder;
    SplashWindow splash(folder.context());
    QCOMPARE(testkit::child<QLabel>(&splash, "lblVersion")->text(), QStringLiteral("Version 1.1.0"));
    QCOMPARE(testkit::child<QLabel>(&splash, "lblTitle")->text(), QStringLiteral("Velmora Control Center"));
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
}

void TestStartup::firstStartFlag() {
    QFETCH(QByteArray, content);
    QFETCH(bool, firstStart);
    MainWindowFixture f;
    f.folder.write(QStringLiteral("strt.cfg"), content);
    f.app->showMainWindow();
    QCOMPARE(f.folder.context().intFirstStart == 1, firstStart);
    // On the first start the main window unloads again and the options window takes its place.
    QCOMPARE(f.app->mainWindow() == nullptr, firstStart);
    QCOMPARE(f.app->optionsWindow() != nullptr, firstStart);
    QVERIFY(f.folder.dialogs().calls().isEmpty());
    QVERIFY(!f.app->hasEnded());
}

void TestStartup::missingFlagKeepsPreviousValue() {
    MainWindowFixture f;
    f.folder.remove(QStringLiteral("strt.cfg"));
    f.app->showMainWindow();
    QVERIFY(f.app->mainWindow());
    QCOMPARE(f.folder.context().intFirstStart, qint16(0));
    QVERIFY(f.folder.dialogs().calls().isEmpty());
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
