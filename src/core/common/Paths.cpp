#include "Paths.h"

#include <QCoreApplication>
#include <QDir>

namespace {

bool isSeparator(QChar c) {
    return c == u'/' || c == u'\\';
}

// The length of `path` up to and including its last separator; std::nullopt without one.
std::optional<qsizetype> folderLength(const QString& path) {
    for (qsizetype i = path.size(); i > 0; --i) {
        if (isSeparator(path[i - 1]))
            return i;
    }
    return std::nullopt;
}

} // namespace

bool namesIgnoreCase() {
#ifdef Q_OS_WIN
    return true;
#else
    return false;
#endif
}

QString GetAppPath() {
    return withTrailingSeparator(QCoreApplication::applicationDirPath());
}

QString withTrailingSeparator(const QString& folder) {
    if (!folder.isEmpty() && isSeparator(folder.back()))
        return folder;
    return folder + u'/';
}

QString joinPath(const QString& folder, const QString& name) {
    if (folder.isEmpty())
        return name;
    QString base = QDir::fromNativeSeparators(folder);
    while (base.size() > 1 && base.endsWith(u'/'))
        base.chop(1);
    if (base.endsWith(u'/'))
        return base + name;
    return base + u'/' + name;
}

QString GetPathName(const QString& path) {
    return path.left(folderLength(path).value_or(0));
}

std::optional<QString> GetPath_(const QString& fileName) {
    const auto length = folderLength(fileName);
    if (!length)
        return std::nullopt;
    return fileName.left(*length);
}
