// The driver and the master over the in-memory wire, in virtual time: what a
// real port delivers at each polling tick, split answers included.

#include "link/LineEnums.h"
#include "link/MemoryWire.h"
#include "link/TVSModbusRTU.h"
#include "runtime/VirtualLoop.h"

#include <gtest/gtest.h>

#include <vector>

using namespace zor;

namespace {

using Bytes = std::vector<uint8_t>;

LineSettings line(uint32_t baud, ParityKind parity)
{
    LineSettings s;
    s.baud = baud;
    s.parity = parity;
    return s;
}

Bytes withCrc(Bytes b)
{
    const uint16_t crc = ModbusCRC16(b.data(), b.size());
    b.push_back(static_cast<uint8_t>(crc & 0xFF));
    b.push_back(static_cast<uint8_t>(crc >> 8));
    return b;
}

const Bytes kShort = { 0x01, 0x03, 0x02, 0x00, 0x07, 0xF9, 0x86 };

// The answer to a read of 19 holding registers: 43 bytes, about 394 ms at
// 1200 baud 8E1.
Bytes answer19()
{
    Bytes b = { 0x01, 0x03, 0x26 };
    for (int i = 0; i < 38; ++i)
        b.push_back(static_cast<uint8_t>(i * 5));
    return withCrc(b);
}

void configure(TVSCOM& com, const LineSettings& s, uint16_t pollingDelay)
{
    com.SetBaudRateValue(s.baud);
    com.SetParity(ToTParity(s.parity));
    com.SetHwFlow(THwFlowControl::hfNONE);
    com.SetPollingDelay(pollingDelay);
}

struct Send {
    uint64_t at;
    Bytes frame;
};

void schedule(VirtualLoop& loop, MemoryWire& wire, const std::vector<Send>& sends, const LineSettings& s)
{
    for (const Send& send : sends)
        loop.callLater(static_cast<uint32_t>(send.at - loop.now()),
            [&wire, send, s] { wire.slaveSend(send.frame.data(), send.frame.size(), s); });
}

TEST(LinkOverWire, TheTickCutsTheChunksAndTheMasterJoinsTheAnswers)
{
    const LineSettings s = line(9600, ParityKind::None); // 1.04 ms a byte
    const Bytes frame = { 0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0xC5, 0xCD };
    const Bytes other = withCrc({ 0x02, 0x03, 0x04, 0x00, 0x12, 0x00, 0x90 });
    const Bytes payload(frame.begin(), frame.end() - 2);
    const Bytes otherPayload(other.begin(), other.end() - 2);
    struct Case {
        const char* what;
        std::vector<Send> sends;
        std::vector<size_t> chunks;
        std::vector<Bytes> events;
    };
    // Two answers in one chunk (a late one next to the one asked for) are
    // both delivered, in the order they came.
    const std::vector<Case> cases = {
        { "whole between ticks", { { 10, frame } }, { 8 }, { payload } },
        { "two bytes before a tick, the rest after", { { 47, frame } }, { 2, 6 }, { payload } },
        { "two replies within one tick", { { 5, frame }, { 20, other } }, { 17 }, { payload, otherPayload } },
        { "the tail of one reply and a second after a tick", { { 45, other }, { 60, frame } }, { 4, 13 },
            { otherPayload, payload } },
    };
    for (const Case& c : cases) {
        VirtualLoop loop;
        MemoryWire wire(loop);
        TVSCOM com(loop, wire.masterPort());
        configure(com, s, 50);
        std::vector<size_t> chunks;
        com.SetOnReceiveData([&](TVSCOM&, const uint8_t*, uint16_t n) { chunks.push_back(n); });
        ASSERT_TRUE(com.Open());
        schedule(loop, wire, c.sends, s);
        loop.advance(300);
        EXPECT_EQ(chunks, c.chunks) << c.what;

        VirtualLoop loop2;
        MemoryWire wire2(loop2);
        TVSModbusRTU rtu(loop2, wire2.masterPort());
        configure(rtu, s, 50);
        std::vector<Bytes> events;
        rtu.SetOnModbusPacketEvent([&](TVSModbusRTU&, const uint8_t* d, uint16_t n) { events.emplace_back(d, d + n); });
        ASSERT_TRUE(rtu.Open());
        schedule(loop2, wire2, c.sends, s);
        loop2.advance(300);
        EXPECT_EQ(events, c.events) << c.what;
    }
}

// A detector that answers every 8-byte request after a turnaround of 5 ms.
struct Responder {
    VirtualLoop& loop;
    MemoryWire& wire;
    LineSettings settings;
    Bytes answer;
    Bytes request;
    int requests = 0;

