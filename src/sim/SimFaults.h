#pragma once
// The ways a simulated detector can misbehave on the bus, and its answer
// timing. The bus applies them to every request the detector understands.

#include <cstdint>
#include <vector>

namespace zor {

// Answer with the exception code instead of serving the request, for
// requests of the function (any when -1) that touch the register (any when
// -1; input registers by their wire number, 0x0105).
struct SimExceptionRule {
    int function = -1;
    int reg = -1;
    uint8_t code = 4;
};

struct SimFaults {
    bool silent = false; // hears nothing, answers nothing
    bool badCrc = false; // answers with a corrupted CRC
    uint32_t splitPauseMs = 0; // answers in two halves this far apart (0: whole)
    uint32_t delayMs = 0; // answers this much later than the turnaround
    uint32_t turnaroundMs = 5; // from the end of the request to the answer
    std::vector<SimExceptionRule> exceptions;
};

} // namespace zor
