// merovan-artwork <outdir>: draws Merovan's pictures and icons into outdir.
// Needs no display; exits non-zero if a file cannot be written or does not
// read back at the expected size and depth.
#include "artwork.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImageWriter>

#include <cstdio>

namespace {

struct Picture {
    const char* fileName;
    QImage (*draw)();
    QSize size;
};

const Picture Pictures[] = {
    {"pa.bmp", art::drawTopView, {855, 647}},       {"person.ico", art::drawPersonIcon, {32, 32}},
    {"leer.ico", art::drawEmptySeatIcon, {32, 32}}, {"url.ico", art::drawPointerIcon, {32, 32}},
    {"splash.bmp", art::drawSplash, {412, 127}},    {"logo.bmp", art::drawLogo, {162, 65}},
    {"merovan.ico", art::drawWindowIcon, {24, 24}}, {"infopic.bmp", art::drawInfoPicture, {113, 185}},
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

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        fail(QStringLiteral("usage: merovan-artwork <outdir>"));
        return 2;
    }
    const QDir outDir(QString::fromLocal8Bit(argv[1]));
    if (!outDir.mkpath(QStringLiteral("."))) {
        fail(QStringLiteral("cannot create %1").arg(outDir.path()));
        return 1;
    }

    // Tahoma matches the program's dialogs where it is available.
    for (const char* font : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"})
        if (QFile::exists(QLatin1String(font)))
            QFontDatabase::addApplicationFont(QLatin1String(font));

    bool ok = true;
    for (const Picture& pic : Pictures)
        ok = writePicture(outDir.filePath(QLatin1String(pic.fileName)), pic) && ok;
    return ok ? 0 : 1;
}
