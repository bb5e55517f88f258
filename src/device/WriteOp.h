#pragma once
// The write operation that is running; at most one at a time.

#include <cstdint>

namespace zor {

enum TWriteOp : int32_t {
    woNone = 0,
    woOptions = 1, // parameter write
    woInterface = 2, // address and line settings
    woZero = 3,
    woSpan = 4,
    woReset = 5, // calibration reset
    woLoraWrite = 6,
    woLoraRestart = 7,
};

} // namespace zor
