#pragma once

#include "PlanFailure.h"

#include <QByteArray>
#include <QString>

#include <optional>

// The demo stand-ins: small text files that take the place of model files where no aircraft is
// installed (the demo FS2000 folder, and Models/ of the Linux program folder). Their first line
// starts with kStandInMarker. A stand-in is no model: the simulator would show the aircraft without
// one, so a stand-in never replaces a model that is not a stand-in itself.
namespace exportwriter {

inline constexpr auto kStandInMarker = "Merovan demo stand-in";

// True when `content` is a demo stand-in: its first line starts with kStandInMarker.
bool isStandIn(const QByteArray& content);

// Refuses to put the variant at `variantPath`, which holds `variant`, over the aircraft's model at
// `modelPath` (which holds `modelBefore`, std::nullopt when there is none yet) when the variant is a
// stand-in and the model is not. The failure's path is the variant, its reason the model it would
// have replaced.
std::optional<fileplan::Failure> refuseStandInOverModel(const QString& variantPath, const QByteArray& variant,
                                                        const QString& modelPath,
                                                        const std::optional<QByteArray>& modelBefore);

} // namespace exportwriter
