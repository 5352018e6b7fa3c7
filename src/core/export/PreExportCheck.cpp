#include "PreExportCheck.h"

#include "core/common/Numbers.h"

namespace preexport {

Margin margin(int total) {
    const int kilograms = kMtow - total;
    return {kilograms, num::kgToPounds(kilograms)};
}

QStringList questions(int total, const TextLookup& text) {
    const Margin left = margin(total);
    QStringList asked;
    if (left.kilograms <= 0)
        asked << text(QStringLiteral("strOverMTOW")) + QStringLiteral("! ") + text(QStringLiteral("strNoFuel")) +
                     QLatin1Char('?');
    if (left.kilograms <= kFuelWarningMargin)
        asked << text(QStringLiteral("strOnlyFuel_1")) + num::plainDigits(left.kilograms) + QStringLiteral(" kg (= ") +
                     num::plainDigits(left.pounds) + QStringLiteral(" lbs) ") + text(QStringLiteral("strOnlyFuel_2"));
    return asked;
}

} // namespace preexport
