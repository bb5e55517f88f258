// Issuing requests: each is sent without waiting; the answer comes later
// through the reply dispatch, and a missing answer to a write is noticed by
// TimerTimeOut.

#include "app/TFormMain.h"

#include "device/Registers.h"
#include "device/RequestTag.h"

#include <vector>

namespace zor {

void TFormMain::ShowTx()
{
    ++TxCount_;
    StatBar.setText(1, "Tx: " + std::to_string(TxCount_));
}

void TFormMain::Issue(uint8_t address, uint8_t function, const uint8_t* data, uint16_t size, int32_t tag, bool purge)
{
    // An overview answer that may still be on the line is let through and
    // then purged, even before a request that keeps the queues.
    const bool overview = IsOverviewTag(tag);
    const bool overviewCut = !overview && GiveWayToOverview();
    if (!overview) {
        Answered_ = false;
        OtherAwaited_ = true;
        OtherAskedAt_ = loop_.tickCount();
    }
    VSModbus.SetTag(tag);
    // Bytes of an earlier, late answer must not join the new one.
    if (purge || overviewCut)
        VSModbus.FlushBuffers(true, true);
    // A frame that did not leave (the port is closed or was lost) is not
    // counted as sent.
    if (VSModbus.SendCmdModbusPacket(address, function, data, size, false) == TVSRTUresult::vsrOk)
        ShowTx();
}

void TFormMain::ReadHolding(uint8_t address, uint8_t start, uint8_t count)
{
    const uint8_t data[4] { 0x00, start, 0x00, count };
    Issue(address, FnReadHolding, data, sizeof data, start);
}

void TFormMain::ReadInput(uint8_t address, uint8_t offset, uint8_t count)
{
    const uint16_t reg = InRegBase + offset;
    const uint8_t data[4] { static_cast<uint8_t>(reg >> 8), static_cast<uint8_t>(reg), 0x00, count };
    Issue(address, FnReadInput, data, sizeof data, reg);
}

void TFormMain::ReadBlock(uint8_t address, RegBlock block)
{
    ReadHolding(address, static_cast<uint8_t>(block.first), static_cast<uint8_t>(block.count));
}

void TFormMain::ReadGas(uint8_t address)
{
    ReadInput(address, static_cast<uint8_t>(InRegGas - InRegBase), 1);
}

void TFormMain::IssueWrite(uint8_t address, uint16_t reg, uint16_t value)
{
    const uint8_t data[4] { static_cast<uint8_t>(reg >> 8), static_cast<uint8_t>(reg), static_cast<uint8_t>(value >> 8),
        static_cast<uint8_t>(value) };
    Issue(address, FnWriteRegister, data, sizeof data, reg);
}

void TFormMain::ArmTimeOut(uint16_t ms)
{
    // Restarted, not only enabled: a timer still running for an earlier
    // write must not cut this write's time short.
    TimerTimeOut_->setEnabled(false);
    TimerTimeOut_->setInterval(ms);
    TimerTimeOut_->setEnabled(true);
}

void TFormMain::WaitReadIdle()
{
    // A read arms no time-out: a detector that stopped answering would keep
    // ReadBusy set for ever. The wait ends after the write time-out, and the
    // unanswered read is then given up.
    WaitingForRead_ = true;
    loop_.waitUntil([this] { return !ReadBusy_; }, kReadWaitMs);
    WaitingForRead_ = false;
    ReadBusy_ = false;
}

bool TFormMain::RefuseWhileWriting(forms::DialogOwner owner)
{
    if (WriteOp_ == woNone)
        return false;
    dialogs_.inform(owner, "Дождитесь окончания записи!");
    return true;
}

bool TFormMain::WriteRegister(
    uint8_t address, uint16_t reg, const std::optional<std::string>& status, uint16_t timeoutMs, uint16_t value)
{
    if (Finding_ || WriteOp_ != woNone || !SelNode_ || !LinkReady()) {
        Updating_ = false;
        return false;
    }
    const bool reading = TimerRead_->enabled();
    TimerRead_->setEnabled(false);
    WaitReadIdle();
    // The port may have been lost while the read was waited for.
    if (!VSModbus.Connected()) {
        Updating_ = false;
        ResumeReading(reading);
        return false;
    }
    if (status)
        SetStatus(*status);
    IssueWrite(address, reg, value);
    ResumeReading(reading);
    ArmTimeOut(timeoutMs);
    return true;
}

void TFormMain::SendStep(uint8_t address, uint16_t reg, uint16_t value, uint16_t timeoutMs)
{
    IssueWrite(address, reg, value);
    ArmTimeOut(timeoutMs);
}

void TFormMain::SendBlock(uint8_t address, uint8_t start, const uint16_t* data, uint8_t count, uint16_t timeoutMs)
{
    std::vector<uint8_t> bytes { 0x00, start, 0x00, count, static_cast<uint8_t>(2 * count) };
    for (int i = 0; i < count; ++i) {
        bytes.push_back(static_cast<uint8_t>(data[i] >> 8));
        bytes.push_back(static_cast<uint8_t>(data[i]));
    }
    // The queues are not purged for a block write.
    Issue(address, FnWriteRegisters, bytes.data(), static_cast<uint16_t>(bytes.size()), start, false);
    ArmTimeOut(timeoutMs);
}

void TFormMain::StopTimeOut()
{
    TimerTimeOut_->setEnabled(false);
}

void TFormMain::KeepWaiting()
{
    // The dispatch has taken the echo for an answer and stopped the timer;
    // without this the operation would never end.
    Answered_ = false;
    TimerTimeOut_->setEnabled(true);
}

} // namespace zor
