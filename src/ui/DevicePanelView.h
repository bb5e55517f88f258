#pragma once
// The device panel on screen: its caption (the selected device and its
// state), the four sections of readings and settings and the exchange log.
// Every control shows its model; gestures go to the main window's handlers.

#include "ui/ToolPanel.h"

#include <array>

namespace zor {
class TFormMain;
}

namespace zor::ui {

class LogPane;

class DevicePanelView : public ToolPanel {
    Q_OBJECT
public:
    DevicePanelView(TFormMain& form, QWidget* parent);

    LogPane* log() const { return log_; }
    QWidget* section(int i) const { return sections_.at(static_cast<size_t>(i)); }

private:
    QWidget* gasSection();
    QWidget* parameterSection();
    QWidget* lineSection();
    QWidget* currentSection();
    QWidget* logSection();
    void bindPanelState();

    TFormMain& form_;
    LogPane* log_ = nullptr;
    std::array<QWidget*, 5> sections_ {};
};

} // namespace zor::ui
