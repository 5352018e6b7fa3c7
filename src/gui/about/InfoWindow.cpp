#include "InfoWindow.h"

#include "ProductLabels.h"
#include "WebLink.h"
#include "core/common/ProductInfo.h"
#include "gui/app/Accessibility.h"
#include "gui/app/AppContext.h"
#include "gui/app/Fonts.h"
#include "gui/app/Pictures.h"
#include "gui/app/PressableLabel.h"
#include "gui/app/Twips.h"
#include "gui/app/WindowLayout.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>

namespace {
const QColor kGrey(128, 128, 128);
} // namespace

InfoWindow::InfoWindow(AppContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_context(context) {
    setObjectName(QStringLiteral("frmInfo"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("#"));
    setFont(layout::font(QStringLiteral("Verdana"), 8.25));
    setFixedSize(twips::toPixels(5280), twips::toPixels(3435));
    buildControls();
    layout::centreOnScreen(this);
    layout::activateWhenShown(this);
    accessibility::tellAsDialog(this);
    load();
}

void InfoWindow::buildControls() {
    picMain = layout::label(this, "picMain", QString(), {120, 120, 1695, 2775});
    picMain->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    lblProdukttitel = layout::label(this, "lblProdukttitel", QStringLiteral("#"), {1920, 240, 3255, 375});
    lblProdukttitel->setFont(layout::font(QStringLiteral("Verdana"), 11.25, true));

    // The outline lies beneath the labels it frames.
    Shape1 = new QFrame(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Shape1->setLineWidth(1);
    QPalette grey = Shape1->palette();
    grey.setColor(QPalette::WindowText, kGrey);
    Shape1->setPalette(grey);
    Shape1->setGeometry(twips::rect(1890, 720, 3255, 2175));
    Shape1->setAttribute(Qt::WA_TransparentForMouseEvents);

    const QFont bold = layout::font(QStringLiteral("Verdana"), 8.25, true);
    lblVersion_ = layout::label(this, "lblVersion_", QStringLiteral("Version:"), {2160, 960, 1575, 255});
    lblVersion_->setFont(bold);
    lblVersion = layout::label(this, "lblVersion", QStringLiteral("#"), {3840, 960, 1095, 375});
    lblVersion->setAlignment(Qt::AlignRight | Qt::AlignTop);

    lblFirma_ = layout::label(this, "lblFirma_", QStringLiteral("Firma:"), {2160, 1440, 1335, 255});
    lblFirma_->setFont(bold);
    lblFirma = layout::label(this, "lblFirma", QString::fromUtf8(product::kCompany), {3840, 1440, 1095, 375});
    lblFirma->setAlignment(Qt::AlignRight | Qt::AlignTop);

    lblBeschreibung = layout::label(this, "lblBeschreibung", QStringLiteral("#"), {2160, 1920, 2775, 585});
    lblBeschreibung->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblBeschreibung->setWordWrap(true);

    const weblink::Link link =
        weblink::create(this, {2115, 2610, 2850, 195}, {2070, 2745, 2895, 195}, *m_context.dialogs);
    Label6 = link.Label6;
    Label4 = link.Label4;

    cmdOK = layout::button(this, "cmdOK", QStringLiteral("O.K."), {1920, 3000, 1500, 375});
    connect(cmdOK, &QPushButton::clicked, this, &QWidget::close);
    // O.K. has the focus when the window opens, and Return on it closes the window; so does
    // Escape, wherever the focus is. Tab goes on to the web link.
    cmdOK->setAutoDefault(true);
    cmdOK->setDefault(true);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, cmdOK, &QPushButton::click);
    setTabOrder(cmdOK, Label4);
    cmdOK->setFocus(Qt::OtherFocusReason);
}

void InfoWindow::load() {
    SetProductTitle(this);
    SetInfoCaption(this);
    SetVersionLabel(this);
    SetDescription(this);

    // Centred across the window; the frame is the same on both sides, so the client width will do.
    cmdOK->move((width() - cmdOK->width()) / 2, cmdOK->y());
    fonts::keepCaptionsWhole(this);

    // A missing or unreadable picture leaves the picture box empty and the default pointer.
    const QPixmap picture = pictures::picture(m_context.path(QStringLiteral("infopic.bmp")));
    if (!picture.isNull())
        picMain->setPixmap(picture);
    weblink::setPointer(Label4, m_context.path(QStringLiteral("url.ico")), {10, 2});
}
