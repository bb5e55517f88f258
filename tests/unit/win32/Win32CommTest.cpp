// The Win32 backend's records and error values: every line setting into the
// device control block, the time-outs, the device path, and the platform's
// errors into the project's own, at open and on an open port.

#include "link/Win32Comm.h"
#include "unit/LineOf.h"

#include <gtest/gtest.h>

#include <cstring>

namespace zor::win32 {
namespace {

using zor::test::LineOf;

TEST(Win32Comm, TheControlBlockCarriesEverySetting)
{
    struct Case {
        const char* what;
        LineSettings s;
        DWORD baud;
        BYTE bits;
        BYTE parity;
        BYTE stop;
        DWORD rts;
        bool cts;
        bool xon;
    };
    const Case cases[] = {
        { "the bus default", LineOf(19200, 8, ParityKind::Even, StopBitsKind::One, RtsMode::High, false), 19200, 8,
            EVENPARITY, ONESTOPBIT, RTS_CONTROL_ENABLE, false, false },
        { "no parity, two stop bits", LineOf(9600, 8, ParityKind::None, StopBitsKind::Two, RtsMode::High, false), 9600,
            8, NOPARITY, TWOSTOPBITS, RTS_CONTROL_ENABLE, false, false },
        { "odd", LineOf(115200, 8, ParityKind::Odd, StopBitsKind::One, RtsMode::Low, false), 115200, 8, ODDPARITY,
            ONESTOPBIT, RTS_CONTROL_DISABLE, false, false },
        { "mark, 7 bits", LineOf(4800, 7, ParityKind::Mark, StopBitsKind::One, RtsMode::High, false), 4800, 7,
            MARKPARITY, ONESTOPBIT, RTS_CONTROL_ENABLE, false, false },
        { "space, 6 bits", LineOf(2400, 6, ParityKind::Space, StopBitsKind::Two, RtsMode::High, false), 2400, 6,
            SPACEPARITY, TWOSTOPBITS, RTS_CONTROL_ENABLE, false, false },
        { "5 bits, one and a half stop bits",
            LineOf(1200, 5, ParityKind::None, StopBitsKind::OneAndHalf, RtsMode::High, false), 1200, 5, NOPARITY,
            ONE5STOPBITS, RTS_CONTROL_ENABLE, false, false },
        { "handshake", LineOf(38400, 8, ParityKind::None, StopBitsKind::One, RtsMode::Handshake, false), 38400, 8,
            NOPARITY, ONESTOPBIT, RTS_CONTROL_HANDSHAKE, true, false },
        { "XON/XOFF", LineOf(57600, 8, ParityKind::Even, StopBitsKind::One, RtsMode::High, true), 57600, 8, EVENPARITY,
            ONESTOPBIT, RTS_CONTROL_ENABLE, false, true },
        { "a rate without a standard code",
            LineOf(250000, 8, ParityKind::None, StopBitsKind::One, RtsMode::High, false), 250000, 8, NOPARITY,
            ONESTOPBIT, RTS_CONTROL_ENABLE, false, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DCB dcb;
        BuildDcb(dcb, c.s, false);
        EXPECT_EQ(dcb.DCBlength, sizeof(DCB));
        EXPECT_EQ(dcb.BaudRate, c.baud);
        EXPECT_EQ(dcb.ByteSize, c.bits);
        EXPECT_EQ(dcb.Parity, c.parity);
        EXPECT_EQ(dcb.StopBits, c.stop);
        EXPECT_EQ(dcb.fRtsControl, c.rts);
        EXPECT_EQ(dcb.fOutxCtsFlow != 0, c.cts);
        EXPECT_EQ(dcb.fOutX != 0, c.xon);
        EXPECT_EQ(dcb.fInX != 0, c.xon);
    }
}

TEST(Win32Comm, TheControlBlockIsBinaryWithoutCheckingOrReplacing)
{
    LineSettings s = LineOf(19200, 8, ParityKind::Even, StopBitsKind::One, RtsMode::High, false);
    s.xonLimit = 512;
    s.xoffLimit = 256;
    DCB dcb;
    // Whatever was in the block before does not leak into the new one.
    std::memset(&dcb, 0xFF, sizeof(dcb));
    BuildDcb(dcb, s, false);
    EXPECT_TRUE(dcb.fBinary);
    // The parity shapes the character; received characters are not checked.
    EXPECT_FALSE(dcb.fParity);
    EXPECT_FALSE(dcb.fOutxDsrFlow);
    EXPECT_FALSE(dcb.fDsrSensitivity);
    EXPECT_FALSE(dcb.fErrorChar);
    EXPECT_FALSE(dcb.fNull);
    EXPECT_FALSE(dcb.fAbortOnError);
    EXPECT_EQ(dcb.XonLim, 512);
    EXPECT_EQ(dcb.XoffLim, 256);
    EXPECT_EQ(dcb.XonChar, 0x11);
    EXPECT_EQ(dcb.XoffChar, 0x13);
    EXPECT_EQ(dcb.ErrorChar, 0);
    EXPECT_EQ(dcb.EofChar, 0);
    EXPECT_EQ(dcb.EvtChar, 0);
}

TEST(Win32Comm, DtrFollowsItsSettingAndRs485TogglesRtsWhateverTheMode)
{
    struct Case {
        RtsMode rts;
        bool dtrOn;
        bool rs485;
        DWORD rtsControl;
        DWORD dtrControl;
    };
    const Case cases[] = {
        { RtsMode::High, true, false, RTS_CONTROL_ENABLE, DTR_CONTROL_ENABLE },
        { RtsMode::High, false, false, RTS_CONTROL_ENABLE, DTR_CONTROL_DISABLE },
        { RtsMode::Low, true, true, RTS_CONTROL_TOGGLE, DTR_CONTROL_ENABLE },
        { RtsMode::High, true, true, RTS_CONTROL_TOGGLE, DTR_CONTROL_ENABLE },
        { RtsMode::Handshake, false, true, RTS_CONTROL_TOGGLE, DTR_CONTROL_DISABLE },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.rts) << " dtr " << c.dtrOn << " rs485 " << c.rs485);
        LineSettings s = LineOf(19200, 8, ParityKind::Even, StopBitsKind::One, c.rts, false);
        s.dtrOn = c.dtrOn;
        DCB dcb;
        BuildDcb(dcb, s, c.rs485);
        EXPECT_EQ(dcb.fRtsControl, c.rtsControl);
        EXPECT_EQ(dcb.fDtrControl, c.dtrControl);
        EXPECT_EQ(RtsControl(c.rts, c.rs485), c.rtsControl);
    }
}

TEST(Win32Comm, ReadsReturnAtOnceAndWritesGiveUpAfterTenMilliseconds)
{
    const COMMTIMEOUTS t = PollingTimeouts();
    EXPECT_EQ(t.ReadIntervalTimeout, 1u);
    EXPECT_EQ(t.ReadTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(t.ReadTotalTimeoutConstant, 1u);
    EXPECT_EQ(t.WriteTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(t.WriteTotalTimeoutConstant, 10u);
}

TEST(Win32Comm, APortNameOpensThroughTheDeviceNamespace)
{
    const struct {
        const char* name;
        const wchar_t* path;
    } cases[] = {
        { "COM1", L"\\\\.\\COM1" },
        { "COM12", L"\\\\.\\COM12" },
        { "\\\\.\\COM3", L"\\\\.\\COM3" },
        { "\\\\?\\usb#vid_1a86", L"\\\\?\\usb#vid_1a86" },
        { "", L"\\\\.\\" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(DevicePath(c.name), c.path) << c.name;
}

TEST(Win32Comm, ErrorsBecomeTheProjectsOwnAtOpenAndOnAnOpenPort)
{
    struct Case {
        DWORD err;
        PortError atOpen;
        PortError onOpenPort;
    };
    const Case cases[] = {
        { ERROR_SUCCESS, PortError::None, PortError::None },
        { ERROR_FILE_NOT_FOUND, PortError::NotFound, PortError::Lost },
        { ERROR_PATH_NOT_FOUND, PortError::NotFound, PortError::NotFound },
        { ERROR_INVALID_NAME, PortError::NotFound, PortError::NotFound },
        { ERROR_NOT_READY, PortError::NotFound, PortError::Lost },
        { ERROR_ACCESS_DENIED, PortError::Busy, PortError::Lost },
        { ERROR_SHARING_VIOLATION, PortError::Busy, PortError::Busy },
        { ERROR_BUSY, PortError::Busy, PortError::Busy },
        { ERROR_INVALID_FUNCTION, PortError::NotATerminal, PortError::NotATerminal },
        { ERROR_INVALID_PARAMETER, PortError::InvalidSetting, PortError::InvalidSetting },
        { ERROR_NOT_SUPPORTED, PortError::Unsupported, PortError::Unsupported },
        { ERROR_OPERATION_ABORTED, PortError::Other, PortError::Lost },
        { ERROR_BAD_COMMAND, PortError::Other, PortError::Lost },
        { ERROR_DEVICE_REMOVED, PortError::Other, PortError::Lost },
        { ERROR_DEVICE_NOT_CONNECTED, PortError::Other, PortError::Lost },
        { ERROR_GEN_FAILURE, PortError::Io, PortError::Lost },
        { ERROR_IO_DEVICE, PortError::Io, PortError::Io },
        { ERROR_INVALID_HANDLE, PortError::Io, PortError::Io },
        { ERROR_NOT_ENOUGH_MEMORY, PortError::OutOfResources, PortError::OutOfResources },
        { ERROR_TOO_MANY_OPEN_FILES, PortError::OutOfResources, PortError::OutOfResources },
        { ERROR_NO_SYSTEM_RESOURCES, PortError::OutOfResources, PortError::OutOfResources },
        { ERROR_HANDLE_EOF, PortError::Other, PortError::Other },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.err);
        EXPECT_EQ(PortErrorFromWin32(c.err), c.atOpen);
        EXPECT_EQ(OpenPortErrorFromWin32(c.err), c.onOpenPort);
    }
}

} // namespace
} // namespace zor::win32
