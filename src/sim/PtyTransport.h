#pragma once
// Puts a simulated bus on a new pseudo-terminal. The simulator holds the
// master side; the tool (or any Modbus master) opens the slave path. A pty
// carries the rate its slave side set but no parity, so a detector answers
// when the rate matches its own and stays silent otherwise.
//
// The transport runs on any event loop: watch fd() for readability and call
// onReadable(); answers are timed by the bus through the loop.

#include "sim/SimBus.h"

#include <string>

namespace zor {

class PtyTransport {
public:
    explicit PtyTransport(SimBus& bus);
    ~PtyTransport();
    PtyTransport(const PtyTransport&) = delete;
    PtyTransport& operator=(const PtyTransport&) = delete;

    // Creates the pseudo-terminal, raw at 19200 bit/s; false with the
    // reason in error.
    bool open(std::string& error);
    int fd() const { return master_; }
    const std::string& slavePath() const { return path_; }
    // Reads what has arrived and hands it to the bus.
    void onReadable();
    // The rate the slave side is set to now.
    uint32_t rate() const;

private:
    void write(const uint8_t* data, size_t n);

    SimBus& bus_;
    int master_ = -1;
    // Held open for the simulator's life, so that the master never sees the
    // hang-up of a tool closing the port, and the line settings stay.
    int slave_ = -1;
    std::string path_;
};

} // namespace zor
