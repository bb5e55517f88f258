#include "sim/SimGasLevel.h"

#include <cmath>

namespace zor {

void SimGasLevel::moveTo(double target, uint32_t nowMs)
{
    from_ = at(nowMs);
    to_ = target;
    since_ = nowMs;
}

void SimGasLevel::settle(double level)
{
    from_ = to_ = level;
}

double SimGasLevel::at(uint32_t nowMs) const
{
    if (t90Ms_ == 0 || from_ == to_)
        return to_;
    // 90 % of the step after t90: the time constant is t90 / ln 10.
    const double elapsed = static_cast<uint32_t>(nowMs - since_);
    return to_ + (from_ - to_) * std::exp(-elapsed * std::log(10.0) / t90Ms_);
}

} // namespace zor
