#pragma once
// The log file: the log's text in the Cyrillic 8-bit code page the
// technicians' logs are exchanged in (Windows-1251), CR LF line ends, no
// byte-order mark.

#include <string>

namespace zor {

// UTF-8 to Windows-1251; a character the code page lacks becomes "?".
std::string ToWindows1251(const std::string& utf8);

// Writes the text to path, replacing an existing file atomically: the bytes
// go to a temporary file beside it, which is then renamed over it, so a
// failed save leaves the old file as it was. Returns the error's text, empty
// on success.
std::string SaveLogFile(const std::string& path, const std::string& utf8Text);

} // namespace zor
