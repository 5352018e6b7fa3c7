#pragma once

#include "FilePlan.h"
#include "WeightAndBalance.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Writes a loading into an installed copy of the TQ 58: the model variant over the copy's
// Model/TQ58-161.mdl, and the new weight-and-balance section into its aircraft.cfg.
//
// The export first makes its plan (see FilePlan.h), with every check made before the first file
// changes: that every file can be read and is a regular file, that aircraft.cfg is not in UTF-16 or
// UTF-32 (which the export does not rewrite), that nothing to be replaced is read-only (by its
// permission bits, whoever the program runs as), and that each replaced file can keep its owner
// and group. fileplan::apply then replaces each file as a whole (see AtomicFile). The first export
// keeps the files as installed in the copy's backups (see Backups.h): aircraft.cfg, and the model
// whatever its content, or the note that there was none, and the owner, group and permissions of
// both (recorded whenever the record is missing); a backup that is there is never overwritten, and a backups' folder
// without any write permission is read-only for everybody. If aircraft.cfg cannot be replaced after the model was, the
// old model is put back. A model the user put in by hand since (neither the one as installed nor a model variant) is
// kept in the backups' folder under a dated name before it is replaced. No file the program ships is ever written, nor
// read in place of the aircraft's (see ProgramFiles.h). The export holds the lock of the copy (see CopyLock.h) from its
// plan to the end of its apply.
namespace exportwriter {

struct Job {
    QString cfgPath;         // the chosen copy's aircraft.cfg
    QString programFolder;   // ends with "/"; holds Models/1.mdl ... Models/5.mdl
    wab::StationLoads loads; // which seats are occupied follows from which loads there are
};

// The export's plan: the backups to make, the model variant over the model, the new section in
// aircraft.cfg.
struct Plan {
    fileplan::Plan files; // what the apply does
    // The folder of the model the copy shows when that is not its Model folder ([fltsim.N] with
    // model=xyz: Model.xyz). No variant is made for it, so an export leaves every model as it is.
    QString shownModelFolder;
    // Where a model the user put in by hand (neither the one as installed nor a model variant) is
    // kept before the variant replaces it; empty when there is none.
    QString keptModel;
};

// The export's plan, or the failure when something stands in the way.
std::optional<fileplan::Failure> plan(const Job& job, Plan* plan);

// The export: its plan, then its apply.
std::optional<fileplan::Failure> write(const Job& job, const fileplan::FileOps& ops = fileplan::FileOps::atomic());

// The export as the user asked for it: the failure's message, or what the completion message says
// (that the loading is written and, when the model was left as it was, why: a passenger but no
// co-pilot, or a copy that shows its model from another folder).
fileplan::Report exportLoading(const Job& job, const fileplan::FileOps& ops = fileplan::FileOps::atomic());

// True when `content` is text in UTF-16 or UTF-32: by its byte-order mark, or without one by the
// zero bytes that such text has between ASCII characters and that 8-bit text never has.
bool isWideText(const QByteArray& content);

} // namespace exportwriter
