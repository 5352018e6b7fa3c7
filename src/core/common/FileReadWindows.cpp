// FileRead's system part on Windows, whose file systems hold no pipes to wait on: QFile opens it.
#include "FileReadPlatform.h"

#include <QFile>

namespace fileread::platform {

bool openForReading(QFile& file, const QString& path, QString* reason, QIODevice::OpenMode mode) {
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly | mode)) {
        *reason = file.errorString();
        return false;
    }
    return true;
}

} // namespace fileread::platform
