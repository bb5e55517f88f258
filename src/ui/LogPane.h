#pragma once
// The exchange log pane: read-only, vertical scroll bar always shown, one
// row per line of the log. It keeps no text of its own: it paints only the
// lines on screen, taking them from the log by number, so that a log of a
// million lines costs the pane no more than one of a thousand. A new entry
// scrolls the pane to the newest line when it was showing the newest line
// already. Whole lines are selected with the mouse (Shift widens), Ctrl+A
// selects all, and Ctrl+C or the context menu copies them.

#include <QAbstractScrollArea>

namespace zor {
class ExchangeLog;
}

namespace zor::ui {

class LogPane : public QAbstractScrollArea {
    Q_OBJECT
public:
    LogPane(ExchangeLog& log, QWidget* parent);
    ~LogPane() override;

    int lineCount() const { return lines_; }
    // The lines first..last (inclusive) joined with "\n".
    QString linesText(int first, int last) const;
    QString toPlainText() const { return linesText(0, lines_ - 1); }
    QString selectedText() const;
    void selectAll();
    void copy() const;
    // The line at the top of the pane and how many fit in it.
    int firstVisibleLine() const;
    int visibleLines() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void linesAdded(int lines);
    void updateScrollBars();
    int lineAt(int y) const;
    int lineHeight() const;
    bool hasSelection() const { return anchor_ >= 0; }

    ExchangeLog& log_;
    int lines_ = 0;
    int widest_ = 0;
    // The selected lines run from anchor_ to cursor_ (either way); -1: none.
    int anchor_ = -1;
    int cursor_ = -1;
};

} // namespace zor::ui
