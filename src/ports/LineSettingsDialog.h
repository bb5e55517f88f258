#pragma once
// The modal dialog that edits a port's line settings: rate, data bits,
// parity, stop bits and flow control. The Qt program shows a window; tests
// answer it themselves.

#include "ports/LineConfig.h"

#include <string>

namespace zor::ports {

class LineSettingsDialog {
public:
    virtual ~LineSettingsDialog() = default;
    // Edits config in place for the named port; true when the user
    // confirms. On cancel config must be left as it was.
    virtual bool edit(const std::string& portName, CommConfig& config) = 0;
};

} // namespace zor::ports
