#pragma once
// Where the tool's windows appear.

class QWidget;

namespace zor::ui {

// Centres a window over another, by their outer frames.
void CentreOver(QWidget* window, const QWidget* over);

} // namespace zor::ui
