// Arbitrary chunks into the answer check and its reassembly: nothing may
// crash or read outside the bytes it was given, and whatever is accepted is made
// of whole frames with a good CRC.
//
// Input: a run of records, each a length byte and that many bytes. Length 0
// stands for a polling period without a byte.

#include "link/FrameAssembler.h"
#include "link/MemoryWire.h"
#include "link/TVSModbusRTU.h"
#include "runtime/VirtualLoop.h"

#include <cstdlib>
#include <vector>

namespace {

void checkFrame(const uint8_t* data, size_t size)
{
    if (size < 4 || size > 0xFFFF || zor::ModbusCRC16(data, size) != 0)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace zor;

    std::vector<std::vector<uint8_t>> chunks;
    for (size_t i = 0; i < size;) {
        const size_t n = data[i++];
        const size_t take = n < size - i ? n : size - i;
        chunks.emplace_back(data + i, data + i + take);
        i += take;
    }

    FrameAssembler assembler;
    for (const auto& chunk : chunks) {
        if (chunk.empty()) {
            assembler.Clear();
            continue;
        }
        FrameAssembler::Frames frames;
        if (assembler.Feed(chunk.data(), static_cast<uint16_t>(chunk.size()), frames) == TVSRTUresult::vsrOk)
            for (size_t i = 0; i < frames.count; ++i)
                checkFrame(frames.at[i].data, frames.at[i].size);
        if (assembler.Kept() > FrameAssembler::kKeepLimit)
            std::abort();
    }

    // The same chunks through the master, one polling tick each.
    VirtualLoop loop;
    MemoryWire wire(loop);
    TVSModbusRTU rtu(loop, wire.masterPort());
    rtu.SetBaudRateValue(115200);
    rtu.SetPollingDelay(50);
    const auto onPacket = [](TVSModbusRTU& m, const uint8_t* d, uint16_t n) {
        // The payload lies inside the accepted frame: the CRC follows it.
        if (d != m.Answer.Data || n != m.Answer.Size)
            std::abort();
        volatile uint8_t sink = 0;
        for (uint16_t k = 0; k < n + 2; ++k)
            sink = sink ^ d[k];
        (void)sink;
    };
    rtu.SetOnModbusPacketEvent(onPacket);
    rtu.SetOnCustomPacketEvent(onPacket);
    if (!rtu.Open())
        std::abort();
    LineSettings line;
    line.baud = 115200;
    for (const auto& chunk : chunks) {
        wire.slaveSend(chunk.data(), chunk.size(), line);
        loop.advance(rtu.PollingDelay());
    }
    return 0;
}
