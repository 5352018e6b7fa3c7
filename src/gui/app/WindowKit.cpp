#include "WindowKit.h"

#include "ClickableLabel.h"
#include "Dialogs.h"
#include "Fonts.h"
#include "MessageFit.h"
#include "PressableLabel.h"
#include "Twips.h"
#include "core/common/ProductInfo.h"
#include "core/common/SystemReasons.h"
#include "core/settings/BuiltinTexts.h"
#include "core/settings/LanguageStore.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>

#include <utility>

#if QT_CONFIG(accessibility)
#include <QAccessible>
#include <QAccessibleWidget>
#endif

namespace kit {

void centreOnScreen(QWidget* window) {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window->move(screen->availableGeometry().center() - window->rect().center());
}

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

namespace {

// Marks a widget that only shows what another control already tells assistive tools.
constexpr char kShownOnly[] = "merovanShownOnly";
// Marks a window that assistive tools are told is a dialog.
constexpr char kDialog[] = "merovanDialog";

bool shownOnly(const QObject* object) {
    return object && object->property(kShownOnly).toBool();
}

#if QT_CONFIG(accessibility)
// A plain container (a window or area made of a QWidget) as assistive tools meet it: as Qt presents
// it, less the children marked as shown only, so that a screen reader does not meet their text
// twice. The marks are read each time the children are asked for, so a mark made after the
// container was first asked about counts too.
class ContainerAccessible : public QAccessibleWidget {
public:
    using QAccessibleWidget::QAccessibleWidget;

    // A window marked as a dialog is told as one (its name is its title, as for every window).
    QAccessible::Role role() const override {
        return object()->property(kDialog).toBool() ? QAccessible::Dialog : QAccessibleWidget::role();
    }

    int childCount() const override { return told().size(); }
    QAccessibleInterface* child(int index) const override {
        const QList<QAccessibleInterface*> children = told();
        return index >= 0 && index < children.size() ? children.at(index) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return told().indexOf(const_cast<QAccessibleInterface*>(child));
    }

private:
    QList<QAccessibleInterface*> told() const {
        QList<QAccessibleInterface*> children;
        for (int i = 0; i < QAccessibleWidget::childCount(); ++i) {
            QAccessibleInterface* child = QAccessibleWidget::child(i);
            if (child && !shownOnly(child->object()))
                children.append(child);
        }
        return children;
    }
};

// Only for widgets that Qt presents as a plain QWidget (QWidget itself, or classes of ours made
// directly from it): for any Qt class below QWidget, Qt's own presentation stays.
bool plainWidgetClass(const QMetaObject* meta) {
    for (; meta && meta != &QWidget::staticMetaObject; meta = meta->superClass()) {
        if (meta->className()[0] == 'Q')
            return false;
    }
    return meta != nullptr;
}

QAccessibleInterface* containerAccessible(const QString&, QObject* object) {
    if (!object || !object->isWidgetType() || !plainWidgetClass(object->metaObject()))
        return nullptr;
    return new ContainerAccessible(static_cast<QWidget*>(object));
}
#endif

} // namespace

namespace {

// Presents `container` through ContainerAccessible from now on, also where Qt presented it before.
void presentAsContainer(QWidget* container) {
#if QT_CONFIG(accessibility)
    // The factory asked last comes first: it must come before the one QApplication installs,
    // which presents every QWidget, and that one goes with each QApplication.
    QAccessible::removeFactory(containerAccessible);
    QAccessible::installFactory(containerAccessible);
    // A container that was presented before (an event while it was built) is presented anew.
    if (container && plainWidgetClass(container->metaObject())) {
        QAccessibleInterface* presented = QAccessible::queryAccessibleInterface(container);
        if (presented && !dynamic_cast<ContainerAccessible*>(presented))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(presented));
    }
#else
    Q_UNUSED(container);
#endif
}

} // namespace

void hideFromAssistiveTools(QWidget* shown) {
    shown->setProperty(kShownOnly, true);
    presentAsContainer(shown->parentWidget());
}

void tellAsDialog(QWidget* window) {
    window->setProperty(kDialog, true);
    presentAsContainer(window);
}

void activateWhenShown(QWidget* window) {
    window->installEventFilter(new ActivateWhenShown(window));
}

