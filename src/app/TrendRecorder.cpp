#include "app/TrendRecorder.h"

#include "device/Device.h"
#include "device/Registers.h"
#include "device/Tables.h"

#include <chrono>
#include <cmath>
#include <limits>

namespace zor {

TrendRecorder::TrendRecorder(std::function<int64_t()> wallClockMs)
    : wallClock_(std::move(wallClockMs))
{
    if (!wallClock_)
        wallClock_ = [] {
            return std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::system_clock::now().time_since_epoch())
                .count();
        };
}

int64_t TrendRecorder::TimeOf(uint32_t tick)
{
    if (!started_) {
        started_ = true;
        baseMs_ = wallClock_();
        lastTick_ = tick;
    }
    // The tick count wraps every 49 days; the run's time does not.
    elapsedMs_ += static_cast<uint32_t>(tick - lastTick_);
    lastTick_ = tick;
    return baseMs_ + elapsedMs_;
}

void TrendRecorder::Add(uint8_t address, int64_t timeMs, float value)
{
    TrendBuffer& points = trends_[address].points;
    if (!std::isnan(value) && points.Size() > 0) {
        const TrendPoint last = points.At(points.Size() - 1);
        if (!last.gap() && timeMs - last.timeMs > kPauseMs)
            points.Add(last.timeMs + 1, std::numeric_limits<float>::quiet_NaN());
    }
    points.Add(timeMs, value);
    current_ = address;
    if (observer_)
        observer_(address);
}

void TrendRecorder::Reading(uint8_t address, uint32_t tick, const TDevice& device)
{
    const stGas& gas = Gases[GasCode(device)];
    const float scale = std::pow(10.0f, static_cast<float>(gas.Decimals));
    // The registers hold the unit in use; a trend is of one unit and one
    // scale, so a detector switched to another unit or gas starts anew.
    const std::string unit = UnitText(device.Regs[RegOptions] & OptSecondUnit ? gas.Unit2 : gas.Unit1);
    TrendOf& trend = trends_[address];
    if (trend.unit != unit || trend.decimals != gas.Decimals) {
        trend.points = TrendBuffer();
        trend.unit = unit;
        trend.decimals = gas.Decimals;
    }
    trend.limit1 = static_cast<float>(device.Regs[RegLimit1]) / scale;
    trend.limit2 = static_cast<float>(device.Regs[RegLimit2]) / scale;
    const uint16_t conc = device.Regs[RegConc];
    // A reading the device marks as no concentration is no point of the line.
    const float value = conc < ConcInvalid ? static_cast<float>(conc) / scale : std::numeric_limits<float>::quiet_NaN();
    Add(address, TimeOf(tick), value);
}

void TrendRecorder::Missed(uint8_t address, uint32_t tick)
{
    Add(address, TimeOf(tick), std::numeric_limits<float>::quiet_NaN());
}

const TrendOf* TrendRecorder::Of(uint8_t address) const
{
    const auto it = trends_.find(address);
    return it == trends_.end() ? nullptr : &it->second;
}

} // namespace zor
