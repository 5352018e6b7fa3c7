#include "Fonts.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>

void registerFallbackFonts() {
    const QStringList families = QFontDatabase::families();
#ifndef Q_OS_WIN
    // Only on Linux: Windows has these fonts by name (under Wine, from Wine's own font set), and a
    // Unix path there would depend on the current drive.
    const QString wineFonts = QStringLiteral("/usr/share/wine/fonts/");
    auto add = [&](const char* family, std::initializer_list<const char*> files) {
        if (families.contains(QString::fromLatin1(family), Qt::CaseInsensitive))
            return;
        for (const char* file : files) {
            const QString path = wineFonts + QString::fromLatin1(file);
            if (QFile::exists(path))
                QFontDatabase::addApplicationFont(path);
        }
    };
    // Wine's tahomabd.ttf lacks most letters; bold is drawn from the regular face instead.
    add("Tahoma", {"tahoma.ttf"});
    add("MS Sans Serif", {"ms_sans_serif.ttf"});
#endif
    if (!families.contains(QStringLiteral("Verdana"), Qt::CaseInsensitive))
        QFont::insertSubstitution(QStringLiteral("Verdana"), QStringLiteral("Tahoma"));
}
