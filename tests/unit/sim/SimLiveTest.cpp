// The live side of a simulated detector: warm-up, gas, thresholds, errors,
// noise and temperature, all in virtual time.

#include "runtime/VirtualLoop.h"
#include "sim/SimDetector.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace zor {
namespace {

enum : uint16_t { kRegState = 1, kRegOptions = 2, kRegConc = 3, kRegTemp = 4, kRegCurrent = 11 };

TEST(SimLive, WarmUpShowsUntilItsTimeIsUp)
{
    VirtualLoop loop;
    SimDetector d(loop, SimModel::Zor13, 1);
    d.warmUp(30000).applyTestGas(100);
    EXPECT_EQ(d.holding(kRegState), 0x0021);
    EXPECT_EQ(d.holding(kRegConc), 0);
    loop.advance(29999);
    EXPECT_EQ(d.holding(kRegState), 0x0021);
    loop.advance(1);
    EXPECT_EQ(d.holding(kRegState), 0x0001);
    EXPECT_EQ(d.holding(kRegConc), 100);
    d.powerCycle();
    EXPECT_EQ(d.holding(kRegState), 0x0021);
}

TEST(SimLive, TestGasRisesThroughTheThresholdsAndPastTheRange)
{
    VirtualLoop loop;
    SimDetector d(loop, SimModel::Zor12, 1);
    d.gas(24); // range 1000, thresholds 400 and 800, hysteresis 10
    struct Step {
        int gas; // -1: clean air
        uint32_t afterMs;
        uint16_t conc;
        uint16_t state;
        uint16_t current;
    };
    const Step steps[] = {
        { -1, 0, 0, 0x0001, 400 },
        { 600, 10000, 540, 0x0101, 1264 }, // 90 % after the response time
        { -1, 0, 540, 0x0101, 1264 }, // nothing moves without time
        { 600, 60000, 600, 0x0101, 1360 },
        { 900, 60000, 900, 0x0301, 1840 },
        { 1200, 60000, 1200, 0x0303, 2000 }, // range exceeded; the output stops at 20 mA
        { -1, 60000, 0, 0x0001, 400 },
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.conc);
        if (s.afterMs) {
            if (s.gas < 0)
                d.clearAir();
            else
                d.applyTestGas(static_cast<uint16_t>(s.gas));
        }
        loop.advance(s.afterMs);
        EXPECT_EQ(d.holding(kRegConc), s.conc);
        EXPECT_EQ(d.holding(kRegState), s.state);
        EXPECT_EQ(d.holding(kRegCurrent), s.current);
    }
}

TEST(SimLive, AlarmsFallBackOnlyPastTheHysteresis)
{
    struct Case {
        uint8_t gas;
        std::vector<uint16_t> levels;
        std::vector<bool> alarm1;
    };
    const Case cases[] = {
        // Threshold 400, hysteresis 10: the alarm holds down to 391.
        { 24, { 399, 400, 395, 391, 390, 395, 400 }, { false, true, true, true, false, false, true } },
        // Oxygen: alarm at or below 18.00 %об, until above 18.30.
        { 23, { 2090, 1801, 1800, 1830, 1831, 1820 }, { false, false, true, true, false, false } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.gas));
        VirtualLoop loop;
        SimDetector d(loop, SimModel::Zor11, 1);
        d.gas(c.gas).responseTime(0);
        if (c.gas == 23)
            d.hysteresis(30);
        for (size_t i = 0; i < c.levels.size(); ++i) {
            d.applyTestGas(c.levels[i]);
            EXPECT_EQ((d.holding(kRegState) & 0x0100) != 0, c.alarm1[i]) << "level " << c.levels[i];
        }
    }
}

