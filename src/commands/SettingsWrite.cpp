// The settings write sequence: the write permission is opened, the new values
// go out one register at a time, each only when the device has echoed the one
// before, and the permission is closed again. The chain is driven by the
// echoes: the reply dispatch hands every one of them to AdvanceWrite.

#include "app/TFormMain.h"

#include "app/HolderLine.h"

#include "commands/TFormLora.h"
#include "device/Device.h"
#include "device/DeviceTexts.h"
#include "device/Registers.h"
#include "device/Tables.h"

#include <algorithm>
#include <cmath>

namespace zor {

namespace {

constexpr uint16_t kStartEcho = 0xFFFF;
constexpr uint16_t kStepTimeoutMs = 1500;
constexpr std::string_view kClosing = "Закрытие разрешений...";

// Item index of a list, 0 while it has no selection.
int Item(const forms::ComboList& list)
{
    return std::max(list.itemIndex(), 0);
}

// A spin edit's value as the whole number it shows.
int Whole(const forms::SpinEdit& edit)
{
    return static_cast<int>(std::nearbyint(edit.value()));
}

// The code a list gives a field of the line word: its item's, or, while it
// has no item selected (a code it offers no item for), the device's own.
int Code(const forms::ComboList& list, int first, int held)
{
    return list.itemIndex() >= 0 ? list.itemIndex() + first : held;
}

uint16_t LineWordOf(const DevicePanel& p, uint16_t held)
{
    return LineWord(Whole(p.SEditAddr), Code(p.CBoxBaud, 1, LineBaudCode(held)),
        Code(p.CBoxPar, 0, LineParityCode(held)), Code(p.CBoxStopBit, 1, LineStopCode(held)));
}

// Relay 1 and relay 2, and the diagnostic relay where the device has one (its
// list is shown): a write must not reset a mode the technician did not touch.
uint16_t RelayWordOf(const DevicePanel& p)
{
    int word = Item(p.CBoxRelay1) * Relay1 + Item(p.CBoxRelay2) * Relay2;
    if (p.CBoxRelayD.visible())
        word += Item(p.CBoxRelayD) * RelayDiag;
    return static_cast<uint16_t>(word);
}

} // namespace

void TFormMain::StartOperation(TWriteOp op)
{
    if (!LinkReady())
        return;
    WriteOp_ = op;
    WriteNode_ = SelNode_;
    Sent_.clear();
    AdvanceWrite(SelAddr(), FnWriteRegister, kStartEcho, RegState);
}

void TFormMain::ActWriteAddrExecute()
{
    if (WriteOp_ != woNone || !SelNode_ || ReadBusy_ || RefuseUnread(PanelRead()))
        return;
    const int address = Whole(Panel.SEditAddr);
    // Writing a device's own address again is allowed: it rewrites its line
    // settings.
    for (const forms::TreeNode* node : DevTree.allNodes()) {
        if (node->overlayIndex() == address && address > 0 && address != SelNode_->overlayIndex()) {
            Message("Адрес используется другим прибором!");
            return;
        }
    }
    StartOperation(woInterface);
}

void TFormMain::ActWriteOptExecute()
{
    if (WriteOp_ != woNone || !SelNode_ || ReadBusy_ || RefuseUnread(PanelRead()))
        return;
    if (Panel.EditLimit1.value() > Panel.EditLimit2.value()) {
        dialogs_.message(
            forms::DialogOwner::Main, forms::MessageKind::Error, "Порог 1 > Порога 2", forms::MessageButtons::OkCancel);
        return;
    }
    StartOperation(woOptions);
}

uint16_t TFormMain::Scaled(uint8_t address, double value) const
{
    // The factor is single precision; the product rounds half to even.
    const float factor = static_cast<float>(std::pow(10.0, Gases[GasCode(*DevList_.at(address))].Decimals));
    return static_cast<uint16_t>(static_cast<int64_t>(std::nearbyint(value * factor)));
}

uint16_t TFormMain::Entered(uint8_t address, forms::SpinEdit& edit, uint16_t reg)
{
    if (!edit.modified())
        return DevList_.at(address)->Regs[reg];
    Sending(edit);
    return Scaled(address, edit.value());
}

void TFormMain::SendStep(uint8_t address, uint16_t reg, uint16_t value)
{
    if (WriteOp_ == woNone)
        return;
    IssueWrite(address, reg, value);
    ArmTimeOut(kStepTimeoutMs);
}

void TFormMain::KeepWaiting()
{
    // The dispatch has taken the echo for an answer and stopped the timer;
    // without this the operation would never end.
    Answered_ = false;
    TimerTimeOut_->setEnabled(true);
}

std::optional<TFormMain::WriteStep> TFormMain::NextStep(uint8_t address, uint16_t reg, uint16_t value)
{
    const auto limit1 = [&] {
        return WriteStep { RegLimit1, Entered(address, Panel.EditLimit1, RegLimit1), "Запись порога №1..." };
    };
    const auto limit2 = [&] {
        return WriteStep { RegLimit2, Entered(address, Panel.EditLimit2, RegLimit2), "Запись порога №2..." };
    };
    const auto hyster = [&] {
        // Untouched, the register goes back as it is. The edit offers no
        // more than the byte holds; the byte goes to both halves.
        const bool typed = Panel.EditHyster.modified();
        const uint16_t word = Entered(address, Panel.EditHyster, RegHyster);
        return WriteStep { RegHyster, typed ? static_cast<uint16_t>((word & 0x00FF) * 257) : word,
            "Запись гистерезиса..." };
    };
    const auto blocking = [&] {
        Sending(Panel.CBoxBlock);
        return WriteStep { RegOptions, static_cast<uint16_t>(Panel.CBoxBlock.checked() ? OptBlock : 0),
            "Запись блокировки..." };
    };
    const WriteStep close { RegState, WritePermissionClosed, kClosing };

    switch (reg) {
    case RegState:
        if (value == kStartEcho)
            return WriteStep { RegState, WritePermissionOpen, "Установка разрешений..." };
        if (value != WritePermissionOpen)
            return std::nullopt;
        switch (WriteOp_) {
        case woInterface:
            Sending(Panel.SEditAddr, Panel.CBoxBaud, Panel.CBoxPar, Panel.CBoxStopBit);
            return WriteStep { RegLine, LineWordOf(Panel, DevList_.at(address)->Regs[RegLine]),
                "Запись настроек интерфейса..." };
        case woOptions:
            return WriteStep { RegMagnetConc, Entered(address, Panel.EditMagnet, RegMagnetConc),
                "Запись для магнитной калибровки..." };
        case woZero:
            return WriteStep { RegConc, CmdSetZero, WriteOpTexts[woZero] };
        case woSpan:
            return WriteStep { RegConc, SpanValue_, WriteOpTexts[woSpan] };
        case woReset:
            return WriteStep { RegConc, CmdResetCalibration, WriteOpTexts[woReset] };
        default:
            return std::nullopt;
        }
    case RegLine:
    case RegOptions:
    case RegConc:
        return close;
    case RegMagnetConc: {
        // The device never holds a threshold 1 above its threshold 2, not
        // even between two steps.
        const WriteStep first = limit1();
        Limit1First_ = first.value < DevList_.at(address)->Regs[RegLimit2];
        return Limit1First_ ? first : limit2();
    }
    case RegLimit1:
        return Limit1First_ ? limit2() : hyster();
    case RegLimit2:
        return Limit1First_ ? hyster() : limit1();
    case RegHyster:
        return WriteStep { RegZeroZone, Entered(address, Panel.EditZeroZone, RegZeroZone), "Запись нулевой зоны..." };
    case RegZeroZone:
        if (Panel.CBoxRelay1.enabled()) {
            Sending(Panel.CBoxRelay1, Panel.CBoxRelay2, Panel.CBoxRelayD);
            return WriteStep { RegRelays, RelayWordOf(Panel), "Запись настроек реле" };
        }
        return blocking();
    case RegRelays:
        return blocking();
    default:
        return std::nullopt;
    }
}

// Every step goes out as a single-register write, the only function the
// dispatch passes.
int TFormMain::AdvanceWrite(uint8_t address, uint8_t, uint16_t value, uint16_t reg)
{
    // The chain never writes the gas register or above; of those echoes only
    // the LoRa restart's ends something.
    if (reg >= RegGas) {
        if (reg == RegLoraCtrl) {
            SetStatus("Успешно!");
            formLora_->Caption.setText(StatBar.text(3));
            WriteOp_ = woNone;
        }
        return 0;
    }
    TimerTimeOut_->setEnabled(false);
    if (WriteOp_ == woNone) {
        // The single writes of the current output: nothing follows them.
        if (reg == RegConc)
            SetStatus(std::string(kClosing));
        return 1;
    }
    if (!DevList_.at(address)) {
        // No record, no scale factor: the chain cannot go on from here.
        Log.Add("Прибор:" + std::to_string(address) + "  не найден в списке");
        KeepWaiting();
        return 1;
    }
    if (reg == RegState && value == WritePermissionClosed)
        return EndOperation(address);
    const std::optional<WriteStep> next = NextStep(address, reg, value);
    if (!next) {
        KeepWaiting();
        return 1;
    }
    if (reg == RegLine)
        InterfaceHandling(address, value);
    SetStatus(std::string(next->status));
    SendStep(address, next->reg, next->value);
    return 1;
}

void TFormMain::InterfaceHandling(uint8_t& address, uint16_t lineWord)
{
    TDevice* dev = DevList_.at(address);
    LineChanged_ = (dev->Regs[RegLine] & 0x00FF) != (lineWord & 0x00FF);
    dev->Regs[RegLine] = lineWord;

    const auto n = static_cast<uint8_t>(LineAddress(lineWord));
    if (n != address) {
        if (TDevice* moved = DevList_.move(address, n)) {
            if (WriteNode_) {
                DevTree.setText(WriteNode_, NodeText(n, moved->Serial));
                DevTree.setOverlayIndex(WriteNode_, n);
                if (WriteNode_ == SelNode_)
                    Panel.DevPanel.setText(WriteNode_->text() + std::string(CaptionDash) + moved->StateText);
            }
        } else {
            Message("Критическая ошибка");
        }
    }
    if (LineChanged_ && static_cast<size_t>(LineBaudCode(lineWord)) < BaudRates.size()) {
        // The device answers the closing write at its new line settings.
        ReopenLink(static_cast<uint32_t>(BaudRates[static_cast<size_t>(LineBaudCode(lineWord))]),
            static_cast<TParity>(ParityCodes[static_cast<size_t>(LineParityCode(lineWord))]),
            static_cast<TStopBits>(StopBitCodes[static_cast<size_t>(LineStopCode(lineWord))]));
    }
    address = n;
}

void TFormMain::ReopenBusLine()
{
    ReopenLink(ComPort.BaudRate(), LinkParity(ComPort.Parity()), LinkStopBits(ComPort.StopBits()));
}

int TFormMain::EndOperation(uint8_t address)
{
    SetStatus("");
    const TWriteOp op = WriteOp_;
    const bool calibration = op == woZero || op == woSpan || op == woReset;
    // What was typed and sent is now what the device holds; what was typed
    // again after its step went out stays entered.
    for (const auto& take : Sent_)
        take();
    Sent_.clear();
    // Replies and timers keep running while the box is open; the rest waits
    // for the user to close it.
    Message(calibration ? std::string(WriteOpDoneTexts[op]) : std::string("Параметры изменены!"));
    WriteOp_ = woNone;
    if (LineChanged_) {
        // The device no longer speaks the bus settings.
        RemoveDevice(address, WriteNode_);
        LineChanged_ = false;
        ReopenBusLine();
        return 1;
    }
    return Panel.CBoxGas.enabled() && WriteNode_ && SelNode_ == WriteNode_ ? 2 : 1;
}

} // namespace zor
