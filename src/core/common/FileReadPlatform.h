#pragma once

#include <QIODevice>
#include <QString>

class QFile;

// What FileRead asks of the system, which FileReadPosix.cpp or FileReadWindows.cpp does (CMake
// builds the one of the target).
namespace fileread::platform {

// Opens `path`, which was no folder and nothing but a regular file when looked at, into `file`
// for reading (with `mode` besides); false with the reason when it cannot be opened or is not a
// regular file once open.
bool openForReading(QFile& file, const QString& path, QString* reason, QIODevice::OpenMode mode);

} // namespace fileread::platform
