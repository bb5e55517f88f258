#pragma once
// The other windows as the main window's logic needs them. The Qt program
// shows real windows; tests record the calls and may let time pass while a
// "modal window" is open.

namespace zor {

class WindowHost {
public:
    virtual ~WindowHost() = default;
    // Shows the LoRa window modally; returns when the user has closed it.
    // Answers and timers keep being handled meanwhile.
    virtual void ShowLoraModal() = 0;
    virtual bool LoraVisible() const = 0;
    // The concentration dialog: not modal, stays on top.
    virtual void ShowConcentrationDialog() = 0;
    virtual void CloseConcentrationDialog() = 0;
    // The help window: not modal; a second call only brings it forward.
    virtual void ShowHelp() = 0;
    // Opens the tree's popup menu at the mouse cursor.
    virtual void PopupMenuLora() = 0;
};

} // namespace zor
