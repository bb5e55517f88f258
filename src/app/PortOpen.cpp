// Opening the port for a command, and the port and line settings kept
// across runs. A command that needs the port first reopens a closed link;
// when that fails the technician is told what failed and what to do, and
// nothing is sent.

#include "app/TFormMain.h"

#include "link/NetworkName.h"
#include "link/PortFacts.h"
#include "link/PortOpenError.h"

namespace zor {

namespace {
// Above any rate a USB-serial adapter runs a Modbus line at.
constexpr uint32_t kHighestRememberedBaud = 4000000;
} // namespace

bool TFormMain::LinkReady()
{
    if (VSModbus.Connected())
        return true;
    if (VSModbus.PortName().empty()) {
        Refuse(kNoPortText);
        return false;
    }
    // A command is the technician's own try: whatever it meets is told.
    Unquiet();
    if (!OpenLink()) {
        Refuse(OpenFailureText());
        return false;
    }
    // The command goes on on its own; reading the loss stopped is not taken
    // up behind it.
    if (!link_.lost.empty())
        Regained(false);
    return true;
}

void TFormMain::Refuse(const std::string& text)
{
    Log.Add(text);
    dialogs_.message(forms::DialogOwner::Main, forms::MessageKind::Error, text, forms::MessageButtons::Ok);
}

std::string TFormMain::OpenFailureText() const
{
    OpenFailure f;
    f.port = VSModbus.PortName();
    f.error = VSModbus.LastError();
    const std::string node = DeviceNode(f.port);
    switch (f.error) {
    case PortError::AccessDenied:
        f.group = NodeGroup(f.port);
        f.user = UserName();
        break;
    case PortError::Busy:
        f.holder = ProgramHolding(f.port, link_.proc);
        f.modemManager = node.rfind("/dev/ttyACM", 0) == 0 && ProgramRunning("ModemManager", link_.proc);
        break;
    case PortError::NotFound:
        if (!link_.vanishedChip.empty() && ProgramRunning("brltty", link_.proc))
            f.brlttyAdapter = link_.vanishedChip;
        break;
    default:
        break;
    }
    return zor::OpenFailureText(f);
}

LineMemory TFormMain::RememberedLine() const
{
    LineMemory m;
    // A chosen adapter that is away is still the one to start on.
    m.port = ComPort.ChosenLinkName();
    m.baud = ComPort.BaudRate();
    m.byteSize = ComPort.ByteSize();
    m.parity = static_cast<uint8_t>(ComPort.Parity());
    m.stopBits = static_cast<uint8_t>(ComPort.StopBits());
    m.rs485 = ComPort.RS485Mode();
    m.network = NetPort_;
    return m;
}

void TFormMain::RecallLine(const LineMemory& line)
{
    // The settings file may have been edited or damaged: a value no control
    // could have set leaves the setting as it is.
    if (line.baud > 0 && line.baud <= kHighestRememberedBaud)
        ComPort.SetBaudRate(line.baud);
    if (line.byteSize >= 5 && line.byteSize <= 8)
        ComPort.SetByteSize(line.byteSize);
    if (line.parity <= static_cast<uint8_t>(ports::TParity::pSpace))
        ComPort.SetParity(static_cast<ports::TParity>(line.parity));
    if (line.stopBits <= static_cast<uint8_t>(ports::TStopBits::sbTwo))
        ComPort.SetStopBits(static_cast<ports::TStopBits>(line.stopBits));
    ComPort.SetRS485Mode(line.rs485);
    NetPort_ = line.network;
    // A network bus is never in the platform's list: it is there when named.
    if (IsNetworkName(line.port))
        UsePort(line.port, "");
    // A remembered port that is not there now is not chosen, and no other
    // one in its place.
    if (!ComPort.Choose(line.port))
        ComPort.SetComPortNo(0);
    ComBoxChange();
    ApplyToLink();
}

} // namespace zor
