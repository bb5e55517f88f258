// The device tree: model nodes with their device nodes; a mouse press
// selects, a double click reads the device once.

#include "app/TFormMain.h"

#include "device/Device.h"

namespace zor {

void TFormMain::DevTreeMouseDown(MouseButton button, forms::TreeNode* node)
{
    if (!node || !DevTree.contains(node))
        return;
    ClickNode_ = node;
    if (node->level() == 0)
        return;
    SelectNode(node);
    if (button == MouseButton::Right)
        windows_.PopupMenuLora();
}

void TFormMain::DevTreeDblClick()
{
    if (Finding_)
        ActStopExecute();
    if (!SelNode_ || SelNode_->level() != 1 || SelNode_ != ClickNode_ || RefuseWhileWriting() || !LinkReady())
        return;
    CaptionSelected();
    ReadGas(SelAddr());
}

void TFormMain::RemoveDevice(uint8_t address, forms::TreeNode* node)
{
    TDevice* dev = DevList_.at(address);
    if (!dev)
        return;
    // A number below the first range counts as a "ZOR-10".
    const auto model = dev->Serial < 6000000 ? std::optional<int32_t>(ModelZor10) : ClassifyModel(dev->Serial);
    if (!model || !ModelNode_[static_cast<size_t>(*model)])
        return;
    forms::TreeNode* modelNode = ModelNode_[static_cast<size_t>(*model)];
    DevList_.remove(address);
    Overview.Sync(DevList_);
    if (node == SelNode_) {
        Panel.DevPanel.setVisible(false);
        SelectNode(nullptr);
    }
    if (node == ClickNode_)
        ClickNode_ = nullptr;
    settingsWrite_.Forget(node);
    DevTree.remove(node);
    if (modelNode->children().empty()) {
        DevTree.remove(modelNode);
        ModelNode_[static_cast<size_t>(*model)] = nullptr;
    }
}

} // namespace zor
