#pragma once

#include "ClickableLabel.h"

#include <QPointer>

// A seat of the aircraft: a picture that works like a button. It takes the focus by Tab (and by a
// click); Space or Return does what a click does, through the same clicked() signal. The focused
// seat shows a frame drawn around its picture, outside it, so that the picture stays as it is. A
// screen reader meets it as a button with a press action; its accessible name says which seat it
// is, its accessible description the seat's state.
class SeatPicture : public ClickableLabel {
    Q_OBJECT
public:
    explicit SeatPicture(QWidget* parent = nullptr);
    ~SeatPicture() override;

    // Emits clicked() once control is back in the event loop: what an assistive tool's press
    // asks for, without holding the tool's call open while the input box is shown.
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

    // A sibling lying under the seat and reaching a little beyond it on every side.
    QPointer<QWidget> m_frame;
    bool m_spacePressed = false;
};
