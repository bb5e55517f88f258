#include "app/LogFile.h"

#include "app/FileReplace.h"

namespace zor {

namespace {

// Code points of Windows-1251 bytes 0x80..0xBF; 0xC0..0xFF are А..я in order.
constexpr char16_t kHigh[64] = { 0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0000,
    0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491,
    0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457 };

char ToByte(char32_t cp)
{
    if (cp < 0x80)
        return static_cast<char>(cp);
    if (cp >= 0x0410 && cp <= 0x044F)
        return static_cast<char>(0xC0 + (cp - 0x0410));
    for (int i = 0; i < 64; ++i)
        if (kHigh[i] != 0 && kHigh[i] == cp)
            return static_cast<char>(0x80 + i);
    return '?';
}

// Decodes one UTF-8 sequence at s[i], advancing i; a malformed byte counts
// as one unknown character.
char32_t NextCodePoint(const std::string& s, size_t& i)
{
    const auto b = static_cast<unsigned char>(s[i]);
    int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    char32_t cp = extra == 3 ? (b & 0x07u) : extra == 2 ? (b & 0x0Fu) : extra == 1 ? (b & 0x1Fu) : b;
    if (b >= 0x80 && extra == 0) {
        ++i;
        return 0xFFFD;
    }
    ++i;
    for (; extra > 0; --extra, ++i) {
        if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80)
            return 0xFFFD;
        cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 0x3Fu);
    }
    return cp;
}

} // namespace

std::string ToWindows1251(const std::string& utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();)
        out += ToByte(NextCodePoint(utf8, i));
    return out;
}

std::string SaveLogFile(const std::string& path, const LogStore& text)
{
    return ReplaceFile(path, [&](const ByteSink& sink) {
        text.ForEachPiece([&](std::string_view piece) { sink(ToWindows1251(std::string(piece))); });
    });
}

} // namespace zor
