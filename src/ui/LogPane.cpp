#include "ui/LogPane.h"

#include "app/ExchangeLog.h"
#include "ui/Bind.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <climits>

namespace zor::ui {

namespace {

// The room left of the text, as a text edit's document margin.
constexpr int kMargin = 4;

} // namespace

LogPane::LogPane(ExchangeLog& log, QWidget* parent)
    : QAbstractScrollArea(parent)
    , log_(log)
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumHeight(76);
    viewport()->setCursor(Qt::IBeamCursor);
    lines_ = static_cast<int>(std::min<size_t>(log_.Lines().LineCount(), INT_MAX));
    updateScrollBars();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    log_.SetObserver([this](size_t lines) { linesAdded(static_cast<int>(std::min<size_t>(lines, INT_MAX))); });
}

LogPane::~LogPane()
{
    log_.SetObserver({});
}

int LogPane::lineHeight() const
{
    return std::max(1, fontMetrics().lineSpacing());
}

int LogPane::visibleLines() const
{
    return std::max(1, viewport()->height() / lineHeight());
}

int LogPane::firstVisibleLine() const
{
    return verticalScrollBar()->value();
}

void LogPane::linesAdded(int lines)
{
    QScrollBar* bar = verticalScrollBar();
    const bool following = bar->value() >= bar->maximum();
    lines_ = lines;
    updateScrollBars();
    if (following)
        bar->setValue(bar->maximum());
    viewport()->update();
}

void LogPane::updateScrollBars()
{
    const int shown = visibleLines();
    verticalScrollBar()->setRange(0, std::max(0, lines_ - shown));
    verticalScrollBar()->setPageStep(shown);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setRange(0, std::max(0, widest_ + 2 * kMargin - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(fontMetrics().averageCharWidth() * 4);
}

QString LogPane::linesText(int first, int last) const
{
    // One string grown in place: a copy of every line is the largest thing
    // the pane ever makes.
    QString text;
    for (int i = std::max(0, first); i <= last && i < lines_; ++i) {
        if (i > std::max(0, first))
            text += '\n';
        text += qs(log_.Lines().Line(static_cast<size_t>(i)));
    }
    return text;
}

QString LogPane::selectedText() const
{
    if (!hasSelection())
        return {};
    return linesText(std::min(anchor_, cursor_), std::max(anchor_, cursor_));
}

void LogPane::selectAll()
{
    if (lines_ == 0)
        return;
    anchor_ = 0;
    cursor_ = lines_ - 1;
    viewport()->update();
}

void LogPane::copy() const
{
    if (hasSelection())
        QApplication::clipboard()->setText(selectedText());
}

void LogPane::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    const int height = lineHeight();
    const int first = firstVisibleLine();
    const int last = std::min(lines_ - 1, first + viewport()->height() / height);
    const int low = std::min(anchor_, cursor_);
    const int high = std::max(anchor_, cursor_);
    const int x = kMargin - horizontalScrollBar()->value();
    const int ascent = fontMetrics().ascent();
    int widest = widest_;
    for (int i = first; i <= last; ++i) {
        const QString text = qs(log_.Lines().Line(static_cast<size_t>(i)));
        const int y = (i - first) * height;
        const bool selected = hasSelection() && i >= low && i <= high;
        if (selected)
            p.fillRect(0, y, viewport()->width(), height, palette().brush(QPalette::Highlight));
        p.setPen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
        p.drawText(x, y + ascent, text);
        widest = std::max(widest, fontMetrics().horizontalAdvance(text));
    }
    // The horizontal range grows with the widest line shown so far, so that
    // no line is ever measured that was not on screen.
    if (widest != widest_) {
        widest_ = widest;
        updateScrollBars();
    }
}

void LogPane::resizeEvent(QResizeEvent* event)
{
    QScrollBar* bar = verticalScrollBar();
    const bool following = bar->value() >= bar->maximum();
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    if (following)
        bar->setValue(bar->maximum());
}

int LogPane::lineAt(int y) const
{
    const int line = firstVisibleLine() + std::max(0, y) / lineHeight();
    return std::min(line, lines_ - 1);
}

void LogPane::mousePressEvent(QMouseEvent* event)
{
    if (lines_ == 0 || event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mousePressEvent(event);
    const int line = lineAt(event->position().toPoint().y());
    if (!(event->modifiers() & Qt::ShiftModifier) || !hasSelection())
        anchor_ = line;
    cursor_ = line;
    viewport()->update();
}

void LogPane::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton) || !hasSelection())
        return QAbstractScrollArea::mouseMoveEvent(event);
    const int y = event->position().toPoint().y();
    // Dragging past an edge scrolls a line at a time.
    if (y < 0)
        verticalScrollBar()->setValue(firstVisibleLine() - 1);
    else if (y >= viewport()->height())
        verticalScrollBar()->setValue(firstVisibleLine() + 1);
    cursor_ = lineAt(std::min(y, viewport()->height() - 1));
    viewport()->update();
}

void LogPane::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy))
        return copy();
    if (event->matches(QKeySequence::SelectAll))
        return selectAll();
    if (event->matches(QKeySequence::MoveToStartOfDocument) || event->key() == Qt::Key_Home)
        return verticalScrollBar()->setValue(0);
    if (event->matches(QKeySequence::MoveToEndOfDocument) || event->key() == Qt::Key_End)
        return verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    QAbstractScrollArea::keyPressEvent(event);
}

void LogPane::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    QAction* copyAction = menu.addAction("Копировать", this, &LogPane::copy);
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setEnabled(hasSelection());
    QAction* all = menu.addAction("Выделить всё", this, &LogPane::selectAll);
    all->setShortcut(QKeySequence::SelectAll);
    all->setEnabled(lines_ > 0);
    menu.exec(event->globalPos());
}

} // namespace zor::ui
