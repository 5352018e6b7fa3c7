// The helpers both implementations of AtomicFile use (see AtomicFilePlatform.h).
#include "AtomicFilePlatform.h"
#include "FileRead.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace atomicfile {

QString resolvedTarget(const QString& path) {
    QString target;
    QString reason;
    return resolveTarget(path, &target, &reason) ? target : path;
}

namespace platform {

bool Content::open(QString* reason) {
    return !m_copy || openRegularFile(m_file, m_source, reason, QIODevice::Unbuffered);
}

bool Content::next(QByteArrayView* block, QString* reason) {
    if (!m_copy) {
        *block = m_handedOut ? QByteArrayView() : QByteArrayView(m_data);
        m_handedOut = true;
        return true;
    }
    if (m_data.isEmpty())
        m_data.resize(1 << 20);
    const qint64 n = m_file.read(m_data.data(), m_data.size());
    if (n < 0) {
        *reason = m_file.errorString();
        return false;
    }
    *block = QByteArrayView(m_data.constData(), n);
    return true;
}

void removeStaleTemporaries(const QString& target) {
    const QFileInfo info(target);
    const QString prefix = QLatin1Char('.') + info.fileName() + QLatin1Char('.');
    const QDateTime staleBefore = QDateTime::currentDateTimeUtc().addSecs(-600);
    QDir folder = info.absoluteDir();
    const QFileInfoList entries =
        folder.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        if (!name.startsWith(prefix) || !name.endsWith(QLatin1String(".tmp")) || name.size() <= prefix.size() + 4 ||
            entry.lastModified().toUTC() >= staleBefore)
            continue;
        if (entry.isDir())
            folder.rmdir(name); // only an empty one goes
        else
            QFile::remove(entry.absoluteFilePath());
    }
}

} // namespace platform
} // namespace atomicfile
