// Arbitrary bytes from the master and from a Modbus TCP server into the
// conversion between RTU and MBAP: nothing may crash or read outside the
// bytes it was given, every MBAP request sent is whole, and every frame the
// master is given is one whole RTU frame with a good CRC from the address
// the last request went to, never a second one for the same request.
//
// Input: a run of records, each a byte whose low bit says who speaks (0 the
// master, 1 the server) and whose upper bits how many of the following
// bytes it says.

#include "link/MbapCodec.h"
#include "link/TVSModbusRTU.h"

#include <cstdlib>
#include <optional>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace zor;
    MbapCodec codec;
    std::optional<uint8_t> asked; // the unit of the request awaiting its answer
    for (size_t i = 0; i < size;) {
        const bool server = data[i] & 1;
        const size_t n = data[i++] >> 1;
        const size_t take = n < size - i ? n : size - i;
        if (server) {
            std::vector<uint8_t> rtu;
            codec.fromServer(data + i, take, rtu);
            if (!rtu.empty()) {
                if (!asked || rtu.size() < 4 || rtu[0] != *asked || ModbusCRC16(rtu.data(), rtu.size()) != 0)
                    std::abort();
                asked.reset();
            }
        } else {
            std::vector<uint8_t> tcp;
            codec.fromMaster(data + i, take, tcp);
            while (!tcp.empty()) {
                const std::optional<size_t> whole = MbapFrameSize(tcp);
                if (!whole || *whole == 0)
                    std::abort();
                const uint8_t unit = tcp[kMbapHeaderSize - 1];
                asked = unit == 0 ? std::nullopt : std::optional<uint8_t>(unit);
                tcp.erase(tcp.begin(), tcp.begin() + static_cast<ptrdiff_t>(*whole));
            }
        }
        i += take;
    }
    return 0;
}