TEST(SimLive, ErrorsShowTheirReason)
{
    struct Case {
        SimError error;
        uint16_t state;
        uint16_t options;
    };
    const Case cases[] = {
        { SimError::None, 0x0001, 0x0000 },
        { SimError::Contaminated, 0x0004, 0x0000 },
        { SimError::SensorMissing, 0x0008, 0x0000 },
        { SimError::InvalidData, 0x0040, 0x0000 },
        { SimError::SupplyLow, 0x0000, 0x0008 },
        { SimError::Hardware, 0x0000, 0x0000 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.error));
        VirtualLoop loop;
        SimDetector d(loop, SimModel::Zor10, 1);
        d.responseTime(0).applyTestGas(100);
        d.error(c.error);
        EXPECT_EQ(d.holding(kRegState), c.state);
        EXPECT_EQ(d.holding(kRegOptions), c.options);
        EXPECT_EQ(d.holding(kRegConc), c.error == SimError::None ? 100 : 0);
    }
}

TEST(SimLive, NoiseWandersAroundTheLevelAndFollowsItsSeed)
{
    const auto readings = [](uint64_t seed) {
        VirtualLoop loop;
        SimDetector d(loop, SimModel::Zor10, 1);
        d.responseTime(0).noise(3).seed(seed).applyTestGas(100);
        std::vector<uint16_t> out;
        for (int i = 0; i < 200; ++i) {
            out.push_back(d.holding(kRegConc));
            loop.advance(500);
        }
        return out;
    };
    const std::vector<uint16_t> a = readings(7);
    const std::set<uint16_t> seen(a.begin(), a.end());
    EXPECT_EQ(seen, (std::set<uint16_t> { 97, 98, 99, 100, 101, 102, 103 }));
    EXPECT_EQ(readings(7), a);
    EXPECT_NE(readings(8), a);
}

TEST(SimLive, NoiseNeverReadsBelowZeroNorInsideTheZeroZone)
{
    VirtualLoop loop;
    SimDetector d(loop, SimModel::Zor10, 1);
    d.noise(4).zeroZone(2);
    std::set<uint16_t> seen;
    for (int i = 0; i < 200; ++i) {
        seen.insert(d.holding(kRegConc));
        loop.advance(500);
    }
    EXPECT_EQ(seen, (std::set<uint16_t> { 0, 3, 4 }));
}

TEST(SimLive, TemperatureRunsInHundredthsForSomeGasesAndFirmware)
{
    struct Case {
        SimModel model;
        uint16_t version;
        uint8_t gas;
        uint16_t reg;
    };
    const Case cases[] = {
        { SimModel::Zor11, 1552, 24, 2350 },
        { SimModel::Zor11, 1552, 1, 235 },
        { SimModel::Zor10, 230, 24, 2350 },
        { SimModel::Zor10, 204, 23, 2350 },
        { SimModel::Zor10, 203, 24, 235 },
        { SimModel::Zor10, 304, 24, 235 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        VirtualLoop loop;
        SimDetector d(loop, c.model, 1);
        d.version(c.version).gas(c.gas).temperature(235);
        EXPECT_EQ(d.holding(kRegTemp), c.reg);
    }
}

TEST(SimLive, LiveRegistersCanBePinned)
{
    VirtualLoop loop;
    SimDetector d(loop, SimModel::Zor11, 1);
    d.setHolding(kRegConc, 10000);
    d.setHolding(kRegState, 0x0003);
    EXPECT_EQ(d.holding(kRegConc), 10000);
    EXPECT_EQ(d.holding(kRegState), 0x0003);
    d.unpin(kRegConc);
    EXPECT_EQ(d.holding(kRegConc), 0);
    d.setHolding(0, 0x0764);
    EXPECT_EQ(d.address(), 7);
    EXPECT_EQ(d.line().baud, 9600u);
}

TEST(SimLive, IdentificationNumbersLieInTheModelBands)
{
    VirtualLoop loop;
    for (SimModel m : { SimModel::Zor10, SimModel::Zor11, SimModel::Zor12, SimModel::Zor13 }) {
        const SimModelInfo& info = simModelInfo(m);
        for (uint8_t address : { 1, 247 }) {
            SimDetector d(loop, m, address);
            const uint32_t serial = d.holding(6) + 65536u * d.holding(7);
            EXPECT_GE(serial, info.firstSerial) << info.name;
            EXPECT_LE(serial, info.lastSerial) << info.name;
        }
    }
}

} // namespace
} // namespace zor
