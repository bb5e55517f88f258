// The handlers of the commands that change a detector: each forwards to the
// command object that owns the operation (src/commands). Also the window's
// side of what those objects ask of it, and the LoRa menu, which reads.

#include "app/TFormMain.h"

#include "commands/TFormDlg.h"
#include "commands/TFormLora.h"
#include "device/Registers.h"

namespace zor {

void TFormMain::ActWriteAddrExecute()
{
    settingsWrite_.WriteInterface();
}

void TFormMain::ActWriteOptExecute()
{
    settingsWrite_.WriteOptions();
}

WriteAdvance TFormMain::AdvanceWrite(uint8_t address, uint8_t, uint16_t value, uint16_t reg)
{
    // Of the echoes the chain does not take, only the LoRa restart's ends
    // something.
    const WriteAdvance result = settingsWrite_.Advance(address, value, reg);
    if (reg == RegLoraCtrl)
        formLora_->Writer().Restarted();
    JournalRead(result == WriteAdvance::ReadBack);
    return result;
}

void TFormMain::ActZeroExecute()
{
    settingsWrite_.Zero();
}

void TFormMain::ActInitExecute()
{
    settingsWrite_.Reset();
}

void TFormMain::ActCalbExecute()
{
    if (const std::optional<int32_t> tag = settingsWrite_.CalibrationTag())
        formDlg_->Open(*tag);
}

bool TFormMain::ApplySpan(float x)
{
    return settingsWrite_.ApplySpan(x);
}

void TFormMain::RBt01mAClick()
{
    currentOutput_.Drive1mA();
}

void TFormMain::RBt04mAClick()
{
    currentOutput_.Drive4mA();
}

void TFormMain::RBt20mAClick()
{
    currentOutput_.Drive20mA();
}

void TFormMain::ActWriteCurrExecute()
{
    currentOutput_.WriteMeasured();
}

void TFormMain::ChBoxCurrFixClick()
{
    currentOutput_.FixChanged();
}

void TFormMain::N11Click()
{
    if (!SelNode_ || RefuseWhileWriting() || !LinkReady())
        return;
    WaitReadIdle();
    // Nothing enables it again when the LoRa window closes: automatic
    // reading stays stopped.
    TimerRead_->setEnabled(false);
    ReadLoraBlock();
}

bool TFormMain::WriteLoraBlock(uint8_t address, uint8_t start, const uint16_t* data, uint8_t count)
{
    return formLora_->Writer().WriteBlock(address, start, data, count);
}

bool TFormMain::ContinueLoraWrite(uint8_t, uint8_t start, uint8_t)
{
    return formLora_->Writer().Continue(start);
}

bool TFormMain::Reading() const
{
    return TimerRead_->enabled();
}

void TFormMain::HoldReading()
{
    TimerRead_->setEnabled(false);
}

void TFormMain::ReadLoraBlock()
{
    ReadBlock(SelAddr(), LoraBlock);
}

void TFormMain::RenameNode(forms::TreeNode* node, uint8_t address, int32_t serial)
{
    journal_.Moved(address);
    DevTree.setText(node, NodeText(address, serial));
    DevTree.setOverlayIndex(node, address);
    Overview.Sync(DevList_);
}

void TFormMain::JournalRead(bool follows)
{
    const ServiceJournal::Need need = journal_.AfterEnd(follows || TimerRead_->enabled());
    if (need == ServiceJournal::Need::Nothing)
        return;
    const bool lora = need == ServiceJournal::Need::Lora;
    // One read, only when nothing else is outstanding, of the device still
    // selected (the LoRa block while its window shows it); else the record
    // goes without the values after.
    if (!SelNode_ || SelAddr() != journal_.Address() || !VSModbus.Connected() || ReadBusy_ || WriteOp_ != woNone
        || Finding_ || (lora && !windows_.LoraVisible())) {
        journal_.Flush();
        return;
    }
    Log.Add("Прибор:" + std::to_string(SelAddr()) + "  чтение для журнала");
    JournalLoraRead_ = lora;
    if (lora)
        ReadLoraBlock();
    else
        ReadBlock(SelAddr(), PanelBlock);
}

void TFormMain::ShowConcentrationDialog()
{
    windows_.ShowConcentrationDialog();
}

void TFormMain::CloseConcentrationDialog()
{
    windows_.CloseConcentrationDialog();
}

} // namespace zor
