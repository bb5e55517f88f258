#pragma once
// The save dialog's texts on Qt: the window's filter, written as
// "Caption|pattern|Caption|pattern", becomes Qt's "Caption (patterns)" list,
// and a typed name without an extension gets the default one.

#include <string>
#include <vector>

namespace zor::ui {

// One Qt name filter per caption/pattern pair. Patterns match as the
// technicians' file names do, whatever the letter case ("*.ZOR" lists
// "a.zor" too), and "*.*" lists every name, with a dot or without.
std::vector<std::string> QtNameFilters(const std::string& filter);

// path with "." and ext added when its file name has no extension.
std::string WithDefaultExtension(const std::string& path, const std::string& ext);

} // namespace zor::ui
