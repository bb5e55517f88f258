#include "device/Tables.h"

#include <gtest/gtest.h>

using namespace zor;

namespace {

bool hasNonAscii(std::string_view s)
{
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

} // namespace

// The formulas mix alphabets; a Latin C in place of the Cyrillic С looks the
// same on screen and is easily typed by mistake.
TEST(GasTable, FormulasUseTheirExactLetters)
{
    struct Row {
        int code;
        const char* formula;
    };
    // clang-format off
    const Row rows[] = {
        {0,  "CH4 100%\u043E\u0431"},
        {1,  "CH4"},
        {3,  "\u0421" "6" "\u041D" "14"},
        {7,  "(\u0421\u041D3)2\u0421\u041D\u0421\u041D3"},
        {12, "\u0421\u041D3\u041E\u041D"},
        {19, "\u0421\u041D3\u0421\u041E\u0421\u041D3"},
        {20, "P-\u0421" "8" "\u041D" "10"},
        {21, "O-\u0421" "8" "\u041D" "10"},
        {22, "\u0421" "3" "\u041D" "8" "\u041E"},
        {23, "O2"},
        {28, "CL2"},
    };
    // clang-format on
    for (const auto& r : rows)
        EXPECT_EQ(Gases[static_cast<size_t>(r.code)].Formula, r.formula) << r.code;

    // Beyond the rows above: 3 and 6..22 carry no Latin C, H or O after the
    // "P-" or "O-" prefix; the others no Cyrillic letter at all.
    for (int code = 1; code < GasCount; ++code) {
        std::string_view f = Gases[static_cast<size_t>(code)].Formula;
        const bool cyrillic = code == 3 || (code >= 6 && code <= 22);
        if (!cyrillic) {
            EXPECT_FALSE(hasNonAscii(f)) << code;
            continue;
        }
        if (f.substr(0, 2) == "P-" || f.substr(0, 2) == "O-")
            f.remove_prefix(2);
        EXPECT_EQ(f.find_first_of("CHO"), std::string_view::npos) << code;
    }
}

TEST(GasTable, NameOfHydrogenStartsWithLatinB)
{
    EXPECT_EQ(Gases[32].Name, "B\u043E\u0434\u043E\u0440\u043E\u0434");
    EXPECT_EQ(Gases[21].Name, "\u041E-\u041A\u0441\u0438\u043B\u043E\u043B"); // Cyrillic О here
}

TEST(GasTable, ColumnsFollowTheirGroups)
{
    for (int code = 0; code < GasCount; ++code) {
        const stGas& g = Gases[static_cast<size_t>(code)];
        const bool lelRange = code == 3 || (code >= 5 && code <= 22);
        EXPECT_EQ(g.NominalRange, lelRange ? 50.0f : 100.0f) << code;
        EXPECT_EQ(g.Spare1, code <= 22 || code == 33 ? 500 : 0) << code;
        EXPECT_EQ(g.TempInHundredths, code >= 23 && code <= 32 ? 1 : 0) << code;
        EXPECT_EQ(g.Unit1, g.Unit2) << code;
        EXPECT_EQ(g.Spare2, 1.0f);
        EXPECT_EQ(g.ListPos, 0);
    }
    // clang-format off
    struct Row { int code; uint16_t lel; uint8_t decimals; uint8_t unit; float factor; };
    const Row rows[] = {
        // code lel    dec unit     factor
        {0,     10000, 2,  UnitVol, 1.0f},
        {1,     440,   2,  UnitVol, 1.0f},
        {5,     250,   1,  UnitLel, 1.0f},
        {23,    3000,  2,  UnitVol, 1.0f},
        {24,    1000,  0,  UnitPpm, 1.1644f},
        {29,    300,   0,  UnitPpm, 0.708f},
        {31,    30,    0,  UnitPpm, 1.1235f},
        {33,    440,   1,  UnitLel, 1.0f},
    };
    // clang-format on
    for (const auto& r : rows) {
        const stGas& g = Gases[static_cast<size_t>(r.code)];
        EXPECT_EQ(g.Lel, r.lel) << r.code;
        EXPECT_EQ(g.Decimals, r.decimals) << r.code;
        EXPECT_EQ(g.Unit1, r.unit) << r.code;
        EXPECT_EQ(g.MgFactor, r.factor) << r.code;
    }
}

TEST(Tables, UnitTexts)
{
    const std::pair<int, const char*> rows[] = { { 139, "млн-1" }, { 149, "%об." }, { 161, "%НКПР" }, { 171, "мгм/м3" },
        { 0, "???" }, { 150, "???" }, { 255, "???" } };
    for (const auto& [code, text] : rows)
        EXPECT_EQ(UnitText(static_cast<uint8_t>(code)), text) << code;
}

TEST(Tables, LineSettingCodesNameThePortSettings)
{
    // register stop code -> port value -> name
    const char* stopNames[] = { "1,5", "1", "2", "1" };
    for (size_t code = 0; code < StopBitCodes.size(); ++code)
        EXPECT_EQ(StopBitNames[StopBitCodes[code]], stopNames[code]) << code;
    const char* parityNames[] = { "None", "Odd", "Even", "Mark" };
    for (size_t code = 0; code < ParityCodes.size(); ++code)
        EXPECT_EQ(ParityNames[ParityCodes[code]], parityNames[code]) << code;
    EXPECT_EQ(BaudRates[5], 19200);
    EXPECT_EQ(BaudRates[8], 115200);
}

TEST(Tables, ModelAndOperationTextsByTheirIndexes)
{
    EXPECT_EQ(ModelNames[0], "ZOR-11");
    EXPECT_EQ(ModelNames[3], "ZOR-10");
    EXPECT_EQ(WriteOpTexts[woZero], "Установка 0...");
    EXPECT_EQ(WriteOpTexts[woSpan], "Градуировка...");
    EXPECT_EQ(WriteOpTexts[woReset], "Сброс градуировки...");
    EXPECT_EQ(WriteOpDoneTexts[woZero], "Установка 0 произведена");
    EXPECT_EQ(WriteOpDoneTexts[woSpan], "Градуировка произведена");
    EXPECT_EQ(WriteOpDoneTexts[woReset], "Сброс градуировки произведён");
    for (TWriteOp op : { woNone, woOptions, woInterface, woLoraWrite, woLoraRestart })
        EXPECT_TRUE(WriteOpTexts[op].empty() && WriteOpDoneTexts[op].empty()) << op;
}
