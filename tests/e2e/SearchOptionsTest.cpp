// "Параметры поиска..." behind the arrow of "Найти", offscreen against the
// real Qt host: the window edits the plan only when confirmed, refuses a
// plan with nothing to try, and a fast search of the range it set finds the
// detectors of the test bus in well under a second.

#include "ToolFixture.h"

#include "ui/SearchOptionsWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace zor::ui::e2e {
namespace {

using SearchOptionsTest = ToolFixture;

QWidget* OptionsWindow()
{
    return qobject_cast<SearchOptionsWindow*>(QApplication::activeModalWidget());
}

TEST_F(SearchOptionsTest, TheWindowSetsTheRangeAndAFastStepAndTheSearchRunsOnThem)
{
    bool refusedEmptySweep = false;
    Script script(
        {
            { [] { return OptionsWindow() != nullptr; },
                [&] {
                    QWidget* w = OptionsWindow();
                    QPushButton* ok = w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
                    // Trying line settings with no parity ticked is nothing to try.
                    w->findChild<QGroupBox*>("GroupSweep")->setChecked(true);
                    for (int i = 0; i < 3; ++i)
                        w->findChild<QCheckBox*>("ChBoxParity" + QString::number(i))->setChecked(false);
                    refusedEmptySweep = !ok->isEnabled();
                    w->findChild<QGroupBox*>("GroupSweep")->setChecked(false);
                    w->findChild<QSpinBox*>("EditLast")->setValue(5);
                    w->findChild<QRadioButton*>("RBtFast")->setChecked(true);
                    w->findChild<QSpinBox*>("EditProbeMs")->setValue(60);
                    ok->click();
                } },
        },
        5000, [] {
            if (QWidget* w = QApplication::activeModalWidget())
                w->close();
        });
    auto* options = app.Main().findChild<QAction*>("ActFindOptions");
    ASSERT_NE(options, nullptr);
    Later([options] { options->trigger(); });
    ASSERT_TRUE(WaitFor([&] { return script.done(); }, 6000));
    EXPECT_TRUE(refusedEmptySweep);
    EXPECT_EQ(form().FindPlan(), (SearchPlan { 1, 5, 60, {} }));
    EXPECT_TRUE(form().Log.Text().ends_with("Параметры поиска: адреса 1..5, 60 мс на адрес\r\n"));

    click("BtFind");
    ASSERT_TRUE(WaitFor([&] { return !form().Finding(); }, 3000));
    EXPECT_EQ(form().TxCount(), 5);
    EXPECT_NE(deviceNode(1), nullptr);
    EXPECT_NE(deviceNode(2), nullptr);
    EXPECT_EQ(form().VSModbus.PollingDelay(), 500);
}

// Cancelled, the plan stays as it was.
TEST_F(SearchOptionsTest, CancelKeepsThePlan)
{
    Script script({ { [] { return OptionsWindow() != nullptr; },
                      [] {
                          QWidget* w = OptionsWindow();
                          w->findChild<QSpinBox*>("EditFirst")->setValue(100);
                          w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
                      } } },
        5000, [] {
            if (QWidget* w = QApplication::activeModalWidget())
                w->close();
        });
    Later([this] { app.Main().findChild<QAction*>("ActFindOptions")->trigger(); });
    ASSERT_TRUE(WaitFor([&] { return script.done(); }, 6000));
    EXPECT_EQ(form().FindPlan(), SearchPlan {});
}

} // namespace
} // namespace zor::ui::e2e
