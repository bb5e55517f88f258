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
    Action(std::string caption, std::string hint) : caption_(std::move(caption)), hint_(std::move(hint)) {}
    const std::string& caption() const { return caption_; }
    const std::string& hint() const { return hint_; }

private:
    std::string caption_;
    std::string hint_;
};

// A button that carries one action at a time (BtFind swaps ActFind/ActStop).
class ActionButton : public Control {
public:
    explicit ActionButton(Action* action) : action_(action) {}
    Action* action() const { return action_; }
    void setAction(Action* a) { set(action_, a); }

private:
    Action* action_;
};

class CheckBox : public Control {
public:
    explicit CheckBox(std::string caption, bool checked = false) : caption_(std::move(caption)), checked_(checked) {}
    const std::string& caption() const { return caption_; }
    bool checked() const { return checked_; }
    void setChecked(bool on) { set(checked_, on); }

private:
    std::string caption_;
    bool checked_;
};

// Radio buttons of one group: checking one unchecks the others.
class RadioButton : public Control {
public:
    explicit RadioButton(std::string caption, bool checked = false) : caption_(std::move(caption)), checked_(checked) {}
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
class ComboList : public Control {
public:
    explicit ComboList(std::vector<std::string> items = {}, int index = -1) : items_(std::move(items)), index_(index) {}
    const std::vector<std::string>& items() const { return items_; }
    void setItems(std::vector<std::string> items); // keeps no selection
    void clear() { setItems({}); }
    void add(const std::string& item);
    int itemIndex() const { return index_; }
    // An index without an item leaves the list without a selection.
    void setItemIndex(int i);
    // The text of the selected item, empty without a selection.
    std::string text() const;

private:
    std::vector<std::string> items_;
    int index_;
};

// A floating-point spin edit: bounds, step and decimals. Setting a value
// clamps it into the bounds unless the two bounds are equal.
class SpinEdit : public Control {
public:
    SpinEdit(double min, double max, double step, int decimals, double value);
    double min() const { return min_; }
    double max() const { return max_; }
    double step() const { return step_; }
    int decimals() const { return decimals_; }
    double value() const { return value_; }
    void setMin(double v) { set(min_, v); }
    void setMax(double v) { set(max_, v); }
    void setStep(double v) { set(step_, v); }
    void setDecimals(int d) { set(decimals_, d); }
    void setValue(double v);
    // The value in fixed notation with the edit's decimals.
    std::string text(char separator) const;

private:
    double min_, max_, step_;
    int decimals_;
    double value_;
};

// An integer spin edit with a length limit on what can be typed.
class IntSpinEdit : public Control {
public:
    IntSpinEdit(int64_t min, int64_t max, int64_t step, int maxLength, int64_t value)
        : min_(min), max_(max), step_(step), maxLength_(maxLength), value_(value) {}
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
        : text_(std::move(text)), readOnly_(readOnly), maxLength_(maxLength), upperCase_(upperCase) {}
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
    explicit StatusBar(std::vector<int> widths) : widths_(std::move(widths)), texts_(widths_.size()) {}
    const std::vector<int>& widths() const { return widths_; }
    size_t count() const { return texts_.size(); }
    const std::string& text(size_t panel) const { return texts_.at(panel); }
    void setText(size_t panel, const std::string& t);

private:
    std::vector<int> widths_;
    std::vector<std::string> texts_;
};

} // namespace zor::forms
