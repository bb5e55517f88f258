#include "app/ServiceJournal.h"

#include "app/JournalReadings.h"
#include "device/Tables.h"
#include "runtime/NumberFormat.h"

namespace zor {

namespace {
constexpr std::string_view kAbandoned = "Операция прервана";

bool IsLora(journal::Operation op)
{
    return op == journal::Operation::LoraRadio || op == journal::Operation::LoraKeys;
}
} // namespace

ServiceJournal::ServiceJournal(EventLoop& loop, Sources sources)
    : src_(std::move(sources))
    , wait_(loop.createTimer())
{
    wait_->setInterval(kLeftWaitMs);
    wait_->setHandler([this] {
        wait_->setEnabled(false);
        if (phase_ == Phase::AwaitingLeft)
            Write(false);
    });
}

void ServiceJournal::Attach(journal::JournalStore* store, const journal::WallClock* clock)
{
    store_ = store;
    clock_ = clock;
}

void ServiceJournal::Began(journal::Operation op, uint8_t address)
{
    // One that never told its end (a trim whose echo never came) ends here.
    Ended(false, kAbandoned);
    Flush();
    const TDevice* dev = src_.devices.at(address);
    if (!store_ || !clock_ || !dev)
        return;
    phase_ = Phase::Running;
    op_ = op;
    address_ = address;
    found_ = *dev;
    record_ = {};
    refusal_.clear();
    const journal::WallTime now = clock_->now();
    record_.unixTime = now.unixTime;
    record_.when = journal::LocalText(now);
    record_.technician = Settings.technician;
    record_.site = store_->Site(dev->Serial);
    Identify(record_, address, *dev);
    record_.operation = std::string(journal::OperationText(op));
    record_.kind = static_cast<int>(op);
    loraFound_ = loraRead_ && loraReadAddress_ == address ? loraRead_ : std::nullopt;
    AddDetails();
}

void ServiceJournal::AddDetails()
{
    auto& details = record_.details;
    switch (op_) {
    case journal::Operation::Span: {
        // Firmware before 15.52 takes the test gas in the gas's first unit.
        const stGas& gas = Gases[GasCode(found_)];
        const bool firstUnit = (found_.Regs[RegOptions] & OptSecondUnit) && found_.Regs[RegVersion] < 1552;
        details.push_back({ "Концентрация ПГС, " + UnitText(firstUnit ? gas.Unit1 : UnitInUse(found_)),
            Scaled(found_, src_.spanValue()) });
        if (!Settings.cylinderLot.empty()) {
            details.push_back({ "Баллон ПГС, партия", Settings.cylinderLot });
            details.push_back({ "Баллон ПГС, аттестованная концентрация", Settings.cylinderConc });
            if (Settings.cylinderExpiry)
                details.push_back({ "Баллон ПГС, годен до",
                    journal::DateText(*Settings.cylinderExpiry) + (CylinderExpired() ? " (срок истёк)" : "") });
        }
        break;
    }
    case journal::Operation::CurrentTrim: {
        const DevicePanel& p = src_.panel;
        details.push_back({ "Испытательный ток",
            p.RBt04mA.checked()       ? "4 мА"
                : p.RBt20mA.checked() ? "20 мА"
                                      : "1 мА" });
        details.push_back({ "Измеренный ток, мА", FormatFixed(p.EditCurr.value(), 15, 2, ',') });
        break;
    }
    case journal::Operation::LoraKeys:
        // The keys themselves are never kept: only whether they changed.
        details.push_back({ "Ключи LoRaWAN изменены",
            !loraFound_ ? "не известно (ключи прибора не прочитаны)"
                : loraFound_->AppSKey != src_.lora.AppSKey || loraFound_->NwkSKey != src_.lora.NwkSKey ? "да"
                                                                                                       : "нет" });
        break;
    default:
        break;
    }
}

void ServiceJournal::Stepped(std::string_view step)
{
    if (phase_ == Phase::Running)
        record_.stoppedAt = std::string(step);
}

void ServiceJournal::Ended(bool ok, std::string_view text)
{
    if (phase_ != Phase::Running)
        return;
    record_.success = ok;
    record_.result = !ok && !refusal_.empty() ? refusal_ : std::string(text);
    if (ok)
        record_.stoppedAt.clear();
    phase_ = Phase::Ended;
}

ServiceJournal::Need ServiceJournal::AfterEnd(bool follows)
{
    if (phase_ != Phase::Ended)
        return Need::Nothing;
    phase_ = Phase::AwaitingLeft;
    wait_->setEnabled(true);
    if (follows)
        return Need::Nothing;
    return IsLora(op_) ? Need::Lora : Need::Panel;
}

void ServiceJournal::Moved(uint8_t address)
{
    if (phase_ != Phase::Idle)
        address_ = address;
}

void ServiceJournal::PanelDecoded(uint8_t address)
{
    if (phase_ == Phase::AwaitingLeft && address == address_ && !IsLora(op_))
        Write(true);
}

void ServiceJournal::LoraDecoded(uint8_t address)
{
    loraRead_ = src_.lora;
    loraReadAddress_ = address;
    if (phase_ == Phase::AwaitingLeft && address == address_ && IsLora(op_))
        Write(true);
}

void ServiceJournal::Refused(std::string_view text)
{
    if (phase_ == Phase::Running)
        refusal_ = std::string(text);
}

void ServiceJournal::TimedOut()
{
    // The trim is one write outside any operation: its time-out ends it here.
    if (phase_ == Phase::Running && op_ == journal::Operation::CurrentTrim)
        Ended(false, "Timeout!");
    else if (phase_ == Phase::AwaitingLeft)
        Write(false);
}

void ServiceJournal::Flush()
{
    // An operation still running ends as it ends; only what waits for its
    // values after is written now.
    if (phase_ == Phase::Ended || phase_ == Phase::AwaitingLeft)
        Write(false);
}

std::string ServiceJournal::SpanWarning() const
{
    return CylinderExpired() ? "Срок годности баллона ПГС истёк (" + journal::DateText(*Settings.cylinderExpiry) + ")!"
                             : std::string();
}

bool ServiceJournal::CylinderExpired() const
{
    return Settings.cylinderExpiry && clock_ && *Settings.cylinderExpiry < journal::LocalDate(clock_->now());
}

std::string ServiceJournal::CalibrationHint(int32_t serial) const
{
    if (!store_ || !clock_)
        return {};
    const journal::Due due = journal::DueOfSerial(*store_, serial, clock_->now(), Settings.intervalMonths);
    return due.state == journal::DueState::Overdue || due.state == journal::DueState::Unknown ? journal::DueHint(due)
                                                                                              : std::string();
}

void ServiceJournal::Write(bool withLeft)
{
    phase_ = Phase::Idle;
    wait_->setEnabled(false);
    if (IsLora(op_)) {
        record_.readings = LoraReadings(loraFound_ ? &*loraFound_ : nullptr, withLeft ? &src_.lora : nullptr);
    } else {
        const TDevice* left = withLeft ? src_.devices.at(address_) : nullptr;
        record_.readings = RegisterReadings(found_, left);
    }
    const int64_t id = store_->Append(record_);
    if (OnRecord)
        OnRecord(id, record_);
}

} // namespace zor
