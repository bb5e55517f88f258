// Fault injection: what a detector with each fault puts on the line, and when.

#include "SimHarness.h"

#include <functional>
#include <gtest/gtest.h>

namespace zor::test {
namespace {

struct Piece {
    uint64_t at;
    std::string bytes;
    bool operator==(const Piece&) const = default;
};

void PrintTo(const Piece& p, std::ostream* os)
{
    *os << p.at << " ms: " << p.bytes;
}

struct FaultCase {
    const char* name;
    std::function<void(SimDetector&)> fault;
    const char* request;
    std::vector<Piece> expected;
};

TEST(SimFaults, EachFaultShowsOnTheLine)
{
    const std::string id = withCrc("01 03 04 6F 25 00 8F");
    // Bytes from..to of the identification answer.
    const auto part = [&](size_t from, size_t to) {
        const std::vector<uint8_t> b = bytesOf(id);
        return hexOf({ b.begin() + from, b.begin() + to });
    };
    const FaultCase cases[] = {
        { "none", [](SimDetector&) {}, "01 03 00 06 00 02", { { 5, id } } },
        { "turnaround", [](SimDetector& d) { d.turnaround(40); }, "01 03 00 06 00 02", { { 40, id } } },
        { "delay", [](SimDetector& d) { d.delayAnswer(1200); }, "01 03 00 06 00 02", { { 1205, id } } },
        { "silent", [](SimDetector& d) { d.silent(); }, "01 03 00 06 00 02", {} },
        { "split", [](SimDetector& d) { d.splitAnswer(600); }, "01 03 00 06 00 02",
            { { 5, part(0, 4) }, { 605, part(4, 9) } } },
        { "exception on a register read", [](SimDetector& d) { d.exceptionOn(7, 2); }, "01 03 00 06 00 02",
            { { 5, withCrc("01 83 02") } } },
        { "exception on another register", [](SimDetector& d) { d.exceptionOn(9, 2); }, "01 03 00 06 00 02",
            { { 5, id } } },
        { "exception on a register written", [](SimDetector& d) { d.exceptionOn(1, 6); }, "01 06 00 01 00 80",
            { { 5, withCrc("01 86 06") } } },
        { "exception on a function", [](SimDetector& d) { d.exceptionOnFunction(4, 4); }, "01 04 01 05 00 01",
            { { 5, withCrc("01 84 04") } } },
        { "exception on another function", [](SimDetector& d) { d.exceptionOnFunction(4, 4); }, "01 03 00 06 00 02",
            { { 5, id } } },
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        SimHarness h;
        SimDetector& d = h.bus.add(SimModel::Zor11, 1);
        c.fault(d);
        h.hearRaw(withCrc(c.request));
        h.loop.advance(2000);
        std::vector<Piece> pieces;
        for (const auto& s : h.sent)
            pieces.push_back({ s.at, hexOf(s.bytes) });
        EXPECT_EQ(pieces, c.expected);
    }
}

TEST(SimFaults, ABadCrcKeepsTheDataAndBreaksTheCheck)
{
    SimHarness h;
    h.bus.add(SimModel::Zor11, 1).badCrc();
    EXPECT_EQ(h.ask("01 03 00 06 00 02"), "BAD CRC");
    ASSERT_EQ(h.sent.size(), 1u);
    const std::vector<uint8_t>& answer = h.sent[0].bytes;
    EXPECT_EQ(hexOf({ answer.begin(), answer.end() - 2 }), "01 03 04 6F 25 00 8F");
}

TEST(SimFaults, AnExceptionRuleServesNothing)
{
    SimHarness h;
    h.bus.add(SimModel::Zor11, 1).exceptionOn(1, 4);
    EXPECT_EQ(h.ask("01 06 00 01 00 80"), "01 86 04");
    EXPECT_FALSE(h.bus.detector(1).writePermission());
}

} // namespace
} // namespace zor::test
