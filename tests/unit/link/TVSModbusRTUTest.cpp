#include "link/TVSModbusRTU.h"
#include "unit/link/FakePort.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

using namespace zor;
using zor::test::FakePort;

namespace {

using Bytes = std::vector<uint8_t>;

// A bitwise CRC-16/MODBUS, independent of the table-driven one.
uint16_t bitwiseCrc(const Bytes& data)
{
    uint16_t r = 0xFFFF;
    for (uint8_t b : data) {
        r ^= b;
        for (int i = 0; i < 8; ++i)
            r = (r & 1) ? static_cast<uint16_t>((r >> 1) ^ 0xA001) : static_cast<uint16_t>(r >> 1);
    }
    return r;
}

TEST(ModbusCRC16, KnownValues)
{
    struct Case {
        Bytes data;
        uint16_t crc;
    };
    const Case cases[] = {
        { { '1', '2', '3', '4', '5', '6', '7', '8', '9' }, 0x4B37 },
        { { 0x01, 0x03, 0x00, 0x00, 0x00, 0x0A }, 0xCDC5 },
        { { 0x01, 0x83, 0x02 }, 0xF1C0 },
        { { 0x01, 0x03 }, 0x2140 },
        { { 0x11, 0x06, 0x00, 0x01, 0x00, 0x03 }, 0x9B9A },
        { { 0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0xC5, 0xCD }, 0x0000 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ModbusCRC16(c.data.data(), c.data.size()), c.crc) << std::hex << c.crc;
}

TEST(ModbusCRC16, AgreesWithTheBitwiseFormOnEveryByteAndLongerRuns)
{
    for (int b = 0; b < 256; ++b) {
        const Bytes one { static_cast<uint8_t>(b), static_cast<uint8_t>(255 - b) };
        ASSERT_EQ(ModbusCRC16(one.data(), one.size()), bitwiseCrc(one)) << b;
    }
    Bytes run;
    for (int i = 0; i < 300; ++i)
        run.push_back(static_cast<uint8_t>(i * 37 + 11));
    EXPECT_EQ(ModbusCRC16(run.data(), run.size()), bitwiseCrc(run));
}

struct MasterTest : ::testing::Test {
    VirtualLoop loop;
    std::unique_ptr<FakePort> owned = std::make_unique<FakePort>(loop);
    FakePort& port = *owned;
    TVSModbusRTU rtu { loop, std::move(owned) };

    struct Event {
        bool custom;
        Bytes bytes;
        bool operator==(const Event&) const = default;
    };
    std::vector<Event> events;

    MasterTest()
    {
        rtu.SetOnModbusPacketEvent([this](TVSModbusRTU&, const uint8_t* d, uint16_t n) {
            events.push_back({ false, Bytes(d, d + n) });
        });
        rtu.SetOnCustomPacketEvent([this](TVSModbusRTU&, const uint8_t* d, uint16_t n) {
            events.push_back({ true, Bytes(d, d + n) });
        });
    }

    void deliver(const Bytes& chunk)
    {
        port.in.insert(port.in.end(), chunk.begin(), chunk.end());
        loop.advance(rtu.PollingDelay());
    }
};

const Bytes kRead10 = { 0x00, 0x00, 0x00, 0x0A };

TEST_F(MasterTest, StartsWithTheDeclaredDefaults)
{
    EXPECT_EQ(rtu.CustomFuncion(), 65);
    EXPECT_EQ(rtu.Retries(), 1);
    EXPECT_EQ(rtu.ResponseTimeout(), 1000u);
    EXPECT_EQ(rtu.Answer.Data, nullptr);
    EXPECT_EQ(rtu.Answer.Size, 0);
    EXPECT_FALSE(rtu.Answer.CustomPacket);
    EXPECT_EQ(rtu.Answer.Result, TVSRTUresult::vsrOk);
    EXPECT_FALSE(rtu.Connected());
}

TEST_F(MasterTest, EachSendOperationWritesItsFrame)
{
    struct Case {
        const char* what;
        std::function<TVSRTUresult(TVSModbusRTU&)> send;
        Bytes frame;
    };
    static const uint8_t fn3[] = { 0x03, 0x00, 0x00, 0x00, 0x0A };
    static const uint8_t custom2[] = { 0x03, 0x00 };
    static const uint8_t cmdData[] = { 0x00, 0x0A };
    static const uint8_t write6[] = { 0x00, 0x01, 0x00, 0x03 };
    static const uint8_t write16[] = { 0x00, 0x40, 0x00, 0x02, 0x04, 0x12, 0x34, 0x56, 0x78 };
    const std::vector<Case> cases = {
        { "SendCmdModbusPacket read",
            [](TVSModbusRTU& m) { return m.SendCmdModbusPacket(1, 3, kRead10.data(), 4, false); },
            { 0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0xC5, 0xCD } },
        { "SendModbusPacket", [](TVSModbusRTU& m) { return m.SendModbusPacket(1, fn3, 5, false); },
            { 0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0xC5, 0xCD } },
        { "SendModbusCommand", [](TVSModbusRTU& m) { return m.SendModbusCommand(1, 3, false); },
            { 0x01, 0x03, 0x40, 0x21 } },
        { "SendCustomCommand", [](TVSModbusRTU& m) { return m.SendCustomCommand(1, 3, false); },
            { 0x01, 0x41, 0x03, 0x50, 0x51 } },
        { "SendCustomCommand, code 0x42",
            [](TVSModbusRTU& m) {
                m.SetCustomFuncion(0x42);
                return m.SendCustomCommand(1, 3, false);
            },
            { 0x01, 0x42, 0x03, 0x50, 0xA1 } },
        { "SendCustomPacket", [](TVSModbusRTU& m) { return m.SendCustomPacket(1, custom2, 2, false); },
            { 0x01, 0x41, 0x03, 0x00, 0x51, 0x3C } },
        { "SendCmdCustomPacket", [](TVSModbusRTU& m) { return m.SendCmdCustomPacket(1, 3, cmdData, 2, false); },
            { 0x01, 0x41, 0x03, 0x00, 0x0A, 0x7D, 0xFB } },
        { "SendCmdModbusPacket write one",
            [](TVSModbusRTU& m) { return m.SendCmdModbusPacket(0x11, 6, write6, 4, false); },
            { 0x11, 0x06, 0x00, 0x01, 0x00, 0x03, 0x9A, 0x9B } },
        { "SendCmdModbusPacket write several",
            [](TVSModbusRTU& m) { return m.SendCmdModbusPacket(1, 16, write16, 9, false); },
            { 0x01, 0x10, 0x00, 0x40, 0x00, 0x02, 0x04, 0x12, 0x34, 0x56, 0x78, 0x8C, 0xAB } },
    };
    for (const Case& c : cases) {
        VirtualLoop fresh;
        auto fake = std::make_unique<FakePort>(fresh);
        FakePort& p = *fake;
        TVSModbusRTU m(fresh, std::move(fake));
        ASSERT_TRUE(m.Open());
        m.Answer.Result = TVSRTUresult::vsrErrorCRC;
        EXPECT_EQ(c.send(m), TVSRTUresult::vsrOk) << c.what;
        EXPECT_EQ(m.Answer.Result, TVSRTUresult::vsrOk) << c.what;
        EXPECT_EQ(p.writes, std::vector<Bytes> { c.frame }) << c.what;
        EXPECT_EQ(fresh.now(), 0u) << c.what << ": a send without waiting returns at once";
    }
}

TEST_F(MasterTest, FramesBeyondTheOneByteLengthAreRefused)
{
    struct Case {
        const char* what;
        std::function<TVSRTUresult(TVSModbusRTU&, const uint8_t*)> send;
        size_t frameLength; // 0: refused
    };
    const std::vector<Case> cases = {
        { "SendModbusPacket 252",
            [](TVSModbusRTU& m, const uint8_t* d) { return m.SendModbusPacket(1, d, 252, false); }, 255 },
        { "SendModbusPacket 253",
            [](TVSModbusRTU& m, const uint8_t* d) { return m.SendModbusPacket(1, d, 253, false); }, 0 },
        { "SendCustomPacket 251",
            [](TVSModbusRTU& m, const uint8_t* d) { return m.SendCustomPacket(1, d, 251, false); }, 255 },
        { "SendCustomPacket 252",
            [](TVSModbusRTU& m, const uint8_t* d) { return m.SendCustomPacket(1, d, 252, false); }, 0 },
        { "SendCmdCustomPacket 250",
            [](TVSModbusRTU& m, const uint8_t* d) { return m.SendCmdCustomPacket(1, 3, d, 250, false); }, 255 },
        { "SendCmdCustomPacket 251",
            [](TVSModbusRTU& m, const uint8_t* d) { return m.SendCmdCustomPacket(1, 3, d, 251, false); }, 0 },
        { "SendCmdModbusPacket 251",
            [](TVSModbusRTU& m, const uint8_t* d) { return m.SendCmdModbusPacket(1, 3, d, 251, false); }, 255 },
        { "SendCmdModbusPacket 1000",
            [](TVSModbusRTU& m, const uint8_t* d) { return m.SendCmdModbusPacket(1, 3, d, 1000, false); }, 0 },
        { "SendCmdModbusPacket without data",
            [](TVSModbusRTU& m, const uint8_t*) { return m.SendCmdModbusPacket(1, 3, nullptr, 4, false); }, 0 },
    };
    const Bytes payload(1000, 0x5A);
    for (const Case& c : cases) {
        VirtualLoop fresh;
        auto fake = std::make_unique<FakePort>(fresh);
        FakePort& p = *fake;
        TVSModbusRTU m(fresh, std::move(fake));
        ASSERT_TRUE(m.Open());
        m.Answer.Result = TVSRTUresult::vsrErrorCRC;
        const TVSRTUresult r = c.send(m, payload.data());
        if (c.frameLength == 0) {
            EXPECT_EQ(r, TVSRTUresult::vsrErrorMem) << c.what;
            EXPECT_EQ(m.Answer.Result, TVSRTUresult::vsrErrorCRC) << c.what;
            EXPECT_TRUE(p.written.empty()) << c.what;
        } else {
            EXPECT_EQ(r, TVSRTUresult::vsrOk) << c.what;
            ASSERT_EQ(p.written.size(), c.frameLength) << c.what;
            EXPECT_EQ(ModbusCRC16(p.written.data(), p.written.size()), 0) << c.what;
        }
    }
}

TEST_F(MasterTest, EverySendOnAClosedPortFailsAndWritesNothing)
{
    const std::function<TVSRTUresult()> sends[] = {
        [&] { return rtu.SendModbusPacket(1, kRead10.data(), 4, true); },
        [&] { return rtu.SendCustomPacket(1, kRead10.data(), 4, true); },
        [&] { return rtu.SendModbusCommand(1, 3, true); },
        [&] { return rtu.SendCustomCommand(1, 3, true); },
        [&] { return rtu.SendCmdCustomPacket(1, 3, kRead10.data(), 4, true); },
        [&] { return rtu.SendCmdModbusPacket(1, 3, kRead10.data(), 4, false); },
    };
    for (const auto& send : sends) {
        rtu.Answer.Result = TVSRTUresult::vsrOk;
        EXPECT_EQ(send(), TVSRTUresult::vsrError);
        EXPECT_EQ(rtu.Answer.Result, TVSRTUresult::vsrError);
    }
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(loop.now(), 0u);
}

TEST_F(MasterTest, AWaitingSendMakesItsAttemptsAndTimesOut)
{
    struct Case {
        uint8_t retries;
        size_t writes;
    };
    for (const Case c : { Case { 3, 3 }, Case { 1, 1 }, Case { 0, 1 } }) {
        VirtualLoop fresh;
        auto fake = std::make_unique<FakePort>(fresh);
        FakePort& p = *fake;
        TVSModbusRTU m(fresh, std::move(fake));
        m.SetRetries(c.retries);
        m.SetResponseTimeout(50);
        ASSERT_TRUE(m.Open());
        EXPECT_EQ(m.SendCmdModbusPacket(1, 3, kRead10.data(), 4, true), TVSRTUresult::vsrErrorTimeOut);
        EXPECT_EQ(m.Answer.Result, TVSRTUresult::vsrErrorTimeOut);
        const Bytes frame = { 0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0xC5, 0xCD };
        EXPECT_EQ(p.writes, std::vector<Bytes>(c.writes, frame)) << int { c.retries };
        EXPECT_EQ(fresh.now(), 50u * c.writes) << int { c.retries };
    }
}

TEST_F(MasterTest, AWaitingSendEndsWithTheAnswerThatThePollingDelivers)
{
    rtu.SetPollingDelay(20);
    rtu.SetResponseTimeout(50);
    ASSERT_TRUE(rtu.Open());
    port.feed({ 0x01, 0x03, 0x40, 0x21 });
    EXPECT_EQ(rtu.SendModbusCommand(1, 3, true), TVSRTUresult::vsrOk);
    EXPECT_EQ(loop.now(), 20u);
    EXPECT_EQ(events, (std::vector<Event> { { false, { 0x01, 0x03 } } }));
    EXPECT_EQ(port.writes.size(), 1u);
}

TEST_F(MasterTest, ARejectedChunkDoesNotReleaseAWaitingSend)
{
    rtu.SetResponseTimeout(120);
    ASSERT_TRUE(rtu.Open());
    port.feed({ 0x01, 0x03, 0x40, 0x22 });
    EXPECT_EQ(rtu.SendModbusCommand(1, 3, true), TVSRTUresult::vsrErrorTimeOut);
    EXPECT_EQ(rtu.ReceiveResult(), TVSRTUresult::vsrErrorCRC);
    EXPECT_TRUE(events.empty());
}

TEST_F(MasterTest, EachChunkIsCheckedAndDispatched)
{
    struct Case {
        const char* what;
        Bytes chunk;
        TVSRTUresult result;
        std::vector<Event> events;
    };
    Bytes answer19 = { 0x01, 0x03, 0x26 };
    for (int i = 0; i < 38; ++i)
        answer19.push_back(static_cast<uint8_t>(i));
    Bytes answer19Frame = answer19;
    answer19Frame.insert(answer19Frame.end(), { 0x27, 0x45 });
    const std::vector<Case> cases = {
        { "3 bytes", { 0x01, 0x03, 0x40 }, TVSRTUresult::vsrErrorSize, {} },
        { "4-byte frame", { 0x01, 0x03, 0x40, 0x21 }, TVSRTUresult::vsrOk, { { false, { 0x01, 0x03 } } } },
        { "exception reply", { 0x01, 0x83, 0x02, 0xC0, 0xF1 }, TVSRTUresult::vsrOk,
            { { false, { 0x01, 0x83, 0x02 } } } },
        { "19 registers", answer19Frame, TVSRTUresult::vsrOk, { { false, answer19 } } },
        { "custom frame", { 0x01, 0x41, 0x03, 0x00, 0x0A, 0x7D, 0xFB }, TVSRTUresult::vsrOk,
            { { true, { 0x41, 0x03, 0x00, 0x0A } } } },
        { "bad CRC", { 0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0xC5, 0xCE }, TVSRTUresult::vsrErrorCRC, {} },
        { "two replies in one tick, each to its event in order",
            { 0x01, 0x41, 0x03, 0x00, 0x0A, 0x7D, 0xFB, 0x01, 0x83, 0x02, 0xC0, 0xF1 }, TVSRTUresult::vsrOk,
            { { true, { 0x41, 0x03, 0x00, 0x0A } }, { false, { 0x01, 0x83, 0x02 } } } },
    };
    for (const Case& c : cases) {
        VirtualLoop fresh;
        auto fake = std::make_unique<FakePort>(fresh);
        FakePort& p = *fake;
        TVSModbusRTU m(fresh, std::move(fake));
        std::vector<Event> seen;
        m.SetOnModbusPacketEvent([&](TVSModbusRTU&, const uint8_t* d, uint16_t n) {
            seen.push_back({ false, Bytes(d, d + n) });
        });
        m.SetOnCustomPacketEvent([&](TVSModbusRTU&, const uint8_t* d, uint16_t n) {
            seen.push_back({ true, Bytes(d, d + n) });
        });
        ASSERT_TRUE(m.Open());
        p.in.assign(c.chunk.begin(), c.chunk.end());
        fresh.advance(m.PollingDelay());
        EXPECT_EQ(m.ReceiveResult(), c.result) << c.what;
        EXPECT_EQ(seen, c.events) << c.what;
        if (c.events.empty()) {
            EXPECT_EQ(m.Answer.Data, nullptr) << c.what;
            continue;
        }
        // The answer is the last frame delivered.
        ASSERT_NE(m.Answer.Data, nullptr) << c.what;
        EXPECT_EQ(Bytes(m.Answer.Data, m.Answer.Data + m.Answer.Size), c.events.back().bytes) << c.what;
        EXPECT_EQ(m.Answer.CustomPacket, c.events.back().custom) << c.what;
    }
}

// Polled every 5 ms, an answer that an adapter hands over in two pieces
// 16 ms apart (a USB adapter's latency) is still one answer; a piece left
// alone for longer than 50 ms is given up. At 500 ms one quiet tick does.
TEST_F(MasterTest, KeptBytesWaitForAnAdaptersPiecesBeforeTheyAreGivenUp)
{
    const Bytes frame { 0x01, 0x03, 0x04, 0x00, 0x06, 0x00, 0x5D };
    const Bytes whole = [&] {
        Bytes f = frame;
        const uint16_t crc = ModbusCRC16(f.data(), f.size());
        f.push_back(static_cast<uint8_t>(crc));
        f.push_back(static_cast<uint8_t>(crc >> 8));
        return f;
    }();
    const struct {
        uint16_t polling;
        uint32_t gapMs;
        bool delivered;
    } cases[] = { { 5, 16, true }, { 5, 45, true }, { 5, 60, false }, { 500, 400, true }, { 500, 1000, false } };
    for (const auto& c : cases) {
        VirtualLoop fresh;
        auto fake = std::make_unique<FakePort>(fresh);
        FakePort& p = *fake;
        TVSModbusRTU m(fresh, std::move(fake));
        m.SetPollingDelay(c.polling);
        int seen = 0;
        m.SetOnModbusPacketEvent([&](TVSModbusRTU&, const uint8_t*, uint16_t) { ++seen; });
        ASSERT_TRUE(m.Open());
        p.in.assign(whole.begin(), whole.begin() + 4);
        fresh.advance(c.gapMs);
        p.in.insert(p.in.end(), whole.begin() + 4, whole.end());
        fresh.advance(c.polling);
        EXPECT_EQ(seen, c.delivered ? 1 : 0) << c.polling << " ms polling, " << c.gapMs << " ms apart";
    }
}

TEST_F(MasterTest, ACustomFrameWithoutItsHandlerStillCountsAsAnAnswer)
{
    rtu.SetOnCustomPacketEvent(nullptr);
    rtu.SetResponseTimeout(100);
    ASSERT_TRUE(rtu.Open());
    port.feed({ 0x01, 0x41, 0x03, 0x00, 0x0A, 0x7D, 0xFB });
    EXPECT_EQ(rtu.SendModbusCommand(1, 3, true), TVSRTUresult::vsrOk);
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(rtu.Answer.CustomPacket);
    EXPECT_EQ(rtu.Answer.Size, 4);
}

TEST_F(MasterTest, AnotherRawDataHandlerCutsTheFrameCheckOff)
{
    int chunks = 0;
    rtu.SetOnReceiveData([&](TVSCOM&, const uint8_t*, uint16_t) { ++chunks; });
    ASSERT_TRUE(rtu.Open());
    deliver({ 0x01, 0x03, 0x40, 0x21 });
    EXPECT_EQ(chunks, 1);
    EXPECT_TRUE(events.empty());
}

TEST_F(MasterTest, AHandlerMayIssueTheNextRequest)
{
    rtu.SetOnModbusPacketEvent([this](TVSModbusRTU& m, const uint8_t* d, uint16_t n) {
        events.push_back({ false, Bytes(d, d + n) });
        m.FlushBuffers(true, true);
        m.SendCmdModbusPacket(1, 3, kRead10.data(), 4, false);
    });
    ASSERT_TRUE(rtu.Open());
    deliver({ 0x01, 0x03, 0x40, 0x21 });
    EXPECT_EQ(events.size(), 1u);
    EXPECT_EQ(port.writes.size(), 1u);
    EXPECT_EQ(rtu.Answer.Data, nullptr);
    EXPECT_EQ(rtu.Answer.Size, 0);
    EXPECT_EQ(rtu.ReceiveResult(), TVSRTUresult::vsrOk);
}

} // namespace

namespace {

// Two answers of one chunk: the first one's handler lets the loop run (as a
// modal window does) and a tick inside takes in a third answer, which
// overwrites the receive buffer; the second answer still arrives whole,
// after it. A handler that closes the port ends the delivery.
TEST_F(MasterTest, TheFramesOfOneChunkSurviveAHandlerThatRunsTheLoop)
{
    const Bytes first = { 0x01, 0x03, 0x40, 0x21 };
    const Bytes second = { 0x01, 0x83, 0x02, 0xC0, 0xF1 };
    const Bytes third = { 0x07, 0x03, 0x04, 0x00, 0x12, 0x00, 0x90, 0x3C, 0x5A };
    ASSERT_EQ(ModbusCRC16(third.data(), third.size()), 0);
    bool nested = false;
    rtu.SetOnModbusPacketEvent([&](TVSModbusRTU&, const uint8_t* d, uint16_t n) {
        events.push_back({ false, Bytes(d, d + n) });
        if (nested)
            return;
        nested = true;
        deliver(third);
    });
    ASSERT_TRUE(rtu.Open());
    Bytes chunk = first;
    chunk.insert(chunk.end(), second.begin(), second.end());
    deliver(chunk);
    const std::vector<Event> expected = { { false, { 0x01, 0x03 } },
        { false, { 0x07, 0x03, 0x04, 0x00, 0x12, 0x00, 0x90 } }, { false, { 0x01, 0x83, 0x02 } } };
    EXPECT_EQ(events, expected);

    events.clear();
    rtu.SetOnModbusPacketEvent([&](TVSModbusRTU& m, const uint8_t* d, uint16_t n) {
        events.push_back({ false, Bytes(d, d + n) });
        m.Close();
    });
    ASSERT_TRUE(rtu.Open());
    deliver(chunk);
    EXPECT_EQ(events.size(), 1u);

    // A handler that sends the next request purges the input: the rest of
    // the chunk was read before that and is not taken for its answer.
    events.clear();
    rtu.SetOnModbusPacketEvent([&](TVSModbusRTU& m, const uint8_t* d, uint16_t n) {
        events.push_back({ false, Bytes(d, d + n) });
        m.FlushBuffers(true, true);
    });
    ASSERT_TRUE(rtu.Open());
    deliver(chunk);
    EXPECT_EQ(events.size(), 1u);
}

} // namespace
