#pragma once

#include "ExportWriter.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// Gives an installed copy of the TQ 58 back as it was installed, from the backups the first export
// made (see Backups.h): aircraft.cfg gets the bytes, owner, group and mode of its backup (it is
// made again when it is missing), and the model those of its backup, or it is removed when the
// copy had no model before the first export. Without a backup of the model it stays as it is.
//
// First a plan is made, with every check done and nothing changed; the question the user is asked
// comes from it. An aircraft.cfg that differs from the installed one in more than the lines the
// export owns has edits of its own: the restore keeps it in the backups' folder
// ("aircraft.cfg.before-restore", replaced by the next such restore), so that nothing is lost.
// The apply (exportwriter::apply of `files`) touches no file that is no longer what the plan
// found (ChangedMeanwhile); it replaces the model and aircraft.cfg with the same rollback as an
// export: both as installed, or both as they were. The backups stay.
namespace restore {

// True when the copy of `cfgPath` (which need not exist) has its aircraft.cfg as installed.
bool hasBackup(const QString& cfgPath);

struct Plan {
    enum class Model {
        Restore, // the model gets its backup's content
        Remove,  // the export created the model; it goes
        Absent,  // there was none and there is none
        Keep,    // no backup of the model: it stays as it is
    };
    QString keepEdited; // where the edited aircraft.cfg is kept; empty: no edits
    Model model = Model::Keep;
    QString modelPath;
    exportwriter::Plan files; // what the apply does (exportwriter::apply)
};

// The plan for the copy of `cfgPath`, or what stands in the way (nothing has been changed).
std::optional<exportwriter::Failure> plan(const QString& cfgPath, Plan* plan);

// The question the user answers before the plan is applied: its first part asks about `title` in
// its folder, the others say what happens to each file.
QList<MessagePart> question(const Plan& plan, const QString& title);

// What the user is told when the restore went through.
QList<MessagePart> done(const Plan& plan);

} // namespace restore
