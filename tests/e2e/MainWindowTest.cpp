// The main window against simulated detectors: search, stop, selection in
// the tree, automatic reading with its counters and log lines.

#include "ToolFixture.h"

#include "ui/ConcDialog.h"
#include "ui/DevicePanelView.h"
#include "ui/LogPane.h"

#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QToolButton>

namespace zor::ui::e2e {
namespace {

using MainWindowTest = ToolFixture;

QString StatusPanel(MainWindow& w, int i)
{
    return w.statusBar()->findChild<QLabel*>(QString("StatBarPanel%1").arg(i))->text();
}

TEST_F(MainWindowTest, SearchFindsTheDetectorsAndStopsOnRequest)
{
    auto* find = this->find<QToolButton>("BtFind");
    EXPECT_EQ(find->text(), "Найти");
    click("BtFind");
    EXPECT_EQ(find->text(), "Стоп");
    ASSERT_TRUE(WaitFor([&] { return deviceNode(2) != nullptr; }, 6000));
    click("BtFind");
    EXPECT_EQ(find->text(), "Найти");
    EXPECT_TRUE(this->find<QToolButton>("BtRead")->isEnabled());

    // The tree shows the model node with both detectors under it, expanded.
    DeviceTreeWidget* tree = app.Main().tree();
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* model = tree->topLevelItem(0);
    EXPECT_EQ(model->text(0), "ZOR-10");
    EXPECT_TRUE(model->isExpanded());
    ASSERT_EQ(model->childCount(), 2);
    EXPECT_EQ(model->child(0)->text(0), "#1 : 07000123");
    EXPECT_EQ(model->child(1)->text(0), "#2 : 07000456");

    const QString log = app.Main().panel()->log()->toPlainText();
    EXPECT_TRUE(log.endsWith("Поиск окончен")) << log.toStdString();
    EXPECT_EQ(StatusPanel(app.Main(), 3), "Поиск окончен");
    EXPECT_TRUE(StatusPanel(app.Main(), 0).startsWith("/dev/pts/")) << StatusPanel(app.Main(), 0).toStdString();
    EXPECT_TRUE(boxes.texts.empty());
}

TEST_F(MainWindowTest, OnlyAPressOnAnIconOrLabelSelects)
{
    searchUpTo(2);
    forms::TreeNode* first = deviceNode(1);
    forms::TreeNode* second = deviceNode(2);
    DeviceTreeWidget* tree = app.Main().tree();

    press(first);
    EXPECT_EQ(form().SelNode(), first);
    // Beside the label, in the empty part of the row: nothing changes.
    const QRect label = tree->hitRect(second);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, QPoint(tree->viewport()->width() - 4, label.center().y()));
    EXPECT_EQ(form().SelNode(), first);
    // Moving the highlight with the keyboard selects nothing.
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Down);
    EXPECT_EQ(form().SelNode(), first);
    // A press on the model node only remembers it.
    press(first->parent());
    EXPECT_EQ(form().SelNode(), first);
    EXPECT_EQ(form().ClickNode(), first->parent());
    press(second);
    EXPECT_EQ(form().SelNode(), second);
}

TEST_F(MainWindowTest, TheHighlightFollowsTheSelectionAndAnotherDevicesPanelIsGreyed)
{
    searchUpTo(2);
    forms::TreeNode* first = deviceNode(1);
    forms::TreeNode* second = deviceNode(2);
    DeviceTreeWidget* tree = app.Main().tree();
    QWidget* parameters = app.Main().panel()->section(1);
    press(first);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, tree->hitRect(first).center());
    ASSERT_TRUE(WaitFor([&] { return parameters->isEnabled(); }, 5000));
    const QString caption = app.Main().panel()->caption()->text();
    EXPECT_TRUE(caption.startsWith("#1 : ")) << caption.toStdString();

    press(second);
    EXPECT_EQ(tree->currentItem(), tree->itemOf(second));
    EXPECT_FALSE(parameters->isEnabled());
    EXPECT_EQ(app.Main().panel()->caption()->text(), caption);
    // Beside the first device's label Qt would highlight its row; nothing is
    // selected there, and the highlight goes back to the selected device.
    const QRect label = tree->hitRect(first);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, QPoint(tree->viewport()->width() - 4, label.center().y()));
    EXPECT_EQ(form().SelNode(), second);
    EXPECT_EQ(tree->currentItem(), tree->itemOf(second));
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Up);
    EXPECT_EQ(tree->currentItem(), tree->itemOf(second));

    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, tree->hitRect(second).center());
    ASSERT_TRUE(WaitFor([&] { return parameters->isEnabled(); }, 5000));
    EXPECT_TRUE(app.Main().panel()->caption()->text().startsWith("#2 : "));
}

TEST_F(MainWindowTest, DraggingThePointerOverAnotherDeviceLeavesTheHighlight)
{
    searchUpTo(2);
    forms::TreeNode* first = deviceNode(1);
    forms::TreeNode* second = deviceNode(2);
    DeviceTreeWidget* tree = app.Main().tree();
    QWidget* view = tree->viewport();
    const QPoint from = tree->hitRect(first).center();
    const QPoint to = tree->hitRect(second).center();
    QTest::mousePress(view, Qt::LeftButton, {}, from);
    for (int step = 1; step <= 4; ++step) {
        const QPoint at = from + (to - from) * step / 4;
        QMouseEvent move(QEvent::MouseMove, at, view->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &move);
    }
    QTest::mouseRelease(view, Qt::LeftButton, {}, to);

    EXPECT_EQ(form().SelNode(), first);
    EXPECT_EQ(tree->currentItem(), tree->itemOf(first));
    EXPECT_EQ(tree->selectedItems(), QList<QTreeWidgetItem*> { tree->itemOf(first) });
}

