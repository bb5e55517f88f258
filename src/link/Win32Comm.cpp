#include "link/Win32Comm.h"

namespace zor::win32 {

namespace {

BYTE parityCode(ParityKind parity)
{
    switch (parity) {
    case ParityKind::None:
        return NOPARITY;
    case ParityKind::Odd:
        return ODDPARITY;
    case ParityKind::Even:
        return EVENPARITY;
    case ParityKind::Mark:
        return MARKPARITY;
    case ParityKind::Space:
        return SPACEPARITY;
    }
    return NOPARITY;
}

BYTE stopBitsCode(StopBitsKind stopBits)
{
    switch (stopBits) {
    case StopBitsKind::One:
        return ONESTOPBIT;
    case StopBitsKind::OneAndHalf:
        return ONE5STOPBITS;
    case StopBitsKind::Two:
        return TWOSTOPBITS;
    }
    return TWOSTOPBITS;
}

} // namespace

DWORD RtsControl(RtsMode rts, bool rs485)
{
    if (rs485)
        return RTS_CONTROL_TOGGLE;
    switch (rts) {
    case RtsMode::Low:
        return RTS_CONTROL_DISABLE;
    case RtsMode::High:
        return RTS_CONTROL_ENABLE;
    case RtsMode::Handshake:
        return RTS_CONTROL_HANDSHAKE;
    }
    return RTS_CONTROL_ENABLE;
}

void BuildDcb(DCB& dcb, const LineSettings& s, bool rs485)
{
    dcb = DCB {};
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = s.baud;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = s.rts == RtsMode::Handshake;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = s.dtrOn ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = s.xonXoff;
    dcb.fInX = s.xonXoff;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fRtsControl = RtsControl(s.rts, rs485);
    dcb.fAbortOnError = FALSE;
    dcb.XonLim = s.xonLimit;
    dcb.XoffLim = s.xoffLimit;
    dcb.ByteSize = s.dataBits;
    dcb.Parity = parityCode(s.parity);
    dcb.StopBits = stopBitsCode(s.stopBits);
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
}

COMMTIMEOUTS PollingTimeouts()
{
    COMMTIMEOUTS t {};
    t.ReadIntervalTimeout = 1;
    t.ReadTotalTimeoutMultiplier = 0;
    t.ReadTotalTimeoutConstant = 1;
    t.WriteTotalTimeoutMultiplier = 0;
    t.WriteTotalTimeoutConstant = 10;
    return t;
}

std::wstring DevicePath(const std::string& name)
{
    // Port names are ASCII; a path given whole may not be, so it goes
    // through UTF-8.
    std::wstring wide;
    if (!name.empty()) {
        const int n = MultiByteToWideChar(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
        wide.resize(static_cast<size_t>(n > 0 ? n : 0));
        if (n > 0)
            MultiByteToWideChar(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), wide.data(), n);
    }
    if (wide.rfind(L"\\\\", 0) == 0)
        return wide;
    return L"\\\\.\\" + wide;
}

PortError PortErrorFromWin32(DWORD err)
{
    switch (err) {
    case ERROR_SUCCESS:
        return PortError::None;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_BAD_UNIT:
    case ERROR_NOT_READY:
        return PortError::NotFound;
    // A serial port has no owner rights of its own: a refused open is
    // another program holding it.
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY:
        return PortError::Busy;
    case ERROR_INVALID_FUNCTION:
        return PortError::NotATerminal;
    case ERROR_INVALID_PARAMETER:
        return PortError::InvalidSetting;
    case ERROR_NOT_SUPPORTED:
        return PortError::Unsupported;
    case ERROR_GEN_FAILURE:
    case ERROR_IO_DEVICE:
    case ERROR_INVALID_HANDLE:
        return PortError::Io;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
    case ERROR_TOO_MANY_OPEN_FILES:
    case ERROR_NO_SYSTEM_RESOURCES:
        return PortError::OutOfResources;
    default:
        return PortError::Other;
    }
}

PortError OpenPortErrorFromWin32(DWORD err)
{
    switch (err) {
    // USB serial drivers fail every request on a handle whose device was
    // pulled with one of these; a plugged-in adapter gets a new handle. A
    // port on a pseudo-terminal under Wine whose far end closed is not
    // ready.
    case ERROR_OPERATION_ABORTED:
    case ERROR_BAD_COMMAND:
    case ERROR_DEVICE_REMOVED:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_GEN_FAILURE:
    case ERROR_ACCESS_DENIED:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_NOT_READY:
        return PortError::Lost;
    default:
        return PortErrorFromWin32(err);
    }
}

} // namespace zor::win32
