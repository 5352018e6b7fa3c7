#pragma once

#include <QString>

// The names of the TQ 58's files in an FS2000 installation, and of the model variants the program
// ships: written here once, for every part of the program that looks for them.

// The model file's name, as a literal, so that the names made of it (the backups') are literals too.
#define MEROVAN_TQ58_MODEL_FILE "TQ58-161.mdl"

namespace aircraftnames {

inline constexpr auto kAircraftFolder = "Aircraft";      // below the FS2000 folder
inline constexpr auto kCopyFolderPrefix = "nerova_tq58"; // a copy's folder begins so, in any letter case
inline constexpr auto kAircraftCfg = "aircraft.cfg";
inline constexpr auto kModelFolder = "Model";
inline constexpr auto kModelStem = "TQ58-161";
inline constexpr auto kModelExtension = ".mdl";
inline constexpr auto kModelFile = MEROVAN_TQ58_MODEL_FILE;

// The model variants in the program folder, one for each combination of seats the model shows.
inline constexpr int kFirstVariant = 1;
inline constexpr int kLastVariant = 5;
// The variant `n`, relative to the program folder: "Models/<n>.mdl".
inline QString variant(int n) {
    return QStringLiteral("Models/%1.mdl").arg(n);
}

} // namespace aircraftnames
