#pragma once
// The help window: the short operating instructions in a memo and "OK".
// Fixed size, placed at the centre of the screen, not modal; showing it
// again only brings it forward. "OK", Enter or the close box hide it.

#include <QDialog>

class QPlainTextEdit;

namespace zor::ui {

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* mainWindow);

    // Shows the window, or brings it forward when it is open.
    void present();
    QPlainTextEdit* memo() const { return memo_; }

private:
    QPlainTextEdit* memo_;
    bool placed_ = false;
};

} // namespace zor::ui
