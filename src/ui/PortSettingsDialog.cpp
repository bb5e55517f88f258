#include "ui/PortSettingsDialog.h"

#include "link/TVSCOM.h"
#include "ui/DialogButtons.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace zor::ui {

using ports::CommConfig;

namespace {

QComboBox* list(QWidget* parent, const char* name, const QStringList& items)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->addItems(items);
    return box;
}

} // namespace

PortSettingsDialog::PortSettingsDialog(QWidget* parent)
    : QDialog(parent)
{
    setModal(true);
    QStringList rates;
    for (int r = static_cast<int>(TBaudRate::br110); r <= static_cast<int>(TBaudRate::br256000); ++r)
        rates << QString::number(BaudRateToValue(static_cast<TBaudRate>(r)));
    rate_ = list(this, "CBoxRate", rates);
    rate_->setEditable(true);
    rate_->setInsertPolicy(QComboBox::NoInsert);
    rate_->lineEdit()->setValidator(new QRegularExpressionValidator(QRegularExpression("[1-9][0-9]{0,7}"), rate_));
    dataBits_ = list(this, "CBoxDataBits", { "5", "6", "7", "8" });
    parity_ = list(this, "CBoxParity", { "Нет", "Нечет", "Чет", "Маркер", "Пробел" });
    stopBits_ = list(this, "CBoxStopBits", { "1", "1,5", "2" });
    flow_ = list(this, "CBoxFlow", { "Нет", "XON/XOFF", "Аппаратное" });
    rs485_ = new QCheckBox("RTS при передаче (драйвер порта)", this);
    rs485_->setObjectName("ChBoxRS485");

    auto* form = new QFormLayout;
    form->addRow("Скорость (бит/с):", rate_);
    form->addRow("Биты данных:", dataBits_);
    form->addRow("Чётность:", parity_);
    form->addRow("Стоповые биты:", stopBits_);
    form->addRow("Управление потоком:", flow_);
    form->addRow("RS-485:", rs485_);

    buttons_ = OkCancelButtons(this);
    connect(rate_, &QComboBox::editTextChanged, this, &PortSettingsDialog::checkRate);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons_);
}

void PortSettingsDialog::checkRate()
{
    // No rate, no confirming: the record would get a rate of 0.
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(rate_->currentText().toUInt() > 0);
}

bool PortSettingsDialog::edit(const std::string& portName, CommConfig& config)
{
    setWindowTitle("Свойства: " + QString::fromStdString(portName));
    load(config);
    if (exec() != QDialog::Accepted)
        return false;
    store(config);
    return true;
}

void PortSettingsDialog::load(const CommConfig& c)
{
    rate_->setEditText(QString::number(c.BaudRate));
    checkRate();
    // A size the list does not offer (4) shows nothing and is kept.
    dataBits_->setCurrentIndex(c.ByteSize >= 5 && c.ByteSize <= 8 ? c.ByteSize - 5 : -1);
    parity_->setCurrentIndex(c.Parity);
    stopBits_->setCurrentIndex(c.StopBits);
    const ports::StreamMode mode = ports::DeriveStreamProtocol(c.Flags);
    shownFlow_ = static_cast<int>(mode.protocol);
    flow_->setCurrentIndex(shownFlow_);
    shownRs485_ = mode.rs485Mode;
    rs485_->setChecked(shownRs485_);
}

void PortSettingsDialog::store(CommConfig& c) const
{
    c.BaudRate = rate_->currentText().toUInt();
    if (dataBits_->currentIndex() >= 0)
        c.ByteSize = static_cast<uint8_t>(dataBits_->currentIndex() + 5);
    if (parity_->currentIndex() >= 0) {
        c.Parity = static_cast<uint8_t>(parity_->currentIndex());
        c.Flags = c.Parity ? (c.Flags | ports::dcbParity) : (c.Flags & ~uint32_t(ports::dcbParity));
    }
    if (stopBits_->currentIndex() >= 0)
        c.StopBits = static_cast<uint8_t>(stopBits_->currentIndex());
    // Flow bits are rewritten only when the user chose another mode, so that
    // flags the dialog does not show survive it.
    if (flow_->currentIndex() != shownFlow_ || rs485_->isChecked() != shownRs485_)
        c.Flags = ports::StreamProtocolFlags(
            c.Flags, static_cast<ports::TStreamProtocol>(flow_->currentIndex()), rs485_->isChecked());
}

} // namespace zor::ui
