#include "PreExportCheck.h"

#include "core/common/Numbers.h"

namespace preexport {

QStringList questions(int total, const TextLookup& text) {
    const int margin = kMtow - total;
    QStringList asked;
    if (margin <= 0)
        asked << text(QStringLiteral("strOverMTOW")) + QStringLiteral("! ") + text(QStringLiteral("strNoFuel")) +
                     QLatin1Char('?');
    if (margin <= kFuelWarningMargin)
        asked << text(QStringLiteral("strOnlyFuel_1")) + num::plainDigits(margin) + QStringLiteral(" kg (= ") +
                     num::plainDigits(num::kgToPounds(margin)) + QStringLiteral(" lbs) ") +
                     text(QStringLiteral("strOnlyFuel_2"));
    return asked;
}

} // namespace preexport
