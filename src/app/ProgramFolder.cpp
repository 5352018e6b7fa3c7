#include "ProgramFolder.h"

#include <QCoreApplication>

QString withTrailingSeparator(const QString& folder) {
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\')))
        return folder;
    return folder + QLatin1Char('/');
}

QString GetAppPath() { return withTrailingSeparator(QCoreApplication::applicationDirPath()); }
