#pragma once
// The model of a read-only tree view: nodes with a text, an image index and
// an overlay index (the device tree keeps each device's bus address there).

#include "forms/Control.h"

#include <memory>
#include <string>
#include <vector>

namespace zor::forms {

class TreeNode {
public:
    const std::string& text() const { return text_; }
    int imageIndex() const { return image_; }
    int overlayIndex() const { return overlay_; }
    // A word on the node the view shows as its hint and marks its icon
    // with; empty for none.
    const std::string& hint() const { return hint_; }
    TreeNode* parent() const { return parent_; }
    int level() const { return parent_ ? parent_->level() + 1 : 0; }
    const std::vector<std::unique_ptr<TreeNode>>& children() const { return children_; }

private:
    friend class TreeView;
    std::string text_;
    int image_ = -1;
    int overlay_ = -1;
    std::string hint_;
    TreeNode* parent_ = nullptr;
    std::vector<std::unique_ptr<TreeNode>> children_;
};

class TreeView : public Control {
public:
    // Adds a node as the last child of parent (a top-level node for null).
    TreeNode* add(TreeNode* parent, const std::string& text, int image);
    // Deletes a node with its children.
    void remove(TreeNode* node);
    void clear();

    void setText(TreeNode* node, const std::string& text);
    void setImageIndex(TreeNode* node, int image);
    void setOverlayIndex(TreeNode* node, int overlay);
    void setHint(TreeNode* node, const std::string& hint);

    const std::vector<std::unique_ptr<TreeNode>>& roots() const { return roots_; }
    // All nodes in tree order (each node before its children).
    std::vector<TreeNode*> allNodes() const;
    bool contains(const TreeNode* node) const;

    // The node the view highlights, null for none; forgotten when it is
    // removed.
    TreeNode* selected() const { return selected_; }
    void setSelected(TreeNode* node);

    // Asks the view to expand every node; a counter so the view can tell.
    void expandAll();
    int expandRequests() const { return expandRequests_; }

private:
    std::vector<std::unique_ptr<TreeNode>>& siblingsOf(TreeNode* node);
    std::vector<std::unique_ptr<TreeNode>> roots_;
    TreeNode* selected_ = nullptr;
    int expandRequests_ = 0;
};

} // namespace zor::forms
