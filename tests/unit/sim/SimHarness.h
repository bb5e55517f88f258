#pragma once
// A simulated bus in virtual time whose answers the test reads back as hex
// text: requests are heard whole at the present time, and every byte the bus
// puts on the line is kept with its time and line settings.

#include "link/TVSModbusRTU.h"
#include "runtime/VirtualLoop.h"
#include "sim/SimBus.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace zor::test {

inline std::vector<uint8_t> bytesOf(std::string_view hex)
{
    std::vector<uint8_t> out;
    size_t i = 0;
    while (i < hex.size()) {
        if (hex[i] == ' ') {
            ++i;
            continue;
        }
        out.push_back(static_cast<uint8_t>(std::stoul(std::string(hex.substr(i, 2)), nullptr, 16)));
        i += 2;
    }
    return out;
}

inline std::string hexOf(const std::vector<uint8_t>& bytes)
{
    std::string out;
    char b[4];
    for (uint8_t x : bytes) {
        std::snprintf(b, sizeof b, out.empty() ? "%02X" : " %02X", x);
        out += b;
    }
    return out;
}

// The frame with its CRC, low byte first.
inline std::string withCrc(std::string_view hex)
{
    std::vector<uint8_t> f = bytesOf(hex);
    const uint16_t crc = ModbusCRC16(f.data(), f.size());
    f.push_back(static_cast<uint8_t>(crc));
    f.push_back(static_cast<uint8_t>(crc >> 8));
    return hexOf(f);
}

inline LineSettings lineOf(uint32_t baud, ParityKind parity = ParityKind::Even, StopBitsKind stop = StopBitsKind::One)
{
    LineSettings s;
    s.baud = baud;
    s.parity = parity;
    s.stopBits = stop;
    return s;
}

inline const HeardLine kBusLine { lineOf(19200), false };

class SimHarness {
public:
    struct Sent {
        uint64_t at;
        std::vector<uint8_t> bytes;
        LineSettings line;
    };

    SimHarness()
    {
        bus.setOutput([this](const uint8_t* d, size_t n, const LineSettings& s) {
            sent.push_back({ loop.now(), { d, d + n }, s });
        });
    }

    // Hears the request frame as written (CRC included) now.
    void hearRaw(std::string_view hex, const HeardLine& heard = kBusLine)
    {
        const std::vector<uint8_t> f = bytesOf(hex);
        bus.receive(f.data(), f.size(), heard);
    }

    // Hears the request (CRC added), lets waitMs pass and returns what the
    // bus answered, CRC checked and left off ("" for nothing, "BAD CRC" for
    // a broken one).
    std::string ask(std::string_view pdu, const HeardLine& heard = kBusLine, uint32_t waitMs = 100)
    {
        const size_t before = sent.size();
        hearRaw(withCrc(pdu), heard);
        loop.advance(waitMs);
        std::vector<uint8_t> answer;
        for (size_t i = before; i < sent.size(); ++i)
            answer.insert(answer.end(), sent[i].bytes.begin(), sent[i].bytes.end());
        if (answer.empty())
            return "";
        if (answer.size() < 4 || ModbusCRC16(answer.data(), answer.size()) != 0)
            return "BAD CRC";
        answer.resize(answer.size() - 2);
        return hexOf(answer);
    }

    VirtualLoop loop;
    SimBus bus { loop };
    std::vector<Sent> sent;
};

} // namespace zor::test
