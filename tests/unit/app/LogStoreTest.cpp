// The compact log text: every line back by number and the whole text back in
// order, across many packed blocks and the plain one at the end.

#include "app/LogStore.h"
#include "app/ExchangeLog.h"
#include "app/LogFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace zor::test {
namespace {

// Varied lines, so that a line out of its place or out of its block shows.
std::string Entry(int n)
{
    std::string s;
    for (int r = 0; r < 19; ++r)
        s += "Прибор:" + std::to_string(n % 247 + 1) + "  Функция:0x03  Регистр:0x00" + std::to_string(r) + " = 0x"
            + std::to_string(n) + "\r\n";
    return s;
}

TEST(LogStore, EveryLineComesBackByNumberAndTheTextInOrder)
{
    ExchangeLog log;
    std::vector<std::string> expected;
    std::string whole;
    // Enough entries for dozens of packed blocks and an open one.
    for (int n = 0; n < 4000; ++n) {
        const std::string entry = n % 50 == 7 ? "Timeout!" : Entry(n);
        log.Add(entry);
        whole += entry + "\r\n";
    }
    for (size_t from = 0, to; (to = whole.find("\r\n", from)) != std::string::npos; from = to + 2)
        expected.push_back(whole.substr(from, to - from));

    const LogStore& lines = log.Lines();
    ASSERT_EQ(lines.LineCount(), expected.size());
    EXPECT_EQ(lines.Size(), whole.size());
    EXPECT_EQ(log.Text(), whole);
    // Forward, backward and jumping, as a view scrolls.
    for (size_t i = 0; i < expected.size(); i += 7)
        ASSERT_EQ(lines.Line(i), expected[i]) << i;
    for (size_t i = expected.size(); i-- > 0;)
        ASSERT_EQ(lines.Line(i), expected[i]) << i;
    for (size_t i : { size_t { 0 }, expected.size() - 1, size_t { 3 }, expected.size() / 2, size_t { 1 } })
        EXPECT_EQ(lines.Line(i), expected[i]) << i;
    EXPECT_EQ(lines.Line(expected.size()), "");
}

TEST(LogStore, LineEndsAndEmptyLines)
{
    const struct {
        const char* text;
        std::vector<std::string> lines;
    } cases[] = {
        { "", {} },
        { "\r\n", { "" } },
        { "A\r\nB\r\n\r\n", { "A", "B", "" } },
        { "A\nB\r\n", { "A", "B" } },
        { "Ошибка #2\r\n", { "Ошибка #2" } },
    };
    for (const auto& c : cases) {
        LogStore store;
        store.Append(c.text);
        std::vector<std::string> got;
        for (size_t i = 0; i < store.LineCount(); ++i)
            got.push_back(store.Line(i));
        EXPECT_EQ(got, c.lines) << c.text;
    }
}

TEST(LogStore, AFileSavedFromManyBlocksHoldsTheWholeText)
{
    ExchangeLog log;
    for (int n = 0; n < 3000; ++n)
        log.Add(Entry(n));
    const auto path
        = (std::filesystem::temp_directory_path() / ("zor-long-" + std::to_string(::getpid()) + ".log")).string();
    ASSERT_EQ(SaveLogFile(path, log.Lines()), "");
    std::ifstream in(path, std::ios::binary);
    const std::string bytes { std::istreambuf_iterator<char>(in), {} };
    EXPECT_EQ(bytes, ToWindows1251(log.Text()));
    std::filesystem::remove(path);
}

} // namespace
} // namespace zor::test
