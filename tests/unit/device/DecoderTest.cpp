#include "PanelFixture.h"

#include "device/DeviceTexts.h"

using namespace zor;
using zor::test::Block;
using zor::test::SerialZor10;
using zor::test::SerialZor11;

namespace {

class Decoding : public zor::test::PanelFixture { };

std::string versionCaption(int version, std::string_view state)
{
    return "#5 : 09400123 (v" + std::to_string(version / 100) + "." + std::to_string(version % 100) + ")  -  "
        + std::string(state);
}

} // namespace

TEST_F(Decoding, StateTextCaptionAndIcon)
{
    struct Row {
        uint16_t state;
        uint16_t options;
        uint16_t gas;
        const char* text;
        int image;
    };
    // clang-format off
    const Row rows[] = {
        // state   options gas text                                    image
        {0x0003,   0,      1,  "Превышен диапазон измерения",          7},
        {0x0002,   0x0008, 1,  "Превышен диапазон измерения",          7},
        {0x0481,   0,      1,  "Специальный режим",                    7},
        {0x0421,   0,      1,  "Режим настройки ТВ",                   7},
        {0x0321,   0,      1,  "Прогрев датчика",                      7},
        {0x0301,   0,      1,  "Превышен порог №2",                    7},
        {0x0101,   0,      1,  "Превышен порог №1",                    7},
        {0x0101,   0,      23, "Концентрация ниже порога №1",          7},
        {0x0001,   0x0008, 1,  "Рабочий режим",                        7},
        {0x0000,   0x0008, 1,  "Ошибка  :  Питание понижено",          8},
        {0x000C,   0x0008, 1,  "Ошибка  :  Питание понижено",          8},
        {0x004C,   0,      1,  "Ошибка  :  Отсутствует датчик",        8},
        {0x0044,   0,      1,  "Ошибка  :  Загрязнение датчика",       8},
        {0x0040,   0,      1,  "Ошибка  :  Неверные данные датчика",   8},
        {0x0010,   0,      1,  "Ошибка  :  Аппаратная",                8},
        {0x0280,   0,      1,  "Ошибка  :  Аппаратная",                8},
    };
    // clang-format on
    TDevice& dev = select(5, SerialZor11);
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        readGas(r.gas);
        ASSERT_EQ(readPanel(block({ { RegState, r.state }, { RegOptions, r.options } })), 1);
        EXPECT_EQ(dev.StateText, r.text);
        EXPECT_EQ(selNode->imageIndex(), r.image);
        const std::string caption
            = r.image == ImageError ? "#5 : 09400123  -  " + std::string(r.text) : versionCaption(105, r.text);
        EXPECT_EQ(panel.DevPanel.text(), caption);
    }
}

TEST_F(Decoding, VersionCaptionAddsNoLeadingZeros)
{
    select(5, SerialZor11);
    for (int version : { 105, 110, 7, 1203, 0 }) {
        readPanel(block({ { RegVersion, static_cast<uint16_t>(version) } }));
        EXPECT_EQ(panel.DevPanel.text(), versionCaption(version, "Рабочий режим"));
    }
}

TEST_F(Decoding, WithoutSelectedNodeTheCaptionHasNoNodeText)
{
    select(5, SerialZor11);
    selNode = nullptr;
    EXPECT_EQ(readPanel(block({ { RegState, 0 } })), 1);
    EXPECT_EQ(panel.DevPanel.text(), "  -  Ошибка  :  Аппаратная");
}

