#include "ports/TPortBox.h"

#include "ports/TPortHolder.h"
#include "unit/ports/Fakes.h"

#include <gtest/gtest.h>

#include <memory>

using namespace zor::ports;
using namespace zor::ports::test;

namespace {

class Box : public testing::Test {
protected:
    Box()
    {
        platform.ports.map = { { 1, "COM1", "" }, { 3, "COM3", "" }, { 10, "COM10", "" } };
        platform.ports.devices = { Device("COM1", "Последовательный порт") };
        holder->SetEnumPorts(TEnumPorts::epFullInfo);
        holder->SetComPortNo(3);
        box.SetPortHolder(holder.get());
        box.OnChange = [this] {
            // The window reads the holder's port when told.
            changes.push_back({ holder ? holder->ComPortNo() : -1, box.itemIndex() });
        };
    }
    FakePlatform platform;
    std::unique_ptr<TPortHolder> holder = std::make_unique<TPortHolder>(Provide(platform));
    TPortBox box;
    std::vector<std::pair<int, int>> changes; // port number, box selection
};

TEST_F(Box, LinkingFillsTheItemsAndSelectsTheHoldersPort)
{
    EXPECT_EQ(box.items(), (std::vector<std::string> { "COM1 (Последовательный порт)", "COM3", "COM10" }));
    EXPECT_EQ(box.text(), "COM3");
    EXPECT_EQ(box.PortHolder(), holder.get());
}

TEST_F(Box, PickSetsTheHoldersPortRefillsThenRaisesOnChange)
{
    int refills = 0;
    box.setObserver([&] { ++refills; });
    for (int pick : { 2, 2, 0 }) {
        refills = 0;
        box.Pick(pick);
        EXPECT_GT(refills, 1) << "refilled after the pick";
        EXPECT_EQ(box.itemIndex(), pick);
    }
    EXPECT_EQ(changes, (std::vector<std::pair<int, int>> { { 10, 2 }, { 10, 2 }, { 1, 0 } }));
    EXPECT_EQ(platform.reads, 1); // refilled from the kept catalogue
}

TEST_F(Box, SelectionFollowsTheHoldersNumber)
{
    holder->SetComPortNo(10);
    EXPECT_EQ(box.itemIndex(), 2);
    holder->SetComPortNo(2);
    EXPECT_EQ(box.itemIndex(), -1);
    EXPECT_TRUE(changes.empty());
}

TEST_F(Box, OpeningTheListShowsPortsThatArrivedAndKeepsTheChoice)
{
    platform.ports.map.push_back({ 2, "COM2", "" });
    box.DropDown();
    EXPECT_EQ(box.items().size(), 4u);
    EXPECT_EQ(box.text(), "COM3");
    EXPECT_EQ(platform.reads, 2);
}

TEST_F(Box, DeviceChangeGoesThroughTheHolder)
{
    platform.ports.map.pop_back();
    EXPECT_TRUE(box.WMDeviceChange({ TDeviceEvent::DeviceRemoveComplete, TDeviceType::Port }));
    EXPECT_EQ(box.items().size(), 2u);
    EXPECT_FALSE(box.WMDeviceChange({ TDeviceEvent::Other, TDeviceType::Port }));
}

TEST_F(Box, UnlinkedBoxIsEmptyAndNoLongerFollows)
{
    box.SetPortHolder(nullptr);
    EXPECT_TRUE(box.items().empty());
    holder->SetComPortNo(1);
    EXPECT_TRUE(box.items().empty());
    box.Pick(0);
    EXPECT_EQ(holder->ComPortNo(), 1);
    EXPECT_EQ(changes.size(), 1u); // OnChange still runs
}

TEST_F(Box, RelinkedBoxFollowsOnlyItsNewHolder)
{
    FakePlatform other;
    other.ports.map = { { 5, "COM5", "" } };
    TPortHolder second(Provide(other));
    second.SetComPortNo(5);
    box.SetPortHolder(&second);
    holder->SetComPortNo(1);
    EXPECT_EQ(box.items(), std::vector<std::string> { "COM5" });
    EXPECT_EQ(box.itemIndex(), 0);
    box.SetPortHolder(nullptr);
}

TEST_F(Box, HolderGoingAwayUnlinksTheBox)
{
    holder.reset();
    EXPECT_EQ(box.PortHolder(), nullptr);
    EXPECT_EQ(box.itemIndex(), -1);
    box.Pick(1);
    EXPECT_EQ(changes.size(), 1u);
}

TEST_F(Box, BoxGoingAwayStopsListening)
{
    {
        TPortBox second;
        second.SetPortHolder(holder.get());
    }
    holder->SetComPortNo(1); // would reach the dead box
    holder.reset();
    EXPECT_EQ(box.itemIndex(), -1);
}

} // namespace
