#pragma once

#include "core/common/MessagePart.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Finding the installed copies of the TQ 58 below the FS2000 folder and reading their titles.
//
// FS2000 runs on Windows, where file names ignore letter case; under Wine on a case-sensitive file
// system the same installation may hold "Aircraft", "AIRCRAFT.CFG" or "model". Every name the
// export looks for is therefore found in whatever letter case it exists.
namespace aircraftfiles {

// Where the entry of `folder` named `name` is, in any letter case: the exact spelling when it
// exists, else the first match in name order.
struct Located {
    enum class State {
        Found,            // `path` is the entry as spelled on disk
        Missing,          // `path` is `folder` and `name` joined
        Unreadable,       // the entry exists or may exist but cannot be reached: `path`, `reason`
        FolderUnreadable, // `folder` cannot be listed: `path` is the folder, `reason` why
    };
    State state = State::Missing;
    QString path;
    QString reason;
    bool isFolder = false; // for Found
    bool isOther = false;  // for Found: neither a file nor a folder (a pipe, a socket, a device)
};
Located locateEntry(const QString& folder, const QString& name);

// The path of locateEntry() when it is found; empty otherwise.
QString findEntry(const QString& folder, const QString& name);

// True when a folder name makes a copy of the TQ 58: its first eleven characters, in lower case,
// are "nerova_tq58". A shorter name never qualifies.
bool isTq58FolderName(const QString& folderName);

// The title of an aircraft.cfg: the first field (fields end at a comma or a line end, see
// FieldReader) whose first six characters are "title=" in any letter case, without those six
// characters. Empty when no field matches.
QString titleOf(const QByteArray& cfgContent);

// The model an aircraft.cfg shows for its title (the one titleOf() gives): the value of the key
// "model" in the section of that title (an [fltsim.N] entry), blanks trimmed. Empty for the
// default, the copy's folder Model; "float" means the folder Model.float.
QString modelOf(const QByteArray& cfgContent);

// titleOf() of the file at `path`; empty when the file has no title or cannot be read.
QString GetTitle(const QString& path);

struct AircraftCopy {
    QString title;           // as aircraft.cfg gives it; may be empty
    QString folderName;      // the copy's folder
    QString cfgPath;         // the copy's aircraft.cfg as it is spelled on disk
    bool cfgMissing = false; // no aircraft.cfg, but its backup: listed by the backup's title, for a restore
};

// The lines a list of copies shows, one per copy and in the same order: the title; the folder
// name for a copy without a title; and for a title that several copies share, the title followed
// by the folder name in parentheses, so that every line can be told apart.
QStringList displayTitles(const QList<AircraftCopy>& copies);

struct ListingProblem {
    enum class Kind {
        NoAircraftFolder,         // `path` is the Aircraft folder that was looked for
        AircraftFolderUnreadable, // `path` is the Aircraft folder (or what stood in the way), `reason` why
        NoAircraftCfg,            // `path` is the copy's folder
        CopyFolderUnreadable,     // `path` is the copy's folder, `reason` says why
        CfgUnreadable,            // `path` is the aircraft.cfg, `reason` says why
        NotAFile,                 // `path` (aircraft.cfg or a backup) is a folder, a pipe, a device...
        BackupsBlocked,           // `path`, the backups' folder's place, holds a file, a link...
    };
    Kind kind;
    QString path;
    QString reason;
};

struct AircraftListing {
    QList<AircraftCopy> copies;
    QList<ListingProblem> problems;
};

// The copies of the TQ 58 in the Aircraft folder of `fs2000Folder`, in name order (letter case
// ignored, so the order is the one Windows lists them in). A qualifying folder without a readable
// aircraft.cfg is left out and reported, unless it has the backups of an export: then it is listed
// with `cfgMissing` (and reported as well). Anything at aircraft.cfg or a backup's place that is not
// a file is never opened: it is reported, and the listing goes on.
AircraftListing listAircraftCopies(const QString& fs2000Folder);

// The copies the user is offered: those of the FS2000 folder that options.cfg of the program
// folder names, and what stood in the way (options.cfg missing or unreadable, no folder chosen,
// the listing's problems) as message parts in the order they are told.
struct OfferedCopies {
    QList<AircraftCopy> copies;
    QList<MessagePart> problems;
};
// An export offers the copies with an aircraft.cfg; a restore those with the backups of an export,
// also when their aircraft.cfg is missing.
enum class Offer { Export, Restore };
OfferedCopies offeredCopies(const QString& programFolder, Offer offer = Offer::Export);

} // namespace aircraftfiles
