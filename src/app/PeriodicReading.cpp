// Automatic reading: every 2 s a cycle of two requests, the gas input
// register and then the panel block, chained by the reply dispatch.

#include "app/TFormMain.h"

#include "device/Registers.h"

namespace zor {

namespace {
void EnableWriteButtons(DevicePanel& p, bool on)
{
    p.ActWriteOpt.setEnabled(on);
    p.SpBtSetOptions.setEnabled(on);
    p.ActWriteAddr.setEnabled(on);
    p.SpBtSetAddr.setEnabled(on);
}
} // namespace

void TFormMain::ActRenewExecute()
{
    if (Finding_)
        return;
    if (SelNode_ && SelNode_->level() == 1) {
        // A start needs the port; a tick runs on the link the start opened.
        if (!TimerRead_->enabled()) {
            if (!LinkReady())
                return;
            // A fresh start counts missed cycles from nought.
            link_.missedCycles = 0;
            link_.silenceTold = false;
        }
        CaptionSelected();
        BtRead.setAction(&ActReadStop);
        SetStatus("Автоматическое чтение");
        EnableWriteButtons(Panel, false);
        // Pressed while a write operation runs, reading starts with the
        // first tick after it (a read now would take its echo's place).
        if (WriteOp_ == woNone) {
            ReadTickAt_ = loop_.tickCount();
            ReadGas(SelAddr());
            ReadBusy_ = true;
        }
        TimerRead_->setEnabled(true);
    } else {
        dialogs_.message(
            forms::DialogOwner::Main, forms::MessageKind::Warning, "Укажите прибор!", forms::MessageButtons::OkCancel);
    }
}

void TFormMain::TimerReadTimer()
{
    if (Finding_) {
        ActReadStopExecute();
        return;
    }
    if (WriteOp_ != woNone)
        return;
    const bool missed = ReadBusy_;
    ActRenewExecute();
    CountCycle(missed);
}

void TFormMain::ResumeReading(bool wasOn)
{
    // A port lost meanwhile (a question box or a wait ran the loop) has
    // stopped reading for good.
    TimerRead_->setEnabled(wasOn && BtRead.action() == &ActReadStop && VSModbus.Connected());
}

void TFormMain::ActReadStopExecute()
{
    TimerRead_->setEnabled(false);
    BtRead.setAction(&ActRenew);
    WaitReadIdle();
    EnableWriteButtons(Panel, true);
    SetStatus("");
}

void TFormMain::TimerReadOnesTimer()
{
    TimerReadOnes_->setEnabled(false);
    if (!SelNode_)
        return;
    // A write operation started meanwhile: the read waits until it has ended.
    if (WriteOp_ != woNone) {
        TimerReadOnes_->setEnabled(true);
        return;
    }
    CaptionSelected();
    ReadBlock(SelAddr(), PanelBlock);
}

} // namespace zor
