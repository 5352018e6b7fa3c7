#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

// The check before an export: the total against the maximum take-off weight, and how much fuel
// can still be taken on. The export goes on when each question is answered Yes.
namespace preexport {

inline constexpr int kMtow = 1058;
inline constexpr int kFuelWarningMargin = 140;

using TextLookup = std::function<QString(const QString& key)>;

// The room up to the maximum take-off weight for a loading of `total` kg, which is the fuel that
// can still be taken on: in kilograms (negative beyond it), and in pounds, rounded down.
struct Margin {
    int kilograms = 0;
    std::int64_t pounds = 0;
};
Margin margin(int total);

// The questions to ask, in order, for a loading of `total` kg (the total read-out's number).
QStringList questions(int total, const TextLookup& text);

} // namespace preexport