// The boxes of whose values the window holds and sends, on the real window:
// the newer-tool hint once per selection, "Град." before the pressed device
// is read, and a read asked for during a write.
TEST_F(MainWindowTest, HintAndRefusalBoxes)
{
    searchUpTo(2);
    app.Bus()->detector(1).version(105);
    DeviceTreeWidget* tree = app.Main().tree();
    QWidget* parameters = app.Main().panel()->section(1);
    const auto read = [&](uint8_t address) {
        const int32_t rx = form().RxCount();
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, tree->hitRect(deviceNode(address)).center());
        return WaitFor([&] { return parameters->isEnabled() && form().RxCount() >= rx + 2; }, 5000);
    };
    const std::string hint = "Используйте ZOR Tool 1.6.0";

    press(deviceNode(1));
    ASSERT_TRUE(read(1));
    ASSERT_TRUE(WaitFor([&] { return !boxes.texts.empty(); }, 2000));
    ASSERT_TRUE(read(1));
    QTest::qWait(300);
    EXPECT_EQ(boxes.texts, std::vector<std::string> { hint });

    press(deviceNode(2));
    const int32_t tx = form().TxCount();
    click("BtClbConc");
    ASSERT_TRUE(WaitFor([&] { return boxes.texts.size() == 2; }, 2000));
    EXPECT_EQ(boxes.texts.back(), "Сначала прочитайте прибор!");
    EXPECT_EQ(form().TxCount(), tx);
    EXPECT_FALSE(app.Conc().isVisible());

    ASSERT_TRUE(read(2));
    click("SpBtSetOptions");
    ASSERT_NE(form().WriteOp(), woNone);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, tree->hitRect(deviceNode(2)).center());
    ASSERT_TRUE(WaitFor([&] { return boxes.texts.size() == 4; }, 10000));
    EXPECT_EQ(boxes.texts[2], "Дождитесь окончания записи!");
    EXPECT_EQ(boxes.texts[3], "Параметры изменены!");
    EXPECT_EQ(form().WriteOp(), woNone);
}

TEST_F(MainWindowTest, ReadingFillsThePanelAndCountsTheExchange)
{
    searchUpTo(1);
    app.Bus()->detector(1).setHolding(3, 1234);
    press(deviceNode(1));
    click("BtRead");
    auto* read = find<QToolButton>("BtRead");
    EXPECT_EQ(read->text(), "Стоп");
    EXPECT_FALSE(find<QToolButton>("SpBtSetOptions")->isEnabled());

    auto* conc = find<QLineEdit>("EditConc");
    ASSERT_TRUE(WaitFor([&] { return !conc->text().isEmpty(); }, 5000));
    // Gas 5 has one decimal: 1234 reads 123.4.
    EXPECT_EQ(conc->text(), "123.4");
    EXPECT_TRUE(app.Main().panel()->section(0)->isEnabled());
    EXPECT_TRUE(app.Main().panel()->caption()->text().startsWith("#1 : 07000123 (v2.30)  -  "))
        << app.Main().panel()->caption()->text().toStdString();
    EXPECT_TRUE(form().Panel.ActCalb.enabled());
    EXPECT_TRUE(find<QToolButton>("BtClbConc")->isEnabled());

    // A second cycle: the counters grow and every answer is logged.
    const int32_t tx = form().TxCount();
    ASSERT_TRUE(WaitFor([&] { return form().RxCount() >= tx + 2; }, 5000));
    click("BtRead");
    EXPECT_EQ(read->text(), "Читать");
    EXPECT_EQ(StatusPanel(app.Main(), 1), QString("Tx: %1").arg(form().TxCount()));
    EXPECT_EQ(StatusPanel(app.Main(), 2), QString("Rx: %1").arg(form().RxCount()));
    const QString log = app.Main().panel()->log()->toPlainText();
    EXPECT_TRUE(log.contains("Прибор:1  Функция:0x04  Регистр:0x0105 = 0x0005")) << log.toStdString();
    EXPECT_TRUE(log.contains("Прибор:1  Функция:0x03  Регистр:0x0003 = 0x04D2")) << log.toStdString();
    // The pane holds exactly the log's text, paragraph for paragraph.
    QString expected = QString::fromStdString(form().Log.Text());
    expected.replace("\r\n", "\n");
    expected.chop(1);
    EXPECT_EQ(log, expected);
}

TEST_F(MainWindowTest, ClosingDuringASearchStopsItFirst)
{
    click("BtFind");
    ASSERT_TRUE(form().Finding());
    app.Main().close();
    EXPECT_FALSE(form().Finding());
    EXPECT_FALSE(form().TimerFind().enabled());
    EXPECT_TRUE(app.Main().panel()->log()->toPlainText().endsWith("Поиск окончен"));
}

} // namespace
} // namespace zor::ui::e2e
