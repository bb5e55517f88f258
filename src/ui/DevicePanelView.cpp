#include "ui/DevicePanelView.h"

#include "app/TFormMain.h"
#include "ui/Bind.h"
#include "ui/LogPane.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>

namespace zor::ui {

namespace {

// Builds the rows of a section: label, field and unit, bound to the models.
class Rows {
public:
    explicit Rows(QWidget* section)
        : grid_(new QGridLayout(section))
    {
        grid_->setContentsMargins(6, 4, 6, 4);
        grid_->setHorizontalSpacing(4);
        grid_->setVerticalSpacing(3);
    }
    QGridLayout* grid() const { return grid_; }

    QLabel* label(forms::Label& model, int row, int column, int span = 1)
    {
        auto* w = new QLabel(grid_->parentWidget());
        BindLabel(model, w);
        grid_->addWidget(w, row, column, 1, span);
        return w;
    }
    // A unit label keeps room for the longest unit text.
    QLabel* unit(forms::Label& model, int row, int column)
    {
        QLabel* w = label(model, row, column);
        w->setMinimumWidth(w->fontMetrics().horizontalAdvance("мгм/м3") + 4);
        return w;
    }
    QLineEdit* reading(forms::TextField& model, int row, int column)
    {
        auto* w = new QLineEdit(grid_->parentWidget());
        w->setObjectName(QString::fromUtf8(name_));
        w->setAlignment(Qt::AlignRight);
        w->setFixedWidth(w->fontMetrics().horizontalAdvance("-00000,00") + 12);
        BindText(model, w);
        grid_->addWidget(w, row, column);
        return w;
    }
    QDoubleSpinBox* spin(forms::SpinEdit& model, int row, int column)
    {
        auto* w = new QDoubleSpinBox(grid_->parentWidget());
        w->setObjectName(QString::fromUtf8(name_));
        w->setFixedWidth(w->fontMetrics().horizontalAdvance("00000,00") + 30);
        BindSpin(model, w);
        grid_->addWidget(w, row, column);
        return w;
    }
    QComboBox* combo(forms::ComboList& model, int row, int column, std::function<void(int)> picked = {}, int span = 1)
    {
        auto* w = new QComboBox(grid_->parentWidget());
        w->setObjectName(QString::fromUtf8(name_));
        BindCombo(model, w, std::move(picked));
        grid_->addWidget(w, row, column, 1, span);
        return w;
    }
    // The object name of the next field.
    Rows& name(const char* n)
    {
        name_ = n;
        return *this;
    }

private:
    QGridLayout* grid_;
    const char* name_ = "";
};

QToolButton* WriteButton(PanelButton& model, const char* name, QWidget* parent, Gesture pressed)
{
    auto* w = new QToolButton(parent);
    w->setObjectName(name);
    w->setToolButtonStyle(Qt::ToolButtonTextOnly);
    w->setMinimumWidth(w->fontMetrics().horizontalAdvance(QString::fromStdString(model.caption())) + 24);
    BindActionButton(model, { model.action() }, w, ButtonLook { false, {} }, std::move(pressed), model.caption());
    return w;
}

} // namespace

DevicePanelView::DevicePanelView(TFormMain& form, QWidget* parent)
    : ToolPanel(QString(), parent)
    , form_(form)
{
    setObjectName("DevPanel");
    DevicePanel& p = form.Panel;
    QWidget* contents[] = { gasSection(), parameterSection(), lineSection(), currentSection(), logSection() };
    for (size_t i = 0; i < sections_.size(); ++i) {
        sections_[i] = addSection(qs(p.Sections[i].text()), contents[i], i == 4 ? 1 : 0);
        QLabel* caption = sectionCaption(sections_[i]);
        // The section captions are models too: the gas section names the gas.
        Watch(p.Sections[i], caption, [&model = p.Sections[i], caption] { caption->setText(qs(model.text())); });
    }
    bindPanelState();
}

void DevicePanelView::bindPanelState()
{
    // The panel's caption names the device whose values it shows, and its
    // state. Disabling or hiding the panel concerns the device's sections,
    // greyed too while they show another device than the selected one, or
    // old values (no answer, a lost port); the exchange log stays readable
    // and scrollable whatever the device does.
    forms::Label& model = form_.Panel.DevPanel;
    forms::Flag& other = form_.Panel.OtherDevice;
    forms::Flag& noAnswer = form_.Panel.NoAnswer;
    const auto render = [this, &model, &other, &noAnswer] {
        caption()->setText(qs(model.text()));
        for (size_t i = 0; i < 4; ++i) {
            sections_[i]->setEnabled(model.enabled() && !other.on() && !noAnswer.on());
            sections_[i]->setVisible(model.visible());
        }
    };
    Watch(model, this, render);
    Watch(other, this, render);
    Watch(noAnswer, this, render);
}

QWidget* DevicePanelView::gasSection()
{
    DevicePanel& p = form_.Panel;
    auto* w = new QWidget(this);
    Rows rows(w);
    rows.label(p.LabelGas, 0, 0);
    rows.name("CBoxGas").combo(p.CBoxGas, 0, 1, [this](int i) {
        form_.Panel.CBoxGas.setItemIndex(i);
        form_.CBoxGasChange();
    });
    rows.label(p.LabelUnit, 1, 0);
    rows.name("CBoxUnit").combo(p.CBoxUnit, 1, 1, [this](int i) {
        form_.Panel.CBoxUnit.setItemIndex(i);
        form_.CBoxUnitChange();
    });
    rows.grid()->setColumnMinimumWidth(3, 12);
    rows.label(p.LabelConc, 0, 4);
    rows.name("EditConc").reading(p.EditConc, 0, 5);
    rows.unit(p.LGasUnit, 0, 6);
    rows.label(p.LabelURV, 1, 4);
    rows.name("EditURV").reading(p.EditURV, 1, 5);
    rows.unit(p.LURVUnit, 1, 6);
    rows.label(p.LabelTemp, 2, 4);
    rows.name("EditTemp").reading(p.EditTemp, 2, 5);
    rows.unit(p.LTempUnit, 2, 6);
    rows.label(p.LabelI, 3, 4);
    rows.name("EditI").reading(p.EditI, 3, 5);
    rows.unit(p.LIUnit, 3, 6);
    rows.grid()->setColumnStretch(2, 1);
    return w;
}

QWidget* DevicePanelView::parameterSection()
{
    DevicePanel& p = form_.Panel;
    auto* w = new QWidget(this);
    Rows rows(w);
    rows.label(p.Label13, 0, 0, 4);
    rows.name("EditMagnet").spin(p.EditMagnet, 0, 4);
    rows.unit(p.LMagnetUnit, 0, 5);
    const struct {
        forms::Label& label;
        forms::SpinEdit& edit;
        forms::Label& unit;
        const char* name;
    } limits[] = {
        { p.LabelLimit1, p.EditLimit1, p.LLimit1Unit, "EditLimit1" },
        { p.LabelLimit2, p.EditLimit2, p.LLimit2Unit, "EditLimit2" },
        { p.LabelHyster, p.EditHyster, p.LHysterUnit, "EditHyster" },
        { p.LabelZeroZone, p.EditZeroZone, p.LZeroZoneUnit, "EditZeroZone" },
    };
    int row = 1;
    for (const auto& l : limits) {
        rows.label(l.label, row, 0);
        rows.name(l.name).spin(l.edit, row, 1);
        rows.unit(l.unit, row, 2);
        ++row;
    }
    const struct {
        forms::Label& label;
        forms::ComboList& box;
        const char* name;
    } relays[] = {
        { p.LabelRelay1, p.CBoxRelay1, "CBoxRelay1" },
        { p.LabelRelay2, p.CBoxRelay2, "CBoxRelay2" },
        { p.Label20, p.CBoxRelayD, "CBoxRelayD" },
    };
    row = 1;
    rows.grid()->setColumnMinimumWidth(3, 10);
    for (const auto& r : relays) {
        rows.label(r.label, row, 3);
        QComboBox* box = rows.name(r.name).combo(r.box, row, 4, {}, 2);
        box->setToolTip(
            QString::fromUtf8(DevicePanel::RelayHint.data(), static_cast<int>(DevicePanel::RelayHint.size())));
        ++row;
    }
    auto* block = new QCheckBox(w);
    block->setObjectName("CBoxBlock");
    BindCheck(p.CBoxBlock, block);
    rows.grid()->addWidget(block, 5, 0, 1, 4);
    rows.grid()->addWidget(WriteButton(p.SpBtSetOptions, "SpBtSetOptions", w, [this] { form_.ActWriteOptExecute(); }),
        5, 4, 1, 2, Qt::AlignRight);
    rows.grid()->setColumnStretch(6, 1);
    return w;
}

QWidget* DevicePanelView::lineSection()
{
    DevicePanel& p = form_.Panel;
    auto* w = new QWidget(this);
    Rows rows(w);
    rows.label(p.LabelAddr, 0, 0);
    rows.name("SEditAddr").spin(p.SEditAddr, 0, 1);
    rows.label(p.LabelBaud, 1, 0);
    rows.name("CBoxBaud").combo(p.CBoxBaud, 1, 1);
    rows.grid()->setColumnMinimumWidth(2, 16);
    rows.label(p.LabelPar, 0, 3);
    rows.name("CBoxPar").combo(p.CBoxPar, 0, 4);
    rows.label(p.LabelStopBit, 1, 3);
    rows.name("CBoxStopBit").combo(p.CBoxStopBit, 1, 4);
    rows.grid()->setColumnStretch(5, 1);
    rows.grid()->addWidget(
        WriteButton(p.SpBtSetAddr, "SpBtSetAddr", w, [this] { form_.ActWriteAddrExecute(); }), 1, 6, Qt::AlignRight);
    return w;
}

QWidget* DevicePanelView::currentSection()
{
    DevicePanel& p = form_.Panel;
    auto* w = new QWidget(this);
    Rows rows(w);
    auto* fix = new QCheckBox(w);
    fix->setObjectName("ChBoxCurrFix");
    BindCheck(p.ChBoxCurrFix, fix, [this] { form_.ChBoxCurrFixClick(); });
    rows.grid()->addWidget(fix, 0, 0);
    const struct {
        forms::RadioButton& model;
        const char* name;
        void (TFormMain::*click)();
    } radios[] = {
        { p.RBt01mA, "RBt01mA", &TFormMain::RBt01mAClick },
        { p.RBt04mA, "RBt04mA", &TFormMain::RBt04mAClick },
        { p.RBt20mA, "RBt20mA", &TFormMain::RBt20mAClick },
    };
    int column = 1;
    for (const auto& r : radios) {
        auto* b = new QRadioButton(w);
        b->setObjectName(r.name);
        BindRadio(r.model, b, [this, click = r.click] { (form_.*click)(); });
        rows.grid()->addWidget(b, 0, column++);
    }
    rows.label(p.LabelEditCurr, 1, 0);
    rows.name("EditCurr").spin(p.EditCurr, 1, 1);
    rows.label(p.Label15, 1, 2);
    rows.grid()->setColumnStretch(4, 1);
    rows.grid()->addWidget(
        WriteButton(p.SpBtSetCurr, "SpBtSetCurr", w, [this] { form_.ActWriteCurrExecute(); }), 1, 5, Qt::AlignRight);
    return w;
}

QWidget* DevicePanelView::logSection()
{
    auto* w = new QWidget(this);
    auto* layout = new QVBoxLayout(w);
    layout->setContentsMargins(2, 2, 2, 2);
    log_ = new LogPane(form_.Log, w);
    log_->setObjectName("Log");
    layout->addWidget(log_);
    return w;
}

} // namespace zor::ui
