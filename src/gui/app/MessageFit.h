#pragma once

#include "core/common/MessagePart.h"

#include <QFont>
#include <QList>
#include <QString>

class QScreen;
class Texts;

// Messages that fit the screen. A message box wraps its text at a width of its own; a path, which
// has no blank to wrap at, would make the box as wide as the path, or tall with the path broken
// anywhere. So every run of text without a blank that is wider than the box's text is shortened in
// its middle ("D:\Spiele\…\aircraft.cfg"), and a listing shows only as many entries as fit.
namespace messagefit {

// The room a message has on a screen: the font message boxes show their text in, the width the
// text wraps at, and the height it may take, all in the screen's own (device-independent) pixels.
// The height leaves room for the box's title bar, its buttons and a task bar.
struct MessageRoom {
    QFont font;
    int width = 0;
    int height = 0;
};

// The room on `screen` (the primary screen when null); an empty room (width 0) when there is no
// screen at all.
MessageRoom messageRoom(const QScreen* screen = nullptr);

// `text` with every run without a blank (or a line break) that is wider than the room shortened in
// its middle to the room's width, and kept from breaking (word joiners between its characters), so
// that it stays on one line. Without a room the text stays as it is.
QString fitted(const QString& text, const MessageRoom& room);

// The width of the widest line of `text` as it stands, and the height it takes wrapped at the
// room's width.
int widestLine(const QString& text, const MessageRoom& room);
int heightOf(const QString& text, const MessageRoom& room);

// Several messages as one text (see Texts::listed): as many as fit the room's height, wrapped at
// its width, with their long runs shortened. The primary screen's room unless given.
QString listed(const Texts& texts, const QList<MessagePart>& messages);
QString listed(const Texts& texts, const QList<MessagePart>& messages, const MessageRoom& room);

} // namespace messagefit
