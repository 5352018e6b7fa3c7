#pragma once

#include <QString>

#include <optional>

// The program's own German texts, compiled in from the same sources as the language databases
// (data/languages/*.tsv). They stand in for a message when the language database cannot answer,
// so that no message is ever empty or says less than it should.
namespace builtin {

// The German text of `key` (letter case of the key does not matter), or std::nullopt for a key
// the program does not have.
std::optional<QString> text(const QString& key);

} // namespace builtin
