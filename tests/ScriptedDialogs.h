#pragma once
// Message boxes for the tests that drive the window logic: every box is
// recorded, answered from a script, and may let events run while it is open.

#include "forms/Dialogs.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zor::test {

// Message boxes: each is recorded; the answer comes from the queue, else OK
// (Yes for a question). whileOpen runs while a box is open, as the replies
// and timers a nested loop would handle.
class ScriptedDialogs final : public forms::Dialogs {
public:
    struct Shown {
        forms::DialogOwner owner;
        forms::MessageKind kind;
        std::string text;
        forms::MessageButtons buttons;
    };
    std::vector<Shown> shown;
    std::deque<forms::Answer> answers;
    std::function<void()> whileOpen;

    forms::Answer message(forms::DialogOwner owner, forms::MessageKind kind, const std::string& text,
        forms::MessageButtons buttons) override
    {
        shown.push_back({ owner, kind, text, buttons });
        if (whileOpen)
            whileOpen();
        if (!answers.empty()) {
            const forms::Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        return buttons == forms::MessageButtons::YesNo ? forms::Answer::Yes : forms::Answer::Ok;
    }
    // The save dialog: what it was shown, and the path it returns.
    std::optional<std::string> savePath;
    std::string saveFilter;
    std::string saveExt;
    std::optional<std::string> saveFileName(const std::string& filter, const std::string& defaultExt) override
    {
        saveFilter = filter;
        saveExt = defaultExt;
        return savePath;
    }

    std::vector<std::string> texts() const
    {
        std::vector<std::string> t;
        for (const Shown& s : shown)
            t.push_back(s.text);
        return t;
    }
};

} // namespace zor::test
