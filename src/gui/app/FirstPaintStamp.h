#pragma once

#include <QEvent>
#include <QFontInfo>
#include <QObject>
#include <QStringList>
#include <QWidget>

#include <chrono>
#include <cstdio>

// Start-up timing from outside the process: with MEROVAN_FIRST_PAINT_STAMP set, a window's first
// paint writes "first-paint <monotonic clock in ns>" to standard error, and then
// "first-paint-fonts <families>": the font families the window and its controls really got, so
// that a test sees a missing font fall back. Header-only, so that the benchmark's minimal floor
// program stamps its window exactly the same way.
class FirstPaintStamp : public QObject {
public:
    using QObject::QObject;

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
            if (auto* window = qobject_cast<QWidget*>(watched)) {
                QList<QWidget*> widgets = window->findChildren<QWidget*>();
                widgets.prepend(window);
                for (const QWidget* widget : widgets) {
                    const QString family = QFontInfo(widget->font()).family();
                    if (!families.contains(family))
                        families.append(family);
                }
            }
            families.sort();
            std::fprintf(stderr, "first-paint-fonts %s\n", families.join(QLatin1Char('|')).toUtf8().constData());
            std::fflush(stderr);
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }
};
