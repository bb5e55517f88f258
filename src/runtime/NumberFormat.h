#pragma once
// Number texts as the panel shows them. The decimal separator is the user's
// (a comma in a Russian locale); callers pass it in, nothing here reads a
// global locale.

#include <optional>
#include <string>

namespace zor {

// x rounded to `precision` significant digits (halves away from zero), then
// written with exactly `digits` digits after the separator, at least one digit
// before it and a leading "-" when negative; scientific notation when the
// integer part needs more than `precision` digits.
std::string FormatFixed(double x, int precision, int digits, char separator);

// x rounded to `precision` significant digits in the shortest form: no
// trailing zeros, no separator when nothing follows it; fixed notation when
// the integer part has at most `precision` digits and |x| >= 0.00001,
// scientific otherwise.
std::string FormatGeneral(double x, int precision, char separator);

// Parses a number written with the given separator (surrounding blanks
// allowed); nothing when the text is not a number.
std::optional<double> ParseFloat(const std::string& text, char separator);

} // namespace zor
