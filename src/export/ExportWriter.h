#pragma once

#include "WeightAndBalance.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

// Writes a loading into an installed copy of the TQ 58: the model variant over the copy's
// Model/TQ58-161.mdl, and the new weight-and-balance section into its aircraft.cfg.
//
// Everything that can be checked beforehand is checked before the first file changes. Each file
// is replaced as a whole (see AtomicFile), and the first export that changes a file keeps the file
// as it was beside it ("aircraft.cfg.bak", "TQ58-161.mdl.bak"); an existing backup is never
// overwritten. If aircraft.cfg cannot be replaced after the model was, the old model is put back.
namespace exportwriter {

inline constexpr auto kModelFolder = "Model";
inline constexpr auto kModelFile = "TQ58-161.mdl";
inline constexpr auto kBackupSuffix = ".bak";

struct Job {
    QString cfgPath;       // the chosen copy's aircraft.cfg
    QString programFolder; // ends with "/"; holds Models/1.mdl ... Models/5.mdl
    bool coPilot = false;
    bool paxLeft = false;
    bool paxRight = false;
    wab::StationLoads loads;
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
        WriteFailed,        // strExportWriteFailed
        BackupFailed,       // strExportBackupFailed
    };
    Kind kind;
    QString path;
    QString reason;
    // Set when the model had been replaced and could not be put back: the model file, why, and
    // where the model as it was installed is kept.
    QString unrestoredModel;
    QString restoreReason;
    QString modelBackup;
};

// The language key of a failure's message. Its text holds %1 for the path and, for the kinds with
// a reason, %2 for the reason.
QString messageKey(Failure::Kind kind);
bool hasReason(Failure::Kind kind);

// The two ways a file is replaced; tests put failing ones in.
struct FileOps {
    std::function<bool(const QString& path, const QByteArray& data, QString* reason)> replaceWithData;
    std::function<bool(const QString& source, const QString& target, QString* reason)> replaceWithCopy;
    static FileOps atomic();
};

// Runs the export. std::nullopt when every step succeeded.
std::optional<Failure> write(const Job& job, const FileOps& ops = FileOps::atomic());

} // namespace exportwriter
