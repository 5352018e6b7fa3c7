#include "SplashWindow.h"

#include "AppContext.h"
#include "Fonts.h"
#include "Pictures.h"
#include "Twips.h"
#include "WindowLayout.h"
#include "core/common/ProductInfo.h"

#include <QLabel>
#include <QPixmap>
#include <QTimer>

QString splashVersionText(int major, int minor, int revision) {
    return QStringLiteral("Version %1.%2.%3").arg(major).arg(minor).arg(revision);
}

SplashWindow::SplashWindow(const AppContext& context, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(twips::toPixels(6180), twips::toPixels(3300));
    setFont(layout::font(QStringLiteral("Tahoma"), 8.25));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    // The picture at its own size from the top-left corner, on the window's white.
    imgBackground = new QLabel(this);
    imgBackground->setObjectName(QStringLiteral("imgBackground"));
    const QPixmap picture = pictures::picture(context.path(QStringLiteral("splash.bmp")));
    imgBackground->setPixmap(picture);
    imgBackground->setGeometry(QRect(QPoint(0, 0), picture.deviceIndependentSize().toSize()));

    const QString tahoma = QStringLiteral("Tahoma");
    lblTitle = new QLabel(QStringLiteral("Velmora Control Center"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setFont(layout::font(tahoma, 27.75, true));
    lblTitle->setAlignment(Qt::AlignCenter);
    lblTitle->setGeometry(0, height() / 2 - twips::toPixels(400), width(), twips::toPixels(800));

    lblVersion =
        layout::label(this, "lblVersion", splashVersionText(product::kMajor, product::kMinor, product::kRevision),
                      {3600, 2985, 2460, 240});
    lblVersion->setFont(layout::font(tahoma, 8.25, true));
    lblVersion->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    lblFirma = layout::label(this, "lblFirma", QString::fromUtf8(product::kCompany), {-180, 2925, 1950, 330});
    lblFirma->setFont(layout::font(tahoma, 14.25, true));
    lblFirma->setAlignment(Qt::AlignCenter);
    lblFirma->setAutoFillBackground(true);

    // The caption whole also where the system lacks Tahoma.
    fonts::keepCaptionsWhole(this);
    layout::centreOnScreen(this);

    tmrSplash = new QTimer(this);
    tmrSplash->setObjectName(QStringLiteral("tmrSplash"));
    tmrSplash->setSingleShot(true);
    // A coarse timer may fire up to 5 % early or late (238 to 263 ms); the splash stands 250 ms.
    tmrSplash->setTimerType(Qt::PreciseTimer);
    tmrSplash->setInterval(250);
    connect(tmrSplash, &QTimer::timeout, this, [this] {
        tmrSplash->stop();
        emit timeUp();
    });
    tmrSplash->start();
}
