#pragma once
// The main window's logic against simulated detectors on an in-memory wire,
// in virtual time: every frame the window sends is recorded byte for byte,
// message boxes answer from a script, and the other windows are stand-ins
// that record what they are asked to do.
//
//   bus.add(SimModel::Zor11, 5).gas(25);
//   MakeForm();
//   SearchUpTo(5);
//   Select(5);
//   ReadPanel();
//   sent.clear();
//   form->ActWriteOptExecute();
//   Finish();

#include "ScriptedDialogs.h"
#include "app/TFormMain.h"
#include "commands/TFormDlg.h"
#include "commands/TFormLora.h"
#include "link/MemoryWire.h"
#include "link/TVSModbusRTU.h"
#include "ports/PortProvider.h"
#include "runtime/VirtualLoop.h"
#include "sim/RequestFramer.h"
#include "sim/SimBus.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zor::test {

using Frame = std::vector<uint8_t>;

// A request as it goes on the wire: address, function, data and CRC.
inline Frame Request(uint8_t address, uint8_t function, const std::vector<uint8_t>& data)
{
    Frame f;
    f.reserve(data.size() + 4);
    f.push_back(address);
    f.push_back(function);
    for (uint8_t b : data)
        f.push_back(b);
    const uint16_t crc = ModbusCRC16(f.data(), f.size());
    f.push_back(static_cast<uint8_t>(crc));
    f.push_back(static_cast<uint8_t>(crc >> 8));
    return f;
}

inline Frame Write6(uint8_t address, uint16_t reg, uint16_t value)
{
    return Request(address, 6,
        { static_cast<uint8_t>(reg >> 8), static_cast<uint8_t>(reg), static_cast<uint8_t>(value >> 8),
            static_cast<uint8_t>(value) });
}

inline Frame Read3(uint8_t address, uint8_t start, uint8_t count)
{
    return Request(address, 3, { 0x00, start, 0x00, count });
}

// The far end of the wire: every request the window sends is recorded as
// the detectors hear it, with the line settings it was sent with and the
// time its last byte arrived, and then handed to the simulated bus; the
// detectors' answers go back on the wire.
class WireTap {
public:
    WireTap(MemoryWire& wire, SimBus& bus, std::vector<Frame>& sent, std::vector<LineSettings>& lines,
        std::vector<uint32_t>& times)
        : wire_(wire)
    {
        wire_.setSlaveReceiver([this, &bus, &sent, &lines, &times](uint8_t byte, const LineSettings& sentWith) {
            if (framer_.push(byte, bus.loop().tickCount(), 100)) {
                sent.push_back(framer_.frame());
                lines.push_back(sentWith);
                times.push_back(bus.loop().tickCount());
            }
            bus.receive(&byte, 1, HeardLine { sentWith, false });
        });
        bus.setOutput([this](const uint8_t* data, size_t n, const LineSettings& settings) {
            wire_.slaveSend(data, n, settings);
        });
    }
    ~WireTap() { wire_.setSlaveReceiver(nullptr); }
    WireTap(const WireTap&) = delete;
    WireTap& operator=(const WireTap&) = delete;

private:
    MemoryWire& wire_;
    RequestFramer framer_;
};

// The platform's port catalogue, fixed.
class FixedPorts final : public ports::PortProvider {
public:
    explicit FixedPorts(ports::PlatformPorts ports)
        : ports_(std::move(ports))
    {
    }
    ports::PlatformPorts ReadPorts() override { return ports_; }

private:
    ports::PlatformPorts ports_;
};

// The other windows. Showing a window runs its FormShow, as the desktop
// program does when the window appears; raising a window that is already
// open runs nothing. The LoRa window "stays open" while whileLoraOpen runs.
class FakeWindows final : public WindowHost {
public:
    TFormMain* form = nullptr;
    std::function<void()> whileLoraOpen;
    int menuPopups = 0;
    int loraShown = 0;
    bool loraOpen = false;
    bool dialogOpen = false;
    int dialogShown = 0;

    void ShowLoraModal() override
    {
        ++loraShown;
        loraOpen = true;
        form->FormLora().FormShow();
        if (whileLoraOpen)
            whileLoraOpen();
        loraOpen = false;
    }
    bool LoraVisible() const override { return loraOpen; }
    void ShowConcentrationDialog() override
    {
        ++dialogShown;
        if (dialogOpen)
            return;
        dialogOpen = true;
        form->FormDlg().FormShow();
    }
    void CloseConcentrationDialog() override { dialogOpen = false; }
    void ShowHelp() override { }
    void PopupMenuLora() override { ++menuPopups; }
};

