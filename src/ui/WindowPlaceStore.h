#pragma once
// The main window's size and place kept across runs, in the same settings
// file as the line settings (~/.config/zor-tool/zor-tool.conf).

#include <QByteArray>

namespace zor::ui {

void StoreWindowPlace(const QByteArray& geometry);
// Empty before the first run that stored one.
QByteArray LoadWindowPlace();

} // namespace zor::ui
