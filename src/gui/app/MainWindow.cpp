#include "MainWindow.h"

#include "Accessibility.h"
#include "AppContext.h"
#include "ClickableLabel.h"
#include "Dialogs.h"
#include "FirstPaintStamp.h"
#include "Fonts.h"
#include "Pictures.h"
#include "PressableLabel.h"
#include "Twips.h"
#include "WindowLayout.h"
#include "core/common/Numbers.h"
#include "core/common/ProductInfo.h"
#include "core/loading/RandomLoading.h"
#include "core/loading/SeatOperations.h"
#include "core/settings/SettingsFiles.h"
#include "gui/about/WebLink.h"

#include <QAction>
#include <QDir>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QUrl>

#include <functional>

namespace {

QFont tahoma(double points, bool bold = false, bool underline = false) {
    return layout::font(QStringLiteral("Tahoma"), points, bold, underline);
}

const QColor kSilver(192, 192, 192);

// Runs one step of a load: a step that fails is abandoned and the load goes on.
void step(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception&) {
    }
}

QPixmap pictureFrom(const QString& path) {
    QPixmap pixmap = pictures::picture(path);
    if (pixmap.isNull())
        throw std::runtime_error("picture missing or unreadable");
    return pixmap;
}

constexpr const char* kSeatNames[] = {"imgPilot", "imgCo", "imgPaxLeft", "imgPaxRight"};

} // namespace

