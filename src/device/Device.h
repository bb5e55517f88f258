#pragma once
// The record of one detector found on the bus, and how its model is told
// from its identification number.

#include "device/Registers.h"
#include "device/Tables.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace zor {

// Model indexes (names in ModelNames).
enum : int32_t {
    ModelZor11 = 0,
    ModelZor12 = 1,
    ModelZor13 = 2,
    ModelZor10 = 3,
};

struct TDevice {
    int32_t Model = 0;
    int32_t Serial = 0;
    std::string StateText; // built by the decoder
    // Holding registers 0..19 as last read; slot 19 holds the gas code,
    // methane until the device tells otherwise.
    std::array<uint16_t, RegCacheSize> Regs {};

    TDevice() { Regs[RegGas] = 1; }
    TDevice(int32_t model, int32_t serial)
        : TDevice()
    {
        Model = model;
        Serial = serial;
    }
};

// Registers 6 (low) and 7 (high) read as one signed 32-bit number.
int32_t SerialNumber(uint16_t lo, uint16_t hi);

// The model index of an identification number, nothing when the number
// belongs to no detector of the family.
std::optional<int32_t> ClassifyModel(int32_t serial);

// The cached gas code as a row of the gas table; a code without a row reads
// as methane (1), like a code above 32 from the device.
int GasCode(const TDevice& device);

// The version gate: every "ZOR-11".."ZOR-13" passes; a "ZOR-10" passes when
// its cached version has a minor of at least m and lies below b (compared in
// tens).
bool VersionMatch(const TDevice& device, int m, int b);

} // namespace zor
