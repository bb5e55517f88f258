#pragma once
// The other windows as the main window's logic asks for them: the LoRa
// window shown modally, the concentration dialog and the help window shown
// without, and the tree's popup menu at the mouse cursor.

#include "app/WindowHost.h"

#include <QPointer>

#include <functional>

class QMenu;

namespace zor::ui {

class ConcDialog;
class HelpWindow;
class LoraWindow;

class QtWindowHost final : public WindowHost {
public:
    QtWindowHost();
    ~QtWindowHost() override;

    void setWindows(LoraWindow* lora, ConcDialog* conc, HelpWindow* help);
    // The popup's one item: its caption and what it does.
    void setMenuItem(const std::string& caption, std::function<void()> chosen);
    QMenu* menu() const { return menu_; }

    void ShowLoraModal() override;
    bool LoraVisible() const override;
    void ShowConcentrationDialog() override;
    void CloseConcentrationDialog() override;
    void ShowHelp() override;
    void PopupMenuLora() override;

private:
    QPointer<LoraWindow> lora_;
    QPointer<ConcDialog> conc_;
    QPointer<HelpWindow> help_;
    QMenu* menu_;
};

} // namespace zor::ui
