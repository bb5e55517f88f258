#pragma once
// The port and line settings kept across runs, in the user's configuration
// directory (Qt's settings: ~/.config/zor-tool/zor-tool.conf).

#include "app/LineMemory.h"

#include <optional>

namespace zor::ui {

void StoreLineMemory(const LineMemory& line);
// Nothing before the first run that stored any.
std::optional<LineMemory> LoadLineMemory();

} // namespace zor::ui
