// The reply dispatch: every frame the link accepts is counted, logged and
// routed by its function code and the request tag.

#include "app/TFormMain.h"

#include "commands/TFormLora.h"
#include "device/Device.h"
#include "device/Registers.h"
#include "device/RequestTag.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace zor {

namespace {

constexpr int kMaxValues = 30;
// A write's echo: address, function and two words.
constexpr uint16_t kEchoSize = 6;

std::string LogLine(uint8_t address, uint8_t function, int reg, uint16_t value)
{
    char buf[96];
    std::snprintf(buf, sizeof buf, "  Функция:0x%02X  Регистр:0x%04X = 0x%04X\r\n", function,
        static_cast<unsigned>(reg) & 0xFFFFu, value);
    return "Прибор:" + std::to_string(address) + buf;
}

uint16_t Word(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] << 8 | p[1]);
}

} // namespace

void TFormMain::VSModbusModbusPacketEvent(TVSModbusRTU&, const uint8_t* data, uint16_t size)
{
    ++RxCount_;
    StatBar.setText(2, "Rx: " + std::to_string(RxCount_));
    if (link_.onTrial)
        LinkAnswered();
    if (size < 2)
        return;
    const uint8_t address = data[0];
    const uint8_t function = data[1];
    if (!IsOverviewTag(VSModbus.Tag()))
        OtherAwaited_ = false;

    if (function & FnException) {
        // An exception answer of two bytes carries no code to show.
        const std::string refusal = size >= 3 ? "Ошибка #" + std::to_string(data[2]) : std::string("Ошибка #");
        Log.Add(refusal);
        journal_.Refused(refusal);
        return;
    }
    // Every length is checked before it is read: a short or odd answer is
    // logged as far as it goes.
    uint16_t values[kMaxValues];
    int count = 0;
    if (function == FnWriteRegister) {
        if (size >= kEchoSize)
            values[count++] = Word(data + 4);
    } else if (function == FnWriteRegisters) {
        // The echo carries the start register and the quantity; both are
        // logged, numbered from the tag.
        if (size >= 4)
            values[count++] = Word(data + 2);
        if (size >= kEchoSize)
            values[count++] = Word(data + 4);
    } else if (size >= 3) {
        const int available = (size - 3) / 2;
        count = std::min(available, kMaxValues);
        for (int i = 0; i < count; ++i)
            values[i] = Word(data + 3 + 2 * i);
    }

    const int32_t tag = VSModbus.Tag();
    std::string lines;
    for (int i = 0; i < count; ++i)
        lines += LogLine(address, function, tag + i, values[i]);
    if (!lines.empty())
        Log.Add(lines);

    // An overview answer is the overview's alone: it neither ends a wait for
    // another answer nor reaches the search, the commands or the panel.
    if (IsOverviewTag(tag)) {
        OverviewAnswer(address, function, values, count);
        return;
    }
    Answered_ = true;
    TimerTimeOut_->setEnabled(false);

    if (Finding_) {
        if (count == ProbeBlock.count && function != FnWriteRegister && function != FnWriteRegisters)
            AddFoundDevice(address, SerialNumber(values[0], values[1]));
        return;
    }
    if (function == FnWriteRegister) {
        if (size < kEchoSize)
            return;
        if (AdvanceWrite(address, FnWriteRegister, values[0], static_cast<uint16_t>(tag)) == WriteAdvance::ReadBack) {
            TimerReadOnes_->setInterval(1000);
            TimerReadOnes_->setEnabled(true);
        }
        return;
    }
    if (function == FnWriteRegisters) {
        if (size < kEchoSize)
            return;
        if (ContinueLoraWrite(address, data[3], data[5]))
            formLora_->Writer().Restart();
        return;
    }
    DispatchRead(address, function, values, count);
}

void TFormMain::DispatchRead(uint8_t address, uint8_t function, const uint16_t* values, int count)
{
    const int32_t tag = VSModbus.Tag();
    Updating_ = true;
    if (SelNode_ && address == SelAddr()) {
        const TagKind kind = ClassifyRead(tag, count);
        if (kind == TagKind::Input || kind == TagKind::Panel) {
            if (decoder_.DecodeBlock(address, function, values, count, tag) == 1) {
                Panel.DevPanel.setEnabled(true);
                PanelDecoded(function, tag, count);
                // Readings are fresh once the panel block is: the gas
                // answer alone leaves the rest of the panel as old as it was.
                if (kind == TagKind::Panel)
                    AnswerCame(address);
            }
        } else if (kind == TagKind::Lora) {
            formLora_->DecodeLoraBlock(values, count);
            if (tag == LoraBlock.first && count >= LoraBlock.count) {
                LoraRead_ = true;
                journal_.LoraDecoded(address);
            }
            // The journal's own read leaves the window as it is, open or
            // closed.
            if (!std::exchange(JournalLoraRead_, false)) {
                if (windows_.LoraVisible())
                    formLora_->ShowLoraSettings();
                else
                    windows_.ShowLoraModal();
            }
        }
    }
    Updating_ = false;
    // The tag may have changed while the LoRa window was open: the rest runs
    // with the tag of the last request issued meanwhile.
    if (IsInputTag(VSModbus.Tag())) {
        if (SelNode_)
            ReadBlock(SelAddr(), PanelBlock);
        else
            ReadBusy_ = false;
    } else {
        ReadBusy_ = false;
    }
    // The read cycle is through: the overview may have its turn now.
    OverviewTurn();
}

void TFormMain::TimerTimeOutTimer()
{
    TimerTimeOut_->setEnabled(false);
    ModbusTimeout();
}

void TFormMain::ModbusTimeout()
{
    if (Answered_ || Finding_)
        return;
    Log.Add("Timeout!");
    ReadBusy_ = false;
    JournalLoraRead_ = false;
    journal_.TimedOut();
    if (WriteOp_ == woLoraRestart)
        formLora_->Writer().RestartTimedOut();
    else if (WriteOp_ != woNone)
        settingsWrite_.TimedOut();
    WriteOp_ = woNone;
    JournalRead(false);
}

} // namespace zor
