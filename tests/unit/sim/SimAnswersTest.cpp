// The simulated detector's answers, byte for byte, in virtual time.

#include "SimHarness.h"

#include <gtest/gtest.h>

namespace zor::test {
namespace {

// A ZOR-11 at address 1 measuring carbon monoxide (no decimals, range 1000,
// thresholds 400 and 800, hysteresis 10), identification number 9400101.
class SimAnswers : public ::testing::Test {
protected:
    SimAnswers() { h.bus.add(SimModel::Zor11, 1).gas(24); }
    SimDetector& det() { return h.bus.detector(1); }
    void openPermission() { ASSERT_EQ(h.ask("01 06 00 01 00 80"), "01 06 00 01 00 80"); }
    SimHarness h;
};

struct Exchange {
    const char* request;
    const char* answer; // without CRC; "" for none
};

// The first six bytes of a request: what a write is echoed with.
std::string echoOf(const char* request)
{
    std::vector<uint8_t> f = bytesOf(request);
    f.resize(6);
    return hexOf(f);
}

TEST_F(SimAnswers, FramesCarryTheirCrcLowByteFirst)
{
    h.bus.add(SimModel::Zor12, 5).serial(9500042);
    h.hearRaw("05 03 00 06 00 02 25 8E");
    h.loop.advance(100);
    ASSERT_EQ(h.sent.size(), 1u);
    EXPECT_EQ(hexOf(h.sent[0].bytes), "05 03 04 F5 8A 00 90 AD B9");
}

TEST_F(SimAnswers, ReadsServeTheRegisterMap)
{
    const Exchange cases[] = {
        { "01 03 00 06 00 02", "01 03 04 6F 25 00 8F" }, // identification number
        { "01 04 01 05 00 01", "01 04 02 00 18" }, // gas code on the input block
        { "01 04 01 00 00 06", "01 04 0C 00 00 00 01 09 2E 01 90 06 10 00 18" },
        { "01 03 00 0E 00 01", "01 03 02 06 10" }, // firmware 15.52
        { "01 03 00 04 00 01", "01 03 02 09 2E" }, // 23.50 degrees in hundredths
        { "01 03 00 00 00 13",
            "01 03 26 01 65 00 01 00 00 00 00 09 2E 03 E8 6F 25 00 8F 01 F4 01 90 03 20 01 90"
            " 00 00 00 00 06 10 00 00 00 00 0A 0A 00 00" },
        { "01 03 00 13 00 01", "01 03 02 00 18" }, // gas code
        { "01 03 00 40 00 06", "01 03 0C 00 04 26 01 00 01 00 00 00 03 00 3C" },
        { "01 03 00 46 00 02", "01 03 04 33 BE 27 A0" }, // channel 1, 868.1 MHz
        { "01 03 00 4C 00 01", "01 03 02 5C 0E" }, // AppSKey, first two bytes
        { "01 03 00 40 00 1C", nullptr }, // the whole LoRa block: length checked below
    };
    for (const Exchange& c : cases) {
        SCOPED_TRACE(c.request);
        const std::string answer = h.ask(c.request);
        if (c.answer)
            EXPECT_EQ(answer, c.answer);
        else
            EXPECT_EQ(bytesOf(answer).size(), 3u + 2 * 28);
    }
}

TEST_F(SimAnswers, RequestsOutsideTheMapGetTheStandardExceptions)
{
    const Exchange cases[] = {
        { "01 03 00 14 00 01", "01 83 02" }, // register 20 does not exist
        { "01 03 00 12 00 03", "01 83 02" }, // 18..20 runs past the block
        { "01 03 00 3F 00 02", "01 83 02" }, // 63..64
        { "01 03 00 5B 00 02", "01 83 02" }, // 91..92
        { "01 03 00 00 00 00", "01 83 03" }, // no registers
        { "01 03 00 00 00 7E", "01 83 03" }, // 126 registers
        { "01 04 01 06 00 01", "01 84 02" }, // input block ends at 0x0105
        { "01 04 00 05 00 01", "01 84 02" },
        { "01 01 00 00 00 01", "01 81 01" }, // coils
        { "01 05 00 00 FF 00", "01 85 01" },
        { "01 2B", "01 AB 01" },
        { "01 06 00 04 00 01", "01 86 02" }, // temperature is read-only
        { "01 06 00 07 00 01", "01 86 02" },
        { "01 06 00 0E 00 01", "01 86 02" },
        { "01 06 00 14 00 01", "01 86 02" },
        { "01 06 00 46 00 01", "01 86 02" }, // channels are read-only
        { "01 06 00 40 00 02", "01 86 03" }, // the radio restarts on 1 only
        { "01 06 00 0B 01 95", "01 86 04" }, // loop current outside the adjust mode
        { "01 10 00 46 00 02 04 00 00 00 00", "01 90 02" },
        { "01 10 00 40 00 02 04 00 00 00 00", "01 90 02" },
        { "01 10 00 45 00 02 04 00 00 00 00", "01 90 02" }, // 69..70
        { "01 10 00 41 00 02 03 00 00 00", "01 90 03" }, // byte count does not match
        { "01 10 00 41 00 00 00", "01 90 03" },
    };
    for (const Exchange& c : cases) {
        SCOPED_TRACE(c.request);
        EXPECT_EQ(h.ask(c.request), c.answer);
    }
}

TEST_F(SimAnswers, WithoutWritePermissionSettingsAndCalibrationAreRefused)
{
    const char* refused[] = {
        "01 06 00 00 02 65",
        "01 06 00 02 00 02",
        "01 06 00 03 BB BB",
        "01 06 00 03 FF FF",
        "01 06 00 03 FF 01",
        "01 06 00 03 00 64",
        "01 06 00 08 00 64",
        "01 06 00 09 00 64",
        "01 06 00 0A 01 F4",
        "01 06 00 10 00 01",
        "01 06 00 11 05 05",
        "01 06 00 12 00 01",
        "01 06 00 13 00 05",
    };
    for (const char* request : refused) {
        SCOPED_TRACE(request);
        std::string expected = request;
        expected = expected.substr(0, 3) + "86 04";
        EXPECT_EQ(h.ask(request), expected);
    }
    EXPECT_EQ(det().holding(9), 400);
    EXPECT_EQ(det().address(), 1);
}

TEST_F(SimAnswers, WritesNeedingNoPermissionAreEchoed)
{
    const char* echoed[] = {
        "01 06 00 41 12 34", // LoRa address, high word
        "01 10 00 41 00 05 0A 12 34 56 78 01 00 07 05 00 78", // the radio settings
        "01 10 00 4C 00 08 10 00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF",
    };
    for (const char* request : echoed) {
        SCOPED_TRACE(request);
        EXPECT_EQ(h.ask(request), echoOf(request));
    }
    EXPECT_EQ(h.ask("01 03 00 41 00 05"), "01 03 0A 12 34 56 78 01 00 07 05 00 78");
    EXPECT_EQ(h.ask("01 03 00 4C 00 08"), "01 03 10 00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF");
}

TEST_F(SimAnswers, WithPermissionSettingsAreCheckedAndKept)
{
    openPermission();
    struct Case {
        const char* request;
        const char* answer; // the echo, or the exception
        uint16_t reg;
        uint16_t after;
    };
    const Case cases[] = {
        { "01 06 00 09 00 64", "01 06 00 09 00 64", 9, 100 },
        { "01 06 00 09 03 84", "01 86 03", 9, 100 }, // 900 above threshold 2
        { "01 06 00 0A 00 50", "01 86 03", 10, 800 }, // 80 below threshold 1
        { "01 06 00 0A 03 E9", "01 86 03", 10, 800 }, // above the range
        { "01 06 00 0A 00 C8", "01 06 00 0A 00 C8", 10, 200 },
        { "01 06 00 08 00 FA", "01 06 00 08 00 FA", 8, 250 },
        { "01 06 00 11 05 05", "01 06 00 11 05 05", 17, 0x0505 },
        { "01 06 00 12 00 03", "01 06 00 12 00 03", 18, 3 },
        { "01 06 00 10 00 03", "01 06 00 10 00 03", 16, 3 },
        { "01 06 00 10 00 08", "01 86 03", 16, 3 },
        { "01 06 00 02 00 02", "01 06 00 02 00 02", 2, 2 },
        { "01 06 00 02 80 0A", "01 06 00 02 80 0A", 2, 2 }, // only blocking is a setting here
        { "01 06 00 13 00 22", "01 86 03", 19, 24 },
        { "01 06 00 13 00 19", "01 06 00 13 00 19", 19, 25 },
        { "01 06 00 00 00 65", "01 86 03", 0, 0x0165 }, // address 0
        { "01 06 00 00 F8 65", "01 86 03", 0, 0x0165 }, // address 248
        { "01 06 00 00 01 60", "01 86 03", 0, 0x0165 }, // baud code 0
        { "01 06 00 00 01 69", "01 86 03", 0, 0x0165 }, // baud code 9
        { "01 06 00 00 01 75", "01 86 03", 0, 0x0165 }, // mark parity
        { "01 06 00 00 01 25", "01 86 03", 0, 0x0165 }, // stop code 0
        { "01 06 00 00 01 E5", "01 86 03", 0, 0x0165 }, // stop code 3
        { "01 06 00 00 01 A5", "01 06 00 00 01 A5", 0, 0x01A5 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request);
        EXPECT_EQ(h.ask(c.request), c.answer);
        EXPECT_EQ(det().holding(c.reg), c.after);
    }
}

TEST_F(SimAnswers, CommandRegisterCalibratesAndSwitchesTheUnit)
{
    det().responseTime(0);
    det().applyTestGas(300);
    openPermission();
    const Exchange script[] = {
        { "01 03 00 03 00 01", "01 03 02 01 2C" },
        { "01 06 00 03 00 FA", "01 06 00 03 00 FA" }, // span: this gas is 250
        { "01 03 00 03 00 01", "01 03 02 00 FA" },
        { "01 06 00 03 FF FF", "01 06 00 03 FF FF" }, // reset the calibration
        { "01 03 00 03 00 01", "01 03 02 01 2C" },
        { "01 06 00 03 BB BB", "01 06 00 03 BB BB" }, // set zero here
        { "01 03 00 03 00 01", "01 03 02 00 00" },
        { "01 06 00 03 00 FA", "01 86 04" }, // no gas left to span with
        { "01 06 00 03 00 00", "01 86 03" },
        { "01 06 00 03 27 10", "01 86 03" }, // 10000 is no concentration
        { "01 06 00 03 FF 02", "01 86 03" },
        { "01 06 00 03 FF 01", "01 06 00 03 FF 01" }, // second unit
        { "01 03 00 02 00 01", "01 03 02 80 00" },
        { "01 06 00 03 FF 00", "01 06 00 03 FF 00" },
        { "01 03 00 02 00 01", "01 03 02 00 00" },
        { "01 06 00 01 00 00", "01 06 00 01 00 00" }, // permission closed
        { "01 03 00 01 00 01", "01 03 02 00 01" },
        { "01 06 00 03 FF FF", "01 86 04" },
    };
    for (const Exchange& step : script) {
        SCOPED_TRACE(step.request);
        EXPECT_EQ(h.ask(step.request), step.answer);
    }
}

TEST_F(SimAnswers, AdjustModeDrivesTheTestCurrentsWithoutPermission)
{
    const Exchange script[] = {
        { "01 06 00 01 04 01", "01 06 00 01 04 01" }, // enter the adjust mode
        { "01 03 00 01 00 03", "01 03 06 04 01 00 00 00 00" },
        { "01 03 00 0B 00 01", "01 03 02 01 90" }, // 4 mA
        { "01 06 00 0B 01 95", "01 06 00 0B 01 95" }, // measured 4.05 mA
        { "01 03 00 0B 00 01", "01 03 02 01 95" },
        { "01 06 00 03 03 E8", "01 06 00 03 03 E8" }, // 20 mA
        { "01 03 00 03 00 01", "01 03 02 03 E8" },
        { "01 03 00 0B 00 01", "01 03 02 07 D0" },
        { "01 06 00 0B 07 CE", "01 06 00 0B 07 CE" }, // measured 19.98 mA
        { "01 03 00 0B 00 01", "01 03 02 07 CE" },
        { "01 06 00 03 F1 11", "01 06 00 03 F1 11" }, // 1 mA, shown by state bit 5
        { "01 03 00 01 00 03", "01 03 06 04 21 00 00 F1 11" },
        { "01 03 00 0B 00 01", "01 03 02 00 64" },
        { "01 06 00 0B 09 C5", "01 86 03" }, // 25.01 mA
        { "01 06 00 03 BB BB", "01 86 04" }, // no calibration while the output is fixed
        { "01 06 00 03 00 00", "01 06 00 03 00 00" },
        { "01 03 00 0B 00 01", "01 03 02 01 95" }, // the 4 mA correction is kept
        { "01 06 00 01 00 01", "01 06 00 01 00 01" }, // leave it
        { "01 03 00 01 00 03", "01 03 06 00 01 00 00 00 00" },
    };
    for (const Exchange& step : script) {
        SCOPED_TRACE(step.request);
        EXPECT_EQ(h.ask(step.request), step.answer);
    }
}

TEST_F(SimAnswers, BroadcastIsCarriedOutAndNeverAnswered)
{
    h.bus.add(SimModel::Zor13, 2);
    EXPECT_EQ(h.ask("00 06 00 01 00 80"), "");
    EXPECT_TRUE(h.bus.detector(1).writePermission());
    EXPECT_TRUE(h.bus.detector(2).writePermission());
    EXPECT_EQ(h.ask("00 03 00 06 00 02"), "");
}

TEST_F(SimAnswers, FramesWithABadCrcOrForAnotherAddressGetNoAnswer)
{
    h.hearRaw("01 03 00 06 00 02 24 0B");
    h.loop.advance(100);
    EXPECT_TRUE(h.sent.empty());
    EXPECT_EQ(h.ask("02 03 00 06 00 02"), "");
    EXPECT_EQ(h.ask("01 03 00 06 00 02"), "01 03 04 6F 25 00 8F");
}

TEST_F(SimAnswers, NewAddressAndLineTakeEffectAfterTheEcho)
{
    openPermission();
    // Address 7, 9600 baud, even parity, one stop bit.
    EXPECT_EQ(h.ask("01 06 00 00 07 64"), "01 06 00 00 07 64");
    ASSERT_FALSE(h.sent.empty());
    EXPECT_EQ(h.sent.back().line, lineOf(19200));
    const HeardLine at9600 { lineOf(9600), false };
    EXPECT_EQ(h.ask("07 03 00 06 00 02"), "");
    EXPECT_EQ(h.ask("01 03 00 06 00 02", at9600), "");
    EXPECT_EQ(h.ask("07 03 00 06 00 02", at9600), "07 03 04 6F 25 00 8F");
    EXPECT_EQ(h.sent.back().line, lineOf(9600));
}

TEST_F(SimAnswers, RequestsAtOtherLineSettingsGoUnheard)
{
    struct Case {
        HeardLine heard;
        bool answered;
    };
    const Case cases[] = {
        { { lineOf(19200), false }, true },
        { { lineOf(9600), false }, false },
        { { lineOf(19200, ParityKind::None), false }, false },
        { { lineOf(19200, ParityKind::Odd), false }, false },
        { { lineOf(19200, ParityKind::Even, StopBitsKind::Two), false }, false },
        // A pseudo-terminal tells the rate only.
        { { lineOf(19200, ParityKind::None), true }, true },
        { { lineOf(9600, ParityKind::Even), true }, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.heard.settings.baud);
        EXPECT_EQ(h.ask("01 03 00 06 00 02", c.heard).empty(), !c.answered);
    }
}

TEST_F(SimAnswers, RadioRestartIsAnsweredAfterItAndReportsActive)
{
    h.hearRaw(withCrc("01 06 00 40 00 01"));
    h.loop.advance(1000);
    EXPECT_EQ(h.ask("01 03 00 40 00 01"), ""); // busy restarting
    h.loop.advance(2000);
    ASSERT_EQ(h.sent.size(), 1u);
    EXPECT_EQ(h.sent[0].at, SimDetector::kRadioRestartMs + 5);
    EXPECT_EQ(hexOf(h.sent[0].bytes), withCrc("01 06 00 40 00 01"));
    EXPECT_EQ(h.ask("01 03 00 40 00 01"), "01 03 02 00 01");
}

TEST_F(SimAnswers, WithoutARadioTheLoraBlockDoesNotExist)
{
    det().radio(false);
    EXPECT_EQ(h.ask("01 03 00 40 00 1C"), "01 83 02");
    EXPECT_EQ(h.ask("01 06 00 40 00 01"), "01 86 02");
    EXPECT_EQ(h.ask("01 10 00 41 00 01 02 00 00"), "01 90 02");
}

} // namespace
} // namespace zor::test
