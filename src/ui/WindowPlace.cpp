#include "ui/WindowPlace.h"

#include <QWidget>

namespace zor::ui {

void CentreOver(QWidget* window, const QWidget* over)
{
    const QRect outer = over->frameGeometry();
    const QSize own = window->frameGeometry().size();
    window->move(outer.left() + (outer.width() - own.width()) / 2, outer.top() + (outer.height() - own.height()) / 2);
}

} // namespace zor::ui
