#include "ui/ToolPanel.h"

#include <QLabel>
#include <QVBoxLayout>

namespace zor::ui {

namespace {

QLabel* CaptionBar(const QString& text, const char* role, QWidget* parent)
{
    auto* bar = new QLabel(text, parent);
    bar->setObjectName(role);
    bar->setTextFormat(Qt::PlainText);
    bar->setContentsMargins(4, 2, 4, 2);
    bar->setMinimumHeight(bar->fontMetrics().height() + 6);
    return bar;
}

} // namespace

ToolPanel::ToolPanel(const QString& caption, QWidget* parent)
    : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    setStyleSheet("QLabel#PanelCaption { background: #2b4a6f; color: white; font-weight: bold; }"
                  "QLabel#SectionCaption { background: #d6e0ec; color: #1c2a3a; font-weight: bold;"
                  " border-top: 1px solid #9fb1c7; }"
                  "QLabel#SectionCaption:disabled { color: #6f7b88; }");
    column_ = new QVBoxLayout(this);
    column_->setContentsMargins(1, 1, 1, 1);
    column_->setSpacing(0);
    caption_ = CaptionBar(caption, "PanelCaption", this);
    column_->addWidget(caption_);
}

QWidget* ToolPanel::addSection(const QString& caption, QWidget* content, int stretch)
{
    auto* section = new QWidget(this);
    auto* layout = new QVBoxLayout(section);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(CaptionBar(caption, "SectionCaption", section));
    content->setParent(section);
    layout->addWidget(content, 1);
    column_->addWidget(section, stretch);
    return section;
}

QLabel* ToolPanel::sectionCaption(QWidget* section)
{
    return section->findChild<QLabel*>("SectionCaption", Qt::FindDirectChildrenOnly);
}

} // namespace zor::ui