TEST_F(Decoding, ConcentrationScaledByTheGasDecimalsWithItsUnit)
{
    struct Row {
        uint16_t gas;
        uint16_t conc;
        const char* text;
        const char* unit;
    };
    // clang-format off
    const Row rows[] = {
        // gas conc   text      unit
        {1,    9999,  "99,99",  "%об."},
        {1,    5,     "0,05",   "%об."},
        {1,    0,     "0,00",   "%об."},
        {23,   2090,  "20,90",  "%об."},
        {5,    123,   "12,3",   "%НКПР"},
        {24,   150,   "150",    "млн-1"},
    };
    // clang-format on
    select(5, SerialZor11);
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        readGas(r.gas);
        readPanel(block({ { RegConc, r.conc } }));
        EXPECT_EQ(panel.EditConc.text(), r.text);
        for (const forms::Label* unit : panel.UnitLabels())
            EXPECT_EQ(unit->text(), r.unit);
    }
}

TEST_F(Decoding, ConcentrationFrom10000OnLeavesTextAndUnitsAsTheyWere)
{
    select(5, SerialZor11);
    readGas(1);
    readPanel(block({ { RegConc, 1234 } }));
    readGas(24);
    for (uint16_t conc : { 10000, 61713, 65535 }) {
        readPanel(block({ { RegConc, conc } }));
        EXPECT_EQ(panel.EditConc.text(), "12,34");
        EXPECT_EQ(panel.LGasUnit.text(), "%об.");
        EXPECT_EQ(panel.LLimit1Unit.text(), "%об.");
    }
    EXPECT_EQ(panel.LURVUnit.text(), "млн-1"); // the range has its own rule
}

TEST_F(Decoding, TemperatureInTenthsOrHundredthsBehindTheVersionGate)
{
    struct Row {
        int32_t serial;
        uint16_t version;
        uint16_t gas;
        uint16_t raw;
        const char* text;
    };
    // clang-format off
    const Row rows[] = {
        // serial      version gas raw     text
        {SerialZor11,  105,    1,  0xFF38, "-20"},
        {SerialZor11,  105,    1,  215,    "21,5"},
        {SerialZor11,  105,    1,  0x7FFF, "3276,7"},
        {SerialZor11,  105,    1,  0x8000, "-3276,8"},
        {SerialZor11,  105,    24, 2534,   "25,3"},
        {SerialZor11,  105,    24, 0xF61A, "-25,3"},   // -2534
        {SerialZor11,  105,    24, 0xFFFB, "0"},       // -5: toward zero
        {SerialZor10,  204,    24, 2534,   "25,3"},    // gate passed by this answer's version
        {SerialZor10,  299,    24, 2534,   "25,3"},
        {SerialZor10,  305,    24, 2534,   "253,4"},
        {SerialZor10,  203,    24, 2534,   "253,4"},
    };
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        select(5, r.serial); // a fresh record: no version cached yet
        readGas(r.gas);
        readPanel(block({ { RegVersion, r.version }, { RegTemp, r.raw } }));
        EXPECT_EQ(panel.EditTemp.text(), r.text);
    }
}

TEST_F(Decoding, GasCodeKeepsSixBitsAndReadsCodesAbove32AsMethane)
{
    struct Row {
        uint16_t raw;
        uint16_t code;
        const char* caption;
        const char* formula;
    };
    // clang-format off
    const Row rows[] = {
        // raw     code caption                                   formula
        {0x0041,   1,   "Измеряемый газ: Метан (CH4)",            "CH4"},
        {0x0021,   1,   "Измеряемый газ: Метан (CH4)",            "CH4"},
        {0xFFE3,   1,   "Измеряемый газ: Метан (CH4)",            "CH4"},
        {0x0017,   23,  "Измеряемый газ: Кислород (O2)",          "O2"},
        {0x0020,   32,  "Измеряемый газ: Bодород (H2)",           "H2"},
        {0x0000,   0,   "Измеряемый газ: Метан (CH4 100%об)",     "CH4 100%об"},
    };
    // clang-format on
    TDevice& dev = select(5, SerialZor11);
    for (const auto& r : rows) {
        SCOPED_TRACE(r.caption);
        EXPECT_EQ(readGas(r.raw), 1);
        EXPECT_EQ(dev.Regs[RegGas], r.code);
        EXPECT_EQ(panel.Sections[0].text(), r.caption);
        EXPECT_EQ(panel.CBoxGas.items(), std::vector<std::string> { r.formula });
        EXPECT_EQ(panel.CBoxGas.itemIndex(), 0);
    }
}

