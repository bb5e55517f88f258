#pragma once
// The line settings of the port holder, kept in a record shaped like the
// platform's device-control block: rate, character format, the flag word
// with the flow-control bits, and the XON/XOFF settings. The codes of
// parity and stop bits are the platform's, so the window copies them into
// the Modbus link unchanged.

#include <cstdint>

namespace zor::ports {

// The ordinal is the parity code 0 to 4.
enum class TParity : uint8_t { pNone, pOdd, pEven, pMark, pSpace };
// The ordinal is the stop-bit code 0 to 2.
enum class TStopBits : uint8_t { sbOne, sbOneAndHalf, sbTwo };
// No flow control; XON/XOFF; RTS/CTS.
enum class TStreamProtocol : uint8_t { spNone, spXonXoff, spHardware };

// Bits of the flag word, at the places the platform gives them.
enum : uint32_t {
    dcbBinary = 0x0001,
    dcbParity = 0x0002, // parity checking
    dcbOutxCtsFlow = 0x0004,
    dcbOutxDsrFlow = 0x0008,
    dcbDtrControlEnable = 0x0010,
    dcbDtrControlHigh = 0x0020, // the upper bit of the DTR control
    dcbDsrSensitivity = 0x0040,
    dcbTXContinueOnXoff = 0x0080,
    dcbOutX = 0x0100,
    dcbInX = 0x0200,
    dcbErrorChar = 0x0400,
    dcbNull = 0x0800,
    dcbRtsControlEnable = 0x1000,
    dcbRtsControlHandshake = 0x2000,
    dcbRtsControlToggle = 0x3000,
    dcbAbortOnError = 0x4000,
};

// The flag words of the flow-control modes.
inline constexpr uint32_t kFlagsRS485 = dcbBinary | dcbDtrControlEnable | dcbRtsControlToggle; // 0x3011
inline constexpr uint32_t kFlagsNone = dcbBinary | dcbDtrControlEnable | dcbRtsControlEnable; // 0x1011
inline constexpr uint32_t kFlagsXonXoff = kFlagsNone | dcbOutX | dcbInX; // 0x1311
inline constexpr uint32_t kFlagsHardware
    = dcbBinary | dcbOutxCtsFlow | dcbDtrControlEnable | dcbRtsControlHandshake; // 0x2015

struct CommConfig {
    uint32_t BaudRate = 0;
    uint32_t Flags = 0;
    uint16_t XonLim = 0;
    uint16_t XoffLim = 0;
    uint8_t ByteSize = 0;
    uint8_t Parity = 0; // TParity code
    uint8_t StopBits = 0; // TStopBits code
    char XonChar = 0;
    char XoffChar = 0;
    char EventChar = 0;

    bool operator==(const CommConfig&) const = default;
};

// The flag word with the flow-control bits of a mode: the bits that do not
// concern flow control are kept, the others replaced. RS-485 mode (RTS
// toggled around each transmission) takes precedence over the protocol.
uint32_t StreamProtocolFlags(uint32_t flags, TStreamProtocol protocol, bool rs485Mode);

// The mode read back from a flag word.
struct StreamMode {
    TStreamProtocol protocol = TStreamProtocol::spNone;
    bool rs485Mode = false;
};
StreamMode DeriveStreamProtocol(uint32_t flags);

} // namespace zor::ports
