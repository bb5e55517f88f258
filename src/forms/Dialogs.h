#pragma once
// Modal things go through this interface: message boxes, questions and the
// save dialog. The Qt implementation runs a nested event loop, so replies and
// timers keep being handled while a box is open; tests answer from a script
// and may let virtual time pass while "the user reads the box".

#include <optional>
#include <string>

namespace zor::forms {

// Whose message-box position applies: the main window's centre moved 150 px
// left and 50 px up, or the LoRa window's centre moved 170 px left and 50 up.
enum class DialogOwner { Main, Lora };

enum class MessageKind { Information, Warning, Error, Confirmation };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class Answer { Ok, Cancel, Yes, No };

class Dialogs {
public:
    virtual ~Dialogs() = default;

    virtual Answer message(DialogOwner owner, MessageKind kind, const std::string& text, MessageButtons buttons) = 0;

    // The save dialog: filter in the "Caption|pattern|Caption|pattern" form,
    // the default extension without its dot. Returns the chosen path with the
    // default extension added when the typed name had none, or nothing when
    // the user cancels.
    virtual std::optional<std::string> saveFileName(const std::string& filter, const std::string& defaultExt) = 0;

    // Shorthand for an information box with OK at the owner's position.
    void inform(DialogOwner owner, const std::string& text)
    {
        message(owner, MessageKind::Information, text, MessageButtons::Ok);
    }
};

} // namespace zor::forms
