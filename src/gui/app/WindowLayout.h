#pragma once

#include <QFont>
#include <QRect>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

// The program's windows built as they were designed: controls placed in twips and named after
// their given names, in the designed fonts; each window centred on the screen and made the active
// one when it is shown.
namespace layout {

// Puts the window in the middle of the primary screen's available area; one larger than that area
// at its top left corner.
void centreOnScreen(QWidget* window);

// Makes the window the active one each time it is shown, as the system does on Windows, so that
// its keys work at once, also where the window manager would leave the focus where it was.
void activateWhenShown(QWidget* window);

// A font of `family` (or, where the system lacks it, of its stand-in or the system's sans-serif
// user-interface font: see fonts::family()).
QFont font(const QString& family, double points, bool bold = false, bool underline = false);

// A label or a button of `parent` with its objectName, caption and place (in twips). Buttons do
// not take Enter as their own unless the window says so.
QLabel* label(QWidget* parent, const char* name, const QString& caption, const QRect& twipsGeometry);
QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QRect& twipsGeometry);

} // namespace layout
