#include "ui/LoraWindow.h"

#include "commands/TFormLora.h"
#include "ui/Bind.h"
#include "ui/ErrorReport.h"
#include "ui/Int64SpinBox.h"
#include "ui/WindowPlace.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zor::ui {

namespace {

QPushButton* Button(const char* name, const char* caption, QWidget* parent, std::function<void()> pressed)
{
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setMinimumWidth(90);
    QObject::connect(b, &QPushButton::clicked, parent, [pressed = std::move(pressed)] { Guarded(pressed); });
    return b;
}

QLabel* Caption(const char* text, QWidget* parent)
{
    return new QLabel(QString::fromUtf8(text), parent);
}

} // namespace

LoraWindow::LoraWindow(TFormLora& model, QWidget* mainWindow)
    : QDialog(mainWindow,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint)
    , model_(model)
    , main_(mainWindow)
{
    setObjectName("TFormLora");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 6);
    column->addWidget(radioGroup());
    column->addWidget(keyGroup());
    auto* row = new QHBoxLayout;
    row->addWidget(Button("BitBtnDefs", "Исходные", this, [this] { model_.BitBtnDefsClick(); }));
    row->addStretch(1);
    row->addWidget(Button("BitBtnRead", "Читать", this, [this] { model_.BitBtnReadClick(); }));
    column->addLayout(row);
    column->setSizeConstraint(QLayout::SetFixedSize);
    Watch(model_.Caption, this, [this] { setWindowTitle(qs(model_.Caption.text())); });
}

QWidget* LoraWindow::radioGroup()
{
    auto* group = new QGroupBox("RF", this);
    group->setObjectName("GBoxRF");
    auto* grid = new QGridLayout(group);
    grid->setHorizontalSpacing(6);
    const struct {
        const char* label;
        forms::IntSpinEdit& edit;
        const char* name;
    } edits[] = {
        { "Канал 1, Гц:", model_.EditChan1, "EditChan1" },
        { "Канал 2, Гц:", model_.EditChan2, "EditChan2" },
        { "Канал 3, Гц:", model_.EditChan3, "EditChan3" },
        { "Адрес:", model_.EditAddr, "EditAddr" },
        { "Период передачи, сек:", model_.EditPeriod, "EditPeriod" },
    };
    int row = 0;
    for (const auto& e : edits) {
        grid->addWidget(Caption(e.label, group), row, 0);
        auto* edit = new Int64SpinBox(group);
        edit->setObjectName(e.name);
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance("8680000000") + 30);
        BindIntSpin(e.edit, edit);
        grid->addWidget(edit, row++, 1);
    }
    grid->setColumnMinimumWidth(2, 16);
    const struct {
        const char* label;
        forms::ComboList& box;
        const char* name;
    } lists[] = {
        { "Ширина канала, КГц:", model_.CBoxBandWidth, "CBoxBandWidth" },
        { "Кодирование:", model_.CBoxCodingRate, "CBoxCodingRate" },
        { "Мощность, дБм:", model_.CBoxPower, "CBoxPower" },
        { "Spreading factor:", model_.CBoxSFactor, "CBoxSFactor" },
    };
    row = 0;
    for (const auto& l : lists) {
        grid->addWidget(Caption(l.label, group), row, 3);
        auto* box = new QComboBox(group);
        box->setObjectName(l.name);
        std::function<void(int)> picked;
        if (&l.box == &model_.CBoxSFactor)
            picked = [this](int i) {
                model_.CBoxSFactor.setItemIndex(i);
                model_.CBoxSFactorChange();
            };
        BindCombo(l.box, box, picked);
        grid->addWidget(box, row++, 4);
    }
    grid->addWidget(
        Button("BitBtnRFWrite", "Записать", group, [this] { model_.BitBtnRFWriteClick(); }), 4, 4, Qt::AlignRight);
    return group;
}

QWidget* LoraWindow::keyGroup()
{
    auto* group = new QGroupBox("LoRaWAN - ABP ключи", this);
    group->setObjectName("GBoxKey");
    auto* grid = new QGridLayout(group);
    const struct {
        const char* label;
        forms::TextField& field;
        const char* name;
    } keys[] = {
        { "Network session key (NwkSKey):", model_.EditNwkSKey, "EditNwkSKey" },
        { "Application session key (AppSKey):", model_.EditAppSKey, "EditAppSKey" },
    };
    int row = 0;
    for (const auto& k : keys) {
        grid->addWidget(Caption(k.label, group), row, 0);
        auto* edit = new QLineEdit(group);
        edit->setObjectName(k.name);
        QFont mono("DejaVu Sans Mono");
        mono.setStyleHint(QFont::Monospace);
        edit->setFont(mono);
        edit->setMinimumWidth(QFontMetrics(mono).horizontalAdvance(QString(32, 'D')) + 16);
        BindText(k.field, edit);
        grid->addWidget(edit, row++, 1);
    }
    grid->addWidget(
        Button("BitBtnABPWrite", "Записать", group, [this] { model_.BitBtnABPWriteClick(); }), 2, 1, Qt::AlignRight);
    return group;
}

void LoraWindow::showEvent(QShowEvent* event)
{
    adjustSize();
    CentreOver(this, main_);
    Guarded([this] { model_.FormShow(); });
    QDialog::showEvent(event);
}

} // namespace zor::ui
