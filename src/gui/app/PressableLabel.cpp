#include "PressableLabel.h"

#include <QFocusFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QTimer>

#include <algorithm>

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
// Room left between a text and its frame, so that the frame does not touch the letters.
constexpr int kTextMargin = 2;

// A QFocusFrame only for what that class means to assistive tools: a focus frame is no control
// of its own, so they pass it over. Its place is kept by the label, not by QFocusFrame::setWidget.
class FocusFrame : public QFocusFrame {
public:
    using QFocusFrame::QFocusFrame;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect outer = rect();
        const QRect dark = outer.adjusted(kLightBand, kLightBand, -kLightBand, -kLightBand);
        const QRect framed = outer.adjusted(kFrameWidth, kFrameWidth, -kFrameWidth, -kFrameWidth);
        painter.setClipRegion(QRegion(outer).subtracted(QRegion(framed)));
        painter.fillRect(outer, Qt::white);
        painter.fillRect(dark, Qt::black);
    }
};

bool plainKey(const QKeyEvent* event) {
    return (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

#if QT_CONFIG(accessibility)
class PressableAccessible : public QAccessibleWidget {
public:
    explicit PressableAccessible(PressableLabel* label)
        : QAccessibleWidget(label,
                            label->role() == PressableLabel::Role::Link ? QAccessible::Link : QAccessible::Button) {}

    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }
    void doAction(const QString& actionName) override {
        if (actionName == pressAction())
            static_cast<PressableLabel*>(widget())->clickLater();
        else
            QAccessibleWidget::doAction(actionName);
    }
    QStringList keyBindingsForAction(const QString& actionName) const override {
        if (actionName == pressAction())
            return {QStringLiteral("Space"), QStringLiteral("Return")};
        return QAccessibleWidget::keyBindingsForAction(actionName);
    }
};

QAccessibleInterface* pressableAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("PressableLabel") && object && object->isWidgetType())
        return new PressableAccessible(static_cast<PressableLabel*>(object));
    return nullptr;
}
#endif

} // namespace

PressableLabel::PressableLabel(Role role, QWidget* parent) : ClickableLabel(parent), m_role(role) {
#if QT_CONFIG(accessibility)
    static const bool installed = [] {
        QAccessible::installFactory(pressableAccessible);
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

PressableLabel::~PressableLabel() {
    delete m_frame;
}

void PressableLabel::clickLater() {
    QTimer::singleShot(0, this, &PressableLabel::clicked);
}

void PressableLabel::keyPressEvent(QKeyEvent* event) {
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

void PressableLabel::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat() && m_spacePressed) {
        m_spacePressed = false;
        emit clicked();
        return;
    }
    ClickableLabel::keyReleaseEvent(event);
}

void PressableLabel::focusInEvent(QFocusEvent* event) {
    ClickableLabel::focusInEvent(event);
    placeFrame();
}

void PressableLabel::focusOutEvent(QFocusEvent* event) {
    m_spacePressed = false;
    ClickableLabel::focusOutEvent(event);
    placeFrame();
}

void PressableLabel::moveEvent(QMoveEvent* event) {
    ClickableLabel::moveEvent(event);
    placeFrame();
}

void PressableLabel::resizeEvent(QResizeEvent* event) {
    ClickableLabel::resizeEvent(event);
    placeFrame();
}

void PressableLabel::hideEvent(QHideEvent* event) {
    ClickableLabel::hideEvent(event);
    placeFrame();
}

void PressableLabel::frameTextOf(QWidget* shown) {
    m_shown = shown;
    placeFrame();
}

QRect PressableLabel::framedArea() const {
    const auto* text = qobject_cast<const QLabel*>(m_shown.data());
    if (!text)
        return geometry();
    // The width the text takes where the label puts it, across the label's full height: the frame
    // then lies outside the label above and below, and never on a letter.
    const QRect room = text->contentsRect();
    const int width = std::min(text->fontMetrics().horizontalAdvance(text->text()), room.width());
    const QRect inLabel = QStyle::alignedRect(text->layoutDirection(), text->alignment(), {width, room.height()}, room);
    return inLabel.translated(text->pos()).adjusted(-kTextMargin, 0, kTextMargin, 0);
}

void PressableLabel::placeFrame() {
    if (!m_frame)
        return;
    // Shown only while this label has the focus; its window need not be the active one.
    if (!hasFocus() || isHidden()) {
        m_frame->hide();
        return;
    }
    m_frame->setGeometry(framedArea().adjusted(-kFrameWidth, -kFrameWidth, kFrameWidth, kFrameWidth));
    m_frame->stackUnder(this);
    m_frame->show();
}
