// Cost of the link's receive path: the table-driven CRC, the answer check
// with and without reassembly, a whole polling tick that delivers an
// answer through the master over the in-memory wire, and the conversion of a
// request and its answer to and from Modbus TCP.

#include "link/FrameAssembler.h"
#include "link/MbapCodec.h"
#include "link/MemoryWire.h"
#include "link/TVSModbusRTU.h"
#include "runtime/VirtualLoop.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

std::vector<uint8_t> frameOf(size_t size)
{
    std::vector<uint8_t> f = { 0x01, 0x03, static_cast<uint8_t>(size - 5) };
    while (f.size() + 2 < size)
        f.push_back(static_cast<uint8_t>(f.size() * 7));
    const uint16_t crc = zor::ModbusCRC16(f.data(), f.size());
    f.push_back(static_cast<uint8_t>(crc & 0xFF));
    f.push_back(static_cast<uint8_t>(crc >> 8));
    return f;
}

void BM_ModbusCRC16(benchmark::State& state)
{
    const auto frame = frameOf(static_cast<size_t>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(zor::ModbusCRC16(frame.data(), frame.size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_ModbusCRC16)->Arg(8)->Arg(43)->Arg(256);

// One chunk per answer, as at 19200 baud.
void BM_FrameCheckWhole(benchmark::State& state)
{
    const auto frame = frameOf(43);
    zor::FrameAssembler assembler;
    zor::FrameAssembler::Frames out;
    for (auto _ : state)
        benchmark::DoNotOptimize(assembler.Feed(frame.data(), static_cast<uint16_t>(frame.size()), out));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 43);
}
BENCHMARK(BM_FrameCheckWhole);

// An answer cut by a tick, as at 1200 baud: the first part fails and is
// kept, the second fails alone and passes joined.
void BM_FrameCheckSplit(benchmark::State& state)
{
    const auto frame = frameOf(43);
    zor::FrameAssembler assembler;
    zor::FrameAssembler::Frames out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(assembler.Feed(frame.data(), 21, out));
        benchmark::DoNotOptimize(assembler.Feed(frame.data() + 21, 22, out));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 43);
}
BENCHMARK(BM_FrameCheckSplit);

// The whole receive path of one answer: wire, polling tick, frame check,
// packet event.
void BM_MasterReceivesAnAnswer(benchmark::State& state)
{
    zor::VirtualLoop loop;
    zor::MemoryWire wire(loop);
    zor::TVSModbusRTU rtu(loop, wire.masterPort());
    rtu.SetBaudRateValue(115200);
    rtu.SetPollingDelay(50);
    int64_t answers = 0;
    rtu.SetOnModbusPacketEvent([&](zor::TVSModbusRTU&, const uint8_t*, uint16_t) { ++answers; });
    if (!rtu.Open()) {
        state.SkipWithError("the wire did not open");
        return;
    }
    zor::LineSettings line;
    line.baud = 115200;
    const auto frame = frameOf(43);
    for (auto _ : state) {
        wire.slaveSend(frame.data(), frame.size(), line);
        loop.advance(50);
    }
    if (answers != static_cast<int64_t>(state.iterations()))
        state.SkipWithError("answers were lost");
    state.SetItemsProcessed(answers);
}
BENCHMARK(BM_MasterReceivesAnAnswer);

// A read of the whole panel block through a Modbus TCP gateway: the RTU
// request into MBAP, and the 43-byte answer's MBAP back into its RTU frame.
void BM_ModbusTcpRequestAndAnswer(benchmark::State& state)
{
    const std::vector<uint8_t> request = [] {
        std::vector<uint8_t> r { 0x01, 0x03, 0x00, 0x00, 0x00, 0x13 };
        const uint16_t crc = zor::ModbusCRC16(r.data(), r.size());
        r.push_back(static_cast<uint8_t>(crc & 0xFF));
        r.push_back(static_cast<uint8_t>(crc >> 8));
        return r;
    }();
    const auto rtu = frameOf(43);
    zor::MbapCodec codec;
    std::vector<uint8_t> tcp;
    std::vector<uint8_t> back;
    std::vector<uint8_t> answer;
    for (auto _ : state) {
        tcp.clear();
        back.clear();
        codec.fromMaster(request.data(), request.size(), tcp);
        // The gateway's answer carries the request's transaction id.
        answer.clear();
        zor::AppendMbap(answer, zor::MbapTransaction(tcp), rtu[0], rtu.data() + 1, rtu.size() - 3);
        codec.fromServer(answer.data(), answer.size(), back);
        benchmark::DoNotOptimize(back.data());
    }
    if (back != rtu)
        state.SkipWithError("the answer did not come back whole");
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_ModbusTcpRequestAndAnswer);

} // namespace
