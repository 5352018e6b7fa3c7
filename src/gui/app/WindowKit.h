#pragma once

#include "MessageFit.h"
#include "core/common/MessagePart.h"

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class ClickableLabel;
class Dialogs;
class PressableLabel;
class QComboBox;
class QLabel;
class QPushButton;
class QWidget;

// What the program's windows share: their place on the screen, their fonts, controls placed in
// twips and named after their given names, the maker's web link, and texts by language key.
namespace kit {

inline const QColor kNavy{0, 0, 128};

// Puts the window in the middle of the primary screen's available area.
void centreOnScreen(QWidget* window);

// Makes the window the active one each time it is shown, as the system does on Windows, so that
// its keys work at once, also where the window manager would leave the focus where it was.
void activateWhenShown(QWidget* window);

// Leaves a widget that only shows what another control tells out of what assistive tools meet of
// its parent (when the parent is a plain QWidget or a class of ours made from it), so that a screen
// reader does not read the same text twice. The widget still shows and takes clicks.
void hideFromAssistiveTools(QWidget* shown);

// Tells assistive tools that `window` (a window of a class of ours made directly from QWidget) is
// a dialog, named by its title, as a screen reader expects of the program's small windows.
void tellAsDialog(QWidget* window);

// A font of `family` (or, where the system lacks it, of its stand-in or the system's sans-serif
// user-interface font: see fonts::family()).
QFont font(const QString& family, double points, bool bold = false, bool underline = false);

// A label or a button of `parent` with its objectName, caption and place (in twips). Buttons do
// not take Enter as their own unless the window says so.
QLabel* label(QWidget* parent, const char* name, const QString& caption, const QRect& twipsGeometry);
QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QRect& twipsGeometry);

// The accessible name a caption gives the control beside it: without a trailing ":" or "...".
QString captionName(const QString& caption);

// Names a drop-down list for assistive tools, and the list it opens with it.
void nameList(QComboBox* list, const QString& name);

// The maker's web address as a window shows it: without "https://" (or "http://") and without
// the trailing "/".
QString webAddressText(const QString& address);

// The web link: Label6 shows the address (navy, Tahoma bold, centred) and Label4, an empty label
// lying over it, is the click area; a click opens the address in the browser, and whatever goes
// wrong there is not the user's concern. Label4 is created after Label6, so it lies above it.
// Screen readers meet only Label4: Label6 is hidden from them.
// Label4 is also the link for the keyboard and for screen readers: Tab reaches it (a click does
// not move the focus), it frames the address while it has the focus, and Return or Space opens
// the address as a click does. It is named after the address; the window puts it in its tab order.
struct WebLink {
    QLabel* Label6 = nullptr;
    PressableLabel* Label4 = nullptr;
};
WebLink webLink(QWidget* parent, const QRect& textTwips, const QRect& areaTwips, Dialogs& dialogs);

// The link's mouse pointer from an icon file; `hotSpot` is where it points, in 1/32 of the icon's
// size. A missing or unreadable icon leaves the default pointer.
void setLinkPointer(ClickableLabel* area, const QString& iconPath, QPoint hotSpot);

// Texts by language key from the language database in force (looked up anew each time).
class Texts {
public:
    explicit Texts(QString database);

    // Hands the text of `key` followed by `suffix` to `apply`. When the database cannot answer,
    // nothing is applied: the control keeps its design-time text. An absent key gives the empty
    // text, so the control shows only the suffix.
    void apply(const QString& key, const QString& suffix, const std::function<void(const QString&)>& apply) const;
    // The text of `key`; the empty text when the database cannot answer.
    QString text(const QString& key) const;
    // The text of `key` for a message; when the database cannot answer, the built-in text.
    QString messageText(const QString& key) const;
    // The text of `key`, or `fallback` when the database cannot answer or the text is empty.
    QString textOr(const QString& key, const QString& fallback) const;
    // The message text of `key` with its placeholders %1, %2, ... filled in, all in one pass (so
    // that a "%1" inside a file name stays as it is). Should there be no text for it at all, the
    // key and the details still tell what happened. A detail that is a reason the system gave
    // (see SystemReasons.h) is told in the program's language.
    QString message(const QString& key, const QStringList& details = {}) const;
    // A reason the system gave, in the program's language where it has words for it.
    QString reason(const QString& given) const;

    // The parts of one message joined as the user reads them: the first, an empty line, the rest
    // one after the other.
    QString compose(const QList<MessagePart>& parts) const;
    // The parts of one message as sentences one after the other.
    QString sentences(const QList<MessagePart>& parts) const;
    // The parts of one message as a list: the first, an empty line, then each on a line of its own.
    QString itemised(const QList<MessagePart>& parts) const;

    // The text of `key`, never empty: where the database has none (or cannot answer), the
    // built-in text, and failing that the key itself.
    QString ownText(const QString& key) const;
    // The own text of a message's key with its placeholders filled in.
    QString ownMessage(const MessagePart& part) const;
    // A file that could not be handled (details: the file, the reason): the own text of the key,
    // an empty line, the file, and the reason (in the program's language) on a line of its own.
    QString fileProblem(const MessagePart& part) const;

    // Several messages as one text, each after an empty line: at most kListedAtMost of them, and
    // no more than fit the room a message has on the screen (see MessageFit.h; the primary
    // screen's unless given), then "... and N more".
    static constexpr qsizetype kListedAtMost = 10;
    QString listed(const QList<MessagePart>& messages) const;
    QString listed(const QList<MessagePart>& messages, const MessageRoom& room) const;

private:
    std::optional<QString> lookUp(const QString& key) const;

    QString m_database;
};

} // namespace kit
