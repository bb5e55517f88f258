#include "device/Device.h"
#include "device/DeviceTable.h"

#include <gtest/gtest.h>

#include <limits>

using namespace zor;

TEST(Device, ClassifyModelByNumberRange)
{
    struct Row {
        int32_t serial;
        std::optional<int32_t> model;
    };
    // clang-format off
    const Row rows[] = {
        {5999999,  std::nullopt},
        {6000000,  ModelZor10},
        {9399999,  ModelZor10},
        {9400000,  ModelZor11},
        {9499999,  ModelZor11},
        {9500000,  ModelZor12},
        {9599999,  ModelZor12},
        {9600000,  ModelZor13},
        {9699999,  ModelZor13},
        {9700000,  std::nullopt},
        {-1,       std::nullopt},
        {std::numeric_limits<int32_t>::min(), std::nullopt},
        {std::numeric_limits<int32_t>::max(), std::nullopt},
    };
    // clang-format on
    for (const auto& r : rows)
        EXPECT_EQ(ClassifyModel(r.serial), r.model) << r.serial;
}

TEST(Device, SerialNumberFromTwoRegistersIsSigned)
{
    EXPECT_EQ(SerialNumber(28475, 143), 9400123);
    EXPECT_EQ(SerialNumber(0xFFFF, 0xFFFF), -1);
    EXPECT_EQ(SerialNumber(0x0000, 0x8000), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(SerialNumber(0xFFFF, 0x0000), 65535);
}

TEST(Device, VersionGate)
{
    struct Row {
        int32_t model;
        uint16_t version;
        int m, b;
        bool passes;
    };
    // clang-format off
    const Row rows[] = {
        // model       version m  b    passes
        {ModelZor11,   0,      4, 300, true},
        {ModelZor13,   999,    4, 230, true},
        {ModelZor10,   204,    4, 230, true},
        {ModelZor10,   229,    4, 230, true},
        {ModelZor10,   230,    4, 230, false},
        {ModelZor10,   203,    4, 230, false},
        {ModelZor10,   110,    3, 120, true},
        {ModelZor10,   119,    3, 120, true},
        {ModelZor10,   120,    3, 120, false},
        {ModelZor10,   102,    3, 120, false},
        {ModelZor10,   299,    4, 300, true},
        {ModelZor10,   305,    4, 300, false},
        {7,            204,    4, 230, false},
    };
    // clang-format on
    for (const auto& r : rows) {
        TDevice dev(r.model, 0);
        dev.Regs[RegVersion] = r.version;
        EXPECT_EQ(VersionMatch(dev, r.m, r.b), r.passes)
            << r.model << " v" << r.version << " (" << r.m << ", " << r.b << ")";
    }
}

TEST(Device, GasCodeWithoutARowReadsAsMethane)
{
    TDevice dev;
    const std::pair<uint16_t, int> rows[] = { { 0, 0 }, { 23, 23 }, { 33, 33 }, { 34, 1 }, { 0xFFFF, 1 } };
    for (const auto& [slot, code] : rows) {
        dev.Regs[RegGas] = slot;
        EXPECT_EQ(GasCode(dev), code) << slot;
    }
}

TEST(DeviceTable, CreateAtBusAddressesOnly)
{
    DeviceTable table;
    TDevice* dev = table.create(5, ModelZor11, 9400123);
    ASSERT_NE(dev, nullptr);
    EXPECT_EQ(table[5], dev);
    EXPECT_EQ(dev->Model, ModelZor11);
    EXPECT_EQ(dev->Serial, 9400123);
    EXPECT_TRUE(dev->StateText.empty());
    std::array<uint16_t, RegCacheSize> expected {};
    expected[RegGas] = 1;
    EXPECT_EQ(dev->Regs, expected);

    for (int address : { 0, 248, -1, 255 })
        EXPECT_EQ(table.create(address, ModelZor10, 6000000), nullptr) << address;
    EXPECT_EQ(table[0], nullptr);
    EXPECT_EQ(table[300], nullptr);
    EXPECT_NE(table.create(247, ModelZor10, 6000000), nullptr);
    EXPECT_EQ(table.count(), 2);
}

TEST(DeviceTable, MoveKeepsTheWholeRecordAtTheNewAddress)
{
    DeviceTable table;
    TDevice* dev = table.create(5, ModelZor12, 9500001);
    dev->StateText = "Рабочий режим";
    for (int r = 0; r < RegCacheSize; ++r)
        dev->Regs[static_cast<size_t>(r)] = static_cast<uint16_t>(100 + r);
    const TDevice copy = *dev;

    TDevice* moved = table.move(5, 7);
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(table[5], nullptr);
    EXPECT_EQ(table[7], moved);
    EXPECT_EQ(moved->Model, copy.Model);
    EXPECT_EQ(moved->Serial, copy.Serial);
    EXPECT_EQ(moved->StateText, copy.StateText);
    EXPECT_EQ(moved->Regs, copy.Regs);
    EXPECT_EQ(table.count(), 1);
}

TEST(DeviceTable, MoveThatCannotBeDoneLeavesTheTableAsItWas)
{
    DeviceTable table;
    TDevice* dev = table.create(5, ModelZor11, 9400123);
    EXPECT_EQ(table.move(5, 250), nullptr); // an address byte beyond the table
    EXPECT_EQ(table.move(5, 0), nullptr);
    EXPECT_EQ(table.move(9, 7), nullptr); // nothing to move
    EXPECT_EQ(table[5], dev);
    EXPECT_EQ(table.move(5, 5), dev);
    EXPECT_EQ(table.count(), 1);
}

TEST(DeviceTable, RemoveAndFreeAll)
{
    DeviceTable table;
    for (int address : { 1, 5, 123, 247 })
        table.create(address, ModelZor10, 6000000 + address);
    table.remove(5);
    table.remove(6); // empty already
    EXPECT_EQ(table[5], nullptr);
    EXPECT_EQ(table.count(), 3);
    table.freeAll();
    EXPECT_EQ(table.count(), 0);
    for (int address : { 1, 123, 247 })
        EXPECT_EQ(table[address], nullptr);
}
