#include "sim/SimWireTransport.h"

namespace zor {

SimWireTransport::SimWireTransport(SimBus& bus, MemoryWire& wire)
    : bus_(bus)
    , wire_(wire)
{
    wire_.setSlaveReceiver([this](uint8_t byte, const LineSettings& sentWith) {
        bus_.receive(&byte, 1, HeardLine { sentWith, false });
    });
    bus_.setOutput(
        [this](const uint8_t* data, size_t n, const LineSettings& settings) { wire_.slaveSend(data, n, settings); });
}

SimWireTransport::~SimWireTransport()
{
    wire_.setSlaveReceiver(nullptr);
    bus_.setOutput(nullptr);
}

} // namespace zor
