// What assistive tools meet of the program's windows: dialogs, shown-only texts, caption names.
#include "Accessibility.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QWidget>

#if QT_CONFIG(accessibility)
#include <QAccessible>
#include <QAccessibleWidget>
#endif

namespace accessibility {
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

} // namespace accessibility
