#include "PreExportCheck.h"

#include "common/Dialogs.h"
#include "common/Numbers.h"

#include <algorithm>

namespace preexport {

bool check(const QString& totalCaption, Dialogs& dialogs, const TextLookup& text, QWidget* parent) {
    const QString title = QStringLiteral("?");
    const double value =
        num::numericValue(QStringView(totalCaption).chopped(std::min<qsizetype>(3, totalCaption.size())));
    // The caption always holds a 16-bit total; a caption that somehow does not still gets asked
    // about rather than waved through.
    const int total = num::toWhole(value).value_or(32767);
    const int margin = kMtow - total;

    if (margin <= 0) {
        const QString prompt = text(QStringLiteral("strOverMTOW")) + QStringLiteral("! ") +
                               text(QStringLiteral("strNoFuel")) + QLatin1Char('?');
        if (!dialogs.question(parent, prompt, title))
            return false;
    }
    if (margin <= kFuelWarningMargin) {
        const QString prompt = text(QStringLiteral("strOnlyFuel_1")) + num::plainDigits(margin) +
                               QStringLiteral(" kg (= ") + num::plainDigits(num::kgToPounds(margin)) +
                               QStringLiteral(" lbs) ") + text(QStringLiteral("strOnlyFuel_2"));
        if (!dialogs.question(parent, prompt, title))
            return false;
    }
    return true;
}

} // namespace preexport
