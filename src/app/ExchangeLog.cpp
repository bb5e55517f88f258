#include "app/ExchangeLog.h"

namespace zor {

void ExchangeLog::Add(const std::string& entry)
{
    store_.Append(entry + "\r\n");
    if (observer_)
        observer_(store_.LineCount());
}

std::string ExchangeLog::Text() const
{
    std::string text;
    text.reserve(store_.Size());
    store_.ForEachPiece([&](std::string_view piece) { text.append(piece); });
    return text;
}

} // namespace zor
