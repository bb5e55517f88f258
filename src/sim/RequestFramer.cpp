#include "sim/RequestFramer.h"

namespace zor {

size_t RequestFramer::requestLength(const uint8_t* head, size_t have)
{
    if (have < 2)
        return 0;
    switch (head[1]) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
    case 8:
        return 8; // address, function, two words, CRC
    case 15:
    case 16:
        return have < 7 ? 0 : 9 + size_t { head[6] };
    case 22:
        return 10;
    case 23:
        return have < 11 ? 0 : 13 + size_t { head[10] };
    default:
        // Functions without a fixed body (7, 11, 12, 17 and unknown ones):
        // address, function and CRC.
        return 4;
    }
}

bool RequestFramer::push(uint8_t byte, uint32_t nowMs, uint32_t silenceMs)
{
    if (complete_ || (!buf_.empty() && static_cast<uint32_t>(nowMs - lastMs_) > silenceMs)) {
        buf_.clear();
        complete_ = false;
    }
    buf_.push_back(byte);
    lastMs_ = nowMs;
    const size_t length = requestLength(buf_.data(), buf_.size());
    complete_ = length != 0 && buf_.size() >= length;
    return complete_;
}

void RequestFramer::reset()
{
    buf_.clear();
    complete_ = false;
}

} // namespace zor
