// Which device the window's values belong to. A press selects a device but
// reads nothing.

#include "app/TFormMain.h"

#include "device/DeviceTexts.h"

namespace zor {

void TFormMain::SelectNode(forms::TreeNode* node)
{
    if (node == SelNode_)
        return;
    SelNode_ = node;
    HintNode_ = nullptr;
}

void TFormMain::PanelDecoded(uint8_t, int32_t, int)
{
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

} // namespace zor
