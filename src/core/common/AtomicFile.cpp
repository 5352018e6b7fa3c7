#include "AtomicFile.h"

#include "AtomicFilePlatform.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace atomicfile {

namespace platform {

void removeStaleTemporaries(const QString& target) {
    const QFileInfo info(target);
    const QString prefix = QLatin1Char('.') + info.fileName() + QLatin1Char('.');
    const QDateTime staleBefore = QDateTime::currentDateTimeUtc().addSecs(-600);
    const QFileInfoList entries = info.absoluteDir().entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        if (name.startsWith(prefix) && name.endsWith(QLatin1String(".tmp")) && name.size() > prefix.size() + 4 &&
            entry.lastModified().toUTC() < staleBefore)
            QFile::remove(entry.absoluteFilePath());
    }
}

} // namespace platform

QString resolvedTarget(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink()) {
        const QString target = info.symLinkTarget();
        if (!target.isEmpty())
            return target;
    }
    return path;
}

namespace {

bool putData(const QString& path, const QByteArray& data, const platform::How& how, QString* reason) {
    QString dummy;
    return platform::replace(
        path, [&](const auto& put, QString* why) { return put(data.constData(), data.size(), why); }, how,
        reason ? reason : &dummy);
}

bool putCopy(const QString& source, const QString& target, const platform::How& how, QString* reason) {
    QString dummy;
    if (!reason)
        reason = &dummy;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        *reason = in.errorString();
        return false;
    }
    return platform::replace(
        target,
        [&](const auto& put, QString* why) {
            QByteArray block(1 << 20, Qt::Uninitialized);
            for (;;) {
                const qint64 n = in.read(block.data(), block.size());
                if (n < 0) {
                    *why = in.errorString();
                    return false;
                }
                if (n == 0)
                    return true;
                if (!put(block.constData(), n, why))
                    return false;
            }
        },
        how, reason);
}

} // namespace

bool replaceWithData(const QString& path, const QByteArray& data, QString* reason) {
    return putData(path, data, platform::How{}, reason);
}

bool replaceWithCopy(const QString& source, const QString& target, QString* reason) {
    return putCopy(source, target, platform::How{}, reason);
}

bool createCopy(const QString& source, const QString& path, QString* reason) {
    return putCopy(source, path, platform::How{true, source}, reason);
}

bool createWithData(const QString& path, const QByteArray& data, const QString& like, QString* reason) {
    return putData(path, data, platform::How{true, like}, reason);
}

bool restoreCopy(const QString& source, const QString& target, QString* reason) {
    return putCopy(source, target, platform::How{false, source}, reason);
}

} // namespace atomicfile
