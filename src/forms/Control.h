#pragma once
// Plain models of the window's controls. The controller reads and writes
// them; the Qt view renders them and is told of every change through the
// observer. Tests drive the controller and read the same models.

#include <functional>
#include <string>
#include <utility>

namespace zor::forms {

class Control {
public:
    virtual ~Control() = default;

    bool enabled() const { return enabled_; }
    void setEnabled(bool on) { set(enabled_, on); }
    bool visible() const { return visible_; }
    void setVisible(bool on) { set(visible_, on); }

    // The view's hook; called after every change of the model.
    void setObserver(std::function<void()> fn) { observer_ = std::move(fn); }

protected:
    void changed()
    {
        if (observer_)
            observer_();
    }
    template <class T> void set(T& field, const T& value)
    {
        if (field == value)
            return;
        field = value;
        changed();
    }

private:
    bool enabled_ = true;
    bool visible_ = true;
    std::function<void()> observer_;
};

// Any control whose state is one text: labels, captions, read-only fields.
class Label : public Control {
public:
    explicit Label(std::string text = {})
        : text_(std::move(text))
    {
    }
    const std::string& text() const { return text_; }
    void setText(const std::string& t) { set(text_, t); }

private:
    std::string text_;
};

} // namespace zor::forms
