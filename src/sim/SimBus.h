#pragma once
// A line of simulated detectors. Every detector listens to the line with its
// own line settings and frames the requests it understands; the one
// addressed answers after its turnaround, through whatever transport feeds
// the bus (the in-memory wire in tests, a pseudo-terminal for zor-sim).
// Broadcasts (address 0) are carried out and never answered.
//
//   VirtualLoop loop;
//   SimBus bus(loop);
//   bus.add(SimModel::Zor11, 5).gas(24).limits(20, 100);
//   bus.add(SimModel::Zor10, 7).version(110).silent();

#include "runtime/EventLoop.h"
#include "sim/RequestFramer.h"
#include "sim/SimDetector.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zor {

class SimBus {
public:
    // Bytes to put on the line, with the detector's line settings.
    using Output = std::function<void(const uint8_t* data, size_t n, const LineSettings& sentWith)>;
    // One line per request served and answer sent, for --verbose.
    using Trace = std::function<void(const std::string& line)>;

    explicit SimBus(EventLoop& loop);
    ~SimBus();
    SimBus(const SimBus&) = delete;
    SimBus& operator=(const SimBus&) = delete;

    SimDetector& add(SimModel model, uint8_t address);
    // The detector now at the address (the first, if several share it);
    // detector() throws std::out_of_range when there is none.
    SimDetector* find(uint8_t address);
    SimDetector& detector(uint8_t address);
    size_t size() const { return stations_.size(); }
    SimDetector& at(size_t index) { return *stations_.at(index)->detector; }

    void setOutput(Output output) { output_ = std::move(output); }
    void setTrace(Trace trace) { trace_ = std::move(trace); }

    // Bytes heard on the line now, sent with the given settings.
    void receive(const uint8_t* data, size_t n, const HeardLine& heard);

    EventLoop& loop() { return loop_; }

private:
    struct Station {
        std::unique_ptr<SimDetector> detector;
        RequestFramer framer;
    };
    void serve(Station& station);
    void answer(Station& station, std::vector<uint8_t> frame);
    void send(const std::vector<uint8_t>& bytes, size_t from, size_t to, const LineSettings& settings);
    void trace(const char* direction, const SimDetector& detector, const std::vector<uint8_t>& bytes);

    EventLoop& loop_;
    std::vector<std::unique_ptr<Station>> stations_;
    Output output_;
    Trace trace_;
    // Answers still on their way check it, so that they never outlive us.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

} // namespace zor
