// The program's texts in the language in force, and its messages worded from their parts.
#include "Texts.h"

#include "core/common/SystemReasons.h"
#include "core/settings/BuiltinTexts.h"
#include "core/settings/LanguageStore.h"

#include <algorithm>
#include <utility>

namespace {

// `text` with each placeholder %1 ... %99 that has a detail replaced by that detail, all in one
// pass: what a detail holds (a "%2" in a path) is never taken for a placeholder. A placeholder
// without a detail stays as it is.
QString filledIn(const QString& text, const QStringList& details) {
    if (details.isEmpty())
        return text;
    const auto digit = [&text](qsizetype at) {
        return at < text.size() && text[at] >= u'0' && text[at] <= u'9' ? int(text[at].unicode() - u'0') : -1;
    };
    QString result;
    result.reserve(text.size());
    qsizetype done = 0;
    for (qsizetype at = text.indexOf(u'%'); at >= 0; at = text.indexOf(u'%', at + 1)) {
        int number = digit(at + 1);
        if (number < 0)
            continue;
        qsizetype end = at + 2;
        if (const int second = digit(end); second >= 0) {
            number = number * 10 + second;
            ++end;
        }
        if (number < 1 || number > details.size())
            continue;
        result += QStringView(text).mid(done, at - done);
        result += details[number - 1];
        done = end;
        at = end - 1;
    }
    result += QStringView(text).mid(done);
    return result;
}

} // namespace

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
    const QString text = messageText(told->key);
    if (text.isEmpty())
        return given;
    // The details of an own reason are the system's reasons (told in turn) or paths.
    QStringList details = told->details;
    for (QString& detail : details)
        detail = reason(detail);
    return filledIn(text, details);
}

QString Texts::message(const QString& key, const QStringList& given) const {
    QStringList details = given;
    for (QString& detail : details)
        detail = reason(detail);
    const QString text = messageText(key);
    if (text.isEmpty())
        return details.isEmpty() ? key : key + QStringLiteral(": ") + details.join(QStringLiteral(", "));
    return filledIn(text, details);
}

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
    return filledIn(ownText(part.key), part.details);
}

QString Texts::fileProblem(const MessagePart& part) const {
    return ownText(part.key) + QStringLiteral("\n\n") + part.details.value(0) + QLatin1Char('\n') +
           reason(part.details.value(1));
}

QString Texts::listed(const QList<MessagePart>& messages, const std::function<bool(const QString&)>& fits) const {
    QStringList texts;
    for (const MessagePart& part : messages.first(std::min<qsizetype>(messages.size(), kListedAtMost)))
        texts.append(message(part.key, part.details));
    // As many as fit (at least one), then how many more there are.
    for (;;) {
        const qsizetype more = messages.size() - texts.size();
        const QString shown =
            texts.join(QStringLiteral("\n\n")) +
            (more > 0 ? QStringLiteral("\n\n") + message(QStringLiteral("strListMore"), {QString::number(more)})
                      : QString());
        if (texts.size() <= 1 || fits(shown))
            return shown;
        texts.removeLast();
    }
}
