#include "ui/NetworkPortWindow.h"

#include "ui/DialogButtons.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace zor::ui {

namespace {

// In the order of the mode list.
constexpr NetworkMode kModes[] { NetworkMode::ModbusTcp, NetworkMode::RtuOverTcp };

} // namespace

NetworkPortWindow::NetworkPortWindow(QWidget* parent)
    : QDialog(parent)
{
    setModal(true);
    setWindowTitle("Сетевой порт");

    mode_ = new QComboBox(this);
    mode_->setObjectName("CBoxMode");
    mode_->addItems({ "Modbus TCP (шлюз Modbus TCP)", "RTU поверх TCP (преобразователь RS-485 - Ethernet)" });
    host_ = new QLineEdit(this);
    host_->setObjectName("EditHost");
    host_->setPlaceholderText("например, 192.168.1.10");
    port_ = new QSpinBox(this);
    port_->setObjectName("EditPort");
    port_->setRange(1, 65535);

    auto* note = new QLabel("Кадры, опрос и время ожидания ответа те же, что на последовательном порту.", this);
    note->setWordWrap(true);

    buttons_ = OkCancelButtons(this);
    connect(host_, &QLineEdit::textChanged, this, &NetworkPortWindow::check);

    auto* form = new QFormLayout;
    form->addRow("Режим:", mode_);
    form->addRow("Узел (IP-адрес или имя):", host_);
    form->addRow("Порт TCP:", port_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(buttons_);
}

bool NetworkPortWindow::edit(NetworkAddress& address)
{
    mode_->setCurrentIndex(address.mode == kModes[0] ? 0 : 1);
    host_->setText(QString::fromStdString(address.host));
    port_->setValue(address.port);
    check();
    if (exec() != QDialog::Accepted)
        return false;
    address = shown();
    return true;
}

NetworkAddress NetworkPortWindow::shown() const
{
    return NetworkAddress { kModes[mode_->currentIndex() == 1 ? 1 : 0], host_->text().trimmed().toStdString(),
        static_cast<uint16_t>(port_->value()) };
}

void NetworkPortWindow::check()
{
    // Only what the link will take as a network name is offered.
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(ParseNetworkName(NetworkName(shown())).has_value());
}

} // namespace zor::ui
