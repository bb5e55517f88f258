#pragma once
// The port list: ports come and go while the tool runs, so the list is
// rebuilt each time its popup is about to open.

#include <QComboBox>

#include <functional>

namespace zor::ui {

class PortComboBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    std::function<void()> onDropDown;

    void showPopup() override;
};

} // namespace zor::ui
