#include "link/TVSCOM.h"
#include "unit/link/FakePort.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace zor;
using zor::test::FakePort;

namespace {

using Bytes = std::vector<uint8_t>;

struct DriverTest : ::testing::Test {
    VirtualLoop loop;
    std::unique_ptr<FakePort> owned = std::make_unique<FakePort>(loop);
    FakePort& port = *owned;
    TVSCOM com { loop, std::move(owned) };
    std::vector<Bytes> chunks;
    std::vector<uint64_t> chunkTimes;

    DriverTest()
    {
        com.SetOnReceiveData([this](TVSCOM&, const uint8_t* data, uint16_t size) {
            chunks.emplace_back(data, data + size);
            chunkTimes.push_back(loop.now());
        });
    }
};

TEST_F(DriverTest, StartsClosedWithTheDeclaredDefaults)
{
    EXPECT_FALSE(com.Connected());
    EXPECT_EQ(com.Handle(), TVSCOM::kInvalidHandle);
    EXPECT_EQ(com.PortName(), "COM1");
    EXPECT_EQ(com.BaudRate(), TBaudRate::br9600);
    EXPECT_EQ(com.BaudRateValue(), 9600u);
    EXPECT_EQ(com.DataBits(), TDataBits::db8BITS);
    EXPECT_EQ(com.StopBits(), TStopBits::sb1);
    EXPECT_EQ(com.Parity(), TParity::pNone);
    EXPECT_EQ(com.HwFlow(), THwFlowControl::hfNONERTSON);
    EXPECT_EQ(com.SwFlow(), TSwFlowControl::sfNONE);
    EXPECT_EQ(com.InBufSize(), 2048u);
    EXPECT_EQ(com.OutBufSize(), 2048u);
    EXPECT_EQ(com.PacketSize(), -1);
    EXPECT_EQ(com.PacketTimeout(), -1);
    EXPECT_EQ(com.PacketMode(), TPacketMode::pmDiscard);
    EXPECT_EQ(com.PollingDelay(), 50);
    EXPECT_TRUE(com.EnableDTROnOpen());
    EXPECT_EQ(com.OutputTimeout(), 500);
    EXPECT_EQ(com.InputTimeout(), 200u);
    EXPECT_FALSE(com.CheckLineStatus());
    EXPECT_TRUE(com.IsPolling());
}

struct SetterCase {
    const char* what;
    std::function<void(TVSCOM&)> set;
    std::function<int64_t(const TVSCOM&)> get;
    int64_t expected;
};

TEST_F(DriverTest, SettersClampAndDeriveAsTheRulesSay)
{
    const auto polling = [](const TVSCOM& c) { return int64_t { c.PollingDelay() }; };
    const auto inBuf = [](const TVSCOM& c) { return int64_t { c.InBufSize() }; };
    const auto outBuf = [](const TVSCOM& c) { return int64_t { c.OutBufSize() }; };
    const auto timeout = [](const TVSCOM& c) { return int64_t { c.PacketTimeout() }; };
    const auto packet = [](const TVSCOM& c) { return int64_t { c.PacketSize() }; };
    const auto rateValue = [](const TVSCOM& c) { return int64_t { c.BaudRateValue() }; };
    const auto rate = [](const TVSCOM& c) { return static_cast<int64_t>(c.BaudRate()); };
    const std::vector<SetterCase> cases = {
        { "PollingDelay 3", [](TVSCOM& c) { c.SetPollingDelay(3); }, polling, 5 },
        { "PollingDelay 0", [](TVSCOM& c) { c.SetPollingDelay(0); }, polling, 5 },
        { "PollingDelay 500", [](TVSCOM& c) { c.SetPollingDelay(500); }, polling, 500 },
        { "InBufSize 50", [](TVSCOM& c) { c.SetInBufSize(50); }, inBuf, 128 },
        { "InBufSize 10000", [](TVSCOM& c) { c.SetInBufSize(10000); }, inBuf, 8192 },
        { "InBufSize 1000", [](TVSCOM& c) { c.SetInBufSize(1000); }, inBuf, 1000 },
        { "OutBufSize 50", [](TVSCOM& c) { c.SetOutBufSize(50); }, outBuf, 128 },
        { "OutBufSize 10000", [](TVSCOM& c) { c.SetOutBufSize(10000); }, outBuf, 8192 },
        { "PacketTimeout 20 at 50", [](TVSCOM& c) { c.SetPacketTimeout(20); }, timeout, 70 },
        { "PacketTimeout 49 at 50", [](TVSCOM& c) { c.SetPacketTimeout(49); }, timeout, 70 },
        { "PacketTimeout 50 at 50", [](TVSCOM& c) { c.SetPacketTimeout(50); }, timeout, 50 },
        { "PacketTimeout 100 at 50", [](TVSCOM& c) { c.SetPacketTimeout(100); }, timeout, 100 },
        { "PacketTimeout 0", [](TVSCOM& c) { c.SetPacketTimeout(0); }, timeout, -1 },
        { "PacketTimeout -7", [](TVSCOM& c) { c.SetPacketTimeout(-7); }, timeout, -1 },
        { "PacketTimeout 100, then PollingDelay 200",
            [](TVSCOM& c) {
                c.SetPacketTimeout(100);
                c.SetPollingDelay(200);
            },
            timeout, 280 },
        { "PacketSize 0", [](TVSCOM& c) { c.SetPacketSize(0); }, packet, -1 },
        { "PacketSize -3", [](TVSCOM& c) { c.SetPacketSize(-3); }, packet, -1 },
        { "PacketSize 3000 raises InBufSize", [](TVSCOM& c) { c.SetPacketSize(3000); }, inBuf, 3000 },
        { "PacketSize 9000 is held to the buffer", [](TVSCOM& c) { c.SetPacketSize(9000); }, packet, 8192 },
        { "InBufSize 128 below PacketSize 200",
            [](TVSCOM& c) {
                c.SetPacketSize(200);
                c.SetInBufSize(128);
            },
            inBuf, 200 },
        { "BaudRate br19200 sets the value", [](TVSCOM& c) { c.SetBaudRate(TBaudRate::br19200); }, rateValue, 19200 },
        { "BaudRate br256000 sets the value", [](TVSCOM& c) { c.SetBaudRate(TBaudRate::br256000); }, rateValue,
            256000 },
        { "BaudRateValue makes the rate custom", [](TVSCOM& c) { c.SetBaudRateValue(19200); }, rate,
            static_cast<int64_t>(TBaudRate::brCustom) },
        { "BaudRate brCustom keeps the value",
            [](TVSCOM& c) {
                c.SetBaudRateValue(12345);
                c.SetBaudRate(TBaudRate::brCustom);
            },
            rateValue, 12345 },
    };
    for (const SetterCase& c : cases) {
        VirtualLoop fresh;
        TVSCOM subject(fresh, std::make_unique<FakePort>(fresh));
        c.set(subject);
        EXPECT_EQ(c.get(subject), c.expected) << c.what;
    }
}

TEST_F(DriverTest, PortNameAndQueueSizesDoNotChangeWhileOpen)
{
    ASSERT_TRUE(com.Open());
    com.SetPortName("COM7");
    com.SetInBufSize(4096);
    com.SetOutBufSize(4096);
    com.Close();
    EXPECT_EQ(com.PortName(), "COM1");
    EXPECT_EQ(com.InBufSize(), 2048u);
    EXPECT_EQ(com.OutBufSize(), 2048u);
}

TEST_F(DriverTest, OpenFailsQuietlyAndLeavesThePortClosed)
{
    struct Case {
        const char* what;
        std::function<void(FakePort&, TVSCOM&)> arrange;
    };
    const std::vector<Case> cases = {
        { "missing port", [](FakePort&, TVSCOM& c) { c.SetPortName("COM9"); } },
        { "settings refused", [](FakePort& p, TVSCOM&) { p.applyOk = false; } },
        { "purge refused", [](FakePort& p, TVSCOM&) { p.purgeOk = false; } },
        { "queue sizes refused", [](FakePort& p, TVSCOM&) { p.queueSizesOk = false; } },
    };
    for (const Case& c : cases) {
        VirtualLoop fresh;
        auto fake = std::make_unique<FakePort>(fresh);
        FakePort& p = *fake;
        TVSCOM subject(fresh, std::move(fake));
        c.arrange(p, subject);
        EXPECT_FALSE(subject.Open()) << c.what;
        EXPECT_FALSE(subject.Connected()) << c.what;
        EXPECT_FALSE(p.isOpen()) << c.what;
    }
}

TEST_F(DriverTest, OpeningAnOpenPortChangesNothing)
{
    ASSERT_TRUE(com.Open());
    ASSERT_EQ(port.applied.size(), 1u);
    EXPECT_TRUE(com.Open());
    EXPECT_EQ(port.applied.size(), 1u);
    EXPECT_EQ(com.Handle(), 3);
}

TEST_F(DriverTest, AppliedLineSettingsFollowTheProperties)
{
    struct Case {
        const char* what;
        std::function<void(TVSCOM&)> set;
        LineSettings expected;
    };
    const auto line = [](std::function<void(LineSettings&)> edit) {
        LineSettings s;
        s.baud = 9600;
        s.rts = RtsMode::High;
        s.xonLimit = s.xoffLimit = 512;
        edit(s);
        return s;
    };
    const std::vector<Case> cases = {
        { "defaults", [](TVSCOM&) {}, line([](LineSettings&) {}) },
        { "19200 8E1, RTS low",
            [](TVSCOM& c) {
                c.SetBaudRateValue(19200);
                c.SetParity(TParity::pEven);
                c.SetHwFlow(THwFlowControl::hfNONE);
            },
            line([](LineSettings& s) {
                s.baud = 19200;
                s.parity = ParityKind::Even;
                s.rts = RtsMode::Low;
            }) },
        { "7 data bits, mark, 1.5 stop, handshakes",
            [](TVSCOM& c) {
                c.SetDataBits(TDataBits::db7BITS);
                c.SetParity(TParity::pMark);
                c.SetStopBits(TStopBits::sb1HALF);
                c.SetHwFlow(THwFlowControl::hfRTSCTS);
                c.SetSwFlow(TSwFlowControl::sfXONXOFF);
            },
            line([](LineSettings& s) {
                s.dataBits = 7;
                s.parity = ParityKind::Mark;
                s.stopBits = StopBitsKind::OneAndHalf;
                s.rts = RtsMode::Handshake;
                s.xonXoff = true;
            }) },
        { "5 data bits, no DTR, XON limit from InBufSize",
            [](TVSCOM& c) {
                c.SetDataBits(TDataBits::db5BITS);
                c.SetEnableDTROnOpen(false);
                c.SetInBufSize(8192);
            },
            line([](LineSettings& s) {
                s.dataBits = 5;
                s.dtrOn = false;
                s.xonLimit = s.xoffLimit = 2048;
            }) },
    };
    for (const Case& c : cases) {
        VirtualLoop fresh;
        auto fake = std::make_unique<FakePort>(fresh);
        FakePort& p = *fake;
        TVSCOM subject(fresh, std::move(fake));
        c.set(subject);
        ASSERT_TRUE(subject.Open()) << c.what;
        ASSERT_EQ(p.applied.size(), 1u) << c.what;
        EXPECT_EQ(p.applied.back(), c.expected) << c.what;
    }
}

TEST_F(DriverTest, LineSettingsAreReappliedWhileOpenAndEmptyTheQueues)
{
    ASSERT_TRUE(com.Open());
    port.feed({ 1, 2, 3 });
    com.SetBaudRate(TBaudRate::br19200);
    ASSERT_EQ(port.applied.size(), 2u);
    EXPECT_EQ(port.applied.back().baud, 19200u);
    EXPECT_TRUE(port.in.empty());
    // A rejection while open is not reported and keeps the port open.
    port.applyOk = false;
    com.SetParity(TParity::pOdd);
    EXPECT_EQ(port.applied.size(), 3u);
    EXPECT_TRUE(com.Connected());
}

TEST_F(DriverTest, ClosedPortOperationsReturnTheirNeutralValues)
{
    uint8_t buf[8] = { 1, 2, 3, 4, 5, 6, 7, 8 };
    EXPECT_EQ(com.SendDataEx(buf, 8, 100), 0u);
    EXPECT_EQ(com.SendBuffer(buf, 8), 0u);
    EXPECT_EQ(com.ReadData(buf, 8), 0u);
    EXPECT_FALSE(com.FlushBuffers(true, true));
    EXPECT_EQ(com.CountRX(), 65535);
    EXPECT_EQ(com.OutFreeSpace(), 65535);
    EXPECT_EQ(com.GetLineStatus(), 0);
    com.ToggleDTR(true);
    com.ToggleRTS(false);
    com.Close();
    EXPECT_TRUE(port.written.empty());
    EXPECT_TRUE(port.dtr.empty());
    EXPECT_TRUE(port.rts.empty());
    EXPECT_EQ(port.closes, 0);
}

TEST_F(DriverTest, FailedQueriesGiveZeroAndTheEmptySet)
{
    ASSERT_TRUE(com.Open());
    port.lines = kLineCTS;
    port.statusOk = false;
    port.modemOk = false;
    EXPECT_EQ(com.CountRX(), 0);
    EXPECT_EQ(com.OutFreeSpace(), 0);
    EXPECT_EQ(com.GetLineStatus(), 0);
    port.purgeOk = false;
    EXPECT_FALSE(com.FlushBuffers(true, false));
}

// Wherever a lost port shows first, the driver closes it at once: a send
// returns without waiting out its time-out, and the owner is told once,
// from the loop, not from inside the operation that failed.
TEST_F(DriverTest, ALostPortIsClosedAtOnceAndReportedOnceFromTheLoop)
{
    const Bytes frame(8, 0x11);
    struct Case {
        const char* what;
        bool onlyWrites;
        std::function<void()> act;
    };
    const std::vector<Case> cases = {
        { "a polling tick", false, nullptr },
        { "a send", false, [&] { EXPECT_EQ(com.SendBuffer(frame.data(), 8), 0u); } },
        { "a send whose write fails", true, [&] { EXPECT_EQ(com.SendBuffer(frame.data(), 8), 0u); } },
        { "a purge", false, [&] { EXPECT_FALSE(com.FlushBuffers(true, true)); } },
        { "a queue count", false, [&] { com.CountRX(); } },
        { "a blocking read", false,
            [&] {
                uint8_t buf[4];
                EXPECT_EQ(com.ReadData(buf, 4), 0u);
            } },
    };
    int lost = 0;
    com.SetOnPortLost([&](TVSCOM&) { ++lost; });
    for (const Case& c : cases) {
        lost = 0;
        port.lost = port.writeLost = false;
        ASSERT_TRUE(com.Open()) << c.what;
        (c.onlyWrites ? port.writeLost : port.lost) = true;
        const uint64_t start = loop.now();
        if (c.act) {
            c.act();
            EXPECT_EQ(loop.now(), start) << c.what; // nothing waited
            EXPECT_EQ(lost, 0) << c.what; // not from inside the call
        } else {
            loop.advance(com.PollingDelay());
        }
        EXPECT_FALSE(com.Connected()) << c.what;
        EXPECT_EQ(com.LastError(), PortError::Lost) << c.what;
        loop.advance(com.PollingDelay());
        EXPECT_EQ(lost, 1) << c.what;
        EXPECT_EQ(com.SendBuffer(frame.data(), 8), 0u) << c.what;
        loop.advance(2000);
        EXPECT_EQ(lost, 1) << c.what;
    }
}

TEST_F(DriverTest, AFailureThatIsNoLossLeavesThePortOpen)
{
    int lost = 0;
    com.SetOnPortLost([&](TVSCOM&) { ++lost; });
    ASSERT_TRUE(com.Open());
    port.statusOk = false;
    port.purgeOk = false;
    loop.advance(1000);
    EXPECT_FALSE(com.FlushBuffers(true, true));
    EXPECT_TRUE(com.Connected());
    EXPECT_EQ(lost, 0);
}

TEST_F(DriverTest, RS485ModeIsAskedOfTheDriverAtEveryOpen)
{
    ASSERT_TRUE(com.Open());
    EXPECT_EQ(port.rs485Requests, 0); // off: the driver's own mode stays
    com.SetRS485Mode(true);
    EXPECT_EQ(port.rs485Requests, 1);
    EXPECT_FALSE(com.RS485Active()); // refused
    com.Close();
    port.rs485Ok = true;
    ASSERT_TRUE(com.Open());
    EXPECT_EQ(port.rs485Requests, 2);
    EXPECT_TRUE(com.RS485Active());
    com.Close();
    EXPECT_FALSE(com.RS485Active());
}

// Unticked, the mode this link turned on is switched back, at once or at
// the next open; a mode the system set up on its own is left alone.
TEST_F(DriverTest, RS485ModeTurnedOnHereIsSwitchedBackWhenUnticked)
{
    port.rs485Ok = true;
    ASSERT_TRUE(com.Open());
    com.SetRS485Mode(true);
    ASSERT_TRUE(port.rs485On);
    com.SetRS485Mode(false);
    EXPECT_FALSE(port.rs485On);
    EXPECT_FALSE(com.RS485Active());

    com.SetRS485Mode(true);
    com.Close();
    com.SetRS485Mode(false);
    EXPECT_TRUE(port.rs485On);
    ASSERT_TRUE(com.Open());
    EXPECT_FALSE(port.rs485On);

    port.rs485On = true; // the system's own set-up
    com.Close();
    const int requests = port.rs485Requests;
    ASSERT_TRUE(com.Open());
    EXPECT_EQ(port.rs485Requests, requests);
    EXPECT_TRUE(port.rs485On);
}

TEST_F(DriverTest, QueueCountsAndLineStatus)
{
    ASSERT_TRUE(com.Open());
    port.outQueued = 100;
    port.feed({ 1, 2, 3 });
    port.lines = kLineCTS | kLineCD;
    EXPECT_EQ(com.OutFreeSpace(), 1948);
    EXPECT_EQ(com.CountRX(), 3);
    EXPECT_EQ(com.GetLineStatus(), (1 << lsCTS) | (1 << lsCD));
    com.ToggleDTR(false);
    com.ToggleRTS(true);
    EXPECT_EQ(port.dtr, std::vector<bool> { false });
    EXPECT_EQ(port.rts, std::vector<bool> { true });
}

TEST_F(DriverTest, EachTickDeliversWhatArrivedAsOneChunkAndKeepsTheRestQueued)
{
    com.SetInBufSize(128);
    ASSERT_TRUE(com.Open());
    loop.advance(10);
    port.feed({ 1, 2 });
    loop.advance(40); // tick at 50
    Bytes big(200, 7);
    port.in.insert(port.in.end(), big.begin(), big.end());
    loop.advance(100); // ticks at 100 and 150
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0], (Bytes { 1, 2 }));
    EXPECT_EQ(chunks[1].size(), 128u);
    EXPECT_EQ(chunks[2].size(), 72u);
    EXPECT_EQ(chunkTimes, (std::vector<uint64_t> { 50, 100, 150 }));
}

