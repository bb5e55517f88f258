#include "sim/SimDetector.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace zor {

namespace {

constexpr std::array<uint32_t, 9> kBaudRates { 0, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200 };

// The holding registers 0..19; why the simulator keeps a map of its own is
// said at SimDetector's register numbers.
enum : uint16_t {
    kRegLine = 0,
    kRegState = 1,
    kRegOptions = 2,
    kRegConc = 3,
    kRegTemp = 4,
    kRegRange = 5,
    kRegSerialLo = 6,
    kRegSerialHi = 7,
    kRegMagnet = 8,
    kRegLimit1 = 9,
    kRegLimit2 = 10,
    kRegCurrent = 11,
    kRegVersion = 14,
    kRegRelays = 16,
    kRegHyster = 17,
    kRegZeroZone = 18,
    kRegGas = 19
};

enum : uint16_t {
    kStWorks = 0x0001,
    kStOverRange = 0x0002,
    kStContaminated = 0x0004,
    kStMissing = 0x0008,
    kStWarmUp = 0x0020,
    kStInvalid = 0x0040,
    kStPermission = 0x0080,
    kStLimit1 = 0x0100,
    kStLimit2 = 0x0200,
    kStAdjust = 0x0400
};
enum : uint16_t { kOptBlocking = 0x0002, kOptSupplyLow = 0x0008, kOptUnit2 = 0x8000 };

constexpr uint16_t kMaxTestCurrent = 2500; // 25 mA in 0.01 mA
constexpr uint32_t kMeasureCycleMs = 500; // one noise sample per cycle
constexpr uint16_t kLoraActive = 1;
constexpr uint16_t kLoraDefaults = 4;
// The loop current at the test points 4 mA, 20 mA and 1 mA, in 0.01 mA.
constexpr std::array<int, 3> kTestCurrent { 400, 2000, 100 };

uint16_t clampToRegister(double v)
{
    return static_cast<uint16_t>(std::clamp(std::lround(v), 0L, 65535L));
}

uint64_t splitmix(uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

bool lineWordValid(uint16_t v)
{
    const unsigned a = v >> 8, baud = v & 0x0F, parity = (v >> 4) & 3, stop = (v >> 6) & 3;
    return a >= 1 && a <= 247 && baud >= 1 && baud <= 8 && parity <= 2 && (stop == 1 || stop == 2);
}

} // namespace

SimDetector::SimDetector(EventLoop& loop, SimModel model, uint8_t address)
    : loop_(loop)
    , model_(model)
    , seed_(splitmix(address))
    , poweredOn_(loop.tickCount())
{
    const SimModelInfo& info = simModelInfo(model);
    this->address(address).line(19200).serial(info.firstSerial + 100 + address).version(info.version).gas(1);
    // A radio that has never been set up reports its factory values.
    const auto putLong = [this](uint16_t reg, uint32_t v) {
        lora_[reg - kLoraFirst] = static_cast<uint16_t>(v >> 16);
        lora_[reg - kLoraFirst + 1] = static_cast<uint16_t>(v);
    };
    lora_[0] = kLoraDefaults;
    putLong(kLoraAddr, 0x26010000u + address);
    lora_[kLoraPower - kLoraFirst] = 0x0003; // SF9
    lora_[kLoraPeriod - kLoraFirst] = 60; // seconds
    putLong(kLoraChan, 868100000);
    putLong(kLoraChan + 2, 868300000);
    putLong(kLoraChan + 4, 868500000);
    static constexpr uint8_t key[16]
        = { 0x5C, 0x0E, 0x93, 0xA1, 0xD7, 0x4F, 0x28, 0xB6, 0xE0, 0xA3, 0xC9, 0x17, 0x5D, 0x2B, 0x84, 0xF6 };
    for (size_t i = 0; i < 8; ++i)
        lora_[kLoraAppKey - kLoraFirst + i] = lora_[kLoraNwkKey - kLoraFirst + i]
            = static_cast<uint16_t>(key[2 * i] << 8 | key[2 * i + 1]);
}

SimDetector::~SimDetector() = default;

SimDetector& SimDetector::address(uint8_t a)
{
    regs_[kRegLine] = static_cast<uint16_t>(a << 8 | (regs_[kRegLine] & 0xFF));
    return *this;
}

SimDetector& SimDetector::line(uint32_t baud, ParityKind parity, StopBitsKind stop)
{
    const auto it = std::find(kBaudRates.begin() + 1, kBaudRates.end(), baud);
    if (it == kBaudRates.end())
        throw std::invalid_argument("no baud code for " + std::to_string(baud) + " bit/s");
    if (parity > ParityKind::Even)
        throw std::invalid_argument("a detector knows no parity but none, odd and even");
    if (stop == StopBitsKind::OneAndHalf)
        throw std::invalid_argument("a detector knows no stop bits but 1 and 2");
    const unsigned stopCode = stop == StopBitsKind::One ? 1 : 2;
    regs_[kRegLine] = static_cast<uint16_t>(
        (regs_[kRegLine] & 0xFF00) | stopCode << 6 | static_cast<unsigned>(parity) << 4 | (it - kBaudRates.begin()));
    return *this;
}

SimDetector& SimDetector::serial(uint32_t number)
{
    regs_[kRegSerialLo] = static_cast<uint16_t>(number);
    regs_[kRegSerialHi] = static_cast<uint16_t>(number >> 16);
    return *this;
}

SimDetector& SimDetector::version(uint16_t v)
{
    regs_[kRegVersion] = v;
    return *this;
}

SimDetector& SimDetector::gas(uint8_t code)
{
    regs_[kRegGas] = code;
    const uint16_t r = simGasInfo(code).lel;
    range(r);
    if (code == kSimGasOxygen)
        limits(1800, 2300); // 18.00 %об low, 23.00 %об high
    else
        limits(static_cast<uint16_t>(r * 2 / 5), static_cast<uint16_t>(r * 4 / 5));
    hysteresis(static_cast<uint8_t>(std::clamp(r / 100, 1, 255)));
    zeroZone(0);
    magnet(static_cast<uint16_t>(r / 2));
    level_.settle(cleanAir());
    return *this;
}

SimDetector& SimDetector::range(uint16_t r)
{
    regs_[kRegRange] = r;
    return *this;
}

SimDetector& SimDetector::limits(uint16_t limit1, uint16_t limit2)
{
    regs_[kRegLimit1] = limit1;
    regs_[kRegLimit2] = limit2;
    return *this;
}

SimDetector& SimDetector::hysteresis(uint8_t h)
{
    regs_[kRegHyster] = static_cast<uint16_t>(h * 257);
    return *this;
}

SimDetector& SimDetector::zeroZone(uint16_t z)
{
    regs_[kRegZeroZone] = z;
    return *this;
}

SimDetector& SimDetector::magnet(uint16_t m)
{
    regs_[kRegMagnet] = m;
    return *this;
}

SimDetector& SimDetector::relays(uint16_t bits)
{
    regs_[kRegRelays] = bits;
    return *this;
}

SimDetector& SimDetector::blocking(bool on)
{
    regs_[kRegOptions]
        = static_cast<uint16_t>(on ? regs_[kRegOptions] | kOptBlocking : regs_[kRegOptions] & ~kOptBlocking);
    return *this;
}

SimDetector& SimDetector::temperature(int16_t tenths)
{
    temperature_ = tenths;
    return *this;
}

SimDetector& SimDetector::warmUp(uint32_t ms)
{
    warmUpMs_ = ms;
    return *this;
}

SimDetector& SimDetector::noise(uint16_t amplitude)
{
    noise_ = amplitude;
    return *this;
}

SimDetector& SimDetector::seed(uint64_t s)
{
    seed_ = s;
    return *this;
}

SimDetector& SimDetector::responseTime(uint32_t t90Ms)
{
    level_.setResponseTime(t90Ms);
    return *this;
}

SimDetector& SimDetector::error(SimError e)
{
    error_ = e;
    return *this;
}

SimDetector& SimDetector::radio(bool present)
{
    radio_ = present;
    return *this;
}

SimDetector& SimDetector::silent(bool on)
{
    faults_.silent = on;
    return *this;
}

SimDetector& SimDetector::badCrc(bool on)
{
    faults_.badCrc = on;
    return *this;
}

SimDetector& SimDetector::splitAnswer(uint32_t pauseMs)
{
    faults_.splitPauseMs = pauseMs;
    return *this;
}

SimDetector& SimDetector::delayAnswer(uint32_t ms)
{
    faults_.delayMs = ms;
    return *this;
}

SimDetector& SimDetector::turnaround(uint32_t ms)
{
    faults_.turnaroundMs = ms;
    return *this;
}

SimDetector& SimDetector::exceptionOn(uint16_t reg, uint8_t code)
{
    faults_.exceptions.push_back({ -1, reg, code });
    return *this;
}

SimDetector& SimDetector::exceptionOnFunction(uint8_t function, uint8_t code)
{
    faults_.exceptions.push_back({ function, -1, code });
    return *this;
}

double SimDetector::cleanAir() const
{
    return gas() == kSimGasOxygen ? 2090 : 0;
}

void SimDetector::applyTestGas(uint16_t value)
{
    level_.moveTo(value, now());
}

void SimDetector::clearAir()
{
    level_.moveTo(cleanAir(), now());
}

void SimDetector::testGasCycle(uint16_t value, uint32_t startMs, uint32_t holdMs, uint32_t periodMs)
{
    scheduleTestGas(value, startMs, holdMs, periodMs);
}

void SimDetector::scheduleTestGas(uint16_t value, uint32_t delayMs, uint32_t holdMs, uint32_t periodMs)
{
    std::weak_ptr<int> alive = alive_;
    loop_.callLater(delayMs, [this, alive, value, holdMs, periodMs] {
        if (alive.expired())
            return;
        applyTestGas(value);
        if (holdMs > 0)
            loop_.callLater(holdMs, [this, alive] {
                if (!alive.expired())
                    clearAir();
            });
        if (periodMs > 0)
            scheduleTestGas(value, periodMs, holdMs, periodMs);
    });
}

void SimDetector::powerCycle()
{
    poweredOn_ = now();
    permission_ = false;
    adjust_ = false;
    restarting_ = false;
    alarm1_ = alarm2_ = false;
}

LineSettings SimDetector::line() const
{
    const unsigned low = regs_[kRegLine] & 0xFF;
    LineSettings s;
    s.baud = (low & 0x0F) < kBaudRates.size() ? kBaudRates[low & 0x0F] : 0;
    s.dataBits = 8;
    s.parity = static_cast<ParityKind>((low >> 4) & 3);
    const unsigned stop = low >> 6;
    s.stopBits = stop == 2 ? StopBitsKind::Two : stop == 0 ? StopBitsKind::OneAndHalf : StopBitsKind::One;
    return s;
}

bool SimDetector::understands(const HeardLine& heard) const
{
    const LineSettings own = line();
    if (heard.settings.baud != own.baud)
        return false;
    return heard.rateOnly
        || (heard.settings.dataBits == own.dataBits && heard.settings.parity == own.parity
            && heard.settings.stopBits == own.stopBits);
}

bool SimDetector::warming() const
{
    return static_cast<uint32_t>(now() - poweredOn_) < warmUpMs_;
}

bool SimDetector::versionMatch(uint16_t minMinor, uint16_t below) const
{
    if (model_ != SimModel::Zor10)
        return true;
    const uint16_t v = regs_[kRegVersion];
    return v % 100 >= minMinor && v / 10 < below / 10;
}

uint16_t SimDetector::rangeInRegisterUnits() const
{
    // For %НКПР gases the range register is in 0.01 %об; the concentration
    // is in %НКПР at the gas's decimals.
    const SimGasInfo& g = simGasInfo(gas());
    if (g.unit != kSimUnitLel || g.lel == 0)
        return regs_[kRegRange];
    const double scaled = regs_[kRegRange] * 100.0 * std::pow(10.0, g.decimals) / g.lel;
    return clampToRegister(scaled);
}

uint16_t SimDetector::measure()
{
    if (error_ != SimError::None || warming()) {
        alarm1_ = alarm2_ = false;
        return 0;
    }
    double v = (level_.at(now()) - zero_) * gain_;
    if (noise_ > 0) {
        const uint32_t cycle = static_cast<uint32_t>(now() - poweredOn_) / kMeasureCycleMs;
        const uint64_t r = splitmix(seed_ ^ splitmix(cycle));
        v += static_cast<int>(r % (2u * noise_ + 1)) - static_cast<int>(noise_);
    }
    uint16_t reading = clampToRegister(v);
    if (reading <= regs_[kRegZeroZone])
        reading = 0;
    updateAlarms(reading);
    return reading;
}

void SimDetector::updateAlarms(uint16_t v)
{
    // A threshold of 0 is switched off. Once raised, an alarm falls back only
    // when the reading has left the threshold by the hysteresis.
    const int h = regs_[kRegHyster] & 0xFF;
    const int x = v;
    const int l1 = regs_[kRegLimit1], l2 = regs_[kRegLimit2];
    if (gas() == kSimGasOxygen)
        alarm1_ = l1 > 0 && (alarm1_ ? x <= l1 + h : x <= l1);
    else
        alarm1_ = l1 > 0 && (alarm1_ ? x > l1 - h : x >= l1);
    alarm2_ = l2 > 0 && (alarm2_ ? x > l2 - h : x >= l2);
}

uint16_t SimDetector::stateWord()
{
    uint16_t s = 0;
    switch (error_) {
    case SimError::None:
        s |= kStWorks;
        break;
    case SimError::Contaminated:
        s |= kStContaminated;
        break;
    case SimError::SensorMissing:
        s |= kStMissing;
        break;
    case SimError::InvalidData:
        s |= kStInvalid;
        break;
    case SimError::SupplyLow:
    case SimError::Hardware:
        break;
    }
    if (adjust_) {
        s |= kStAdjust;
        if (point_ == TestPoint::I1mA)
            s |= kStWarmUp;
    } else if (error_ == SimError::None) {
        if (warming()) {
            s |= kStWarmUp;
        } else {
            const uint16_t v = measure();
            if (v > rangeInRegisterUnits())
                s |= kStOverRange;
            if (alarm1_)
                s |= kStLimit1;
            if (alarm2_)
                s |= kStLimit2;
        }
    }
    if (permission_)
        s |= kStPermission;
    return s;
}

uint16_t SimDetector::concentration()
{
    if (!adjust_)
        return measure();
    switch (point_) {
    case TestPoint::I4mA:
        return kCurrent4mA;
    case TestPoint::I20mA:
        return kCurrent20mA;
    case TestPoint::I1mA:
        return kCurrent1mA;
    }
    return 0;
}

uint16_t SimDetector::loopCurrent()
{
    if (adjust_) {
        const size_t p = static_cast<size_t>(point_);
        return static_cast<uint16_t>(std::max(0, kTestCurrent[p] + trim_[p]));
    }
    if (error_ != SimError::None)
        return 200; // the fault current, 2 mA
    const uint16_t r = rangeInRegisterUnits();
    const double fraction = r ? std::min(1.0, measure() / static_cast<double>(r)) : 0.0;
    return static_cast<uint16_t>(std::lround(400 + 1600 * fraction));
}

uint16_t SimDetector::loraState() const
{
    return busyMs() > 0 ? 0 : lora_[0];
}

uint16_t SimDetector::holding(uint16_t reg)
{
    if (auto it = pinned_.find(reg); it != pinned_.end())
        return it->second;
    switch (reg) {
    case kRegState:
        return stateWord();
    case kRegOptions:
        return static_cast<uint16_t>(regs_[kRegOptions] | (error_ == SimError::SupplyLow ? kOptSupplyLow : 0));
    case kRegConc:
        return concentration();
    case kRegTemp:
        return static_cast<uint16_t>(
            simGasInfo(gas()).tempInHundredths && versionMatch(4, 300) ? temperature_ * 10 : temperature_);
    case kRegCurrent:
        return loopCurrent();
    case kLoraFirst:
        return loraState();
    default:
        if (reg < regs_.size())
            return regs_[reg];
        if (reg >= kLoraFirst && reg <= kLoraLast)
            return lora_[reg - kLoraFirst];
        return 0;
    }
}

uint16_t SimDetector::input(uint16_t wireReg)
{
    // The input block mirrors the live values; its register 5 is the gas.
    static constexpr std::array<uint16_t, kInputCount> mirror { kRegConc, kRegState, kRegTemp, kRegCurrent, kRegVersion,
        kRegGas };
    const uint16_t offset = static_cast<uint16_t>(wireReg - kInputBase);
    return offset < mirror.size() ? holding(mirror[offset]) : 0;
}

void SimDetector::setHolding(uint16_t reg, uint16_t value)
{
    switch (reg) {
    case kRegState:
    case kRegConc:
    case kRegTemp:
    case kRegCurrent:
    case kLoraFirst:
        pinned_[reg] = value;
        return;
    default:
        if (reg < regs_.size())
            regs_[reg] = value;
        else if (reg >= kLoraFirst && reg <= kLoraLast)
            lora_[reg - kLoraFirst] = value;
    }
}

void SimDetector::unpin(uint16_t reg)
{
    pinned_.erase(reg);
}

uint8_t SimDetector::checkRead(uint8_t function, uint16_t start, uint16_t count) const
{
    if (count < 1 || count > 125)
        return kExIllegalValue;
    const unsigned last = start + count - 1u;
    if (function == 4)
        return start >= kInputBase && last < kInputBase + kInputCount ? 0 : kExIllegalAddress;
    if (last < regs_.size() || (radio_ && start >= kLoraFirst && last <= kLoraLast))
        return 0;
    return kExIllegalAddress;
}

uint8_t SimDetector::writeHolding(uint16_t reg, uint16_t value)
{
    switch (reg) {
    case kRegState:
        // The control bits: write permission and the current-output adjust
        // mode. The status bits are the detector's own.
        permission_ = value & kStPermission;
        if ((value & kStAdjust) && !adjust_)
            point_ = TestPoint::I4mA;
        adjust_ = value & kStAdjust;
        return 0;
    case kRegConc:
        return command(value);
    case kRegCurrent: {
        // The technician's measured loop current at the present test point:
        // the detector trims its output so that its reading agrees.
        if (!adjust_)
            return kExRefused;
        if (value > kMaxTestCurrent)
            return kExIllegalValue;
        const size_t p = static_cast<size_t>(point_);
        trim_[p] = value - kTestCurrent[p];
        return 0;
    }
    case kRegLine:
    case kRegOptions:
    case kRegMagnet:
    case kRegLimit1:
    case kRegLimit2:
    case kRegRelays:
    case kRegHyster:
    case kRegZeroZone:
    case kRegGas:
        return permission_ ? writeSetting(reg, value) : kExRefused;
    case kLoraFirst:
        if (!radio_)
            return kExIllegalAddress;
        if (value != 1)
            return kExIllegalValue;
        lora_[0] = kLoraActive;
        restarting_ = true;
        restartEnd_ = now() + kRadioRestartMs;
        return 0;
    default:
        if (radio_ && ((reg > kLoraFirst && reg <= kLoraPeriod) || (reg >= kLoraAppKey && reg <= kLoraLast))) {
            lora_[reg - kLoraFirst] = value;
            return 0;
        }
        return kExIllegalAddress;
    }
}

uint8_t SimDetector::writeSetting(uint16_t reg, uint16_t value)
{
    const uint16_t r = rangeInRegisterUnits();
    bool valid = true;
    switch (reg) {
    case kRegLine:
        valid = lineWordValid(value);
        if (valid)
            pendingLine_ = value;
        break;
    case kRegOptions:
        // Only the blocking bit is a setting; the unit goes through register 3.
        regs_[kRegOptions] = static_cast<uint16_t>((regs_[kRegOptions] & kOptUnit2) | (value & kOptBlocking));
        break;
    case kRegLimit1:
        // Threshold 1 never lies above threshold 2.
        valid = value <= r && value <= regs_[kRegLimit2];
        break;
    case kRegLimit2:
        valid = value <= r && value >= regs_[kRegLimit1];
        break;
    case kRegHyster:
        valid = (value & 0xFF) <= r;
        break;
    case kRegMagnet:
    case kRegZeroZone:
        valid = value <= r;
        break;
    case kRegRelays:
        valid = value <= 7;
        break;
    case kRegGas:
        valid = value < kSimGasCount;
        break;
    }
    if (!valid)
        return kExIllegalValue;
    if (reg != kRegLine && reg != kRegOptions)
        regs_[reg] = value;
    return 0;
}

uint8_t SimDetector::command(uint16_t value)
{
    if (adjust_) {
        // Calibration is not allowed while the output is fixed; only the test
        // currents are.
        switch (value) {
        case kCurrent4mA:
            point_ = TestPoint::I4mA;
            return 0;
        case kCurrent20mA:
            point_ = TestPoint::I20mA;
            return 0;
        case kCurrent1mA:
            point_ = TestPoint::I1mA;
            return 0;
        default:
            return kExRefused;
        }
    }
    if (!permission_)
        return kExRefused;
    const double level = level_.at(now());
    switch (value) {
    case kCmdZero:
        zero_ = level;
        return 0;
    case kCmdReset:
        zero_ = 0;
        gain_ = 1;
        return 0;
    case kCmdUnit1:
    case kCmdUnit2:
        regs_[kRegOptions] = static_cast<uint16_t>(
            value == kCmdUnit2 ? regs_[kRegOptions] | kOptUnit2 : regs_[kRegOptions] & ~kOptUnit2);
        return 0;
    default:
        break;
    }
    if (value == 0 || value >= 10000)
        return kExIllegalValue;
    // Span: the gas now at the sensor is the test gas of the given value.
    if (level - zero_ <= 0)
        return kExRefused;
    gain_ = value / (level - zero_);
    return 0;
}

uint8_t SimDetector::writeBlock(uint16_t start, const uint16_t* values, uint16_t count)
{
    const unsigned last = start + count - 1u;
    const bool radioBlock = (start >= kLoraAddr && last <= kLoraPeriod) || (start >= kLoraAppKey && last <= kLoraLast);
    if (!radio_ || !radioBlock)
        return kExIllegalAddress;
    std::copy(values, values + count, lora_.begin() + (start - kLoraFirst));
    return 0;
}

uint32_t SimDetector::busyMs() const
{
    if (!restarting_)
        return 0;
    const int32_t left = static_cast<int32_t>(restartEnd_ - now());
    return left > 0 ? static_cast<uint32_t>(left) : 0;
}

void SimDetector::commitLine()
{
    if (pendingLine_) {
        regs_[kRegLine] = *pendingLine_;
        pendingLine_.reset();
    }
}

} // namespace zor
