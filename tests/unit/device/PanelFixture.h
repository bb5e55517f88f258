#pragma once
// A device panel with its decoder, a device table and a tree, as the main
// window wires them, plus the scripted dialogs. Answers are fed in as
// the detector sends them: the gas input register, then the panel block.

#include "ScriptedDialogs.h"
#include "device/Decoder.h"
#include "device/DeviceTable.h"
#include "device/Registers.h"
#include "forms/Dialogs.h"
#include "forms/TreeView.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace zor::test {

// Identification numbers of each model.
constexpr int32_t SerialZor10 = 6000123;
constexpr int32_t SerialZor11 = 9400123;

using Block = std::array<uint16_t, 19>;

class PanelFixture : public ::testing::Test {
protected:
    DeviceTable devList;
    forms::TreeView devTree;
    forms::TreeNode* selNode = nullptr;
    DevicePanel panel;
    ScriptedDialogs dialogs;
    TGasTable gases = Gases; // a test may change a row before decoding
    Decoder decoder { devList, devTree, selNode, panel, ',', gases };

    // A found device, selected, with its tree node captioned as the tree
    // does it ("#5 : 09400123").
    TDevice& select(int address, int32_t serial)
    {
        TDevice* dev = devList.create(address, *ClassifyModel(serial), serial);
        selNode = devTree.add(nullptr, "#" + std::to_string(address) + " : 0" + std::to_string(serial), 0);
        devTree.setOverlayIndex(selNode, address);
        return *dev;
    }

    int readGas(uint16_t v, int address = 5)
    {
        return decoder.DecodeBlock(static_cast<uint8_t>(address), 4, &v, 1, InRegGas);
    }

    // A working device at address 5, 19200 8E1, version 1.5, with the given
    // registers changed.
    static Block block(const std::map<int, uint16_t>& changes = {})
    {
        Block b {};
        b[RegLine] = LineWord(5, 5, 2, 1);
        b[RegState] = StateWorks;
        b[RegConc] = 1234;
        b[RegTemp] = 215;
        b[RegRange] = 5000;
        b[RegSerialLo] = 28475;
        b[RegSerialHi] = 143;
        b[RegMagnetConc] = 2500;
        b[RegLimit1] = 1000;
        b[RegLimit2] = 2000;
        b[RegCurrent] = 400;
        b[RegVersion] = 105;
        for (const auto& [reg, v] : changes)
            b[static_cast<size_t>(reg)] = v;
        return b;
    }

    int readPanel(const Block& b, int address = 5)
    {
        return decoder.DecodeBlock(static_cast<uint8_t>(address), 3, b.data(), static_cast<int>(b.size()), 0);
    }
};

} // namespace zor::test
