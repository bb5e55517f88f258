// The settings write chain: the steps, their order and their echoes.

#include "commands/SettingsWrite.h"

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
constexpr std::string_view kWriteFailed = "Ошибка записи параметров!";

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

journal::Operation Recorded(TWriteOp op)
{
    switch (op) {
    case woInterface:
        return journal::Operation::Interface;
    case woZero:
        return journal::Operation::Zero;
    case woSpan:
        return journal::Operation::Span;
    case woReset:
        return journal::Operation::Reset;
    default:
        return journal::Operation::Options;
    }
}

} // namespace

SettingsWrite::SettingsWrite(CommandBus& bus, CommandWindow& window, Models models, TWriteOp& op)
    : bus_(bus)
    , window_(window)
    , m_(models)
    , op_(op)
{
}

void SettingsWrite::Start(TWriteOp op)
{
    if (!bus_.LinkReady())
        return;
    window_.Recorder().Began(Recorded(op), window_.SelAddr());
    op_ = op;
    WriteNode_ = window_.SelNode();
    sent_.clear();
    Advance(window_.SelAddr(), kStartEcho, RegState);
}

void SettingsWrite::WriteInterface()
{
    forms::TreeNode* sel = window_.SelNode();
    if (op_ != woNone || !sel || window_.ReadBusy() || window_.RefuseUnread(window_.PanelRead()))
        return;
    const int address = Whole(m_.panel.SEditAddr);
    // Writing a device's own address again is allowed: it rewrites its line
    // settings.
    for (const forms::TreeNode* node : m_.tree.allNodes()) {
        if (node->overlayIndex() == address && address > 0 && address != sel->overlayIndex()) {
            window_.Message("Адрес используется другим прибором!");
            return;
        }
    }
    Start(woInterface);
}

void SettingsWrite::WriteOptions()
{
    if (op_ != woNone || !window_.SelNode() || window_.ReadBusy() || window_.RefuseUnread(window_.PanelRead()))
        return;
    if (m_.panel.EditLimit1.value() > m_.panel.EditLimit2.value()) {
        m_.dialogs.message(
            forms::DialogOwner::Main, forms::MessageKind::Error, "Порог 1 > Порога 2", forms::MessageButtons::OkCancel);
        return;
    }
    Start(woOptions);
}

uint16_t SettingsWrite::Scaled(uint8_t address, double value) const
{
    // The factor is single precision; the product rounds half to even.
    const float factor = static_cast<float>(std::pow(10.0, Gases[GasCode(*m_.devices.at(address))].Decimals));
    return static_cast<uint16_t>(static_cast<int64_t>(std::nearbyint(value * factor)));
}

uint16_t SettingsWrite::Entered(uint8_t address, forms::SpinEdit& edit, uint16_t reg)
{
    if (!edit.modified())
        return m_.devices.at(address)->Regs[reg];
    Sending(edit);
    return Scaled(address, edit.value());
}

std::optional<SettingsWrite::Step> SettingsWrite::Next(uint8_t address, uint16_t reg, uint16_t value)
{
    DevicePanel& panel = m_.panel;
    const auto limit1 = [&] {
        return Step { RegLimit1, Entered(address, panel.EditLimit1, RegLimit1), "Запись порога №1..." };
    };
    const auto limit2 = [&] {
        return Step { RegLimit2, Entered(address, panel.EditLimit2, RegLimit2), "Запись порога №2..." };
    };
    const auto hyster = [&] {
        // Untouched, the register goes back as it is. The edit offers no
        // more than the byte holds; the byte goes to both halves.
        const bool typed = panel.EditHyster.modified();
        const uint16_t word = Entered(address, panel.EditHyster, RegHyster);
        return Step { RegHyster, typed ? static_cast<uint16_t>((word & 0x00FF) * 257) : word, "Запись гистерезиса..." };
    };
    const auto blocking = [&] {
        Sending(panel.CBoxBlock);
        return Step { RegOptions, static_cast<uint16_t>(panel.CBoxBlock.checked() ? OptBlock : 0),
            "Запись блокировки..." };
    };
    const Step close { RegState, WritePermissionClosed, kClosing };

    switch (reg) {
    case RegState:
        if (value == kStartEcho)
            return Step { RegState, WritePermissionOpen, "Установка разрешений..." };
        if (value != WritePermissionOpen)
            return std::nullopt;
        switch (op_) {
        case woInterface:
            Sending(panel.SEditAddr, panel.CBoxBaud, panel.CBoxPar, panel.CBoxStopBit);
            return Step { RegLine, LineWordOf(panel, m_.devices.at(address)->Regs[RegLine]),
                "Запись настроек интерфейса..." };
        case woOptions:
            return Step { RegMagnetConc, Entered(address, panel.EditMagnet, RegMagnetConc),
                "Запись для магнитной калибровки..." };
        case woZero:
            return Step { RegConc, CmdSetZero, WriteOpTexts[woZero] };
        case woSpan:
            return Step { RegConc, SpanValue_, WriteOpTexts[woSpan] };
        case woReset:
            return Step { RegConc, CmdResetCalibration, WriteOpTexts[woReset] };
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
        const Step first = limit1();
        Limit1First_ = first.value < m_.devices.at(address)->Regs[RegLimit2];
        return Limit1First_ ? first : limit2();
    }
    case RegLimit1:
        return Limit1First_ ? limit2() : hyster();
    case RegLimit2:
        return Limit1First_ ? hyster() : limit1();
    case RegHyster:
        return Step { RegZeroZone, Entered(address, panel.EditZeroZone, RegZeroZone), "Запись нулевой зоны..." };
    case RegZeroZone:
        if (panel.CBoxRelay1.enabled()) {
            Sending(panel.CBoxRelay1, panel.CBoxRelay2, panel.CBoxRelayD);
            return Step { RegRelays, RelayWordOf(panel), "Запись настроек реле" };
        }
        return blocking();
    case RegRelays:
        return blocking();
    default:
        return std::nullopt;
    }
}

