// The bus overview: the detectors of the tree read in turn, one request at a
// time, through the same request path and log as every other request. It
// asks only while nothing else needs the line: no search, no write
// operation or its one-shot re-read, no other answer awaited, and, while
// reading, only early enough in the cycle that its answer is in before the
// next tick. A request of anything else that comes while an
// overview answer may be on the line waits the few milliseconds that answer
// takes, then purges it: the two never meet on the half-duplex line, and the
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
    if (Finding_ || WriteOp_ != woNone || Updating_ || ReadBusy_ || TimerTimeOut_->enabled()
        || TimerReadOnes_->enabled())
        return false;
    // Nor while another answer is awaited, unless it is given up by now.
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
    if (!OverviewAsked_)
        return false;
    const uint32_t since = loop_.tickCount() - OverviewAsked_->at;
    const uint32_t onLine = OverviewLineMs();
    if (since < onLine) {
        // Something is due when the answer is over, so that the wait ends
        // then and not at whatever event comes next.
        const uint32_t left = onLine - since;
        const uint32_t until = loop_.tickCount() + left;
        loop_.callLater(left, [] {});
        GivingWay_ = true;
        loop_.waitUntil([&] { return static_cast<int32_t>(loop_.tickCount() - until) >= 0; }, left);
        GivingWay_ = false;
    }
    // An answer that would have been taken in by now is missed; one that
    // may still be in the queue goes with the purge, and the turn is asked
    // again.
    if (loop_.tickCount() - OverviewAsked_->at >= OverviewWaitMs())
        Overview.Missed(OverviewAsked_->ask);
    OverviewAsked_.reset();
    return true;
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
