// The program's windows built as designed: controls in twips, fonts, place and activation.
#include "WindowLayout.h"

#include "Fonts.h"
#include "Twips.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace layout {
namespace {

class ActivateWhenShown : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            static_cast<QWidget*>(watched)->activateWindow();
        return false;
    }
};

} // namespace

void centreOnScreen(QWidget* window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // A window larger than the screen keeps its title bar and menu on it.
    const QRect area = screen->availableGeometry();
    const QPoint centred = area.center() - window->rect().center();
    window->move(std::max(centred.x(), area.left()), std::max(centred.y(), area.top()));
}

void activateWhenShown(QWidget* window) {
    window->installEventFilter(new ActivateWhenShown(window));
}

QFont font(const QString& family, double points, bool bold, bool underline) {
    QFont f(fonts::family(family));
    f.setStyleHint(QFont::SansSerif);
    // Drawn smaller with the layout on a small screen (see twips::scale()).
    f.setPointSizeF(points * twips::scale());
    f.setBold(bold);
    f.setUnderline(underline);
    return f;
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, const QRect& twipsGeometry) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QString::fromUtf8(name));
    l->setGeometry(twips::rect(twipsGeometry.x(), twipsGeometry.y(), twipsGeometry.width(), twipsGeometry.height()));
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QRect& twipsGeometry) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromUtf8(name));
    b->setGeometry(twips::rect(twipsGeometry.x(), twipsGeometry.y(), twipsGeometry.width(), twipsGeometry.height()));
    b->setAutoDefault(false);
    return b;
}

} // namespace layout
