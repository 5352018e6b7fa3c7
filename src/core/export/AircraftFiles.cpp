#include "AircraftFiles.h"

#include "Backups.h"

#include "core/common/AircraftNames.h"
#include "core/common/CodePage.h"
#include "core/common/FieldReader.h"
#include "core/common/FileRead.h"
#include "core/common/PathProbe.h"
#include "core/common/Paths.h"
#include "core/settings/SettingsFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

#include <algorithm>
#include <optional>

namespace aircraftfiles {
namespace {

// aircraft.cfg files come in the Windows code page of the machine that wrote them, in the West
// 1252; files edited on Linux are often UTF-8. ASCII reads the same either way.
QString decodeCfgText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return codepage::fromWindows1252(bytes);
}

} // namespace

Located locateEntry(const QString& folder, const QString& name) {
    using State = Located::State;
    using pathprobe::Probe;
    const QString exact = joinPath(folder, name);
    const Probe direct = pathprobe::probe(exact);
    if (direct.state == Probe::State::Unreadable)
        return {State::Unreadable, exact, direct.reason, false};
    // Where letter case counts, the exact spelling is the one on disk when it exists. (Windows
    // finds it whatever its spelling; the listing below then gives the one on disk.)
    if (!namesIgnoreCase() && direct.state != Probe::State::Missing)
        return {State::Found, exact, {}, direct.state == Probe::State::Folder, direct.state == Probe::State::Other};

    bool missing = false;
    QString reason;
    std::optional<QStringList> entries = pathprobe::listFolder(folder, &missing, &reason);
    if (!entries) {
        if (direct.state != Probe::State::Missing)
            return {State::Found, exact, {}, direct.state == Probe::State::Folder, direct.state == Probe::State::Other};
        if (missing)
            return {State::Missing, exact, {}, false};
        return {State::FolderUnreadable, folder, reason, false};
    }
    std::sort(entries->begin(), entries->end());
    for (const QString& entry : *entries) {
        if (entry.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        const QString path = joinPath(folder, entry);
        const Probe found = pathprobe::probe(path);
        if (found.state == Probe::State::Unreadable)
            return {State::Unreadable, path, found.reason, false};
        if (found.state != Probe::State::Missing)
            return {State::Found, path, {}, found.state == Probe::State::Folder, found.state == Probe::State::Other};
    }
    return {State::Missing, exact, {}, false};
}

QString findEntry(const QString& folder, const QString& name) {
    const Located located = locateEntry(folder, name);
    return located.state == Located::State::Found ? located.path : QString();
}

bool isTq58FolderName(const QString& folderName) {
    return folderName.left(11).toLower() == QLatin1String(aircraftnames::kCopyFolderPrefix);
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

namespace {

// The line of `data` that starts at *pos, without its line end (CR LF, LF or a lone CR); *pos is
// then where the next one starts. std::nullopt after the last line.
std::optional<QByteArrayView> nextLine(QByteArrayView data, qsizetype* pos) {
    const qsizetype start = *pos;
    if (start >= data.size())
        return std::nullopt;
    qsizetype end = start;
    while (end < data.size() && data[end] != '\r' && data[end] != '\n')
        ++end;
    *pos = end + (end + 1 < data.size() && data[end] == '\r' && data[end + 1] == '\n' ? 2 : 1);
    return data.sliced(start, end - start);
}

bool isSectionHeader(QByteArrayView line) {
    return line.trimmed().startsWith('[');
}

} // namespace

// The lines are taken one at a time and only as far as the end of the title's section: the rest of
// the file, however large, is never looked at.
QString modelOf(const QByteArray& cfgContent) {
    static const QByteArray titleKey = QByteArrayLiteral("title=");
    const QByteArrayView data(cfgContent);
    qsizetype sectionLines = 0; // where the lines of the title's section start
    bool titled = false;
    for (qsizetype pos = 0; !titled;) {
        const std::optional<QByteArrayView> line = nextLine(data, &pos);
        if (!line)
            return {};
        if (isSectionHeader(*line)) {
            sectionLines = pos;
            continue;
        }
        FieldReader fields(line->toByteArray());
        while (!fields.atEnd() && !titled)
            titled = fields.next().left(titleKey.size()).toLower() == titleKey;
    }
    for (qsizetype pos = sectionLines;;) {
        const std::optional<QByteArrayView> line = nextLine(data, &pos);
        if (!line || isSectionHeader(*line))
            return {};
        const qsizetype equals = line->indexOf('=');
        if (equals < 0 || line->first(equals).trimmed().compare("model", Qt::CaseInsensitive) != 0)
            continue;
        QByteArrayView value = line->sliced(equals + 1);
        if (const qsizetype comment = value.indexOf("//"); comment >= 0)
            value = value.first(comment);
        return decodeCfgText(value.trimmed().toByteArray());
    }
}

QString GetTitle(const QString& path) {
    const auto content = readWholeFile(path);
    return content ? titleOf(*content) : QString();
}

QStringList displayTitles(const QList<AircraftCopy>& copies) {
    QStringList shown;
    for (const AircraftCopy& copy : copies)
        shown.append(copy.title.isEmpty() ? copy.folderName : copy.title);
    QHash<QString, int> count;
    for (const QString& line : shown)
        ++count[line];
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (count.value(shown[i]) > 1)
            shown[i] += QStringLiteral(" (") + copies[i].folderName + QLatin1Char(')');
    }
    return shown;
}

AircraftListing listAircraftCopies(const QString& fs2000Folder) {
    using Kind = ListingProblem::Kind;
    using State = Located::State;
    AircraftListing listing;
    const Located aircraft = locateEntry(fs2000Folder, QLatin1String(aircraftnames::kAircraftFolder));
    if (aircraft.state == State::Unreadable || aircraft.state == State::FolderUnreadable) {
        listing.problems.append({Kind::AircraftFolderUnreadable, aircraft.path, aircraft.reason});
        return listing;
    }
    if (aircraft.state == State::Missing || !aircraft.isFolder) {
        listing.problems.append(
            {Kind::NoAircraftFolder, joinPath(fs2000Folder, QLatin1String(aircraftnames::kAircraftFolder)), {}});
        return listing;
    }

    bool missing = false;
    QString reason;
    std::optional<QStringList> names = pathprobe::listFolder(aircraft.path, &missing, &reason);
    if (!names) {
        listing.problems.append(missing ? ListingProblem{Kind::NoAircraftFolder, aircraft.path, {}}
                                        : ListingProblem{Kind::AircraftFolderUnreadable, aircraft.path, reason});
        return listing;
    }
    std::sort(names->begin(), names->end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    for (const QString& name : *names) {
        if (!isTq58FolderName(name))
            continue;
        const QString copyFolder = joinPath(aircraft.path, name);
        const pathprobe::Probe what = pathprobe::probe(copyFolder);
        if (what.state == pathprobe::Probe::State::Unreadable) {
            listing.problems.append({Kind::CopyFolderUnreadable, copyFolder, what.reason});
            continue;
        }
        if (what.state != pathprobe::Probe::State::Folder)
            continue;
        const Located cfg = locateEntry(copyFolder, QLatin1String(aircraftnames::kAircraftCfg));
        const backups::Place backup = backups::look(copyFolder, backups::kCfg);
        if (backup.state == backups::Place::State::NotAFile)
            listing.problems.append({Kind::NotAFile, backup.path, {}});
        if (backup.state == backups::Place::State::NotAFolder)
            listing.problems.append({Kind::BackupsBlocked, backup.path, {}});
        switch (cfg.state) {
        case State::Missing:
            listing.problems.append({Kind::NoAircraftCfg, copyFolder, {}});
            if (backup.state == backups::Place::State::Made)
                listing.copies.append({GetTitle(backup.path), name,
                                       joinPath(copyFolder, QLatin1String(aircraftnames::kAircraftCfg)), true});
            continue;
        case State::FolderUnreadable:
            listing.problems.append({Kind::CopyFolderUnreadable, copyFolder, cfg.reason});
            continue;
        case State::Unreadable:
            listing.problems.append({Kind::CfgUnreadable, cfg.path, cfg.reason});
            continue;
        case State::Found:
            break;
        }
        if (cfg.isFolder || cfg.isOther) {
            listing.problems.append({Kind::NotAFile, cfg.path, {}});
            continue;
        }
        const auto content = readWholeFile(cfg.path, &reason);
        if (!content) {
            listing.problems.append({Kind::CfgUnreadable, cfg.path, reason});
            continue;
        }
        listing.copies.append({titleOf(*content), name, cfg.path});
        // The copy's model is never opened here; what is there instead of a file is named (an
        // export to the copy is refused), and the copy stays in the list.
        const Located modelFolder = locateEntry(copyFolder, QLatin1String(aircraftnames::kModelFolder));
        if (modelFolder.state == State::Found && modelFolder.isFolder) {
            const Located model = locateEntry(modelFolder.path, QLatin1String(aircraftnames::kModelFile));
            if (model.state == State::Found && (model.isFolder || model.isOther))
                listing.problems.append({Kind::NotAFile, model.path, {}});
        }
    }
    return listing;
}

namespace {

QString messageKey(ListingProblem::Kind kind) {
    switch (kind) {
    case ListingProblem::Kind::NoAircraftFolder:
        return QStringLiteral("strExportNoAircraftFolder");
    case ListingProblem::Kind::AircraftFolderUnreadable:
        return QStringLiteral("strExportAircraftFolderUnreadable");
    case ListingProblem::Kind::NoAircraftCfg:
        return QStringLiteral("strExportNoAircraftCfg");
    case ListingProblem::Kind::CopyFolderUnreadable:
        return QStringLiteral("strExportCopyFolderUnreadable");
    case ListingProblem::Kind::CfgUnreadable:
        return QStringLiteral("strExportCfgUnreadable");
    case ListingProblem::Kind::NotAFile:
        return QStringLiteral("strExportListedNotAFile");
    case ListingProblem::Kind::BackupsBlocked:
        return QStringLiteral("strExportBackupsBlocked");
    }
    return {};
}

} // namespace

OfferedCopies offeredCopies(const QString& programFolder, Offer offer) {
    OfferedCopies offered;
    QString reason;
    const auto folder = settings::readFs2000Folder(programFolder, &reason);
    if (!folder) {
        const QString options = programFolder + QLatin1String(settings::kOptionsFile);
        if (reason.isEmpty())
            offered.problems.append({QStringLiteral("strExportNoOptions"), {QDir::toNativeSeparators(options)}});
        else
            offered.problems.append(
                {QStringLiteral("strExportOptionsUnreadable"), {QDir::toNativeSeparators(options), reason}});
        return offered;
    }
    if (folder->trimmed().isEmpty()) {
        offered.problems.append({QStringLiteral("strExportNoFs2000Folder"), {}});
        return offered;
    }

    const AircraftListing listing = listAircraftCopies(*folder);
    QStringList restorable; // folders of copies a restore offers although their aircraft.cfg is missing
    for (const AircraftCopy& copy : listing.copies) {
        if (offer == Offer::Export ? !copy.cfgMissing : backups::hasCfgBackup(GetPathName(copy.cfgPath)))
            offered.copies.append(copy);
        if (offer == Offer::Restore && copy.cfgMissing)
            restorable.append(QDir::cleanPath(GetPathName(copy.cfgPath)));
    }
    for (const ListingProblem& problem : listing.problems) {
        if (problem.kind == ListingProblem::Kind::NoAircraftCfg && restorable.contains(QDir::cleanPath(problem.path)))
            continue;
        QStringList details{QDir::toNativeSeparators(problem.path)};
        if (problem.kind == ListingProblem::Kind::AircraftFolderUnreadable ||
            problem.kind == ListingProblem::Kind::CopyFolderUnreadable ||
            problem.kind == ListingProblem::Kind::CfgUnreadable)
            details.append(problem.reason);
        offered.problems.append({messageKey(problem.kind), details});
    }
    return offered;
}

} // namespace aircraftfiles
