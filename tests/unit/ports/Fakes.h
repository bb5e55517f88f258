#pragma once
// A platform whose ports the test sets, counting how often it is read, and
// a settings dialog that answers from the test.

#include "ports/LineSettingsDialog.h"
#include "ports/PortProvider.h"

#include <functional>
#include <memory>

namespace zor::ports::test {

inline TPortEntry Device(std::string portName, std::string description, std::string manufacturer = {})
{
    TPortEntry r;
    r.PortName = std::move(portName);
    r.Description = std::move(description);
    r.Manufacturer = std::move(manufacturer);
    return r;
}

struct FakePlatform {
    PlatformPorts ports;
    int reads = 0;
};

class FakePortProvider final : public PortProvider {
public:
    explicit FakePortProvider(FakePlatform& platform)
        : platform_(platform)
    {
    }
    PlatformPorts ReadPorts() override
    {
        ++platform_.reads;
        return platform_.ports;
    }

private:
    FakePlatform& platform_;
};

inline std::unique_ptr<PortProvider> Provide(FakePlatform& platform)
{
    return std::make_unique<FakePortProvider>(platform);
}

// Sees the port name and the settings shown; confirms with the edited
// settings when a change is given, cancels after scribbling otherwise.
struct ScriptedDialog final : LineSettingsDialog {
    std::function<void(CommConfig&)> change;
    std::string shownPort;
    CommConfig shown;
    bool edit(const std::string& portName, CommConfig& config) override
    {
        shownPort = portName;
        shown = config;
        if (!change) {
            config.BaudRate = 1; // a cancelled dialog's edits are not kept
            return false;
        }
        change(config);
        return true;
    }
};

} // namespace zor::ports::test