TEST_F(Decoding, RangeInRegisterUnitsOrPercentOfTheLowerExplosiveLimit)
{
    struct Row {
        uint16_t gas;
        uint16_t range;
        const char* text;
        const char* unit;
    };
    // clang-format off
    const Row rows[] = {
        // gas range  text      unit
        {5,    125,   "50,0",   "%НКПР"},   // Lel 250
        {5,    500,   "200,0",  "%НКПР"},
        {7,    2600,  "2E3",    "%НКПР"},   // 2000 has more digits than 3
        {1,    5000,  "50,00",  "%об."},
        {24,   500,   "500",    "млн-1"},
    };
    // clang-format on
    select(5, SerialZor11);
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        readGas(r.gas);
        readPanel(block({ { RegRange, r.range } }));
        EXPECT_EQ(panel.EditURV.text(), r.text);
        EXPECT_EQ(panel.LURVUnit.text(), r.unit);
    }
}

TEST_F(Decoding, RangeFollowsTheUnitSelectedByTheOptions)
{
    gases[5].Unit1 = UnitVol; // %НКПР only as the second unit
    select(5, SerialZor10);
    readGas(5);
    readPanel(block({ { RegRange, 125 }, { RegOptions, 0 } }));
    EXPECT_EQ(panel.EditURV.text(), "12,5");
    EXPECT_EQ(panel.LURVUnit.text(), "%об.");
    readPanel(block({ { RegRange, 125 }, { RegOptions, OptSecondUnit } }));
    EXPECT_EQ(panel.EditURV.text(), "50,0");
    EXPECT_EQ(panel.LURVUnit.text(), "%НКПР");
    EXPECT_EQ(panel.CBoxUnit.items(), (std::vector<std::string> { "%об.", "%НКПР" }));
}

TEST_F(Decoding, GasDependentSpinEditsTakeDecimalsStepAndRangeBeforeTheValue)
{
    using Edit = forms::SpinEdit DevicePanel::*;
    struct Row {
        uint16_t gas;
        uint16_t range;
        int reg;
        uint16_t raw;
        Edit edit;
        double min, max, step;
        int decimals;
        const char* text;
    };
    // The range bounds what is entered, but never hides what the device
    // holds: a value beyond it raises the bound to itself.
    // clang-format off
    const Row rows[] = {
        // gas range reg            raw     edit                         min   max  step  dec text
        {5,    1000, RegLimit1,     200,    &DevicePanel::EditLimit1,    0,    100, 0.1,  1,  "20,0"},
        {5,    1000, RegLimit2,     2000,   &DevicePanel::EditLimit2,    0,    200, 0.1,  1,  "200,0"},  // above the range
        {5,    250,  RegLimit2,     400,    &DevicePanel::EditLimit2,    0,    40,  0.1,  1,  "40,0"},
        {5,    1000, RegHyster,     0x0F0F, &DevicePanel::EditHyster,    0,    25.5, 0.1, 1,  "1,5"},   // its byte
        {5,    1000, RegZeroZone,   0x0105, &DevicePanel::EditZeroZone,  0,    100, 0.1,  1,  "26,1"},
        {5,    250,  RegZeroZone,   300,    &DevicePanel::EditZeroZone,  0,    30,  0.1,  1,  "30,0"},
        {5,    250,  RegHyster,     0xFFFF, &DevicePanel::EditHyster,    0,    25.5, 0.1, 1,  "25,5"},
        {5,    250,  RegMagnetConc, 500,    &DevicePanel::EditMagnet,    2.5,  50,  0.1,  1,  "50,0"},
        {5,    1000, RegMagnetConc, 500,    &DevicePanel::EditMagnet,    2.5,  100, 0.1,  1,  "50,0"},
        {1,    5000, RegLimit1,     1000,   &DevicePanel::EditLimit1,    0,    50,  0.01, 2,  "10,00"},
        {1,    5000, RegMagnetConc, 20,     &DevicePanel::EditMagnet,    0.2,  50,  0.01, 2,  "0,20"},  // below the LEL's tenth
        {1,    5000, RegMagnetConc, 60,     &DevicePanel::EditMagnet,    0.44, 50,  0.01, 2,  "0,60"},
        {24,   500,  RegLimit1,     300,    &DevicePanel::EditLimit1,    0,    500, 1,    0,  "300"},  // bound first
        {24,   500,  RegHyster,     0x0A0A, &DevicePanel::EditHyster,    0,    255, 1,    0,  "10"},
        {24,   200,  RegHyster,     0x0A0A, &DevicePanel::EditHyster,    0,    200, 1,    0,  "10"},   // the range
    };
    // clang-format on
    select(5, SerialZor11);
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        readGas(r.gas);
        readPanel(block({ { RegRange, r.range }, { r.reg, r.raw } }));
        const forms::SpinEdit& e = panel.*r.edit;
        EXPECT_DOUBLE_EQ(e.min(), r.min);
        EXPECT_DOUBLE_EQ(e.max(), r.max);
        EXPECT_DOUBLE_EQ(e.step(), r.step);
        EXPECT_EQ(e.decimals(), r.decimals);
        EXPECT_EQ(e.text(','), r.text);
    }
    for (const forms::Control* c :
        std::initializer_list<const forms::Control*> { &panel.EditMagnet, &panel.Label13, &panel.LMagnetUnit })
        EXPECT_FALSE(c->enabled());
}

