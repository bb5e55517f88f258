#pragma once
// The control models used by the windows. All texts are UTF-8.

#include "forms/Control.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zor::forms {

// An action of the action list: what a linked button shows and whether it
// can be pressed.
class Action : public Control {
public:
    Action(std::string caption, std::string hint)
        : caption_(std::move(caption))
        , hint_(std::move(hint))
    {
    }
    const std::string& caption() const { return caption_; }
    const std::string& hint() const { return hint_; }

private:
    std::string caption_;
    std::string hint_;
};

// A button that carries one action at a time (BtFind swaps ActFind/ActStop).
class ActionButton : public Control {
public:
    explicit ActionButton(Action* action)
        : action_(action)
    {
    }
    Action* action() const { return action_; }
    void setAction(Action* a) { set(action_, a); }

private:
    Action* action_;
};

// A mark that is on or off; the view shows it on the control it belongs to.
class Flag : public Control {
public:
    bool on() const { return on_; }
    void setOn(bool on) { set(on_, on); }

private:
    bool on_ = false;
};

// A control the user enters a value in, which also shows what the program
// puts in it. The program shows its values with show(); a value the user has
// entered (set any other way) stays in front of them until the program takes
// it as its own (accept: it has been written) or drops it (revert: back to
// the last value shown).
template <class T> class Entry : public Control {
public:
    bool modified() const { return value_ != shown_; }
    void accept() { shown_ = value_; }
    // The value as entered, before any bound.
    T entered() const { return value_; }
    // Accepts the value only if it is still v (what was written).
    void acceptIf(T v)
    {
        if (value_ == v)
            accept();
    }
    void revert() { set(value_, shown_); }

protected:
    explicit Entry(T value)
        : value_(value)
        , shown_(value)
    {
    }
    // v as the control holds it (clamped, checked).
    void present(T v)
    {
        const bool entered = modified();
        shown_ = v;
        if (!entered)
            set(value_, v);
    }
    T value_;

private:
    T shown_;
};

class CheckBox : public Entry<bool> {
public:
    explicit CheckBox(std::string caption, bool checked = false)
        : Entry(checked)
        , caption_(std::move(caption))
    {
    }
    const std::string& caption() const { return caption_; }
    bool checked() const { return value_; }
    void setChecked(bool on) { set(value_, on); }
    void show(bool on) { present(on); }

private:
    std::string caption_;
};

// Radio buttons of one group: checking one unchecks the others.
class RadioButton : public Control {
public:
    explicit RadioButton(std::string caption, bool checked = false)
        : caption_(std::move(caption))
        , checked_(checked)
    {
    }
    const std::string& caption() const { return caption_; }
    bool checked() const { return checked_; }
    void setChecked(bool on);
    // Makes the buttons one group.
    static void group(std::vector<RadioButton*> buttons);

private:
    std::string caption_;
    bool checked_;
    std::vector<RadioButton*> group_;
};

// A drop-down list in list-only style; item index -1 is no selection.
class ComboList : public Entry<int> {
public:
    explicit ComboList(std::vector<std::string> items = {}, int index = -1)
        : Entry(index)
        , items_(std::move(items))
    {
    }
    const std::vector<std::string>& items() const { return items_; }
    void setItems(std::vector<std::string> items); // keeps no selection
    void clear() { setItems({}); }
    void add(const std::string& item);
    int itemIndex() const { return value_; }
    // An index without an item leaves the list without a selection.
    void setItemIndex(int i) { set(value_, valid(i)); }
    void show(int i) { present(valid(i)); }
    // The text of the selected item, empty without a selection.
    std::string text() const;

private:
    int valid(int i) const { return i >= 0 && i < static_cast<int>(items_.size()) ? i : -1; }
    std::vector<std::string> items_;
};

// A floating-point spin edit: bounds, step and decimals. Setting a value
// clamps it into the bounds unless the two bounds are equal.
class SpinEdit : public Entry<double> {
public:
    SpinEdit(double min, double max, double step, int decimals, double value);
    double min() const { return min_; }
    double max() const { return max_; }
    double step() const { return step_; }
    int decimals() const { return decimals_; }
    // The value as the edit shows it: within its bounds, also when they
    // moved after it was entered.
    double value() const;
    void setMin(double v) { set(min_, v); }
    void setMax(double v) { set(max_, v); }
    void setStep(double v) { set(step_, v); }
    void setDecimals(int d) { set(decimals_, d); }
    void setValue(double v) { set(value_, clamped(v)); }
    void show(double v) { present(clamped(v)); }
    // The value in fixed notation with the edit's decimals.
    std::string text(char separator) const;

private:
    double clamped(double v) const;
    double min_, max_, step_;
    int decimals_;
};

// An integer spin edit with a length limit on what can be typed.
class IntSpinEdit : public Control {
public:
    IntSpinEdit(int64_t min, int64_t max, int64_t step, int maxLength, int64_t value)
        : min_(min)
        , max_(max)
        , step_(step)
        , maxLength_(maxLength)
        , value_(value)
    {
    }
    int64_t min() const { return min_; }
    int64_t max() const { return max_; }
    int64_t step() const { return step_; }
    int maxLength() const { return maxLength_; }
    int64_t value() const { return value_; }
    void setMin(int64_t v) { set(min_, v); }
    void setMax(int64_t v) { set(max_, v); }
    // Shows a value outside the bounds as the nearest bound.
    void setValue(int64_t v);

private:
    int64_t min_, max_, step_;
    int maxLength_;
    int64_t value_;
};

// A one-line text field, optionally read-only, upper-casing and limited.
class TextField : public Control {
public:
    explicit TextField(std::string text = {}, bool readOnly = false, int maxLength = 0, bool upperCase = false)
        : text_(std::move(text))
        , readOnly_(readOnly)
        , maxLength_(maxLength)
        , upperCase_(upperCase)
    {
    }
    const std::string& text() const { return text_; }
    // Applies the field's own rules: upper case, length limit.
    void setText(const std::string& t);
    bool readOnly() const { return readOnly_; }
    int maxLength() const { return maxLength_; }
    bool upperCase() const { return upperCase_; }

private:
    std::string text_;
    bool readOnly_;
    int maxLength_;
    bool upperCase_;
};

// The status bar: a row of plain texts.
class StatusBar : public Control {
public:
    explicit StatusBar(std::vector<int> widths)
        : widths_(std::move(widths))
        , texts_(widths_.size())
    {
    }
    const std::vector<int>& widths() const { return widths_; }
    size_t count() const { return texts_.size(); }
    const std::string& text(size_t panel) const { return texts_.at(panel); }
    void setText(size_t panel, const std::string& t);

private:
    std::vector<int> widths_;
    std::vector<std::string> texts_;
};

} // namespace zor::forms
