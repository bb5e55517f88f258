#pragma once
// The modal window of "Сетевой порт...": the host, the TCP port and the mode
// of a bus reached over the network. The Qt program shows a window; tests
// answer it themselves.

#include "link/NetworkName.h"

namespace zor {

class NetworkPortDialog {
public:
    virtual ~NetworkPortDialog() = default;
    // Edits address in place; true when the technician confirms. On cancel
    // address must be left as it was.
    virtual bool edit(NetworkAddress& address) = 0;
};

} // namespace zor