TEST_F(Decoding, LineRegisterSelectsOnlyCodesThatHaveAnItem)
{
    struct Row {
        uint16_t raw;
        double address;
        int baud, parity, stop;
    };
    // clang-format off
    const Row rows[] = {
        // raw     address baud parity stop
        {0x0565,   5,      4,   2,     0},
        {0xF7A7,   247,    6,   2,     1},
        {0x01F8,   1,      -1,  -1,    -1},  // 115200, mark, code 3
        {0x0000,   1,      -1,  0,     -1},  // address 0 shown as the lower bound
        {0xFF41,   247,    0,   0,     0},   // 255 shown as the upper bound
    };
    // clang-format on
    select(5, SerialZor11);
    for (const auto& r : rows) {
        SCOPED_TRACE(r.raw);
        readPanel(block({ { RegLine, r.raw } }));
        EXPECT_EQ(panel.SEditAddr.value(), r.address);
        EXPECT_EQ(panel.CBoxBaud.itemIndex(), r.baud);
        EXPECT_EQ(panel.CBoxPar.itemIndex(), r.parity);
        EXPECT_EQ(panel.CBoxStopBit.itemIndex(), r.stop);
    }
}

TEST_F(Decoding, RelayListsBehindTheZor10Gates)
{
    struct Row {
        int32_t serial;
        uint16_t version;
        uint16_t relays;
        int relay1, relay2, relayD; // relayD -1: not checked
        bool enabled, diagShown;
    };
    // clang-format off
    const Row rows[] = {
        // serial      version relays r1 r2 rD  enabled diagShown
        {SerialZor10,  204,    3,     0, 0, -1, false,  false},  // gate (4, 230)
        {SerialZor10,  110,    3,     0, 0, -1, false,  false},  // gate (3, 120)
        {SerialZor10,  230,    3,     1, 1, -1, true,   false},
        {SerialZor10,  201,    1,     1, 0, -1, true,   false},
        {SerialZor10,  100,    2,     0, 1, -1, true,   false},
        {SerialZor10,  204,    3,     0, 0, -1, false,  false},
        {SerialZor11,  105,    7,     1, 1, 1,  true,   true},
        {SerialZor11,  105,    4,     0, 0, 1,  true,   true},
    };
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.serial << " v" << r.version << " relays " << r.relays);
        select(5, r.serial);
        readPanel(block({ { RegVersion, r.version }, { RegRelays, r.relays } }));
        EXPECT_EQ(panel.CBoxRelay1.itemIndex(), r.relay1);
        EXPECT_EQ(panel.CBoxRelay2.itemIndex(), r.relay2);
        if (r.relayD >= 0) {
            EXPECT_EQ(panel.CBoxRelayD.itemIndex(), r.relayD);
        }
        EXPECT_EQ(panel.CBoxRelay1.enabled(), r.enabled);
        EXPECT_EQ(panel.CBoxRelay2.enabled(), r.enabled);
        EXPECT_EQ(panel.CBoxRelayD.visible(), r.diagShown);
        EXPECT_EQ(panel.Label20.visible(), r.diagShown);
    }
}

