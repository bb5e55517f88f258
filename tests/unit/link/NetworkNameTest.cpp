// The names a network bus goes by: read back into host, port and mode, and
// written from them.

#include "link/NetworkName.h"

#include <gtest/gtest.h>

using namespace zor;

namespace {

struct NameCase {
    std::string name;
    std::optional<NetworkAddress> address;
};

TEST(NetworkName, ReadsHostPortAndMode)
{
    const NameCase cases[] = {
        { "tcp://192.168.1.10:502", NetworkAddress { NetworkMode::ModbusTcp, "192.168.1.10", 502 } },
        { "rtu-tcp://moxa.plant:4001", NetworkAddress { NetworkMode::RtuOverTcp, "moxa.plant", 4001 } },
        { "tcp://[fe80::1]:1502", NetworkAddress { NetworkMode::ModbusTcp, "fe80::1", 1502 } },
        { "tcp://host:65535", NetworkAddress { NetworkMode::ModbusTcp, "host", 65535 } },
        { "/dev/ttyUSB0", std::nullopt },
        { "udp://host:502", std::nullopt },
        { "tcp://host", std::nullopt },
        { "tcp://:502", std::nullopt },
        { "tcp://host:", std::nullopt },
        { "tcp://host:0", std::nullopt },
        { "tcp://host:65536", std::nullopt },
        { "tcp://host:50x", std::nullopt },
        { "tcp://fe80::1:502", std::nullopt },
        { "tcp://two words:502", std::nullopt },
        { "tcp://host/path:502", std::nullopt },
        { "tcp://[[::1]]:502", std::nullopt },
        { "tcp://[fe80::1]]:502", std::nullopt },
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ParseNetworkName(c.name), c.address);
        if (c.address) {
            EXPECT_EQ(NetworkName(*c.address), c.name);
        }
    }
}

TEST(NetworkName, TheNetworkIsToldByThePrefixAlone)
{
    for (const char* name : { "tcp://x", "rtu-tcp://", "tcp://host:502" })
        EXPECT_TRUE(IsNetworkName(name)) << name;
    for (const char* name : { "/dev/ttyS0", "COM1", "tcp:/host:502", "rtu-tcp:host" })
        EXPECT_FALSE(IsNetworkName(name)) << name;
}

} // namespace
