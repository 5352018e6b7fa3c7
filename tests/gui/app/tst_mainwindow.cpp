#include "support/ExportFixture.h"
#include "support/MainWindowFixture.h"

#include "gui/about/InfoWindow.h"
#include "gui/app/SplashWindow.h"
#include "gui/app/Twips.h"
#include "gui/export/ExportWindow.h"
#include "gui/export/TakeOverWindow.h"
#include "gui/settings/OptionsWindow.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>

#include <functional>

namespace {
// Opens the window a row is about, over the main window; the window.
using Open = std::function<QWidget*(MainWindowFixture&)>;
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void controlsApartInsideTheWindow();
    void captions_data();
    void captions();
    void clientAreaAndTitle();
    void tabOrderAndFocus_data();
    void tabOrderAndFocus();
    void withoutPictures();
    void closeCommandsEndAtOnce_data();
    void closeCommandsEndAtOnce();
    void windowsFitTheScreen_data();
    void windowsFitTheScreen();
};

namespace {
// The box of what is drawn on a picture: the pixels unlike its top left one.
QRect inkOf(const QImage& picture) {
    QRect ink;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) != picture.pixel(0, 0))
                ink |= QRect(x, y, 1, 1);
    return ink;
}
} // namespace

// No control covers another or reaches out of the window; each seat lies on the aircraft drawn,
// and the web link's pressable area on the address it frames. A picture counts by what it draws.
void TestMainWindow::controlsApartInsideTheWindow() {
    MainWindowFixture f;
    f.open();
    const QWidget* area = f.control<QWidget>("clientArea");
    const auto box = [](const QWidget* w) {
        const auto* label = qobject_cast<const QLabel*>(w);
        return label && !label->pixmap().isNull()
                   ? inkOf(label->pixmap().toImage()).translated(w->pos()) & w->geometry()
                   : w->geometry();
    };
    const QRect aircraft = box(f.control<QWidget>("Picture1"));
    QStringList meant{QStringLiteral("Label4 Label6")};
    for (const SeatImage& seat : kSeatImages) {
        QVERIFY2(aircraft.contains(f.control<QWidget>(seat.name)->geometry()), seat.name);
        meant << QLatin1String(seat.name) + QStringLiteral(" Picture1");
    }
    QList<QWidget*> shown = area->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    shown.removeIf([](const QWidget* w) { return w->inherits("QFocusFrame"); }); // a seat's focus, drawn around it
    QVERIFY(shown.size() >= 25);
    for (const QWidget* a : shown) {
        QVERIFY2(area->rect().contains(a->geometry()), qPrintable(a->objectName() + " reaches out of the window"));
        for (const QWidget* b : shown) {
            QVERIFY2(a == b || !box(a).intersects(box(b)) || meant.contains(a->objectName() + ' ' + b->objectName()) ||
                         meant.contains(b->objectName() + ' ' + a->objectName()),
                     qPrintable(a->objectName() + " covers " + b->objectName()));
        }
    }
}

namespace {
// What the control `name` shows: a menu's title, a command's text, a caption; "name?" its tooltip.
QString shownBy(const MainWindowFixture& f, const QString& name) {
    const QByteArray control = name.toUtf8();
    if (control.endsWith('?'))
        return f.tooltip(control.chopped(1).constData());
    if (const auto* menu = f.window()->findChild<QMenu*>(name))
        return menu->title();
    if (const auto* action = f.window()->findChild<QAction*>(name))
        return action->text();
    return f.textOf(control.constData());
}
} // namespace

