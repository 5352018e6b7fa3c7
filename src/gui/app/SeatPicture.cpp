#include "SeatPicture.h"

#include <QFocusFrame>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>

#if QT_CONFIG(accessibility)
#include <QAccessible>
#include <QAccessibleWidget>
#endif

namespace {

// Width of the frame in device-independent pixels: a dark band next to the picture and a light
// one outside it, so that the frame stands out on the white aircraft and on dark parts alike.
constexpr int kDarkBand = 2;
constexpr int kLightBand = 1;
constexpr int kFrameWidth = kDarkBand + kLightBand;

// A QFocusFrame only for what that class means to assistive tools: a focus frame is no control
// of its own, so they pass it over. Its place is kept by the seat, not by QFocusFrame::setWidget.
class FocusFrame : public QFocusFrame {
public:
    using QFocusFrame::QFocusFrame;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect outer = rect();
        const QRect dark = outer.adjusted(kLightBand, kLightBand, -kLightBand, -kLightBand);
        const QRect picture = outer.adjusted(kFrameWidth, kFrameWidth, -kFrameWidth, -kFrameWidth);
        painter.setClipRegion(QRegion(outer).subtracted(QRegion(picture)));
        painter.fillRect(outer, Qt::white);
        painter.fillRect(dark, Qt::black);
    }
};

bool plainKey(const QKeyEvent* event) {
    return (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

#if QT_CONFIG(accessibility)
class SeatAccessible : public QAccessibleWidget {
public:
    explicit SeatAccessible(SeatPicture* seat) : QAccessibleWidget(seat, QAccessible::Button) {}

    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }
    void doAction(const QString& actionName) override {
        if (actionName == pressAction())
            static_cast<SeatPicture*>(widget())->clickLater();
        else
            QAccessibleWidget::doAction(actionName);
    }
    QStringList keyBindingsForAction(const QString& actionName) const override {
        if (actionName == pressAction())
            return {QStringLiteral("Space"), QStringLiteral("Return")};
        return QAccessibleWidget::keyBindingsForAction(actionName);
    }
};

QAccessibleInterface* seatAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("SeatPicture") && object && object->isWidgetType())
        return new SeatAccessible(static_cast<SeatPicture*>(object));
    return nullptr;
}
#endif

} // namespace

SeatPicture::SeatPicture(QWidget* parent) : ClickableLabel(parent) {
#if QT_CONFIG(accessibility)
    static const bool installed = [] {
        QAccessible::installFactory(seatAccessible);
        return true;
    }();
    Q_UNUSED(installed);
#endif
    setFocusPolicy(Qt::StrongFocus);
    if (parent) {
        m_frame = new FocusFrame(parent);
        m_frame->setObjectName(QStringLiteral("focusFrame"));
        m_frame->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_frame->hide();
    }
}

SeatPicture::~SeatPicture() {
    delete m_frame;
}

void SeatPicture::clickLater() {
    QTimer::singleShot(0, this, &SeatPicture::clicked);
}

void SeatPicture::keyPressEvent(QKeyEvent* event) {
    if (plainKey(event)) {
        switch (event->key()) {
        case Qt::Key_Space:
            // A click happens on release, as with a button.
            if (!event->isAutoRepeat())
                m_spacePressed = true;
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!event->isAutoRepeat())
                emit clicked();
            return;
        default:
            break;
        }
    }
    ClickableLabel::keyPressEvent(event);
}

void SeatPicture::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat() && m_spacePressed) {
        m_spacePressed = false;
        emit clicked();
        return;
    }
    ClickableLabel::keyReleaseEvent(event);
}

void SeatPicture::focusInEvent(QFocusEvent* event) {
    ClickableLabel::focusInEvent(event);
    placeFrame();
}

void SeatPicture::focusOutEvent(QFocusEvent* event) {
    m_spacePressed = false;
    ClickableLabel::focusOutEvent(event);
    placeFrame();
}

void SeatPicture::moveEvent(QMoveEvent* event) {
    ClickableLabel::moveEvent(event);
    placeFrame();
}

void SeatPicture::resizeEvent(QResizeEvent* event) {
    ClickableLabel::resizeEvent(event);
    placeFrame();
}

void SeatPicture::hideEvent(QHideEvent* event) {
    ClickableLabel::hideEvent(event);
    placeFrame();
}

void SeatPicture::placeFrame() {
    if (!m_frame)
        return;
    // Shown only while this seat has the focus; its window need not be the active one.
    if (!hasFocus() || isHidden()) {
        m_frame->hide();
        return;
    }
    m_frame->setGeometry(geometry().adjusted(-kFrameWidth, -kFrameWidth, kFrameWidth, kFrameWidth));
    m_frame->stackUnder(this);
    m_frame->show();
}
