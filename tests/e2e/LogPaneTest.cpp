// The log pane shows the log's lines as they come, follows the newest line
// only while it shows it, and copies whole selected lines.

#include "ui/LogPane.h"
#include "app/ExchangeLog.h"

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace zor::ui {
namespace {

TEST(LogPane, ShowsTheLinesOfTheLogAndTypingChangesNothing)
{
    ExchangeLog log;
    log.Add("Поиск окончен");
    LogPane pane(log, nullptr);
    log.Add("Прибор:1  Функция:0x03  Регистр:0x0000 = 0x0165\r\n");
    log.Add("Timeout!");
    EXPECT_EQ(pane.toPlainText(), "Поиск окончен\nПрибор:1  Функция:0x03  Регистр:0x0000 = 0x0165\n\nTimeout!");
    EXPECT_EQ(pane.lineCount(), 4);
    pane.show();
    QTest::keyClicks(&pane, "abc");
    QTest::keyClick(&pane, Qt::Key_Delete);
    EXPECT_EQ(log.Text(), "Поиск окончен\r\nПрибор:1  Функция:0x03  Регистр:0x0000 = 0x0165\r\n\r\nTimeout!\r\n");
}

TEST(LogPane, FollowsTheNewestLineOnlyWhileShowingIt)
{
    ExchangeLog log;
    LogPane pane(log, nullptr);
    pane.resize(300, 100);
    pane.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
    for (int n = 0; n < 100; ++n)
        log.Add("Timeout!");
    EXPECT_EQ(pane.firstVisibleLine(), 100 - pane.visibleLines());

    pane.verticalScrollBar()->setValue(10);
    log.Add("Ошибка #2");
    EXPECT_EQ(pane.firstVisibleLine(), 10) << "a technician reading older lines keeps them";

    QTest::keyClick(&pane, Qt::Key_End);
    log.Add("Ошибка #3");
    EXPECT_EQ(pane.firstVisibleLine(), 102 - pane.visibleLines());
}

TEST(LogPane, SelectsWholeLinesAndCopiesThem)
{
    ExchangeLog log;
    for (int n = 0; n < 5; ++n)
        log.Add("Строка " + std::to_string(n));
    LogPane pane(log, nullptr);
    pane.resize(300, 200);
    pane.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
    const int h = pane.fontMetrics().lineSpacing();
    QWidget* area = pane.viewport();
    EXPECT_EQ(pane.selectedText(), "");

    QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(10, h + h / 2));
    QTest::mouseClick(area, Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 3 * h + h / 2));
    EXPECT_EQ(pane.selectedText(), "Строка 1\nСтрока 2\nСтрока 3");
    QTest::keyClick(&pane, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "Строка 1\nСтрока 2\nСтрока 3");

    // Below the last line is the last line.
    QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(10, 190));
    EXPECT_EQ(pane.selectedText(), "Строка 4");

    QTest::keyClick(&pane, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(pane.selectedText(), pane.toPlainText());
}

} // namespace
} // namespace zor::ui