void TestMainWindow::captions_data() {
    QTest::addColumn<QByteArray>("database"); // Data/language.crf: a staged one, "" none, else the content
    QTest::addColumn<QString>("shown");       // name=caption|...
    QTest::newRow("German") << QByteArray("german.crf")
                            << QStringLiteral("lblGepäck=Gepäck:|lblPersonengewicht=Personengewicht:|"
                                              "lblPlatzbesetzt=Platz besetzt|lblPlatzFrei=Platz frei|Label3=GESAMT:|"
                                              "cmdZufällig=Zufällige Beladung|lblZFW=+ ZFW...|lblZero=695 kg|"
                                              "cmdSpeichern?=Exportiert die aktuellen Beladungsdaten zum Flight "
                                              "Simulator|mnuExtrasOptionen=Optionen...|mnuHelp=?|mnuInfo=Info|"
                                              "mnuDateiSpeichern=Beladung speichern");
    QTest::newRow("English") << QByteArray("english.crf")
                             << QStringLiteral("cmdSchliessen=Close|Label3=TOTAL:|imgCo?=Seat free|"
                                               "mnuExtrasOptionen=Options...|mnuHelp=?|lblZFW=+ ZFW...|"
                                               "mnuDateiSpeichern=Save loading");
    // Without a database the texts the window was designed with.
    const QString designed = QStringLiteral(
        "mnuDatei=#|mnuDateiBeenden=Beenden|mnuExport=Export|mnuExportBeladung=Beladung in Aircraft.cfg "
        "exportieren|mnuExtras=#|mnuExtrasOptionen=#|lblPlatzFrei=#|lblPlatzbesetzt=#|lblGepäck=#|"
        "lblPersonengewicht=#|cmdZufällig=#|Label3=GESAMT:|cmdSpeichern=Speichern|cmdSchliessen=Schliessen|"
        "cmdSpeichern?=Exportiert die aktuellen Beladungsdaten zum Flight Simulator|imgCo?=|imgPaxLeft?=|"
        "imgPaxRight?=|imgPilot?=80 kg|lblGesamt= 775 kg");
    QTest::newRow("database missing") << QByteArray() << designed;
    QTest::newRow("not a database") << QByteArray("this is not a database at all, just text") << designed;
    QTest::newRow("keys absent: only the suffixes")
        << QByteArray("CREATE TABLE Entry (Variable TEXT, Wert TEXT)")
        << QStringLiteral("lblGepäck=:|Label3=:|mnuExtrasOptionen=...|cmdSpeichern=|imgCo?=");
}

void TestMainWindow::captions() {
    QFETCH(QByteArray, database);
    QFETCH(QString, shown);
    MainWindowFixture f;
    const QString active = f.folder.file(QStringLiteral("Data/language.crf"));
    f.folder.remove(QStringLiteral("Data/language.crf"));
    if (database.endsWith(".crf"))
        QVERIFY(QFile::copy(f.folder.file(QStringLiteral("Data/languages/") + QLatin1String(database)), active));
    else if (database.startsWith("CREATE"))
        QVERIFY(runSql(active, database.constData()));
    else if (!database.isEmpty())
        f.folder.write(QStringLiteral("Data/language.crf"), database);
    QVERIFY(f.open());
    QStringList found;
    for (const QString& caption : shown.split(QLatin1Char('|')))
        found << caption.section(QLatin1Char('='), 0, 0) + QLatin1Char('=') +
                     shownBy(f, caption.section(QLatin1Char('='), 0, 0));
    QCOMPARE(found.join(QLatin1Char('|')), shown);
    if (database.endsWith(".crf") || database.startsWith("CREATE"))
        return;
    // The seats still work; the input box then speaks the program's own built-in texts.
    f.clickSeat("imgCo", QStringLiteral("75"));
    QCOMPARE(f.tooltip("imgCo"), QStringLiteral("75 kg"));
    QCOMPARE(f.folder.dialogs().calls().constFirst().text,
             QStringLiteral("Bitte geben Sie das Gewicht der Person in kg ein:"));
    QCOMPARE(f.folder.dialogs().calls().constFirst().title, QStringLiteral("Gewicht"));
}

void TestMainWindow::clientAreaAndTitle() {
    MainWindowFixture f;
    f.open();
    QCOMPARE(f.window()->windowTitle(), QStringLiteral("TQ 58 Merovan"));
    QCOMPARE(f.window()->centralWidget()->size(), QSize(twips::toPixels(11265), twips::toPixels(6570)));
    QCOMPARE(f.window()->centralWidget()->palette().color(QPalette::Window), QColor(192, 192, 192));
    // The seats lie above the aircraft picture, Label4 above Label6.
    const QObjectList children = f.window()->centralWidget()->children();
    QVERIFY(children.indexOf(f.control<QWidget>("Picture1")) < children.indexOf(f.control<QWidget>("imgCo")));
    QVERIFY(children.indexOf(f.control<QWidget>("Label6")) < children.indexOf(f.control<QWidget>("Label4")));
}

void TestMainWindow::tabOrderAndFocus_data() {
    QTest::addColumn<int>("key"); // pressed on the web link
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("browserStarts"); // else opening the page fails, which the window ignores
    QTest::newRow("Return opens the web link") << int(Qt::Key_Return) << int(Qt::NoModifier) << true;
    QTest::newRow("Space opens the web link, no browser") << int(Qt::Key_Space) << int(Qt::NoModifier) << false;
    QTest::newRow("Enter on the keypad opens the web link") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << true;
}

