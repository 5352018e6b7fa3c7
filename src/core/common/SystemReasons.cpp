#include "SystemReasons.h"

#include <QHash>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>

namespace systemreasons {
namespace {

QHash<QString, QString> makeSystemKeys() {
    const struct {
        int error;
        const char* key;
    } errors[] = {
        {ENOENT, "strReasonMissing"},
        {ENOTDIR, "strReasonMissing"},
        {EACCES, "strReasonPermission"},
        {EPERM, "strReasonPermission"},
        {EROFS, "strReasonReadOnlyFs"},
        {ENOSPC, "strReasonNoSpace"},
#ifdef EDQUOT
        {EDQUOT, "strReasonNoSpace"},
#endif
#ifdef ELOOP
        {ELOOP, "strReasonTooManyLinks"},
#endif
        {EMLINK, "strReasonTooManyLinks"},
        {EISDIR, "strReasonIsFolder"},
        {EEXIST, "strReasonExists"},
        {EIO, "strReasonIo"},
        {EBUSY, "strReasonBusy"},
        {EXDEV, "strReasonOtherDisk"},
        {ENAMETOOLONG, "strReasonNameTooLong"},
    };
    QHash<QString, QString> keys;
    for (const auto& e : errors)
        keys.insert(QString::fromLocal8Bit(std::strerror(e.error)), QString::fromLatin1(e.key));
    return keys;
}

const QList<OwnReason>& ownTable() {
    static const QList<OwnReason> table{
        {own::kIsFolder, "strReasonIsFolder"},
        {own::kFolder, "strReasonIsFolder"},
        {own::kNotAFile, "strReasonNotAFile"},
        {own::kReadOnlyFile, "strReasonReadOnlyFile"},
        {own::kSomethingThere, "strReasonExists"},
        {own::kNoTemporaryName, "strReasonNoTemporaryName"},
        {own::kNoTemporaryFolderName, "strReasonNoTemporaryName"},
        {own::kOwnerNotKept, "strReasonOwnerNotKept"},
        {own::kFolderOwnerNotSet, "strReasonFolderOwnerNotSet"},
        {own::kFolderNotWritable, "strReasonFolderNotWritable"},
        {own::kNewContentIn, "strReasonNewContentIn"},
        {own::kFolderMissing, "strReasonMissing"},
        {own::kAccessDenied, "strReasonPermission"},
        {own::kNotPermitted, "strReasonPermission"},
        {own::kWriteIncomplete, "strReasonWriteIncomplete"},
        {own::kFolderNotOpened, "strReasonFolderNotOpened"},
        {own::kFolderNotSynced, "strReasonNotStored"},
        {own::kFileNotCreated, "strReasonNotCreated"},
        {own::kFolderNotCreated, "strReasonFolderNotCreated"},
        {own::kTemporaryNotCreated, "strReasonNotCreated"},
        {own::kOwnerNotRead, "strReasonOwnerNotRead"},
        {own::kFolderOwnerNotRead, "strReasonOwnerNotRead"},
        {own::kModeNotSet, "strReasonModeNotSet"},
        {own::kAttributesNotSet, "strReasonModeNotSet"},
        {own::kNotStored, "strReasonNotStored"},
        {own::kNotReplaced, "strReasonNotReplaced"},
        {own::kNotPutInPlace, "strReasonNotReplaced"},
        {own::kNotRemoved, "strReasonNotRemoved"},
        {own::kLinkLoop, "strReasonLinkLoop"},
        {own::kLinkNotRead, "strReasonLinkNotRead"},
        {own::kTooManyLinks, "strReasonTooManyLinks"},
        {own::kOwnerNotReadOnly, "strReasonOwnerNotRead"},
        {own::kOwnerGroupNotSet, "strReasonOwnerNotKept"},
    };
    return table;
}

// The own reasons with details, as patterns that give the details back.
struct Pattern {
    QRegularExpression expression;
    QString key;
};

QList<Pattern> makePatterns() {
    QList<Pattern> patterns;
    for (const OwnReason& reason : ownTable()) {
        const QString pattern = QString::fromLatin1(reason.pattern);
        if (!pattern.contains(QLatin1Char('%')))
            continue;
        // The text between the placeholders as it stands, each placeholder any text.
        QStringList pieces;
        for (const QString& piece : pattern.split(QRegularExpression(QStringLiteral("%[12]"))))
            pieces.append(QRegularExpression::escape(piece));
        patterns.append({QRegularExpression(QLatin1Char('^') + pieces.join(QStringLiteral("(.*)")) + QLatin1Char('$'),
                                            QRegularExpression::DotMatchesEverythingOption),
                         QString::fromLatin1(reason.key)});
    }
    return patterns;
}

} // namespace

QString ownReason(const char* pattern, const QString& first, const QString& second) {
    QString text = QString::fromLatin1(pattern);
    if (text.contains(QStringLiteral("%2")))
        return text.arg(first, second);
    if (text.contains(QStringLiteral("%1")))
        return text.arg(first);
    return text;
}

std::optional<Told> told(const QString& reason) {
    static const QHash<QString, QString> systemKeys = makeSystemKeys();
    static const QList<Pattern> patterns = makePatterns();
    if (const auto found = systemKeys.constFind(reason); found != systemKeys.cend())
        return Told{*found, {}};
    for (const OwnReason& own : ownTable()) {
        if (reason == QLatin1String(own.pattern))
            return Told{QString::fromLatin1(own.key), {}};
    }
    for (const Pattern& pattern : patterns) {
        const QRegularExpressionMatch match = pattern.expression.match(reason);
        if (match.hasMatch())
            return Told{pattern.key, match.capturedTexts().mid(1)};
    }
    return std::nullopt;
}

std::optional<QString> keyOf(const QString& reason) {
    const auto found = told(reason);
    if (!found || !found->details.isEmpty())
        return std::nullopt;
    return found->key;
}

QList<OwnReason> ownReasons() {
    return ownTable();
}

} // namespace systemreasons
