#include "StandIn.h"

#include "core/common/FileRead.h"

#include <QDir>
#include <QFile>

namespace exportwriter {

bool isStandIn(const QByteArray& content) {
    return content.startsWith(kStandInMarker);
}

std::optional<fileplan::Failure> refuseStandInOverModel(const QString& variantPath, const QString& modelPath,
                                                        const std::optional<QByteArray>& modelBefore) {
    if (!modelBefore || isStandIn(*modelBefore))
        return std::nullopt;
    // The marker is at the very start: a real model is never read further than that.
    QFile variant;
    QString reason;
    if (!openRegularFile(variant, variantPath, &reason))
        return fileplan::failure(fileplan::Failure::Kind::ReadFailed, variantPath, reason);
    if (!isStandIn(variant.read(qstrlen(kStandInMarker))))
        return std::nullopt;
    return fileplan::failure(fileplan::Failure::Kind::StandInVariant, variantPath, modelPath);
}

} // namespace exportwriter
