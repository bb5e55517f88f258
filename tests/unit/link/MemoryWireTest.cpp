#include "link/MemoryWire.h"
#include "link/TVSModbusRTU.h"
#include "runtime/VirtualLoop.h"

#include <gtest/gtest.h>

#include <vector>

using namespace zor;

namespace {

using Bytes = std::vector<uint8_t>;

LineSettings line(uint32_t baud, uint8_t dataBits, ParityKind parity, StopBitsKind stop)
{
    LineSettings s;
    s.baud = baud;
    s.dataBits = dataBits;
    s.parity = parity;
    s.stopBits = stop;
    return s;
}

const LineSettings k19200_8E1 = line(19200, 8, ParityKind::Even, StopBitsKind::One);
const LineSettings k9600_8N1 = line(9600, 8, ParityKind::None, StopBitsKind::One);

struct WireTest : ::testing::Test {
    VirtualLoop loop;
    MemoryWire wire { loop, "COM3" };
    std::unique_ptr<SerialPort> port = wire.masterPort();

    struct Heard {
        uint64_t at;
        uint8_t byte;
        LineSettings sentWith;
    };
    std::vector<Heard> heard;

    WireTest()
    {
        wire.setSlaveReceiver([this](uint8_t b, const LineSettings& s) { heard.push_back({ loop.now(), b, s }); });
    }

