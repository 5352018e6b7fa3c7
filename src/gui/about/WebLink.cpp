// The maker's web link of the main window and the about window.
#include "WebLink.h"

#include "core/common/ProductInfo.h"
#include "gui/app/Accessibility.h"
#include "gui/app/Dialogs.h"
#include "gui/app/Pictures.h"
#include "gui/app/PressableLabel.h"
#include "gui/app/Twips.h"
#include "gui/app/WindowLayout.h"

#include <QColor>
#include <QCursor>
#include <QLabel>

namespace weblink {
namespace {

const QColor kNavy{0, 0, 128};

// The address as the link shows it: without "https://" (or "http://") and without the trailing "/".
QString addressText(const QString& address) {
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

} // namespace

Link create(QWidget* parent, const QRect& textTwips, const QRect& areaTwips, Dialogs& dialogs) {
    const QString address = QString::fromUtf8(product::kWebAddress);
    Link link;
    link.Label6 = layout::label(parent, "Label6", addressText(address), textTwips);
    link.Label6->setAlignment(Qt::AlignCenter);
    link.Label6->setFont(layout::font(QStringLiteral("Tahoma"), 8.25, true));
    QPalette navy = link.Label6->palette();
    navy.setColor(QPalette::WindowText, kNavy);
    link.Label6->setPalette(navy);
    // Label4 tells the address as the link's name; Label6 would tell it a second time.
    accessibility::hideFromAssistiveTools(link.Label6);

    link.Label4 = new PressableLabel(PressableLabel::Role::Link, parent);
    link.Label4->setObjectName(QStringLiteral("Label4"));
    link.Label4->setGeometry(twips::rect(areaTwips.x(), areaTwips.y(), areaTwips.width(), areaTwips.height()));
    link.Label4->setFocusPolicy(Qt::TabFocus);
    link.Label4->frameTextOf(link.Label6);
    link.Label4->setAccessibleName(link.Label6->text());
    QObject::connect(link.Label4, &PressableLabel::clicked, link.Label4,
                     [&dialogs, address] { dialogs.openUrl(address); });
    return link;
}

void setPointer(QWidget* area, const QString& iconPath, QPoint hotSpot) {
    const QPixmap pointer = pictures::picture(iconPath);
    if (pointer.isNull())
        return;
    area->setCursor(QCursor(pointer, pointer.width() * hotSpot.x() / 32, pointer.height() * hotSpot.y() / 32));
}

} // namespace weblink
