// Which device the window's values belong to. A press selects a device but
// reads nothing: until the selected device has been read, the panel shows
// another device's values, and nothing that would send them goes out.

#include "app/TFormMain.h"

#include "device/DeviceTexts.h"
#include "device/Registers.h"

namespace zor {

void TFormMain::SelectNode(forms::TreeNode* node)
{
    DevTree.setSelected(node);
    if (node == SelNode_)
        return;
    // The values after an operation on the device left will not be read.
    journal_.Flush();
    SelNode_ = node;
    Panel.OtherDevice.setOn(true);
    Panel.DropEntries();
    GasRead_ = false;
    LoraRead_ = false;
    HintNode_ = nullptr;
    windows_.CloseConcentrationDialog();
}

void TFormMain::PanelDecoded(uint8_t function, int32_t tag, int count)
{
    // The panel block scales its values with the gas: it makes the panel the
    // selected device's only when the gas was read since the selection.
    if (tag == InRegGas)
        GasRead_ = true;
    else if (function == FnReadHolding && tag == PanelBlock.first && count >= PanelBlock.count && GasRead_)
        Panel.OtherDevice.setOn(false);
    if (function == FnReadHolding && tag == PanelBlock.first && count >= PanelBlock.count)
        journal_.PanelDecoded(SelAddr());
    // What automatic reading shows goes into the detector's trend.
    if (function == FnReadHolding && tag == PanelBlock.first && count >= PanelBlock.count && PanelRead()
        && TimerRead_->enabled())
        Trend.Reading(SelAddr(), loop_.tickCount(), *DevList_[SelAddr()]);
    // The box is modal: opened from here, it would hold this answer's
    // handling open while later answers come and go. It opens once the
    // handling has ended, once per device and selection.
    if (decoder_.TakeNewerToolHint() && HintNode_ != SelNode_) {
        HintNode_ = SelNode_;
        TimerHint_->setEnabled(true);
    }
}

void TFormMain::TimerHintTimer()
{
    TimerHint_->setEnabled(false);
    if (SelNode_ && HintNode_ == SelNode_)
        Message(std::string(TextUseNewerTool));
}

bool TFormMain::RefuseUnread(bool read, forms::DialogOwner owner)
{
    if (!SelNode_ || read)
        return false;
    dialogs_.inform(owner, "Сначала прочитайте прибор!");
    return true;
}

void TFormMain::CaptionSelected()
{
    // Until the selected device has answered, the caption keeps naming the
    // device whose values the panel shows.
    if (PanelRead())
        Panel.DevPanel.setText(SelNode_->text());
}

} // namespace zor
