// The Win32 backend on a COM port that Wine maps to zor-sim's
// pseudo-terminal, in real time: the master finds the demo bus's detectors
// and reads one of them, as the window's search and read cycle do, and the
// port is lost when zor-sim goes away. scripts/test-windows.sh starts
// zor-sim, maps the port and names it in ZOR_WINE_PORT; without that the
// test is skipped and says why.

#include "link/TVSModbusRTU.h"
#include "link/Win32SerialPort.h"
#include "ports/DeviceListLoad.h"
#include "ports/Win32PortProvider.h"
#include "runtime/ScheduledLoop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

using namespace zor;

namespace {

using Bytes = std::vector<uint8_t>;

// Real time on the steady clock; a pass sleeps until the next due call, at
// most a few milliseconds.
class SleepLoop final : public ScheduledLoop {
public:
    void processEvents() override
    {
        if (const auto due = firstDue(); !due || *due > nowMs())
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        for (auto due = firstDue(); due && *due <= nowMs(); due = firstDue())
            runFirst();
    }

protected:
    uint64_t nowMs() const override
    {
        return static_cast<uint64_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_).count());
    }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// The master on the mapped port at the bus's default settings, 19200 8E1.
struct Master {
    explicit Master(const std::string& port)
    {
        link.SetPortName(port);
        link.SetBaudRate(TBaudRate::br19200);
        link.SetDataBits(TDataBits::db8BITS);
        link.SetParity(TParity::pEven);
        link.SetStopBits(TStopBits::sb1);
        link.SetPollingDelay(50);
        link.SetOnModbusPacketEvent(
            [this](TVSModbusRTU&, const uint8_t* data, uint16_t size) { answers.emplace_back(data, data + size); });
        link.SetOnPortLost([this](TVSCOM&) { lost = true; });
    }

    // Sends one request as the window does (queues purged first) and waits
    // for the answer from that address, or gives up after timeoutMs.
    std::optional<Bytes> ask(uint8_t address, uint8_t function, uint16_t first, uint16_t count, uint32_t timeoutMs)
    {
        answers.clear();
        link.FlushBuffers(true, true);
        const uint8_t data[] = { static_cast<uint8_t>(first >> 8), static_cast<uint8_t>(first & 0xFF),
            static_cast<uint8_t>(count >> 8), static_cast<uint8_t>(count & 0xFF) };
        link.SendCmdModbusPacket(address, function, data, sizeof data, false);
        const auto from = [&] {
            return std::find_if(
                answers.begin(), answers.end(), [&](const Bytes& a) { return !a.empty() && a[0] == address; });
        };
        if (!loop.waitUntil([&] { return from() != answers.end(); }, timeoutMs))
            return std::nullopt;
        return *from();
    }

    SleepLoop loop;
    TVSModbusRTU link { loop, std::make_unique<Win32SerialPort>() };
    std::vector<Bytes> answers;
    bool lost = false;
};

// The port is opened once for all the cases: Wine refuses even parity on a
// pseudo-terminal that has had it set once (SetCommState fails at the
// second open), and a pseudo-terminal carries no parity anyway.
class WineBus : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (const char* port = std::getenv("ZOR_WINE_PORT"); port && *port) {
            master_ = std::make_unique<Master>(port);
            opened_ = master_->link.Open();
        }
    }

    static void TearDownTestSuite() { master_.reset(); }

    void SetUp() override
    {
        if (!master_)
            GTEST_SKIP() << "skipped: ZOR_WINE_PORT names no COM port that Wine maps to zor-sim";
        ASSERT_TRUE(opened_) << "the port did not open: error " << static_cast<int>(master_->link.LastError());
    }

    static Master& bus() { return *master_; }

private:
    static inline std::unique_ptr<Master> master_;
    static inline bool opened_ = false;
};

TEST_F(WineBus, TheSearchFindsTheDemoBusAndAReadCycleReadsADetector)
{
    // The probe of the search: the identification number, holding 6 and 7.
    std::map<int, Bytes> found;
    for (uint8_t address = 1; address <= 6; ++address)
        if (auto answer = bus().ask(address, 3, 6, 2, 400))
            found[address] = *answer;
    ASSERT_EQ(found.size(), 4u);
    for (int address = 1; address <= 4; ++address) {
        SCOPED_TRACE(address);
        ASSERT_TRUE(found.count(address));
        // Address, function, 4 bytes of registers.
        EXPECT_EQ(found[address].size(), 7u);
        EXPECT_EQ(found[address][1], 3);
        EXPECT_EQ(found[address][2], 4);
    }

    // The read cycle of detector 1: its gas code (input register 0x0105),
    // then the panel block, holding 0 to 18.
    const auto gas = bus().ask(1, 4, 0x0105, 1, 1000);
    ASSERT_TRUE(gas);
    ASSERT_EQ(gas->size(), 5u);
    EXPECT_EQ((*gas)[1], 4);
    EXPECT_EQ((*gas)[2], 2);
    EXPECT_EQ((*gas)[4] & 0x3F, 5) << "detector 1 of the demo bus measures ethane";

    const auto panel = bus().ask(1, 3, 0, 19, 1000);
    ASSERT_TRUE(panel);
    ASSERT_EQ(panel->size(), 3u + 38u);
    EXPECT_EQ((*panel)[1], 3);
    EXPECT_EQ((*panel)[2], 38);
    EXPECT_FALSE(bus().lost);
}

TEST_F(WineBus, TheMappedPortIsInTheCatalogue)
{
    const std::string port = std::getenv("ZOR_WINE_PORT");
    const ports::PlatformPorts platform = ports::Win32PortProvider().ReadPorts();
    const auto list = ports::DeviceListLoad(platform.map, platform.devices, ports::TEnumPorts::epFullPresent);
    const auto entry
        = std::find_if(list.begin(), list.end(), [&](const ports::TPortEntry& e) { return e.NameDeviceDos == port; });
    ASSERT_NE(entry, list.end()) << platform.map.size() << " ports in the map, " << platform.devices.size()
                                 << " device records";
    EXPECT_EQ(entry->Data, std::stoi(port.substr(3)));
    EXPECT_EQ(entry->PortName, port);
}

TEST_F(WineBus, APortWhoseFarEndClosesIsLostAtTheNextTick)
{
    // The script stops zor-sim when this file appears, which hangs up the
    // pseudo-terminal under the COM port.
    const char* cue = std::getenv("ZOR_WINE_HANGUP");
    if (!cue || !*cue)
        GTEST_SKIP() << "skipped: ZOR_WINE_HANGUP names no file to ask for the hang-up by";
    ASSERT_TRUE(bus().ask(1, 3, 6, 2, 1000)) << "detector 1 did not answer before the hang-up";
    std::ofstream(cue) << "hang up\n";
    EXPECT_TRUE(bus().loop.waitUntil([] { return bus().lost; }, 5000));
    EXPECT_FALSE(bus().link.Connected());
    EXPECT_EQ(bus().link.LastError(), PortError::Lost);
}

} // namespace