MainWindow::MainWindow(AppContext& context, QWidget* parent)
    : QMainWindow(parent), m_context(context), m_texts(context.languageDatabase()) {
    setObjectName(QStringLiteral("frmMain"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("TQ 58 Merovan"));
    setWindowIcon(pictures::icon(context.path(QStringLiteral("merovan.ico"))));
    setFont(tahoma(8.25));
    buildControls();
    buildMenus();
    // A loading file dropped anywhere on the window opens.
    setAcceptDrops(true);
    FirstPaintStamp::installIfAsked(this);
}

void MainWindow::buildControls() {
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("clientArea"));
    QPalette pal = m_client->palette();
    pal.setColor(QPalette::Window, kSilver);
    m_client->setPalette(pal);
    m_client->setAutoFillBackground(true);
    m_client->setFixedSize(twips::toPixels(twips::kMainClientArea.width()),
                           twips::toPixels(twips::kMainClientArea.height()));
    setCentralWidget(m_client);

    auto label = [this](const char* name, const QString& caption, QRect geometry) {
        return layout::label(m_client, name, caption, geometry);
    };
    auto button = [this](const char* name, const QString& caption, QRect geometry) {
        return layout::button(m_client, name, caption, geometry);
    };

    // Created bottom to top: the seats lie above the aircraft, Label4 above Label6.
    Picture1 = label("Picture1", QString(), {0, 0, 8550, 6465});
    Picture1->setScaledContents(true);

    const QRect seatPlaces[] = {twips::rect(3195, 3240, 390, 390), twips::rect(3195, 2790, 390, 390),
                                twips::rect(3825, 3240, 390, 390), twips::rect(3825, 2790, 390, 390)};
    for (Seat seat : kAllSeats) {
        const auto i = static_cast<std::size_t>(seat);
        auto* image = new PressableLabel(PressableLabel::Role::Button, m_client);
        image->setObjectName(QString::fromUtf8(kSeatNames[i]));
        image->setGeometry(seatPlaces[i]);
        image->setScaledContents(true);
        image->setCursor(Qt::PointingHandCursor);
        connect(image, &ClickableLabel::clicked, this, [this, seat] { seatClicked(seat); });
        m_seats[i] = image;
    }

    imgReset = label("imgReset", QString(), {8640, 0, 390, 390});
    imgReset->setScaledContents(true);
    lblPlatzFrei = label("lblPlatzFrei", QStringLiteral("#"), {9135, 105, 1875, 195});
    imgSet = label("imgSet", QString(), {8640, 405, 390, 390});
    lblPlatzbesetzt = label("lblPlatzbesetzt", QStringLiteral("#"), {9150, 525, 1275, 225});

    cmdZufaellig = button("cmdZufällig", QStringLiteral("#"), {8820, 855, 2235, 375});
    connect(cmdZufaellig, &QPushButton::clicked, this, &MainWindow::cmdZufaelligClick);

    lblGepaeck = label("lblGepäck", QStringLiteral("#"), {8640, 1380, 1335, 255});
    txtBaggage = new QLineEdit(QStringLiteral("0"), m_client);
    txtBaggage->setObjectName(QStringLiteral("txtBaggage"));
    txtBaggage->setGeometry(twips::rect(9405, 1755, 600, 285));
    txtBaggage->setReadOnly(true);
    Label1 = label("Label1", QStringLiteral("kg"), {10080, 1800, 495, 255});

    Slider1 = new QSlider(Qt::Horizontal, m_client);
    Slider1->setObjectName(QStringLiteral("Slider1"));
    Slider1->setGeometry(twips::rect(8910, 2115, 1950, 240));
    Slider1->setRange(0, LoadingModel::kBaggageMaximum);
    Slider1->setSingleStep(1);
    Slider1->setPageStep(5);
    Slider1->setTickInterval(1);
    Slider1->setTickPosition(QSlider::TicksBelow);
    Slider1->setValue(0);
    connect(Slider1, &QSlider::valueChanged, this, &MainWindow::onSliderChanged);

    lblPersonengewicht = label("lblPersonengewicht", QStringLiteral("#"), {8685, 2430, 1335, 255});
    txtPersonengewicht = new QLineEdit(m_client);
    txtPersonengewicht->setObjectName(QStringLiteral("txtPersonengewicht"));
    txtPersonengewicht->setGeometry(twips::rect(9510, 2805, 1185, 285));
    txtPersonengewicht->setReadOnly(true);
    connect(txtPersonengewicht, &QLineEdit::textChanged, this, &MainWindow::CalcGesamt);
    Label2 = label("Label2", QStringLiteral("kg"), {10755, 2850, 495, 255});

    Line1 = new QFrame(m_client);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::NoFrame);
    Line1->setAutoFillBackground(true);
    QPalette linePalette = Line1->palette();
    linePalette.setColor(QPalette::Window, Qt::black);
    Line1->setPalette(linePalette);
    Line1->setGeometry(twips::toPixels(8640), twips::toPixels(3195) - 1, twips::toPixels(11160 - 8640), 2);

    lblZFW = label("lblZFW", QStringLiteral("+ ZFW..."), {8640, 3330, 870, 240});
    lblZFW->setFont(tahoma(9.75));
    lblZero = label("lblZero", QStringLiteral("695 kg"), {9585, 3330, 1185, 240});
    lblZero->setFont(tahoma(9.75));
    lblZero->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label3 = label("Label3", QStringLiteral("GESAMT:"), {8640, 3690, 870, 240});
    Label3->setFont(tahoma(9.75, true, true));
    lblGesamt = label("lblGesamt", QString(), {9585, 3690, 1230, 240});
    lblGesamt->setFont(tahoma(9.75, true, true));
    lblGesamt->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    Image1 = label("Image1", QString(), {8685, 4140, 2430, 975});
    Image1->setPixmap(pictures::picture(m_context.path(QStringLiteral("logo.bmp"))));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    const weblink::Link link =
        weblink::create(m_client, {8685, 5130, 2400, 195}, {8640, 5310, 2490, 195}, *m_context.dialogs);
    Label6 = link.Label6;
    Label4 = link.Label4;

    cmdSpeichern = button("cmdSpeichern", QStringLiteral("Speichern"), {8775, 5535, 2400, 465});
    cmdSpeichern->setFont(tahoma(9.75, true));
    cmdSpeichern->setToolTip(QStringLiteral("Exportiert die aktuellen Beladungsdaten zum Flight Simulator"));
    connect(cmdSpeichern, &QPushButton::clicked, this, &MainWindow::cmdSpeichernClick);

    cmdSchliessen = button("cmdSchliessen", QStringLiteral("Schliessen"), {8775, 6030, 2400, 465});
    connect(cmdSchliessen, &QPushButton::clicked, this, &MainWindow::quitRequested);

    // Return on a focused button presses it, as Space does.
    for (QPushButton* b : {cmdZufaellig, cmdSpeichern, cmdSchliessen})
        b->setAutoDefault(true);

    // The tab order of the window as designed: the random loading, then the seats from the front
    // row to the back, the person-weight sum, the two commands, the slider and the baggage, and the
    // web link last. The read-only boxes are stops, so that a screen reader reads their value;
    // typing into them changes nothing.
    QWidget* order[] = {cmdZufaellig,
                        seatImage(Seat::Pilot),
                        seatImage(Seat::Co),
                        seatImage(Seat::PaxLeft),
                        seatImage(Seat::PaxRight),
                        txtPersonengewicht,
                        cmdSchliessen,
                        cmdSpeichern,
                        Slider1,
                        txtBaggage,
                        Label4};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void MainWindow::buildMenus() {
    auto menu = [this](const char* name, const QString& caption) {
        QMenu* m = menuBar()->addMenu(caption);
        m->setObjectName(QString::fromUtf8(name));
        m->menuAction()->setObjectName(QString::fromUtf8(name));
        return m;
    };
    auto item = [this](QMenu* parentMenu, const char* name, const QString& caption) {
        QAction* a = parentMenu->addAction(caption);
        a->setObjectName(QString::fromUtf8(name));
        a->setParent(this);
        return a;
    };
    mnuDatei = menu("mnuDatei", QStringLiteral("#"));
    // The loading's commands, with the keys of every editor (the same on every system: Windows
    // itself knows no key for Save as). The program's other commands have none.
    mnuDateiBeladungOeffnen = item(mnuDatei, "mnuDateiBeladungOeffnen", QStringLiteral("Beladung öffnen..."));
    mnuDateiBeladungOeffnen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(mnuDateiBeladungOeffnen, &QAction::triggered, this, &MainWindow::openLoadingRequested);
    mnuDateiSpeichern = item(mnuDatei, "mnuDateiSpeichern", QStringLiteral("Beladung speichern"));
    mnuDateiSpeichern->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(mnuDateiSpeichern, &QAction::triggered, this, &MainWindow::saveLoadingRequested);
    mnuDateiBeladungSpeichern =
        item(mnuDatei, "mnuDateiBeladungSpeichern", QStringLiteral("Beladung speichern unter..."));
    mnuDateiBeladungSpeichern->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    connect(mnuDateiBeladungSpeichern, &QAction::triggered, this, &MainWindow::saveLoadingAsRequested);
    // The loadings used last go between these two separators (showRecentLoadings()).
    mnuDatei->addSeparator();
    m_recentLoadingsEnd = mnuDatei->addSeparator();
    // A loading's tooltip is its whole path.
    mnuDatei->setToolTipsVisible(true);
    mnuDateiBeenden = item(mnuDatei, "mnuDateiBeenden", QStringLiteral("Beenden"));
    connect(mnuDateiBeenden, &QAction::triggered, this, &MainWindow::quitRequested);

    mnuExport = menu("mnuExport", QStringLiteral("Export"));
    mnuExportBeladung = item(mnuExport, "mnuExportBeladung", QStringLiteral("Beladung in Aircraft.cfg exportieren"));
    connect(mnuExportBeladung, &QAction::triggered, this, &MainWindow::cmdSpeichernClick);
    mnuExportTakeOver = item(mnuExport, "mnuExportTakeOver", QStringLiteral("Beladung aus Flugzeug übernehmen..."));
    connect(mnuExportTakeOver, &QAction::triggered, this, &MainWindow::takeOverRequested);
    mnuExportRestore = item(mnuExport, "mnuExportRestore", QStringLiteral("Auslieferungszustand wiederherstellen..."));
    connect(mnuExportRestore, &QAction::triggered, this, &MainWindow::restoreRequested);

    mnuExtras = menu("mnuExtras", QStringLiteral("#"));
    mnuExtrasOptionen = item(mnuExtras, "mnuExtrasOptionen", QStringLiteral("#"));
    connect(mnuExtrasOptionen, &QAction::triggered, this, &MainWindow::optionsRequested);
    mnuExtrasLadeliste = item(mnuExtras, "mnuExtrasLadeliste", QStringLiteral("Ladeliste..."));
    connect(mnuExtrasLadeliste, &QAction::triggered, this, &MainWindow::loadSheetRequested);

    mnuHelp = menu("mnuHelp", QStringLiteral("?"));
    mnuInfo = item(mnuHelp, "mnuInfo", QStringLiteral("Info"));
    connect(mnuInfo, &QAction::triggered, this, &MainWindow::infoRequested);
}

