#pragma once
// Writing a document the technician saves (log, trend table, chart): the
// bytes go to a temporary file beside the chosen one, which is then renamed
// over it, so a failed save leaves an old file of that name as it was.

#include <functional>
#include <string>
#include <string_view>

namespace zor {

using ByteSink = std::function<void(std::string_view bytes)>;

// produce hands the file's bytes, in order, to the sink it is given.
// Returns the error's text, empty on success.
std::string ReplaceFile(const std::string& path, const std::function<void(const ByteSink&)>& produce);

} // namespace zor
