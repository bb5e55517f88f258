#pragma once
// The records and error values of the Win32 serial port backend, made by
// small pure functions so that each setting and each error can be checked
// without a device.

#include "link/PortError.h"
#include "link/SerialPort.h"

#include <string>

#include <windows.h>

namespace zor::win32 {

// The RTS control of the control block: the mode asked for, or RTS raised
// by the driver while it sends when rs485 is on.
DWORD RtsControl(RtsMode rts, bool rs485);

// The whole device control block for s: binary mode, no parity checking of
// received characters (the parity still sets the character format), DTR
// and RTS as asked, DSR ignored, XON/XOFF both ways or not at all, no
// character replacement and no abort on a line error. With rs485 the driver
// raises RTS while it sends and drops it after.
void BuildDcb(DCB& dcb, const LineSettings& s, bool rs485);

// The time-outs the driver's polling relies on: a read returns at once
// with what is queued, a write gives up after about 10 ms.
COMMTIMEOUTS PollingTimeouts();

// The path CreateFileW opens for a port name: "COM12" becomes
// "\\.\COM12" (ports above 9 open only so); a path given whole stays.
std::wstring DevicePath(const std::string& name);

// The error of an open or of an operation on a port that is not open.
PortError PortErrorFromWin32(DWORD err);
// The error of an operation on an open port: an aborted transfer, a
// refused command or a vanished device means the port is lost.
PortError OpenPortErrorFromWin32(DWORD err);

} // namespace zor::win32
