#pragma once
// What the desktop program takes from the system it runs on: the serial
// port backend, the port catalogue, the watch on ports plugged in and out,
// and the line a simulated bus is reached by. One source file per platform
// provides these (DesktopPlatformPosix.cpp on Linux), picked by CMake, so
// that the rest of the view builds anywhere Qt does.

#include "link/SerialPort.h"
#include "ports/PortEvent.h"
#include "ports/PortProvider.h"

#include <functional>
#include <memory>
#include <string>

namespace zor {
class SimBus;
}

namespace zor::ui {

std::unique_ptr<SerialPort> MakeSerialPort();
std::unique_ptr<ports::PortProvider> MakePortProvider();

// Reports ports that come and go for as long as it lives.
class PortWatch {
public:
    virtual ~PortWatch() = default;
};
// Null where the platform tells nothing of ports coming and going.
std::unique_ptr<PortWatch> WatchPorts(std::function<void(const ports::PortEvent&)> onChange);

// A simulated bus on a port that the tool opens like any other, for as long
// as it lives.
class SimLine {
public:
    virtual ~SimLine() = default;
    // The name the tool opens the port by.
    virtual const std::string& PortName() const = 0;
};
// Null with the reason in error where the line cannot be made.
std::unique_ptr<SimLine> OpenSimLine(SimBus& bus, std::string& error);

} // namespace zor::ui
