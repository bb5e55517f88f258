#include "link/FrameAssembler.h"

#include <cstring>

namespace zor {

TVSRTUresult FrameAssembler::Check(const uint8_t* data, size_t size)
{
    if (size < 4)
        return TVSRTUresult::vsrErrorSize;
    // The CRC over a frame together with its own CRC bytes is zero.
    if (ModbusCRC16(data, size) != 0)
        return TVSRTUresult::vsrErrorCRC;
    return TVSRTUresult::vsrOk;
}

TVSRTUresult FrameAssembler::Feed(const uint8_t* chunk, uint16_t size, Frame& frame)
{
    // A chunk that passes on its own is an answer, whatever was kept.
    TVSRTUresult result = Check(chunk, size);
    if (result == TVSRTUresult::vsrOk) {
        frame = { chunk, size };
        kept_ = 0;
        return result;
    }
    if (kept_ > 0 && kept_ + size <= kKeepLimit) {
        std::memcpy(buffer_.data() + kept_, chunk, size);
        const size_t joined = kept_ + size;
        result = Check(buffer_.data(), joined);
        if (result == TVSRTUresult::vsrOk) {
            frame = { buffer_.data(), static_cast<uint16_t>(joined) };
            kept_ = 0;
            return result;
        }
        kept_ = joined;
        return result;
    }
    Keep(chunk, size);
    return result;
}

void FrameAssembler::Keep(const uint8_t* chunk, size_t size)
{
    if (size >= kKeepLimit) {
        std::memcpy(buffer_.data(), chunk + size - kKeepLimit, kKeepLimit);
        kept_ = kKeepLimit;
        return;
    }
    const size_t total = kept_ + size;
    if (total > kKeepLimit) {
        const size_t drop = total - kKeepLimit;
        std::memmove(buffer_.data(), buffer_.data() + drop, kept_ - drop);
        kept_ -= drop;
    }
    std::memcpy(buffer_.data() + kept_, chunk, size);
    kept_ += size;
}

} // namespace zor
