#pragma once
// Puts a simulated bus at the far end of an in-memory wire, in virtual time:
//
//   VirtualLoop loop;
//   MemoryWire wire(loop);
//   SimBus bus(loop);
//   bus.add(SimModel::Zor11, 5).gas(24);
//   SimWireTransport transport(bus, wire);
//   TVSModbusRTU modbus(loop, wire.masterPort());
//
// Each byte reaches the detectors at its arrival time with the master's
// line settings; answers go back with the detector's own.

#include "link/MemoryWire.h"
#include "sim/SimBus.h"

namespace zor {

class SimWireTransport {
public:
    SimWireTransport(SimBus& bus, MemoryWire& wire);
    ~SimWireTransport();
    SimWireTransport(const SimWireTransport&) = delete;
    SimWireTransport& operator=(const SimWireTransport&) = delete;

private:
    SimBus& bus_;
    MemoryWire& wire_;
};

} // namespace zor
