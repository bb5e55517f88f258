#pragma once
// termios records for the POSIX serial port backend, built by small pure
// functions so that each setting can be checked without a device.

#include "link/SerialPort.h"

#include <optional>
#include <sys/types.h>
#include <termios.h>

namespace zor::posix {

// The speed code termios has for this rate, if any; other rates need the
// kernel's custom-rate call.
std::optional<speed_t> StandardSpeed(uint32_t baud);

// Raw binary transfer: no echo, no line editing, no signals, no character
// translation, no input parity checking; the receiver on and modem control
// lines ignored; reads return at once with what is queued.
void MakeRaw(termios& t);
void SetDataBits(termios& t, uint8_t bits);
// Odd and even use PARENB/PARODD, mark and space the CMSPAR extension (the
// parity bit stuck at one or zero).
void SetParity(termios& t, ParityKind parity);
// One and a half stop bits have no termios form; two are sent instead (a
// receiver that wants one and a half takes two as well).
void SetStopBits(termios& t, StopBitsKind stopBits);
void SetFlowControl(termios& t, RtsMode rts, bool xonXoff);

// The whole record for s. A pseudo-terminal carries only 8-bit characters
// without parity and refuses requests for anything else, so for one the
// character size and parity are left as the device has them. Returns false
// when the rate has no speed code: the record then holds B38400 and the rate
// is set afterwards with SetCustomRate.
bool BuildTermios(termios& t, const LineSettings& s, bool pseudoTerminal);

// Whether a character device number is that of a pseudo-terminal slave.
bool IsPseudoTerminalSlave(dev_t device);

} // namespace zor::posix
