#pragma once

#include "FilePlan.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

// Gives an installed copy of the TQ 58 back as it was installed, from the backups the first export
// made (see Backups.h): aircraft.cfg gets the bytes of its backup (it is made again when it is
// missing), and the model those of its backup (its Model folder made again when it went), or it is
// removed when the copy had no model before the first export. Without a backup of the model it
// stays as it is. Each file gets the owner, group and mode recorded at the first export, whatever
// the backups have since (a backup made read-only by the user does not make the file read-only).
//
// First a plan is made, with every check done and nothing changed; the question the user is asked
// comes from it. Nothing the program did not write is lost: an aircraft.cfg that differs from the
// installed one in more than the lines the export owns has edits of its own, and a model that is
// neither the installed one nor one of the program's model variants was put in by hand; the
// restore keeps each in the backups' folder under a name of its own, with the date and time, that
// no later restore takes (see backups::keepingPlace()), and the program never removes them.
// The apply (fileplan::apply) touches no file that is no longer what the plan found
// (ChangedMeanwhile); it replaces the model and aircraft.cfg with the same rollback as an export:
// both as installed, or both as they were. The backups stay. Plan and apply each hold the lock of
// the copy (see CopyLock.h); the question between them does not.
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
    QString keepEdited;      // where the edited aircraft.cfg is kept; empty: no edits
    QString keepModel;       // where a model the program did not write is kept; empty: none
    QString modelFolderMade; // the Model folder, made again for the model; empty: it is there
    Model model = Model::Keep;
    QString modelPath;
    fileplan::Plan files; // what the apply does
};

// The plan for the copy of `cfgPath`, or what stands in the way (nothing has been changed). The
// model variants the program writes are those of `programFolder` (Models/1.mdl ... 5.mdl).
std::optional<fileplan::Failure> plan(const QString& cfgPath, const QString& programFolder, Plan* plan);

// Carries out the plan (fileplan::apply of `files`) while holding the lock of the copy.
std::optional<fileplan::Failure> apply(const Plan& plan, const fileplan::FileOps& ops = fileplan::FileOps::atomic());

// The question the user answers before the plan is applied: its first part asks about `title` in
// its folder, the others say what happens to each file.
QList<MessagePart> question(const Plan& plan, const QString& title);

// What the user is told when the restore went through.
QList<MessagePart> done(const Plan& plan);

// Asks the user the question (true for Yes).
using Ask = std::function<bool(const QList<MessagePart>& question)>;

// The restore as the user asked for it, for the copy of `cfgPath` listed as `title`: its plan, the
// question, and on Yes its apply. The report holds the failure's message (as a restore's, see
// fileplan::describe) or the completion message; nothing when the user said No.
fileplan::Report restoreAsInstalled(const QString& cfgPath, const QString& programFolder, const QString& title,
                                    const Ask& ask, const fileplan::FileOps& ops = fileplan::FileOps::atomic());

} // namespace restore
