#pragma once
// The serial port backend for Windows: a COM port opened exclusively with
// CreateFileW, set through its device control block, read and written
// without overlapped I/O under time-outs short enough that nothing blocks
// the event loop for long.

#include "link/PortError.h"
#include "link/SerialPort.h"

#include <windows.h>

namespace zor {

class Win32SerialPort final : public SerialPort {
public:
    Win32SerialPort() = default;
    ~Win32SerialPort() override;
    Win32SerialPort(const Win32SerialPort&) = delete;
    Win32SerialPort& operator=(const Win32SerialPort&) = delete;

    // name is a port name such as COM3, or a whole device path.
    bool open(const std::string& name) override;
    void close() override;
    bool isOpen() const override { return handle_ != INVALID_HANDLE_VALUE; }
    bool attach(intptr_t handle) override;
    void detach() override;
    intptr_t handle() const override { return reinterpret_cast<intptr_t>(handle_); }

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

    PortError lastError() const override { return lastError_; }

private:
    bool fail(DWORD err);
    // A failure of an operation on the open handle.
    bool failOpen(DWORD err);
    long failedCount(DWORD err);
    bool escape(DWORD function);
    bool setRs485(bool on);

    HANDLE handle_ = INVALID_HANDLE_VALUE;
    // The settings last applied, for the RTS mode that RS-485 direction
    // switching replaces while it is on.
    LineSettings line_;
    bool rs485_ = false;
    PortError lastError_ = PortError::None;
};

} // namespace zor
