#include "link/Win32SerialPort.h"

#include "link/Win32Comm.h"

#include <algorithm>

namespace zor {

namespace {

DWORD chunk(size_t n)
{
    return static_cast<DWORD>(std::min<size_t>(n, MAXDWORD));
}

} // namespace

Win32SerialPort::~Win32SerialPort()
{
    close();
}

bool Win32SerialPort::fail(DWORD err)
{
    lastError_ = win32::PortErrorFromWin32(err);
    return false;
}

bool Win32SerialPort::failOpen(DWORD err)
{
    lastError_ = win32::OpenPortErrorFromWin32(err);
    return false;
}

long Win32SerialPort::failedCount(DWORD err)
{
    failOpen(err);
    return -1;
}

bool Win32SerialPort::open(const std::string& name)
{
    if (isOpen())
        return fail(ERROR_BUSY);
    // No sharing: the port is ours alone until it is closed.
    const HANDLE h = CreateFileW(win32::DevicePath(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return fail(GetLastError());
    const auto refuse = [h, this](DWORD err) {
        CloseHandle(h);
        return fail(err);
    };
    // A device without a control block is no serial port (NUL, a disk);
    // which error says so differs between systems.
    DCB dcb {};
    dcb.DCBlength = sizeof(DCB);
    if (!GetCommState(h, &dcb))
        return refuse(ERROR_INVALID_FUNCTION);
    COMMTIMEOUTS timeouts = win32::PollingTimeouts();
    if (!SetCommTimeouts(h, &timeouts))
        return refuse(GetLastError());
    handle_ = h;
    rs485_ = false;
    lastError_ = PortError::None;
    return true;
}

void Win32SerialPort::close()
{
    if (!isOpen())
        return;
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
}

bool Win32SerialPort::attach(intptr_t handle)
{
    const HANDLE h = reinterpret_cast<HANDLE>(handle);
    DWORD flags = 0;
    if (h == INVALID_HANDLE_VALUE || h == nullptr || !GetHandleInformation(h, &flags))
        return fail(ERROR_INVALID_HANDLE);
    close();
    handle_ = h;
    rs485_ = false;
    return true;
}

void Win32SerialPort::detach()
{
    handle_ = INVALID_HANDLE_VALUE;
}

bool Win32SerialPort::applySettings(const LineSettings& s)
{
    if (!isOpen())
        return fail(ERROR_INVALID_HANDLE);
    DCB dcb;
    win32::BuildDcb(dcb, s, rs485_);
    if (!SetCommState(handle_, &dcb))
        return failOpen(GetLastError());
    line_ = s;
    return true;
}

bool Win32SerialPort::setQueueSizes(uint32_t in, uint32_t out)
{
    if (!isOpen())
        return fail(ERROR_INVALID_HANDLE);
    return SetupComm(handle_, in, out) || failOpen(GetLastError());
}

bool Win32SerialPort::queueStatus(uint32_t& inQueue, uint32_t& outQueue)
{
    if (!isOpen())
        return fail(ERROR_INVALID_HANDLE);
    DWORD errors = 0;
    COMSTAT stat {};
    if (!ClearCommError(handle_, &errors, &stat))
        return failOpen(GetLastError());
    inQueue = stat.cbInQue;
    outQueue = stat.cbOutQue;
    return true;
}

long Win32SerialPort::read(uint8_t* buf, size_t n)
{
    if (!isOpen())
        return failedCount(ERROR_INVALID_HANDLE);
    DWORD got = 0;
    if (!ReadFile(handle_, buf, chunk(n), &got, nullptr))
        return failedCount(GetLastError());
    return static_cast<long>(got);
}

long Win32SerialPort::write(const uint8_t* buf, size_t n)
{
    if (!isOpen())
        return failedCount(ERROR_INVALID_HANDLE);
    DWORD put = 0;
    // A write that times out with nothing taken succeeds with 0 bytes.
    if (!WriteFile(handle_, buf, chunk(n), &put, nullptr))
        return failedCount(GetLastError());
    return static_cast<long>(put);
}

bool Win32SerialPort::purge(bool input, bool output)
{
    if (!isOpen())
        return fail(ERROR_INVALID_HANDLE);
    if (!input && !output)
        return true;
    const DWORD flags = (input ? PURGE_RXABORT | PURGE_RXCLEAR : 0u) | (output ? PURGE_TXABORT | PURGE_TXCLEAR : 0u);
    return PurgeComm(handle_, flags) || failOpen(GetLastError());
}

bool Win32SerialPort::modemStatus(uint8_t& lines)
{
    if (!isOpen())
        return fail(ERROR_INVALID_HANDLE);
    DWORD status = 0;
    if (!GetCommModemStatus(handle_, &status))
        return failOpen(GetLastError());
    lines = static_cast<uint8_t>(((status & MS_CTS_ON) ? kLineCTS : 0) | ((status & MS_DSR_ON) ? kLineDSR : 0)
        | ((status & MS_RING_ON) ? kLineRING : 0) | ((status & MS_RLSD_ON) ? kLineCD : 0));
    return true;
}

bool Win32SerialPort::escape(DWORD function)
{
    if (!isOpen())
        return fail(ERROR_INVALID_HANDLE);
    return EscapeCommFunction(handle_, function) || failOpen(GetLastError());
}

bool Win32SerialPort::setDtr(bool on)
{
    return escape(on ? SETDTR : CLRDTR);
}

bool Win32SerialPort::setRts(bool on)
{
    return escape(on ? SETRTS : CLRRTS);
}

bool Win32SerialPort::setRs485(bool on)
{
    if (!isOpen())
        return fail(ERROR_INVALID_HANDLE);
    if (rs485_ == on)
        return true;
    // Only the RTS control changes: the rest stays as the device has it.
    // Drivers that cannot toggle RTS by themselves refuse the block.
    DCB dcb {};
    dcb.DCBlength = sizeof(DCB);
    if (!GetCommState(handle_, &dcb))
        return failOpen(GetLastError());
    dcb.fRtsControl = win32::RtsControl(line_.rts, on);
    if (!SetCommState(handle_, &dcb)) {
        const DWORD err = GetLastError();
        return err == ERROR_INVALID_PARAMETER || err == ERROR_NOT_SUPPORTED ? fail(ERROR_NOT_SUPPORTED) : failOpen(err);
    }
    rs485_ = on;
    return true;
}

bool Win32SerialPort::enableRs485()
{
    return setRs485(true);
}

bool Win32SerialPort::disableRs485()
{
    return setRs485(false);
}

} // namespace zor
