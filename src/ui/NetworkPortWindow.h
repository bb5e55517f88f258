#pragma once
// The modal window of "Сетевой порт...": the mode (a Modbus TCP gateway or
// a serial device server carrying RTU frames), the host and the TCP port of
// a bus reached over the network. It edits the address only when the
// technician confirms, and only an address the link can open.

#include "app/NetworkPortDialog.h"

#include <QDialog>

class QComboBox;
class QDialogButtonBox;
class QLineEdit;
class QSpinBox;

namespace zor::ui {

class NetworkPortWindow final : public QDialog, public NetworkPortDialog {
    Q_OBJECT
public:
    explicit NetworkPortWindow(QWidget* parent = nullptr);

    bool edit(NetworkAddress& address) override;

private:
    NetworkAddress shown() const;
    void check();

    QComboBox* mode_;
    QLineEdit* host_;
    QSpinBox* port_;
    QDialogButtonBox* buttons_;
};

} // namespace zor::ui
