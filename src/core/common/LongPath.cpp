#include "LongPath.h"

#include <QDir>
#include <QStringList>

#include <optional>

namespace longpath {
namespace {

bool isSeparator(QChar c) {
    return c == u'/' || c == u'\\';
}

bool isDriveLetter(QChar c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

QString withBackslashes(QString path) {
    return path.replace(u'/', u'\\');
}

// An absolute path taken apart: its root in the extended form, ending with "\", and its names.
struct Absolute {
    QString root;
    QStringList names;
};

// Adds the names of `text`, which ends a path, to `names` the way the system reads them.
void addNames(QStringList& names, QStringView text) {
    QStringList parts;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i == text.size() || isSeparator(text[i])) {
            if (i > start)
                parts.append(text.mid(start, i - start).toString());
            start = i + 1;
        }
    }
    if (!parts.isEmpty() && !isSeparator(text.back())) {
        QString& name = parts.last();
        if (name != QLatin1String(".") && name != QLatin1String("..")) {
            while (!name.isEmpty() && (name.back() == u'.' || name.back() == u' '))
                name.chop(1);
            if (name.isEmpty())
                parts.removeLast();
        }
    }
    for (const QString& part : parts) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (!names.isEmpty())
                names.removeLast();
            continue;
        }
        names.append(part);
    }
}

// `path` taken apart when it is absolute: "C:\..." or "\\server\share\...".
std::optional<Absolute> splitAbsolute(const QString& path) {
    if (path.size() >= 3 && isDriveLetter(path[0]) && path[1] == u':' && isSeparator(path[2])) {
        Absolute absolute{QStringLiteral("\\\\?\\") + path.left(2) + u'\\', {}};
        addNames(absolute.names, QStringView(path).mid(3));
        return absolute;
    }
    if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) {
        const QStringView rest = QStringView(path).mid(2);
        qsizetype server = 0;
        while (server < rest.size() && !isSeparator(rest[server]))
            ++server;
        qsizetype share = server + 1;
        while (share < rest.size() && !isSeparator(rest[share]))
            ++share;
        if (server == 0 || share > rest.size() || share == server + 1)
            return std::nullopt; // no server, or no share
        Absolute absolute{QStringLiteral("\\\\?\\UNC\\") + rest.left(server).toString() + u'\\' +
                              rest.mid(server + 1, share - server - 1).toString() + u'\\',
                          {}};
        addNames(absolute.names, rest.mid(share));
        return absolute;
    }
    return std::nullopt;
}

} // namespace

QString extended(const QString& path, const QString& base) {
    if (path.isEmpty())
        return path;
    // Already extended ("\\?\", or the system's own "\??\"), or a device ("\\.\"): as written.
    if (path.size() >= 4 && isSeparator(path[0]) && isSeparator(path[3]) &&
        ((isSeparator(path[1]) && (path[2] == u'?' || path[2] == u'.')) || (path[1] == u'?' && path[2] == u'?')))
        return withBackslashes(path);

    const bool share = path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1]);
    const bool onDrive = path.size() >= 2 && isDriveLetter(path[0]) && path[1] == u':';
    if (share || (onDrive && path.size() >= 3 && isSeparator(path[2]))) {
        const auto absolute = splitAbsolute(path);
        return absolute ? absolute->root + absolute->names.join(u'\\') : withBackslashes(path);
    }

    // Relative: taken from the base.
    auto absolute = splitAbsolute(base);
    if (!absolute)
        return withBackslashes(path);
    QStringView rest(path);
    if (onDrive) {
        const QString drive = QStringLiteral("\\\\?\\") + path.left(2) + u'\\';
        if (absolute->root.compare(drive, Qt::CaseInsensitive) != 0)
            absolute = Absolute{drive, {}};
        rest = rest.mid(2);
    } else if (isSeparator(path[0])) {
        absolute->names.clear(); // from the root of the base's drive or share
    }
    addNames(absolute->names, rest);
    return absolute->root + absolute->names.join(u'\\');
}

QString extended(const QString& path) {
    return extended(path, QDir::currentPath());
}

} // namespace longpath
