#include "ui/ConcDialog.h"

#include "commands/TFormDlg.h"
#include "ui/Bind.h"
#include "ui/ErrorReport.h"
#include "ui/WindowPlace.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace zor::ui {

ConcDialog::ConcDialog(TFormDlg& model, QWidget* mainWindow)
    : QDialog(mainWindow,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint)
    , model_(model)
    , main_(mainWindow)
{
    setObjectName("TFormDlg");
    setModal(false);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(10, 10, 10, 10);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    auto* unit = new QLabel(this);
    unit->setObjectName("LConc");
    BindLabel(model_.LConc, unit);
    auto* edit = new QDoubleSpinBox(this);
    edit->setObjectName("EditConc");
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance("0000,00") + 30);
    BindSpin(model_.EditConc, edit);
    auto* ok = new QPushButton(this);
    ok->setObjectName("BtOk");
    ok->setDefault(true);
    auto* cancel = new QPushButton(this);
    cancel->setObjectName("BtCancel");
    Watch(model_.BtOk, ok, [this, ok] { ok->setText(qs(model_.BtOk.text())); });
    Watch(model_.BtCancel, cancel, [this, cancel] { cancel->setText(qs(model_.BtCancel.text())); });
    Watch(model_.Caption, this, [this] { setWindowTitle(qs(model_.Caption.text())); });
    connect(ok, &QPushButton::clicked, this, [this] { Guarded([this] { model_.BtOkClick(); }); });
    connect(cancel, &QPushButton::clicked, this, [this] { Guarded([this] { model_.BtCancelClick(); }); });

    grid->addWidget(edit, 0, 0);
    grid->addWidget(unit, 0, 1);
    auto* cylinder = new QPushButton("Баллон...", this);
    cylinder->setObjectName("BtCylinder");
    cylinder->setToolTip("Партия, аттестованная концентрация и срок годности баллона ПГС для журнала");
    connect(cylinder, &QPushButton::clicked, this, [this] {
        if (onCylinder)
            Guarded(onCylinder);
    });

    grid->addWidget(ok, 1, 0);
    grid->addWidget(cancel, 1, 1);
    grid->addWidget(cylinder, 2, 0, 1, 2);
}

void ConcDialog::showEvent(QShowEvent* event)
{
    Guarded([this] { model_.FormShow(); });
    adjustSize();
    CentreOver(this, main_);
    QDialog::showEvent(event);
}

} // namespace zor::ui
