#pragma once
// The settings write sequence and the calibrations that run through it: the
// write permission is opened, the new values go out one register at a time,
// each only when the device has echoed the one before, and the permission is
// closed again. The chain is driven by the echoes the reply dispatch hands
// to Advance. It owns the state of the operation that runs; the code of the
// operation (TWriteOp) is the window's, lent to it, since reading, the search
// and the LoRa write look at it too.

#include "commands/CommandHost.h"
#include "device/DevicePanel.h"
#include "device/DeviceTable.h"
#include "device/WriteOp.h"
#include "forms/Controls.h"
#include "forms/Dialogs.h"
#include "forms/TreeView.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zor {

// What an echo did to the chain, as the dispatch reads it.
enum class WriteAdvance : int {
    NotTheChains = 0, // at or above the gas register: no step of the chain
    Taken = 1,
    // The operation ended on the selected device, whose gas list is live:
    // its panel is read once more.
    ReadBack = 2,
};

class SettingsWrite {
public:
    struct Models {
        DevicePanel& panel;
        DeviceTable& devices;
        const forms::TreeView& tree;
        forms::Dialogs& dialogs;
    };
    SettingsWrite(CommandBus& bus, CommandWindow& window, Models models, TWriteOp& op);
    SettingsWrite(const SettingsWrite&) = delete;
    SettingsWrite& operator=(const SettingsWrite&) = delete;

    // "Записать" of the address and line settings, and of the options.
    void WriteInterface();
    void WriteOptions();
    // Every step goes out as a single-register write; the dispatch hands
    // each of their echoes here.
    WriteAdvance Advance(uint8_t address, uint16_t value, uint16_t reg);
    // The time-out of a write operation (a LoRa block write's too): it
    // ends, and the link goes back to the bus settings if it had followed
    // the device's new ones.
    void TimedOut();
    // A node that leaves the tree is no longer written to; a new search
    // forgets them all.
    void Forget(const forms::TreeNode* node);
    void ForgetAll() { WriteNode_ = nullptr; }

    // ---- Calibration (Calibration.cpp) ----
    void Zero();
    void Reset();
    // The checks of "Град." on the selected device, with their messages, and
    // the concentration dialog's tag for it; nothing when refused.
    std::optional<int32_t> CalibrationTag();
    // Starts the span calibration with x in register units; false when
    // refused.
    bool ApplySpan(float x);

    bool LineChanged() const { return LineChanged_; }
    uint16_t SpanValue() const { return SpanValue_; }

private:
    struct Step {
        uint16_t reg;
        uint16_t value;
        std::string_view status;
    };
    void Start(TWriteOp op);
    // The write that follows the confirmation of reg with value; nothing
    // when the chain does not go on from there.
    std::optional<Step> Next(uint8_t address, uint16_t reg, uint16_t value);
    void FollowLine(uint8_t& address, uint16_t lineWord);
    WriteAdvance End(uint8_t address);
    uint16_t Scaled(uint8_t address, double value) const;
    // What an edit writes to reg: the device's own value while the edit shows
    // it untouched (no bound or display cap alters it), else the value
    // entered, scaled.
    uint16_t Entered(uint8_t address, forms::SpinEdit& edit, uint16_t reg);
    // Values entered that the running operation has sent: each is taken as
    // the device's when the operation ends, if not changed since.
    template <class... E> void Sending(E&... entries)
    {
        (
            [this](auto& entry) {
                if (entry.modified())
                    sent_.push_back([&entry, v = entry.entered()] { entry.acceptIf(v); });
            }(entries),
            ...);
    }
    // Zero and reset: the same checks and question, different command.
    void RunCalibration(TWriteOp op, const std::string& question);

    CommandBus& bus_;
    CommandWindow& window_;
    Models m_;
    TWriteOp& op_;
    forms::TreeNode* WriteNode_ = nullptr; // the device the operation writes to
    bool Limit1First_ = false;
    uint16_t SpanValue_ = 0;
    bool LineChanged_ = false;
    std::vector<std::function<void()>> sent_;
};

} // namespace zor
