#pragma once
// "ОК" and "Отмена" of the tool's own modal windows: they accept and reject
// the window they are made for.

class QDialog;
class QDialogButtonBox;

namespace zor::ui {

QDialogButtonBox* OkCancelButtons(QDialog* dialog);

} // namespace zor::ui
