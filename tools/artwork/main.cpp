// merovan-artwork <outdir>: draws Merovan's pictures and icons into outdir.
// merovan-artwork --desktop-icons <outdir>: draws the program's icon for the Linux desktop, as
// <outdir>/<size>x<size>/apps/merovan.png in each size of the icon theme.
// Needs no display; exits non-zero if a file cannot be written or does not
// read back at the expected size and depth.
#include "artwork.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>

#include <cstdio>
#include <iterator>

namespace {

struct Picture {
    const char* fileName;
    QImage (*draw)();
    QSize size;
};

const Picture Pictures[] = {
    {"pa.bmp", art::drawTopView, {855, 647}},          {"person.ico", art::drawPersonIcon, {32, 32}},
    {"leer.ico", art::drawEmptySeatIcon, {32, 32}},    {"url.ico", art::drawPointerIcon, {32, 32}},
    {"splash.bmp", art::drawSplash, {412, 127}},       {"logo.bmp", art::drawLogo, {162, 65}},
    {"infopic.bmp", art::drawInfoPicture, {113, 185}},
};

bool fail(const QString& message) {
    std::fprintf(stderr, "merovan-artwork: %s\n", qPrintable(message));
    return false;
}

// Bits per pixel from the bitmap header; the program expects 24.
int bmpBitCount(const QString& path) {
    QFile f(path);
    const QByteArray head = f.open(QIODevice::ReadOnly) ? f.read(30) : QByteArray();
    if (head.size() < 30 || !head.startsWith("BM"))
        return 0;
    return quint8(head[28]) | quint8(head[29]) << 8;
}

bool writePicture(const QString& path, const Picture& pic) {
    const bool bmp = path.endsWith(QLatin1String(".bmp"));
    const QImage image = pic.draw().convertToFormat(bmp ? QImage::Format_RGB32 : QImage::Format_ARGB32);
    QImageWriter writer(path, bmp ? "bmp" : "ico");
    if (!writer.write(image))
        return fail(QStringLiteral("cannot write %1: %2").arg(path, writer.errorString()));
    if (QImage(path).size() != pic.size)
        return fail(
            QStringLiteral("%1 does not read back as %2 x %3").arg(path).arg(pic.size.width()).arg(pic.size.height()));
    if (bmp && bmpBitCount(path) != 24)
        return fail(QStringLiteral("%1 is not a 24-bit bitmap").arg(path));
    return true;
}

void putLE(QByteArray& out, quint32 value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xff));
}

// One image of an icon file: 32-bit BGRA rows bottom-up with an all-clear AND mask (the alpha
// channel decides), as every Windows version reads it; 256 x 256 as PNG, as Windows keeps it.
QByteArray iconImageData(const QImage& image) {
    QByteArray data;
    if (image.width() >= 256) {
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return data;
    }
    const int w = image.width();
    const int h = image.height();
    const int maskRow = ((w + 31) / 32) * 4;
    putLE(data, 40, 4); // BITMAPINFOHEADER
    putLE(data, quint32(w), 4);
    putLE(data, quint32(2 * h), 4); // the colour rows and the mask rows
    putLE(data, 1, 2);
    putLE(data, 32, 2);
    putLE(data, 0, 4); // BI_RGB
    putLE(data, quint32(w * h * 4 + maskRow * h), 4);
    putLE(data, 0, 4);
    putLE(data, 0, 4);
    putLE(data, 0, 4);
    putLE(data, 0, 4);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x)
            putLE(data, image.pixel(x, y), 4); // 0xAARRGGBB, stored B G R A
    }
    data.append(QByteArray(maskRow * h, '\0'));
    return data;
}

// merovan.ico: the program's icon in every size Windows shows (title bar, task bar, Explorer's
// views, at 100 % to 200 %), each drawn for its size rather than scaled from another.
bool writeProgramIcon(const QString& path) {
    QList<QByteArray> images;
    for (int size : art::kIconSizes)
        images.append(iconImageData(art::drawWindowIcon(size).convertToFormat(QImage::Format_ARGB32)));
    const int count = int(std::size(art::kIconSizes));
    QByteArray file;
    putLE(file, 0, 2); // ICONDIR
    putLE(file, 1, 2);
    putLE(file, quint32(count), 2);
    quint32 offset = 6 + 16 * quint32(count);
    for (int i = 0; i < count; ++i) {
        const int size = art::kIconSizes[i];
        file.append(char(size >= 256 ? 0 : size)); // 0 stands for 256
        file.append(char(size >= 256 ? 0 : size));
        file.append(char(0)); // no palette
        file.append(char(0));
        putLE(file, 1, 2);  // planes
        putLE(file, 32, 2); // bits per pixel
        putLE(file, quint32(images[i].size()), 4);
        putLE(file, offset, 4);
        offset += quint32(images[i].size());
    }
    for (const QByteArray& image : images)
        file.append(image);
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(file) != file.size() || !out.flush())
        return fail(QStringLiteral("cannot write %1: %2").arg(path, out.errorString()));
    out.close();

    // Read back: every size there, in order.
    QImageReader reader(path, "ico");
    QList<int> sizes;
    for (int i = 0; i < reader.imageCount(); ++i) {
        if (!reader.jumpToImage(i))
            break;
        sizes.append(reader.read().width());
    }
    if (sizes != QList<int>(std::begin(art::kIconSizes), std::end(art::kIconSizes)))
        return fail(QStringLiteral("%1 does not read back with the sizes 16, 24, 32, 48 and 256").arg(path));
    return true;
}

// The program's icon as the desktop's icon theme keeps it: one PNG per size, each drawn for its size.
bool writeDesktopIcons(const QDir& outDir) {
    bool ok = true;
    for (int size : art::kDesktopIconSizes) {
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        const QString path = outDir.filePath(folder + QStringLiteral("/merovan.png"));
        if (!outDir.mkpath(folder)) {
            ok = fail(QStringLiteral("cannot create %1").arg(outDir.filePath(folder)));
            continue;
        }
        QImageWriter writer(path, "png");
        if (!writer.write(art::drawWindowIcon(size).convertToFormat(QImage::Format_ARGB32)))
            ok = fail(QStringLiteral("cannot write %1: %2").arg(path, writer.errorString()));
        else if (const QImage back(path); back.size() != QSize(size, size) || !back.hasAlphaChannel())
            ok = fail(QStringLiteral("%1 does not read back as %2 x %2 with transparency").arg(path).arg(size));
    }
    return ok;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const bool desktopIcons = argc == 3 && qstrcmp(argv[1], "--desktop-icons") == 0;
    if (argc != 2 && !desktopIcons) {
        fail(QStringLiteral("usage: merovan-artwork [--desktop-icons] <outdir>"));
        return 2;
    }
    const QDir outDir(QString::fromLocal8Bit(argv[argc - 1]));
    if (!outDir.mkpath(QStringLiteral("."))) {
        fail(QStringLiteral("cannot create %1").arg(outDir.path()));
        return 1;
    }

    if (desktopIcons)
        return writeDesktopIcons(outDir) ? 0 : 1;

    // Tahoma matches the program's dialogs where it is available.
    for (const char* font : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"})
        if (QFile::exists(QLatin1String(font)))
            QFontDatabase::addApplicationFont(QLatin1String(font));

    bool ok = true;
    for (const Picture& pic : Pictures)
        ok = writePicture(outDir.filePath(QLatin1String(pic.fileName)), pic) && ok;
    ok = writeProgramIcon(outDir.filePath(QStringLiteral("merovan.ico"))) && ok;
    return ok ? 0 : 1;
}
