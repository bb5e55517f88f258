// Bus descriptions: the demo bus, every key, and the messages for bad ones.

#include "sim/SimBusFile.h"
#include "runtime/VirtualLoop.h"

#include <gtest/gtest.h>

namespace zor {
namespace {

TEST(SimBusFile, DemoBusHasOneDetectorOfEachModelWithFourKindsOfGas)
{
    VirtualLoop loop;
    SimBus bus(loop);
    loadBusText(bus, demoBusText(), "demo");
    struct Expected {
        SimModel model;
        uint8_t unit;
    };
    const Expected expected[] = {
        { SimModel::Zor10, kSimUnitLel },
        { SimModel::Zor11, kSimUnitVol }, // oxygen
        { SimModel::Zor12, kSimUnitPpm },
        { SimModel::Zor13, kSimUnitVol },
    };
    ASSERT_EQ(bus.size(), 4u);
    for (uint8_t i = 0; i < 4; ++i) {
        SimDetector& d = bus.at(i);
        EXPECT_EQ(d.model(), expected[i].model);
        EXPECT_EQ(d.address(), i + 1);
        EXPECT_EQ(simGasInfo(d.gas()).unit, expected[i].unit);
        EXPECT_EQ(d.holding(0) & 0xFF, 0x65) << "19200 baud, even parity, one stop bit";
    }
    EXPECT_EQ(bus.at(1).gas(), kSimGasOxygen);
}

TEST(SimBusFile, EveryKeyReachesTheDetector)
{
    VirtualLoop loop;
    SimBus bus(loop);
    addDetectorLine(bus,
        "ZOR-12 address=9 baud=9600 parity=none stop=2 serial=9512345 version=1601 gas=25 range=500"
        " limit1=100 limit2=200 hysteresis=5 zerozone=3 magnet=250 relays=5 blocking=on"
        " temperature=-12.5 radio=off # a comment",
        "line");
    SimDetector& d = bus.detector(9);
    const std::pair<uint16_t, uint16_t> regs[] = {
        { 0, 0x0984 },
        { 2, 0x0002 },
        { 4, static_cast<uint16_t>(-1250) },
        { 5, 500 },
        { 6, 0x2599 },
        { 7, 0x0091 },
        { 8, 250 },
        { 9, 100 },
        { 10, 200 },
        { 14, 1601 },
        { 16, 5 },
        { 17, 0x0505 },
        { 18, 3 },
        { 19, 25 },
    };
    for (const auto& [reg, value] : regs)
        EXPECT_EQ(d.holding(reg), value) << "register " << reg;
    EXPECT_EQ(d.checkRead(3, 64, 1), kExIllegalAddress);
}

TEST(SimBusFile, FaultKeysReachTheDetector)
{
    VirtualLoop loop;
    SimBus bus(loop);
    addDetectorLine(bus,
        "ZOR-10 address=3 silent badcrc split=300ms delay=2s turnaround=20 exception-reg=7:2 exception-fn=16:1",
        "line");
    const SimFaults& f = bus.detector(3).faults();
    EXPECT_TRUE(f.silent);
    EXPECT_TRUE(f.badCrc);
    EXPECT_EQ(f.splitPauseMs, 300u);
    EXPECT_EQ(f.delayMs, 2000u);
    EXPECT_EQ(f.turnaroundMs, 20u);
    ASSERT_EQ(f.exceptions.size(), 2u);
    EXPECT_EQ(f.exceptions[0].reg, 7);
    EXPECT_EQ(f.exceptions[0].code, 2);
    EXPECT_EQ(f.exceptions[1].function, 16);
    EXPECT_EQ(f.exceptions[1].code, 1);
}

TEST(SimBusFile, TestGasComesAndGoesOnSchedule)
{
    VirtualLoop loop;
    SimBus bus(loop);
    addDetectorLine(
        bus, "ZOR-13 address=1 gas=4 response=0 testgas=250 testgas-at=10s testgas-for=20s testgas-every=60s", "line");
    SimDetector& d = bus.detector(1);
    const std::pair<uint64_t, uint16_t> readings[]
        = { { 5000, 0 }, { 15000, 250 }, { 35000, 0 }, { 75000, 250 }, { 95000, 0 } };
    for (const auto& [at, conc] : readings) {
        loop.runUntil(at);
        EXPECT_EQ(d.holding(3), conc) << "at " << at << " ms";
    }
}

TEST(SimBusFile, BadDescriptionsSayWhereAndWhat)
{
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        { "ZOR-99 address=1", "bus:1: unknown model \"ZOR-99\"" },
        { "ZOR-10 gas=5", "bus:1: address=N missing" },
        { "ZOR-10 address=0", "bus:1: address=0: expected a number from 1 to 247" },
        { "ZOR-10 address=12x", "bus:1: address=12x: expected a number from 1 to 247" },
        { "# first\n\nZOR-10 address=1 colour=red", "bus:3: unknown key \"colour\"" },
        { "ZOR-10 address=1 parity=mark", "bus:1: parity=mark: expected one of even, none, odd" },
        { "ZOR-10 address=1 baud=300", "bus:1: baud=300: expected one of" },
        { "ZOR-10 address=1 gas=34", "bus:1: gas=34: expected a number from 0 to 33" },
        { "ZOR-10 address=1 warmup=5min", "bus:1: warmup=5min: expected a number" },
        { "ZOR-10 address=1 temperature=warm", "bus:1: temperature=warm: expected degrees Celsius" },
        { "ZOR-10 address=1 exception-reg=7", "bus:1: exception-reg=7: expected NUMBER:CODE" },
        { "ZOR-10 address=1 testgas-at=5s", "bus:1: testgas-at, testgas-for and testgas-every need testgas=N" },
        { "ZOR-10 address=1\nZOR-11 address=1", "bus:2: address 1 is taken" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        VirtualLoop loop;
        SimBus bus(loop);
        try {
            loadBusText(bus, c.text, "bus");
            ADD_FAILURE() << "accepted";
        } catch (const SimBusFileError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << e.what();
        }
    }
}

TEST(SimBusFile, AFailedLineAddsNoDetector)
{
    VirtualLoop loop;
    SimBus bus(loop);
    EXPECT_THROW(addDetectorLine(bus, "ZOR-10 address=1 colour=red", "line"), SimBusFileError);
    EXPECT_EQ(bus.size(), 0u);
    EXPECT_THROW(loadBusFile(bus, "/nonexistent/demo.bus"), SimBusFileError);
}

} // namespace
} // namespace zor
