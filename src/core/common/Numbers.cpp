#include "Numbers.h"

#include <charconv>
#include <cmath>
#include <string>

namespace num {
namespace {

bool isIgnored(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// The characters of the text without the ignored ones, as long as they are plain ASCII; anything
// else ends the number anyway, so it is replaced by a stop mark.
std::u16string squeezed(QStringView text) {
    std::u16string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (QChar c : text) {
        if (isIgnored(c))
            continue;
        out.push_back(c.unicode() < 128 ? c.unicode() : u'\x01');
    }
    return out;
}

double radixValue(const std::u16string& s, std::size_t pos, int radix) {
    double value = 0.0;
    for (; pos < s.size(); ++pos) {
        const char16_t c = s[pos];
        int digit = -1;
        if (isDigit(c))
            digit = c - u'0';
        else if (c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0 || digit >= radix)
            break;
        value = value * radix + digit;
    }
    return value;
}

} // namespace

double numericValue(QStringView text) {
    const std::u16string s = squeezed(text);
    if (s.size() >= 2 && s[0] == u'&') {
        if (s[1] == u'H' || s[1] == u'h')
            return radixValue(s, 2, 16);
        if (s[1] == u'O' || s[1] == u'o')
            return radixValue(s, 2, 8);
        return 0.0;
    }

    // Collect the longest prefix of the form [sign] digits [. digits] [e [sign] digits].
    std::string number;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
        if (s[i] == u'-')
            number.push_back('-');
        ++i;
    }
    bool anyDigit = false;
    while (i < s.size() && isDigit(s[i])) {
        number.push_back(static_cast<char>(s[i++]));
        anyDigit = true;
    }
    if (i < s.size() && s[i] == u'.') {
        ++i;
        std::string fraction;
        while (i < s.size() && isDigit(s[i]))
            fraction.push_back(static_cast<char>(s[i++]));
        if (!fraction.empty()) {
            number += '.';
            number += fraction;
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return 0.0;
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E' || s[i] == u'd' || s[i] == u'D')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == u'+' || s[j] == u'-'))
            exponent.push_back(static_cast<char>(s[j++]));
        const std::size_t firstDigit = j;
        while (j < s.size() && isDigit(s[j]))
            exponent.push_back(static_cast<char>(s[j++]));
        if (j > firstDigit)
            number += exponent;
    }

    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Too many digits or too big an exponent: keep the direction, so the caller sees a
        // value outside every range it accepts (or a plain 0 for underflow).
        const bool negative = !number.empty() && number[0] == '-';
        const auto ePos = number.find('e');
        const bool tiny = ePos != std::string::npos && number.find('-', ePos) != std::string::npos;
        if (tiny)
            return 0.0;
        return negative ? -HUGE_VAL : HUGE_VAL;
    }
    (void)ptr;
    return value;
}

std::optional<std::int16_t> toWhole(double value) {
    if (std::isnan(value))
        return std::nullopt;
    double rounded = std::round(value);
    if (std::fabs(value - std::trunc(value)) == 0.5)
        rounded = 2.0 * std::round(value / 2.0);
    if (rounded < -32768.0 || rounded > 32767.0)
        return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

QString plainDigits(std::int64_t value) {
    return QString::number(value);
}

QString signedForm(std::int64_t value) {
    if (value < 0)
        return QString::number(value);
    return QLatin1Char(' ') + QString::number(value);
}

std::int64_t kgToPounds(double kilograms) {
    return static_cast<std::int64_t>(std::floor(kilograms * 2.2046));
}

} // namespace num