TEST_F(DriverTest, PausesNestAndHoldTheBytesBack)
{
    ASSERT_TRUE(com.Open());
    com.PausePolling();
    com.PausePolling();
    port.feed({ 9 });
    loop.advance(100);
    com.ContinuePolling();
    EXPECT_FALSE(com.IsPolling());
    loop.advance(100);
    EXPECT_TRUE(chunks.empty());
    com.ContinuePolling();
    EXPECT_TRUE(com.IsPolling());
    loop.advance(50);
    EXPECT_EQ(chunks, (std::vector<Bytes> { { 9 } }));
}

TEST_F(DriverTest, SettingTheSamePollingDelayKeepsTheTickWhereItWas)
{
    struct Case {
        uint16_t newDelay;
        uint64_t expectedTick;
    };
    for (const Case c : { Case { 50, 50 }, Case { 3, 35 }, Case { 40, 70 } }) {
        VirtualLoop fresh;
        auto fake = std::make_unique<FakePort>(fresh);
        FakePort& p = *fake;
        TVSCOM subject(fresh, std::move(fake));
        std::vector<uint64_t> times;
        subject.SetOnReceiveData([&](TVSCOM&, const uint8_t*, uint16_t) { times.push_back(fresh.now()); });
        ASSERT_TRUE(subject.Open());
        fresh.advance(30);
        p.feed({ 1 });
        subject.SetPollingDelay(c.newDelay);
        fresh.advance(100);
        ASSERT_FALSE(times.empty()) << c.newDelay;
        EXPECT_EQ(times.front(), c.expectedTick) << c.newDelay;
    }
}

