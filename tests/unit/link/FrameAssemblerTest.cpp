#include "link/FrameAssembler.h"

#include "Frames.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace zor;

namespace {

using test::Bytes;
using test::WithCrc;

// One step: a chunk, or (nullopt) the owner dropping the kept bytes.
using Step = std::optional<Bytes>;

TEST(FrameAssembler, JoinsChunksThatFailAloneAndNothingElse)
{
    const Bytes frame = { 0x01, 0x03, 0x40, 0x21 };
    const Bytes exception = { 0x01, 0x83, 0x02, 0xC0, 0xF1 };
    const Bytes noise = { 0xFF, 0xFE };
    const Bytes long256 = WithCrc(Bytes(254, 0x22));
    const Bytes probe = WithCrc({ 0x05, 0x03, 0x04, 0x02, 0x5F, 0x00, 0x90 });
    const auto joined = [](std::initializer_list<Bytes> parts) {
        Bytes all;
        for (const Bytes& p : parts)
            all.insert(all.end(), p.begin(), p.end());
        return all;
    };
    struct Case {
        const char* what;
        std::vector<Step> steps;
        std::vector<Bytes> accepted;
    };
    const std::vector<Case> cases = {
        { "whole frame", { frame }, { frame } },
        { "cut in two", { Bytes { 0x01, 0x03 }, Bytes { 0x40, 0x21 } }, { frame } },
        { "cut in three", { Bytes { 0x01 }, Bytes { 0x83, 0x02 }, Bytes { 0xC0, 0xF1 } }, { exception } },
        { "noise, then a whole frame", { noise, frame }, { frame } },
        { "noise joined to a cut frame", { noise, Bytes { 0x01, 0x03 }, Bytes { 0x40, 0x21 } }, {} },
        { "noise dropped before a cut frame", { noise, std::nullopt, Bytes { 0x01, 0x03 }, Bytes { 0x40, 0x21 } },
            { frame } },
        { "an accepted frame leaves nothing behind", { frame, Bytes { 0x01, 0x83 }, Bytes { 0x02, 0xC0, 0xF1 } },
            { frame, exception } },
        { "two frames in one chunk", { joined({ frame, frame }) }, { frame, frame } },
        { "three frames in one chunk, in order", { joined({ probe, exception, frame }) }, { probe, exception, frame } },
        { "the tail of a cut frame with the next frame",
            { Bytes(probe.begin(), probe.begin() + 3), joined({ Bytes(probe.begin() + 3, probe.end()), frame }) },
            { probe, frame } },
        { "frames followed by noise are kept, not taken", { joined({ probe, frame, noise }) }, {} },
        { "two of the longest frames in one chunk", { joined({ long256, long256 }) }, { long256, long256 } },
        { "a long frame is accepted whole", { WithCrc(Bytes(298, 0x11)) }, { WithCrc(Bytes(298, 0x11)) } },
        { "a flood of noise is held to the limit", { Bytes(1000, 0x00), frame }, { frame } },
        { "a 256-byte frame cut in two",
            { Bytes(long256.begin(), long256.begin() + 100), Bytes(long256.begin() + 100, long256.end()) },
            { long256 } },
    };
    for (const Case& c : cases) {
        FrameAssembler a;
        std::vector<Bytes> accepted;
        for (const Step& step : c.steps) {
            if (!step) {
                a.Clear();
                continue;
            }
            FrameAssembler::Frames f;
            if (a.Feed(step->data(), static_cast<uint16_t>(step->size()), f) == TVSRTUresult::vsrOk)
                for (size_t i = 0; i < f.count; ++i)
                    accepted.emplace_back(f.at[i].data, f.at[i].data + f.at[i].size);
            EXPECT_LE(a.Kept(), FrameAssembler::kKeepLimit) << c.what;
        }
        EXPECT_EQ(accepted, c.accepted) << c.what;
    }
}

TEST(FrameAssembler, ReportsTheLastCheckMade)
{
    struct Case {
        Bytes kept;
        Bytes chunk;
        TVSRTUresult result;
    };
    const Case cases[] = {
        { {}, { 0x01, 0x03, 0x40 }, TVSRTUresult::vsrErrorSize },
        { {}, { 0x01, 0x03, 0x40, 0x22 }, TVSRTUresult::vsrErrorCRC },
        { { 0x01 }, { 0x03 }, TVSRTUresult::vsrErrorSize },
        { { 0x01, 0x03 }, { 0x40, 0x22 }, TVSRTUresult::vsrErrorCRC },
        { { 0x01, 0x03 }, { 0x40, 0x21 }, TVSRTUresult::vsrOk },
    };
    for (const Case& c : cases) {
        FrameAssembler a;
        FrameAssembler::Frames f;
        if (!c.kept.empty())
            a.Feed(c.kept.data(), static_cast<uint16_t>(c.kept.size()), f);
        EXPECT_EQ(a.Feed(c.chunk.data(), static_cast<uint16_t>(c.chunk.size()), f), c.result);
    }
}

} // namespace
