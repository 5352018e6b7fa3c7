// Messages made to fit the screen: long runs shortened in the middle, listings cut to what fits.
#include "MessageFit.h"

#include "core/settings/Texts.h"

#include <QApplication>
#include <QFontMetrics>
#include <QRegularExpression>
#include <QScreen>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <climits>

namespace messagefit {
namespace {

// What a message box needs besides its text, in device-independent pixels: its title bar, its
// margins and buttons, and a task bar where the screen's available area does not leave it out.
constexpr int kBesidesTextHeight = 170;
// Beside the text: the icon and the margins.
constexpr int kBesidesTextWidth = 200;
// The widest a message's text gets, so that lines stay short enough to read.
constexpr int kWidestText = 640;
constexpr int kNarrowestText = 240;

} // namespace

MessageRoom messageRoom(const QScreen* screen) {
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const QRect area = screen->availableGeometry();
    MessageRoom room;
    // The font QMessageBox gives its text (the platform's message font, where it has one).
    room.font = QApplication::font("QMessageBoxLabel");
    room.width = std::clamp(area.width() - kBesidesTextWidth, kNarrowestText, kWidestText);
    room.height = std::max(area.height() - kBesidesTextHeight, QFontMetrics(room.font).lineSpacing() * 4);
    return room;
}

namespace {

// `run` without a place to break it: a word joiner between each two of its characters (as the
// user sees them). A text is wrapped not only at blanks but also after a "\\", a "/" or a "…",
// which would break a shortened path where what goes before it on its line leaves too little room;
// kept whole, it goes to a line of its own, which it fits. (A path that is not shortened keeps its
// characters as they are, so that it can be copied from the message.)
QString unbreakable(const QString& run) {
    QString joined;
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, run);
    qsizetype from = 0;
    for (qsizetype to = characters.toNextBoundary(); to > 0; to = characters.toNextBoundary()) {
        if (from > 0)
            joined += QChar(0x2060);
        joined += run.mid(from, to - from);
        from = to;
    }
    return joined;
}

} // namespace

QString fitted(const QString& text, const MessageRoom& room) {
    if (room.width <= 0)
        return text;
    const QFontMetrics metrics(room.font);
    static const QRegularExpression run(QStringLiteral("\\S+"));
    QString result;
    qsizetype done = 0;
    for (auto it = run.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QString word = match.captured();
        if (metrics.horizontalAdvance(word) <= room.width)
            continue;
        result += text.mid(done, match.capturedStart() - done);
        result += unbreakable(metrics.elidedText(word, Qt::ElideMiddle, room.width));
        done = match.capturedEnd();
    }
    return result + text.mid(done);
}

int widestLine(const QString& text, const MessageRoom& room) {
    const QFontMetrics metrics(room.font);
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

int heightOf(const QString& text, const MessageRoom& room) {
    const QFontMetrics metrics(room.font);
    return metrics.boundingRect(QRect(0, 0, room.width, INT_MAX), Qt::TextWordWrap, text).height();
}

QString listed(const Texts& texts, const QList<MessagePart>& messages) {
    return listed(texts, messages, messageRoom());
}

QString listed(const Texts& texts, const QList<MessagePart>& messages, const MessageRoom& room) {
    return texts.listed(messages, [&room](const QString& shown) {
        return room.width <= 0 || heightOf(fitted(shown, room), room) <= room.height;
    });
}

} // namespace messagefit
