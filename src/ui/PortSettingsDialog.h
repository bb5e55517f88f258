#pragma once
// The modal window that edits the line settings of the chosen port: rate
// (the link's standard rates or any number typed in), data bits, parity,
// stop bits, flow control and RS-485 direction switching by the driver. It
// edits the holder's record only when the user confirms.

#include "ports/LineSettingsDialog.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;

namespace zor::ui {

class PortSettingsDialog final : public QDialog, public ports::LineSettingsDialog {
    Q_OBJECT
public:
    explicit PortSettingsDialog(QWidget* parent = nullptr);

    bool edit(const std::string& portName, ports::CommConfig& config) override;

private:
    void load(const ports::CommConfig& config);
    void store(ports::CommConfig& config) const;
    void checkRate();

    QComboBox* rate_;
    QComboBox* dataBits_;
    QComboBox* parity_;
    QComboBox* stopBits_;
    QComboBox* flow_;
    QCheckBox* rs485_;
    QDialogButtonBox* buttons_;
    int shownFlow_ = 0;
    bool shownRs485_ = false;
};

} // namespace zor::ui
