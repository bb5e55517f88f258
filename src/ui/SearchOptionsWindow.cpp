#include "ui/SearchOptionsWindow.h"

#include "ui/DialogButtons.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace zor::ui {

namespace {

constexpr TParity kParities[] { TParity::pNone, TParity::pOdd, TParity::pEven };
constexpr const char* kParityTexts[] { "Нет", "Нечет", "Чет" };
constexpr TStopBits kStopBits[] { TStopBits::sb1, TStopBits::sb2 };
constexpr const char* kStopTexts[] { "1", "2" };

QSpinBox* spin(QWidget* parent, const char* name, int low, int high)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(low, high);
    return box;
}

// A row of check boxes, one per text, named name0, name1 ...
std::vector<QCheckBox*> checks(QWidget* parent, QGridLayout* grid, int row, const char* name, const QStringList& texts)
{
    std::vector<QCheckBox*> boxes;
    for (int i = 0; i < texts.size(); ++i) {
        auto* box = new QCheckBox(texts[i], parent);
        box->setObjectName(QString(name) + QString::number(i));
        grid->addWidget(box, row + i / 4, 1 + i % 4);
        boxes.push_back(box);
    }
    return boxes;
}

template <class T, size_t N> std::vector<T> picked(const std::vector<QCheckBox*>& boxes, const T (&values)[N])
{
    std::vector<T> out;
    for (size_t i = 0; i < N && i < boxes.size(); ++i)
        if (boxes[i]->isChecked())
            out.push_back(values[i]);
    return out;
}

} // namespace

SearchOptionsWindow::SearchOptionsWindow(QWidget* parent)
    : QDialog(parent)
{
    setModal(true);
    setWindowTitle("Параметры поиска");

    first_ = spin(this, "EditFirst", 1, 247);
    last_ = spin(this, "EditLast", 1, 247);
    auto* range = new QHBoxLayout;
    range->addWidget(new QLabel("с", this));
    range->addWidget(first_);
    range->addWidget(new QLabel("по", this));
    range->addWidget(last_);
    range->addStretch();

    standard_ = new QRadioButton("обычный: 1100 мс на адрес", this);
    standard_->setObjectName("RBtStandard");
    fast_ = new QRadioButton("быстрый:", this);
    fast_->setObjectName("RBtFast");
    probeMs_ = spin(this, "EditProbeMs", 1, 1000);
    probeMs_->setSuffix(" мс на адрес");
    shortest_ = new QLabel(this);
    auto* fastRow = new QHBoxLayout;
    fastRow->addWidget(fast_);
    fastRow->addWidget(probeMs_);
    fastRow->addWidget(shortest_);
    fastRow->addStretch();

    auto* form = new QFormLayout;
    form->addRow("Адреса:", range);
    form->addRow("Шаг поиска:", standard_);
    form->addRow("", fastRow);

    sweep_ = new QGroupBox("Перебирать настройки линии", this);
    sweep_->setObjectName("GroupSweep");
    sweep_->setCheckable(true);
    auto* grid = new QGridLayout(sweep_);
    QStringList rateTexts;
    for (uint32_t rate : SweepRates())
        rateTexts << QString::number(rate);
    grid->addWidget(new QLabel("Скорость (бит/с):", sweep_), 0, 0);
    rates_ = checks(sweep_, grid, 0, "ChBoxRate", rateTexts);
    grid->addWidget(new QLabel("Чётность:", sweep_), 2, 0);
    parities_ = checks(sweep_, grid, 2, "ChBoxParity", { kParityTexts[0], kParityTexts[1], kParityTexts[2] });
    grid->addWidget(new QLabel("Стоповые биты:", sweep_), 3, 0);
    stopBits_ = checks(sweep_, grid, 3, "ChBoxStop", { kStopTexts[0], kStopTexts[1] });

    duration_ = new QLabel(this);
    duration_->setObjectName("LabelDuration");

    buttons_ = OkCancelButtons(this);

    for (QCheckBox* box : rates_)
        connect(box, &QCheckBox::toggled, this, &SearchOptionsWindow::check);
    for (QCheckBox* box : parities_)
        connect(box, &QCheckBox::toggled, this, &SearchOptionsWindow::check);
    for (QCheckBox* box : stopBits_)
        connect(box, &QCheckBox::toggled, this, &SearchOptionsWindow::check);
    connect(sweep_, &QGroupBox::toggled, this, &SearchOptionsWindow::check);
    connect(first_, &QSpinBox::valueChanged, this, &SearchOptionsWindow::check);
    connect(last_, &QSpinBox::valueChanged, this, &SearchOptionsWindow::check);
    connect(fast_, &QRadioButton::toggled, probeMs_, &QSpinBox::setEnabled);
    connect(fast_, &QRadioButton::toggled, this, &SearchOptionsWindow::check);
    connect(probeMs_, &QSpinBox::valueChanged, this, &SearchOptionsWindow::check);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(sweep_);
    layout->addWidget(duration_);
    layout->addWidget(buttons_);
}

