#pragma once

#include "WeightAndBalance.h"
#include "common/AtomicFile.h"
#include "common/MessagePart.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Writes a loading into an installed copy of the TQ 58: the model variant over the copy's
// Model/TQ58-161.mdl, and the new weight-and-balance section into its aircraft.cfg.
//
// Everything that can be checked beforehand is checked before the first file changes: that every
// file can be read and is a regular file, that aircraft.cfg is not in UTF-16 or UTF-32 (which the
// export does not rewrite), that nothing to be replaced is read-only (by its permission bits,
// whoever the program runs as), and that each replaced file can keep its owner and group. Each
// file is replaced as a whole (see AtomicFile). The first export keeps the files as installed in
// the copy's backups (see Backups.h): aircraft.cfg, and the model whatever its content, or the
// note that there was none; a backup that is there is never overwritten. If aircraft.cfg cannot
// be replaced after the model was, the old model is put back.
namespace exportwriter {

inline constexpr auto kModelFolder = "Model";
inline constexpr auto kModelFile = "TQ58-161.mdl";

struct Job {
    QString cfgPath;         // the chosen copy's aircraft.cfg
    QString programFolder;   // ends with "/"; holds Models/1.mdl ... Models/5.mdl
    wab::StationLoads loads; // which seats are occupied follows from which loads there are
};

// Why an export stopped. Each kind names the language key of its message; `path` is the file or
// folder concerned and `reason` the system's explanation where there is one.
struct Failure {
    enum class Kind {
        FileMissing,        // strExportFileMissing
        NotAFile,           // strExportNotAFile: a folder, a pipe, a device, a link at a backup's place
        ReadOnly,           // strExportReadOnly
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
    };
    Kind kind;
    QString path;
    QString reason;
    // What was under way: an export, or a restore from the backups (whose "new" files are the
    // files as installed).
    enum class Operation { Export, Restore };
    Operation operation = Operation::Export;
    // Set when the model had been replaced and could not be put back: the model file, why, and
    // where the model as it was installed is kept (empty when there is no backup of it).
    QString unrestoredModel;
    QString restoreReason;
    QString modelBackup;
    bool modelWasCreated = false; // the model had not been there before this export
    // Set when the new aircraft.cfg had already taken the old one's place and putting the old one
    // back failed as well: the file, why, and where the file as installed is kept. The model then
    // stays with the new loading too; `newModel` names it when it had been replaced.
    QString unrestoredCfg;
    QString cfgRestoreReason;
    QString cfgBackup;
    QString newModel;
    QString newModelBackup;

    // True when the aircraft is as it was before the export (backups may have been made).
    bool nothingChanged() const { return unrestoredModel.isEmpty() && unrestoredCfg.isEmpty(); }
};

// The language key of a failure's message. Its text holds %1 for the path and, for the kinds with
// a reason, %2 for the reason.
QString messageKey(Failure::Kind kind);
bool hasReason(Failure::Kind kind);

using MessagePart = ::MessagePart;

// What the user is told when an export stopped: first what failed, then the state the aircraft is
// in ("nothing has been changed" only when that is true; else which file holds what, and where
// the backups are).
QList<MessagePart> describe(const Failure& failure);

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
    // The restore: a backup's bytes, owner, group and mode over the file; a model the export made
    // goes again.
    Copy restoreCopy = atomicfile::restoreCopy;
    std::function<bool(const QString& path, QString* reason)> removeFile = atomicfile::removeFile;
    static FileOps atomic() { return {}; }
};

// True when `content` is text in UTF-16 or UTF-32: by its byte-order mark, or without one by the
// zero bytes that such text has between ASCII characters and that 8-bit text never has.
bool isWideText(const QByteArray& content);

// Runs the export. std::nullopt when every step succeeded.
std::optional<Failure> write(const Job& job, const FileOps& ops = FileOps::atomic());

} // namespace exportwriter
