#pragma once
// The log file: the log's text in the Cyrillic 8-bit code page the
// technicians' logs are exchanged in (Windows-1251), CR LF line ends, no
// byte-order mark.

#include "app/LogStore.h"

#include <string>

namespace zor {

// UTF-8 to Windows-1251; a character the code page lacks becomes "?".
std::string ToWindows1251(const std::string& utf8);

// Writes the log's text to path, replacing an existing file atomically
// (ReplaceFile). The text is converted and written a block at a time, so
// that saving a long log takes no more memory than showing it. Returns the
// error's text, empty on success.
std::string SaveLogFile(const std::string& path, const LogStore& text);

} // namespace zor
