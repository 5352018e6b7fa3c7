#pragma once

#include "ExportWriter.h"

#include <QString>

#include <optional>

// Gives an installed copy of the TQ 58 back as it was installed: aircraft.cfg gets the content of
// aircraft.cfg.bak, and the model that of TQ58-161.mdl.bak where there is one (without it the
// model stays as it is: it may be an installed model equal to a shipped variant). The backups
// stay, and nothing is deleted. The same checks come first and the same rollback follows as in
// an export: both files as installed, or both as they were.
namespace restore {

// True when the copy of `cfgPath` has an aircraft.cfg.bak (in any letter case).
bool hasBackup(const QString& cfgPath);

struct Result {
    bool modelRestored = false; // false: no backup of the model, which stays as it is
};

// std::nullopt with *result filled when both files are as installed; otherwise what stopped it,
// with the state of the aircraft (see exportwriter::describe).
std::optional<exportwriter::Failure> run(const QString& cfgPath, Result* result,
                                         const exportwriter::FileOps& ops = exportwriter::FileOps::atomic());

} // namespace restore
