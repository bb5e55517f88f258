// The registry's port map into numbered ports: which values are kept, how
// their names are cleaned, and the order; then the whole way through the
// catalogue's merge, as a machine with the map alone lists its ports.

#include "ports/PortMapValues.h"
#include "ports/DeviceListLoad.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace zor::ports;

namespace {

using Kept = std::vector<std::tuple<int32_t, std::string, std::string>>; // number, port, kernel name

Kept kept(const PortMap& map)
{
    Kept out;
    for (const PortMapEntry& e : map)
        out.emplace_back(e.number, e.portName, e.kernelName);
    return out;
}

TEST(PortMapValues, KeepsNumberedComPortsOnceInOrderOfNumber)
{
    const struct {
        const char* what;
        std::vector<PortMapValue> values;
        Kept expected;
    } cases[] = {
        { "ordered by number, not by text",
            { { "\\Device\\Serial2", "COM3" }, { "\\Device\\Serial0", "com1" }, { "\\Device\\VCP0", "COM10" } },
            { { 1, "COM1", "\\Device\\Serial0" }, { 3, "COM3", "\\Device\\Serial2" },
                { 10, "COM10", "\\Device\\VCP0" } } },
        { "blanks trimmed, lower case raised", { { "\\Device\\Serial0", "  cOm4 \t" } },
            { { 4, "COM4", "\\Device\\Serial0" } } },
        { "names that are not COM and a number are skipped",
            { { "a", "LPT1" }, { "b", "COM" }, { "c", "COMX" }, { "d", "COM2A" }, { "e", "" }, { "f", "COM0" },
                { "g", "COM-1" }, { "h", "XCOM5" }, { "i", "COM5" } },
            { { 5, "COM5", "i" } } },
        { "a port name met before is skipped", { { "\\Device\\Serial0", "COM1" }, { "\\Device\\Other", "com1" } },
            { { 1, "COM1", "\\Device\\Serial0" } } },
        { "no values", {}, {} },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(kept(PortMapFromValues(c.values)), c.expected);
    }
}

TEST(PortMapValues, TheMapAloneListsBarePortNames)
{
    const PortMap map = PortMapFromValues(
        { { "\\Device\\Serial2", "COM3" }, { "\\Device\\Serial0", "com1" }, { "\\Device\\VCP0", "COM10" } });
    const std::vector<TPortEntry> list = DeviceListLoad(map, {}, TEnumPorts::epQuickAll);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].NameFriendly, "COM1");
    EXPECT_EQ(list[1].NameFriendly, "COM3");
    EXPECT_EQ(list[2].NameFriendly, "COM10");
    EXPECT_EQ(list[2].NamePDO, "\\Device\\VCP0");
    EXPECT_EQ(list[2].Data, 10);
}

} // namespace
