// The names of AtomicFile's temporary files, and clearing away those a killed process left (see
// TemporaryFiles.h).
#include "TemporaryFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <random>

namespace atomicfile {

QString temporaryNameFor(const QString& target) {
    static std::mt19937 names{std::random_device{}()};
    const qsizetype slash = target.lastIndexOf(QLatin1Char('/'));
    return target.left(slash + 1) + QLatin1Char('.') + target.mid(slash + 1) + QLatin1Char('.') +
           QString::number(quint32(names()), 36) + QLatin1String(".tmp");
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

} // namespace atomicfile
