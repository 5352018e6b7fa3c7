#pragma once

#include "ExportWriter.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

// What an export and a restore share: the checks before a file of the aircraft is replaced, where
// its backup is, and the replacement of the model and aircraft.cfg in turn, so that the two files
// either both change or both stay as they were.
namespace exportwriter {

Failure failure(Failure::Kind kind, const QString& path, const QString& reason = QString());

// True when the file at `path` can be read and holds exactly `content`.
bool holds(const QString& path, const QByteArray& content);

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

// Where the copy of `cfgPath` keeps its model: *modelFolder is its Model folder as spelled on disk
// (empty when the copy has none), *modelPath its TQ58-161.mdl (as spelled on disk, or where it
// would be created) and *modelExists whether it is there. A folder or file that exists but cannot
// be read is a failure.
std::optional<Failure> locateModel(const QString& cfgPath, QString* modelFolder, QString* modelPath, bool* modelExists);

// One file to be replaced.
struct Replacement {
    QString path;
    std::optional<QByteArray> before; // what it holds now; std::nullopt when it is not there yet
                                      // (taking the replacement back then removes it)
    std::function<bool(QString* reason)> put;
    // True when the file now holds the new content, and that differs from `before`.
    std::function<bool()> holdsNew;
    QString backup; // where the file as installed is kept; empty when nowhere
};

// Replaces the model (if any), then aircraft.cfg. A replacement can fail after its rename (the
// folder could not be synced), with the new file in place all the same; whatever was done is
// taken back, so the model never shows a loading that aircraft.cfg does not have. Should the new
// aircraft.cfg be in place and the old one not go back, the failure says so, and the new model
// stays with it.
std::optional<Failure> replaceInTurn(const std::optional<Replacement>& model, const Replacement& cfg,
                                     const FileOps& ops);

} // namespace exportwriter
