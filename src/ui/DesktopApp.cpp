#include "ui/DesktopApp.h"

#include "app/TFormMain.h"
#include "commands/TFormDlg.h"
#include "commands/TFormLora.h"
#include "sim/SimBus.h"
#include "sim/SimBusFile.h"
#include "ui/ConcDialog.h"
#include "ui/CylinderDialog.h"
#include "ui/DesktopPlatform.h"
#include "ui/ErrorReport.h"
#include "ui/HelpWindow.h"
#include "ui/Icons.h"
#include "ui/JournalSettingsStore.h"
#include "ui/JournalWindow.h"
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
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

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
    main_->onJournal = [this] { ShowJournal(); };
    conc_->onCylinder = [this] { EditCylinder(); };
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
    Guarded([&] { form_->UsePort(path, description); });
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
    if (journalMessage_.empty())
        return;
    // Told once the window is there to be told over.
    QTimer::singleShot(0, main_.get(), [this] {
        form_->Log.Add(journalMessage_);
        dialogs_.message(
            forms::DialogOwner::Main, forms::MessageKind::Warning, journalMessage_, forms::MessageButtons::Ok);
    });
}

std::string DesktopApp::DefaultJournalPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString()
        + "/zor-tool/journal.sqlite";
}

void DesktopApp::OpenJournal(const std::string& path, bool remember)
{
    journal::JournalStore::Opened opened = journal::JournalStore::Open(path, clock_);
    form_->Journal().Attach(nullptr, nullptr);
    journal_ = std::move(opened.store);
    journalMessage_ = std::move(opened.message);
    form_->Journal().Attach(journal_.get(), &clock_);
    rememberJournal_ = remember;
    if (remember)
        form_->Journal().Settings = LoadJournalSettings();
}

void DesktopApp::OpenScratchJournal()
{
    scratch_ = std::make_unique<QTemporaryDir>();
    OpenJournal(scratch_->filePath("journal.sqlite").toStdString(), false);
}

void DesktopApp::RememberJournal()
{
    if (rememberJournal_)
        StoreJournalSettings(form_->Journal().Settings);
}

void DesktopApp::ShowJournal()
{
    if (!form_->Journal().Store()) {
        dialogs_.message(forms::DialogOwner::Main, forms::MessageKind::Warning,
            journalMessage_.empty() ? std::string("Журнал не открыт.") : journalMessage_, forms::MessageButtons::Ok);
        return;
    }
    JournalWindow window(
        form_->Journal(), dialogs_, [this] { RememberJournal(); }, main_.get());
    window.exec();
}

void DesktopApp::EditCylinder()
{
    CylinderDialog dialog(form_->Journal().Settings, conc_);
    if (dialog.exec() != QDialog::Accepted)
        return;
    dialog.store(form_->Journal().Settings);
    RememberJournal();
}

} // namespace zor::ui
