#pragma once
// The port the link opens, chosen by the form of its name: a network name
// (link/NetworkName.h) opens a bus over the network, any other name a
// serial device. Between opens it stays with the backend it used last, so
// that the operations on a closed port and the last error come from it.

#include "link/SerialPort.h"

namespace zor {

class PortByName final : public SerialPort {
public:
    PortByName(std::unique_ptr<SerialPort> serial, std::unique_ptr<SerialPort> network);

    bool open(const std::string& name) override;
    void close() override { active_->close(); }
    bool isOpen() const override { return active_->isOpen(); }
    // A handle is a serial device's.
    bool attach(intptr_t handle) override;
    void detach() override { active_->detach(); }
    intptr_t handle() const override { return active_->handle(); }

    bool applySettings(const LineSettings& s) override { return active_->applySettings(s); }
    bool setQueueSizes(uint32_t in, uint32_t out) override { return active_->setQueueSizes(in, out); }
    bool queueStatus(uint32_t& inQueue, uint32_t& outQueue) override { return active_->queueStatus(inQueue, outQueue); }
    long read(uint8_t* buf, size_t n) override { return active_->read(buf, n); }
    long write(const uint8_t* buf, size_t n) override { return active_->write(buf, n); }
    bool purge(bool input, bool output) override { return active_->purge(input, output); }
    bool modemStatus(uint8_t& lines) override { return active_->modemStatus(lines); }
    bool setDtr(bool on) override { return active_->setDtr(on); }
    bool setRts(bool on) override { return active_->setRts(on); }
    bool enableRs485() override { return active_->enableRs485(); }
    bool disableRs485() override { return active_->disableRs485(); }
    PortError lastError() const override { return active_->lastError(); }
    void waitWritable(uint32_t ms) override { active_->waitWritable(ms); }
    void waitReadable(uint32_t ms) override { active_->waitReadable(ms); }

private:
    // Closes the backend in use when the next one is another.
    void use(SerialPort& next);

    std::unique_ptr<SerialPort> serial_;
    std::unique_ptr<SerialPort> network_;
    SerialPort* active_;
};

} // namespace zor