    uint32_t queued(bool input)
    {
        uint32_t in = 0;
        uint32_t out = 0;
        EXPECT_TRUE(port->queueStatus(in, out));
        return input ? in : out;
    }
};

TEST_F(WireTest, EachCharacterTakesItsBitsAtTheRate)
{
    struct Case {
        LineSettings settings;
        uint32_t bits;
    };
    const Case cases[] = {
        { k19200_8E1, 11 },
        { k9600_8N1, 10 },
        { line(1200, 7, ParityKind::Odd, StopBitsKind::Two), 11 },
        { line(2400, 5, ParityKind::None, StopBitsKind::OneAndHalf), 8 },
    };
    const Bytes data = { 0x81, 0x42, 0xFF, 0x00, 0x7E, 0x13, 0x11, 0xA5, 0x5A, 0x01 };
    for (const Case& c : cases) {
        VirtualLoop fresh;
        MemoryWire w(fresh, "COM3");
        std::vector<Heard> got;
        w.setSlaveReceiver([&](uint8_t b, const LineSettings& s) { got.push_back({ fresh.now(), b, s }); });
        auto p = w.masterPort();
        ASSERT_TRUE(p->open("COM3"));
        ASSERT_TRUE(p->applySettings(c.settings));
        ASSERT_EQ(p->write(data.data(), data.size()), 10);
        fresh.advance(1000);
        EXPECT_EQ(characterBits(c.settings), c.bits);
        ASSERT_EQ(got.size(), data.size()) << c.settings.baud;
        const uint8_t mask = static_cast<uint8_t>((1u << c.settings.dataBits) - 1);
        for (size_t k = 0; k < data.size(); ++k) {
            // Byte k is complete (k+1) characters after the write, and is
            // handed over at the first millisecond that covers it.
            const uint64_t doneNs = (k + 1) * c.bits * 1000000000ull / c.settings.baud;
            EXPECT_EQ(got[k].at, (doneNs + 999999) / 1000000) << c.settings.baud << " byte " << k;
            EXPECT_EQ(got[k].byte, data[k] & mask);
            EXPECT_EQ(got[k].sentWith, c.settings);
        }
    }
}

TEST_F(WireTest, TheOutputQueueDrainsAtWireSpeed)
{
    ASSERT_TRUE(port->open("COM3"));
    ASSERT_TRUE(port->applySettings(k9600_8N1));
    ASSERT_TRUE(port->setQueueSizes(2048, 2048));
    const Bytes data(100, 0x33);
    ASSERT_EQ(port->write(data.data(), data.size()), 100);
    struct Point {
        uint64_t at;
        uint32_t queued;
    };
    // 10 bits at 9600 baud: one byte every 1.0417 ms.
    for (const Point p : { Point { 0, 100 }, Point { 1, 100 }, Point { 2, 99 }, Point { 52, 51 }, Point { 105, 0 } }) {
        loop.runUntil(p.at);
        EXPECT_EQ(queued(false), p.queued) << p.at;
    }
    EXPECT_EQ(heard.size(), 100u);
}

TEST_F(WireTest, AFullOutputQueueTakesWhatFits)
{
    ASSERT_TRUE(port->open("COM3"));
    ASSERT_TRUE(port->applySettings(k9600_8N1));
    ASSERT_TRUE(port->setQueueSizes(128, 128));
    const Bytes data(200, 0x44);
    EXPECT_EQ(port->write(data.data(), data.size()), 128);
    EXPECT_EQ(port->write(data.data(), data.size()), 0);
    loop.runUntil(3); // two bytes gone
    EXPECT_EQ(port->write(data.data(), data.size()), 2);
}

TEST_F(WireTest, BytesFromTheFarEndQueueUpAtTheMasterAsTheyArrive)
{
    ASSERT_TRUE(port->open("COM3"));
    ASSERT_TRUE(port->applySettings(k19200_8E1));
    const Bytes frame = { 0x01, 0x03, 0x40, 0x21, 0x55 };
    wire.slaveSend(frame.data(), frame.size(), k19200_8E1);
    // 11 bits at 19200 baud: one byte every 0.573 ms.
    EXPECT_EQ(queued(true), 0u);
    loop.runUntil(1);
    EXPECT_EQ(queued(true), 1u);
    loop.runUntil(2);
    EXPECT_EQ(queued(true), 3u);
    loop.runUntil(3);
    Bytes got(8);
    ASSERT_EQ(port->read(got.data(), got.size()), 5);
    got.resize(5);
    EXPECT_EQ(got, frame);
}

TEST_F(WireTest, OtherLineSettingsArriveGarbled)
{
    struct Case {
        LineSettings sent;
        bool understood;
    };
    LineSettings otherLines = k19200_8E1;
    otherLines.rts = RtsMode::Handshake;
    otherLines.dtrOn = false;
    const Case cases[] = {
        { k19200_8E1, true },
        { otherLines, true }, // modem lines are no part of the framing
        { line(9600, 8, ParityKind::Even, StopBitsKind::One), false },
        { line(19200, 8, ParityKind::None, StopBitsKind::One), false },
        { line(19200, 7, ParityKind::Even, StopBitsKind::One), false },
        { line(19200, 8, ParityKind::Even, StopBitsKind::Two), false },
    };
    const Bytes frame = { 0x01, 0x03, 0x02, 0x00, 0x07, 0xF9, 0x86 };
    for (const Case& c : cases) {
        VirtualLoop fresh;
        MemoryWire w(fresh, "COM3");
        auto p = w.masterPort();
        ASSERT_TRUE(p->open("COM3"));
        ASSERT_TRUE(p->applySettings(k19200_8E1));
        w.slaveSend(frame.data(), frame.size(), c.sent);
        fresh.advance(100);
        Bytes got(16);
        got.resize(static_cast<size_t>(p->read(got.data(), got.size())));
        ASSERT_EQ(got.size(), frame.size());
        EXPECT_EQ(ModbusCRC16(got.data(), got.size()) == 0, c.understood) << c.sent.baud;
    }
}

TEST(WireGarbling, SpoilsTheCrcOfAFrameOfAnyLength)
{
    const LineSettings master = k19200_8E1;
    const LineSettings device = k9600_8N1;
    for (size_t n = 4; n <= 300; ++n) {
        std::vector<uint8_t> frame;
        for (size_t i = 0; i + 2 < n; ++i)
            frame.push_back(static_cast<uint8_t>(i * 73 + n));
        const uint16_t crc = ModbusCRC16(frame.data(), frame.size());
        frame.push_back(static_cast<uint8_t>(crc & 0xFF));
        frame.push_back(static_cast<uint8_t>(crc >> 8));
        for (uint8_t& b : frame)
            b = MemoryWire::heardAs(b, device, master);
        ASSERT_NE(ModbusCRC16(frame.data(), frame.size()), 0) << n;
    }
}

TEST_F(WireTest, TheMasterEndOpensByItsNameOnlyAndOnce)
{
    EXPECT_FALSE(port->open("COM1"));
    EXPECT_FALSE(wire.masterOpen());
    ASSERT_TRUE(port->open("COM3"));
    EXPECT_TRUE(wire.masterOpen());
    auto second = wire.masterPort();
    EXPECT_FALSE(second->open("COM3"));
    EXPECT_FALSE(port->open("COM3"));
    port->close();
    EXPECT_FALSE(wire.masterOpen());
    EXPECT_TRUE(second->open("COM3"));
}

TEST_F(WireTest, AClosedEndIsNeutralAndHearsNothing)
{
    uint32_t in = 0;
    uint32_t out = 0;
    uint8_t buf[4] = {};
    uint8_t lines = 0;
    EXPECT_FALSE(port->queueStatus(in, out));
    EXPECT_EQ(port->read(buf, 4), -1);
    EXPECT_EQ(port->write(buf, 4), -1);
    EXPECT_FALSE(port->purge(true, true));
    EXPECT_FALSE(port->modemStatus(lines));
    EXPECT_FALSE(port->applySettings(k9600_8N1));
    EXPECT_EQ(port->handle(), -1);

    const Bytes frame = { 1, 2, 3 };
    wire.slaveSend(frame.data(), frame.size(), LineSettings {});
    loop.advance(10);
    ASSERT_TRUE(port->open("COM3"));
    EXPECT_EQ(queued(true), 0u);
}

TEST_F(WireTest, APurgeOfTheOutputDropsWhatIsNotYetSent)
{
    ASSERT_TRUE(port->open("COM3"));
    ASSERT_TRUE(port->applySettings(line(1200, 8, ParityKind::None, StopBitsKind::One)));
    const Bytes data(10, 0x66);
    ASSERT_EQ(port->write(data.data(), data.size()), 10);
    loop.advance(20); // 8.33 ms a byte: two are through
    ASSERT_TRUE(port->purge(false, true));
    EXPECT_EQ(queued(false), 0u);
    loop.advance(200);
    EXPECT_EQ(heard.size(), 2u);
}

TEST_F(WireTest, ModemLinesAndSettingsShowAtTheEnds)
{
    ASSERT_TRUE(port->open("COM3"));
    wire.setModemLines(kLineCTS | kLineCD);
    uint8_t lines = 0;
    ASSERT_TRUE(port->modemStatus(lines));
    EXPECT_EQ(lines, kLineCTS | kLineCD);
    ASSERT_TRUE(port->applySettings(k19200_8E1));
    EXPECT_EQ(wire.masterSettings(), k19200_8E1);
    EXPECT_FALSE(port->applySettings(line(0, 8, ParityKind::None, StopBitsKind::One)));
    EXPECT_FALSE(port->applySettings(line(9600, 9, ParityKind::None, StopBitsKind::One)));
    EXPECT_EQ(wire.name(), "COM3");
}

} // namespace

