#include "ports/TPortHolder.h"

#include "unit/ports/Fakes.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

using namespace zor::ports;
using namespace zor::ports::test;

namespace {

// The settings of the main window's ComPort.
class LineSettings : public testing::Test {
protected:
    LineSettings()
        : holder(Provide(platform))
    {
        holder.SetBaudRate(19200);
        holder.SetParity(TParity::pEven);
        holder.SetStopBits(TStopBits::sbOne);
        holder.SetByteSize(8);
        holder.SetStreamProtocol(TStreamProtocol::spNone);
        holder.SetRS485Mode(false);
    }
    FakePlatform platform;
    TPortHolder holder;
};

TEST_F(LineSettings, ByteSizeOutsideFourToEightIsStoredAsEight)
{
    const std::pair<uint8_t, uint8_t> cases[]
        = { { 9, 8 }, { 0, 8 }, { 3, 8 }, { 255, 8 }, { 4, 4 }, { 5, 5 }, { 7, 7 }, { 8, 8 } };
    for (auto [written, stored] : cases) {
        holder.SetByteSize(7);
        holder.SetByteSize(written);
        EXPECT_EQ(holder.ByteSize(), stored) << int(written);
    }
}

TEST_F(LineSettings, ParityCheckingIsOnForEveryParityButNone)
{
    const std::pair<TParity, bool> cases[] = { { TParity::pEven, true }, { TParity::pNone, false },
        { TParity::pOdd, true }, { TParity::pMark, true }, { TParity::pNone, false }, { TParity::pSpace, true } };
    for (auto [parity, checked] : cases) {
        holder.SetParity(parity);
        EXPECT_EQ(holder.CommCfg().Parity, static_cast<uint8_t>(parity));
        EXPECT_EQ((holder.CommCfg().Flags & dcbParity) != 0, checked) << int(parity);
    }
}

TEST_F(LineSettings, WindowDefaultsGiveTheNoFlowControlWordWithParityChecking)
{
    const CommConfig& c = holder.CommCfg();
    EXPECT_EQ(c.BaudRate, 19200u);
    EXPECT_EQ(c.ByteSize, 8);
    EXPECT_EQ(c.StopBits, 0);
    EXPECT_EQ(c.Flags, 0x1011u | dcbParity);
    EXPECT_EQ(c.XonLim, 80);
    EXPECT_EQ(c.XoffLim, 200);
    EXPECT_EQ(c.XonChar, 0x11);
    EXPECT_EQ(c.XoffChar, 0x13);
}

TEST(StreamProtocolFlagsTest, EachModeHasItsFlagWordAndKeepsTheOtherBits)
{
    struct Case {
        TStreamProtocol protocol;
        bool rs485;
        uint32_t word;
    };
    const Case cases[] = {
        { TStreamProtocol::spNone, false, 0x1011 },
        { TStreamProtocol::spXonXoff, false, 0x1311 },
        { TStreamProtocol::spHardware, false, 0x2015 },
        { TStreamProtocol::spNone, true, 0x3011 },
        { TStreamProtocol::spXonXoff, true, 0x3011 },
        { TStreamProtocol::spHardware, true, 0x3011 },
    };
    // Parity checking, DSR flow, the upper DTR bit, DSR sensitivity,
    // continue on XOFF, error replacement, null stripping, abort on error.
    const uint32_t kept = 0x4CEA;
    for (const Case& c : cases) {
        EXPECT_EQ(StreamProtocolFlags(0, c.protocol, c.rs485), c.word);
        EXPECT_EQ(StreamProtocolFlags(0xFFFFFFFF, c.protocol, c.rs485), c.word | kept);
        const StreamMode back = DeriveStreamProtocol(c.word);
        EXPECT_EQ(back.protocol, c.rs485 ? TStreamProtocol::spNone : c.protocol);
        EXPECT_EQ(back.rs485Mode, c.rs485);
    }
}

TEST_F(LineSettings, EverySetterRewritesTheFlowBitsAndXonXoffSettings)
{
    const std::function<void()> setters[] = {
        [&] { holder.SetBaudRate(9600); },
        [&] { holder.SetByteSize(7); },
        [&] { holder.SetParity(TParity::pOdd); },
        [&] { holder.SetStopBits(TStopBits::sbTwo); },
        [&] { holder.SetEventChar('\n'); },
        [&] { holder.SetStreamProtocol(TStreamProtocol::spHardware); },
    };
    for (const auto& set : setters) {
        // The dialog left a stray XON bit beside the hardware handshake and
        // odd XON/XOFF settings; the mode read back is spHardware.
        ScriptedDialog dialog;
        dialog.change = [](CommConfig& c) {
            c.Flags = 0x2015 | dcbOutX | dcbParity;
            c.XonLim = 1;
            c.XoffLim = 2;
            c.XonChar = 'a';
            c.XoffChar = 'b';
        };
        ASSERT_TRUE(holder.ConfigDialog(dialog));
        ASSERT_EQ(holder.StreamProtocol(), TStreamProtocol::spHardware);
        set();
        const CommConfig& c = holder.CommCfg();
        EXPECT_EQ(c.Flags, 0x2015u | dcbParity);
        EXPECT_EQ(std::make_tuple(c.XonLim, c.XoffLim, c.XonChar, c.XoffChar),
            std::make_tuple(uint16_t(80), uint16_t(200), char(0x11), char(0x13)));
    }
}

TEST_F(LineSettings, RS485ModeOverridesTheProtocolUntilItIsOff)
{
    holder.SetStreamProtocol(TStreamProtocol::spXonXoff);
    holder.SetRS485Mode(true);
    EXPECT_EQ(holder.CommCfg().Flags, 0x3011u | dcbParity);
    holder.SetRS485Mode(false);
    EXPECT_EQ(holder.CommCfg().Flags, 0x1311u | dcbParity);
}

TEST_F(LineSettings, CancelledDialogChangesNothing)
{
    holder.SetStreamProtocol(TStreamProtocol::spHardware);
    const CommConfig before = holder.CommCfg();
    ScriptedDialog dialog;
    EXPECT_FALSE(holder.ConfigDialog(dialog));
    EXPECT_EQ(dialog.shown, before);
    EXPECT_EQ(holder.CommCfg(), before);
    EXPECT_EQ(holder.StreamProtocol(), TStreamProtocol::spHardware);
}

TEST_F(LineSettings, ConfirmedDialogKeepsTheEditsAndReadsTheModeBack)
{
    ScriptedDialog dialog;
    dialog.change = [](CommConfig& c) {
        c.BaudRate = 9600;
        c.ByteSize = 7;
        c.Parity = static_cast<uint8_t>(TParity::pMark);
        c.StopBits = static_cast<uint8_t>(TStopBits::sbOneAndHalf);
        c.Flags = StreamProtocolFlags(c.Flags, TStreamProtocol::spXonXoff, false);
    };
    EXPECT_TRUE(holder.ConfigDialog(dialog));
    EXPECT_EQ(holder.BaudRate(), 9600u);
    EXPECT_EQ(holder.ByteSize(), 7);
    EXPECT_EQ(holder.Parity(), TParity::pMark);
    EXPECT_EQ(holder.StopBits(), TStopBits::sbOneAndHalf);
    EXPECT_EQ(holder.StreamProtocol(), TStreamProtocol::spXonXoff);
    EXPECT_FALSE(holder.RS485Mode());
}

} // namespace
