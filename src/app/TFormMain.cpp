#include "app/TFormMain.h"

#include "app/HolderLine.h"

#include "commands/TAboutBox.h"
#include "commands/TFormDlg.h"
#include "commands/TFormLora.h"
#include "device/Tables.h"

#include <algorithm>

namespace zor {

TFormMain::TFormMain(Platform platform)
    : ComPort(std::move(platform.ports))
    , VSModbus(platform.loop, std::move(platform.linkPort))
    , loop_(platform.loop)
    , dialogs_(platform.dialogs)
    , windows_(platform.windows)
    , separator_(platform.separator)
    , TimerFind_(loop_.createTimer())
    , TimerRead_(loop_.createTimer())
    , TimerReadOnes_(loop_.createTimer())
    , TimerTimeOut_(loop_.createTimer())
    , decoder_(DevList_, DevTree, SelNode_, Panel, separator_)
    , settingsWrite_(*this, *this, { Panel, DevList_, DevTree, dialogs_ }, WriteOp_)
    , currentOutput_(*this, *this, Panel, DevList_)
    , formDlg_(std::make_unique<TFormDlg>(settingsWrite_, static_cast<CommandWindow&>(*this)))
    , formLora_(std::make_unique<TFormLora>(
          static_cast<CommandBus&>(*this), static_cast<CommandWindow&>(*this), dialogs_, WriteOp_))
    , aboutBox_(std::make_unique<TAboutBox>())
    , journal_(loop_, { DevList_, Panel, formLora_->Settings, [this] { return settingsWrite_.SpanValue(); } })
{
    journal_.Attach(platform.journal, platform.clock);
    // A successful span takes the calibration mark off the detector's node.
    journal_.OnRecord = [this](int64_t id, const journal::JournalRecord& r) {
        if (id > 0 && r.success && r.kind == static_cast<int>(journal::Operation::Span))
            for (forms::TreeNode* node : DevTree.allNodes())
                if (node->level() == 1 && node->overlayIndex() > 0 && DevList_.at(node->overlayIndex())
                    && DevList_.at(node->overlayIndex())->Serial == r.serial)
                    DevTree.setHint(node, "");
        if (id == 0)
            Log.Add("Журнал: запись не сохранена (" + journal_.Store()->LastError() + ")");
    };
    // The link as the window description sets it up.
    VSModbus.SetPortName("COM1");
    VSModbus.SetBaudRate(TBaudRate::brCustom);
    VSModbus.SetBaudRateValue(19200);
    VSModbus.SetParity(TParity::pEven);
    VSModbus.SetHwFlow(THwFlowControl::hfNONE);
    VSModbus.SetPollingDelay(500);
    VSModbus.SetInputTimeout(500);
    VSModbus.SetResponseTimeout(50);
    VSModbus.SetOnModbusPacketEvent([this](TVSModbusRTU& sender, const uint8_t* data, uint16_t size) {
        VSModbusModbusPacketEvent(sender, data, size);
    });
    VSModbus.SetOnPortLost([this](TVSCOM&) { PortLost(); });
    link_.proc = platform.proc;
    link_.regain = loop_.createTimer();
    link_.regain->setInterval(kRegainCheckMs);
    link_.regain->setHandler([this] { TryRegain(); });

    // The holder of the bus settings; its own port is never opened.
    ComPort.SetEnumPorts(ports::TEnumPorts::epFullPresent);
    ComPort.SetBaudRate(19200);
    ComPort.SetParity(ports::TParity::pEven);
    ComPort.SetStopBits(ports::TStopBits::sbOne);
    ComPort.SetByteSize(8);
    ComPort.SetStreamProtocol(ports::TStreamProtocol::spNone);
    ComPort.SetRS485Mode(false);
    ComPort.SetComPortNo(1);
    ComBox.SetResetOnChanged(false);
    ComBox.SetPortHolder(&ComPort);
    ComBox.OnChange = [this] { ComBoxChange(); };
    // A port listed as number 1 is what the window starts on; the link opens
    // it by its platform name. Without one nothing is chosen, and the first
    // command that needs the port says to pick one.
    VSModbus.SetPortName(ComPort.LinkName());

    TimerFind_->setHandler([this] { TimerFindTimer(); });
    TimerRead_->setInterval(2000);
    TimerRead_->setHandler([this] { TimerReadTimer(); });
    TimerReadOnes_->setHandler([this] { TimerReadOnesTimer(); });
    TimerTimeOut_->setHandler([this] { TimerTimeOutTimer(); });
    TimerOverview_ = loop_.createTimer();
    TimerOverview_->setInterval(kOverviewTickMs);
    TimerOverview_->setHandler([this] { TimerOverviewTimer(); });
    TimerHint_ = loop_.createTimer();
    TimerHint_->setInterval(1);
    TimerHint_->setHandler([this] { TimerHintTimer(); });

    Panel.DevPanel.setEnabled(false);
    Panel.ChBoxCurrFix.setEnabled(false);
    ActRenew.setEnabled(false);
    Panel.ActZero.setEnabled(false);
    Panel.ActCalb.setEnabled(false);
    Panel.ActInit.setEnabled(false);
    Panel.ActInit.setVisible(false);
}

TFormMain::~TFormMain()
{
    // The box must let go of the holder before the holder goes.
    ComBox.SetPortHolder(nullptr);
}

void TFormMain::FormCreate()
{
    DevTree.clear();
    // The counters read from the start, not only from the first request.
    StatBar.setText(1, "Tx: " + std::to_string(TxCount_));
    StatBar.setText(2, "Rx: " + std::to_string(RxCount_));
    PortCaption(ComBox.text(), VSModbus.BaudRateValue(), static_cast<int>(VSModbus.DataBits()) + 5,
        static_cast<int>(VSModbus.Parity()), static_cast<int>(VSModbus.StopBits()));
}

void TFormMain::PortCaption(const std::string& name, uint32_t baud, int dataBits, int parity, int stopBits)
{
    StatBar.setText(0, name + ": " + LineCaption(baud, dataBits, parity, stopBits));
}

void TFormMain::ComBoxChange()
{
    PortCaption(ComBox.text(), ComPort.BaudRate(), ComPort.ByteSize(), static_cast<int>(ComPort.Parity()),
        static_cast<int>(ComPort.StopBits()));
    VSModbus.Close();
    // The link opens the chosen entry by its platform name: the adapter's
    // stable name, or its device path.
    VSModbus.SetPortName(ComPort.LinkName());
    // A lost port is not waited for once a port is chosen in the list.
    ForgetLoss();
}

void TFormMain::bCfgClick(ports::LineSettingsDialog& dialog)
{
    ComPort.ConfigDialog(dialog); // confirmed or not, the settings are copied
    PortCaption(ComBox.text(), ComPort.BaudRate(), ComPort.ByteSize(), static_cast<int>(ComPort.Parity()),
        static_cast<int>(ComPort.StopBits()));
    VSModbus.Close();
    ApplyToLink();
}

void TFormMain::ApplyToLink()
{
    VSModbus.SetBaudRateValue(ComPort.BaudRate());
    // The link counts data bits from 5 and knows 5 to 8 of them.
    VSModbus.SetDataBits(static_cast<TDataBits>(std::clamp<int>(ComPort.ByteSize(), 5, 8) - 5));
    VSModbus.SetParity(LinkParity(ComPort.Parity()));
    VSModbus.SetStopBits(LinkStopBits(ComPort.StopBits()));
    VSModbus.SetRS485Mode(ComPort.RS485Mode());
}

void TFormMain::ReopenLink(uint32_t baud, TParity parity, TStopBits stopBits)
{
    VSModbus.Close();
    VSModbus.SetBaudRateValue(baud);
    VSModbus.SetParity(parity);
    VSModbus.SetStopBits(stopBits);
    OpenLink();
}

void TFormMain::ReopenBusLine()
{
    ReopenLink(ComPort.BaudRate(), LinkParity(ComPort.Parity()), LinkStopBits(ComPort.StopBits()));
}

void TFormMain::FormClose()
{
    // Nothing is offered to a window that closes; what the journal waits
    // for will not come.
    Sweep_.reset();
    journal_.Ended(false, "Операция прервана: программа закрыта");
    journal_.Flush();
    if (Finding_)
        ActStopExecute();
    VSModbus.Close();
    ForgetLoss();
    DevList_.freeAll();
}

uint8_t TFormMain::SelAddr() const
{
    return SelNode_ ? static_cast<uint8_t>(SelNode_->overlayIndex()) : 0;
}

void TFormMain::Message(const std::string& text)
{
    dialogs_.inform(forms::DialogOwner::Main, text);
}

void TFormMain::BtFindClick()
{
    if (BtFind.action() == &ActStop)
        ActStopExecute();
    else
        ActFindExecute();
}

void TFormMain::BtReadClick()
{
    if (BtRead.action() == &ActReadStop)
        ActReadStopExecute();
    else
        ActRenewExecute();
}

} // namespace zor
