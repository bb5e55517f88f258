#pragma once
// What a journal record says of a detector: who it is (model, serial,
// firmware, gas, unit, range) and its values as found and as left, in the
// units the panel shows them in. The LoRa session keys are never among them.

#include "commands/TLoraSettings.h"
#include "device/Device.h"
#include "journal/JournalRecord.h"

#include <vector>

namespace zor {

// Fills the detector's identity from its record.
void Identify(journal::JournalRecord& record, uint8_t address, const TDevice& device);
// The registers before and after; left null when the after is not known.
std::vector<journal::Reading> RegisterReadings(const TDevice& found, const TDevice* left);
// The radio settings before and after; either null when not known.
std::vector<journal::Reading> LoraReadings(const TLoraSettings* found, const TLoraSettings* left);
// The unit the device measures in now.
uint8_t UnitInUse(const TDevice& device);
// A register value of a gas-dependent register in the gas's units: "12,5".
std::string Scaled(const TDevice& device, uint16_t raw);

} // namespace zor