// A window on the wire's port, with the platform's ports as given, created
// as at start-up.
inline std::unique_ptr<TFormMain> MakeWindow(VirtualLoop& loop, MemoryWire& wire, ScriptedDialogs& dialogs,
    FakeWindows& windows, ports::PlatformPorts ports, std::string proc = "/proc")
{
    TFormMain::Platform platform { loop, dialogs, windows, wire.masterPort(),
        std::make_unique<FixedPorts>(std::move(ports)), ',' };
    platform.proc = std::move(proc);
    auto form = std::make_unique<TFormMain>(std::move(platform));
    windows.form = form.get();
    form->FormCreate();
    return form;
}

class AppFixture : public ::testing::Test {
protected:
    // The wire's port name: COM1 unless a test needs another kind of name.
    explicit AppFixture(const std::string& portName = "COM1")
        : wire { loop, portName }
    {
    }

    VirtualLoop loop;
    MemoryWire wire;
    SimBus bus { loop };
    // Every frame the window sent, as it arrived, and its line settings.
    std::vector<Frame> sent;
    std::vector<LineSettings> sentLines;
    std::vector<uint32_t> sentAt;
    WireTap tap { wire, bus, sent, sentLines, sentAt };
    ScriptedDialogs dialogs;
    FakeWindows windows;
    std::unique_ptr<TFormMain> form;

    // The window on port COM1, the wire's name, closed as at start-up.
    void MakeForm()
    {
        ports::PlatformPorts ports;
        ports.map = { { 1, "COM1", "" } };
        ports::TPortEntry com1;
        com1.PortName = "COM1";
        com1.Description = "Последовательный порт";
        ports.devices = { com1 };
        form = MakeWindow(loop, wire, dialogs, windows, std::move(ports));
    }

    // A search from address 1 up to n, then Стоп at the polling tick that
    // takes in the answer to the last probe, before the next probe goes.
    void SearchUpTo(int n)
    {
        form->ActFindExecute();
        const uint64_t lastProbe = static_cast<uint64_t>(n) * (TFormMain::kProbeTimeoutMs + 100);
        loop.advance((lastProbe + 20) / 500 * 500 + 500);
        form->ActStopExecute();
    }

    forms::TreeNode* DeviceNode(int address) const
    {
        for (forms::TreeNode* node : form->DevTree.allNodes())
            if (node->level() == 1 && node->overlayIndex() == address)
                return node;
        return nullptr;
    }

    // Presses the node of a device the search has found.
    void Select(int address, MouseButton button = MouseButton::Left)
    {
        forms::TreeNode* node = DeviceNode(address);
        ASSERT_NE(node, nullptr) << "no device at " << address;
        form->DevTreeMouseDown(button, node);
    }

    // One read of the selected device, as a double click does: the gas
    // register, then the panel block.
    void ReadPanel()
    {
        form->DevTreeDblClick();
        loop.advance(2000);
    }

    // The window found, selected and read the device at address, and what
    // that sent and showed is forgotten.
    void OpenRead(int address)
    {
        MakeForm();
        SearchUpTo(address);
        Select(address);
        ReadPanel();
        sent.clear();
        dialogs.shown.clear();
    }

    // Runs until the write operation has ended, within a bound.
    void Finish(uint32_t boundMs = 30000)
    {
        loop.advanceUntil([this] { return form->WriteOp() == woNone; }, boundMs);
    }

    std::string Status() const { return form->StatBar.text(3); }

    // The bus overview's row of the detector at address, as the table shows it.
    RowTexts RowOf(uint8_t address) const
    {
        for (const OverviewRow& row : form->Overview.Rows())
            if (row.address == address)
                return form->Overview.Texts(row, ',');
        ADD_FAILURE() << "no row for " << address;
        return {};
    }

    // The single-register writes among the frames sent.
    std::vector<Frame> WritesSent() const
    {
        std::vector<Frame> writes;
        for (const Frame& f : sent)
            if (f[1] == 6)
                writes.push_back(f);
        return writes;
    }
};

} // namespace zor::test
