// Any text read as a number: no crash, and a whole number is either in range or refused.
#include "core/common/Numbers.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const double value = num::numericValue(text);
    if (std::isnan(value))
        std::abort();
    if (const auto whole = num::toWhole(value)) {
        if (std::fabs(value - *whole) > 0.5)
            std::abort();
        if (num::plainDigits(*whole).toInt() != *whole || num::signedForm(*whole).trimmed().toInt() != *whole)
            std::abort();
    } else if (std::fabs(value) < 32767.5 - 1e-9 && value > -32768.5) {
        std::abort();
    }
    return 0;
}
