#include "AppFixture.h"

#include "sim/SimDetector.h"

#include <functional>
#include <map>

namespace zor::test {
namespace {

// What the technician did not change goes back to the device exactly as the
// device holds it; what was typed is neither lost to automatic reading nor
// bent by a bound the register cannot hold.
class WriteBackTest : public AppFixture {
protected:
    void Open() { OpenRead(5); }
    // The value of each register the chain wrote.
    std::map<uint16_t, uint16_t> Written() const
    {
        std::map<uint16_t, uint16_t> regs;
        for (const Frame& f : sent)
            if (f[1] == 6)
                regs[static_cast<uint16_t>(f[2] << 8 | f[3])] = static_cast<uint16_t>(f[4] << 8 | f[5]);
        return regs;
    }
};

struct Untouched {
    const char* name;
    std::function<void(SimDetector&)> device;
    uint16_t reg;
    uint16_t held;
    forms::SpinEdit DevicePanel::*edit;
    const char* shown; // the device's value, not a bound
};

class UntouchedValue : public WriteBackTest, public ::testing::WithParamInterface<Untouched> { };

TEST_P(UntouchedValue, IsWrittenBackAsTheDeviceHoldsIt)
{
    const Untouched& c = GetParam();
    // Ethane: %НКПР, one decimal; the range register of 2.50 %об is 100 %НКПР.
    SimDetector& d = bus.add(SimModel::Zor10, 5).gas(5).range(250);
    c.device(d);
    Open();
    EXPECT_EQ((form->Panel.*c.edit).text(','), c.shown);
    form->ActWriteOptExecute();
    Finish();

    EXPECT_EQ(dialogs.texts(), std::vector<std::string> { "Параметры изменены!" });
    ASSERT_TRUE(Written().contains(c.reg));
    EXPECT_EQ(Written().at(c.reg), c.held);
    EXPECT_EQ(d.holding(c.reg), c.held);
}

INSTANTIATE_TEST_SUITE_P(Cases, UntouchedValue,
    ::testing::Values(
        // What is entered is bounded by the range register / 10 = 25.0.
        Untouched { "ThresholdAboveTheRangeCap", [](SimDetector& d) { d.limits(100, 400); }, 10, 400,
            &DevicePanel::EditLimit2, "40,0" },
        Untouched { "ZeroZoneAboveTheRangeCap", [](SimDetector& d) { d.zeroZone(300); }, 18, 300,
            &DevicePanel::EditZeroZone, "30,0" },
        // The magnet edit's lower bound is the gas's LEL / 10 x 0.1 = 2.5.
        Untouched {
            "MagnetBelowItsLowerBound", [](SimDetector& d) { d.magnet(20); }, 8, 20, &DevicePanel::EditMagnet, "2,0" },
        Untouched { "HysteresisAboveTheRangeCap", [](SimDetector& d) { d.hysteresis(255); }, 17, 0xFFFF,
            &DevicePanel::EditHyster, "25,5" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WriteBackTest, TheHysteresisEditOffersOnlyWhatItsByteHolds)
{
    // Hydrogen sulphide, one decimal, range 100.0: 26.0 would be 260, beyond
    // the register's byte.
    SimDetector& d = bus.add(SimModel::Zor10, 5).gas(25);
    Open();
    EXPECT_DOUBLE_EQ(form->Panel.EditHyster.max(), 25.5);
    form->Panel.EditHyster.setValue(26.0);
    form->ActWriteOptExecute();
    Finish();
    EXPECT_EQ(d.holding(17), 0xFFFF);
    // Read back, the device shows what the edit showed.
    ReadPanel();
    EXPECT_EQ(form->Panel.EditHyster.text(','), "25,5");
}

struct LineCase {
    const char* name;
    uint16_t low; // low byte of the device's line word
    uint32_t baud;
    TParity parity;
    TStopBits stop;
    // The simulated detector takes only the codes it offers itself back.
    bool taken;
};

class LineWordWithoutItem : public WriteBackTest, public ::testing::WithParamInterface<LineCase> { };

TEST_P(LineWordWithoutItem, KeepsTheDevicesCodeWhenOnlyTheAddressChanges)
{
    const LineCase& c = GetParam();
    SimDetector& d = bus.add(SimModel::Zor10, 5);
    d.setHolding(0, static_cast<uint16_t>(0x0500 | c.low));
    MakeForm();
    // The bus runs at the device's own settings.
    form->ReopenLink(c.baud, c.parity, c.stop);
    SearchUpTo(5);
    Select(5);
    ReadPanel();
    sent.clear();
    form->Panel.SEditAddr.setValue(7);
    form->ActWriteAddrExecute();
    Finish();

    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent[1], Write6(5, 0, static_cast<uint16_t>(0x0700 | c.low)));
    if (!c.taken) {
        EXPECT_EQ(dialogs.texts(), std::vector<std::string> { "Ошибка записи параметров!" });
        return;
    }
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[2], Write6(7, 1, 0));
    EXPECT_EQ(dialogs.texts(), std::vector<std::string> { "Параметры изменены!" });
    EXPECT_EQ(d.address(), 7);
    EXPECT_EQ(d.line().baud, c.baud);
}

INSTANTIATE_TEST_SUITE_P(Cases, LineWordWithoutItem,
    ::testing::Values(
        // 115200 baud (code 8), even parity, one stop bit: no item for the rate.
        LineCase { "Baud115200", 0x68, 115200, TParity::pEven, TStopBits::sb1, true },
        // Mark parity (code 3) at 19200, one stop bit.
        LineCase { "MarkParity", 0x75, 19200, TParity::pMark, TStopBits::sb1, false },
        // Stop code 3 at 19200 even: the device takes it as one stop bit.
        LineCase { "StopCodeThree", 0xE5, 19200, TParity::pEven, TStopBits::sb1, false }),
    [](const auto& info) { return std::string(info.param.name); });

struct TypedCase {
    const char* name;
    forms::SpinEdit DevicePanel::*edit;
    double typed;
};

class TypedValue : public WriteBackTest, public ::testing::WithParamInterface<TypedCase> { };

TEST_P(TypedValue, SurvivesAutomaticReadingAndGoesWhenAnotherDeviceIsPressed)
{
    const TypedCase& c = GetParam();
    // Propane, two decimals, its output fixed at 20 mA.
    bus.add(SimModel::Zor10, 5).gas(2).writeHolding(1, 0x0400);
    bus.detector(5).writeHolding(3, 1000);
    bus.add(SimModel::Zor10, 6).gas(2);
    MakeForm();
    SearchUpTo(6);
    Select(5);
    ReadPanel();
    forms::SpinEdit& edit = form->Panel.*c.edit;
    const double shown = edit.value();
    ASSERT_NE(shown, c.typed);

    form->ActRenewExecute();
    edit.setValue(c.typed);
    loop.advance(4000); // two read ticks
    EXPECT_DOUBLE_EQ(edit.value(), c.typed);
    form->ActReadStopExecute();

    Select(6);
    EXPECT_DOUBLE_EQ(edit.value(), shown);
}

INSTANTIATE_TEST_SUITE_P(Edits, TypedValue,
    ::testing::Values(TypedCase { "MeasuredCurrent", &DevicePanel::EditCurr, 19.87 },
        TypedCase { "Threshold1", &DevicePanel::EditLimit1, 0.5 },
        TypedCase { "Threshold2", &DevicePanel::EditLimit2, 1.5 },
        TypedCase { "Hysteresis", &DevicePanel::EditHyster, 0.2 },
        TypedCase { "ZeroZone", &DevicePanel::EditZeroZone, 0.1 }, TypedCase { "Address", &DevicePanel::SEditAddr, 9 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WriteBackTest, AnEnteredThresholdBeyondARangeReadLaterGoesAsTheEditShowsIt)
{
    // Hydrogen sulphide, one decimal, range 100.0 when threshold 2 is typed.
    SimDetector& d = bus.add(SimModel::Zor10, 5).gas(25).range(1000).limits(100, 200);
    Open();
    form->Panel.EditLimit2.setValue(90.0);
    d.range(500);
    ReadPanel();
    EXPECT_EQ(form->Panel.EditLimit2.text(','), "50,0");
    sent.clear();
    form->ActWriteOptExecute();
    Finish();
    EXPECT_EQ(Written().at(10), 500);
    EXPECT_EQ(d.holding(10), 500);
}

TEST_F(WriteBackTest, AValueTypedAfterItsStepWentOutStaysEnteredNotTakenAsWritten)
{
    // Hydrogen sulphide, one decimal.
    SimDetector& d = bus.add(SimModel::Zor10, 5).gas(25).zeroZone(10);
    Open();
    form->Panel.EditLimit1.setValue(2.0);
    form->Panel.EditZeroZone.setValue(3.0);
    form->ActWriteOptExecute();
    ASSERT_TRUE(loop.advanceUntil([&] { return Written().contains(18); }, 10000));
    form->Panel.EditZeroZone.setValue(4.0);
    Finish();

    EXPECT_EQ(dialogs.texts(), std::vector<std::string> { "Параметры изменены!" });
    EXPECT_EQ(d.holding(18), 30);
    EXPECT_FALSE(form->Panel.EditLimit1.modified()); // written: the device's now
    EXPECT_TRUE(form->Panel.EditZeroZone.modified());
    ReadPanel();
    EXPECT_EQ(form->Panel.EditZeroZone.text(','), "4,0");
    form->Panel.EditZeroZone.revert();
    EXPECT_EQ(form->Panel.EditZeroZone.text(','), "3,0");
}

TEST_F(WriteBackTest, TheMeasuredCurrentTypedBeforeAReadTickIsTheOneSent)
{
    bus.add(SimModel::Zor10, 5).gas(2).writeHolding(1, 0x0400);
    bus.detector(5).writeHolding(3, 1000); // fixed at 20 mA
    Open();
    ASSERT_TRUE(form->Panel.RBt20mA.checked());
    form->ActRenewExecute();
    form->Panel.EditCurr.setValue(19.87);
    loop.advance(2000);
    sent.clear();
    form->ActWriteCurrExecute();
    loop.advance(1000);
    form->ActReadStopExecute();
    EXPECT_EQ(Written(), (std::map<uint16_t, uint16_t> { { 11, 1987 } }));
}

} // namespace
} // namespace zor::test
