// The request tag's reading: what an answer of so many registers under the
// tag of the last request is, at the edges of each block.

#include "device/RequestTag.h"

#include <gtest/gtest.h>

namespace zor {
namespace {

TEST(RequestTag, EachAnswerIsClassifiedByItsTagAndLength)
{
    const struct {
        int32_t tag;
        int count;
        TagKind kind;
    } cases[] = {
        { InRegBase + 5, 1, TagKind::Input }, // the gas of a read cycle
        { InRegBase, 8, TagKind::Input },
        { 0, 19, TagKind::Panel }, // the panel block ends before register 19's end
        { 6, 2, TagKind::Panel }, // the probe
        { 0, 20, TagKind::Other }, // past the cache
        { 19, 1, TagKind::Other },
        { 40, 4, TagKind::Other }, // below the LoRa block
        { 64, 28, TagKind::Lora },
        { 91, 1, TagKind::Lora },
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClassifyRead(c.tag, c.count), c.kind) << c.tag << " + " << c.count;
}

} // namespace
} // namespace zor
