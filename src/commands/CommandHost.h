#pragma once
// What the commands that change a detector need of the main window, in two
// narrow interfaces the window implements: the bus (requests through its
// link, which tags and counts them and watches for the answer) and the
// window itself (the selection, the status panel, message boxes, automatic
// reading). The commands own their state; the window owns the link, the
// timers and the models, and lends the models by reference.

#include "forms/Dialogs.h"
#include "forms/TreeView.h"
#include "journal/Operation.h"
#include "link/TVSCOM.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zor {

// Where each operation that changes a detector tells its start, its steps
// and its end, for the service journal. Telling it sends nothing and asks
// nothing of the technician.
class OperationRecorder {
public:
    virtual ~OperationRecorder() = default;
    // The operation's first request to the device at address goes out now.
    virtual void Began(journal::Operation op, uint8_t address) = 0;
    // The step that goes out now; a chain that fails stopped at it.
    virtual void Stepped(std::string_view step) = 0;
    // The completion text, or the error text.
    virtual void Ended(bool ok, std::string_view text) = 0;
    // What the technician is told before a span goes out (the test-gas
    // cylinder past its day); empty for nothing. Told, never refused.
    virtual std::string SpanWarning() const = 0;
};

class CommandBus {
public:
    virtual ~CommandBus() = default;
    // Reopens a closed link, or tells why it cannot (message box and log)
    // and returns false.
    virtual bool LinkReady() = 0;
    // A single write outside any write operation; false when refused.
    virtual bool WriteRegister(
        uint8_t address, uint16_t reg, const std::optional<std::string>& status, uint16_t timeoutMs, uint16_t value)
        = 0;
    // A step of a write operation: one register, with its own time-out.
    virtual void SendStep(uint8_t address, uint16_t reg, uint16_t value, uint16_t timeoutMs) = 0;
    // A block of registers, with its own time-out; the queues are not purged.
    virtual void SendBlock(uint8_t address, uint8_t start, const uint16_t* data, uint8_t count, uint16_t timeoutMs) = 0;
    virtual void StopTimeOut() = 0;
    // An echo that continues nothing: the write's time-out goes on running
    // and ends the operation if nothing better comes.
    virtual void KeepWaiting() = 0;
    virtual void ReopenLink(uint32_t baud, TParity parity, TStopBits stopBits) = 0;
    // The link back at the bus settings the technician chose.
    virtual void ReopenBusLine() = 0;
    virtual void AddLog(const std::string& text) = 0;
};

class CommandWindow {
public:
    virtual ~CommandWindow() = default;
    // The selected device's node, null without one, and its bus address, 0
    // without one.
    virtual forms::TreeNode* SelNode() const = 0;
    virtual uint8_t SelAddr() const = 0;
    // The panel, and the LoRa window, hold the selected device's values read
    // since it was selected.
    virtual bool PanelRead() const = 0;
    virtual bool LoraRead() const = 0;
    // With a device selected whose values were not read (read false), tells
    // the technician to read it first and returns true.
    virtual bool RefuseUnread(bool read, forms::DialogOwner owner = forms::DialogOwner::Main) = 0;
    // While a write operation runs, tells the technician to wait for it and
    // returns true.
    virtual bool RefuseWhileWriting(forms::DialogOwner owner = forms::DialogOwner::Main) = 0;
    virtual bool Finding() const = 0;
    virtual bool ReadBusy() const = 0;
    // The window is setting its controls itself (the decoder, a command
    // resetting the panel): a change handler sends nothing meanwhile.
    virtual bool Updating() const = 0;
    virtual void SetUpdating(bool on) = 0;
    // Automatic reading: on or off, held around a command and put back as
    // it was, unless the port was lost meanwhile.
    virtual bool Reading() const = 0;
    virtual void HoldReading() = 0;
    virtual void ResumeReading(bool wasOn) = 0;
    // Waits for an outstanding read, within bounds.
    virtual void WaitReadIdle() = 0;
    virtual void ReadLoraBlock() = 0;
    virtual void SetStatus(const std::string& text) = 0;
    // An information box over the main window.
    virtual void Message(const std::string& text) = 0;
    // A device whose address changed keeps its node, renamed; one that no
    // longer speaks the bus settings leaves the tree.
    virtual void RenameNode(forms::TreeNode* node, uint8_t address, int32_t serial) = 0;
    virtual void RemoveDevice(uint8_t address, forms::TreeNode* node) = 0;
    virtual void ShowConcentrationDialog() = 0;
    virtual void CloseConcentrationDialog() = 0;
    virtual OperationRecorder& Recorder() = 0;
};

} // namespace zor
