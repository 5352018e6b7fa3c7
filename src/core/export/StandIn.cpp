#include "StandIn.h"

namespace exportwriter {

bool isStandIn(const QByteArray& content) {
    return content.startsWith(kStandInMarker);
}

std::optional<fileplan::Failure> refuseStandInOverModel(const QString& variantPath, const QByteArray& variant,
                                                        const QString& modelPath,
                                                        const std::optional<QByteArray>& modelBefore) {
    if (!modelBefore || isStandIn(*modelBefore) || !isStandIn(variant))
        return std::nullopt;
    return fileplan::failure(fileplan::Failure::Kind::StandInVariant, variantPath, modelPath);
}

} // namespace exportwriter