TEST_F(DriverTest, ThePollingTimerRunsExactlyWhileOpen)
{
    ASSERT_TRUE(com.Open());
    com.Close();
    port.feed({ 1 });
    ASSERT_TRUE(port.open("COM1")); // the device is there, the driver is not looking
    loop.advance(500);
    EXPECT_TRUE(chunks.empty());
}

TEST_F(DriverTest, FixedPacketsAndTheIncompleteRest)
{
    struct Case {
        TPacketMode mode;
        std::vector<Bytes> expected;
    };
    const std::vector<Case> cases = {
        { TPacketMode::pmPass, { { 1, 2, 3, 4 }, { 5, 6, 7, 8 }, { 9, 10 } } },
        { TPacketMode::pmDiscard, { { 1, 2, 3, 4 }, { 5, 6, 7, 8 } } },
    };
    for (const Case& c : cases) {
        VirtualLoop fresh;
        auto fake = std::make_unique<FakePort>(fresh);
        FakePort& p = *fake;
        TVSCOM subject(fresh, std::move(fake));
        std::vector<Bytes> packets;
        std::vector<uint64_t> times;
        subject.SetOnReceivePacket([&](TVSCOM&, const uint8_t* d, uint16_t n) {
            packets.emplace_back(d, d + n);
            times.push_back(fresh.now());
        });
        subject.SetPacketSize(4);
        subject.SetPacketTimeout(100);
        subject.SetPacketMode(c.mode);
        ASSERT_TRUE(subject.Open());
        p.feed({ 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 });
        fresh.advance(50);
        EXPECT_EQ(packets.size(), 2u);
        fresh.advance(500);
        EXPECT_EQ(packets, c.expected);
        EXPECT_TRUE(p.in.empty());
        if (c.mode == TPacketMode::pmPass) {
            // The rest is timed from the tick that took the whole packets
            // (50, plus their transmit time) and given up more than 100 ms
            // later.
            EXPECT_EQ(times.back(), 200u);
        }
    }
}

