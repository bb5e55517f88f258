// The device search: one probe of the identification number per step of
// TimerFind, addresses 1 to 247 (or the range the technician picked); every
// detector that answers with a known identification number gets a record and
// a tree node. A fast search steps as fast as the line allows, with the link
// polling every few milliseconds until the search ends.

#include "app/TFormMain.h"

#include "device/Registers.h"
#include "device/Tables.h"

namespace zor {

void TFormMain::ActFindExecute()
{
    if (ReadBusy_ || WriteOp_ != woNone)
        return;
    // A port that cannot be opened is explained, and no search runs without
    // answers.
    if (!LinkReady())
        return;
    Panel.DevPanel.setEnabled(false);
    RemoveAllDevices();
    Running_ = Bounded(FindPlan_, VSModbus.Line());
    FindAddr_ = static_cast<uint8_t>(Running_.first - 1);
    Finding_ = true;
    if (Running_.probeMs != 0) {
        OwnPolling_ = VSModbus.PollingDelay();
        VSModbus.SetPollingDelay(FastPollingMs(VSModbus.Line()));
    }
    TimerFind_->setInterval(Running_.probeMs != 0 ? Running_.probeMs : kProbeTimeoutMs + 100);
    TimerFind_->setEnabled(true);
    BtFind.setAction(&ActStop);
    Panel.ActZero.setEnabled(false);
    Panel.ActCalb.setEnabled(false);
    Panel.ActInit.setEnabled(false);
}

void TFormMain::RemoveAllDevices()
{
    DevTree.clear();
    SelectNode(nullptr);
    ClickNode_ = nullptr;
    settingsWrite_.ForgetAll();
    ModelNode_.fill(nullptr);
    DevList_.freeAll();
}

void TFormMain::TimerFindTimer()
{
    ++FindAddr_;
    if (FindAddr_ > Running_.last) {
        ActStopExecute();
        return;
    }
    SetStatus("Поиск: " + std::to_string(FindAddr_));
    ReadBlock(FindAddr_, ProbeBlock);
}

std::string TFormMain::NodeText(uint8_t address, int32_t serial) const
{
    return "#" + std::to_string(address) + " : 0" + std::to_string(serial);
}

void TFormMain::AddFoundDevice(uint8_t address, int32_t serial)
{
    const auto model = ClassifyModel(serial);
    if (!model)
        return;
    // An answer from address 0 or above 247 cannot be a detector's.
    if (!DevList_.create(address, *model, serial))
        return;
    forms::TreeNode*& modelNode = ModelNode_[static_cast<size_t>(*model)];
    if (!modelNode)
        modelNode = DevTree.add(nullptr, std::string(ModelNames[static_cast<size_t>(*model)]), *model + 1);
    forms::TreeNode* node = DevTree.add(modelNode, NodeText(address, serial), 0);
    DevTree.expandAll();
    DevTree.setOverlayIndex(node, address);
}

void TFormMain::ActStopExecute()
{
    TimerFind_->setEnabled(false);
    Finding_ = false;
    if (OwnPolling_) {
        VSModbus.SetPollingDelay(*OwnPolling_);
        OwnPolling_.reset();
    }
    BtFind.setAction(&ActFind);
    ActRenew.setEnabled(true);
    FindAddr_ = 0;
    SetStatus("Поиск окончен");
    Log.Add(StatBar.text(3));
}

} // namespace zor
