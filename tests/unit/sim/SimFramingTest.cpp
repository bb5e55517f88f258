// Where a request ends, on the slave side.

#include "SimHarness.h"
#include "sim/RequestFramer.h"

#include <gtest/gtest.h>

namespace zor::test {
namespace {

TEST(RequestFramer, LengthFollowsTheFunctionCode)
{
    struct Case {
        const char* head;
        size_t length;
    };
    const Case cases[] = {
        { "01", 0 },
        { "01 03", 8 },
        { "01 04", 8 },
        { "01 06", 8 },
        { "01 01", 8 },
        { "01 05", 8 },
        { "01 08", 8 },
        { "01 10 00 41 00 05", 0 },
        { "01 10 00 41 00 05 0A", 19 },
        { "01 0F 00 00 00 10 02", 11 },
        { "01 16", 10 },
        { "01 17 00 00 00 01 00 00 00 01", 0 },
        { "01 17 00 00 00 01 00 00 00 01 02", 15 },
        { "01 07", 4 },
        { "01 11", 4 },
        { "01 41", 4 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.head);
        const std::vector<uint8_t> head = bytesOf(c.head);
        EXPECT_EQ(RequestFramer::requestLength(head.data(), head.size()), c.length);
    }
}

TEST(RequestFramer, ASilenceInsideAFrameDropsItsStart)
{
    // At 19200 baud a silence above 3 ms ends a frame; 1 ms gaps do not.
    struct Case {
        uint32_t gapMs;
        bool answered;
    };
    const Case cases[] = { { 1, true }, { 3, true }, { 4, false }, { 600, false } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gapMs);
        SimHarness h;
        h.bus.add(SimModel::Zor11, 1);
        const std::vector<uint8_t> frame = bytesOf(withCrc("01 03 00 06 00 02"));
        h.bus.receive(frame.data(), 3, kBusLine);
        h.loop.advance(c.gapMs);
        h.bus.receive(frame.data() + 3, frame.size() - 3, kBusLine);
        h.loop.advance(100);
        EXPECT_EQ(h.sent.size(), c.answered ? 1u : 0u);
        // Whatever happened, the next whole request is understood.
        EXPECT_EQ(h.ask("01 03 00 0E 00 01"), "01 03 02 06 10");
    }
}

TEST(RequestFramer, BackToBackRequestsAreServedInTurn)
{
    SimHarness h;
    h.bus.add(SimModel::Zor11, 1);
    h.bus.add(SimModel::Zor12, 2);
    h.hearRaw(withCrc("01 03 00 0E 00 01") + " " + withCrc("02 03 00 0E 00 01"));
    h.loop.advance(100);
    ASSERT_EQ(h.sent.size(), 2u);
    EXPECT_EQ(hexOf(h.sent[0].bytes), withCrc("01 03 02 06 10"));
    EXPECT_EQ(hexOf(h.sent[1].bytes), withCrc("02 03 02 06 41"));
}

} // namespace
} // namespace zor::test
