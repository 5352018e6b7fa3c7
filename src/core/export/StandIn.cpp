#include "StandIn.h"

#include <QDir>
#include <QFile>

namespace exportwriter {

bool isStandIn(const QByteArray& content) {
    return content.startsWith(kStandInMarker);
}

std::optional<Failure> refuseStandInOverModel(const QString& variantPath, const QString& modelPath,
                                              const std::optional<QByteArray>& modelBefore) {
    if (!modelBefore || isStandIn(*modelBefore))
        return std::nullopt;
    // The marker is at the very start: a real model is never read further than that.
    QFile variant(variantPath);
    if (!variant.open(QIODevice::ReadOnly))
        return failure(Failure::Kind::ReadFailed, variantPath, variant.errorString());
    if (!isStandIn(variant.read(qstrlen(kStandInMarker))))
        return std::nullopt;
    return failure(Failure::Kind::StandInVariant, variantPath, modelPath);
}

} // namespace exportwriter
