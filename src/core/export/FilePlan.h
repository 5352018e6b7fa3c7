#pragma once

#include "PlanFailure.h"
#include "core/common/AtomicFile.h"
#include "core/common/MessagePart.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

// The changes an export or a restore makes to a copy of the aircraft, as a plan, and the one apply
// that carries out any plan.
//
// A plan is plain data, worked out with every check made (see PlanChecks.h) and nothing changed:
// for each file its path, what it holds now, what it will hold and where that comes from, and its
// backup; and the files and folders to make before any file of the aircraft changes. The apply
// makes those, then replaces the model and aircraft.cfg in turn, so that the two either both change
// or both stay as they were: whatever was done is taken back when a later step fails, and the
// failure says where each file stands when something cannot be taken back (see PlanFailure.h).
namespace fileplan {

// The ways a file of the aircraft is written (see AtomicFile); tests put failing ones in.
struct FileOps {
    using Data = std::function<bool(const QString& path, const QByteArray& data, QString* reason)>;
    using Copy = std::function<bool(const QString& source, const QString& target, QString* reason)>;
    Data replaceWithData = atomicfile::replaceWithData;
    Copy replaceWithCopy = atomicfile::replaceWithCopy;
    // The backups: made only where nothing is, with the original's owner, group and mode.
    Copy createCopy = atomicfile::createCopy;
    std::function<bool(const QString& path, const QByteArray& data, const QString& like, QString* reason)>
        createWithData = atomicfile::createWithData;
    std::function<bool(const QString& path, const QString& like, QString* reason)> createFolder =
        atomicfile::createFolder;
    // The restore: a backup's bytes, with the owner, group and mode as installed, over the file; a
    // model the export made goes again.
    std::function<bool(const QString& source, const QString& target, const atomicfile::Attributes& installed,
                       QString* reason)>
        restoreCopy = atomicfile::restoreCopy;
    std::function<bool(const QString& path, QString* reason)> removeFile = atomicfile::removeFile;
    static FileOps atomic() { return {}; }
};

// A file of the aircraft as a plan has it: what it holds now and what it will hold.
struct Change {
    QString path;
    std::optional<QByteArray> before; // std::nullopt: not there (taking the change back removes it)
    std::optional<QByteArray> after;  // std::nullopt: the file goes
    QString from;                     // the file `after` is copied from; empty: `after` is written
    bool fromAttributes = false;      // a restore: the file takes `installed`, else `from`'s owner, group and mode
    atomicfile::Attributes installed; // for a restore: as recorded at the first export, where known
    QString backup;                   // where the file as installed is kept; empty when nowhere
};

// A file or folder made before any file of the aircraft changes, only where nothing is.
struct Keep {
    enum class How {
        Folder, // a folder, with the owner, group and mode of the folder `from`
        Copy,   // a byte copy of `from`, with its owner, group and mode
        Data,   // `data`, with the owner, group and mode of the file `from`
    };
    How how;
    QString path;
    QString from;
    QByteArray data;
    // A folder of the aircraft itself (the Model folder a restore makes again): it must still be
    // missing when a plan is rechecked, and it goes again (while empty) when the apply fails.
    bool ofAircraft = false;
};

// Everything an export or a restore does, worked out with every check made and nothing changed.
struct Plan {
    bool recheck = false; // the files must still hold what the plan found (after a question)
    QList<Keep> keeps;
    std::optional<Change> model;
    Change cfg;
};

// Carries out a plan: the files and folders to keep, then the model (if any) and aircraft.cfg in
// turn. std::nullopt when every step succeeded. The caller holds the lock of the copy.
std::optional<Failure> apply(const Plan& plan, const FileOps& ops = FileOps::atomic());

// An export or a restore as the user asked for it, for a window to show: whether the files
// changed, and what the user is told (the failure's message, or what the completion message says).
// Not done and nothing to tell: the user said No to the question, and nothing changed.
struct Report {
    bool done = false;
    QList<MessagePart> message;
};

} // namespace fileplan
