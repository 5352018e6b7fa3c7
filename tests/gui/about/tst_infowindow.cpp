#include "gui/about/InfoWindow.h"
#include "gui/about/ProductLabels.h"
#include "support/MainWindowFixture.h"

#include <QAccessible>
#include <QAccessibleActionInterface>

using Kind = ScriptedDialogs::Kind;

class TestInfoWindow : public QObject {
    Q_OBJECT
private slots:
    void showsTheProductInformation_data();
    void showsTheProductInformation();
    void webLinkIgnoresItsOutcome_data();
    void webLinkIgnoresItsOutcome();
    void keysCloseTheWindow_data();
    void keysCloseTheWindow();
    void routinesFillOnlyTheirOwnLabel_data();
    void routinesFillOnlyTheirOwnLabel();
};

namespace {
QString labelText(QWidget* w, const char* name) {
    auto* label = w->findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("<no label %1>").arg(QString::fromLatin1(name));
}
} // namespace

void TestInfoWindow::showsTheProductInformation_data() {
    QTest::addColumn<QByteArray>("pictures"); // infopic.bmp and url.ico: "-" as installed, "" removed, else content
    QTest::newRow("as installed") << QByteArray("-");
    QTest::newRow("pictures missing: left out") << QByteArray();
    QTest::newRow("not pictures: left out") << QByteArray("no picture here");
}

void TestInfoWindow::showsTheProductInformation() {
    QFETCH(QByteArray, pictures);
    MainWindowFixture f;
    for (const char* file : {"infopic.bmp", "url.ico"}) {
        if (pictures.isEmpty())
            f.folder.remove(QString::fromLatin1(file));
        else if (pictures != "-")
            f.folder.write(QString::fromLatin1(file), pictures);
    }
    f.app->showInfo();
    InfoWindow* w = f.app->infoWindow();
    QVERIFY(w && w->isVisible());
    QCOMPARE(w->windowTitle(), QStringLiteral("Informationen über 'Merovan for TQ 58'"));
    QCOMPARE(labelText(w, "lblProdukttitel"), QStringLiteral("Merovan for TQ 58"));
    QCOMPARE(labelText(w, "lblVersion"), QStringLiteral("1.1.0"));
    QCOMPARE(labelText(w, "lblBeschreibung"), QStringLiteral("Loading editor for the TQ 58 in Flight Simulator 2000"));
    QCOMPARE(labelText(w, "lblFirma"), QStringLiteral("Velmora"));
    QCOMPARE(labelText(w, "Label6"), QStringLiteral("www.velmora-sim.example"));
    QCOMPARE(controls::child<QLabel>(w, "picMain")->pixmap().isNull(), pictures != "-");
    const QCursor pointer = controls::child<QLabel>(w, "Label4")->cursor();
    QCOMPARE(pointer.shape() == Qt::BitmapCursor, pictures == "-");
    if (pictures == "-")
        QCOMPARE(pointer.hotSpot(), QPoint(10, 2));

    auto* ok = controls::child<QPushButton>(w, "cmdOK");
    const int left = ok->x();
    const int right = w->width() - ok->x() - ok->width();
    QVERIFY2(qAbs(left - right) <= 1, qPrintable(QStringLiteral("left %1, right %2").arg(left).arg(right)));
}

void TestInfoWindow::webLinkIgnoresItsOutcome_data() {
    QTest::addColumn<bool>("browserStarts");
    QTest::addColumn<int>("key"); // pressed on the link after a Tab from O.K.; 0: a click
    QTest::newRow("click, browser starts") << true << 0;
    QTest::newRow("click, no browser") << false << 0;
    QTest::newRow("Tab and Return, browser starts") << true << int(Qt::Key_Return);
    QTest::newRow("Tab and Space, no browser") << false << int(Qt::Key_Space);
}

