#include "forms/Controls.h"

#include "runtime/NumberFormat.h"

#include <algorithm>
#include <cctype>

namespace zor::forms {

void RadioButton::setChecked(bool on)
{
    if (on)
        for (RadioButton* other : group_)
            if (other != this)
                other->set(other->checked_, false);
    set(checked_, on);
}

void RadioButton::group(std::vector<RadioButton*> buttons)
{
    for (RadioButton* b : buttons)
        b->group_ = buttons;
}

void ComboList::setItems(std::vector<std::string> items)
{
    items_ = std::move(items);
    value_ = -1;
    changed();
}

void ComboList::add(const std::string& item)
{
    items_.push_back(item);
    changed();
}

std::string ComboList::text() const
{
    return value_ >= 0 ? items_[static_cast<size_t>(value_)] : std::string();
}

SpinEdit::SpinEdit(double min, double max, double step, int decimals, double value)
    : Entry(value)
    , min_(min)
    , max_(max)
    , step_(step)
    , decimals_(decimals)
{
}

double SpinEdit::clamped(double v) const
{
    return min_ != max_ ? std::clamp(v, std::min(min_, max_), std::max(min_, max_)) : v;
}

double SpinEdit::value() const
{
    return clamped(value_);
}

std::string SpinEdit::text(char separator) const
{
    return FormatFixed(value(), 15, decimals_, separator);
}

void IntSpinEdit::setValue(int64_t v)
{
    set(value_, std::clamp(v, min_, std::max(min_, max_)));
}

void TextField::setText(const std::string& t)
{
    std::string s = t;
    if (upperCase_)
        std::transform(
            s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (maxLength_ > 0 && s.size() > static_cast<size_t>(maxLength_))
        s.resize(static_cast<size_t>(maxLength_));
    set(text_, s);
}

void StatusBar::setText(size_t panel, const std::string& t)
{
    set(texts_.at(panel), t);
}

} // namespace zor::forms
