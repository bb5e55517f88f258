// The bindings tell the program's own changes from the user's: a model
// change is shown without calling the gesture's handler; a gesture updates
// the model and calls it.

#include "ui/Bind.h"
#include "forms/Controls.h"
#include "ui/ErrorReport.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace zor::ui {
namespace {

TEST(Bind, AListShowsTheModelAndReportsOnlyPicks)
{
    forms::ComboList model({ "1200", "2400", "4800" }, 0);
    QComboBox widget;
    std::vector<int> picks;
    BindCombo(model, &widget, [&](int i) {
        picks.push_back(i);
        model.setItemIndex(i);
    });
    model.setItemIndex(2);
    EXPECT_EQ(widget.currentIndex(), 2);
    model.setItems({ "a", "b" });
    EXPECT_EQ(widget.count(), 2);
    EXPECT_EQ(widget.currentIndex(), -1);
    EXPECT_TRUE(picks.empty());
    emit widget.activated(1);
    EXPECT_EQ(picks, std::vector<int> { 1 });
    EXPECT_EQ(model.itemIndex(), 1);
}

TEST(Bind, RadioButtonsCallTheHandlerOnlyForAUserSelection)
{
    QWidget group;
    forms::RadioButton r1("1 мА"), r4("4 мА", true), r20("20 мА");
    forms::RadioButton::group({ &r1, &r4, &r20 });
    std::vector<std::string> clicks;
    std::vector<QRadioButton*> widgets;
    for (forms::RadioButton* m : { &r1, &r4, &r20 }) {
        auto* w = new QRadioButton(&group);
        BindRadio(*m, w, [&clicks, m] { clicks.push_back(m->caption()); });
        widgets.push_back(w);
    }
    group.show();
    r20.setChecked(true); // the decoder shows the device's test current
    EXPECT_TRUE(widgets[2]->isChecked());
    EXPECT_FALSE(widgets[1]->isChecked());
    EXPECT_TRUE(clicks.empty());
    QTest::mouseClick(widgets[0], Qt::LeftButton, {}, QPoint(5, widgets[0]->height() / 2));
    EXPECT_EQ(clicks, std::vector<std::string> { "1 мА" });
    EXPECT_TRUE(r1.checked());
    EXPECT_FALSE(r20.checked());
    // The selected button again: nothing to send.
    QTest::mouseClick(widgets[0], Qt::LeftButton, {}, QPoint(5, widgets[0]->height() / 2));
    EXPECT_EQ(clicks.size(), 1u);
}

TEST(Bind, SpinEditsFollowTheModelAndTypedValuesGoBack)
{
    forms::SpinEdit model(0, 100, 0.1, 1, 0);
    QDoubleSpinBox widget;
    widget.setLocale(NumberLocale(','));
    BindSpin(model, &widget);
    model.setDecimals(2);
    model.setMax(250);
    model.setValue(200.5);
    EXPECT_EQ(widget.decimals(), 2);
    EXPECT_DOUBLE_EQ(widget.maximum(), 250);
    EXPECT_EQ(widget.text(), "200,50");
    widget.selectAll();
    QTest::keyClicks(&widget, "12,25");
    EXPECT_DOUBLE_EQ(model.value(), 12.25);
    EXPECT_EQ(widget.text(), "12,25");
}

TEST(Bind, UpperCaseFieldsShowWhatTheModelKeeps)
{
    forms::TextField model("", false, 32, true);
    QLineEdit widget;
    BindText(model, &widget);
    QTest::keyClicks(&widget, "5c0e");
    EXPECT_EQ(model.text(), "5C0E");
    EXPECT_EQ(widget.text(), "5C0E");
    EXPECT_EQ(widget.maxLength(), 32);
}

TEST(ErrorReport, AnErrorEscapingAHandlerIsReportedAndTheProgramGoesOn)
{
    std::vector<std::string> reported;
    SetErrorReporter([&](const std::string& text) { reported.push_back(text); });
    const struct {
        std::function<void()> handler;
        std::vector<std::string> expected;
    } cases[] = {
        { [] {}, {} },
        { [] { throw std::runtime_error("Файл не создан"); }, { "Файл не создан" } },
        { [] { throw 42; }, { "Неизвестная ошибка" } },
    };
    for (const auto& c : cases) {
        reported.clear();
        Guarded(c.handler);
        EXPECT_EQ(reported, c.expected);
    }
    SetErrorReporter({});
}

} // namespace
} // namespace zor::ui
