#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What is at a path, told apart the way a user needs it told: nothing there, a file, a folder,
// or something that exists (or may exist) but cannot be reached or read, with the system's reason.
// "Missing" is said only when the system says so.
namespace pathprobe {

struct Probe {
    enum class State { Missing, File, Folder, Unreadable };
    State state = State::Missing;
    QString reason; // for Unreadable
};

Probe probe(const QString& path);

// The names in a folder (without "." and ".."), unsorted. std::nullopt when the folder cannot be
// listed: *missing tells whether it is simply not there, *reason says why otherwise.
std::optional<QStringList> listFolder(const QString& folder, bool* missing, QString* reason);

} // namespace pathprobe
