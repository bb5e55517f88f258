#pragma once
// One simulated gas detector: its holding registers 0..19 and the LoRa block
// 64..91, the input block at 0x0100, and how they live. The concentration
// follows the gas at the sensor (clean air, or test gas rising to its level)
// with seeded noise; thresholds, range overflow, warm-up and error reasons
// show in the state word; the command register sets zero, spans, resets,
// switches the unit and, in the current-output adjust mode, drives the test
// currents. Time comes from the event loop, so tests are deterministic.
//
// Configuration reads like a builder: bus.add(SimModel::Zor11, 5).gas(24)
// .limits(20, 100).warmUp(30000).silent().

#include "link/SerialPort.h"
#include "runtime/EventLoop.h"
#include "sim/SimFaults.h"
#include "sim/SimGasLevel.h"
#include "sim/SimTables.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>

namespace zor {

// Why a detector in error is in error. Hardware sets no reason bit.
enum class SimError : uint8_t { None, Contaminated, SensorMissing, InvalidData, SupplyLow, Hardware };

// What a transport can tell of the line settings a request was sent with; a
// pseudo-terminal carries the rate only.
struct HeardLine {
    LineSettings settings;
    bool rateOnly = false;
};

// Modbus exception codes the detector answers with.
constexpr uint8_t kExIllegalFunction = 1;
constexpr uint8_t kExIllegalAddress = 2;
constexpr uint8_t kExIllegalValue = 3;
// Also the answer to settings and calibration writes without write permission.
constexpr uint8_t kExRefused = 4;

class SimDetector {
public:
    // The detector's register map as the simulator knows it, here and in
    // SimDetector.cpp. It is written apart from the tool's map
    // (device/Registers.h) on purpose: the simulator is the independent
    // oracle the tool's tests are checked against, and a number both took
    // from one header would be wrong in both without a test noticing. Keep
    // it its own; do not include the tool's map here.
    static constexpr uint16_t kInputBase = 0x0100;
    static constexpr uint16_t kInputCount = 6;
    static constexpr uint16_t kLoraFirst = 64; // radio state; written 1, a restart
    static constexpr uint16_t kLoraAddr = 65; // 65..66, high word first
    static constexpr uint16_t kLoraPower = 68; // power, spreading factor
    static constexpr uint16_t kLoraPeriod = 69; // the last radio setting
    static constexpr uint16_t kLoraChan = 70; // 70..75, three frequencies, read only
    static constexpr uint16_t kLoraAppKey = 76; // 76..83
    static constexpr uint16_t kLoraNwkKey = 84; // 84..91
    static constexpr uint16_t kLoraLast = 91;
    static constexpr uint32_t kRadioRestartMs = 2500;
    // Command words of register 3.
    static constexpr uint16_t kCmdZero = 0xBBBB;
    static constexpr uint16_t kCmdReset = 0xFFFF;
    static constexpr uint16_t kCmdUnit1 = 0xFF00;
    static constexpr uint16_t kCmdUnit2 = 0xFF01;
    static constexpr uint16_t kCurrent4mA = 0;
    static constexpr uint16_t kCurrent20mA = 1000;
    static constexpr uint16_t kCurrent1mA = 0xF111;

    // At 19200 baud 8E1, with the model's default firmware and an
    // identification number in its band, gas 1 and its default settings,
    // powered on now.
    SimDetector(EventLoop& loop, SimModel model, uint8_t address);
    ~SimDetector();
    SimDetector(const SimDetector&) = delete;
    SimDetector& operator=(const SimDetector&) = delete;

    // Configuration; each returns the detector for chaining.
    SimDetector& address(uint8_t a);
    SimDetector& line(uint32_t baud, ParityKind parity = ParityKind::Even, StopBitsKind stop = StopBitsKind::One);
    SimDetector& serial(uint32_t number);
    SimDetector& version(uint16_t v);
    // Sets the gas and the range, thresholds, hysteresis, zero zone and
    // magnet-calibration concentration a detector of that gas leaves the
    // factory with; set those after the gas to change them.
    SimDetector& gas(uint8_t code);
    SimDetector& range(uint16_t r);
    SimDetector& limits(uint16_t limit1, uint16_t limit2);
    SimDetector& hysteresis(uint8_t h);
    SimDetector& zeroZone(uint16_t z);
    SimDetector& magnet(uint16_t m);
    SimDetector& relays(uint16_t bits);
    SimDetector& blocking(bool on);
    SimDetector& temperature(int16_t tenths);
    SimDetector& warmUp(uint32_t ms); // from power-on
    SimDetector& noise(uint16_t amplitude); // +- register units
    SimDetector& seed(uint64_t s);
    SimDetector& responseTime(uint32_t t90Ms);
    SimDetector& error(SimError e);
    SimDetector& radio(bool present); // without, 64..91 do not exist

