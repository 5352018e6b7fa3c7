#include "SplashWindow.h"

#include "AppContext.h"
#include "Twips.h"
#include "common/ProductInfo.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

QString splashVersionText(int major, int minor, int revision) {
    return QStringLiteral("Version %1.%2.%3").arg(major).arg(minor).arg(revision);
}

namespace {
QFont tahoma(double points, bool bold) {
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}
} // namespace

SplashWindow::SplashWindow(const AppContext& context, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(twips::toPixels(6180), twips::toPixels(3300));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    m_background = new QLabel(this);
    m_background->setObjectName(QStringLiteral("imgBackground"));
    m_background->setPixmap(QPixmap(context.path(QStringLiteral("splash.bmp"))));
    m_background->setScaledContents(true);
    m_background->setGeometry(rect());

    m_title = new QLabel(QStringLiteral("Velmora Control Center"), this);
    m_title->setObjectName(QStringLiteral("lblTitle"));
    m_title->setFont(tahoma(27.75, true));
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setGeometry(0, height() / 2 - twips::toPixels(400), width(), twips::toPixels(800));

    m_version = new QLabel(splashVersionText(product::kMajor, product::kMinor, product::kRevision), this);
    m_version->setObjectName(QStringLiteral("lblVersion"));
    m_version->setFont(tahoma(8.25, true));
    m_version->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_version->setGeometry(twips::rect(3600, 2985, 2460, 240));

    m_company = new QLabel(QString::fromUtf8(product::kCompany), this);
    m_company->setObjectName(QStringLiteral("lblFirma"));
    m_company->setFont(tahoma(14.25, true));
    m_company->setAlignment(Qt::AlignCenter);
    m_company->setAutoFillBackground(true);
    m_company->setGeometry(twips::rect(-180, 2925, 1950, 330));

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("tmrSplash"));
    m_timer->setSingleShot(true);
    // A coarse timer may fire up to 5 % early or late (238 to 263 ms); the splash stands 250 ms.
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(250);
    connect(m_timer, &QTimer::timeout, this, [this] {
        m_timer->stop();
        emit timeUp();
    });
    m_timer->start();
}