void TestMainWindow::tabOrderAndFocus() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, browserStarts);
    MainWindowFixture f;
    f.folder.dialogs().setOpenUrlResult(browserStarts);
    f.open();
    f.window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window()));
    QCOMPARE(QApplication::focusWidget(), f.control<QWidget>("cmdZufällig"));
    // The web link's letters as the window shows them unfocused, and a strip around their line.
    QWidget* client = f.control<QWidget>("clientArea");
    const QRect line = f.control<QWidget>("Label6")->geometry();
    const QRect letters = inkOf(client->grab(line).toImage()).translated(line.topLeft());
    QVERIFY(letters.width() > line.width() / 3);
    const QRect strip = line.adjusted(0, -3, 0, 3);
    const QImage lettersUnfocused = client->grab(letters).toImage();
    const QImage stripUnfocused = client->grab(strip).toImage();
    // Tab goes round the window in its designed order, the seats after the random loading and the
    // web link last, the read-only boxes included; Shift+Tab goes back.
    const char* order[] = {"imgPilot",           "imgCo",         "imgPaxLeft",   "imgPaxRight",
                           "txtPersonengewicht", "cmdSchliessen", "cmdSpeichern", "Slider1",
                           "txtBaggage",         "Label4",        "cmdZufällig"};
    for (const char* next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focused = QApplication::focusWidget();
        QCOMPARE(focused->objectName(), QString::fromUtf8(next));
        // A focused seat or web link, and only that, has a frame drawn around what it shows.
        QList<QWidget*> frames;
        for (QWidget* frame : f.window()->findChildren<QWidget*>(QStringLiteral("focusFrame")))
            if (frame->isVisible())
                frames.append(frame);
        const bool seat = QByteArray(next).startsWith("img");
        const bool link = QByteArray(next) == "Label4";
        QCOMPARE(frames.size(), seat || link ? 1 : 0);
        if (seat) {
            const QRect around = frames[0]->geometry();
            QVERIFY(around.contains(focused->geometry()) && around != focused->geometry());
        }
        // The link's frame shows around its text and leaves the text exactly as it was.
        QCOMPARE(client->grab(letters).toImage(), lettersUnfocused);
        QCOMPARE(client->grab(strip).toImage() == stripUnfocused, !link);
        if (link) {
            QVERIFY(frames[0]->geometry().contains(letters));
            // Return or Space opens the maker's page as a click does, and the focus stays.
            QTest::keyClick(focused, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
            QTest::mouseClick(f.control<QWidget>("Label4"), Qt::LeftButton);
            QTest::mouseClick(f.control<QWidget>("Label6"), Qt::LeftButton); // the text itself is no link
            const auto opened = f.folder.dialogs().calls();
            QCOMPARE(opened.size(), 2);
            QCOMPARE(opened[0].kind, ScriptedDialogs::Kind::OpenUrl);
            QCOMPARE(opened[0].text, opened[1].text);
            QCOMPARE(opened[0].text, QStringLiteral("https://www.velmora-sim.example/"));
            QCOMPARE(QApplication::focusWidget(), focused);
            QVERIFY(f.window()->isVisible());
        }
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Label4"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("txtBaggage"));
    // F10 opens the first menu, wherever the focus is.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10);
    QTRY_VERIFY(f.control<QMenu>("mnuDatei")->isVisible());
}

void TestMainWindow::withoutPictures() {
    MainWindowFixture f;
    for (const char* file : {"pa.bmp", "person.ico", "leer.ico", "url.ico"})
        f.folder.remove(QString::fromUtf8(file));
    QVERIFY(f.open());
    QVERIFY(f.control<QLabel>("Picture1")->pixmap().isNull());
    QVERIFY(f.control<QLabel>("imgPilot")->pixmap().isNull());
    QCOMPARE(f.control<QWidget>("Label4")->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(f.textOf("lblPlatzFrei"), QStringLiteral("Platz frei"));
    f.clickSeat("imgPaxLeft", QStringLiteral("70"));
    QCOMPARE(f.tooltip("imgPaxLeft"), QStringLiteral("70 kg"));
    QCOMPARE(f.textOf("lblGesamt"), QStringLiteral(" 845 kg"));
}

void TestMainWindow::closeCommandsEndAtOnce_data() {
    QTest::addColumn<int>("key");         // on the focused Schliessen; 0: a click on it, -1: Beenden in the menu
    QTest::addColumn<QByteArray>("open"); // the menu command that opens a window beside the main window
    QTest::newRow("Schliessen clicked, the info window open") << 0 << QByteArray("mnuInfo");
    QTest::newRow("Return on a focused Schliessen, the options window open")
        << int(Qt::Key_Return) << QByteArray("mnuExtrasOptionen");
    QTest::newRow("Beenden in the menu, the export window open") << -1 << QByteArray("mnuExportBeladung");
    QTest::newRow("Schliessen clicked, the take-over window open") << 0 << QByteArray("mnuExportTakeOver");
    QTest::newRow("Space on a focused Schliessen, the restore window open")
        << int(Qt::Key_Space) << QByteArray("mnuExportRestore");
}

void TestMainWindow::closeCommandsEndAtOnce() {
    QFETCH(int, key);
    QFETCH(QByteArray, open);
    MainWindowFixture f;
    // A copy exported to once: one to take the loading over from, and to restore.
    const exporttest::Fs2000 fs(f.folder);
    QVERIFY(!exportwriter::write({fs.addCopy(QStringLiteral("nerova_tq58")), f.folder.path(), {176, {}, {}, {}, 0}}));
    f.open();
    const auto shown = [] {
        QWidgetList windows = QApplication::topLevelWidgets();
        windows.removeIf([](const QWidget* w) { return !w->isVisible(); });
        std::sort(windows.begin(), windows.end());
        return windows;
    };
    // Opened a second time, the same window comes forward; none is modal.
    controls::triggerAction(f.window(), open.constData());
    const QWidgetList windows = shown();
    controls::triggerAction(f.window(), open.constData());
    QCOMPARE(shown(), windows);
    QCOMPARE(windows.size(), 2);
    QVERIFY(std::none_of(windows.cbegin(), windows.cend(), [](const QWidget* w) { return w->isModal(); }));
    QSignalSpy ended(f.app.get(), &Application::ended);
    auto* schliessen = f.control<QPushButton>("cmdSchliessen");
    if (key < 0)
        controls::triggerAction(f.window(), "mnuDateiBeenden");
    else if (key > 0)
        QTest::keyClick(schliessen, Qt::Key(key));
    else
        QTest::mouseClick(schliessen, Qt::LeftButton);
    QCOMPARE(ended.size(), 1);
    QVERIFY(f.folder.dialogs().calls().isEmpty());
    QTRY_VERIFY(!f.app->mainWindow() && !f.app->infoWindow() && !f.app->optionsWindow() && !f.app->exportWindow() &&
                !f.app->takeOverWindow() && !f.app->restoreWindow());
}

void TestMainWindow::windowsFitTheScreen_data() {
    // Run as well on a 1024 x 768 screen at 100 % and at 150 % (see CMakeLists.txt). The tests run
    // without Tahoma, Verdana and MS Sans Serif (the program registers Wine's copies only in its
    // own start): every window stands for one on a system that lacks them.
    QTest::addColumn<QString>("database");
    QTest::addColumn<Open>("open");
    const auto row = [](const char* name, const char* database, Open open) {
        QTest::newRow(name) << QString::fromLatin1(database) << open;
    };
    const Open main = [](MainWindowFixture& f) -> QWidget* { return f.window(); };
    row("main", "german.crf", main);
    row("main in English", "english.crf", main);
    row("options", "german.crf", [](MainWindowFixture& f) -> QWidget* {
        f.app->showOptions();
        return f.app->optionsWindow();
    });
    row("about", "german.crf", [](MainWindowFixture& f) -> QWidget* {
        f.app->showInfo();
        return f.app->infoWindow();
    });
    row("export", "german.crf", [](MainWindowFixture& f) -> QWidget* {
        f.app->showExport();
        return f.app->exportWindow();
    });
    row("splash", "german.crf", [](MainWindowFixture& f) -> QWidget* {
        f.app->start();
        return f.app->splashWindow();
    });
    // More copies than the list shows at once, each with its loading: a scroll bar beside them.
    row("take-over with fifteen copies", "german.crf", [](MainWindowFixture& f) -> QWidget* {
        for (int n = 1; n <= 15; ++n)
            f.folder.write(QStringLiteral("Aircraft/nerova_tq58_%1/aircraft.cfg").arg(n),
                           "title=Nerova TQ 58 Wasserflugzeug\r\n" +
                               exporttest::cfgWith({"176", "165", "0", "132", "44"}));
        f.app->showTakeOver();
        return f.app->takeOverWindow();
    });
}

void TestMainWindow::windowsFitTheScreen() {
    QFETCH(QString, database);
    QFETCH(Open, open);
    MainWindowFixture f;
    f.folder.remove(QStringLiteral("Data/language.crf"));
    QVERIFY(QFile::copy(f.folder.file(QStringLiteral("Data/languages/") + database),
                        f.folder.file(QStringLiteral("Data/language.crf"))));
    f.folder.write(QStringLiteral("options.cfg"), QDir::toNativeSeparators(f.folder.path()).toLocal8Bit() + "\r\n");
    f.folder.write(QStringLiteral("Aircraft/nerova_tq58/aircraft.cfg"), "title=Nerova TQ 58\r\n");
    QVERIFY(f.open());
    QWidget* shown = open(f);
    QVERIFY(shown && shown->isVisible());
    QVERIFY(f.folder.dialogs().calls().isEmpty());
    // The whole window inside the screen, its frame and title bar included.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY2(area.contains(shown->frameGeometry()),
             qPrintable(QDebug::toString(shown->frameGeometry()) + QStringLiteral(" on ") + QDebug::toString(area)));
    QFont serif(QStringLiteral("No Such Family"));
    serif.setStyleHint(QFont::Serif);
    // The controls laid out for the designed fonts: the main window's client area, or the window.
    const QWidget* ours = shown == f.window() ? f.control<QWidget>("clientArea") : shown;
    QList<QWidget*> controls = ours->findChildren<QWidget*>();
    controls.prepend(const_cast<QWidget*>(ours));
    for (const QWidget* control : controls) {
        if (control->inherits("QComboBoxPrivateContainer") ||
            (control->parentWidget() && control->parentWidget()->inherits("QComboBoxPrivateContainer")))
            continue; // a drop-down's popup: the system's
        // A face the program chose from those the system has, never one left to the font engine,
        // whose fallback may be a serif face.
        const QString face = QFontInfo(control->font()).family();
        QVERIFY2(QFontDatabase::hasFamily(control->font().family()) && face != QFontInfo(serif).family(),
                 qPrintable(control->objectName() + QStringLiteral(" asks for ") + control->font().family()));
        // Every caption whole.
        const QFontMetrics metrics(control->font());
        if (const auto* label = qobject_cast<const QLabel*>(control); label && !label->text().isEmpty()) {
            const QRect room = label->contentsRect();
            // A line takes the font's height; wrapped lines as many as they need.
            const QSize needed =
                label->wordWrap()
                    ? metrics.boundingRect(QRect(0, 0, room.width(), 10000), Qt::TextWordWrap, label->text()).size()
                    : QSize(metrics.horizontalAdvance(label->text()), metrics.height());
            QVERIFY2(needed.width() <= room.width() && needed.height() <= room.height(),
                     qPrintable(label->objectName() + QStringLiteral(" is cut: ") + label->text()));
        }
        if (const auto* button = qobject_cast<const QPushButton*>(control); button && !button->text().isEmpty())
            QVERIFY2(metrics.horizontalAdvance(button->text()) < button->width(),
                     qPrintable(button->objectName() + QStringLiteral(" is cut: ") + button->text()));
    }
    // The total, however far it goes, stays whole too.
    if (shown == f.window()) {
        auto* total = f.control<QLabel>("lblGesamt");
        QVERIFY(QFontMetrics(total->font()).horizontalAdvance(totalCaption(-32768)) <= total->contentsRect().width());
    }
    // An open drop-down list shows each of its lines whole, beside its scroll bar.
    for (QComboBox* list : shown->findChildren<QComboBox*>()) {
        if (list->count() == 0)
            continue;
        list->showPopup();
        QAbstractItemView* lines = list->view();
        QVERIFY(QTest::qWaitForWindowExposed(lines->window()));
        for (int i = 0; i < list->count(); ++i) {
            const QModelIndex line = lines->model()->index(i, 0);
            QVERIFY2(lines->sizeHintForIndex(line).width() <= lines->viewport()->width(),
                     qPrintable(list->itemText(i) + QStringLiteral(" is cut at %1 pixels, beside a scroll bar: %2")
                                                        .arg(lines->viewport()->width())
                                                        .arg(lines->verticalScrollBar()->isVisible())));
        }
        list->hidePopup();
    }
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
