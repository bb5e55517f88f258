#include "ui/QtDialogs.h"

#include "ui/Bind.h"
#include "ui/FileDialogText.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include <map>

namespace zor::ui {

using forms::Answer;
using forms::DialogOwner;
using forms::MessageButtons;
using forms::MessageKind;

void QtDialogs::setWindows(QWidget* main, QWidget* lora)
{
    main_ = main;
    lora_ = lora;
}

QWidget* QtDialogs::ownerWindow(DialogOwner owner) const
{
    if (owner == DialogOwner::Lora && lora_ && lora_->isVisible())
        return lora_;
    return main_;
}

QPoint QtDialogs::boxPosition(DialogOwner owner) const
{
    const QWidget* window = owner == DialogOwner::Lora && lora_ ? lora_.data() : main_.data();
    if (!window)
        return {};
    const QPoint shift = owner == DialogOwner::Lora ? QPoint(170, 50) : QPoint(150, 50);
    return window->frameGeometry().center() - shift;
}

Answer QtDialogs::message(DialogOwner owner, MessageKind kind, const std::string& text, MessageButtons buttons)
{
    static const std::map<MessageKind, std::pair<QMessageBox::Icon, const char*>> looks {
        { MessageKind::Information, { QMessageBox::NoIcon, nullptr } },
        { MessageKind::Warning, { QMessageBox::Warning, "Предупреждение" } },
        { MessageKind::Error, { QMessageBox::Critical, "Ошибка" } },
        { MessageKind::Confirmation, { QMessageBox::Question, "Подтверждение" } },
    };
    const auto& [icon, title] = looks.at(kind);
    QWidget* parent = ownerWindow(owner);
    QMessageBox box(parent);
    box.setIcon(icon);
    box.setWindowTitle(title ? QString::fromUtf8(title) : (main_ ? main_->windowTitle() : QString()));
    // Texts may carry names from the system (a program holding a port)
    // that Qt would otherwise take for markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(qs(text));

    std::map<QAbstractButton*, Answer> answers;
    auto add = [&](const char* caption, QMessageBox::ButtonRole role, Answer answer) {
        QPushButton* b = box.addButton(QString::fromUtf8(caption), role);
        answers[b] = answer;
        return b;
    };
    switch (buttons) {
    case MessageButtons::Ok:
        box.setDefaultButton(add("OK", QMessageBox::AcceptRole, Answer::Ok));
        break;
    case MessageButtons::OkCancel:
        box.setDefaultButton(add("OK", QMessageBox::AcceptRole, Answer::Ok));
        box.setEscapeButton(add("Отмена", QMessageBox::RejectRole, Answer::Cancel));
        break;
    case MessageButtons::YesNo:
        box.setDefaultButton(add("Да", QMessageBox::YesRole, Answer::Yes));
        box.setEscapeButton(add("Нет", QMessageBox::NoRole, Answer::No));
        break;
    }
    box.move(boxPosition(owner));
    box.exec();
    const auto it = answers.find(box.clickedButton());
    if (it != answers.end())
        return it->second;
    return buttons == MessageButtons::Ok ? Answer::Ok : buttons == MessageButtons::YesNo ? Answer::No : Answer::Cancel;
}

std::optional<std::string> QtDialogs::saveFileName(const std::string& filter, const std::string& defaultExt)
{
    QFileDialog dialog(main_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The patterns stay out of sight, as in the captions the filter gives;
    // an existing file is replaced without asking.
    dialog.setOptions(
        QFileDialog::HideNameFilterDetails | QFileDialog::DontConfirmOverwrite | QFileDialog::DontUseNativeDialog);
    QStringList filters;
    for (const std::string& f : QtNameFilters(filter))
        filters << qs(f);
    dialog.setNameFilters(filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return WithDefaultExtension(ss(dialog.selectedFiles().first()), defaultExt);
}

} // namespace zor::ui
