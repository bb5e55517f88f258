#pragma once
// The program's general error report. Every user gesture and every timer or
// descriptor callback runs through Guarded: an error that escapes the
// handler is shown in a message box with its text, and the program goes on.

#include <functional>
#include <string>

namespace zor::ui {

// Who shows the error's text; until one is set, it goes to Qt's warning log.
void SetErrorReporter(std::function<void(const std::string& text)> reporter);

// Runs fn; an exception escaping it is reported and swallowed.
void Guarded(const std::function<void()>& fn);

} // namespace zor::ui
