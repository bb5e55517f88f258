#pragma once
// The shown period of a detector's trend as a table for a spreadsheet:
// UTF-8 with a byte-order mark (so that a spreadsheet reads the Cyrillic
// heads right), ";" between cells, CR LF line ends, one row a point with
// its local time and UTC, the concentration with the gas's decimals and the
// user's decimal separator, and "нет ответа" where the detector did not
// answer.

#include "app/TrendRecorder.h"

#include <cstddef>
#include <string>

namespace zor {

// Points [first, last) of the trend.
std::string TrendCsv(const TrendOf& trend, size_t first, size_t last, char separator);

// A time as "YYYY-MM-DD HH:MM:SS", in the local time zone or in UTC.
std::string TimeText(int64_t timeMs, bool utc);

} // namespace zor
