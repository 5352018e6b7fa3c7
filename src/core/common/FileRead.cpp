// Reading files without ever waiting, the same on every system (see FileRead.h); the opening
// itself is FileReadPosix.cpp's or FileReadWindows.cpp's.
#include "FileRead.h"

#include "FileReadPlatform.h"
#include "SystemReasons.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// Reads `file` from its start, block by block, for as long as it agrees with `likely`: a file that
// holds just those bytes takes no memory of its own (a fresh buffer as large as the file costs more
// than the reading). From the first difference on, the content gets a buffer of its own. A read
// error ends it early; the file's error() says so.
QByteArray readAgreeing(QFile& file, const QByteArray& likely) {
    std::array<char, 64 * 1024> block;
    qint64 agreed = 0;
    for (;;) {
        const qint64 n = file.read(block.data(), qint64(block.size()));
        if (n <= 0)
            return likely.left(agreed);
        if (agreed + n <= likely.size() && std::memcmp(block.data(), likely.constData() + agreed, size_t(n)) == 0) {
            agreed += n;
            continue;
        }
        QByteArray own(std::max(file.size(), agreed + n), Qt::Uninitialized);
        std::memcpy(own.data(), likely.constData(), size_t(agreed));
        std::memcpy(own.data() + agreed, block.data(), size_t(n));
        qint64 filled = agreed + n;
        while (filled < own.size()) {
            const qint64 got = file.read(own.data() + filled, own.size() - filled);
            if (got <= 0)
                break;
            filled += got;
        }
        own.truncate(filled);
        own.append(file.readAll()); // what the file grew by meanwhile
        return own;
    }
}

} // namespace

bool openRegularFile(QFile& file, const QString& path, QString* reason, QIODevice::OpenMode mode) {
    QString dummy;
    if (!reason)
        reason = &dummy;
    const QFileInfo info(path);
    if (info.isDir()) {
        *reason = QString::fromLatin1(systemreasons::own::kIsFolder);
        return false;
    }
    if (info.exists() && !info.isFile()) {
        *reason = QString::fromLatin1(systemreasons::own::kNotAFile);
        return false;
    }
    return fileread::platform::openForReading(file, path, reason, mode);
}

std::optional<QByteArray> readWholeFile(const QString& path, QString* reason, const QByteArray* likely) {
    QString dummy;
    if (!reason)
        reason = &dummy;
    QFile file;
    if (!openRegularFile(file, path, reason))
        return std::nullopt;
    QByteArray data = likely && file.size() == likely->size() ? readAgreeing(file, *likely) : file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *reason = file.errorString();
        return std::nullopt;
    }
    return data;
}
