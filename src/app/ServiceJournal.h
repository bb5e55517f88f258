#pragma once
// The service journal's side of the window: each operation that changes a
// detector becomes one record, written once its values after the operation
// are known (from the read that follows it, or from the one read asked for
// here) or, failing that, without them. Nothing is kept without a store.

#include "commands/CommandHost.h"
#include "commands/TLoraSettings.h"
#include "device/DevicePanel.h"
#include "device/DeviceTable.h"
#include "journal/CalibrationDue.h"
#include "journal/JournalStore.h"
#include "journal/WallClock.h"
#include "runtime/EventLoop.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace zor {

// What the technician sets once and the tool remembers.
struct JournalSettings {
    std::string technician;
    int intervalMonths = journal::kDefaultIntervalMonths;
    // The test-gas cylinder of the span calibrations: lot, certified
    // concentration, and the day it expires; no lot, no cylinder.
    std::string cylinderLot;
    std::string cylinderConc;
    std::optional<journal::Date> cylinderExpiry;
};

class ServiceJournal final : public OperationRecorder {
public:
    struct Sources {
        const DeviceTable& devices;
        const DevicePanel& panel;
        const TLoraSettings& lora;
        // The span value of the running calibration, register units.
        std::function<uint16_t()> spanValue;
    };
    ServiceJournal(EventLoop& loop, Sources sources);
    ServiceJournal(const ServiceJournal&) = delete;
    ServiceJournal& operator=(const ServiceJournal&) = delete;

    // The store to write to and the clock to stamp with; null: none.
    void Attach(journal::JournalStore* store, const journal::WallClock* clock);
    journal::JournalStore* Store() const { return store_; }
    const journal::WallClock* Clock() const { return clock_; }
    JournalSettings Settings;

    void Began(journal::Operation op, uint8_t address) override;
    void Stepped(std::string_view step) override;
    void Ended(bool ok, std::string_view text) override;
    std::string SpanWarning() const override;

    // After an operation's end has been handled: the read its values after
    // need, none when a read follows anyway (follows) or nothing waits.
    enum class Need { Nothing, Panel, Lora };
    Need AfterEnd(bool follows);
    // The device whose operation is being recorded, and its new address
    // when the operation moved it.
    uint8_t Address() const { return address_; }
    void Moved(uint8_t address);
    // A read has been decoded: values after, when they were awaited.
    void PanelDecoded(uint8_t address);
    void LoraDecoded(uint8_t address);
    // The device refused a request of the running operation (an exception
    // answer): the operation, when it ends failed, ends with this text.
    void Refused(std::string_view text);
    // A request went unanswered.
    void TimedOut();
    // Writes what waits, without the values after (another selection, the
    // window closing, no read possible).
    void Flush();
    // The cylinder set is past its day.
    bool CylinderExpired() const;
    // What a detector found by a search is to be marked with: its
    // calibration overdue, or none recorded; empty otherwise or without a
    // journal.
    std::string CalibrationHint(int32_t serial) const;

    // After a record was written (its id; 0 when the write failed).
    std::function<void(int64_t id, const journal::JournalRecord& record)> OnRecord;
    // The longest the values after are waited for.
    static constexpr uint32_t kLeftWaitMs = 5000;

private:
    enum class Phase { Idle, Running, Ended, AwaitingLeft };
    void Write(bool withLeft);
    void AddDetails();

    Sources src_;
    // Bounds the wait for the values after; goes with the journal.
    std::unique_ptr<Timer> wait_;
    journal::JournalStore* store_ = nullptr;
    const journal::WallClock* clock_ = nullptr;

    Phase phase_ = Phase::Idle;
    journal::Operation op_ = journal::Operation::Options;
    uint8_t address_ = 0;
    journal::JournalRecord record_;
    std::string refusal_;
    TDevice found_;
    std::optional<TLoraSettings> loraFound_;
    // The LoRa block as last decoded, and the device it came from.
    std::optional<TLoraSettings> loraRead_;
    uint8_t loraReadAddress_ = 0;
};

} // namespace zor
