#include "AircraftFiles.h"

#include "common/FieldReader.h"
#include "common/FileRead.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>

namespace aircraftfiles {
namespace {

bool isSeparator(QChar c) {
    return c == u'/' || c == u'\\';
}

// aircraft.cfg files come in the Windows code page of the machine that wrote them; files edited
// on Linux are often UTF-8. ASCII reads the same either way.
QString decodeCfgText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
#ifdef Q_OS_WIN
    return QString::fromLocal8Bit(bytes);
#else
    return QString::fromLatin1(bytes);
#endif
}

} // namespace

QString joinPath(const QString& folder, const QString& name) {
    if (folder.isEmpty())
        return name;
    QString base = QDir::fromNativeSeparators(folder);
    while (base.size() > 1 && base.endsWith(u'/'))
        base.chop(1);
    if (base.endsWith(u'/'))
        return base + name;
    return base + u'/' + name;
}

QString findEntry(const QString& folder, const QString& name) {
    const QString exact = joinPath(folder, name);
#ifndef Q_OS_WIN
    // (Windows ignores letter case here, so the listing below gives the spelling on disk.)
    if (QFileInfo::exists(exact))
        return exact;
#endif
    QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    QStringList entries =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    std::sort(entries.begin(), entries.end());
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return joinPath(folder, entry);
    }
    return {};
}

bool isTq58FolderName(const QString& folderName) {
    return folderName.left(11).toLower() == QLatin1String(kFolderPrefix);
}

QString titleOf(const QByteArray& cfgContent) {
    static const QByteArray key = QByteArrayLiteral("title=");
    FieldReader reader(cfgContent);
    while (!reader.atEnd()) {
        const QByteArray field = reader.next();
        if (field.left(key.size()).toLower() == key)
            return decodeCfgText(field.mid(key.size()));
    }
    return {};
}

QString GetTitle(const QString& path) {
    QString reason;
    const auto content = readWholeFile(path, &reason);
    return content ? titleOf(*content) : QString();
}

QString GetPathName(const QString& path) {
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (isSeparator(path[i]))
            return path.left(i + 1);
    }
    return {};
}

AircraftListing listAircraftCopies(const QString& fs2000Folder) {
    AircraftListing listing;
    QString aircraftFolder = findEntry(fs2000Folder, QLatin1String(kAircraftFolder));
    if (aircraftFolder.isEmpty() || !QFileInfo(aircraftFolder).isDir()) {
        listing.problems.append(
            {ListingProblem::Kind::NoAircraftFolder, joinPath(fs2000Folder, QLatin1String(kAircraftFolder)), {}});
        return listing;
    }

    QStringList folders = QDir(aircraftFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted);
    std::sort(folders.begin(), folders.end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    for (const QString& name : folders) {
        if (!isTq58FolderName(name))
            continue;
        const QString copyFolder = joinPath(aircraftFolder, name);
        const QString cfg = findEntry(copyFolder, QLatin1String(kAircraftCfg));
        if (cfg.isEmpty()) {
            listing.problems.append({ListingProblem::Kind::NoAircraftCfg, copyFolder, {}});
            continue;
        }
        QString reason;
        const auto content = readWholeFile(cfg, &reason);
        if (!content) {
            listing.problems.append({ListingProblem::Kind::CfgUnreadable, cfg, reason});
            continue;
        }
        listing.copies.append({titleOf(*content), cfg});
    }
    return listing;
}

} // namespace aircraftfiles