TEST_F(Decoding, Zor11AfterAZor10ShowsItsDiagnosticRelayAgain)
{
    select(5, SerialZor10);
    readPanel(block({ { RegVersion, 204 } }));
    ASSERT_FALSE(panel.CBoxRelayD.visible());
    select(6, SerialZor11);
    readPanel(block({ { RegRelays, RelayDiag } }), 6);
    EXPECT_TRUE(panel.CBoxRelayD.visible());
    EXPECT_TRUE(panel.Label20.visible());
    EXPECT_EQ(panel.CBoxRelayD.itemIndex(), 1);
    EXPECT_TRUE(panel.CBoxRelay1.enabled());
    EXPECT_TRUE(panel.CBoxRelay2.enabled());
}

TEST_F(Decoding, GasAndUnitListsFollowTheFirmwareBothWays)
{
    struct Row {
        int32_t serial;
        uint16_t version;
        bool gasSelectable;
    };
    // clang-format off
    const Row rows[] = {
        // serial      version selectable
        {SerialZor10,  103,    false},
        {SerialZor10,  305,    true},
        {SerialZor11,  105,    false},
        {SerialZor10,  105,    true},
        {SerialZor10,  204,    false},
        {SerialZor10,  5,      true},
    };
    // clang-format on
    gases[24].Unit2 = UnitMgM3; // so that the unit list may open at all
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.serial << " v" << r.version);
        select(5, r.serial);
        readGas(24);
        readPanel(block({ { RegVersion, r.version } }));
        EXPECT_EQ(panel.LabelGas.enabled(), r.gasSelectable);
        EXPECT_EQ(panel.CBoxGas.enabled(), r.gasSelectable);
        EXPECT_EQ(panel.LabelUnit.enabled(), r.gasSelectable);
        EXPECT_EQ(panel.CBoxUnit.enabled(), r.gasSelectable);
    }
}

TEST_F(Decoding, UnitListOfEveryGasInTheTableStaysClosed)
{
    select(5, SerialZor10);
    for (uint16_t gas = 0; gas <= 32; ++gas) {
        readGas(gas);
        readPanel(block({ { RegVersion, 305 }, { RegOptions, OptSecondUnit } }));
        const std::string unit = UnitText(Gases[gas].Unit1);
        EXPECT_EQ(panel.CBoxUnit.items(), (std::vector<std::string> { unit, unit })) << gas;
        EXPECT_EQ(panel.CBoxUnit.itemIndex(), 1) << gas;
        EXPECT_FALSE(panel.CBoxUnit.enabled()) << gas;
        EXPECT_FALSE(panel.LabelUnit.enabled()) << gas;
        EXPECT_TRUE(panel.CBoxGas.enabled()) << gas;
    }
}

