// The log file's code page against glibc's iconv, an independent reference:
// every character below U+10000 becomes the byte iconv makes of it, or "?"
// where Windows-1251 has none.

#include "app/LogFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <iconv.h>
#include <optional>
#include <string>

namespace zor {
namespace {

std::string Utf8(char32_t cp)
{
    std::string s;
    if (cp < 0x80) {
        s += static_cast<char>(cp);
    } else if (cp < 0x800) {
        s += static_cast<char>(0xC0 | cp >> 6);
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        s += static_cast<char>(0xE0 | cp >> 12);
        s += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return s;
}

class Iconv {
public:
    Iconv()
        : cd_(iconv_open("WINDOWS-1251", "UTF-8"))
    {
    }
    ~Iconv()
    {
        if (ok())
            iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // The byte of one character; nothing where the code page has none.
    std::optional<std::string> Convert(const std::string& utf8)
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string in = utf8;
        char out[8];
        char* inPtr = in.data();
        size_t inLeft = in.size();
        char* outPtr = out;
        size_t outLeft = sizeof out;
        if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1))
            return errno == EILSEQ ? std::nullopt : std::optional<std::string>("iconv failed");
        return std::string(out, outPtr);
    }

private:
    iconv_t cd_;
};

TEST(LogFileCodePage, EveryCharacterOfTheBasicPlaneAgreesWithIconv)
{
    Iconv reference;
    ASSERT_TRUE(reference.ok()) << "glibc lacks the WINDOWS-1251 converter";
    int inCodePage = 0;
    for (char32_t cp = 1; cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp < 0xE000)
            continue; // surrogates are no characters
        const std::string utf8 = Utf8(cp);
        const std::optional<std::string> expected = reference.Convert(utf8);
        ASSERT_EQ(ToWindows1251(utf8), expected.value_or("?")) << "U+" << std::hex << static_cast<uint32_t>(cp);
        inCodePage += expected.has_value();
    }
    // Every byte but 0x00 and the one unassigned byte, 0x98, is reached.
    EXPECT_EQ(inCodePage, 254);
}

} // namespace
} // namespace zor
