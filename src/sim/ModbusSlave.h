#pragma once
// The Modbus RTU slave side of a simulated detector: turns one request
// (address byte to last data byte, CRC already checked) into the answer a
// real slave gives, served from the detector's registers: function 3 and 4
// reads, function 6 echo, function 16 start and quantity, and the standard
// exceptions for what it cannot serve. Fault rules of the detector come
// first.

#include "sim/SimDetector.h"

#include <cstdint>
#include <vector>

namespace zor {

// The answer without its CRC; empty when the request is too short to carry
// a function code.
std::vector<uint8_t> serveRequest(SimDetector& detector, const uint8_t* request, size_t n);

} // namespace zor
