#pragma once

#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QObject>
#include <QPushButton>
#include <QStringList>
#include <QWidget>

#include <chrono>
#include <cstdio>

// Start-up timing from outside the process: with MEROVAN_FIRST_PAINT_STAMP set, a window's first
// paint writes "first-paint <monotonic clock in ns>" to standard error, then
// "first-paint-fonts <families>": the font families the window and its controls really got, so
// that a test sees a missing font fall back, and "first-paint-cut <names>": the labels and buttons
// whose caption does not fit them whole (nothing after the colon when every one fits).
// Header-only, so that the benchmark's minimal floor program stamps its window exactly the same way.
class FirstPaintStamp : public QObject {
public:
    using QObject::QObject;

    // Whether a label's or a button's caption fits it whole in the font it got.
    static bool captionWhole(const QWidget* widget) {
        const QFontMetrics metrics(widget->font());
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            if (label->text().isEmpty() || label->wordWrap())
                return true;
            return metrics.horizontalAdvance(label->text()) <= label->contentsRect().width();
        }
        if (const auto* button = qobject_cast<const QPushButton*>(widget))
            return button->text().isEmpty() || metrics.horizontalAdvance(button->text()) < button->width();
        return true;
    }

    // Stamps the first paint of `window` when the environment asks for it.
    static void installIfAsked(QObject* window) {
        if (qEnvironmentVariableIsSet("MEROVAN_FIRST_PAINT_STAMP"))
            window->installEventFilter(new FirstPaintStamp(window));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            const auto now = std::chrono::steady_clock::now().time_since_epoch();
            std::fprintf(stderr, "first-paint %lld\n",
                         static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
            std::fflush(stderr);
            QStringList families;
            QStringList cut;
            if (auto* window = qobject_cast<QWidget*>(watched)) {
                QList<QWidget*> widgets = window->findChildren<QWidget*>();
                widgets.prepend(window);
                for (const QWidget* widget : widgets) {
                    const QString family = QFontInfo(widget->font()).family();
                    if (!families.contains(family))
                        families.append(family);
                    if (!captionWhole(widget))
                        cut.append(widget->objectName());
                }
            }
            families.sort();
            std::fprintf(stderr, "first-paint-fonts %s\n", families.join(QLatin1Char('|')).toUtf8().constData());
            std::fprintf(stderr, "first-paint-cut:%s\n", cut.join(QLatin1Char('|')).toUtf8().constData());
            std::fflush(stderr);
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }
};
