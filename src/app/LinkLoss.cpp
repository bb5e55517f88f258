// Losing the port and getting it back. A lost port (hang-up, I/O error,
// device gone, or udev removing the node the link holds) ends what runs on
// it at once, as "Стоп" and the write time-out would, and the technician is
// told once which port it was. While it is away the window tries it again;
// when the same port is back the link reopens with the line settings it had
// and automatic reading goes on; the link is told restored when something
// answers on it. A port that is back but refuses to open is explained once.
// A port that opens but fails again before anything answers on it is said
// so once, then tried ever more rarely and quietly until something answers.

#include "app/TFormMain.h"

#include "link/NetworkName.h"
#include "link/PortFacts.h"
#include "link/PortOpenError.h"

#include <algorithm>

namespace zor {

namespace {

// An adapter that goes away this soon after it arrived was taken, not
// pulled out.
constexpr uint32_t kQuickVanishMs = 5000;

bool IsTtyAcm(const std::string& node)
{
    return node.rfind("/dev/ttyACM", 0) == 0;
}

} // namespace

void TFormMain::PortLost()
{
    // Reopened meanwhile (a write's end may reopen the bus line).
    if (VSModbus.Connected() || !link_.lost.empty())
        return;
    const std::string port = VSModbus.PortName();
    // A bus over the network has a device server or gateway and a network
    // where a serial port has its adapter and cable.
    const bool network = IsNetworkName(port);
    const bool relapse = link_.onTrial && loop_.tickCount() - link_.reopenedAt <= kRelapseMs;
    link_.onTrial = false;
    link_.lost = port;
    link_.readingStopped = BtRead.action() == &ActReadStop;
    if (Finding_)
        ActStopExecute();
    if (link_.readingStopped) {
        // No answer can come on a lost port: nothing to wait for.
        ReadBusy_ = false;
        ActReadStopExecute();
        Panel.NoAnswer.setOn(true);
        if (SelNode_ && PanelRead())
            Panel.DevPanel.setText(SelNode_->text() + "  -  Порт потерян, показания устарели");
    }
    TimerReadOnes_->setEnabled(false);
    if (!relapse) {
        Log.Add("Порт " + port
            + (network ? " потерян: соединение разорвано или узел не отвечает."
                       : " потерян: адаптер отключён или не отвечает."));
    } else {
        if (!link_.quiet)
            Log.Add("Порт " + port + " открывается, но обмен через него не идёт: проверьте "
                + (network ? "преобразователь и сеть" : "адаптер и кабель")
                + ". Попытки открыть его будут всё реже, до первого ответа прибора.");
        link_.quiet = true;
        link_.regain->setInterval(std::min(2 * link_.regain->interval(), kRegainLongestMs));
    }
    link_.refusalTold = false;
    const std::string status = "Порт " + port + " потерян";
    SetStatus(status);
    link_.regain->setEnabled(true);
    // A write in flight ends as its time-out would, without waiting for it;
    // its message box comes after the loss is in place, and the end of the
    // write does not take the loss off the status bar.
    if (WriteOp_ != woNone || TimerTimeOut_->enabled()) {
        TimerTimeOutTimer();
        if (link_.lost == port)
            SetStatus(status);
    }
}

void TFormMain::PortChanged(const ports::PortEvent& event)
{
    ComBox.WMDeviceChange(event.change);
    const uint32_t now = loop_.tickCount();
    if (event.change.event == ports::TDeviceEvent::DeviceArrival) {
        link_.arrivals[event.node] = now;
        // Plugged in again: a new try, told as the first was.
        if (event.node == link_.held)
            Unquiet();
        TryRegain();
        return;
    }
    if (event.change.event != ports::TDeviceEvent::DeviceRemoveComplete)
        return;
    if (VSModbus.Connected() && !event.node.empty() && event.node == link_.held) {
        // Pulled out is a loss of its own, whatever came before.
        link_.onTrial = false;
        VSModbus.Close();
        PortLost();
    }
    const auto arrived = link_.arrivals.find(event.node);
    if (!event.adapter.empty() && arrived != link_.arrivals.end() && now - arrived->second <= kQuickVanishMs) {
        link_.vanishedChip = event.adapter;
        link_.vanishedNode = event.node;
        if (ProgramRunning("brltty", link_.proc))
            Log.Add(BrlttyText(event.adapter, event.node));
    }
    link_.arrivals.erase(event.node);
}

bool TFormMain::OpenLink()
{
    if (!VSModbus.Open())
        return false;
    link_.held = DeviceNode(VSModbus.PortName());
    // The direction of a network bus's RS-485 side is its device server's.
    if (VSModbus.RS485Mode() && !VSModbus.RS485Active() && !link_.rs485Told && !IsNetworkName(VSModbus.PortName())) {
        link_.rs485Told = true;
        Log.Add("Драйвер порта " + VSModbus.PortName()
            + " не переключает направление RS-485 сам. Большинство адаптеров USB-RS485 делают это сами; "
              "иначе нужен адаптер с автоматическим переключением.");
    }
    const auto arrived = link_.arrivals.find(link_.held);
    if (IsTtyAcm(link_.held) && arrived != link_.arrivals.end()
        && loop_.tickCount() - arrived->second <= 2 * kQuickVanishMs && ProgramRunning("ModemManager", link_.proc))
        Log.Add(ModemManagerText(link_.held));
    return true;
}

void TFormMain::TryRegain()
{
    if (link_.lost.empty())
        return;
    if (VSModbus.Connected() || OpenLink()) {
        Regained(true);
        return;
    }
    // Back, but refused (no access, or taken by another program): told
    // once, in the log and the status bar, never in a box from a timer.
    if (link_.refusalTold || VSModbus.LastError() == PortError::NotFound)
        return;
    link_.refusalTold = true;
    Log.Add(OpenFailureText());
    SetStatus("Порт " + link_.lost + " не открывается");
}

void TFormMain::ForgetLoss()
{
    link_.lost.clear();
    link_.onTrial = false;
    link_.readingStopped = false;
    link_.regain->setEnabled(false);
    Unquiet();
}

void TFormMain::Unquiet()
{
    link_.quiet = false;
    link_.regain->setInterval(kRegainCheckMs);
}

void TFormMain::Regained(bool resumeReading)
{
    const std::string port = link_.lost;
    link_.lost.clear();
    link_.regain->setEnabled(false);
    link_.onTrial = true;
    link_.reopenedAt = loop_.tickCount();
    // The link is back when something answers on it, not when it opens.
    if (!link_.quiet) {
        Log.Add("Порт " + port + " снова открыт.");
        SetStatus("Порт " + port + " снова открыт");
    }
    const bool reading = link_.readingStopped;
    link_.readingStopped = false;
    if (resumeReading && reading && SelNode_ && SelNode_->level() == 1)
        ActRenewExecute();
}

void TFormMain::LinkAnswered()
{
    link_.onTrial = false;
    Unquiet();
    const std::string port = VSModbus.PortName();
    Log.Add("Порт " + port + ": прибор отвечает, связь восстановлена.");
    // Reading keeps its own status.
    if (BtRead.action() != &ActReadStop)
        SetStatus("Порт " + port + ": связь восстановлена");
}

} // namespace zor
