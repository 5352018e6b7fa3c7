#pragma once

#include "WeightAndBalance.h"
#include "core/common/AtomicFile.h"
#include "core/common/MessagePart.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Writes a loading into an installed copy of the TQ 58: the model variant over the copy's
// Model/TQ58-161.mdl, and the new weight-and-balance section into its aircraft.cfg.
//
// An export, like a restore (see Restore.h), first makes a plan: plain data that says for each
// file its path, what it holds now, what it will hold and where that comes from, and its backup.
// Every check is made while planning. One apply then carries out any plan.
//
// Everything that can be checked beforehand is checked before the first file changes: that every
// file can be read and is a regular file, that aircraft.cfg is not in UTF-16 or UTF-32 (which the
// export does not rewrite), that nothing to be replaced is read-only (by its permission bits,
// whoever the program runs as), and that each replaced file can keep its owner and group. Each
// file is replaced as a whole (see AtomicFile). The first export keeps the files as installed in
// the copy's backups (see Backups.h): aircraft.cfg, and the model whatever its content, or the
// note that there was none, and the owner, group and permissions of both; a backup that is there is
// never overwritten, and a backups' folder without any write permission is read-only for
// everybody. If aircraft.cfg cannot be replaced after the model was, the old model is put back.
// The export holds the lock of the copy (see CopyLock.h) from its plan to the end of its apply.
namespace exportwriter {

inline constexpr auto kModelFolder = "Model";
inline constexpr auto kModelFile = "TQ58-161.mdl";

struct Job {
    QString cfgPath;         // the chosen copy's aircraft.cfg
    QString programFolder;   // ends with "/"; holds Models/1.mdl ... Models/5.mdl
    wab::StationLoads loads; // which seats are occupied follows from which loads there are
};

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

using MessagePart = ::MessagePart;

// What was under way: an export, or a restore from the backups (whose "new" files are the files
// as installed, which its messages call them).
enum class Operation { Export, Restore };

// What the user is told when an export or a restore stopped: first what failed, then the state the
// aircraft is in ("nothing has been changed" only when that is true; else which file holds what,
// and where the backups are).
QList<MessagePart> describe(const Failure& failure, Operation operation = Operation::Export);

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

// True when `content` is text in UTF-16 or UTF-32: by its byte-order mark, or without one by the
// zero bytes that such text has between ASCII characters and that 8-bit text never has.
bool isWideText(const QByteArray& content);

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
    // The folder of the model the copy shows when that is not its Model folder ([fltsim.N] with
    // model=xyz: Model.xyz). No variant is made for it, so an export leaves every model as it is.
    QString shownModelFolder;
};

// The export's plan: the backups to make, the model variant over the model, the new section in
// aircraft.cfg. A failure when something stands in the way.
std::optional<Failure> plan(const Job& job, Plan* plan);

// Carries out a plan: the files and folders to keep, then the model (if any) and aircraft.cfg in
// turn. std::nullopt when every step succeeded. The caller holds the lock of the copy.
std::optional<Failure> apply(const Plan& plan, const FileOps& ops = FileOps::atomic());

// The export: its plan, then its apply.
std::optional<Failure> write(const Job& job, const FileOps& ops = FileOps::atomic());

// The export as the user asked for it: the failure's message, or what the completion message says
// (that the loading is written and, when the model was left as it was, why: a passenger but no
// co-pilot, or a copy that shows its model from another folder).
struct Report {
    bool done = false;
    QList<MessagePart> message;
};
Report exportLoading(const Job& job, const FileOps& ops = FileOps::atomic());

// The checks a plan makes.
//
// Whether `path` may be replaced (or created). A file without any write permission is read-only
// for everybody, administrators included; the temporary file needs a writable folder beside it;
// the new file must be able to keep the old one's owner and group.
std::optional<Failure> checkReplaceable(const QString& path);
// The failure for a path that is not there as a regular file (`whenMissing` when it is not there
// at all), or std::nullopt when it is one.
std::optional<Failure> checkIsFile(const QString& path, Failure::Kind whenMissing);
// Reads an existing file whole into *content.
std::optional<Failure> readExisting(const QString& path, QByteArray* content);
// The same, and checks that the file may be replaced.
std::optional<Failure> readReplaceable(const QString& path, QByteArray* content);
// What is at `path` now: its content, std::nullopt when nothing is there; a failure when it cannot
// be read or replaced.
std::optional<Failure> readIfThere(const QString& path, std::optional<QByteArray>* content);
// Where the copy of `cfgPath` keeps its model: *modelFolder is its Model folder as spelled on disk
// (empty when the copy has none), *modelPath its TQ58-161.mdl (as spelled on disk, or where it
// would be created) and *modelExists whether it is there. A folder or file that exists but cannot
// be read is a failure.
std::optional<Failure> locateModel(const QString& cfgPath, QString* modelFolder, QString* modelPath, bool* modelExists);

} // namespace exportwriter
