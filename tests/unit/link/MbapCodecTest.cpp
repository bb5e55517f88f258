// RTU requests into MBAP requests and MBAP answers back into RTU frames, as
// a table of exchanges: what the master writes, what goes over TCP, what the
// gateway sends in which segments, and what the master then reads.

#include "link/MbapCodec.h"

#include "Frames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zor;

namespace {

using test::Bytes;
// An RTU frame: the bytes and their CRC.
constexpr auto Rtu = test::WithCrc;

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

// One request as the master writes it (in one or more writes), then what
// comes back, segment by segment, before the next request.
Bytes Part(const Bytes& b, size_t from, size_t to)
{
    return Bytes(b.begin() + static_cast<ptrdiff_t>(from), b.begin() + static_cast<ptrdiff_t>(to));
}

struct Step {
    std::vector<Bytes> writes;
    std::vector<Bytes> segments;
};

struct Exchange {
    const char* name;
    std::vector<Step> steps;
    Bytes sent; // everything that went over TCP
    Bytes read; // everything the master gets
};

const Bytes kReadRequest = Rtu({ 0x05, 0x03, 0x00, 0x00, 0x00, 0x02 });
const Bytes kReadMbap = { 0x00, 0x01, 0x00, 0x00, 0x00, 0x06, 0x05, 0x03, 0x00, 0x00, 0x00, 0x02 };
const Bytes kReadAnswer = { 0x00, 0x01, 0x00, 0x00, 0x00, 0x07, 0x05, 0x03, 0x04, 0x12, 0x34, 0x00, 0x07 };
const Bytes kReadRtu = Rtu({ 0x05, 0x03, 0x04, 0x12, 0x34, 0x00, 0x07 });
// The echo of a single write is the request itself.
const Bytes kWriteRequest = Rtu({ 0x05, 0x06, 0x00, 0x0A, 0x01, 0xF4 });
const Bytes kWriteMbap = { 0x00, 0x02, 0x00, 0x00, 0x00, 0x06, 0x05, 0x06, 0x00, 0x0A, 0x01, 0xF4 };
const Bytes kWriteEcho = kWriteMbap;

const Bytes kBlockWrite = Rtu({ 0x07, 0x10, 0x00, 0x40, 0x00, 0x02, 0x04, 0x00, 0x01, 0x00, 0x02 });

const Exchange kExchanges[] = {
    { "read", { { { kReadRequest }, { kReadAnswer } } }, kReadMbap, kReadRtu },
    { "input register read",
        { { { Rtu({ 0x01, 0x04, 0x01, 0x05, 0x00, 0x01 }) },
            { { 0x00, 0x01, 0x00, 0x00, 0x00, 0x05, 0x01, 0x04, 0x02, 0x00, 0x18 } } } },
        { 0x00, 0x01, 0x00, 0x00, 0x00, 0x06, 0x01, 0x04, 0x01, 0x05, 0x00, 0x01 },
        Rtu({ 0x01, 0x04, 0x02, 0x00, 0x18 }) },
    { "single write and its echo, after a read",
        { { { kReadRequest }, { kReadAnswer } }, { { kWriteRequest }, { kWriteEcho } } },
        Join({ kReadMbap, kWriteMbap }), Join({ kReadRtu, kWriteRequest }) },
    { "multiple write written in two parts",
        { { { Part(kBlockWrite, 0, 6), Part(kBlockWrite, 6, kBlockWrite.size()) },
            { { 0x00, 0x01, 0x00, 0x00, 0x00, 0x06, 0x07, 0x10, 0x00, 0x40, 0x00, 0x02 } } } },
        { 0x00, 0x01, 0x00, 0x00, 0x00, 0x0B, 0x07, 0x10, 0x00, 0x40, 0x00, 0x02, 0x04, 0x00, 0x01, 0x00, 0x02 },
        Rtu({ 0x07, 0x10, 0x00, 0x40, 0x00, 0x02 }) },
    { "exception", { { { kReadRequest }, { { 0x00, 0x01, 0x00, 0x00, 0x00, 0x03, 0x05, 0x83, 0x02 } } } }, kReadMbap,
        Rtu({ 0x05, 0x83, 0x02 }) },
    { "the gateway's own word that the line gave no answer (0x0B) is silence, as on the line",
        { { { kReadRequest }, { { 0x00, 0x01, 0x00, 0x00, 0x00, 0x03, 0x05, 0x83, 0x0B } } } }, kReadMbap, {} },
    { "no path through the gateway (0x0A) is silence too",
        { { { kReadRequest }, { { 0x00, 0x01, 0x00, 0x00, 0x00, 0x03, 0x05, 0x83, 0x0A } } } }, kReadMbap, {} },
    { "broadcast: unit id 0, and an answer all the same is dropped",
        { { { Rtu({ 0x00, 0x06, 0x00, 0x00, 0x00, 0x09 }) },
            { { 0x00, 0x01, 0x00, 0x00, 0x00, 0x06, 0x00, 0x06, 0x00, 0x00, 0x00, 0x09 } } } },
        { 0x00, 0x01, 0x00, 0x00, 0x00, 0x06, 0x00, 0x06, 0x00, 0x00, 0x00, 0x09 }, {} },
    { "mismatched transaction id dropped, the matching one kept",
        { { { kReadRequest },
            { { 0x00, 0x09, 0x00, 0x00, 0x00, 0x07, 0x05, 0x03, 0x04, 0xDE, 0xAD, 0xBE, 0xEF }, kReadAnswer } } },
        kReadMbap, kReadRtu },
    { "answer cut into segments, the header too",
        { { { kReadRequest },
            { { 0x00, 0x01, 0x00 }, { 0x00, 0x00, 0x07, 0x05, 0x03 }, { 0x04, 0x12 }, { 0x34, 0x00, 0x07 } } } },
        kReadMbap, kReadRtu },
    { "a late answer and the awaited one in one segment",
        { { { kReadRequest }, {} }, { { kWriteRequest }, { Join({ kReadAnswer, kWriteEcho }) } } },
        Join({ kReadMbap, kWriteMbap }), kWriteRequest },
    { "a second answer to the same transaction dropped",
        { { { kReadRequest }, { Join({ kReadAnswer, kReadAnswer }) } } }, kReadMbap, kReadRtu },
    { "a request with a bad CRC is not sent",
        { { { { 0x05, 0x03, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00 } }, { kReadAnswer } } }, {}, {} },
    { "out of step (protocol not 0): dropped, the stream picks up at the next answer",
        { { { kReadRequest }, { { 0x00, 0x01, 0x00, 0x05, 0x00, 0x07, 0x05, 0x03, 0x04 } } },
            { { kWriteRequest }, { kWriteEcho } } },
        Join({ kReadMbap, kWriteMbap }), kWriteRequest },
    { "a function not known by its layout ends where its CRC closes it",
        { { { Rtu({ 0x05, 0x11 }) }, { { 0x00, 0x01, 0x00, 0x00, 0x00, 0x04, 0x05, 0x11, 0x01, 0xAA } } } },
        { 0x00, 0x01, 0x00, 0x00, 0x00, 0x02, 0x05, 0x11 }, Rtu({ 0x05, 0x11, 0x01, 0xAA }) },
};

TEST(MbapCodec, ConvertsEachExchange)
{
    for (const Exchange& e : kExchanges) {
        SCOPED_TRACE(e.name);
        MbapCodec codec;
        Bytes sent;
        Bytes read;
        for (const Step& step : e.steps) {
            for (const Bytes& part : step.writes)
                codec.fromMaster(part.data(), part.size(), sent);
            for (const Bytes& segment : step.segments)
                codec.fromServer(segment.data(), segment.size(), read);
        }
        EXPECT_EQ(sent, e.sent);
        EXPECT_EQ(read, e.read);
    }
}

TEST(MbapCodec, EveryRequestGetsTheNextTransactionId)
{
    MbapCodec codec;
    Bytes sent;
    for (int i = 0; i < 3; ++i)
        codec.fromMaster(kReadRequest.data(), kReadRequest.size(), sent);
    ASSERT_EQ(sent.size(), 3 * kReadMbap.size());
    for (size_t i = 0; i < 3; ++i) {
        const size_t at = i * kReadMbap.size();
        EXPECT_EQ(sent[at] << 8 | sent[at + 1], static_cast<int>(i + 1));
    }
}

TEST(MbapCodec, ARequestLeftUnfinishedIsForgotten)
{
    MbapCodec codec;
    Bytes sent;
    codec.fromMaster(kReadRequest.data(), 3, sent);
    codec.dropRequest();
    codec.fromMaster(kReadRequest.data(), kReadRequest.size(), sent);
    EXPECT_EQ(sent, kReadMbap);
}

} // namespace
