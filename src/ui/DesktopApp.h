#pragma once
// The desktop program put together: the Qt event loop, the dialogs, the
// main window's logic on the serial port and the port catalogue, and the
// four windows, created in the order main window, concentration dialog,
// help window, LoRa window. Only the main window is shown. Optionally a port
// named on the command line, or the built-in demonstration bus on a
// pseudo-terminal, is listed and picked. What differs between systems comes
// from DesktopPlatform.h.

#include "journal/JournalStore.h"
#include "journal/WallClock.h"
#include "ui/DesktopPlatform.h"
#include "ui/QtDialogs.h"
#include "ui/QtEventLoop.h"
#include "ui/QtWindowHost.h"

#include <memory>
#include <string>
#include <string_view>

class QTemporaryDir;

namespace zor {
class SimBus;
class TFormMain;
} // namespace zor

namespace zor::ui {

class ConcDialog;
class HelpWindow;
class LoraWindow;
class MainWindow;
class TrendView;

class DesktopApp {
public:
    static constexpr const char* DemoDescription = "Демонстрационная шина";

    // separator: the user's decimal separator.
    explicit DesktopApp(char separator);
    ~DesktopApp();
    DesktopApp(const DesktopApp&) = delete;
    DesktopApp& operator=(const DesktopApp&) = delete;

    // Takes back the port and line settings and the window's size and place
    // of the last run, when there are any; a port that is not there now is
    // not chosen. The window's size and place are then kept at close.
    void Recall();
    // Lists a port the platform does not, and picks it as the user would.
    void UsePort(const std::string& path, const std::string& description);
    // Starts the demonstration bus on a new pseudo-terminal and picks it;
    // false with the reason in error.
    bool StartDemo(std::string& error);
    // The same with a bus of the simulator's description format.
    bool StartSimBus(std::string_view description, const std::string& portDescription, std::string& error);
    void Show();

    // The service journal in path (a damaged file is moved aside and told
    // once the window shows); remember: its settings (technician, interval,
    // cylinder) are taken back and kept across runs.
    void OpenJournal(const std::string& path, bool remember);
    // A journal of this run only, in a temporary folder: --demo leaves the
    // technician's journal and settings alone.
    void OpenScratchJournal();
    // ~/.local/share/zor-tool/journal.sqlite.
    static std::string DefaultJournalPath();
    // The "Журнал" window, modal.
    void ShowJournal();

    TFormMain& Form() { return *form_; }
    MainWindow& Main() { return *main_; }
    LoraWindow& Lora() { return *lora_; }
    ConcDialog& Conc() { return *conc_; }
    HelpWindow& Help() { return *help_; }
    TrendView& Trend() { return *trend_; }
    QtWindowHost& Host() { return host_; }
    QtDialogs& Dialogs() { return dialogs_; }
    // The simulated bus, null until one is started.
    SimBus* Bus() { return bus_.get(); }

private:
    void EditCylinder();
    void RememberJournal();

    QtEventLoop loop_;
    QtDialogs dialogs_;
    QtWindowHost host_;
    // The journal outlives the window's logic, which writes to it at close.
    journal::SystemClock clock_;
    std::unique_ptr<QTemporaryDir> scratch_;
    std::unique_ptr<journal::JournalStore> journal_;
    std::string journalMessage_;
    bool rememberJournal_ = false;
    std::unique_ptr<TFormMain> form_;
    std::unique_ptr<MainWindow> main_;
    // Children of the main window, which deletes them.
    ConcDialog* conc_ = nullptr;
    HelpWindow* help_ = nullptr;
    LoraWindow* lora_ = nullptr;
    TrendView* trend_ = nullptr;

    std::unique_ptr<PortWatch> hotplug_;
    std::unique_ptr<SimBus> bus_;
    std::unique_ptr<SimLine> busLine_;
};

} // namespace zor::ui