void TestInfoWindow::webLinkIgnoresItsOutcome() {
    QFETCH(bool, browserStarts);
    QFETCH(int, key);
    MainWindowFixture f;
    f.folder.dialogs().setOpenUrlResult(browserStarts);
    f.app->showInfo();
    InfoWindow* w = f.app->infoWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    auto* link = controls::child<QLabel>(w, "Label4");
    QTest::mouseClick(controls::child<QLabel>(w, "Label6"), Qt::LeftButton);
    QVERIFY(f.folder.dialogs().calls().isEmpty()); // the text itself is not the link
    if (key) {
        // O.K. keeps the first focus; Tab goes on to the link.
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cmdOK"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), link);
        QTest::keyClick(link, Qt::Key(key));
    } else {
        QTest::mouseClick(link, Qt::LeftButton);
    }
    QCOMPARE(f.folder.dialogs().calls().size(), 1);
    QCOMPARE(f.folder.dialogs().calls()[0].kind, Kind::OpenUrl);
    QCOMPARE(f.folder.dialogs().calls()[0].text, QStringLiteral("https://www.velmora-sim.example/"));
    QVERIFY(w->isVisible());
    // A screen reader meets a link named after the address it shows, and can follow it.
    QAccessibleInterface* told = QAccessible::queryAccessibleInterface(link);
    QCOMPARE(told->role(), QAccessible::Link);
    QCOMPARE(told->text(QAccessible::Name), QStringLiteral("www.velmora-sim.example"));
    // ... and meets the address once: the text Label6 under the link is not told again.
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(w);
    QCOMPARE(window->role(), QAccessible::Dialog); // the window itself as a dialog, named by its title
    QCOMPARE(window->text(QAccessible::Name), w->windowTitle());
    QStringList names;
    for (int i = 0; i < window->childCount(); ++i)
        names << window->child(i)->text(QAccessible::Name);
    QCOMPARE(names.count(QStringLiteral("www.velmora-sim.example")), 1);
    told->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTRY_COMPARE(f.folder.dialogs().calls().size(), 2);
    QCOMPARE(f.folder.dialogs().calls()[1].text, f.folder.dialogs().calls()[0].text);
}

void TestInfoWindow::keysCloseTheWindow_data() {
    QTest::addColumn<bool>("onLink"); // the focus on the web link instead of O.K.
    QTest::addColumn<int>("key");
    QTest::newRow("Return on O.K.") << false << int(Qt::Key_Return);
    QTest::newRow("Escape on O.K.") << false << int(Qt::Key_Escape);
    QTest::newRow("Escape on the web link") << true << int(Qt::Key_Escape);
}

void TestInfoWindow::keysCloseTheWindow() {
    QFETCH(bool, onLink);
    QFETCH(int, key);
    MainWindowFixture f;
    f.app->showInfo();
    InfoWindow* w = f.app->infoWindow();
    // It opens active, with the focus on O.K.
    QVERIFY(QTest::qWaitForWindowActive(w));
    QCOMPARE(QApplication::focusWidget(), controls::child<QPushButton>(w, "cmdOK"));
    if (onLink)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(onLink ? "Label4" : "cmdOK"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QTRY_VERIFY(!f.app->infoWindow());
    QVERIFY(f.folder.dialogs().calls().isEmpty());
}

void TestInfoWindow::routinesFillOnlyTheirOwnLabel_data() {
    QTest::addColumn<int>("routine");
    QTest::addColumn<QString>("label"); // the label it fills; "" for the title
    QTest::addColumn<QString>("expected");
    QTest::newRow("SetProductTitle") << 0 << "lblProdukttitel"
                                     << "Merovan for TQ 58";
    QTest::newRow("SetInfoCaption") << 1 << ""
                                    << "Informationen über 'Merovan for TQ 58'";
    QTest::newRow("SetVersionLabel") << 2 << "lblVersion"
                                     << "1.1.0";
    QTest::newRow("SetDescription") << 3 << "lblBeschreibung"
                                    << "Loading editor for the TQ 58 in Flight Simulator 2000";
}

void TestInfoWindow::routinesFillOnlyTheirOwnLabel() {
    QFETCH(int, routine);
    QFETCH(QString, label);
    QFETCH(QString, expected);
    void (*const routines[])(QWidget*) = {SetProductTitle, SetInfoCaption, SetVersionLabel, SetDescription};
    // Any window with labels of those names, however deep they lie.
    QWidget window;
    window.setWindowTitle(QStringLiteral("#"));
    auto* panel = new QWidget(&window);
    const QStringList names = {"lblProdukttitel", "lblVersion", "lblBeschreibung"};
    for (const QString& name : names)
        (new QLabel(QStringLiteral("#"), panel))->setObjectName(name);
    routines[routine](&window);
    QCOMPARE(window.windowTitle(), label.isEmpty() ? expected : QStringLiteral("#"));
    for (const QString& name : names)
        QCOMPARE(panel->findChild<QLabel*>(name)->text(), name == label ? expected : QStringLiteral("#"));
    // A window without those labels, and no window at all, are no trouble.
    QWidget bare;
    routines[routine](&bare);
    routines[routine](nullptr);
}

QTEST_MAIN(TestInfoWindow)
#include "tst_infowindow.moc"
