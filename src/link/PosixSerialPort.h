#pragma once
// The serial port backend for POSIX systems: a tty driven through termios.
// The port is opened non-blocking, without becoming the controlling
// terminal, and exclusively.

#include "link/PortError.h"
#include "link/SerialPort.h"

struct serial_rs485;

namespace zor {

class PosixSerialPort final : public SerialPort {
public:
    PosixSerialPort() = default;
    ~PosixSerialPort() override;
    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    // name is a device path such as /dev/ttyUSB0.
    bool open(const std::string& name) override;
    void close() override;
    bool isOpen() const override { return fd_ >= 0; }
    bool attach(intptr_t handle) override;
    void detach() override;
    intptr_t handle() const override { return fd_; }

    bool applySettings(const LineSettings& s) override;
    bool setQueueSizes(uint32_t in, uint32_t out) override;
    bool queueStatus(uint32_t& inQueue, uint32_t& outQueue) override;
    long read(uint8_t* buf, size_t n) override;
    long write(const uint8_t* buf, size_t n) override;
    bool purge(bool input, bool output) override;
    bool modemStatus(uint8_t& lines) override;
    bool setDtr(bool on) override;
    bool setRts(bool on) override;
    bool enableRs485() override;
    bool disableRs485() override;

    void waitWritable(uint32_t ms) override;
    void waitReadable(uint32_t ms) override;

    PortError lastError() const override { return lastError_; }

private:
    bool fail(int err);
    // A failure of an operation on the open descriptor.
    bool failOpen(int err);
    long failedCount(int err);
    bool setModemLine(int line, bool on);
    // Reads the driver's RS-485 settings, changes them and writes them back
    // when the change changed anything.
    bool changeRs485(void (*change)(serial_rs485&));
    void take(int fd);
    void wait(short events, uint32_t ms);

    int fd_ = -1;
    bool pseudoTerminal_ = false;
    PortError lastError_ = PortError::None;
};

} // namespace zor
