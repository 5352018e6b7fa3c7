#pragma once

#include <QPoint>
#include <QRect>
#include <QString>

class Dialogs;
class PressableLabel;
class QLabel;
class QWidget;

// The maker's web link, as the main window and the about window show it.
//
// Label6 shows the address (navy, Tahoma bold, centred), without "https://" (or "http://") and
// without the trailing "/"; Label4, an empty label lying over it, is the click area; a click opens
// the address in the browser, and whatever goes wrong there is not the user's concern. Label4 is
// created after Label6, so it lies above it. Screen readers meet only Label4: Label6 is hidden
// from them. Label4 is also the link for the keyboard and for screen readers: Tab reaches it (a
// click does not move the focus), it frames the address while it has the focus, and Return or
// Space opens the address as a click does. It is named after the address; the window puts it in
// its tab order.
namespace weblink {

struct Link {
    QLabel* Label6 = nullptr;
    PressableLabel* Label4 = nullptr;
};

// The link on `parent`: the address shown at `textTwips`, the click area at `areaTwips`.
Link create(QWidget* parent, const QRect& textTwips, const QRect& areaTwips, Dialogs& dialogs);

// The link's mouse pointer from an icon file; `hotSpot` is where it points, in 1/32 of the icon's
// size. A missing or unreadable icon leaves the default pointer.
void setPointer(QWidget* area, const QString& iconPath, QPoint hotSpot);

} // namespace weblink
