#include "runtime/NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace zor {

namespace {

// A finite number as sign, significant digits and exponent:
// value = 0.digits x 10^exponent. No leading or trailing zeros in digits;
// empty digits stand for zero.
struct Decimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;
    bool zero() const { return digits.empty(); }
};

// The shortest digits that read back as the same double, so that a value
// such as 1.005 rounds as the 1.005 it is shown as, not as the binary
// 1.00499999999999989... it is stored as.
Decimal decompose(double x)
{
    Decimal d;
    d.negative = std::signbit(x);
    if (x == 0)
        return d;
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific);
    const std::string_view text(buf, static_cast<size_t>(res.ptr - buf));
    const size_t e = text.find('e');
    for (char c : text.substr(0, e))
        if (c != '.')
            d.digits.push_back(c);
    d.exponent = std::atoi(std::string(text.substr(e + 1)).c_str()) + 1;
    d.digits.erase(d.digits.find_last_not_of('0') + 1);
    return d;
}

// Keeps n significant digits, a half going away from zero. n may be 0 or
// negative: the number then rounds to zero or up to one unit of the
// position just above its first digit.
Decimal roundTo(Decimal d, int n)
{
    if (n >= static_cast<int>(d.digits.size()))
        return d;
    if (n < 0) {
        d.digits.clear();
        return d;
    }
    const bool up = d.digits[static_cast<size_t>(n)] >= '5';
    d.digits.resize(static_cast<size_t>(n));
    if (up) {
        int i = n - 1;
        while (i >= 0 && d.digits[static_cast<size_t>(i)] == '9')
            d.digits[static_cast<size_t>(i--)] = '0';
        if (i >= 0) {
            ++d.digits[static_cast<size_t>(i)];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        }
    }
    d.digits.erase(d.digits.find_last_not_of('0') + 1);
    return d;
}

// The digit of position i counted from the first significant one, zero
// beyond the stored digits.
char digitAt(const Decimal& d, int i)
{
    return i >= 0 && i < static_cast<int>(d.digits.size()) ? d.digits[static_cast<size_t>(i)] : '0';
}

std::string sign(const Decimal& d)
{
    return d.negative && !d.zero() ? "-" : "";
}

// d.ddd followed by "E" and the decimal exponent, e.g. 1,5E-6 or 1E20.
std::string scientific(const Decimal& d, char separator)
{
    std::string s = sign(d) + d.digits.substr(0, 1);
    if (d.digits.size() > 1)
        s += separator + d.digits.substr(1);
    return s + "E" + std::to_string(d.exponent - 1);
}

// Fixed notation with exactly `decimals` digits after the separator (none
// and no separator for 0).
std::string fixed(const Decimal& d, int decimals, char separator)
{
    std::string s = sign(d);
    if (d.exponent <= 0)
        s += '0';
    for (int i = 0; i < d.exponent; ++i)
        s += digitAt(d, i);
    if (decimals > 0) {
        s += separator;
        for (int i = 0; i < decimals; ++i)
            s += digitAt(d, d.exponent + i);
    }
    return s;
}

// What a non-finite number is written as; nothing for a finite one.
std::optional<std::string> nonFinite(double x)
{
    if (std::isnan(x))
        return "NAN";
    if (std::isinf(x))
        return x < 0 ? "-INF" : "INF";
    return std::nullopt;
}

} // namespace

std::string FormatFixed(double x, int precision, int digits, char separator)
{
    if (auto s = nonFinite(x))
        return *s;
    digits = std::max(digits, 0);
    const Decimal exact = decompose(x);
    const Decimal rounded = roundTo(exact, precision);
    if (!rounded.zero() && rounded.exponent > precision)
        return scientific(rounded, separator);
    // One rounding only, to whichever of the two limits is tighter.
    return fixed(roundTo(exact, std::min(precision, exact.exponent + digits)), digits, separator);
}

std::string FormatGeneral(double x, int precision, char separator)
{
    if (auto s = nonFinite(x))
        return *s;
    const Decimal d = roundTo(decompose(x), precision);
    if (d.zero())
        return "0";
    // exponent -4 is 0.0000d: the smallest magnitude still written in full
    if (d.exponent > precision || d.exponent < -4)
        return scientific(d, separator);
    return fixed(d, std::max(0, static_cast<int>(d.digits.size()) - d.exponent), separator);
}

std::optional<double> ParseFloat(const std::string& text, char separator)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::nullopt;
    const size_t last = text.find_last_not_of(' ');
    std::string s = text.substr(first, last - first + 1);

    // sign, digits, optional separator and digits, optional exponent: the
    // only forms a user types; from_chars alone would also take "inf",
    // hexadecimal and a point in place of the separator.
    size_t i = 0;
    if (s[i] == '+' || s[i] == '-')
        ++i;
    const auto skipDigits = [&] {
        const size_t from = i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9')
            ++i;
        return i - from;
    };
    size_t mantissa = skipDigits();
    if (i < s.size() && s[i] == separator) {
        s[i++] = '.';
        mantissa += skipDigits();
    }
    if (mantissa == 0)
        return std::nullopt;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        if (skipDigits() == 0)
            return std::nullopt;
    }
    if (i != s.size())
        return std::nullopt;

    const char* begin = s.data() + (s[0] == '+' ? 1 : 0);
    double value = 0;
    const auto res = std::from_chars(begin, s.data() + s.size(), value);
    if (res.ec != std::errc())
        return std::nullopt;
    return value;
}

} // namespace zor