MainWindow::LoadResult MainWindow::load() {
    auto picture = [this](const char* file) { return pictureFrom(m_context.path(QString::fromUtf8(file))); };
    auto seatPicture = [](const QLabel* source) {
        const QPixmap pixmap = source->pixmap();
        if (pixmap.isNull())
            throw std::runtime_error("no picture");
        return pixmap;
    };

    m_loading.reset();
    // The top view is stretched over its area once, here, so that neither the full-size picture
    // nor a second scaled copy stays in memory.
    step([&] {
        const qreal ratio = devicePixelRatioF();
        QPixmap stretched =
            picture("pa.bmp").scaled(Picture1->size() * ratio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        stretched.setDevicePixelRatio(ratio);
        Picture1->setScaledContents(false);
        Picture1->setPixmap(stretched);
    });
    step([&] {
        imgSet->setPixmap(picture("person.ico"));
        imgSet->resize(imgSet->pixmap().size());
    });
    step([&] { imgReset->setPixmap(picture("leer.ico")); });
    step([&] { seatImage(Seat::Pilot)->setPixmap(seatPicture(imgSet)); });
    step([&] { seatImage(Seat::Co)->setPixmap(seatPicture(imgReset)); });
    step([&] { seatImage(Seat::Pilot)->setToolTip(weightRecord(m_loading.weight(Seat::Pilot))); });
    step([&] { renderPersonSum(); });
    step([&] { seatImage(Seat::PaxLeft)->setPixmap(seatPicture(imgReset)); });
    // The outer size (11355 x 7230 twips) follows from the fixed client area and the frame; the
    // window opens centred on the screen.
    step([&] {
        setFixedSize(sizeHint());
        layout::centreOnScreen(this);
    });
    step([&] { seatImage(Seat::PaxRight)->setPixmap(seatPicture(imgReset)); });
    // The seat flags live in the loading, which reset() has already put into its start state.
    // The pointer over the link points with the fingertip of its hand.
    step([&] { weblink::setPointer(Label4, m_context.path(QStringLiteral("url.ico")), {11, 1}); });

    struct TextStep {
        std::function<void(const QString&)> apply;
        const char* key;
        const char* suffix;
    };
    const TextStep texts[] = {
        {[this](const QString& t) { seatImage(Seat::PaxLeft)->setToolTip(m_freeRecord[2] = t); }, "lblPlatzFrei", ""},
        {[this](const QString& t) { seatImage(Seat::PaxRight)->setToolTip(m_freeRecord[3] = t); }, "lblPlatzFrei", ""},
        {[this](const QString& t) { seatImage(Seat::Co)->setToolTip(m_freeRecord[1] = t); }, "lblPlatzFrei", ""},
        {[this](const QString& t) { mnuDatei->setTitle(t); }, "mnuDatei", ""},
        {[this](const QString& t) { mnuDateiBeenden->setText(t); }, "mnuDateiBeenden", ""},
        {[this](const QString& t) { mnuDateiBeladungOeffnen->setText(t); }, "mnuDateiBeladungOeffnen", "..."},
        {[this](const QString& t) { mnuDateiSpeichern->setText(t); }, "mnuDateiSpeichern", ""},
        {[this](const QString& t) { mnuDateiBeladungSpeichern->setText(t); }, "mnuDateiBeladungSpeichern", "..."},
        {[this](const QString& t) { mnuExport->setTitle(t); }, "mnuExport", ""},
        {[this](const QString& t) { mnuExportBeladung->setText(t); }, "mnuExportBeladung", ""},
        {[this](const QString& t) { mnuExportRestore->setText(t); }, "mnuExportRestore", "..."},
        {[this](const QString& t) { mnuExportTakeOver->setText(t); }, "mnuExportTakeOver", "..."},
        {[this](const QString& t) { mnuExtras->setTitle(t); }, "mnuExtras", ""},
        {[this](const QString& t) { mnuExtrasOptionen->setText(t); }, "mnuExtrasOptionen", "..."},
        {[this](const QString& t) { mnuExtrasLadeliste->setText(t); }, "mnuExtrasLadeliste", "..."},
        {[this](const QString& t) { lblGepaeck->setText(t); }, "lblGepäck", ":"},
        {[this](const QString& t) { lblPersonengewicht->setText(t); }, "lblPersonengewicht", ":"},
        {[this](const QString& t) { lblPlatzbesetzt->setText(t); }, "lblPlatzBesetzt", ""},
        {[this](const QString& t) { lblPlatzFrei->setText(t); }, "lblPlatzFrei", ""},
        {[this](const QString& t) { Label3->setText(t); }, "strGesamt", ":"},
        {[this](const QString& t) { cmdSchliessen->setText(t); }, "cmdSchliessen", ""},
        {[this](const QString& t) { cmdZufaellig->setText(t); }, "cmdRandomBeladung", ""},
        {[this](const QString& t) { cmdSpeichern->setText(t); }, "cmdSpeichern", ""},
        {[this](const QString& t) { cmdSpeichern->setToolTip(t); }, "tipSpeichern", ""},
    };
    // A database that cannot answer leaves the design-time text of each control.
    for (const TextStep& t : texts)
        m_texts.apply(QString::fromUtf8(t.key), QString::fromUtf8(t.suffix), t.apply);

    step([&] { CalcGesamt(); });
    step([&] { nameForScreenReaders(); });
    // Every caption whole in the fonts the system has; the total as wide as it can get.
    step([&] {
        fonts::keepCaptionsWhole(this);
        fonts::keepWhole(lblGesamt, totalCaption(-32768));
    });

    // First-start check: a missing or unreadable strt.cfg leaves the flag as it is.
    step([&] {
        if (const auto flag = settings::readFirstStartFlag(m_context.programFolder))
            m_context.intFirstStart = *flag;
    });
    return m_context.intFirstStart == 1 ? LoadResult::FirstStart : LoadResult::Show;
}

void MainWindow::nameForScreenReaders() {
    for (Seat seat : kAllSeats) {
        // Never a nameless seat: without the database the program's own texts name it.
        seatImage(seat)->setAccessibleName(
            m_texts.messageText(QString::fromUtf8(kSeatNames[static_cast<std::size_t>(seat)])));
        describeSeat(seat);
    }
    const QString baggage = accessibility::captionName(lblGepaeck->text());
    Slider1->setAccessibleName(baggage);
    txtBaggage->setAccessibleName(baggage);
    txtPersonengewicht->setAccessibleName(accessibility::captionName(lblPersonengewicht->text()));
    lblGesamt->setAccessibleName(accessibility::captionName(Label3->text()));
    imgSet->setAccessibleName(lblPlatzbesetzt->text());
    imgReset->setAccessibleName(lblPlatzFrei->text());
    // The two pictures that are neither seats nor legends: the aircraft and the maker's logo.
    Picture1->setAccessibleName(QStringLiteral("TQ 58"));
    Image1->setAccessibleName(QString::fromUtf8(product::kCompany));
}

void MainWindow::describeSeat(Seat seat) {
    // The weight record, or the free-seat text; a seat without a record is still said to be free.
    ClickableLabel* image = seatImage(seat);
    const QString record = image->toolTip();
    image->setAccessibleDescription(record.isEmpty() ? m_texts.messageText(QStringLiteral("lblPlatzFrei")) : record);
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // Alt reaches the menu bar through the style; F10 is not, so it is done here. The menus keep
    // their captions: no access keys are added to them.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::NoModifier) {
        menuBar()->setActiveAction(mnuDatei->menuAction());
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::setStartFocus() {
    cmdZufaellig->setFocus(Qt::OtherFocusReason);
}

void MainWindow::CalcGesamt() {
    lblGesamt->setText(totalCaption(m_loading.total()));
    // Its accessible name is the caption beside it; the figure is told as its description.
    lblGesamt->setAccessibleDescription(lblGesamt->text().trimmed());
    emit loadingChanged();
}

void MainWindow::renderSeat(Seat seat) {
    ClickableLabel* image = seatImage(seat);
    const bool occupied = m_loading.occupied(seat);
    image->setPixmap((occupied ? imgSet : imgReset)->pixmap());
    image->setToolTip(occupied ? weightRecord(m_loading.weight(seat)) : m_freeRecord[static_cast<std::size_t>(seat)]);
    describeSeat(seat);
}

void MainWindow::renderPersonSum() {
    // Its change recomputes the total.
    txtPersonengewicht->setText(num::plainDigits(m_loading.personSum()));
}

void MainWindow::onSliderChanged(int value) {
    // Every entry is bounded so that no baggage the slider offers can be refused; should the
    // loading refuse one all the same, the slider goes back to the baggage the loading has.
    if (!m_loading.setBaggage(static_cast<std::int16_t>(value))) {
        const QSignalBlocker quiet(Slider1);
        Slider1->setValue(m_loading.baggage());
    }
    txtBaggage->setText(num::plainDigits(m_loading.baggage()));
    CalcGesamt();
}

void MainWindow::seatClicked(Seat seat) {
    SeatOperations operations(m_loading, [this](const QString& key) { return m_texts.messageText(key); });
    std::optional<QString> entered;
    if (const auto question = operations.weightQuestion(seat))
        entered = m_context.dialogs->inputBox(this, question->prompt, question->title);
    const auto [outcome, errors] = operations.click(seat, entered);
    for (const QString& error : errors)
        m_context.dialogs->exclamation(this, error, kErrorTitle);
    if (outcome == SeatOperations::Outcome::Unchanged)
        return;
    if (outcome == SeatOperations::Outcome::Freed)
        m_freeRecord[static_cast<std::size_t>(seat)] = m_texts.text(QStringLiteral("lblPlatzFrei"));
    renderSeat(seat);
    renderPersonSum();
}

void MainWindow::cmdZufaelligClick() {
    const QString freeText = m_texts.text(QStringLiteral("lblPlatzFrei"));
    const std::int16_t baggage = randomloading::apply(m_loading, *m_context.random, Slider1->maximum());
    for (Seat seat : kAllSeats) {
        if (seat != Seat::Pilot && !m_loading.occupied(seat))
            m_freeRecord[static_cast<std::size_t>(seat)] = freeText;
        renderSeat(seat);
    }
    renderPersonSum();
    CalcGesamt();
    Slider1->setValue(baggage);
    // The slider may already stand at the drawn value; the loading follows it either way.
    onSliderChanged(Slider1->value());
}

void MainWindow::takeOverLoading(const LoadingModel& loading) {
    const QString freeText = m_texts.text(QStringLiteral("lblPlatzFrei"));
    m_loading = loading;
    for (Seat seat : kAllSeats) {
        if (seat != Seat::Pilot && !m_loading.occupied(seat))
            m_freeRecord[static_cast<std::size_t>(seat)] = freeText;
        renderSeat(seat);
    }
    renderPersonSum();
    {
        const QSignalBlocker quiet(Slider1);
        Slider1->setValue(m_loading.baggage());
    }
    // Writes the baggage read-out and the total, as a move of the slider does.
    onSliderChanged(Slider1->value());
}

void MainWindow::showRecentLoadings(const QStringList& names, const QStringList& files) {
    // The entry chosen may be the one whose signal is still on its way: the old entries leave
    // the menu now and are deleted once that is done.
    for (QAction* old : std::as_const(m_recentLoadings)) {
        mnuDatei->removeAction(old);
        old->setObjectName(QString());
        old->deleteLater();
    }
    m_recentLoadings.clear();
    for (qsizetype i = 0; i < files.size() && i < names.size(); ++i) {
        // Numbered as access keys; an "&" in a name is shown as it is, not taken for one.
        QString caption = names[i];
        caption.replace(QLatin1Char('&'), QLatin1String("&&"));
        auto* action = new QAction(QStringLiteral("&%1 ").arg(i + 1) + caption, this);
        action->setObjectName(QStringLiteral("mnuDateiZuletzt%1").arg(i + 1));
        action->setToolTip(QDir::toNativeSeparators(files[i]));
        const QString file = files[i];
        connect(action, &QAction::triggered, this, [this, file] { emit recentLoadingRequested(file); });
        mnuDatei->insertAction(m_recentLoadingsEnd, action);
        m_recentLoadings.append(action);
    }
}

void MainWindow::showLoadingFile(const QString& file) {
    mnuDateiSpeichern->setToolTip(QDir::toNativeSeparators(file));
}

namespace {

// The one local file a drag brings, taken as a copy (a move would have the file manager delete
// the file once it is dropped); std::nullopt, and the drag refused, for anything else: several
// files, a web address, text, or a drag that offers no copy.
std::optional<QString> takenAsCopy(QDropEvent* event) {
    const QMimeData* data = event->mimeData();
    const QList<QUrl> urls = data && data->hasUrls() ? data->urls() : QList<QUrl>();
    if (urls.size() != 1 || !urls[0].isLocalFile() || urls[0].toLocalFile().isEmpty() ||
        !(event->possibleActions() & Qt::CopyAction)) {
        event->ignore();
        return std::nullopt;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return urls[0].toLocalFile();
}

} // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    takenAsCopy(event);
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
    takenAsCopy(event);
}

void MainWindow::dropEvent(QDropEvent* event) {
    // Opened once the drop is over, so that a message about the file does not hold up the program
    // it was dragged from.
    if (const auto file = takenAsCopy(event))
        QMetaObject::invokeMethod(
            this, [this, path = *file] { emit loadingFileDropped(path); }, Qt::QueuedConnection);
}

void MainWindow::cmdSpeichernClick() {
    emit exportRequested();
}