namespace {

// The adapter pulled out: the open port is lost for good, also once the
// adapter is back; the name opens nothing while it is out and a fresh port
// again afterwards. Bytes under way are gone.
TEST_F(WireTest, AnUnpluggedAdapterLosesTheOpenPortForGood)
{
    ASSERT_TRUE(port->open("COM3"));
    ASSERT_TRUE(port->applySettings(k19200_8E1));
    const Bytes answer = { 1, 2, 3 };
    wire.slaveSend(answer.data(), answer.size(), k19200_8E1);
    wire.unplug();
    loop.advance(10);
    uint32_t in = 0;
    uint32_t out = 0;
    uint8_t buf[4];
    EXPECT_FALSE(port->queueStatus(in, out));
    EXPECT_EQ(port->lastError(), PortError::Lost);
    EXPECT_EQ(port->write(buf, 1), -1);
    EXPECT_FALSE(port->purge(true, true));

    auto other = wire.masterPort();
    EXPECT_FALSE(other->open("COM3")); // still held by the first
    port->close();
    EXPECT_FALSE(other->open("COM3"));
    EXPECT_EQ(other->lastError(), PortError::NotFound);
    wire.plugIn();
    ASSERT_TRUE(other->open("COM3"));
    ASSERT_TRUE(other->applySettings(k19200_8E1));
    ASSERT_TRUE(other->queueStatus(in, out));
    EXPECT_EQ(in, 0u);
    EXPECT_FALSE(port->queueStatus(in, out)); // the old one stays closed
}

} // namespace
