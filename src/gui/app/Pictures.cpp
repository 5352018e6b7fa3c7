// Pictures and icons read from regular files only, their images made from the bytes read.
#include "Pictures.h"

#include "Twips.h"
#include "core/common/FileRead.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QList>

#include <optional>

namespace pictures {
namespace {

// The bytes of the file, or std::nullopt when it is not a regular file of a picture's size.
std::optional<QByteArray> bytesOf(const QString& path) {
    QFile file;
    if (!openRegularFile(file, path, nullptr) || file.size() > kLargestFile)
        return std::nullopt;
    // The file may grow between the look and the read: never more than the limit is taken in.
    QByteArray bytes = file.read(kLargestFile + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kLargestFile)
        return std::nullopt;
    return bytes;
}

// The images of the file, in the order it holds them: all of them, or the first alone. An image
// larger than kLargestSide on a side, or one that cannot be read, is left out.
QList<QImage> imagesOf(const QString& path, bool all) {
    const std::optional<QByteArray> bytes = bytesOf(path);
    if (!bytes)
        return {};
    QBuffer buffer;
    buffer.setData(*bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    // The format is told by the content, as for a file: the program's pictures are BMP and ICO.
    QImageReader reader(&buffer);
    QList<QImage> images;
    const int count = all ? std::max(reader.imageCount(), 1) : 1;
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToImage(i))
            break;
        const QSize size = reader.size();
        if (size.isValid() && (size.width() > kLargestSide || size.height() > kLargestSide))
            continue;
        QImage image;
        if (reader.read(&image) && !image.isNull() && image.width() <= kLargestSide && image.height() <= kLargestSide)
            images.append(image);
    }
    return images;
}

} // namespace

QPixmap picture(const QString& path) {
    const QList<QImage> images = imagesOf(path, false);
    if (images.isEmpty())
        return QPixmap();
    const QImage& image = images.constFirst();
    const double scale = twips::scale();
    if (scale >= 1.0)
        return QPixmap::fromImage(image);
    return QPixmap::fromImage(image.scaled(image.size() * scale, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

QIcon icon(const QString& path) {
    QIcon icon;
    for (const QImage& image : imagesOf(path, true))
        icon.addPixmap(QPixmap::fromImage(image));
    return icon;
}

} // namespace pictures