    Responder(VirtualLoop& l, MemoryWire& w, LineSettings s, Bytes a)
        : loop(l)
        , wire(w)
        , settings(s)
        , answer(std::move(a))
    {
        wire.setSlaveReceiver([this](uint8_t b, const LineSettings& sentWith) {
            request.push_back(MemoryWire::heardAs(b, sentWith, settings));
            if (request.size() < 8)
                return;
            request.clear();
            ++requests;
            loop.callLater(5, [this] { wire.slaveSend(answer.data(), answer.size(), settings); });
        });
    }
};

struct MasterOverWire : ::testing::Test {
    VirtualLoop loop;
    MemoryWire wire { loop };
    TVSModbusRTU rtu { loop, wire.masterPort() };
    std::vector<Bytes> events;
    std::vector<uint64_t> eventTimes;
    const Bytes read19 = { 0x00, 0x00, 0x00, 0x13 };

    MasterOverWire()
    {
        rtu.SetOnModbusPacketEvent([this](TVSModbusRTU&, const uint8_t* d, uint16_t n) {
            events.emplace_back(d, d + n);
            eventTimes.push_back(loop.now());
        });
    }

    void request()
    {
        rtu.FlushBuffers(true, true);
        rtu.SendCmdModbusPacket(1, 3, read19.data(), 4, false);
    }
};

TEST_F(MasterOverWire, AnAnswerCutByATickAt1200BaudRaisesExactlyOneEvent)
{
    const LineSettings s = line(1200, ParityKind::Even);
    const Bytes answer = answer19();
    // Request at t: 73 ms on the wire, 5 ms turnaround, 394 ms of answer.
    // Ticks every 500 ms; from 200, 400 and 700 the answer straddles one
    // (from 400 only two bytes are in before it).
    for (const uint64_t t : { 0, 200, 400, 480, 700 }) {
        VirtualLoop l;
        MemoryWire w(l);
        Responder device(l, w, s, answer);
        TVSModbusRTU m(l, w.masterPort());
        configure(m, s, 500);
        std::vector<Bytes> seen;
        m.SetOnModbusPacketEvent([&](TVSModbusRTU&, const uint8_t* d, uint16_t n) { seen.emplace_back(d, d + n); });
        ASSERT_TRUE(m.Open());
        l.advance(t);
        const uint8_t read[] = { 0x00, 0x00, 0x00, 0x13 };
        m.FlushBuffers(true, true);
        ASSERT_EQ(m.SendCmdModbusPacket(1, 3, read, 4, false), TVSRTUresult::vsrOk);
        l.advance(2000);
        EXPECT_EQ(device.requests, 1) << t;
        ASSERT_EQ(seen.size(), 1u) << t;
        EXPECT_EQ(seen[0], Bytes(answer.begin(), answer.end() - 2)) << t;
    }
}

TEST_F(MasterOverWire, NoiseFollowedBySilenceDoesNotSpoilTheNextAnswer)
{
    const LineSettings s = line(1200, ParityKind::Even);
    configure(rtu, s, 500);
    ASSERT_TRUE(rtu.Open());
    const Bytes answer = answer19();
    // Noise in the tick of 500, nothing in the tick of 1000, then an answer
    // cut by the tick of 1500.
    schedule(loop, wire, { { 10, { 0xF0, 0x0F, 0x55 } }, { 1478, answer } }, s);
    loop.advance(2500);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0], Bytes(answer.begin(), answer.end() - 2));
    EXPECT_EQ(eventTimes[0], 2000u);
}

