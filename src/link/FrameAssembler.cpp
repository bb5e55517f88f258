#include "link/FrameAssembler.h"

#include <cstring>

namespace zor {

namespace {
constexpr size_t kMinFrame = 4;
}

TVSRTUresult FrameAssembler::Check(const uint8_t* data, size_t size)
{
    if (size < kMinFrame)
        return TVSRTUresult::vsrErrorSize;
    // The CRC over a frame together with its own CRC bytes is zero.
    if (ModbusCRC16(data, size) != 0)
        return TVSRTUresult::vsrErrorCRC;
    return TVSRTUresult::vsrOk;
}

bool FrameAssembler::Accept(const uint8_t* data, size_t size, TVSRTUresult whole, Frames& frames)
{
    if (whole != TVSRTUresult::vsrOk)
        return Split(data, size, frames);
    frames.at[0] = { data, static_cast<uint16_t>(size) };
    frames.count = 1;
    return true;
}

bool FrameAssembler::Split(const uint8_t* data, size_t size, Frames& frames)
{
    if (size < 2 * kMinFrame || size > kSplitLimit)
        return false;
    // next[i]: where the shortest frame from i ends after which the rest
    // splits too; 0 when there is none. Found from the back, so that each
    // start knows which ends lead on.
    std::array<uint16_t, kSplitLimit + 1> next {};
    next[size] = static_cast<uint16_t>(size);
    for (size_t i = size - kMinFrame + 1; i-- > 0;) {
        uint16_t crc = 0xFFFF;
        for (size_t e = i; e < size; ++e) {
            crc = ModbusCRC16Add(crc, data[e]);
            const size_t end = e + 1;
            if (end - i >= kMinFrame && crc == 0 && next[end] != 0) {
                next[i] = static_cast<uint16_t>(end);
                break;
            }
        }
    }
    if (next[0] == 0)
        return false;
    frames.count = 0;
    for (size_t i = 0; i < size; i = next[i])
        frames.at[frames.count++] = { data + i, static_cast<uint16_t>(next[i] - i) };
    return true;
}

TVSRTUresult FrameAssembler::Feed(const uint8_t* chunk, uint16_t size, Frames& frames)
{
    frames.count = 0;
    // A chunk that passes on its own is an answer, whatever was kept.
    TVSRTUresult result = Check(chunk, size);
    if (Accept(chunk, size, result, frames)) {
        kept_ = 0;
        return TVSRTUresult::vsrOk;
    }
    if (kept_ > 0 && kept_ + size <= kKeepLimit) {
        std::memcpy(buffer_.data() + kept_, chunk, size);
        const size_t joined = kept_ + size;
        result = Check(buffer_.data(), joined);
        if (Accept(buffer_.data(), joined, result, frames)) {
            kept_ = 0;
            return TVSRTUresult::vsrOk;
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
