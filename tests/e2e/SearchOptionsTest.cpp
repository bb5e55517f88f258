// "Параметры поиска..." behind the arrow of "Найти", offscreen against the
// real Qt host: the window edits the plan only when confirmed, refuses a
// plan with nothing to try, and a fast search of the range it set finds the
// detectors of the test bus in well under a second.

#include "ToolFixture.h"

#include "ui/LineMemoryStore.h"
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

// After a search across line settings, the offer comes in the real message
// box; accepted, the bus speaks the detector's settings and keeps them for
// the next run.
TEST(SearchAcrossLineSettings, TheOfferSwitchesTheBusWhenAccepted)
{
    DesktopApp app('.');
    std::string error;
    ASSERT_TRUE(app.StartSimBus("ZOR-10 address=2 serial=7000456 baud=9600\n", "Тестовая шина", error)) << error;
    app.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app.Main()));
    BoxWatcher boxes;
    boxes.answers = { "Да" };
    SearchPlan plan { 1, 3, 60, {} };
    plan.lines = LineChoices({ 19200, 9600 }, { TParity::pEven }, { TStopBits::sb1 });
    app.Form().SetFindPlan(plan);
    app.Form().ActFindExecute();
    ASSERT_TRUE(WaitFor([&] { return !app.Form().Finding() && !boxes.texts.empty(); }, 5000));
    EXPECT_EQ(boxes.texts[0].rfind("Больше всего приборов отвечает при настройках линии 9600 / 8-Even-1", 0), 0u)
        << boxes.texts[0];
    EXPECT_EQ(boxes.buttons[0], (QStringList { "Да", "Нет" }));
    EXPECT_TRUE(app.Form().StatBar.text(0).ends_with(": 9600 / 8-Even-1")) << app.Form().StatBar.text(0);
    EXPECT_EQ(app.Form().VSModbus.BaudRateValue(), 9600u);
    EXPECT_NE(app.Form().DevList().at(2), nullptr);
    const std::optional<LineMemory> kept = LoadLineMemory();
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->baud, 9600u);
}

} // namespace
} // namespace zor::ui::e2e
