// The main window on a field laptop: its least size fits a 1280 x 720 screen
// with a title bar and a task bar, what it is made larger goes to the log
// and the trend, and it opens where the technician left it.

#include "ui/DesktopApp.h"
#include "ui/DevicePanelView.h"
#include "ui/LogPane.h"
#include "ui/MainWindow.h"
#include "ui/TrendView.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace zor::ui {
namespace {

TEST(WindowPlace, TheLeastSizeFitsASmallScreenAndMoreRoomGoesToTheLogAndTheTrend)
{
    DesktopApp app(',');
    app.Show();
    MainWindow& w = app.Main();
    const QSize least = w.minimumSizeHint();
    // 1280 x 720 less about 30 px of title bar and 40 px of task bar.
    EXPECT_LE(least.width(), 1280);
    EXPECT_LE(least.height(), 650);

    w.resize(least);
    QApplication::processEvents();
    const QSize log = w.panel()->log()->size();
    const QSize trend = app.Trend().size();
    const QSize panel = w.panel()->size();
    w.resize(least + QSize(400, 300));
    QApplication::processEvents();
    EXPECT_EQ(w.panel()->log()->height(), log.height() + 300);
    EXPECT_EQ(app.Trend().width(), trend.width() + 400);
    EXPECT_EQ(w.panel()->width(), panel.width()) << "the device panel keeps its width";
}

// A run of the program, shown; recall: as without --demo.
std::unique_ptr<DesktopApp> StartTool(bool recall)
{
    auto app = std::make_unique<DesktopApp>(',');
    if (recall)
        app->Recall();
    app->Show();
    QApplication::processEvents();
    return app;
}

TEST(WindowPlace, TheSizeAndPlaceOfTheLastRunComeBackUnlessNotRecalled)
{
    auto first = StartTool(true);
    first->Main().resize(first->Main().minimumSizeHint() + QSize(30, 20));
    first->Main().move(10, 20);
    QApplication::processEvents();
    const QRect left = first->Main().geometry();
    first->Main().close();
    first.reset();

    EXPECT_EQ(StartTool(true)->Main().geometry(), left);

    // As with --demo: nothing taken back, nothing kept.
    auto demo = StartTool(false);
    EXPECT_NE(demo->Main().geometry(), left);
    demo->Main().move(50, 60);
    demo->Main().close();
    demo.reset();
    EXPECT_EQ(StartTool(true)->Main().geometry(), left);
}

} // namespace
} // namespace zor::ui