TEST_F(MasterOverWire, ALateAnswerPurgedByTheNextRequestNeverSurfaces)
{
    const LineSettings s = line(1200, ParityKind::Even);
    configure(rtu, s, 500);
    ASSERT_TRUE(rtu.Open());
    request();
    // The first answer comes late: half of it is in at the tick of 500,
    // when the window has given up and asks again.
    schedule(loop, wire, { { 300, answer19() }, { 1100, kShort } }, s);
    loop.advance(500);
    EXPECT_TRUE(events.empty());
    request();
    loop.advance(1500);
    EXPECT_EQ(events, (std::vector<Bytes> { Bytes(kShort.begin(), kShort.end() - 2) }));
}

TEST_F(MasterOverWire, AWaitingSendIsAnsweredInVirtualTime)
{
    const LineSettings s = line(19200, ParityKind::Even);
    Responder device(loop, wire, s, kShort);
    configure(rtu, s, 20);
    rtu.SetResponseTimeout(200);
    rtu.SetRetries(3);
    ASSERT_TRUE(rtu.Open());
    EXPECT_EQ(rtu.SendCmdModbusPacket(1, 3, read19.data(), 4, true), TVSRTUresult::vsrOk);
    EXPECT_EQ(device.requests, 1);
    EXPECT_EQ(loop.now(), 20u);
    EXPECT_EQ(events.size(), 1u);
    EXPECT_EQ(Bytes(rtu.Answer.Data, rtu.Answer.Data + rtu.Answer.Size), Bytes(kShort.begin(), kShort.end() - 2));
}

TEST_F(MasterOverWire, ADeviceAtOtherLineSettingsIsNotUnderstood)
{
    configure(rtu, line(19200, ParityKind::Even), 50);
    Responder device(loop, wire, line(9600, ParityKind::Even), kShort);
    ASSERT_TRUE(rtu.Open());
    request();
    loop.advance(500);
    EXPECT_EQ(device.requests, 1); // it heard something: eight garbled bytes
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(rtu.ReceiveResult(), TVSRTUresult::vsrErrorCRC);
}

TEST(DriverOverWire, TheOutputQueueFillsAndDrainsAtWireSpeed)
{
    struct Case {
        uint32_t timeoutMs;
        uint32_t written;
    };
    // 110 baud 8N1: a byte leaves the queue every 90.9 ms.
    for (const Case c : { Case { 50, 128 }, Case { 100, 200 } }) {
        VirtualLoop loop;
        MemoryWire wire(loop);
        TVSCOM com(loop, wire.masterPort());
        configure(com, line(110, ParityKind::None), 50);
        com.SetOutBufSize(128);
        ASSERT_TRUE(com.Open());
        const Bytes data(200, 0x77);
        EXPECT_EQ(com.SendDataEx(data.data(), 200, c.timeoutMs), c.written) << c.timeoutMs;
    }

    VirtualLoop loop;
    MemoryWire wire(loop);
    TVSCOM com(loop, wire.masterPort());
    configure(com, line(9600, ParityKind::None), 50);
    ASSERT_TRUE(com.Open());
    const Bytes data(100, 0x77);
    ASSERT_EQ(com.SendBuffer(data.data(), 100), 100u);
    EXPECT_EQ(com.OutFreeSpace(), 1948);
    wire.setModemLines(kLineCTS | kLineCD);
    EXPECT_EQ(com.GetLineStatus(), (1 << lsCTS) | (1 << lsCD));
}

} // namespace
