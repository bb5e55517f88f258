#pragma once
// The exchange log: one growing text, never cleared. Every entry is ended
// with its own CR LF, so an entry that already ends with one (the register
// lines of an answer) is followed by an empty line. The text is kept compact
// (LogStore), so that a day of reading neither fills the memory nor slows
// appending down.

#include "app/LogStore.h"

#include <functional>
#include <string>

namespace zor {

class ExchangeLog {
public:
    // Adds one entry at the end.
    void Add(const std::string& entry);
    // The whole text, as the log file holds it (before its code page).
    std::string Text() const;
    size_t Size() const { return store_.Size(); }
    const LogStore& Lines() const { return store_; }

    // The view's hook: called after each entry with the number of lines the
    // log has now.
    void SetObserver(std::function<void(size_t lines)> fn) { observer_ = std::move(fn); }

private:
    LogStore store_;
    std::function<void(size_t)> observer_;
};

} // namespace zor
