#pragma once

#include "Backups.h"
#include "PlanFailure.h"

#include <QByteArray>
#include <QString>

#include <optional>

// The checks an export's or a restore's plan makes before anything changes, each a failure when
// something stands in the way and std::nullopt when not: whether a file is there as a regular file,
// can be read and may be replaced, what is at a backup's place, and where a copy keeps its model.
namespace fileplan {

// Whether `path`, which an export or a restore is to write, leads to one of the program's own files
// in `programFolder` (see ProgramFiles.h), or one of those leads to it: then it is refused, naming
// both files.
std::optional<Failure> checkNotShipped(const QString& path, const QString& programFolder);
// True when the program wrote `model` or found it there: the model as installed (std::nullopt:
// there was none), or one of the model variants of `programFolder`. Anything else was put in by
// hand.
bool programsModel(const QByteArray& model, const std::optional<QByteArray>& installed, const QString& programFolder);

// Whether `path` may be replaced (or created). Nothing can be changed on a read-only file system;
// a file without any write permission is read-only for everybody, administrators included; the
// temporary file needs a writable folder beside it; the new file must be able to keep the old
// one's owner and group. A link whose end is not there is written at its end, where that end's
// folder is there.
std::optional<Failure> checkReplaceable(const QString& path);
// The failure for a path that is not there as a regular file (`whenMissing` when it is not there
// at all), or std::nullopt when it is one.
std::optional<Failure> checkIsFile(const QString& path, Failure::Kind whenMissing);
// Reads the regular file at `path` whole into *content (`whenMissing` when it is not there); where
// it holds just the bytes of *likely, *content shares them (see readWholeFile()).
std::optional<Failure> readExisting(const QString& path, QByteArray* content,
                                    Failure::Kind whenMissing = Failure::Kind::FileMissing,
                                    const QByteArray* likely = nullptr);
// The same, and checks that the file may be replaced.
std::optional<Failure> readReplaceable(const QString& path, QByteArray* content, const QByteArray* likely = nullptr);
// What is at `path` now: its content, std::nullopt when nothing is there; a failure when it cannot
// be read or replaced.
std::optional<Failure> readIfThere(const QString& path, std::optional<QByteArray>* content);
// What stands at a backup's place (or the backups' folder's) that the program may not use.
std::optional<Failure> trouble(const backups::Place& place);
// The two places that say what the copy in `copyFolder` had for a model when it was installed: the
// backup of the model, and the note that there was none. At most one of them is made; a failure
// when either holds what the program may not use.
struct ModelBackups {
    backups::Place installed; // TQ58-161.mdl.installed
    backups::Place absent;    // TQ58-161.mdl.absent
    // True when the first export kept either.
    bool kept() const {
        return installed.state == backups::Place::State::Made || absent.state == backups::Place::State::Made;
    }
};
std::optional<Failure> lookAtModelBackups(const QString& copyFolder, ModelBackups* places);
// Where the copy of `cfgPath` keeps its model: *modelFolder is its Model folder as spelled on disk
// (empty when the copy has none), *modelPath its TQ58-161.mdl (as spelled on disk, or where it
// would be created) and *modelExists whether it is there. A folder or file that exists but cannot
// be read is a failure.
std::optional<Failure> locateModel(const QString& cfgPath, QString* modelFolder, QString* modelPath, bool* modelExists);

} // namespace fileplan
