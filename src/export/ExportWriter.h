#pragma once

#include "WeightAndBalance.h"
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
// file can be read, that nothing to be replaced is read-only (by its permission bits, whoever the
// program runs as), and that each replaced file can keep its owner and group. Each file is replaced
// as a whole (see AtomicFile). The first export that changes a file keeps it as installed beside it
// ("aircraft.cfg.bak", "TQ58-161.mdl.bak"); an existing backup is never overwritten, and a model
// equal to one of the shipped variants is not backed up (it was put there by an export, or stays
// available in Models/ anyway). If aircraft.cfg cannot be replaced after the model was, the old
// model is put back.
namespace exportwriter {

inline constexpr auto kModelFolder = "Model";
inline constexpr auto kModelFile = "TQ58-161.mdl";
inline constexpr auto kBackupSuffix = ".bak";

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
        NotAFile,           // strExportNotAFile
        ReadOnly,           // strExportReadOnly
        FolderReadOnly,     // strExportFolderReadOnly
        ModelFolderMissing, // strExportModelFolderMissing
        VariantMissing,     // strExportVariantMissing
        ReadFailed,         // strExportReadFailed
        FolderUnreadable,   // strExportFolderUnreadable
        OwnerNotKept,       // strExportOwnerNotKept
        WriteFailed,        // strExportWriteFailed
        BackupFailed,       // strExportBackupFailed
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

// The two ways a file is replaced; tests put failing ones in.
struct FileOps {
    std::function<bool(const QString& path, const QByteArray& data, QString* reason)> replaceWithData;
    std::function<bool(const QString& source, const QString& target, QString* reason)> replaceWithCopy;
    static FileOps atomic();
};

// True when `content` equals one of the shipped model variants Models/1.mdl ... 5.mdl.
bool isShippedVariant(const QString& programFolder, const QByteArray& content);

// Runs the export. std::nullopt when every step succeeded.
std::optional<Failure> write(const Job& job, const FileOps& ops = FileOps::atomic());

} // namespace exportwriter
