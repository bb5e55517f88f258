#pragma once
// What the state and options registers say about a detector, in the words
// the panel caption and the bus overview both use.

#include <cstdint>
#include <string>
#include <string_view>

namespace zor {

// The state text of register 1; the first rule that holds wins.
std::string_view StateText(uint16_t state, int gas);

// Neither working nor over its range: the detector is in error.
bool InError(uint16_t state);

// Why a detector in error is, from registers 1 and 2.
std::string_view ErrorReason(uint16_t state, uint16_t options);

// The whole state text of a detector: the state text, or the error with
// its reason.
std::string FullStateText(uint16_t state, uint16_t options, int gas);

} // namespace zor