WriteAdvance SettingsWrite::Advance(uint8_t address, uint16_t value, uint16_t reg)
{
    // The chain never writes the gas register or above.
    if (reg >= RegGas)
        return WriteAdvance::NotTheChains;
    bus_.StopTimeOut();
    if (op_ == woNone) {
        // The single writes of the current output: nothing follows them.
        if (reg == RegConc)
            window_.SetStatus(std::string(kClosing));
        // The measured current is the trim's one write.
        if (reg == RegCurrent)
            window_.Recorder().Ended(true, "Значение тока принято прибором");
        return WriteAdvance::Taken;
    }
    if (!m_.devices.at(address)) {
        // No record, no scale factor: the chain cannot go on from here.
        bus_.AddLog("Прибор:" + std::to_string(address) + "  не найден в списке");
        bus_.KeepWaiting();
        return WriteAdvance::Taken;
    }
    if (reg == RegState && value == WritePermissionClosed)
        return End(address);
    const std::optional<Step> next = Next(address, reg, value);
    if (!next) {
        bus_.KeepWaiting();
        return WriteAdvance::Taken;
    }
    if (reg == RegLine)
        FollowLine(address, value);
    window_.SetStatus(std::string(next->status));
    window_.Recorder().Stepped(next->status);
    if (op_ != woNone)
        bus_.SendStep(address, next->reg, next->value, kStepTimeoutMs);
    return WriteAdvance::Taken;
}

void SettingsWrite::FollowLine(uint8_t& address, uint16_t lineWord)
{
    TDevice* dev = m_.devices.at(address);
    LineChanged_ = (dev->Regs[RegLine] & 0x00FF) != (lineWord & 0x00FF);
    dev->Regs[RegLine] = lineWord;

    const auto n = static_cast<uint8_t>(LineAddress(lineWord));
    if (n != address) {
        if (TDevice* moved = m_.devices.move(address, n)) {
            if (WriteNode_) {
                window_.RenameNode(WriteNode_, n, moved->Serial);
                if (WriteNode_ == window_.SelNode())
                    m_.panel.DevPanel.setText(WriteNode_->text() + std::string(CaptionDash) + moved->StateText);
            }
        } else {
            window_.Message("Критическая ошибка");
        }
    }
    if (LineChanged_ && static_cast<size_t>(LineBaudCode(lineWord)) < BaudRates.size()) {
        // The device answers the closing write at its new line settings.
        bus_.ReopenLink(static_cast<uint32_t>(BaudRates[static_cast<size_t>(LineBaudCode(lineWord))]),
            static_cast<TParity>(ParityCodes[static_cast<size_t>(LineParityCode(lineWord))]),
            static_cast<TStopBits>(StopBitCodes[static_cast<size_t>(LineStopCode(lineWord))]));
    }
    address = n;
}

WriteAdvance SettingsWrite::End(uint8_t address)
{
    window_.SetStatus("");
    const TWriteOp op = op_;
    const bool calibration = op == woZero || op == woSpan || op == woReset;
    // What was typed and sent is now what the device holds; what was typed
    // again after its step went out stays entered.
    for (const auto& take : sent_)
        take();
    sent_.clear();
    const std::string done = calibration ? std::string(WriteOpDoneTexts[op]) : std::string("Параметры изменены!");
    window_.Recorder().Ended(true, done);
    // Replies and timers keep running while the box is open; the rest waits
    // for the user to close it.
    window_.Message(done);
    op_ = woNone;
    if (LineChanged_) {
        // The device no longer speaks the bus settings.
        window_.RemoveDevice(address, WriteNode_);
        LineChanged_ = false;
        bus_.ReopenBusLine();
        return WriteAdvance::Taken;
    }
    return m_.panel.CBoxGas.enabled() && WriteNode_ && window_.SelNode() == WriteNode_ ? WriteAdvance::ReadBack
                                                                                       : WriteAdvance::Taken;
}

void SettingsWrite::TimedOut()
{
    window_.SetStatus("");
    window_.Recorder().Ended(false, kWriteFailed);
    window_.Message(std::string(kWriteFailed));
    if (LineChanged_) {
        LineChanged_ = false;
        bus_.ReopenBusLine();
    }
}

void SettingsWrite::Forget(const forms::TreeNode* node)
{
    if (node == WriteNode_)
        WriteNode_ = nullptr;
}

} // namespace zor
