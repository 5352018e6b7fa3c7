#include "SystemReasons.h"

#include "AtomicFile.h"

#include <QHash>

#include <cerrno>
#include <cstring>

namespace systemreasons {
namespace {

QHash<QString, QString> makeKeys() {
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
    // The program's own file routines.
    keys.insert(QStringLiteral("it is a folder, not a file"), QStringLiteral("strReasonIsFolder"));
    keys.insert(QStringLiteral("it is not a file (but a pipe, a socket or a device)"),
                QStringLiteral("strReasonNotAFile"));
    keys.insert(QStringLiteral("the file is read-only"), QStringLiteral("strReasonReadOnlyFile"));
    keys.insert(QString::fromLatin1(atomicfile::kLinkLoop), QStringLiteral("strReasonLinkLoop"));
    return keys;
}

} // namespace

std::optional<QString> keyOf(const QString& reason) {
    static const QHash<QString, QString> keys = makeKeys();
    const auto found = keys.constFind(reason);
    if (found == keys.cend())
        return std::nullopt;
    return *found;
}

} // namespace systemreasons
