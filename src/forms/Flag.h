#pragma once
// A yes/no state of a window that the view shows in a way of its own (a
// panel greyed while it is set).

#include "forms/Control.h"

namespace zor::forms {

class Flag : public Control {
public:
    bool on() const { return on_; }
    void setOn(bool on) { set(on_, on); }

private:
    bool on_ = false;
};

} // namespace zor::forms
