#include "ui/DeviceTreeWidget.h"

#include "ui/Bind.h"
#include "ui/ErrorReport.h"
#include "ui/Icons.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QSignalBlocker>

namespace zor::ui {

namespace {

forms::TreeNode* NodeOf(const QTreeWidgetItem* item)
{
    return item ? reinterpret_cast<forms::TreeNode*>(item->data(0, Qt::UserRole).value<quintptr>()) : nullptr;
}

MouseButton ButtonOf(Qt::MouseButton b)
{
    return b == Qt::RightButton ? MouseButton::Right : b == Qt::MiddleButton ? MouseButton::Middle : MouseButton::Left;
}

} // namespace

DeviceTreeWidget::DeviceTreeWidget(forms::TreeView& model, std::function<QIcon(int)> images, QWidget* parent)
    : QTreeWidget(parent)
    , model_(model)
    , images_(std::move(images))
{
    setHeaderHidden(true);
    setColumnCount(1);
    setIconSize(QSize(24, 24));
    setIndentation(27);
    setEditTriggers(NoEditTriggers);
    setExpandsOnDoubleClick(false);
    setSelectionMode(SingleSelection);
    header()->setStretchLastSection(true);
    connect(
        this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) { collapsed_.insert(NodeOf(item)); });
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { collapsed_.erase(NodeOf(item)); });
    // Whatever moves the highlight (a press that selects nothing, a drag, a
    // key), it goes back to the selected node at once.
    connect(this, &QTreeWidget::itemSelectionChanged, this, [this] { highlightSelected(); });
    connect(this, &QTreeWidget::currentItemChanged, this, [this] { highlightSelected(); });
    Watch(model_, this, [this] { render(); });
}

void DeviceTreeWidget::render()
{
    clear();
    // An addition expands the whole tree; otherwise what the user folded
    // stays folded.
    if (model_.expandRequests() != expandRequests_) {
        expandRequests_ = model_.expandRequests();
        collapsed_.clear();
    }
    std::set<const forms::TreeNode*> stillCollapsed;
    std::function<void(QTreeWidgetItem*, const forms::TreeNode&)> add
        = [&](QTreeWidgetItem* parent, const forms::TreeNode& node) {
              auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
              item->setText(0, qs(node.text()));
              if (node.hint().empty()) {
                  item->setIcon(0, images_(node.imageIndex()));
              } else {
                  item->setIcon(0, WithDueMark(images_(node.imageIndex())));
                  item->setToolTip(0, qs(node.hint()));
              }
              item->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(&node)));
              for (const auto& child : node.children())
                  add(item, *child);
              const bool folded = collapsed_.count(&node) > 0;
              item->setExpanded(!folded);
              if (folded)
                  stillCollapsed.insert(&node);
          };
    for (const auto& root : model_.roots())
        add(nullptr, *root);
    collapsed_ = std::move(stillCollapsed);
    highlightSelected();
    setEnabled(model_.enabled());
}

void DeviceTreeWidget::highlightSelected()
{
    QTreeWidgetItem* item = itemOf(model_.selected());
    const QSignalBlocker blocker(this);
    if (item) {
        setCurrentItem(item);
    } else {
        clearSelection();
        setCurrentItem(nullptr);
    }
}

QTreeWidgetItem* DeviceTreeWidget::itemOf(const forms::TreeNode* node) const
{
    for (QTreeWidgetItemIterator it(const_cast<DeviceTreeWidget*>(this)); *it; ++it)
        if (NodeOf(*it) == node)
            return *it;
    return nullptr;
}

QRect DeviceTreeWidget::hitRect(const forms::TreeNode* node) const
{
    const QTreeWidgetItem* item = itemOf(node);
    if (!item)
        return {};
    const QRect row = visualItemRect(item);
    // The row reaches the right edge; the item itself is the icon, the gap
    // after it and the label.
    const int width = iconSize().width() + 8 + fontMetrics().horizontalAdvance(item->text(0)) + 6;
    return QRect(row.left(), row.top(), std::min(width, row.width()), row.height());
}

forms::TreeNode* DeviceTreeWidget::nodeAt(const QPoint& point) const
{
    forms::TreeNode* node = NodeOf(itemAt(point));
    return node && hitRect(node).contains(point) ? node : nullptr;
}

void DeviceTreeWidget::press(QMouseEvent* event)
{
    forms::TreeNode* node = nodeAt(event->position().toPoint());
    if (onPress)
        Guarded([&] { onPress(ButtonOf(event->button()), node); });
}

void DeviceTreeWidget::mousePressEvent(QMouseEvent* event)
{
    QTreeWidget::mousePressEvent(event);
    press(event);
}

void DeviceTreeWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click is a press as well.
    QTreeWidget::mouseDoubleClickEvent(event);
    press(event);
    if (onDoubleClick)
        Guarded(onDoubleClick);
}

} // namespace zor::ui
