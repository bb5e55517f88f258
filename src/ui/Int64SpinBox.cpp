#include "ui/Int64SpinBox.h"

#include <QLineEdit>

#include <algorithm>

namespace zor::ui {

Int64SpinBox::Int64SpinBox(QWidget* parent)
    : QAbstractSpinBox(parent)
{
    // Typing commits at once, as with the window's other edits.
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { takeText(); });
    connect(this, &QAbstractSpinBox::editingFinished, this, [this] { showValue(); });
    showValue();
}

void Int64SpinBox::setRange(int64_t min, int64_t max)
{
    min_ = min;
    max_ = std::max(min, max);
    setValue(value_);
    showValue();
}

void Int64SpinBox::setValue(int64_t v)
{
    v = std::clamp(v, min_, max_);
    if (v == value_)
        return;
    value_ = v;
    showValue();
    emit valueChanged(value_);
}

void Int64SpinBox::setMaxLength(int length)
{
    lineEdit()->setMaxLength(length);
}

void Int64SpinBox::stepBy(int steps)
{
    const int64_t delta = step_ * steps;
    // Saturate instead of overflowing at the ends of the range.
    int64_t v = value_;
    if (delta > 0)
        v = (max_ - v < delta) ? max_ : v + delta;
    else
        v = (v - min_ < -delta) ? min_ : v + delta;
    setValue(v);
    selectAll();
}

QValidator::State Int64SpinBox::validate(QString& input, int&) const
{
    if (input.isEmpty() || (input == "-" && min_ < 0))
        return QValidator::Intermediate;
    bool ok = false;
    const qlonglong v = input.toLongLong(&ok);
    if (!ok)
        return QValidator::Invalid;
    if (v > max_ && v >= 0)
        return QValidator::Invalid;
    return v < min_ ? QValidator::Intermediate : QValidator::Acceptable;
}

void Int64SpinBox::fixup(QString& input) const
{
    bool ok = false;
    const qlonglong v = input.toLongLong(&ok);
    input = QString::number(ok ? std::clamp<int64_t>(v, min_, max_) : value_);
}

QAbstractSpinBox::StepEnabled Int64SpinBox::stepEnabled() const
{
    StepEnabled e = StepNone;
    if (value_ > min_)
        e |= StepDownEnabled;
    if (value_ < max_)
        e |= StepUpEnabled;
    return e;
}

void Int64SpinBox::showValue()
{
    const QString text = QString::number(value_);
    if (lineEdit()->text() != text)
        lineEdit()->setText(text);
}

void Int64SpinBox::takeText()
{
    bool ok = false;
    const qlonglong v = lineEdit()->text().toLongLong(&ok);
    if (!ok)
        return;
    // The text stays as typed until editing ends; the value is what it
    // means within the bounds.
    const int64_t clamped = std::clamp<int64_t>(v, min_, max_);
    if (clamped != value_) {
        value_ = clamped;
        emit valueChanged(value_);
    }
}

} // namespace zor::ui
