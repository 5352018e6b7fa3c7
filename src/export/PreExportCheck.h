#pragma once

#include <QString>

#include <functional>

class Dialogs;
class QWidget;

// The check before an export: the total against the maximum take-off weight, and how much fuel
// can still be taken on. Returns true when the export may go on (no question, or Yes to each).
namespace preexport {

inline constexpr int kMtow = 1058;
inline constexpr int kFuelWarningMargin = 140;

using TextLookup = std::function<QString(const QString& key)>;

// `totalCaption` is the caption of the total read-out (sign place, digits, " kg").
bool check(const QString& totalCaption, Dialogs& dialogs, const TextLookup& text, QWidget* parent = nullptr);

} // namespace preexport
