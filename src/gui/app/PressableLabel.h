#pragma once

#include "ClickableLabel.h"

#include <QPointer>

// A picture or a label that works like a button: a seat of the aircraft, the area of the web
// link. It takes the focus by Tab (and by a click); Space or Return does what a click does,
// through the same clicked() signal. While it has the focus, a black and white frame is drawn
// around what it shows, outside it, so that the picture or the text stays as it is. A screen
// reader meets it as a button (or a link) with a press action; its accessible name says what it
// is, its accessible description its state.
class PressableLabel : public ClickableLabel {
    Q_OBJECT
public:
    enum class Role { Button, Link };

    explicit PressableLabel(Role role, QWidget* parent = nullptr);
    ~PressableLabel() override;

    Role role() const { return m_role; }

    // The frame goes around the text `shown` shows (a label beside or beneath this one) instead
    // of around this label: for a click area that lies over the text it stands for.
    void frameTextOf(QWidget* shown);

    // Emits clicked() once control is back in the event loop: what an assistive tool's press
    // asks for, without holding the tool's call open while a dialog is shown.
    void clickLater();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void placeFrame();
    QRect framedArea() const;

    const Role m_role;
    // A sibling lying under this label and reaching a little beyond the framed area on every side.
    QPointer<QWidget> m_frame;
    QPointer<QWidget> m_shown;
    bool m_spacePressed = false;
};
