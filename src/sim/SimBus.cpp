#include "sim/SimBus.h"

#include "link/TVSModbusRTU.h"
#include "sim/ModbusSlave.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace zor {

namespace {

// A pause of 3.5 characters ends a frame; below 2 ms a pause is not told
// apart from the gaps between bytes (the clock counts milliseconds).
uint32_t silenceMs(const LineSettings& line)
{
    if (line.baud == 0)
        return 2;
    const uint32_t ms = (7 * characterBits(line) * 1000 + 2 * line.baud - 1) / (2 * line.baud);
    return std::max<uint32_t>(2, ms);
}

} // namespace

SimBus::SimBus(EventLoop& loop)
    : loop_(loop)
{
}

SimBus::~SimBus() = default;

SimDetector& SimBus::add(SimModel model, uint8_t address)
{
    auto station = std::make_unique<Station>();
    station->detector = std::make_unique<SimDetector>(loop_, model, address);
    stations_.push_back(std::move(station));
    return *stations_.back()->detector;
}

SimDetector* SimBus::find(uint8_t address)
{
    for (auto& s : stations_)
        if (s->detector->address() == address)
            return s->detector.get();
    return nullptr;
}

SimDetector& SimBus::detector(uint8_t address)
{
    if (SimDetector* d = find(address))
        return *d;
    throw std::out_of_range("no simulated detector at address " + std::to_string(address));
}

void SimBus::receive(const uint8_t* data, size_t n, const HeardLine& heard)
{
    const uint32_t now = loop_.tickCount();
    for (auto& s : stations_) {
        if (!s->detector->understands(heard)) {
            // Garbled for this detector: whatever it had begun is lost.
            s->framer.reset();
            continue;
        }
        for (size_t i = 0; i < n; ++i)
            if (s->framer.push(data[i], now, silenceMs(s->detector->line())))
                serve(*s);
    }
}

void SimBus::serve(Station& station)
{
    const std::vector<uint8_t>& request = station.framer.frame();
    SimDetector& detector = *station.detector;
    if (request.size() < 4 || ModbusCRC16(request.data(), request.size()) != 0)
        return;
    const uint8_t address = request[0];
    if (address != 0 && address != detector.address())
        return;
    if (detector.faults().silent || detector.busyMs() > 0)
        return;
    trace("rx", detector, request);
    std::vector<uint8_t> reply = serveRequest(detector, request.data(), request.size() - 2);
    if (address == 0) {
        detector.commitLine();
        return;
    }
    const uint16_t crc = ModbusCRC16(reply.data(), reply.size());
    reply.push_back(static_cast<uint8_t>(crc));
    reply.push_back(static_cast<uint8_t>(crc >> 8));
    if (detector.faults().badCrc)
        reply.back() ^= 0xFF;
    answer(station, std::move(reply));
}

void SimBus::answer(Station& station, std::vector<uint8_t> frame)
{
    SimDetector& detector = *station.detector;
    const SimFaults& faults = detector.faults();
    const uint32_t delay = faults.turnaroundMs + faults.delayMs + detector.busyMs();
    const uint32_t pause = faults.splitPauseMs;
    // The echo goes out at the settings the request came with; a new address
    // or line takes effect after it.
    const LineSettings settings = detector.line();
    std::weak_ptr<int> alive = alive_;
    SimDetector* d = &detector;
    loop_.callLater(delay, [this, alive, d, frame, pause, settings] {
        if (alive.expired())
            return;
        trace("tx", *d, frame);
        if (pause == 0) {
            send(frame, 0, frame.size(), settings);
            d->commitLine();
            return;
        }
        const size_t half = frame.size() / 2;
        send(frame, 0, half, settings);
        loop_.callLater(pause, [this, alive, d, frame, half, settings] {
            if (alive.expired())
                return;
            send(frame, half, frame.size(), settings);
            d->commitLine();
        });
    });
}

void SimBus::send(const std::vector<uint8_t>& bytes, size_t from, size_t to, const LineSettings& settings)
{
    if (output_)
        output_(bytes.data() + from, to - from, settings);
}

void SimBus::trace(const char* direction, const SimDetector& detector, const std::vector<uint8_t>& bytes)
{
    if (!trace_)
        return;
    std::string line = "#" + std::to_string(detector.address()) + " " + direction + ":";
    char hex[4];
    for (uint8_t b : bytes) {
        std::snprintf(hex, sizeof hex, " %02X", b);
        line += hex;
    }
    trace_(line);
}

} // namespace zor
