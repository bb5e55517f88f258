#include "ui/PortComboBox.h"

#include "ui/ErrorReport.h"

namespace zor::ui {

void PortComboBox::showPopup()
{
    if (onDropDown)
        Guarded(onDropDown);
    QComboBox::showPopup();
}

} // namespace zor::ui
