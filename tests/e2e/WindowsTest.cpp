// The other windows on the real main window: the LoRa window opened from
// the tree's popup with one key write, the concentration dialog and the
// help window.

#include "ToolFixture.h"

#include "commands/TFormLora.h"
#include "ui/ConcDialog.h"
#include "ui/DeviceTreeWidget.h"
#include "ui/HelpWindow.h"
#include "ui/LoraWindow.h"
#include "ui/QtWindowHost.h"

#include <QDoubleSpinBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

namespace zor::ui::e2e {
namespace {

using WindowsTest = ToolFixture;

TEST_F(WindowsTest, LoraWindowOpensModallyAndWritesTheKeys)
{
    searchUpTo(1);
    LoraWindow& lora = app.Lora();
    const int32_t tx = form().TxCount();
    Script script(
        {
            { [&] { return lora.isVisible(); },
                [&] {
                    EXPECT_EQ(QApplication::activeModalWidget(), &lora);
                    EXPECT_TRUE(lora.windowTitle().startsWith("Настройки LoRa: ")) << lora.windowTitle().toStdString();
                    EXPECT_FALSE(lora.findChild<QWidget*>("EditChan1")->isEnabled());
                    QTest::mouseClick(lora.findChild<QPushButton*>("BitBtnABPWrite"), Qt::LeftButton);
                } },
            { [&] { return lora.windowTitle() == "Успешно!"; }, [&] { lora.reject(); } },
        },
        10000, [&] { lora.reject(); });
    // A right press on the detector opens the popup; its one item reads the
    // LoRa block, whose answer opens the window.
    press(deviceNode(1), Qt::RightButton);
    QMenu* menu = app.Host().menu();
    ASSERT_TRUE(WaitFor([&] { return menu->isVisible(); }, 1000));
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions().front()->text(), "Настройки LoRa");
    menu->actions().front()->trigger();
    menu->hide();
    ASSERT_TRUE(WaitFor([&] { return script.done(); }, 12000))
        << "reached step " << script.reached() << ", caption " << lora.windowTitle().toStdString() << ", status "
        << form().StatBar.text(3);
    EXPECT_FALSE(lora.isVisible());
    // The read, the two key blocks and the restart command.
    EXPECT_EQ(form().TxCount(), tx + 4);
    EXPECT_EQ(form().StatBar.text(3), "Успешно!");
    EXPECT_TRUE(boxes.texts.empty());
}

TEST_F(WindowsTest, ConcentrationDialogStaysOnTopWithoutHoldingTheMainWindow)
{
    searchUpTo(1);
    app.Bus()->detector(1).setHolding(3, 2000);
    press(deviceNode(1));
    QTest::mouseDClick(
        app.Main().tree()->viewport(), Qt::LeftButton, {}, app.Main().tree()->hitRect(deviceNode(1)).center());
    ASSERT_TRUE(WaitFor([&] { return form().Panel.ActCalb.enabled(); }, 5000));

    click("BtClbConc");
    ConcDialog& conc = app.Conc();
    ASSERT_TRUE(conc.isVisible());
    EXPECT_EQ(conc.windowTitle(), "ПГС:");
    EXPECT_TRUE(conc.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(conc.findChild<QLabel*>("LConc")->text(), "%НКПР");
    EXPECT_GT(
        conc.findChild<QDoubleSpinBox*>("EditConc")->maximum(), conc.findChild<QDoubleSpinBox*>("EditConc")->minimum());
    QTest::mouseClick(conc.findChild<QPushButton*>("BtCancel"), Qt::LeftButton);
    EXPECT_FALSE(conc.isVisible());
    EXPECT_TRUE(boxes.texts.empty());
}

// Ethane (%НКПР, one decimal) at #1, methane (%об., two decimals, range
// 4.40) at #2, both with test gas at the sensor.
TEST_F(WindowsTest, ConcentrationDialogServesTheSelectedDevice)
{
    searchUpTo(2);
    app.Bus()->detector(1).responseTime(0).applyTestGas(300);
    app.Bus()->detector(2).responseTime(0).applyTestGas(200);
    DeviceTreeWidget* tree = app.Main().tree();
    const auto read = [&](uint8_t address) {
        press(deviceNode(address));
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, tree->hitRect(deviceNode(address)).center());
        return WaitFor(
            [&] {
                return !form().Panel.OtherDevice.on() && form().Panel.ActCalb.enabled()
                    && form().DevList().at(address)->Regs[3] != 0;
            },
            5000);
    };
    ConcDialog& conc = app.Conc();
    auto* unit = conc.findChild<QLabel*>("LConc");
    auto* edit = conc.findChild<QDoubleSpinBox*>("EditConc");

    ASSERT_TRUE(read(1));
    click("BtClbConc");
    ASSERT_TRUE(conc.isVisible());
    EXPECT_EQ(unit->text(), "%НКПР");

    // Another device pressed: the dialog set up for #1 goes.
    press(deviceNode(2));
    EXPECT_FALSE(conc.isVisible());
    ASSERT_TRUE(read(2));
    click("BtClbConc");
    ASSERT_TRUE(conc.isVisible());
    EXPECT_EQ(unit->text(), "%об.");
    EXPECT_EQ(edit->decimals(), 2);
    EXPECT_DOUBLE_EQ(edit->maximum(), 8.8);

    // "Град." on the open dialog sets it up again for the device as read now.
    app.Bus()->detector(2).range(880);
    ASSERT_TRUE(read(2));
    ASSERT_TRUE(WaitFor([&] { return form().DevList().at(2)->Regs[5] == 880; }, 5000));
    click("BtClbConc");
    EXPECT_DOUBLE_EQ(edit->maximum(), 17.6);

    // "Задать" after the range has changed again: the dialog is set up for
    // it, and nothing is written.
    app.Bus()->detector(2).range(440);
    ASSERT_TRUE(read(2));
    ASSERT_TRUE(WaitFor([&] { return form().DevList().at(2)->Regs[5] == 440; }, 5000));
    edit->setValue(2.5);
    QTest::mouseClick(conc.findChild<QPushButton*>("BtOk"), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return !boxes.texts.empty(); }, 2000));
    EXPECT_EQ(boxes.texts, std::vector<std::string> { "Данные прибора изменились!" });
    EXPECT_TRUE(conc.isVisible());
    EXPECT_DOUBLE_EQ(edit->maximum(), 8.8);
    EXPECT_EQ(form().WriteOp(), woNone);

    edit->setValue(2.5);
    QTest::mouseClick(conc.findChild<QPushButton*>("BtOk"), Qt::LeftButton);
    EXPECT_FALSE(conc.isVisible());
    ASSERT_TRUE(WaitFor([&] { return boxes.texts.size() == 2; }, 8000));
    EXPECT_EQ(boxes.texts.back(), "Градуировка произведена");
    EXPECT_EQ(form().SpanValue(), 250);
}

TEST_F(WindowsTest, HelpWindowShowsItsTenLinesAndEnterClosesIt)
{
    click("SpeedButton1");
    HelpWindow& help = app.Help();
    ASSERT_TRUE(help.isVisible());
    EXPECT_EQ(help.windowTitle(), "Помощь");
    EXPECT_EQ(help.minimumSize(), help.maximumSize());
    const QStringList lines = help.memo()->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 10);
    EXPECT_EQ(lines[0], "1. Начать поиск приборов (\"Поиск\").");
    EXPECT_EQ(lines[1], "2. После обнаружения необходимых приборов ");
    // Not modal: the main window goes on taking presses; a second press on
    // "Помощь" leaves the one window open.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    click("SpeedButton1");
    EXPECT_TRUE(help.isVisible());
    QTest::keyClick(help.findChild<QPushButton*>("OKButton"), Qt::Key_Return);
    EXPECT_FALSE(help.isVisible());
}

} // namespace
} // namespace zor::ui::e2e
