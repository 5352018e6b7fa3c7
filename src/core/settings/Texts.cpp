// The program's texts in the language in force, and its messages worded from their parts.
#include "Texts.h"

#include "core/common/SystemReasons.h"
#include "core/settings/BuiltinTexts.h"
#include "core/settings/LanguageStore.h"

#include <algorithm>
#include <utility>

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
    const QString text = messageText(key);
    if (text.isEmpty())
        return details.isEmpty() ? key : key + QStringLiteral(": ") + details.join(QStringLiteral(", "));
    switch (details.size()) {
    case 0:
        return text;
    case 1:
        return text.arg(details[0]);
    case 2:
        return text.arg(details[0], details[1]);
    default:
        return text.arg(details[0], details[1], details[2]);
    }
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
    QString text = ownText(part.key);
    for (const QString& detail : part.details)
        text = text.arg(detail);
    return text;
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
