#pragma once
// The test-gas concentration dialog on screen: small, stays on top of the
// other windows, not modal. When it appears it is centred over the main
// window and takes its limits from the calibration's data.

#include <QDialog>

#include <functional>

class QDoubleSpinBox;

namespace zor {
class TFormDlg;
}

namespace zor::ui {

class ConcDialog : public QDialog {
    Q_OBJECT
public:
    ConcDialog(TFormDlg& model, QWidget* mainWindow);

    // "Баллон...": the test-gas cylinder's data for the journal.
    std::function<void()> onCylinder;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TFormDlg& model_;
    QWidget* main_;
};

} // namespace zor::ui