TEST_F(DriverTest, AnIncompletePacketIsTimedFromItsFirstByte)
{
    std::vector<uint64_t> times;
    com.SetOnReceivePacket([&](TVSCOM&, const uint8_t*, uint16_t) { times.push_back(loop.now()); });
    com.SetPacketSize(4);
    com.SetPacketTimeout(100);
    com.SetPacketMode(TPacketMode::pmPass);
    ASSERT_TRUE(com.Open());
    port.feed({ 1, 2 });
    loop.advance(150); // seen at 50, not yet 100 ms old at 150
    EXPECT_TRUE(times.empty());
    loop.advance(50);
    EXPECT_EQ(times, (std::vector<uint64_t> { 200 }));
    // A purge forgets the stamp.
    port.feed({ 1 });
    loop.advance(50);
    ASSERT_TRUE(com.FlushBuffers(false, true));
    port.feed({ 2 });
    loop.advance(150);
    EXPECT_EQ(times.size(), 1u);
}

TEST_F(DriverTest, WritesGiveUpAfterTheTimeOutWithoutProgress)
{
    ASSERT_TRUE(com.Open());
    port.outQueued = 2048 - 3; // room for three bytes, and it never drains
    port.drains = false;
    const Bytes data(10, 0x55);
    const uint64_t start = loop.now();
    EXPECT_EQ(com.SendBuffer(data.data(), 10), 3u);
    EXPECT_GT(loop.now() - start, 500u);
    EXPECT_LE(loop.now() - start, 511u);
    EXPECT_EQ(port.written.size(), 3u);
}

