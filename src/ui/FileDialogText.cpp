#include "ui/FileDialogText.h"

#include <cctype>
#include <sstream>

namespace zor::ui {

namespace {

std::vector<std::string> Split(const std::string& text, char sep)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, sep))
        parts.push_back(part);
    return parts;
}

std::string QtPattern(const std::string& pattern)
{
    if (pattern == "*.*")
        return "*";
    std::string out;
    for (const char c : pattern) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isalpha(u))
            out += std::string("[") + static_cast<char>(std::toupper(u)) + static_cast<char>(std::tolower(u)) + "]";
        else
            out += c;
    }
    return out;
}

} // namespace

std::vector<std::string> QtNameFilters(const std::string& filter)
{
    const std::vector<std::string> parts = Split(filter, '|');
    std::vector<std::string> filters;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string patterns;
        for (const std::string& p : Split(parts[i + 1], ';'))
            patterns += (patterns.empty() ? "" : " ") + QtPattern(p);
        filters.push_back(parts[i] + " (" + patterns + ")");
    }
    return filters;
}

std::string WithDefaultExtension(const std::string& path, const std::string& ext)
{
    const size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || dot == 0)
        return path + "." + ext;
    if (dot + 1 == name.size())
        return path + ext;
    return path;
}

} // namespace zor::ui
