#pragma once
// The main window on screen: the button bar, the left panel with the device
// tree and the port, the device panel with the exchange log, the bus
// overview over the trend, and the status bar. It opens at the screen's
// top-left corner, or where the technician left it last time, and carries
// the system menu, the close box and the maximize box. Its least size fits a
// 1280 x 720 screen with a task bar; what it is made larger goes to the
// exchange log, the overview and the trend. Closing it ends the program,
// after the window's own close handling.

#include <QMainWindow>

#include <functional>
#include <memory>

class QHBoxLayout;
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

    // "Журнал": opens the service journal.
    std::function<void()> onJournal;

    // Puts the bus overview and, under it, the trend beside the device panel.
    void setViews(QWidget* overview, QWidget* trend);
    // Takes back the size and place of the last run, and keeps them at close.
    void recallPlace();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

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
    QHBoxLayout* panels_ = nullptr;
    bool rememberPlace_ = false;
    bool placeRecalled_ = false;
    bool shownBefore_ = false;
};

} // namespace zor::ui
