// The bus overview: the detectors of the tree read in turn, one request at a
// time, through the same request path and log as every other request. It
// asks only while nothing else needs the line: no search, no write
// operation or its one-shot re-read, no other answer awaited, and, while
// reading, only early enough in the cycle that its answer is in before the
// next tick. A request of anything else that comes while an overview
// request is out waits until its answer is in (tens of milliseconds; at most
// the answer's time on the line and 100 ms for the detector to start it),
// then purges it: the two never meet on the half-duplex line, and the
// overview's answer is never taken for the other's.

#include "app/TFormMain.h"

#include "device/RequestTag.h"

namespace zor {

namespace {
// Request and answer of the overview's longest turn, the panel block.
constexpr uint32_t kTurnCharacters = 8 + 5 + 2 * PanelBlock.count;
// The detector's turnaround.
constexpr uint32_t kTurnaroundMs = 20;
// A margin for the link's polling, kept free before the next read tick.
constexpr uint32_t kReadMarginMs = 50;
// The longest a detector may take to start its answer, waited for before
// another request goes out.
constexpr uint32_t kAnswerStartMs = 100;
// How often the input queue is looked at meanwhile.
constexpr uint32_t kGiveWayStepMs = 2;
} // namespace

void TFormMain::BtOverviewClick()
{
    if (BtOverview.action() == &ActOverview)
        ActOverviewExecute();
    else
        ActOverviewStopExecute();
}

void TFormMain::ActOverviewExecute()
{
    if (DevList_.count() == 0) {
        dialogs_.inform(forms::DialogOwner::Main, "Сначала найдите приборы!");
        return;
    }
    if (!LinkReady())
        return;
    Overview.Sync(DevList_);
    BtOverview.setAction(&ActOverviewStop);
    TimerOverview_->setEnabled(true);
    OverviewTurn();
}

void TFormMain::ActOverviewStopExecute()
{
    TimerOverview_->setEnabled(false);
    BtOverview.setAction(&ActOverview);
    // An answer still to come is not waited for; it is purged by the next
    // request like any late answer.
    OverviewAsked_.reset();
}

uint32_t TFormMain::OverviewLineMs() const
{
    return CharactersMs(kTurnCharacters, VSModbus.Line()) + kTurnaroundMs;
}

uint32_t TFormMain::OverviewWaitMs() const
{
    return OverviewLineMs() + VSModbus.PollingDelay() + kReadMarginMs;
}

bool TFormMain::OverviewMayAsk() const
{
    if (!TimerOverview_->enabled() || OverviewAsked_ || GivingWay_ || !VSModbus.Connected())
        return false;
    if (Finding_ || WriteOp_ != woNone || Updating_ || WaitingForRead_ || TimerTimeOut_->enabled()
        || TimerReadOnes_->enabled())
        return false;
    // Nor while another answer is awaited (the read cycle's too), unless it
    // is given up by now: a dead detector being read does not stop the
    // overview from finding the rest of the bus dead or alive.
    if (OtherAwaited_ && loop_.tickCount() - OtherAskedAt_ < kOtherWaitMs)
        return false;
    // While reading, the turn's answer must be on the line and taken in by
    // the link's polling before the next tick.
    if (TimerRead_->enabled())
        return loop_.tickCount() - ReadTickAt_ + OverviewWaitMs() <= TimerRead_->interval();
    return true;
}

void TFormMain::OverviewTurn()
{
    if (!OverviewMayAsk())
        return;
    const std::optional<BusOverview::Ask> ask = Overview.Next();
    if (!ask)
        return;
    // Marked before it is issued: the request path gives way to an overview
    // request only when it knows of one.
    OverviewAsked_ = OverviewAsk { *ask, loop_.tickCount() };
    if (ask->gas) {
        const uint8_t data[4] { static_cast<uint8_t>(InRegGas >> 8), static_cast<uint8_t>(InRegGas), 0x00, 1 };
        Issue(ask->address, FnReadInput, data, sizeof data, OverviewTag + InRegGas);
    } else {
        const uint8_t data[4] { 0x00, static_cast<uint8_t>(PanelBlock.first), 0x00,
            static_cast<uint8_t>(PanelBlock.count) };
        Issue(ask->address, FnReadHolding, data, sizeof data, OverviewTag + PanelBlock.first);
    }
}

void TFormMain::TimerOverviewTimer()
{
    if (OverviewAsked_ && loop_.tickCount() - OverviewAsked_->at >= OverviewWaitMs()) {
        Overview.Missed(OverviewAsked_->ask);
        OverviewAsked_.reset();
    }
    OverviewTurn();
}

void TFormMain::OverviewAnswer(uint8_t address, uint8_t function, const uint16_t* values, int count)
{
    if (!OverviewAsked_ || OverviewAsked_->ask.address != address
        || function != (OverviewAsked_->ask.gas ? FnReadInput : FnReadHolding))
        return;
    const BusOverview::Ask ask = OverviewAsked_->ask;
    OverviewAsked_.reset();
    Overview.Answered(ask, values, count);
    OverviewTurn();
}

bool TFormMain::GiveWayToOverview()
{
    if (!OverviewAsked_ || GivingWay_)
        return false;
    const OverviewAsk asked = *OverviewAsked_;
    OverviewAsked_.reset();
    // The answer is waited for in the input queue itself, untouched by the
    // polling, so that nothing is dispatched meanwhile: it is over when all
    // its bytes are in or the line has gone quiet after some, and there is
    // none when nothing has come within the request's time and the longest
    // turnaround waited for.
    const int expected = 5 + 2 * (asked.ask.gas ? 1 : PanelBlock.count);
    const LineSettings line = VSModbus.Line();
    const uint32_t silentAfter = CharactersMs(8, line) + kAnswerStartMs;
    const uint32_t quietAfter = CharactersMs(3, line) + kGiveWayStepMs;
    const uint32_t longest = OverviewLineMs() + kAnswerStartMs;
    VSModbus.PausePolling();
    GivingWay_ = true;
    int queued = 0;
    uint32_t grewAt = asked.at;
    for (;;) {
        const uint32_t now = loop_.tickCount();
        const int now_queued = VSModbus.CountRX();
        if (now_queued != queued)
            grewAt = now;
        queued = now_queued;
        if (queued >= expected || now - asked.at >= longest || (queued == 0 && now - asked.at >= silentAfter)
            || (queued > 0 && now - grewAt >= quietAfter))
            break;
        const uint32_t until = now + kGiveWayStepMs;
        loop_.callLater(kGiveWayStepMs, [] {});
        loop_.waitUntil([&] { return static_cast<int32_t>(loop_.tickCount() - until) >= 0; }, kGiveWayStepMs);
    }
    GivingWay_ = false;
    VSModbus.ContinuePolling();
    // A detector that said nothing in its time missed its turn; an answer
    // cut by the purge that follows is asked for again.
    if (queued == 0)
        Overview.Missed(asked.ask);
    return true;
}

void TFormMain::OverviewLinkLost()
{
    OverviewAsked_.reset();
    Overview.Unheard();
}

void TFormMain::OverviewRowDblClick(uint8_t address)
{
    for (forms::TreeNode* node : DevTree.allNodes()) {
        if (node->level() == 1 && node->overlayIndex() == address) {
            DevTreeMouseDown(MouseButton::Left, node);
            DevTreeDblClick();
            return;
        }
    }
}

} // namespace zor
