#include "runtime/NumberFormat.h"

#include <gtest/gtest.h>

#include <limits>

using zor::FormatFixed;
using zor::FormatGeneral;
using zor::ParseFloat;

namespace {

constexpr double Nan = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

struct FixedRow {
    double x;
    int precision;
    int digits;
    char separator;
    const char* text;
};

struct GeneralRow {
    double x;
    int precision;
    char separator;
    const char* text;
};

struct ParseRow {
    const char* text;
    char separator;
    std::optional<double> value;
};

} // namespace

TEST(NumberFormat, FormatFixed)
{
    // clang-format off
    const FixedRow rows[] = {
        // x            p   k  sep  text
        {0.0,           4,  2, '.', "0.00"},
        {99.99,         4,  2, '.', "99.99"},
        {0.05,          4,  2, ',', "0,05"},
        {5,             4,  3, ',', "5,000"},
        {50,            3,  1, '.', "50.0"},
        {116.43999815,  4,  0, '.', "116"},
        {1.005,         4,  2, '.', "1.01"},   // a shown half goes away from zero
        {-1.005,        4,  2, '.', "-1.01"},
        {2.25,         15,  1, '.', "2.3"},
        {-2.25,        15,  1, '.', "-2.3"},
        {0.5,           4,  0, '.', "1"},
        {-0.5,          4,  0, '.', "-1"},
        {0.006,         4,  2, '.', "0.01"},   // carry into a new leading digit
        {9.996,         4,  2, '.', "10.00"},
        {123.45,        4,  2, '.', "123.50"}, // precision before digits
        {0.1449,        3,  2, '.', "0.14"},   // rounded once, not twice
        {-0.001,        4,  2, '.', "0.00"},   // no sign on a rounded zero
        {-0.0,          4,  1, '.', "0.0"},
        {1e-7,          4,  2, '.', "0.00"},
        {9999.4,        4,  0, '.', "9999"},
        {9999.5,        4,  0, '.', "1E4"},    // the integer part outgrows p
        {12345,         4,  2, ',', "1,235E4"},
        {-123456,       4,  1, '.', "-1.235E5"},
        {1e20,         15,  2, '.', "1E20"},
        {Nan,           4,  2, '.', "NAN"},
        {Inf,           4,  2, '.', "INF"},
        {-Inf,          4,  2, '.', "-INF"},
    };
    // clang-format on
    for (const auto& r : rows)
        EXPECT_EQ(FormatFixed(r.x, r.precision, r.digits, r.separator), r.text)
            << r.x << " p=" << r.precision << " k=" << r.digits;
}

TEST(NumberFormat, FormatGeneral)
{
    // clang-format off
    const GeneralRow rows[] = {
        // x              p  sep  text
        {0.0,             4, '.', "0"},
        {-20,             5, '.', "-20"},
        {25.3,            5, ',', "25,3"},
        {-25.3,           5, ',', "-25,3"},
        {19.98,           4, '.', "19.98"},
        {20,              4, '.', "20"},
        {1200,            4, '.', "1200"},
        {0.1 + 0.2,      15, '.', "0.3"},      // binary noise is not shown
        {1234.5,          4, '.', "1235"},
        {-1234.5,         4, '.', "-1235"},
        {3276.7,          5, '.', "3276.7"},
        {-3276.8,         5, '.', "-3276.8"},
        {12345,           5, '.', "12345"},
        {123456,          5, '.', "1.2346E5"},
        {9999.5,          4, '.', "1E4"},
        {0.00001,         4, '.', "0.00001"},
        {0.000099999,     4, '.', "0.0001"},
        {0.000009,        4, '.', "9E-6"},
        {-0.0000123456,   4, ',', "-0,00001235"},
        {-0.0000012345,   4, ',', "-1,235E-6"},
        {Nan,             4, '.', "NAN"},
    };
    // clang-format on
    for (const auto& r : rows)
        EXPECT_EQ(FormatGeneral(r.x, r.precision, r.separator), r.text) << r.x << " p=" << r.precision;
}

TEST(NumberFormat, ParseFloatTakesOnlyTheGivenSeparator)
{
    // clang-format off
    const ParseRow rows[] = {
        // text       sep  value
        {"116",       ',', 116.0},
        {" 99,99 ",   ',', 99.99},
        {"-0,05",     ',', -0.05},
        {"+1,5",      ',', 1.5},
        {"1,5E2",     ',', 150.0},
        {"2e-1",      ',', 0.2},
        {",5",        ',', 0.5},
        {"5,",        ',', 5.0},
        {"1.5",       '.', 1.5},
        {"1.5",       ',', std::nullopt},
        {"1,5",       '.', std::nullopt},
        {"",          ',', std::nullopt},
        {"   ",       ',', std::nullopt},
        {",",         ',', std::nullopt},
        {"-",         ',', std::nullopt},
        {"1E",        ',', std::nullopt},
        {"1,5x",      ',', std::nullopt},
        {"1 5",       ',', std::nullopt},
        {"inf",       ',', std::nullopt},
        {"0x10",      ',', std::nullopt},
        {"1E999",     ',', std::nullopt},
    };
    // clang-format on
    for (const auto& r : rows)
        EXPECT_EQ(ParseFloat(r.text, r.separator), r.value) << '"' << r.text << "\" sep " << r.separator;
}
