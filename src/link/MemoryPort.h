#pragma once
// The master end of a MemoryWire as a serial port backend.

#include "link/MemoryLine.h"
#include "link/SerialPort.h"

#include <memory>

namespace zor {

class MemoryPort final : public SerialPort {
public:
    explicit MemoryPort(std::shared_ptr<MemoryLine> line);
    ~MemoryPort() override;

    bool open(const std::string& name) override;
    void close() override;
    bool isOpen() const override { return open_; }
    // A memory line has no platform handle to take over.
    bool attach(intptr_t handle) override;
    void detach() override;
    intptr_t handle() const override;

    bool applySettings(const LineSettings& s) override;
    bool setQueueSizes(uint32_t in, uint32_t out) override;
    bool queueStatus(uint32_t& inQueue, uint32_t& outQueue) override;
    long read(uint8_t* buf, size_t n) override;
    long write(const uint8_t* buf, size_t n) override;
    bool purge(bool input, bool output) override;
    bool modemStatus(uint8_t& lines) override;
    bool setDtr(bool on) override;
    bool setRts(bool on) override;

    void waitWritable(uint32_t ms) override;
    void waitReadable(uint32_t ms) override;

    PortError lastError() const override { return lastError_; }

private:
    // Whether the line still has the adapter this port was opened on; a
    // failed check records the loss.
    bool usable();
    // Whether bytes can move: on a failing line the port opens and takes
    // its settings, but every transfer fails as on a lost port.
    bool transferable();
    bool fail(PortError error);

    // The caller's thread is blocked for ms (at least 1, at most `bound`).
    void block(uint64_t untilNs, uint32_t bound);

    std::shared_ptr<MemoryLine> line_;
    bool open_ = false;
    uint32_t plugs_ = 0;
    PortError lastError_ = PortError::None;
};

} // namespace zor
