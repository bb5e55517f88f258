#include "sim/ModbusSlave.h"

namespace zor {

namespace {

uint16_t word(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] << 8 | p[1]);
}

void putWord(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

// The registers a request touches, for matching fault rules.
struct Span {
    uint16_t first = 0;
    uint16_t count = 0;
};

Span spanOf(uint8_t function, const uint8_t* request, size_t n)
{
    if (n < 6)
        return {};
    switch (function) {
    case 3:
    case 4:
    case 16:
        return { word(request + 2), word(request + 4) };
    case 6:
        return { word(request + 2), 1 };
    default:
        return {};
    }
}

const SimExceptionRule* matchingRule(const SimFaults& faults, uint8_t function, Span span)
{
    for (const SimExceptionRule& rule : faults.exceptions) {
        const bool fnMatches = rule.function < 0 || rule.function == function;
        const bool regMatches = rule.reg < 0 || (rule.reg >= span.first && rule.reg < span.first + span.count);
        if (fnMatches && regMatches)
            return &rule;
    }
    return nullptr;
}

} // namespace

std::vector<uint8_t> serveRequest(SimDetector& detector, const uint8_t* request, size_t n)
{
    if (n < 2)
        return {};
    const uint8_t function = request[1];
    std::vector<uint8_t> answer { request[0], function };
    const auto exception = [&](uint8_t code) {
        answer[1] = static_cast<uint8_t>(function | 0x80);
        answer.resize(2);
        answer.push_back(code);
        return answer;
    };

    if (const SimExceptionRule* rule = matchingRule(detector.faults(), function, spanOf(function, request, n)))
        return exception(rule->code);

    switch (function) {
    case 3:
    case 4: {
        if (n < 6)
            return exception(kExIllegalValue);
        const uint16_t start = word(request + 2), count = word(request + 4);
        if (const uint8_t code = detector.checkRead(function, start, count))
            return exception(code);
        answer.push_back(static_cast<uint8_t>(2 * count));
        for (uint16_t i = 0; i < count; ++i) {
            const uint16_t reg = static_cast<uint16_t>(start + i);
            putWord(answer, function == 3 ? detector.holding(reg) : detector.input(reg));
        }
        return answer;
    }
    case 6: {
        if (n < 6)
            return exception(kExIllegalValue);
        if (const uint8_t code = detector.writeHolding(word(request + 2), word(request + 4)))
            return exception(code);
        return { request, request + 6 };
    }
    case 16: {
        if (n < 7)
            return exception(kExIllegalValue);
        const uint16_t start = word(request + 2), count = word(request + 4);
        const uint8_t bytes = request[6];
        if (count < 1 || count > 123 || bytes != 2 * count || n < 7u + bytes)
            return exception(kExIllegalValue);
        std::vector<uint16_t> values(count);
        for (uint16_t i = 0; i < count; ++i)
            values[i] = word(request + 7 + 2 * i);
        if (const uint8_t code = detector.writeBlock(start, values.data(), count))
            return exception(code);
        return { request, request + 6 };
    }
    default:
        return exception(kExIllegalFunction);
    }
}

} // namespace zor
