#pragma once
// The device tree on screen: renders the tree model (text and image of every
// node, fully expanded after an addition) and reports mouse presses and
// double clicks with the node whose icon or label lies under the pointer.
// The highlight always shows the model's selected node: after a press that
// selects nothing (beside a label, on a model node), a drag over other rows
// or a key that moves it, it goes back there.

#include "app/TFormMain.h"
#include "forms/TreeView.h"

#include <QTreeWidget>

#include <functional>
#include <set>

namespace zor::ui {

class DeviceTreeWidget : public QTreeWidget {
    Q_OBJECT
public:
    DeviceTreeWidget(forms::TreeView& model, std::function<QIcon(int image)> images, QWidget* parent = nullptr);

    std::function<void(MouseButton button, forms::TreeNode* node)> onPress;
    std::function<void()> onDoubleClick;

    // The node whose icon or label covers the point (viewport coordinates),
    // null for the indentation, the expand button or the empty area.
    forms::TreeNode* nodeAt(const QPoint& point) const;
    // The icon and label of a node, in viewport coordinates.
    QRect hitRect(const forms::TreeNode* node) const;
    QTreeWidgetItem* itemOf(const forms::TreeNode* node) const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void render();
    void press(QMouseEvent* event);
    void highlightSelected();

    forms::TreeView& model_;
    std::function<QIcon(int)> images_;
    int expandRequests_ = -1;
    std::set<const forms::TreeNode*> collapsed_;
};

} // namespace zor::ui