QFont font(const QString& family, double points, bool bold, bool underline) {
    QFont f(fonts::family(family));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
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

QString captionName(const QString& caption) {
    QString name = caption.trimmed();
    for (const QLatin1String tail : {QLatin1String("..."), QLatin1String(":")}) {
        if (name.endsWith(tail)) {
            name.chop(tail.size());
            break;
        }
    }
    return name.trimmed();
}

void nameList(QComboBox* list, const QString& name) {
    list->setAccessibleName(name);
    list->view()->setAccessibleName(name);
}

QString webAddressText(const QString& address) {
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

WebLink webLink(QWidget* parent, const QRect& textTwips, const QRect& areaTwips, Dialogs& dialogs) {
    const QString address = QString::fromUtf8(product::kWebAddress);
    WebLink link;
    link.Label6 = label(parent, "Label6", webAddressText(address), textTwips);
    link.Label6->setAlignment(Qt::AlignCenter);
    link.Label6->setFont(font(QStringLiteral("Tahoma"), 8.25, true));
    QPalette navy = link.Label6->palette();
    navy.setColor(QPalette::WindowText, kNavy);
    link.Label6->setPalette(navy);
    // Label4 tells the address as the link's name; Label6 would tell it a second time.
    hideFromAssistiveTools(link.Label6);

    link.Label4 = new PressableLabel(PressableLabel::Role::Link, parent);
    link.Label4->setObjectName(QStringLiteral("Label4"));
    link.Label4->setGeometry(twips::rect(areaTwips.x(), areaTwips.y(), areaTwips.width(), areaTwips.height()));
    link.Label4->setFocusPolicy(Qt::TabFocus);
    link.Label4->frameTextOf(link.Label6);
    link.Label4->setAccessibleName(link.Label6->text());
    QObject::connect(link.Label4, &ClickableLabel::clicked, link.Label4,
                     [&dialogs, address] { dialogs.openUrl(address); });
    return link;
}

void setLinkPointer(ClickableLabel* area, const QString& iconPath, QPoint hotSpot) {
    const QPixmap pointer(iconPath);
    if (pointer.isNull())
        return;
    area->setCursor(QCursor(pointer, pointer.width() * hotSpot.x() / 32, pointer.height() * hotSpot.y() / 32));
}

Texts::Texts(QString database) : m_database(std::move(database)) {}

std::optional<QString> Texts::lookUp(const QString& key) const {
    return tryLanguageText(m_database, key);
}

void Texts::apply(const QString& key, const QString& suffix, const std::function<void(const QString&)>& apply) const {
    if (const auto found = lookUp(key))
        apply(*found + suffix);
}

QString Texts::text(const QString& key) const {
    return lookUp(key).value_or(QString());
}

QString Texts::messageText(const QString& key) const {
    return ::messageText(m_database, key);
}

QString Texts::textOr(const QString& key, const QString& fallback) const {
    const auto found = lookUp(key);
    return found && !found->isEmpty() ? *found : fallback;
}

QString Texts::reason(const QString& given) const {
    const auto told = systemreasons::told(given);
    if (!told)
        return given;
    QString text = messageText(told->key);
    if (text.isEmpty())
        return given;
    // The details of an own reason are the system's reasons (told in turn) or paths, put in all in
    // one pass.
    QStringList details = told->details;
    for (QString& detail : details)
        detail = reason(detail);
    if (details.size() >= 2)
        return text.arg(details[0], details[1]);
    return details.isEmpty() ? text : text.arg(details[0]);
}

QString Texts::message(const QString& key, const QStringList& given) const {
    QStringList details = given;
    for (QString& detail : details)
        detail = reason(detail);
    const QString result = messageText(key);
    if (result.isEmpty())
        return details.isEmpty() ? key : key + QStringLiteral(": ") + details.join(QStringLiteral(", "));
    switch (details.size()) {
    case 0:
        return result;
    case 1:
        return result.arg(details[0]);
    case 2:
        return result.arg(details[0], details[1]);
    default:
        return result.arg(details[0], details[1], details[2]);
    }
}

} // namespace kit

namespace kit {

QString Texts::compose(const QList<MessagePart>& parts) const {
    QString shown;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i == 1)
            shown += QStringLiteral("\n\n");
        else if (i > 1)
            shown += QLatin1Char(' ');
        shown += message(parts[i].key, parts[i].details);
    }
    return shown;
}

QString Texts::sentences(const QList<MessagePart>& parts) const {
    QStringList texts;
    for (const MessagePart& part : parts)
        texts.append(message(part.key, part.details));
    return texts.join(QLatin1Char(' '));
}

QString Texts::itemised(const QList<MessagePart>& parts) const {
    QStringList texts;
    for (const MessagePart& part : parts)
        texts.append(message(part.key, part.details));
    if (texts.size() > 1)
        texts[0] += QLatin1Char('\n');
    return texts.join(QLatin1Char('\n'));
}

QString Texts::ownText(const QString& key) const {
    return textOr(key, builtin::text(key).value_or(key));
}

QString Texts::ownMessage(const MessagePart& part) const {
    QString text = ownText(part.key);
    for (const QString& detail : part.details)
        text = text.arg(detail);
    return text;
}

QString Texts::fileProblem(const MessagePart& part) const {
    return ownText(part.key) + QStringLiteral("\n\n") + part.details.value(0) + QLatin1Char('\n') +
           reason(part.details.value(1));
}

QString Texts::listed(const QList<MessagePart>& messages) const {
    return listed(messages, messageRoom());
}

QString Texts::listed(const QList<MessagePart>& messages, const MessageRoom& room) const {
    QStringList texts;
    for (const MessagePart& part : messages.first(std::min<qsizetype>(messages.size(), kListedAtMost)))
        texts.append(message(part.key, part.details));
    // As many as fit the room (at least one), then how many more there are.
    for (;;) {
        const qsizetype more = messages.size() - texts.size();
        const QString shown =
            texts.join(QStringLiteral("\n\n")) +
            (more > 0 ? QStringLiteral("\n\n") + message(QStringLiteral("strListMore"), {QString::number(more)})
                      : QString());
        if (texts.size() <= 1 || room.width <= 0 || heightOf(fitted(shown, room), room) <= room.height)
            return shown;
        texts.removeLast();
    }
}

} // namespace kit
