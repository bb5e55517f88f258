#include "app/BusOverview.h"

#include "app/TrendCsv.h"
#include "device/Device.h"
#include "device/StateText.h"
#include "device/Tables.h"
#include "runtime/NumberFormat.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace zor {

namespace {

std::string RelayMode(uint16_t relays, uint16_t bit)
{
    return (relays & bit) ? "НЗ" : "НР";
}

// The relay modes as the panel's lists would show them: "ZOR-10" has no
// diagnostic relay, and some of its firmware fixed modes.
std::string RelaysText(const OverviewRow& row, const std::array<uint16_t, PanelBlock.count>& regs)
{
    TDevice device(row.model, row.serial);
    device.Regs[RegVersion] = regs[RegVersion];
    const bool zor10 = row.model == ModelZor10;
    const bool fixedModes = zor10 && (VersionMatch(device, 3, 120) || VersionMatch(device, 4, 230));
    const uint16_t relays = fixedModes ? 0 : regs[RegRelays];
    std::string text = RelayMode(relays, Relay1) + " " + RelayMode(relays, Relay2);
    if (!zor10)
        text += " " + RelayMode(relays, RelayDiag);
    return text;
}

RowMark MarkOf(uint16_t state)
{
    if (InError(state))
        return RowMark::Fault;
    if (state & (StateLimit2 | StateRangeExceeded))
        return RowMark::Limit2;
    if (state & StateLimit1)
        return RowMark::Limit1;
    return RowMark::None;
}

} // namespace

BusOverview::BusOverview(std::function<int64_t()> wallClockMs)
    : wallClock_(std::move(wallClockMs))
{
    if (!wallClock_)
        wallClock_ = [] {
            using namespace std::chrono;
            return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
        };
}

void BusOverview::Sync(const DeviceTable& devices)
{
    const uint8_t at = cursor_ < rows_.size() ? rows_[cursor_].address : 0;
    std::vector<OverviewRow> rows;
    for (int address = 1; address < DeviceTable::Size; ++address) {
        const TDevice* device = devices.at(address);
        if (!device)
            continue;
        const OverviewRow* kept = RowAt(static_cast<uint8_t>(address));
        if (kept && kept->serial == device->Serial && kept->model == device->Model) {
            rows.push_back(*kept);
            continue;
        }
        OverviewRow row;
        row.address = static_cast<uint8_t>(address);
        row.model = device->Model;
        row.serial = device->Serial;
        rows.push_back(row);
    }
    rows_ = std::move(rows);
    // The turn stays with the detector it was at, or the one after it.
    cursor_ = 0;
    while (cursor_ < rows_.size() && rows_[cursor_].address < at)
        ++cursor_;
    if (cursor_ == rows_.size())
        cursor_ = 0;
    Changed();
}

OverviewRow* BusOverview::RowAt(uint8_t address)
{
    for (OverviewRow& row : rows_)
        if (row.address == address)
            return &row;
    return nullptr;
}

std::optional<BusOverview::Ask> BusOverview::Next() const
{
    if (rows_.empty())
        return std::nullopt;
    const OverviewRow& row = rows_[cursor_];
    return Ask { row.address, row.gasDue };
}

void BusOverview::Advance()
{
    if (!rows_.empty())
        cursor_ = (cursor_ + 1) % rows_.size();
}

void BusOverview::Answered(const Ask& ask, const uint16_t* values, int count)
{
    OverviewRow* row = RowAt(ask.address);
    if (!row)
        return;
    if (ask.gas) {
        if (count < 1)
            return;
        int code = values[0] & GasCodeMask;
        // A code without a row reads as methane, as on the panel.
        if (code > 32)
            code = 1;
        // Registers of another gas would be shown in its units.
        if (row->gas != code)
            row->regs.reset();
        row->gas = code;
        row->gasDue = false;
    } else {
        if (count < static_cast<int>(PanelBlock.count))
            return;
        std::array<uint16_t, PanelBlock.count> regs {};
        std::copy(values, values + PanelBlock.count, regs.begin());
        // Another detector at the address: its readings are not this row's,
        // and its gas is read again.
        const int32_t serial = SerialNumber(regs[RegSerialLo], regs[RegSerialHi]);
        if (serial != row->serial) {
            row->stranger = serial;
            row->regs.reset();
            row->gasDue = true;
        } else {
            row->stranger.reset();
            row->regs = regs;
        }
        Advance();
    }
    row->missed = 0;
    row->answeredAtMs = wallClock_();
    Changed();
}

void BusOverview::Missed(const Ask& ask)
{
    OverviewRow* row = RowAt(ask.address);
    if (!row)
        return;
    if (++row->missed >= kSilentAfter)
        row->gasDue = true;
    Advance();
    Changed();
}

RowTexts BusOverview::Texts(const OverviewRow& row, char separator) const
{
    RowTexts texts;
    auto& c = texts.cells;
    c[ColAddress] = std::to_string(row.address);
    c[ColModel] = row.model >= 0 && row.model < static_cast<int>(ModelNames.size())
        ? std::string(ModelNames[static_cast<size_t>(row.model)])
        : std::string();
    // As the tree writes it.
    c[ColSerial] = "0" + std::to_string(row.serial);
    if (row.answeredAtMs)
        c[ColAnswered] = TimeText(*row.answeredAtMs, false).substr(11);
    const bool silent = row.missed >= kSilentAfter;
    // What the detector said last stays in view, marked old.
    if (row.gas && row.regs) {
        const stGas& gas = Gases[static_cast<size_t>(*row.gas)];
        const auto& regs = *row.regs;
        const double scale = std::pow(10.0, gas.Decimals);
        auto value = [&](uint16_t v) { return FormatFixed(v / scale, 4, gas.Decimals, separator); };
        const std::string unit = UnitText((regs[RegOptions] & OptSecondUnit) ? gas.Unit2 : gas.Unit1);
        c[ColGas] = std::string(gas.Formula);
        c[ColConc] = regs[RegConc] < ConcInvalid ? value(regs[RegConc]) + " " + unit : std::string("—");
        c[ColState] = FullStateText(regs[RegState], regs[RegOptions], *row.gas);
        c[ColLimit1] = value(regs[RegLimit1]);
        c[ColLimit2] = value(regs[RegLimit2]);
        c[ColRelays] = RelaysText(row, regs);
        texts.mark = MarkOf(regs[RegState]);
    } else if (row.gas) {
        c[ColGas] = std::string(Gases[static_cast<size_t>(*row.gas)].Formula);
    }
    if (row.stranger) {
        c[ColState] = "Другой прибор по адресу (зав. № 0" + std::to_string(*row.stranger) + "): найдите приборы заново";
        texts.mark = RowMark::Fault;
    }
    if (silent) {
        c[ColState] = "Нет ответа" + (c[ColState].empty() ? std::string() : " (было: " + c[ColState] + ")");
        texts.mark = RowMark::Silent;
    }
    return texts;
}

void BusOverview::Unheard()
{
    for (OverviewRow& row : rows_) {
        row.missed = std::max(row.missed, kSilentAfter);
        row.gasDue = true;
    }
    Changed();
}

void BusOverview::Changed() const
{
    if (observer_)
        observer_();
}

} // namespace zor
