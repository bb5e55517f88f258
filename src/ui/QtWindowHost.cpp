#include "ui/QtWindowHost.h"

#include "ui/Bind.h"
#include "ui/ConcDialog.h"
#include "ui/ErrorReport.h"
#include "ui/HelpWindow.h"
#include "ui/LoraWindow.h"

#include <QCursor>
#include <QMenu>

namespace zor::ui {

QtWindowHost::QtWindowHost()
    : menu_(new QMenu)
{
    menu_->setObjectName("MenuLora");
}

QtWindowHost::~QtWindowHost()
{
    delete menu_;
}

void QtWindowHost::setWindows(LoraWindow* lora, ConcDialog* conc, HelpWindow* help)
{
    lora_ = lora;
    conc_ = conc;
    help_ = help;
}

void QtWindowHost::setMenuItem(const std::string& caption, std::function<void()> chosen)
{
    menu_->clear();
    QAction* item = menu_->addAction(qs(caption));
    item->setObjectName("N11");
    QObject::connect(item, &QAction::triggered, menu_, [chosen = std::move(chosen)] { Guarded(chosen); });
}

void QtWindowHost::ShowLoraModal()
{
    if (lora_ && !lora_->isVisible())
        lora_->exec();
}

bool QtWindowHost::LoraVisible() const
{
    return lora_ && lora_->isVisible();
}

void QtWindowHost::ShowConcentrationDialog()
{
    if (!conc_)
        return;
    conc_->show();
    conc_->raise();
    conc_->activateWindow();
}

void QtWindowHost::CloseConcentrationDialog()
{
    if (conc_)
        conc_->hide();
}

void QtWindowHost::ShowHelp()
{
    if (help_)
        help_->present();
}

void QtWindowHost::PopupMenuLora()
{
    menu_->popup(QCursor::pos());
}

} // namespace zor::ui
