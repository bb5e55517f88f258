#pragma once
// The main window on screen: the button bar, the left panel with the device
// tree and the port, the device panel with the exchange log, and the status
// bar. It sizes itself to its content, opens at the screen's top-left corner
// and carries only the system menu and the close box. Closing it ends the
// program, after the window's own close handling.

#include <QMainWindow>

#include <functional>
#include <memory>

class QToolButton;

namespace zor {
class TFormMain;
namespace ports {
class LineSettingsDialog;
}
} // namespace zor

namespace zor::ui {

class DeviceTreeWidget;
class DevicePanelView;
class PortComboBox;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr const char* Caption = "ZOR10 Tool 1.4.1";

    // settingsDialog makes the line-settings dialog that "..." shows.
    MainWindow(TFormMain& form, std::function<std::unique_ptr<ports::LineSettingsDialog>(QWidget*)> settingsDialog);

    DeviceTreeWidget* tree() const { return tree_; }
    DevicePanelView* panel() const { return panel_; }
    PortComboBox* portBox() const { return portBox_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buttonBar();
    QWidget* findPanel();
    // "Параметры поиска..." behind the arrow of "Найти".
    void AddSearchMenu(QToolButton* find);

    TFormMain& form_;
    std::function<std::unique_ptr<ports::LineSettingsDialog>(QWidget*)> settingsDialog_;
    DeviceTreeWidget* tree_ = nullptr;
    DevicePanelView* panel_ = nullptr;
    PortComboBox* portBox_ = nullptr;
};

} // namespace zor::ui
