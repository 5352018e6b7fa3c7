#pragma once

#include <QString>

#include <optional>

// The reasons the system gives for a failed file operation, told in the program's language. A
// reason is carried as the system's own text (strerror, or the few texts of the program's own
// file routines); the ones a user meets most have a language key, and the rest stay as the system
// wrote them.
namespace systemreasons {

// The language key for `reason`, or std::nullopt when it has none.
std::optional<QString> keyOf(const QString& reason);

} // namespace systemreasons
