#pragma once
// The gas concentration at a detector's sensor, in register units: it moves
// toward the last level set with a first-order response, the way a sensor
// follows test gas (90 % of a step after the response time).

#include <cstdint>

namespace zor {

class SimGasLevel {
public:
    void setResponseTime(uint32_t t90Ms) { t90Ms_ = t90Ms; }
    // Starts moving from the present level toward target at nowMs.
    void moveTo(double target, uint32_t nowMs);
    // Jumps to the level at once.
    void settle(double level);
    double at(uint32_t nowMs) const;
    double target() const { return to_; }

private:
    double from_ = 0;
    double to_ = 0;
    uint32_t since_ = 0;
    uint32_t t90Ms_ = 10000;
};

} // namespace zor