TEST_F(DriverTest, WritesStopWhenNoModemLineIsActive)
{
    com.SetCheckLineStatus(true);
    ASSERT_TRUE(com.Open());
    const Bytes data(4, 1);
    EXPECT_EQ(com.SendDataEx(data.data(), 4, 100), 0u);
    port.lines = kLineDSR;
    EXPECT_EQ(com.SendDataEx(data.data(), 4, 100), 4u);
}

TEST_F(DriverTest, ReadDataTakesQueuedBytesAndTimesOutOnSilence)
{
    com.SetInputTimeout(200);
    ASSERT_TRUE(com.Open());
    port.feed({ 1, 2, 3 });
    uint8_t buf[8] = {};
    const uint64_t start = loop.now();
    EXPECT_EQ(com.ReadData(buf, 8), 3u);
    EXPECT_EQ((Bytes { buf, buf + 3 }), (Bytes { 1, 2, 3 }));
    EXPECT_GT(loop.now() - start, 200u);
    EXPECT_TRUE(com.IsPolling());
    port.feed({ 4, 5, 6 });
    EXPECT_EQ(com.ReadData(buf, 2), 2u);
    EXPECT_EQ(com.CountRX(), 1);
}

TEST_F(DriverTest, TheHandleAttachesAndDetachesAPort)
{
    com.SetHandle(5);
    EXPECT_TRUE(com.Connected());
    EXPECT_EQ(com.Handle(), 5);
    EXPECT_TRUE(port.applied.empty()); // an attached handle keeps its settings
    port.feed({ 1 });
    loop.advance(50);
    EXPECT_EQ(chunks.size(), 1u);

    com.SetHandle(5);
    EXPECT_EQ(port.closes, 0);

    com.SetHandle(TVSCOM::kDetachHandle);
    EXPECT_FALSE(com.Connected());
    EXPECT_EQ(port.closes, 0);
    port.feed({ 2 });
    loop.advance(200);
    EXPECT_EQ(chunks.size(), 1u);

    ASSERT_TRUE(com.Open());
    com.SetHandle(7);
    EXPECT_EQ(port.closes, 1);
    EXPECT_EQ(com.Handle(), 7);
    com.SetHandle(TVSCOM::kInvalidHandle);
    EXPECT_FALSE(com.Connected());
    EXPECT_EQ(port.closes, 2);
}

