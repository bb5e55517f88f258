#include "ui/CylinderDialog.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace zor::ui {

CylinderDialog::CylinderDialog(const JournalSettings& settings, QWidget* parent)
    : QDialog(parent)
{
    setObjectName("CylinderDialog");
    setWindowTitle("Баллон ПГС");
    auto* form = new QFormLayout(this);
    form->setSizeConstraint(QLayout::SetFixedSize);
    lot_ = new QLineEdit(QString::fromStdString(settings.cylinderLot), this);
    lot_->setObjectName("EditLot");
    lot_->setMinimumWidth(200);
    conc_ = new QLineEdit(QString::fromStdString(settings.cylinderConc), this);
    conc_->setObjectName("EditCertified");
    conc_->setPlaceholderText("например, 2,20 %об. ±0,05");
    expires_ = new QCheckBox("Годен до:", this);
    expires_->setObjectName("ChBoxExpiry");
    expiry_ = new QDateEdit(this);
    expiry_->setObjectName("EditExpiry");
    expiry_->setCalendarPopup(true);
    expiry_->setDisplayFormat("dd.MM.yyyy");
    const journal::Date d = settings.cylinderExpiry.value_or(journal::Date { 2030, 1, 1 });
    expiry_->setDate(QDate(d.year, d.month, d.day));
    expires_->setChecked(settings.cylinderExpiry.has_value());
    expiry_->setEnabled(expires_->isChecked());
    connect(expires_, &QCheckBox::toggled, expiry_, &QWidget::setEnabled);
    form->addRow("Партия (номер баллона):", lot_);
    form->addRow("Аттестованная концентрация:", conc_);
    form->addRow(expires_, expiry_);
    form->addRow(new QLabel("Без номера партии данные баллона не записываются.", this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

void CylinderDialog::store(JournalSettings& settings) const
{
    settings.cylinderLot = lot_->text().trimmed().toStdString();
    settings.cylinderConc = conc_->text().trimmed().toStdString();
    settings.cylinderExpiry = std::nullopt;
    if (expires_->isChecked()) {
        const QDate d = expiry_->date();
        settings.cylinderExpiry = journal::Date { d.year(), d.month(), d.day() };
    }
}

} // namespace zor::ui
