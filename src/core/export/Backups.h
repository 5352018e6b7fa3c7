#pragma once

#include "core/common/AircraftNames.h"
#include "core/common/AtomicFile.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// Where an export keeps a copy's files as they were installed.
//
// The backups live in a folder of the program's own inside the copy, "merovan-installed", under
// names that neither a user nor another tool picks. Each is made once, at the first export, by
// exclusive creation: never through a link, never over anything that is there. What the program
// did not make itself (an aircraft.cfg.bak of a user, of another tool or of an older version of
// this program) is never read, restored or overwritten, and anything at a backup's place that is
// not a file (a folder, a link, a pipe, a device) is never opened.
namespace backups {

inline constexpr auto kFolder = "merovan-installed";
inline constexpr auto kCfg = "aircraft.cfg.installed";               // aircraft.cfg as installed
inline constexpr auto kModel = MEROVAN_TQ58_MODEL_FILE ".installed"; // the model as installed
inline constexpr auto kNoModel = MEROVAN_TQ58_MODEL_FILE ".absent";  // there was no model before the first export
inline constexpr auto kAttributes = "attributes.installed";          // owner, group and mode of both as installed

// The folder of the backups of the copy in `copyFolder`, and the path of one of them.
QString folderOf(const QString& copyFolder);
QString pathOf(const QString& copyFolder, const char* name);

// What is at a backup's place (or at the folder's).
struct Place {
    enum class State {
        Nothing,    // nothing at all
        Made,       // a file (for the folder: a folder), as the program makes them
        NotAFile,   // something else, never opened: `path` names it
        NotAFolder, // at the folder's place: a file, a link or a device, never opened; `path` names it
        Unreadable, // cannot be looked at: `reason` says why
    };
    State state = State::Nothing;
    QString path;
    QString reason;
};
// A backup's place in a folder that is not there, or not a folder, is the folder's place.
Place look(const QString& copyFolder, const char* name);
Place lookAtFolder(const QString& copyFolder);

// True when the copy in `copyFolder` has its aircraft.cfg as installed.
bool hasCfgBackup(const QString& copyFolder);

// The owner, group and permissions of aircraft.cfg and the model as installed, recorded at the first
// export (where the system has them), so that a restore gives them back whatever the backups have
// since: one line per file, "<file>\t<permissions in octal>\t<owner>\t<group>".
struct Installed {
    atomicfile::Attributes cfg;
    atomicfile::Attributes model;
};
// The record of the files at `cfgPath` and `modelPath` (empty: no model); empty when the system
// has no such attributes.
QByteArray attributesRecord(const QString& cfgPath, const QString& modelPath);
// What the copy's record says; nothing known where there is none (or it is not a file).
Installed installedAttributes(const QString& copyFolder);

// Where a restore or an export keeps a file the program did not write, under a name of its own
// that no later one takes: "<stem>.before-<occasion>-<date>_<time><extension>" in the backups'
// folder ("TQ58-161.before-export-2026-12-08_10-15-00.mdl"), with "_2", "_3", ... after the time
// where that name is taken.
inline constexpr auto kBeforeRestore = "restore";
inline constexpr auto kBeforeExport = "export";
QString keepingPlace(const QString& copyFolder, const QString& stem, const QString& extension, const QDateTime& when,
                     const char* occasion = kBeforeRestore);

} // namespace backups
