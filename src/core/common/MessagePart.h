#pragma once

#include <QString>
#include <QStringList>

// One sentence of a message the user is shown: a language key and the texts for its placeholders
// %1, %2, ... The logic says what to tell; a window turns it into words.
struct MessagePart {
    QString key;
    QStringList details;
    friend bool operator==(const MessagePart&, const MessagePart&) = default;
};
