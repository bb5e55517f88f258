#pragma once
// Journal records as CSV for spreadsheet programs with Russian settings:
// UTF-8 with a byte order mark, fields apart by ";", CR LF line ends, a field
// that holds ";", a quote or a line end quoted.

#include "journal/JournalRecord.h"

#include <string>
#include <vector>

namespace zor::journal {

std::string JournalCsv(const std::vector<JournalRecord>& records);

} // namespace zor::journal
