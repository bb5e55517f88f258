#include "ui/Bind.h"

#include "ui/ErrorReport.h"
#include "ui/Int64SpinBox.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStatusBar>

#include <cmath>

namespace zor::ui {

char SystemSeparator()
{
    return QLocale::system().decimalPoint() == "," ? ',' : '.';
}

QLocale NumberLocale(char separator)
{
    QLocale locale = separator == ',' ? QLocale(QLocale::Russian, QLocale::Russia) : QLocale::c();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

void Watch(forms::Control& model, QWidget* widget, std::function<void()> render)
{
    QPointer<QWidget> alive(widget);
    auto guarded = [alive, render = std::move(render)] {
        if (!alive)
            return;
        const QSignalBlocker blocker(alive.data());
        render();
    };
    model.setObserver(guarded);
    guarded();
}

void ShowState(const forms::Control& model, QWidget* widget)
{
    widget->setEnabled(model.enabled());
    // A child widget only; a window is shown by its own calls.
    if (!widget->isWindow())
        widget->setVisible(model.visible());
}

void BindLabel(forms::Label& model, QLabel* widget)
{
    Watch(model, widget, [&model, widget] {
        widget->setText(qs(model.text()));
        ShowState(model, widget);
    });
}

void BindText(forms::TextField& model, QLineEdit* widget)
{
    Watch(model, widget, [&model, widget] {
        widget->setReadOnly(model.readOnly());
        if (model.maxLength() > 0)
            widget->setMaxLength(model.maxLength());
        const QString text = qs(model.text());
        if (widget->text() != text) {
            const int cursor = widget->cursorPosition();
            widget->setText(text);
            widget->setCursorPosition(cursor);
        }
        ShowState(model, widget);
    });
    QObject::connect(widget, &QLineEdit::textEdited, widget,
        [&model](const QString& text) { Guarded([&] { model.setText(ss(text)); }); });
}

void BindCombo(forms::ComboList& model, QComboBox* widget, std::function<void(int)> picked)
{
    Watch(model, widget, [&model, widget] {
        QStringList items;
        for (const std::string& item : model.items())
            items << qs(item);
        QStringList shown;
        for (int i = 0; i < widget->count(); ++i)
            shown << widget->itemText(i);
        if (shown != items) {
            widget->clear();
            widget->addItems(items);
        }
        widget->setCurrentIndex(model.itemIndex());
        ShowState(model, widget);
    });
    QObject::connect(widget, &QComboBox::activated, widget, [&model, picked](int index) {
        Guarded([&] {
            if (picked)
                picked(index);
            else
                model.setItemIndex(index);
        });
    });
}

void BindCheck(forms::CheckBox& model, QCheckBox* widget, Gesture clicked)
{
    Watch(model, widget, [&model, widget] {
        widget->setText(qs(model.caption()));
        widget->setChecked(model.checked());
        ShowState(model, widget);
    });
    QObject::connect(widget, &QCheckBox::clicked, widget, [&model, clicked](bool checked) {
        Guarded([&] {
            model.setChecked(checked);
            if (clicked)
                clicked();
        });
    });
}

void BindRadio(forms::RadioButton& model, QRadioButton* widget, Gesture clicked)
{
    Watch(model, widget, [&model, widget] {
        widget->setText(qs(model.caption()));
        // An exclusive button is unchecked by checking another one, which
        // the model does in the same change.
        if (model.checked())
            widget->setChecked(true);
        ShowState(model, widget);
    });
    QObject::connect(widget, &QRadioButton::clicked, widget, [&model, clicked] {
        if (model.checked())
            return;
        Guarded([&] {
            model.setChecked(true);
            clicked();
        });
    });
}

void BindSpin(forms::SpinEdit& model, QDoubleSpinBox* widget)
{
    Watch(model, widget, [&model, widget] {
        // Only what differs is set: setting the decimals or the bounds again
        // would retype the text under the user's cursor.
        if (widget->decimals() != model.decimals())
            widget->setDecimals(model.decimals());
        // Equal bounds mean "not bounded".
        const double lo = model.min() == model.max() ? -1e12 : std::min(model.min(), model.max());
        const double hi = model.min() == model.max() ? 1e12 : std::max(model.min(), model.max());
        if (widget->minimum() != lo || widget->maximum() != hi)
            widget->setRange(lo, hi);
        if (widget->singleStep() != model.step())
            widget->setSingleStep(model.step());
        const double unit = std::pow(10.0, -model.decimals()) / 2;
        if (std::fabs(widget->value() - model.value()) >= unit)
            widget->setValue(model.value());
        ShowState(model, widget);
    });
    QObject::connect(
        widget, &QDoubleSpinBox::valueChanged, widget, [&model](double v) { Guarded([&] { model.setValue(v); }); });
}

void BindIntSpin(forms::IntSpinEdit& model, Int64SpinBox* widget)
{
    Watch(model, widget, [&model, widget] {
        if (widget->minimum() != model.min() || widget->maximum() != model.max())
            widget->setRange(model.min(), model.max());
        widget->setSingleStep(model.step());
        widget->setMaxLength(model.maxLength());
        widget->setValue(model.value());
        ShowState(model, widget);
    });
    QObject::connect(
        widget, &Int64SpinBox::valueChanged, widget, [&model](int64_t v) { Guarded([&] { model.setValue(v); }); });
}

namespace {

void ShowAction(QAbstractButton* widget, const forms::Action& action, const forms::Control* carrier,
    const ButtonLook& look, const std::string& caption)
{
    widget->setText(qs(caption.empty() ? action.caption() : caption));
    widget->setToolTip(look.showHint ? qs(action.hint()) : QString());
    if (look.icon)
        widget->setIcon(look.icon(&action));
    const bool enabled = action.enabled() && (!carrier || carrier->enabled());
    const bool visible = action.visible() && (!carrier || carrier->visible());
    widget->setEnabled(enabled);
    widget->setVisible(visible);
}

void OnPress(QAbstractButton* widget, Gesture pressed)
{
    QObject::connect(widget, &QAbstractButton::clicked, widget, [pressed] { Guarded(pressed); });
}

} // namespace

void BindAction(forms::Action& action, QAbstractButton* widget, const ButtonLook& look, Gesture pressed)
{
    Watch(action, widget, [&action, widget, look] { ShowAction(widget, action, nullptr, look, {}); });
    OnPress(widget, std::move(pressed));
}

void BindActionButton(forms::ActionButton& button, std::initializer_list<forms::Action*> actions,
    QAbstractButton* widget, const ButtonLook& look, Gesture pressed, const std::string& caption)
{
    auto render = [&button, widget, look, caption] {
        if (button.action())
            ShowAction(widget, *button.action(), &button, look, caption);
    };
    Watch(button, widget, render);
    // Each action is shown by this one button only.
    for (forms::Action* action : actions)
        Watch(*action, widget, render);
    OnPress(widget, std::move(pressed));
}

void BindStatusBar(forms::StatusBar& model, QStatusBar* widget)
{
    auto* row = new QWidget(widget);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    std::vector<QLabel*> panels;
    for (size_t i = 0; i < model.count(); ++i) {
        auto* panel = new QLabel(row);
        panel->setObjectName(QString("StatBarPanel%1").arg(i));
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setTextFormat(Qt::PlainText);
        const bool last = i + 1 == model.count();
        if (last)
            panel->setMinimumWidth(model.widths()[i]);
        else
            panel->setFixedWidth(model.widths()[i]);
        layout->addWidget(panel, last ? 1 : 0);
        panels.push_back(panel);
    }
    widget->addWidget(row, 1);
    Watch(model, row, [&model, panels] {
        for (size_t i = 0; i < panels.size(); ++i) {
            const QString text = qs(model.text(i));
            // A text wider than its fixed panel loses the middle (the port's
            // description), keeping its start and end (the line settings)
            // readable; the tooltip has it whole. The last panel stretches.
            const bool last = i + 1 == panels.size();
            const QFontMetrics metrics(panels[i]->font());
            const int room = panels[i]->maximumWidth() - 2 * panels[i]->frameWidth() - 4;
            const bool cut = !last && metrics.horizontalAdvance(text) > room;
            panels[i]->setText(cut ? metrics.elidedText(text, Qt::ElideMiddle, room) : text);
            panels[i]->setToolTip(text);
        }
    });
}

} // namespace zor::ui
