#pragma once
// Binding of the control models to Qt widgets, both ways. A model change is
// rendered into its widget at once and after every later change, with the
// widget's signals blocked meanwhile, so that a change the program makes is
// never taken for the user's. A user gesture updates the model or calls the
// handler given, through the general error report. The window classes only
// lay the widgets out and call these.

#include "forms/Controls.h"

#include <QIcon>
#include <QLocale>
#include <QString>

#include <functional>
#include <string>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QStatusBar;
class QWidget;

namespace zor::ui {

class Int64SpinBox;

inline QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}
inline std::string ss(const QString& s)
{
    return s.toStdString();
}

// The user's decimal separator, from the system's regional settings.
char SystemSeparator();
// The number format of the spin edits for the user's decimal separator.
QLocale NumberLocale(char separator);

using Gesture = std::function<void()>;

// Calls render now and after every change of the model, while the widget
// lives; render runs with the widget's signals blocked.
void Watch(forms::Control& model, QWidget* widget, std::function<void()> render);
// The enabled and visible state of a model on a widget.
void ShowState(const forms::Control& model, QWidget* widget);

void BindLabel(forms::Label& model, QLabel* widget);
// A text field: the text, read-only, length limit; typing goes to the model,
// which applies its own rules (upper case) and is shown back.
void BindText(forms::TextField& model, QLineEdit* widget);
// A list: items and selection. picked runs when the user picks an entry,
// also the selected one again; without it the pick only selects the item.
void BindCombo(forms::ComboList& model, QComboBox* widget, std::function<void(int index)> picked = {});
// The model follows the user's click, then the handler runs.
void BindCheck(forms::CheckBox& model, QCheckBox* widget, Gesture clicked = {});
// Only a click that selects the button is a gesture; one on the selected
// button changes nothing.
void BindRadio(forms::RadioButton& model, QRadioButton* widget, Gesture clicked);
// Bounds, step, decimals and value; a typed value goes to the model.
void BindSpin(forms::SpinEdit& model, QDoubleSpinBox* widget);
void BindIntSpin(forms::IntSpinEdit& model, Int64SpinBox* widget);

// How a button shows its action.
struct ButtonLook {
    bool showHint = true;
    std::function<QIcon(const forms::Action*)> icon;
};
// A button fixed to one action: caption, hint, icon, enabled and visible
// follow the action; a press runs the handler.
void BindAction(forms::Action& action, QAbstractButton* widget, const ButtonLook& look, Gesture pressed);
// A button that carries one of several actions at a time; its caption is
// the action's unless one is given.
void BindActionButton(forms::ActionButton& button, std::initializer_list<forms::Action*> actions,
    QAbstractButton* widget, const ButtonLook& look, Gesture pressed, const std::string& caption = {});

// The status bar's panels as labels of the model's widths; the last one
// takes the room that is left.
void BindStatusBar(forms::StatusBar& model, QStatusBar* widget);

} // namespace zor::ui
