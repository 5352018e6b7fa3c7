#include "Files.h"

#include "core/common/CopyLock.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace testfiles {

namespace {
constexpr auto kEverything = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System;
} // namespace

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size();
}

int modeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

QMap<QString, QByteArray> snapshot(const QString& folder, bool recursive) {
    QMap<QString, QByteArray> files;
    const QDir root(folder);
    QDirIterator it(folder, kEverything, recursive ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
    while (it.hasNext()) {
        const QString path = it.next();
        if (it.fileName() == QLatin1String(copylock::kLockFileName))
            continue;
        const QString relative = root.relativeFilePath(path);
        if (it.fileInfo().isDir())
            files.insert(relative + QLatin1Char('/'), QByteArray());
        else // a pipe or a socket is listed, never read
            files.insert(relative, it.fileInfo().isFile() ? readFile(path) : QByteArray());
    }
    return files;
}

QString longFolderPath(int length) {
    QString folder;
    while (folder.size() < length)
        folder += QStringLiteral("Flugzeuge und Beladungen 0123456789/");
    folder.chop(1);
    return folder;
}

bool isTemporaryFile(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    return name.startsWith(QLatin1Char('.')) && name.endsWith(QLatin1String(".tmp"));
}

QStringList temporaryFiles(const QString& folder) {
    QStringList found;
    QDirIterator it(folder, kEverything, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        if (const QString path = it.next(); isTemporaryFile(path))
            found.append(path);
    }
    found.sort();
    return found;
}

bool copyTree(const QString& from, const QString& to, const QStringList& leftOut) {
    const QDir source(from);
    if (!source.exists() || !QDir().mkpath(to))
        return false;
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = source.relativeFilePath(path);
        const QString target = to + QLatin1Char('/') + relative;
        if (leftOut.contains(relative))
            continue;
        if (it.fileInfo().isDir()) {
            if (!QDir().mkpath(target))
                return false;
        } else if (!QFile::copy(path, target)) {
            return false;
        }
    }
    return true;
}

} // namespace testfiles
