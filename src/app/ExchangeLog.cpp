#include "app/ExchangeLog.h"

namespace zor {

void ExchangeLog::Add(const std::string& entry)
{
    const size_t start = text_.size();
    text_ += entry;
    text_ += "\r\n";
    if (observer_)
        observer_(text_.substr(start));
}

} // namespace zor
