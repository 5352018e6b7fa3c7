#pragma once

// Finding the controls of a window by their names, failing loudly: a test never goes on with a
// control, or triggers a command, that is not there.

#include <QAction>
#include <QApplication>
#include <QByteArray>
#include <QCoreApplication>
#include <QObject>
#include <QTest>
#include <QTimer>

#include <memory>
#include <stdexcept>

namespace controls {

// Thrown after the failure has been recorded: what follows in the test would only dereference
// the missing control.
class MissingControl : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] inline void failMissing(const QByteArray& message) {
    QTest::qFail(message.constData(), __FILE__, __LINE__);
    throw MissingControl(message.toStdString());
}

// The child of `parent` of type T named `name`.
template <typename T> T* child(const QObject* parent, const char* name) {
    if (!parent)
        failMissing(QByteArray("no window to look for ") + name + " in");
    T* found = parent->findChild<T*>(QString::fromUtf8(name));
    if (!found)
        failMissing(QByteArray("no ") + T::staticMetaObject.className() + " named " + name);
    return found;
}

// Triggers the menu command `name` of `window` as a click on it would: only when it exists and is
// enabled.
inline void triggerAction(const QObject* window, const char* name) {
    QAction* action = child<QAction>(window, name);
    if (!action->isEnabled())
        failMissing(QByteArray("the command ") + name + " is disabled");
    action->trigger();
}

// Lets what the program has posted happen: queued calls, zero-time timers and the deletion of
// closed windows, until nothing more is posted.
inline void settle() {
    for (int round = 0; round < 10; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// Runs `handler` once, as soon as a visible modal window of type T is active: arm the watch, then
// call what opens the window and waits in its own event loop. The watch lasts as long as its timer.
template <typename T, typename Handler> std::unique_ptr<QTimer> whenModal(Handler handler) {
    auto poll = std::make_unique<QTimer>();
    QObject::connect(poll.get(), &QTimer::timeout, [timer = poll.get(), handler] {
        auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
        if (window && window->isVisible()) {
            timer->stop();
            handler(window);
        }
    });
    poll->start(5);
    return poll;
}

} // namespace controls
