#pragma once
// The exchange log: one growing text, never cleared. Every entry is ended
// with its own CR LF, so an entry that already ends with one (the register
// lines of an answer) is followed by an empty line. Appending costs the same
// however long the log has grown.

#include <functional>
#include <string>

namespace zor {

class ExchangeLog {
public:
    // Adds one entry at the end.
    void Add(const std::string& entry);
    const std::string& Text() const { return text_; }
    size_t Size() const { return text_.size(); }

    // The view's hook: called with each appended piece (entry and CR LF).
    void SetObserver(std::function<void(const std::string& appended)> fn) { observer_ = std::move(fn); }

private:
    std::string text_;
    std::function<void(const std::string&)> observer_;
};

} // namespace zor
