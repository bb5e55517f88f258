#include "ui/DesktopApp.h"

#include "app/TFormMain.h"
#include "commands/TFormDlg.h"
#include "commands/TFormLora.h"
#include "sim/SimBus.h"
#include "sim/SimBusFile.h"
#include "ui/ConcDialog.h"
#include "ui/DesktopPlatform.h"
#include "ui/ErrorReport.h"
#include "ui/HelpWindow.h"
#include "ui/Icons.h"
#include "ui/LineMemoryStore.h"
#include "ui/LoraWindow.h"
#include "ui/MainWindow.h"
#include "ui/OverviewView.h"
#include "ui/PortSettingsDialog.h"
#include "ui/QtTranslation.h"
#include "ui/TrendView.h"

#include <QApplication>
#include <QFont>
#include <QLocale>

namespace zor::ui {

DesktopApp::DesktopApp(char separator)
{
    InitResources();
    LoadQtTranslation();
    // The windows are laid out for a small sans-serif face of 8 points.
    QFont font("DejaVu Sans", 8);
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);
    SetErrorReporter([this](const std::string& text) {
        dialogs_.message(forms::DialogOwner::Main, forms::MessageKind::Error, text, forms::MessageButtons::Ok);
    });

    form_ = std::make_unique<TFormMain>(
        TFormMain::Platform { loop_, dialogs_, host_, MakeSerialPort(), MakePortProvider(), separator });
    main_ = std::make_unique<MainWindow>(
        *form_, [](QWidget* parent) { return std::make_unique<PortSettingsDialog>(parent); });
    conc_ = new ConcDialog(form_->FormDlg(), main_.get());
    help_ = new HelpWindow(main_.get());
    lora_ = new LoraWindow(form_->FormLora(), main_.get());
    trend_ = new TrendView(form_->Trend, dialogs_, main_.get());
    main_->setViews(new OverviewView(*form_, main_.get()), trend_);
    lora_->setLocale(main_->locale());
    conc_->setLocale(main_->locale());

    dialogs_.setWindows(main_.get(), lora_);
    host_.setWindows(lora_, conc_, help_);
    host_.setMenuItem(form_->NodeMenuItem.text(), [this] { form_->N11Click(); });
    hotplug_ = WatchPorts([this](const ports::PortEvent& event) { form_->PortChanged(event); });
    Guarded([this] { form_->FormCreate(); });
}

DesktopApp::~DesktopApp()
{
    SetErrorReporter({});
    // The windows go before the logic they show.
    main_.reset();
}

void DesktopApp::Recall()
{
    if (const std::optional<LineMemory> line = LoadLineMemory())
        Guarded([&] { form_->RecallLine(*line); });
    main_->recallPlace();
}

void DesktopApp::UsePort(const std::string& path, const std::string& description)
{
    const int32_t number = form_->ComPort.AddPort(path, description);
    const auto& list = form_->ComPort.GetDeviceList();
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].Data == number) {
            Guarded([&] { form_->ComBox.Pick(static_cast<int>(i)); });
            return;
        }
}

bool DesktopApp::StartDemo(std::string& error)
{
    return StartSimBus(demoBusText(), DemoDescription, error);
}

bool DesktopApp::StartSimBus(std::string_view description, const std::string& portDescription, std::string& error)
{
    bus_ = std::make_unique<SimBus>(loop_);
    try {
        loadBusText(*bus_, description, "bus");
    } catch (const SimBusFileError& e) {
        error = e.what();
        bus_.reset();
        return false;
    }
    busLine_ = OpenSimLine(*bus_, error);
    if (!busLine_) {
        bus_.reset();
        return false;
    }
    UsePort(busLine_->PortName(), portDescription);
    return true;
}

void DesktopApp::Show()
{
    main_->show();
}

} // namespace zor::ui
