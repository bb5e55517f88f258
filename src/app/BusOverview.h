#pragma once
// The bus overview: every detector of the tree as one row, read in turn, one
// request at a time. A row's first turn reads its gas (the input register),
// every later turn its panel block; a row that missed two turns in a row
// says so and has its gas read again when it answers, in case another
// detector took the address. The rows keep their own copy of what the
// detectors answered: the device records, and so what the panel shows and
// the commands send, are never touched by the overview.

#include "device/DeviceTable.h"
#include "device/Registers.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zor {

struct OverviewRow {
    uint8_t address = 0;
    int32_t model = 0;
    int32_t serial = 0;
    std::optional<int> gas; // the gas code, once read
    bool gasDue = true; // the gas is to be read at the next turn
    std::optional<std::array<uint16_t, PanelBlock.count>> regs; // the panel block as last answered
    int missed = 0; // turns in a row without an answer
    // The serial number another detector at the address answered with.
    std::optional<int32_t> stranger;
    std::optional<int64_t> answeredAtMs; // wall clock of the last answer
};

// What a row is marked with, most urgent last.
enum class RowMark { None, Silent, Limit1, Limit2, Fault };

enum OverviewColumn {
    ColAddress,
    ColModel,
    ColSerial,
    ColGas,
    ColConc,
    ColState,
    ColLimit1,
    ColLimit2,
    ColRelays,
    ColAnswered,
    OverviewColumns
};

struct RowTexts {
    std::array<std::string, OverviewColumns> cells;
    RowMark mark = RowMark::None;
};

class BusOverview {
public:
    // A row that missed this many turns in a row is silent.
    static constexpr int kSilentAfter = 2;
    static constexpr std::array<std::string_view, OverviewColumns> Heads { "Адр.", "Модель", "Зав. №", "Газ",
        "Концентрация", "Состояние", "Порог 1", "Порог 2", "Реле 1 2 Д", "Ответ" };

    // The request of a turn: the gas input register or the panel block.
    struct Ask {
        uint8_t address = 0;
        bool gas = false;
    };

    // wallClockMs: the wall clock, milliseconds since the epoch (UTC).
    explicit BusOverview(std::function<int64_t()> wallClockMs = {});

    // The rows follow the device table: a row for each record, in address
    // order; a detector that is new at an address starts afresh.
    void Sync(const DeviceTable& devices);
    const std::vector<OverviewRow>& Rows() const { return rows_; }

    // The request of the next turn; none without rows.
    std::optional<Ask> Next() const;
    // The answer to ask (values of the gas register or the panel block).
    void Answered(const Ask& ask, const uint16_t* values, int count);
    // The turn of ask went by without an answer.
    void Missed(const Ask& ask);
    // Nothing can be heard (the port is lost): every row is silent.
    void Unheard();

    RowTexts Texts(const OverviewRow& row, char separator) const;

    // Called after every change of the rows.
    void SetObserver(std::function<void()> fn) { observer_ = std::move(fn); }

private:
    OverviewRow* RowAt(uint8_t address);
    void Advance();
    void Changed() const;

    std::function<int64_t()> wallClock_;
    std::vector<OverviewRow> rows_;
    size_t cursor_ = 0;
    std::function<void()> observer_;
};

} // namespace zor
