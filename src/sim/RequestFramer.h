#pragma once
// Cuts the bytes a slave hears into requests. The length of a request
// follows from its function code (and, for the multiple writes, from its
// byte count), so a frame ends when its last byte arrives rather than after
// a pause; a silence in the middle of a frame drops what came before it.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zor {

class RequestFramer {
public:
    // Takes one byte heard at nowMs; true when it completes a request, which
    // frame() then holds until the next byte.
    bool push(uint8_t byte, uint32_t nowMs, uint32_t silenceMs);
    void reset();
    const std::vector<uint8_t>& frame() const { return buf_; }

    // Total length of a request starting with these bytes, CRC included, or
    // 0 while more of it is needed to tell.
    static size_t requestLength(const uint8_t* head, size_t have);

private:
    std::vector<uint8_t> buf_;
    uint32_t lastMs_ = 0;
    bool complete_ = false;
};

} // namespace zor
