// Saving the exchange log, and the help window.

#include "app/LogFile.h"
#include "app/TFormMain.h"

namespace zor {

void TFormMain::ActSaveToFileExecute()
{
    const auto path = dialogs_.saveFileName("ZOR log files (*.zor)|*.ZOR|Any file (*.*)|*.*", "log");
    if (!path)
        return;
    const std::string error = SaveLogFile(*path, Log.Lines());
    if (!error.empty())
        dialogs_.message(forms::DialogOwner::Main, forms::MessageKind::Error, error, forms::MessageButtons::Ok);
}

void TFormMain::ActHelpExecute()
{
    windows_.ShowHelp();
}

} // namespace zor
