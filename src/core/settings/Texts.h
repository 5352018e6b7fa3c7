#pragma once

#include "core/common/MessagePart.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The program's texts in the language in force: a control's caption by its language key, and the
// messages the user is shown, worded from their parts with every detail put in its place.
class Texts {
public:
    // Texts from the language database at `database` (looked up anew each time).
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
    // The message text of `key` with its placeholders %1, %2, ... filled in by the details, all in
    // one pass (so that a "%1" inside a file name stays as it is), however many details there are.
    // Should there be no text for it at all, the key and the details still tell what happened. A
    // detail that is a reason the system gave (see SystemReasons.h) is told in the program's
    // language.
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
    // The own text of a message's key with its placeholders filled in, all in one pass.
    QString ownMessage(const MessagePart& part) const;
    // A file that could not be handled (details: the file, the reason): the own text of the key,
    // an empty line, the file, and the reason (in the program's language) on a line of its own.
    QString fileProblem(const MessagePart& part) const;

    // Several messages as one text, each after an empty line: at most kListedAtMost of them, and
    // no more than `fits` takes (but at least one), then "... and N more".
    static constexpr qsizetype kListedAtMost = 10;
    QString listed(const QList<MessagePart>& messages, const std::function<bool(const QString&)>& fits) const;

private:
    std::optional<QString> lookUp(const QString& key) const;

    QString m_database;
};
