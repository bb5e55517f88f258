#include "forms/TreeView.h"

#include <algorithm>

namespace zor::forms {

TreeNode* TreeView::add(TreeNode* parent, const std::string& text, int image)
{
    auto node = std::make_unique<TreeNode>();
    node->text_ = text;
    node->image_ = image;
    node->parent_ = parent;
    TreeNode* raw = node.get();
    (parent ? parent->children_ : roots_).push_back(std::move(node));
    changed();
    return raw;
}

std::vector<std::unique_ptr<TreeNode>>& TreeView::siblingsOf(TreeNode* node)
{
    return node->parent_ ? node->parent_->children_ : roots_;
}

void TreeView::remove(TreeNode* node)
{
    if (!contains(node))
        return;
    for (const TreeNode* n = selected_; n; n = n->parent_)
        if (n == node)
            selected_ = nullptr;
    auto& list = siblingsOf(node);
    list.erase(std::find_if(list.begin(), list.end(), [node](const auto& p) { return p.get() == node; }));
    changed();
}

void TreeView::clear()
{
    roots_.clear();
    selected_ = nullptr;
    changed();
}

void TreeView::setSelected(TreeNode* node)
{
    set(selected_, contains(node) ? node : nullptr);
}

void TreeView::setText(TreeNode* node, const std::string& text)
{
    if (node->text_ == text)
        return;
    node->text_ = text;
    changed();
}

void TreeView::setImageIndex(TreeNode* node, int image)
{
    if (node->image_ == image)
        return;
    node->image_ = image;
    changed();
}

void TreeView::setOverlayIndex(TreeNode* node, int overlay)
{
    if (node->overlay_ == overlay)
        return;
    node->overlay_ = overlay;
    changed();
}

void TreeView::setHint(TreeNode* node, const std::string& hint)
{
    if (node->hint_ == hint)
        return;
    node->hint_ = hint;
    changed();
}

static void collect(const std::vector<std::unique_ptr<TreeNode>>& list, std::vector<TreeNode*>& out)
{
    for (const auto& n : list) {
        out.push_back(n.get());
        collect(n->children(), out);
    }
}

std::vector<TreeNode*> TreeView::allNodes() const
{
    std::vector<TreeNode*> out;
    collect(roots_, out);
    return out;
}

bool TreeView::contains(const TreeNode* node) const
{
    if (!node)
        return false;
    const auto all = allNodes();
    return std::find(all.begin(), all.end(), node) != all.end();
}

void TreeView::expandAll()
{
    ++expandRequests_;
    changed();
}

} // namespace zor::forms