TEST(TransmitTime, CountsTenBitsACharacterRoundingHalvesToEven)
{
    struct Case {
        uint32_t baud;
        uint32_t count;
        uint32_t ms;
    };
    const Case cases[] = {
        { 19200, 8, 4 }, // 4.17
        { 19200, 43, 22 }, // 22.40
        { 1200, 43, 358 }, // 358.33
        { 9600, 1, 1 }, // 1.04
        { 4000, 1, 2 }, // 2.5 to even
        { 4000, 3, 8 }, // 7.5 to even
        { 110, 1, 91 }, // 90.9
        { 0, 5, 0 }, // no rate, no time
    };
    for (const Case& c : cases) {
        VirtualLoop loop;
        TVSCOM com(loop, std::make_unique<FakePort>(loop));
        com.SetBaudRateValue(c.baud);
        EXPECT_EQ(com.TransmitTimeMs(c.count), c.ms) << c.baud << " " << c.count;
    }
}

TEST(BaudRates, EachMemberMapsToTheNumberInItsName)
{
    const std::pair<TBaudRate, uint32_t> cases[]
        = { { TBaudRate::brCustom, 0 }, { TBaudRate::br110, 110 }, { TBaudRate::br1200, 1200 },
              { TBaudRate::br14400, 14400 }, { TBaudRate::br19200, 19200 }, { TBaudRate::br56000, 56000 },
              { TBaudRate::br57600, 57600 }, { TBaudRate::br128000, 128000 }, { TBaudRate::br256000, 256000 } };
    for (const auto& [rate, value] : cases)
        EXPECT_EQ(BaudRateToValue(rate), value) << value;
}

} // namespace