bool SearchOptionsWindow::edit(SearchPlan& plan, const LineSettings& bus)
{
    bus_ = bus;
    load(plan);
    if (exec() != QDialog::Accepted)
        return false;
    store(plan);
    return true;
}

void SearchOptionsWindow::load(const SearchPlan& plan)
{
    const uint32_t shortestProbeMs = ShortestProbeMs(bus_);
    first_->setValue(plan.first);
    last_->setValue(plan.last);
    probeMs_->setMinimum(static_cast<int>(shortestProbeMs));
    probeMs_->setValue(static_cast<int>(plan.probeMs != 0 ? plan.probeMs : std::max(kFastProbeMs, shortestProbeMs)));
    shortest_->setText("(не меньше " + QString::number(shortestProbeMs) + " мс при настройках шины)");
    (plan.probeMs != 0 ? fast_ : standard_)->setChecked(true);
    probeMs_->setEnabled(plan.probeMs != 0);
    sweep_->setChecked(!plan.lines.empty());
    // Unticked, the group offers every rate, no and even parity, one stop bit.
    const std::vector<uint32_t> rates = SweepRates();
    for (size_t i = 0; i < rates_.size(); ++i)
        rates_[i]->setChecked(plan.lines.empty()
            || std::any_of(
                plan.lines.begin(), plan.lines.end(), [&](const LineChoice& c) { return c.baud == rates[i]; }));
    for (size_t i = 0; i < parities_.size(); ++i)
        parities_[i]->setChecked(plan.lines.empty() ? kParities[i] != TParity::pOdd
                                                    : std::any_of(plan.lines.begin(), plan.lines.end(),
                                                        [&](const LineChoice& c) { return c.parity == kParities[i]; }));
    for (size_t i = 0; i < stopBits_.size(); ++i)
        stopBits_[i]->setChecked(plan.lines.empty()
                ? kStopBits[i] == TStopBits::sb1
                : std::any_of(plan.lines.begin(), plan.lines.end(),
                    [&](const LineChoice& c) { return c.stopBits == kStopBits[i]; }));
    check();
}

void SearchOptionsWindow::store(SearchPlan& plan) const
{
    plan.first = static_cast<uint8_t>(first_->value());
    plan.last = static_cast<uint8_t>(last_->value());
    plan.probeMs = fast_->isChecked() ? static_cast<uint32_t>(probeMs_->value()) : 0;
    plan.lines.clear();
    if (!sweep_->isChecked())
        return;
    std::vector<uint32_t> rates;
    const std::vector<uint32_t> all = SweepRates();
    for (size_t i = 0; i < rates_.size(); ++i)
        if (rates_[i]->isChecked())
            rates.push_back(all[i]);
    plan.lines = LineChoices(rates, picked(parities_, kParities), picked(stopBits_, kStopBits));
}

void SearchOptionsWindow::check()
{
    // Nothing to try, or an empty range, is nothing to confirm.
    SearchPlan plan;
    store(plan);
    const bool ok = first_->value() <= last_->value() && (!sweep_->isChecked() || !plan.lines.empty());
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(ok);
    const uint64_t seconds = (PlanMs(plan, bus_) + 999) / 1000;
    duration_->setText(ok ? "Поиск займёт до " + (seconds >= 60 ? QString::number(seconds / 60) + " мин " : QString())
                + QString::number(seconds % 60) + " с."
                          : QString());
}

} // namespace zor::ui