TEST_F(Decoding, FixedCurrentSelectsTheTestCurrentTheDeviceDrives)
{
    struct Row {
        uint16_t state;
        uint16_t conc;
        forms::RadioButton DevicePanel::*button;
        double mA;
        const char* editI;
        const char* conc_text;
    };
    // clang-format off
    const Row rows[] = {
        // state   conc   button                   mA  EditI conc text
        {0x0401,   1000,  &DevicePanel::RBt20mA,   20, "20", "10,00"},
        {0x0401,   0,     &DevicePanel::RBt04mA,   4,  "4",  "0,00"},
        {0x0421,   61713, &DevicePanel::RBt01mA,   1,  "1",  "12,34"},
        {0x0421,   0,     &DevicePanel::RBt01mA,   1,  "1",  "0,00"},
    };
    // clang-format on
    select(5, SerialZor11);
    for (const auto& r : rows) {
        SCOPED_TRACE(r.conc_text);
        readPanel(block({ { RegConc, 1234 } }));
        // registers 0..3: the current field still shows the test current
        const Block b = block({ { RegState, r.state }, { RegConc, r.conc }, { RegCurrent, 1998 } });
        ASSERT_EQ(decoder.DecodeBlock(5, 3, b.data(), 4, 0), 1);
        EXPECT_TRUE((panel.*r.button).checked());
        EXPECT_EQ(panel.EditCurr.value(), r.mA);
        EXPECT_EQ(panel.EditI.text(), r.editI);
        EXPECT_EQ(panel.EditConc.text(), r.conc_text);
        for (const forms::RadioButton* other : { &panel.RBt01mA, &panel.RBt04mA, &panel.RBt20mA })
            EXPECT_EQ(other->checked(), other == &(panel.*r.button));
        readPanel(b);
        EXPECT_EQ(panel.EditI.text(), "19,98");
    }
}

TEST_F(Decoding, AdjustModeEnablesTheCurrentControlsAndBlocksCalibration)
{
    select(5, SerialZor11);
    const std::initializer_list<const forms::Control*> currentControls { &panel.RBt01mA, &panel.RBt04mA, &panel.RBt20mA,
        &panel.LabelEditCurr, &panel.EditCurr, &panel.Label15, &panel.SpBtSetCurr };
    for (bool fixed : { true, false, true }) {
        readPanel(block({ { RegState, static_cast<uint16_t>(fixed ? 0x0401 : 0x0001) } }));
        EXPECT_EQ(panel.ChBoxCurrFix.checked(), fixed);
        for (const forms::Control* c : currentControls)
            EXPECT_EQ(c->enabled(), fixed);
        for (const forms::Action* a : { &panel.ActZero, &panel.ActCalb, &panel.ActInit })
            EXPECT_EQ(a->enabled(), !fixed);
        EXPECT_FALSE(panel.ActInit.visible());
        EXPECT_FALSE(panel.ChBoxCurrFix.enabled());
    }
}

TEST_F(Decoding, WithoutAdjustModeTheTestCurrentIsLeftAlone)
{
    select(5, SerialZor11);
    panel.RBt20mA.setChecked(true);
    panel.EditCurr.setValue(7.5);
    readPanel(block({ { RegState, StateWorks }, { RegConc, 0 } }));
    EXPECT_TRUE(panel.RBt20mA.checked());
    EXPECT_EQ(panel.EditCurr.value(), 7.5);
}

