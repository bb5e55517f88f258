#pragma once
// The current-output adjust mode: the device drives a test current of 1, 4
// or 20 mA and takes back the current the technician measured. Each command
// is one single write outside any write operation.

#include "commands/CommandHost.h"
#include "device/DevicePanel.h"
#include "device/DeviceTable.h"

#include <cstdint>
#include <string>

namespace zor {

class CurrentOutput {
public:
    CurrentOutput(CommandBus& bus, CommandWindow& window, DevicePanel& panel, const DeviceTable& devices);
    CurrentOutput(const CurrentOutput&) = delete;
    CurrentOutput& operator=(const CurrentOutput&) = delete;

    // The test current chosen in the panel's radio buttons.
    void Drive1mA();
    void Drive4mA();
    void Drive20mA();
    // The current measured at the test point, in the panel's edit.
    void WriteMeasured();
    // The adjust mode's check box: the device enters or leaves the mode.
    void FixChanged();

private:
    void Drive(uint16_t command, const std::string& status);

    CommandBus& bus_;
    CommandWindow& window_;
    DevicePanel& panel_;
    const DeviceTable& devices_;
};

} // namespace zor
