// Arbitrary request bytes for a simulated bus: it must neither crash nor
// hang. The input is a run of records: a length byte, a control byte and
// that many request bytes. Control bit 0 appends a good CRC (so that the
// fuzzer reaches the register model), bits 1..2 choose the line the bytes
// are heard with, bits 3..7 the pause after them in milliseconds.

#include "link/TVSModbusRTU.h"
#include "runtime/VirtualLoop.h"
#include "sim/SimBus.h"
#include "sim/SimBusFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

zor::HeardLine heardLine(unsigned choice)
{
    zor::HeardLine h;
    h.settings.baud = choice & 1 ? 9600 : 19200;
    h.settings.parity = zor::ParityKind::Even;
    h.rateOnly = choice & 2;
    return h;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zor::VirtualLoop loop;
    zor::SimBus bus(loop);
    zor::loadBusText(bus, zor::demoBusText(), "demo");
    bus.add(zor::SimModel::Zor10, 9).line(9600).radio(false).splitAnswer(3).badCrc();
    bus.add(zor::SimModel::Zor12, 10).exceptionOn(3, 4).error(zor::SimError::SupplyLow);
    bus.setOutput([](const uint8_t*, size_t, const zor::LineSettings&) {});

    size_t i = 0;
    while (i + 2 <= size) {
        const size_t length = data[i];
        const uint8_t control = data[i + 1];
        i += 2;
        std::vector<uint8_t> bytes(data + i, data + std::min(size, i + length));
        i += bytes.size();
        if ((control & 1) && !bytes.empty()) {
            const uint16_t crc = zor::ModbusCRC16(bytes.data(), bytes.size());
            bytes.push_back(static_cast<uint8_t>(crc));
            bytes.push_back(static_cast<uint8_t>(crc >> 8));
        }
        bus.receive(bytes.data(), bytes.size(), heardLine((control >> 1) & 3));
        loop.advance(control >> 3);
    }
    loop.advance(10000);
    return 0;
}
