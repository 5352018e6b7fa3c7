#include "InfoWindow.h"

#include "ProductInfo.h"
#include "app/AppContext.h"
#include "app/ClickableLabel.h"
#include "app/Dialogs.h"
#include "app/Twips.h"
#include "common/ProductInfo.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>

namespace {

QFont makeFont(const char* family, double points, bool bold = false) {
    QFont f(QString::fromLatin1(family));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

const QColor kGrey(128, 128, 128);
const QColor kNavy(0, 0, 128);

} // namespace

InfoWindow::InfoWindow(AppContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_context(context) {
    setObjectName(QStringLiteral("frmInfo"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("#"));
    setFont(makeFont("Verdana", 8.25));
    setFixedSize(twips::toPixels(5280), twips::toPixels(3435));
    buildControls();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    load();
}

QString InfoWindow::webAddressText(const QString& address) {
    QString text = address;
    for (const QLatin1String scheme : {QLatin1String("https://"), QLatin1String("http://")}) {
        if (text.startsWith(scheme, Qt::CaseInsensitive)) {
            text.remove(0, scheme.size());
            break;
        }
    }
    if (text.endsWith(QLatin1Char('/')))
        text.chop(1);
    return text;
}

void InfoWindow::buildControls() {
    auto label = [this](const char* name, const QString& caption, QRect geometry) {
        auto* l = new QLabel(caption, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(geometry);
        return l;
    };

    picMain = label("picMain", QString(), twips::rect(120, 120, 1695, 2775));
    picMain->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    lblProdukttitel = label("lblProdukttitel", QStringLiteral("#"), twips::rect(1920, 240, 3255, 375));
    lblProdukttitel->setFont(makeFont("Verdana", 11.25, true));

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

    lblVersion_ = label("lblVersion_", QStringLiteral("Version:"), twips::rect(2160, 960, 1575, 255));
    lblVersion_->setFont(makeFont("Verdana", 8.25, true));
    lblVersion = label("lblVersion", QStringLiteral("#"), twips::rect(3840, 960, 1095, 375));
    lblVersion->setAlignment(Qt::AlignRight | Qt::AlignTop);

    lblFirma_ = label("lblFirma_", QStringLiteral("Firma:"), twips::rect(2160, 1440, 1335, 255));
    lblFirma_->setFont(makeFont("Verdana", 8.25, true));
    lblFirma = label("lblFirma", QString::fromUtf8(product::kCompany), twips::rect(3840, 1440, 1095, 375));
    lblFirma->setAlignment(Qt::AlignRight | Qt::AlignTop);

    lblBeschreibung = label("lblBeschreibung", QStringLiteral("#"), twips::rect(2160, 1920, 2775, 585));
    lblBeschreibung->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblBeschreibung->setWordWrap(true);

    Label6 =
        label("Label6", webAddressText(QString::fromUtf8(product::kWebAddress)), twips::rect(2115, 2610, 2850, 195));
    Label6->setAlignment(Qt::AlignCenter);
    Label6->setFont(makeFont("Tahoma", 8.25, true));
    QPalette navy = Label6->palette();
    navy.setColor(QPalette::WindowText, kNavy);
    Label6->setPalette(navy);

    // The click area of the link: empty and transparent, above Label6.
    Label4 = new ClickableLabel(this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setGeometry(twips::rect(2070, 2745, 2895, 195));
    connect(Label4, &ClickableLabel::clicked, this, &InfoWindow::openWebLink);

    cmdOK = new QPushButton(QStringLiteral("O.K."), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(twips::rect(1920, 3000, 1500, 375));
    cmdOK->setAutoDefault(false);
    connect(cmdOK, &QPushButton::clicked, this, &QWidget::close);
}

void InfoWindow::load() {
    SetProductTitle(this);
    SetInfoCaption(this);
    SetVersionLabel(this);
    SetDescription(this);

    // Centred across the window; the frame is the same on both sides, so the client width will do.
    cmdOK->move((width() - cmdOK->width()) / 2, cmdOK->y());

    // A missing or unreadable picture leaves the picture box empty and the default pointer.
    const QPixmap picture(m_context.path(QStringLiteral("infopic.bmp")));
    if (!picture.isNull())
        picMain->setPixmap(picture);
    const QPixmap pointer(m_context.path(QStringLiteral("url.ico")));
    if (!pointer.isNull())
        Label4->setCursor(QCursor(pointer, pointer.width() * 10 / 32, pointer.height() * 2 / 32));
}

void InfoWindow::openWebLink() {
    // Whether the browser could be started is of no concern here.
    m_context.dialogs->openUrl(QString::fromUtf8(product::kWebAddress));
}
