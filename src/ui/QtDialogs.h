#pragma once
// Message boxes, questions and the save dialog on Qt. Each runs a nested
// event loop, so answers from the bus and timers keep being handled while it
// is open. Boxes are placed with their top-left corner at the owner window's
// centre moved 150 px left and 50 px up (the LoRa window: 170 px left).

#include "forms/Dialogs.h"

#include <QPoint>
#include <QPointer>
#include <QWidget>

namespace zor::ui {

class QtDialogs final : public forms::Dialogs {
public:
    // The windows the boxes belong to; the LoRa window may come later.
    void setWindows(QWidget* main, QWidget* lora);

    forms::Answer message(forms::DialogOwner owner, forms::MessageKind kind, const std::string& text,
        forms::MessageButtons buttons) override;
    std::optional<std::string> saveFileName(const std::string& filter, const std::string& defaultExt) override;

    // Where a box of the owner goes.
    QPoint boxPosition(forms::DialogOwner owner) const;

private:
    QWidget* ownerWindow(forms::DialogOwner owner) const;

    QPointer<QWidget> main_;
    QPointer<QWidget> lora_;
};

} // namespace zor::ui
