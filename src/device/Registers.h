#pragma once
// The detector's register map: every Modbus function, register number, bit
// field and command word the tool uses, described once. Numbers are the
// 0-based addresses as they travel in the request.

#include <cstdint>

namespace zor {

// The Modbus functions the tool speaks, and the bit an exception answer sets
// in the function code it echoes.
enum : uint8_t {
    FnReadHolding = 3,
    FnReadInput = 4,
    FnWriteRegister = 6, // one holding register; the answer echoes it
    FnWriteRegisters = 16, // a block; the answer echoes its start and quantity
    FnException = 0x80,
};

// Holding registers.
enum : uint16_t {
    RegLine = 0, // bus address and line settings (LineWord below)
    RegState = 1, // state and control word (State... bits)
    RegOptions = 2, // Opt... bits
    RegConc = 3, // concentration when read; command register when written
    RegTemp = 4, // signed, 0.1 degree (0.01 for some gases and firmware)
    RegRange = 5, // upper range value, register units (0.01 %об with %НКПР)
    RegSerialLo = 6,
    RegSerialHi = 7,
    RegMagnetConc = 8,
    RegLimit1 = 9,
    RegLimit2 = 10,
    RegCurrent = 11, // loop current in 0.01 mA
    RegVersion = 14, // major x 100 + minor
    RegRelays = 16, // Relay... bits
    RegHyster = 17, // low byte; written with the same byte in both halves
    RegZeroZone = 18,
    RegGas = 19, // gas code, row of the gas table
    RegLoraCtrl = 64,
    RegLoraAddr = 65, // 65..66, high word first
    RegLoraRadio = 67, // high byte bandwidth, low byte coding rate
    RegLoraPower = 68, // high byte power, low byte spreading factor
    RegLoraPeriod = 69,
    RegLoraChan = 70, // 70..75: three 32-bit frequencies, high word first
    RegAppSKey = 76, // 76..83, first byte in the high byte of 76
    RegNwkSKey = 84, // 84..91
};

// Input registers are numbered 256 + offset in the request tag, the address
// they have on the wire; offset 5 of the block at 0x0100 holds the gas code in
// its low six bits.
constexpr uint16_t InRegBase = 0x0100;
constexpr uint16_t InRegGas = InRegBase + 5;
constexpr uint16_t GasCodeMask = 0x003F;

// The blocks the tool reads.
struct RegBlock {
    uint16_t first;
    uint16_t count;
};
constexpr RegBlock PanelBlock { RegLine, 19 }; // holding 0..18, function 3
constexpr RegBlock ProbeBlock { RegSerialLo, 2 }; // the search probe
constexpr RegBlock LoraBlock { RegLoraCtrl, 28 }; // holding 64..91
constexpr int RegCacheSize = 20; // holding 0..19 kept per device

// RegState bits.
enum : uint16_t {
    StateWorks = 0x0001, // clear with StateRangeExceeded clear: in error
    StateRangeExceeded = 0x0002,
    StateSensorDirty = 0x0004,
    StateSensorMissing = 0x0008,
    StateWarmUp = 0x0020, // with StateCurrentFixed: output fixed at 1 mA
    StateBadSensorData = 0x0040,
    StateSpecialMode = 0x0080, // write permission open
    StateLimit1 = 0x0100, // for oxygen: below threshold 1
    StateLimit2 = 0x0200,
    StateCurrentFixed = 0x0400, // current-output adjust mode
};
constexpr uint16_t WritePermissionOpen = StateSpecialMode;
constexpr uint16_t WritePermissionClosed = 0x0000;

// RegOptions bits.
enum : uint16_t {
    OptBlock = 0x0002, // readings blocked while a threshold is exceeded
    OptLowSupply = 0x0008, // an error reason
    OptSecondUnit = 0x8000, // the gas's second unit is in use
};

// RegRelays bits: 0 = normally open, 1 = normally closed.
enum : uint16_t {
    Relay1 = 0x0001,
    Relay2 = 0x0002,
    RelayDiag = 0x0004,
};

// RegConc: readings from this value on are no concentration.
constexpr uint16_t ConcInvalid = 10000;

// The largest span a calibration writes: the largest concentration the
// panel shows. The command words for zero, reset and unit lie above it.
constexpr uint16_t SpanMax = ConcInvalid - 1;

// RegConc command words.
enum : uint16_t {
    CmdSetZero = 0xBBBB,
    CmdResetCalibration = 0xFFFF,
    CmdUnitBase = 0xFF00, // + unit item 0 or 1
    CmdCurrent4mA = 0,
    CmdCurrent20mA = 1000,
    CmdCurrent1mA = 0xF111,
};

// RegLine: bits 0..3 baud code, 4..5 parity code, 6..7 stop code, 8..15 bus
// address (codes of BaudRates, ParityCodes, StopBitCodes).
constexpr int LineBaudCode(uint16_t v)
{
    return v & 0x000F;
}
constexpr int LineParityCode(uint16_t v)
{
    return (v & 0x0030) >> 4;
}
constexpr int LineStopCode(uint16_t v)
{
    return (v & 0x00C0) >> 6;
}
constexpr int LineAddress(uint16_t v)
{
    return v >> 8;
}
constexpr uint16_t LineWord(int address, int baudCode, int parityCode, int stopCode)
{
    return static_cast<uint16_t>(address * 256 + stopCode * 64 + parityCode * 16 + baudCode);
}

} // namespace zor