    // Faults and timing on the bus.
    SimFaults& faults() { return faults_; }
    SimDetector& silent(bool on = true);
    SimDetector& badCrc(bool on = true);
    SimDetector& splitAnswer(uint32_t pauseMs);
    SimDetector& delayAnswer(uint32_t ms);
    SimDetector& turnaround(uint32_t ms);
    SimDetector& exceptionOn(uint16_t reg, uint8_t code);
    SimDetector& exceptionOnFunction(uint8_t function, uint8_t code);

    // The gas at the sensor: test gas of value register units rises toward
    // it; clean air brings it back (20.90 %об for oxygen, else 0).
    void applyTestGas(uint16_t value);
    void clearAir();
    // Applies test gas startMs from now for holdMs (0: for good), and again
    // every periodMs (0: once).
    void testGasCycle(uint16_t value, uint32_t startMs, uint32_t holdMs, uint32_t periodMs);
    // Power-on again: warm-up restarts, write permission and adjust mode end.
    void powerCycle();

    SimModel model() const { return model_; }
    uint8_t address() const { return static_cast<uint8_t>(regs_[0] >> 8); }
    LineSettings line() const;
    uint8_t gas() const { return static_cast<uint8_t>(regs_[19]); }
    bool writePermission() const { return permission_; }
    bool adjustMode() const { return adjust_; }
    bool understands(const HeardLine& heard) const;

    // Registers as the master reads them now.
    uint16_t holding(uint16_t reg);
    uint16_t input(uint16_t wireReg);
    // Stores a register directly, with no checks (register 0 moves the
    // detector at once). The live registers 1, 3, 4, 11 and 64 keep the
    // value set this way until unpin().
    void setHolding(uint16_t reg, uint16_t value);
    void unpin(uint16_t reg);

    // Master access; each returns 0 or the Modbus exception code.
    uint8_t checkRead(uint8_t function, uint16_t start, uint16_t count) const;
    uint8_t writeHolding(uint16_t reg, uint16_t value);
    uint8_t writeBlock(uint16_t start, const uint16_t* values, uint16_t count);

    // While the radio restarts the detector is busy: milliseconds left.
    uint32_t busyMs() const;
    // A new address and line settings written to register 0 take effect
    // here, once the echo has gone out.
    void commitLine();

private:
    enum class TestPoint : uint8_t { I4mA, I20mA, I1mA };
    uint32_t now() const { return loop_.tickCount(); }
    bool warming() const;
    bool versionMatch(uint16_t minMinor, uint16_t below) const;
    uint16_t rangeInRegisterUnits() const;
    uint16_t measure();
    void updateAlarms(uint16_t v);
    uint16_t stateWord();
    uint16_t concentration();
    uint16_t loopCurrent();
    uint16_t loraState() const;
    uint8_t writeSetting(uint16_t reg, uint16_t value);
    uint8_t command(uint16_t value);
    double cleanAir() const;
    void scheduleTestGas(uint16_t value, uint32_t delayMs, uint32_t holdMs, uint32_t periodMs);

    EventLoop& loop_;
    SimModel model_;
    std::array<uint16_t, 20> regs_ {};
    std::array<uint16_t, kLoraLast - kLoraFirst + 1> lora_ {};
    std::optional<uint16_t> pendingLine_;
    std::map<uint16_t, uint16_t> pinned_;
    SimFaults faults_;

    SimGasLevel level_;
    double zero_ = 0;
    double gain_ = 1;
    uint16_t noise_ = 0;
    uint64_t seed_;
    int16_t temperature_ = 235;
    uint32_t poweredOn_;
    uint32_t warmUpMs_ = 0;
    SimError error_ = SimError::None;
    bool radio_ = true;
    bool permission_ = false;
    bool adjust_ = false;
    TestPoint point_ = TestPoint::I4mA;
    std::array<int, 3> trim_ {};
    bool alarm1_ = false;
    bool alarm2_ = false;
    bool restarting_ = false;
    uint32_t restartEnd_ = 0;
    // Scheduled gas changes check it, so that they never outlive us.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

} // namespace zor
