#pragma once
// Rates that termios has no speed code for, through the kernel's termios2
// record (BOTHER). Kept apart because its header cannot share a unit with
// <termios.h>.

#include <cstdint>
#include <optional>

namespace zor::posix {

// Sets both directions of fd to baud bits per second; false with errno set
// when the device refuses.
bool SetCustomRate(int fd, uint32_t baud);
// The rates fd is set to, in bits per second.
struct LineRates {
    uint32_t input = 0;
    uint32_t output = 0;
    bool operator==(const LineRates&) const = default;
};
std::optional<LineRates> RatesOf(int fd);

} // namespace zor::posix