TEST_F(Decoding, NewerToolHintIsNotedAtEveryDecodeOfOlderModelsAndNoBoxOpens)
{
    struct Row {
        int32_t serial;
        uint16_t version;
        bool hint;
    };
    // clang-format off
    const Row rows[] = {
        // serial      version hint
        {SerialZor11,  105,    true},
        {9500000,      305,    true},   // "ZOR-12"
        {9699999,      0,      true},   // "ZOR-13"
        {SerialZor10,  104,    true},
        {SerialZor10,  105,    true},
        {SerialZor10,  4,      true},
        {SerialZor10,  204,    false},
        {SerialZor10,  106,    false},
        {SerialZor10,  103,    false},
    };
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.serial << " v" << r.version);
        select(5, r.serial);
        for (int read = 0; read < 2; ++read) {
            readPanel(block({ { RegVersion, r.version } }));
            EXPECT_EQ(decoder.TakeNewerToolHint(), r.hint);
            EXPECT_FALSE(decoder.TakeNewerToolHint()); // taken
        }
        // The gas register alone carries no version.
        readGas(1);
        EXPECT_FALSE(decoder.TakeNewerToolHint());
    }
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(Decoding, EnteredValuesStayAndTheRestShowsTheDevice)
{
    select(5, SerialZor11);
    readPanel(block());
    panel.EditLimit1.setValue(12.5);
    panel.CBoxBaud.setItemIndex(6);
    panel.CBoxBlock.setChecked(true);
    readPanel(block({ { RegLimit1, 500 }, { RegLimit2, 3000 }, { RegLine, LineWord(5, 4, 2, 1) } }));
    EXPECT_EQ(panel.EditLimit1.value(), 12.5);
    EXPECT_EQ(panel.CBoxBaud.itemIndex(), 6);
    EXPECT_TRUE(panel.CBoxBlock.checked());
    EXPECT_EQ(panel.EditLimit2.value(), 30.0);
    EXPECT_FALSE(panel.EditLimit2.modified());
    // Dropped, they show the device as last read.
    panel.DropEntries();
    EXPECT_EQ(panel.EditLimit1.value(), 5.0);
    EXPECT_EQ(panel.CBoxBaud.itemIndex(), 3);
    EXPECT_FALSE(panel.CBoxBlock.checked());
}

TEST_F(Decoding, BlocksOutsideTheCacheChangeNothing)
{
    struct Row {
        uint8_t function;
        int first;
        int count;
        int result;
    };
    // clang-format off
    const Row rows[] = {
        // fn first count result
        {3,   0,    19,   1},
        {3,   18,   1,    1},
        {3,   5,    3,    1},
        {4,   261,  1,    1},
        {3,   0,    20,   0},
        {3,   18,   2,    0},
        {3,   19,   1,    0},
        {4,   261,  2,    0},
        {4,   260,  1,    0},
        {4,   262,  1,    0},
        {3,   256,  1,    0},
        {3,   64,   19,   0},
    };
    // clang-format on
    std::array<uint16_t, 28> values;
    values.fill(0x0101);
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << int(r.function) << " " << r.first << "+" << r.count);
        TDevice& dev = select(5, SerialZor11);
        const auto regsBefore = dev.Regs;
        panel.DevPanel.setVisible(false);
        panel.DevPanel.setText("before");
        EXPECT_EQ(decoder.DecodeBlock(5, r.function, values.data(), r.count, r.first), r.result);
        EXPECT_EQ(panel.DevPanel.visible(), r.result == 1);
        if (r.result == 0) {
            EXPECT_EQ(dev.Regs, regsBefore);
            EXPECT_EQ(panel.DevPanel.text(), "before");
        }
    }
    EXPECT_EQ(decoder.DecodeBlock(9, 3, values.data(), 19, 0), 0); // no device at 9
}

TEST_F(Decoding, HoldingAnswersFillTheCacheAndTheGasInputOnlyItsSlot)
{
    TDevice& dev = select(5, SerialZor11);
    const Block b = block({ { RegLimit1, 777 } });
    decoder.DecodeBlock(5, 3, b.data() + 5, 5, 5); // registers 5..9
    EXPECT_EQ(dev.Regs[RegRange], 5000);
    EXPECT_EQ(dev.Regs[RegSerialLo], 28475);
    EXPECT_EQ(dev.Regs[RegLimit1], 777);
    EXPECT_EQ(dev.Regs[RegState], 0); // outside the block
    EXPECT_EQ(dev.Regs[RegGas], 1);

    const auto before = dev.Regs;
    readGas(0x0017);
    auto expected = before;
    expected[RegGas] = 23;
    EXPECT_EQ(dev.Regs, expected);
}
