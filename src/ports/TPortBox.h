#pragma once
// The port list of the main window: a list-only drop-down linked to a port
// holder. It shows the holder's catalogue, selects the holder's port, and
// writes the user's pick back into the holder before telling the window.
// The Qt view renders it as any list, calls Pick when the user picks an
// entry and DropDown when the list is about to open.

#include "forms/Controls.h"
#include "ports/TDeviceChange.h"

#include <functional>

namespace zor::ports {

class TPortHolder;

class TPortBox : public forms::ComboList {
public:
    TPortBox() = default;
    ~TPortBox() override;
    TPortBox(const TPortBox&) = delete;
    TPortBox& operator=(const TPortBox&) = delete;

    TPortHolder* PortHolder() const { return fComm; }
    // Refills the items from the holder's catalogue, selects the holder's
    // port and listens to the holder; null unlinks and leaves the list empty.
    void SetPortHolder(TPortHolder* holder);
    // Kept for the window description; it changes nothing.
    bool ResetOnChanged() const { return fReset; }
    void SetResetOnChanged(bool on) { fReset = on; }

    // Refills from the same holder, so that the selection follows its port.
    void Reload();
    // The user picked an entry: the holder takes its port, then OnChange.
    // Picking the selected entry again does the same.
    void Pick(int index);
    // The list is about to open: ports may have come or gone since it was
    // built, so the holder builds it anew.
    void DropDown();
    // Hands a device-change message to the holder.
    bool WMDeviceChange(const TDeviceChange& msg);

    std::function<void()> OnChange;

private:
    void Unlink();

    TPortHolder* fComm = nullptr;
    bool fReset = false;
};

} // namespace zor::ports
