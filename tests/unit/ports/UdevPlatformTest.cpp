// The udev provider and monitor on this machine's own devices.
#include "ports/TPortBox.h"
#include "ports/TPortHolder.h"
#include "ports/UdevPortMonitor.h"
#include "ports/UdevPortProvider.h"

#include <gtest/gtest.h>

#include <pty.h>
#include <unistd.h>

#include <regex>

using namespace zor::ports;

namespace {

TEST(UdevPlatform, ListsOnlySerialPortsThatCanBeOpened)
{
    const PlatformPorts ports = UdevPortProvider().ReadPorts();
    const std::regex serial("/dev/(ttyS|ttyUSB|ttyACM|ttyAMA|rfcomm)[0-9]+|/dev/tty[A-Za-z].*");
    for (const TPortEntry& d : ports.devices) {
        EXPECT_TRUE(std::regex_match(d.PortName, serial)) << d.PortName;
        EXPECT_EQ(access(d.PortName.c_str(), F_OK), 0) << d.PortName;
        EXPECT_FALSE(d.Description.empty()) << d.PortName;
    }
    for (const PortMapEntry& p : ports.map)
        EXPECT_TRUE(std::any_of(ports.devices.begin(), ports.devices.end(), [&](const TPortEntry& d) {
            return d.PortName == p.portName;
        })) << p.portName;
}

class PseudoTerminal : public testing::Test {
protected:
    void SetUp() override
    {
        char name[128];
        if (openpty(&master, &slave, name, nullptr, nullptr) != 0)
            GTEST_SKIP() << "no pseudo-terminals here";
        path = name;
    }
    void TearDown() override
    {
        if (master >= 0) {
            close(master);
            close(slave);
        }
    }
    int master = -1, slave = -1;
    std::string path;
};

TEST_F(PseudoTerminal, AddedPortIsChosenAndSurvivesRebuilds)
{
    TPortHolder holder(std::make_unique<UdevPortProvider>());
    TPortBox box;
    box.SetPortHolder(&holder);
    const size_t platformPorts = box.items().size();
    holder.SetComPortNo(static_cast<uint16_t>(holder.AddPort(path, "Псевдотерминал")));
    EXPECT_EQ(holder.PortName(), path);
    EXPECT_EQ(box.text(), path + " (Псевдотерминал)");
    box.DropDown();
    EXPECT_EQ(box.items().size(), platformPorts + 1);
    EXPECT_EQ(box.text(), path + " (Псевдотерминал)");
    EXPECT_EQ(holder.PortName(), path);
}

TEST(UdevMonitor, HandlingWithNothingPendingReturnsAtOnce)
{
    int changes = 0;
    UdevPortMonitor monitor([&](const PortEvent&) { ++changes; });
    if (monitor.fd() < 0)
        GTEST_SKIP() << "no udev event socket here";
    monitor.HandlePending(); // would block on a blocking socket
    EXPECT_EQ(changes, 0);
}

} // namespace
