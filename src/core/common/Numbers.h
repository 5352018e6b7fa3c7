#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

// How the program reads numbers out of texts and writes them back. Every text box, tooltip,
// caption and input-box answer goes through these, so their rules are the program's rules.
namespace num {

// The numeric value of a text. Blanks, tabs and line feeds are ignored wherever they stand; an
// optional sign, decimal digits, at most one "." (whatever the locale) and an optional exponent
// are read up to the first other character. "&H" and "&O" introduce a hexadecimal or octal whole
// number. A text that does not begin with a number gives 0.
double numericValue(QStringView text);

// The nearest whole number, halves going to the even neighbour, if it fits a 16-bit signed
// integer; std::nullopt when it does not (never a wrapped value).
std::optional<std::int16_t> toWhole(double value);

// Decimal digits with a leading "-" when negative; no blanks, no separators.
QString plainDigits(std::int64_t value);

// A sign place (a blank for zero or more, "-" for a negative number), then the digits.
QString signedForm(std::int64_t value);

// Kilograms to pounds, rounded down (towards minus infinity).
std::int64_t kgToPounds(double kilograms);

} // namespace num
