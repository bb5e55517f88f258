#pragma once
// The answer check of the Modbus master, with reassembly. The driver hands
// over whatever arrived between two polling ticks as one chunk, so an answer
// that is still arriving at a tick comes in two (or more) chunks; at 1200
// baud a 19-register answer lasts about 400 ms and most answers would
// straddle a 500 ms tick. A chunk is first checked on its own (length at
// least 4, CRC over it zero); one that fails is kept and tried again with the
// next chunk appended. The owner drops the kept bytes when the input queue is
// purged and when a whole polling period passes without a byte.

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

    // An accepted frame, CRC included; valid until the next feed.
    struct Frame {
        const uint8_t* data = nullptr;
        uint16_t size = 0;
    };

    // The check of one frame as received: vsrErrorSize, vsrErrorCRC or vsrOk.
    static TVSRTUresult Check(const uint8_t* data, size_t size);

    // Checks a chunk; on vsrOk, frame is the chunk itself or the kept bytes
    // with the chunk appended, and nothing stays kept. Otherwise returns the
    // outcome of the last check made and keeps the bytes.
    TVSRTUresult Feed(const uint8_t* chunk, uint16_t size, Frame& frame);
    void Clear() { kept_ = 0; }
    size_t Kept() const { return kept_; }

private:
    void Keep(const uint8_t* chunk, size_t size);

    std::array<uint8_t, kKeepLimit> buffer_ {};
    size_t kept_ = 0;
};

} // namespace zor
