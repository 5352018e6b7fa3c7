// Carrying out a plan, an export's or a restore's (see FilePlan.h): the files and folders to keep
// first, then the model and aircraft.cfg in turn, so that the two files either both change or both
// stay as they were.
#include "FilePlan.h"

#include "PlanChecks.h"
#include "core/common/FileRead.h"
#include "core/common/PathProbe.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace fileplan {
namespace {

using Kind = Failure::Kind;

// True when the file holds the change's new content (for a removal: is gone), and that differs
// from what it held before.
bool holdsNew(const Change& change) {
    if (change.before == change.after)
        return false;
    if (!change.after)
        return !QFileInfo::exists(change.path);
    const auto now = readWholeFile(change.path);
    return now && *now == *change.after;
}

bool put(const Change& change, const FileOps& ops, QString* reason) {
    if (!change.after)
        return ops.removeFile(change.path, reason);
    if (change.from.isEmpty())
        return ops.replaceWithData(change.path, *change.after, reason);
    if (change.fromAttributes)
        return ops.restoreCopy(change.from, change.path, change.installed, reason);
    return ops.replaceWithCopy(change.from, change.path, reason);
}

// Takes a change back to what the file held before; false with the reason when it cannot.
bool takeBack(const Change& change, const FileOps& ops, QString* reason) {
    // A file made at the end of a link goes from there, and the link is left as it was.
    return change.before ? ops.replaceWithData(change.path, *change.before, reason)
                         : ops.removeFile(atomicfile::resolvedTarget(change.path), reason);
}

std::optional<Failure> keep(const Keep& k, const FileOps& ops) {
    QString reason;
    bool made = false;
    switch (k.how) {
    case Keep::How::Folder:
        made = ops.createFolder(k.path, k.from, &reason);
        break;
    case Keep::How::Copy:
        made = ops.createCopy(k.from, k.path, &reason);
        break;
    case Keep::How::Data:
        made = ops.createWithData(k.path, k.data, k.from, &reason);
        break;
    }
    if (!made)
        return failure(k.ofAircraft ? Kind::WriteFailed : Kind::BackupFailed, k.path, reason);
    return std::nullopt;
}

// The model, then aircraft.cfg. A replacement can fail after its rename (the folder could not be
// synced), with the new file in place all the same; whatever was done is taken back, so the model
// never shows a loading that aircraft.cfg does not have. Should the new aircraft.cfg be in place and
// the old one not go back, the failure says so, and the new model stays with it.
std::optional<Failure> replaceFiles(const Plan& plan, const FileOps& ops) {
    // Takes the model back to what it was; the failure says when it cannot.
    const auto putModelBack = [&](Failure& problem) {
        QString why;
        if (!takeBack(*plan.model, ops, &why))
            problem.standing.model = FileLeft{plan.model->path, why, plan.model->backup, !plan.model->before};
    };

    QString reason;
    if (plan.model && !put(*plan.model, ops, &reason)) {
        Failure problem = failure(Kind::WriteFailed, plan.model->path, reason);
        if (holdsNew(*plan.model))
            putModelBack(problem);
        return problem;
    }
    if (put(plan.cfg, ops, &reason))
        return std::nullopt;

    Failure problem = failure(Kind::WriteFailed, plan.cfg.path, reason);
    if (holdsNew(plan.cfg)) {
        QString why;
        if (!takeBack(plan.cfg, ops, &why) && holdsNew(plan.cfg)) {
            // The new aircraft.cfg stays; the new model stays with it.
            problem.standing.cfg = FileLeft{plan.cfg.path, why, plan.cfg.backup, !plan.cfg.before};
            if (plan.model)
                problem.standing.model = FileLeft{plan.model->path, {}, plan.model->backup, !plan.model->before};
            return problem;
        }
    }
    if (plan.model)
        putModelBack(problem);
    return problem;
}

} // namespace

// The files and folders to keep, then the files (see replaceFiles). A folder of the aircraft made
// for the files goes again when they could not be put in place.
std::optional<Failure> apply(const Plan& plan, const FileOps& ops) {
    if (plan.recheck) {
        // The files must still be what the question was about.
        for (const Change* change : {plan.model ? &*plan.model : nullptr, &plan.cfg}) {
            std::optional<QByteArray> now;
            if (change && (readIfThere(change->path, &now) || now != change->before))
                return failure(Kind::ChangedMeanwhile, change->path);
        }
        for (const Keep& k : plan.keeps) {
            if (k.ofAircraft && pathprobe::probeEntry(k.path).state != pathprobe::Probe::State::Missing)
                return failure(Kind::ChangedMeanwhile, k.path);
        }
    }
    QStringList madeFolders; // of the aircraft itself, which go again should the files not change
    std::optional<Failure> problem;
    for (const Keep& k : plan.keeps) {
        problem = keep(k, ops);
        if (problem)
            break;
        if (k.ofAircraft)
            madeFolders.prepend(k.path);
    }
    if (!problem)
        problem = replaceFiles(plan, ops);
    if (problem) {
        for (const QString& folder : madeFolders)
            QDir().rmdir(folder); // only while empty
    }
    return problem;
}

} // namespace fileplan
