#pragma once
// The answer check of the Modbus master, with reassembly. The driver hands
// over whatever arrived between two polling ticks as one chunk, so an answer
// that is still arriving at a tick comes in two (or more) chunks; at 1200
// baud a 19-register answer lasts about 400 ms and most answers would
// straddle a 500 ms tick. A chunk is first checked on its own (length at
// least 4, CRC over it zero); one that fails is kept and tried again with the
// next chunk appended. The owner drops the kept bytes when the input queue is
// purged and when a whole polling period passes without a byte.
//
// Two answers can also land in one chunk (a slow device answering late next
// to the next one): bytes that fail the check whole but are, back to back,
// nothing but frames that pass it each give all those frames, in order.

#include "link/TVSModbusRTU.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace zor {

class FrameAssembler {
public:
    // No Modbus RTU frame is longer; more kept bytes than this cannot belong
    // to one answer, and only the newest are kept.
    static constexpr size_t kKeepLimit = 256;
    // Bytes split into frames are at most two of the longest frames.
    static constexpr size_t kSplitLimit = 2 * kKeepLimit;

    // An accepted frame, CRC included.
    struct Frame {
        const uint8_t* data = nullptr;
        uint16_t size = 0;
    };
    // The frames one feed accepts, in the order they arrived; they point
    // into the chunk or the kept bytes and are valid until the next feed.
    struct Frames {
        std::array<Frame, kSplitLimit / 4> at {};
        size_t count = 0;
    };

    // The check of one frame as received: vsrErrorSize, vsrErrorCRC or vsrOk.
    static TVSRTUresult Check(const uint8_t* data, size_t size);

    // Checks a chunk; on vsrOk, frames holds the chunk itself, or the kept
    // bytes with the chunk appended, or the frames either splits into, and
    // nothing stays kept. Otherwise returns the outcome of the last whole
    // check made and keeps the bytes.
    TVSRTUresult Feed(const uint8_t* chunk, uint16_t size, Frames& frames);
    void Clear() { kept_ = 0; }
    size_t Kept() const { return kept_; }

private:
    void Keep(const uint8_t* chunk, size_t size);
    // Whether data is one frame, or two or more frames back to back; fills
    // frames when it is.
    static bool Accept(const uint8_t* data, size_t size, TVSRTUresult whole, Frames& frames);
    static bool Split(const uint8_t* data, size_t size, Frames& frames);

    std::array<uint8_t, kKeepLimit> buffer_ {};
    size_t kept_ = 0;
};

} // namespace zor
