#pragma once

#include "core/common/MessagePart.h"

#include <QList>
#include <QString>

#include <optional>

// What went wrong in an export or a restore, and what the user is told of it: the kind of failure,
// the file concerned, the system's reason, and where each file of the aircraft stands afterwards.
namespace fileplan {

// Where a file of the aircraft stands after an apply that failed, when it is not as it was: it
// holds its new content (for a restore: its content as installed) and did not go back, or, the
// model, stays new with an aircraft.cfg that did not go back.
struct FileLeft {
    QString path;
    QString reason;       // why it did not go back; empty when it stays on purpose
    QString backup;       // where the file as installed is kept; empty when nowhere
    bool created = false; // the file had not been there before
};

// Where the aircraft stands after a failure: as it was, unless the apply was under way.
struct Standing {
    std::optional<FileLeft> model; // the model holds the new content
    std::optional<FileLeft> cfg;   // the new aircraft.cfg stays (and with it the model, when named)
};

// What went wrong. Each kind names the language key of its message; `path` is the file or folder
// concerned and `reason` the system's explanation where there is one. `standing` says apart from
// that where the files now are.
struct Failure {
    enum class Kind {
        FileMissing,        // strExportFileMissing
        NotAFile,           // strExportNotAFile: a folder, a pipe, a device, a link at a backup's place
        BackupsBlocked,     // strExportBackupsBlocked: a file or a link at the backups' folder's place
        ReadOnly,           // strExportReadOnly: no write permission at all (the read-only attribute)
        NoPermission,       // strExportNoPermission: another's file, or one this user may not write
        FolderReadOnly,     // strExportFolderReadOnly
        ModelFolderMissing, // strExportModelFolderMissing
        VariantMissing,     // strExportVariantMissing
        ReadFailed,         // strExportReadFailed
        FolderUnreadable,   // strExportFolderUnreadable
        OwnerNotKept,       // strExportOwnerNotKept
        WriteFailed,        // strExportWriteFailed
        BackupFailed,       // strExportBackupFailed
        WideEncoding,       // strExportWideEncoding: aircraft.cfg in UTF-16 or UTF-32
        ChangedMeanwhile,   // strExportChangedMeanwhile: a file changed while the question was open
        StandInVariant,     // strExportStandIn: `path` the variant, `reason` the model it would replace
        Busy,               // strExportBusy: another program is changing the copy in the folder `path`
        ShippedFile,        // strExportShippedFile: `path` leads to `reason`, a file the program ships
        ShippedLink,        // strExportShippedLink: `reason`, a file the program ships, leads to `path`
        ReadOnlyVolume,     // strExportReadOnlyVolume: `path` is on a read-only file system or drive
        LinkLeadsNowhere,   // strExportLinkNowhere: `path` is a link to `reason`, whose folder is not there
    };
    Kind kind;
    QString path;
    QString reason;
    Standing standing;

    // True when the aircraft is as it was before (backups may have been made).
    bool nothingChanged() const { return !standing.model && !standing.cfg; }
};

inline Failure failure(Failure::Kind kind, const QString& path, const QString& reason = QString()) {
    return Failure{kind, path, reason, {}};
}

// The language key of a failure's message. Its text holds %1 for the path and, for the kinds with
// a reason, %2 for the reason.
QString messageKey(Failure::Kind kind);
bool hasReason(Failure::Kind kind);

// What was under way: an export, or a restore from the backups (whose "new" files are the files
// as installed, which its messages call them).
enum class Operation { Export, Restore };

// What the user is told when an export or a restore stopped: first what failed, then the state the
// aircraft is in ("nothing has been changed" only when that is true; else which file holds what,
// and where the backups are).
QList<MessagePart> describe(const Failure& failure, Operation operation = Operation::Export);

} // namespace fileplan
