#include "ports/DeviceListLoad.h"

#include "unit/ports/Fakes.h"

#include <gtest/gtest.h>

#include <utility>

using namespace zor::ports;
using zor::ports::test::Device;

namespace {

using Listed = std::vector<std::pair<int32_t, std::string>>; // number, display text

Listed listed(const std::vector<TPortEntry>& list)
{
    Listed out;
    for (const TPortEntry& e : list)
        out.emplace_back(e.Data, e.NameFriendly);
    return out;
}

struct MergeCase {
    const char* name;
    PortMap map;
    std::vector<TPortEntry> devices;
    TEnumPorts mode;
    Listed expected;
};

void PrintTo(const MergeCase& c, std::ostream* os)
{
    *os << c.name;
}

class Merge : public testing::TestWithParam<MergeCase> { };

TEST_P(Merge, ListsTheExpectedEntriesInOrder)
{
    const MergeCase& c = GetParam();
    EXPECT_EQ(listed(DeviceListLoad(c.map, c.devices, c.mode)), c.expected);
}

const PortMap kCom3Com1Com10 { { 3, "COM3", "\\Device\\Serial2" }, { 1, "COM1", "\\Device\\Serial0" },
    { 10, "COM10", "\\Device\\VCP0" } };

INSTANTIATE_TEST_SUITE_P(Catalogue, Merge,
    testing::Values(MergeCase { "QuickAllIsThePortMapInOrderAsBareNames", kCom3Com1Com10,
                        { Device("COM1", "Последовательный порт") }, TEnumPorts::epQuickAll,
                        { { 1, "COM1" }, { 3, "COM3" }, { 10, "COM10" } } },
        MergeCase { "MatchedPortShowsItsDescription", { { 1, "COM1", "" }, { 2, "COM2", "" } },
            { Device("COM1", "Последовательный порт") }, TEnumPorts::epFullInfo,
            { { 1, "COM1 (Последовательный порт)" }, { 2, "COM2" } } },
        MergeCase { "PortNameMatchesIgnoringCase", { { 4, "COM4", "" } }, { Device("com4", "USB Serial Port") },
            TEnumPorts::epFullPresent, { { 4, "COM4 (USB Serial Port)" } } },
        MergeCase { "DescriptionNamingThePortMatches", { { 3, "COM3", "" } }, { Device("", "Bluetooth link (COM3)") },
            TEnumPorts::epFullPresent, { { 3, "COM3 (Bluetooth link (COM3))" } } },
        MergeCase { "FullPresentDropsAPortNoRemainingRecordDescribes", { { 1, "COM1", "" }, { 2, "COM2", "" } },
            { Device("COM1", "Последовательный порт"), Device("COM7", "USB Serial Port") }, TEnumPorts::epFullPresent,
            { { 1, "COM1 (Последовательный порт)" }, { 7, "COM7 (USB Serial Port)" } } },
        MergeCase { "FullInfoKeepsIt", { { 1, "COM1", "" }, { 2, "COM2", "" } },
            { Device("COM1", "Последовательный порт"), Device("COM7", "USB Serial Port") }, TEnumPorts::epFullInfo,
            { { 1, "COM1 (Последовательный порт)" }, { 2, "COM2" }, { 7, "COM7 (USB Serial Port)" } } },
        MergeCase { "FullPresentKeepsPortsOnceNoRecordsRemain", { { 1, "COM1", "" }, { 2, "COM2", "" } },
            { Device("COM1", "Последовательный порт") }, TEnumPorts::epFullPresent,
            { { 1, "COM1 (Последовательный порт)" }, { 2, "COM2" } } },
        MergeCase { "FullPresentWithoutRecordsKeepsThePortMap", { { 2, "COM2", "" }, { 1, "COM1", "" } }, {},
            TEnumPorts::epFullPresent, { { 1, "COM1" }, { 2, "COM2" } } },
        MergeCase { "DevicesWithoutAPortNumberFrom4097InTheOrderMet", {},
            { Device("/dev/ttyX0", "Adapter A"), Device("LPT1", "Printer"), Device("", "No port"),
                Device("/dev/ttyX1", ""), Device("COM12", "Modem") },
            TEnumPorts::epFullPresent,
            { { 12, "COM12 (Modem)" }, { 4097, "/dev/ttyX0 (Adapter A)" }, { 4098, "/dev/ttyX1" } } },
        MergeCase { "ComNameThatIsNoNumberIsNumberedZero", {}, { Device("COMx", "Odd") }, TEnumPorts::epFullInfo,
            { { 0, "COMx (Odd)" } } },
        MergeCase { "OnlyTheFirstEntryOfANumberIsListed", { { 5, "COM5", "" }, { 5, "COM5B", "" } },
            { Device("COM5", "First"), Device("COM5B", "Second"), Device("COM5", "Third") }, TEnumPorts::epFullInfo,
            { { 5, "COM5 (First)" } } }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Merge, EntryTakesTheMatchedRecordsDetailsAndTheMapsNames)
{
    TPortEntry record = Device("  COM2 ", "USB Serial Port", "FTDI");
    record.Service = "FTSER2K";
    record.InstanceId = "FTDIBUS\\VID_0403";
    const auto list = DeviceListLoad({ { 2, "COM2", "\\Device\\VCP0" } }, { record }, TEnumPorts::epFullPresent);
    ASSERT_EQ(list.size(), 1u);
    const TPortEntry& e = list[0];
    EXPECT_EQ(e.PortName, "COM2"); // trimmed
    EXPECT_EQ(e.NameDeviceDos, "COM2");
    EXPECT_EQ(e.NamePDO, "\\Device\\VCP0");
    EXPECT_EQ(e.Manufacturer, "FTDI");
    EXPECT_EQ(e.Service, "FTSER2K");
    EXPECT_EQ(e.InstanceId, "FTDIBUS\\VID_0403");
}

TEST(Merge, PortMatchedByDescriptionKeepsAPortNameToOpen)
{
    const auto list = DeviceListLoad({ { 3, "COM3", "" } }, { Device("", "Link (COM3)") }, TEnumPorts::epFullPresent);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].PortName, "COM3");
}

TEST(Merge, EachRecordDescribesOnePortOnly)
{
    // The first port takes the record; the second finds none left and, with
    // no records remaining, stays as a bare name.
    const auto list = DeviceListLoad(
        { { 3, "COM3", "" }, { 4, "COM4", "" } }, { Device("COM3", "Shared (COM4)") }, TEnumPorts::epFullPresent);
    EXPECT_EQ(listed(list), (Listed { { 3, "COM3 (Shared (COM4))" }, { 4, "COM4" } }));
}

} // namespace
