// The serial link in the field, on the real windows: a simulated bus whose
// pseudo-terminal goes away in the middle of automatic reading and comes
// back under the same path, a port that does not open, and the line
// settings kept for the next run.

#include "PlugBus.h"
#include "ToolFixture.h"

#include "ui/DevicePanelView.h"
#include "ui/LineMemoryStore.h"
#include "ui/LogPane.h"
#include "ui/PortSettingsDialog.h"

#include "sim/SimDetector.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>

namespace zor::ui::e2e {
namespace {

// The bus of the fixture, but on a pseudo-terminal of the test's own that
// it can pull out and plug in again.
class LostPortTest : public ToolFixture {
protected:
    void SetUp() override
    {
        far.bus().add(SimModel::Zor10, 1).serial(7000123).gas(5);
        far.plugIn();
        link = far.link();
        app.UsePort(link, "Тестовая шина");
        app.Show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&app.Main()));
    }
    QWidget* section(int i) { return app.Main().findChild<DevicePanelView*>("DevPanel")->section(i); }

    PlugBus far;
    std::string link;
};

TEST_F(LostPortTest, TheReadingStopsGreyedAndGoesOnWhenThePortIsBack)
{
    searchUpTo(1);
    press(deviceNode(1));
    click("BtRead");
    ASSERT_TRUE(WaitFor([&] { return form().Panel.DevPanel.enabled() && section(0)->isEnabled(); }, 5000));
    ASSERT_TRUE(WaitFor([&] { return form().ReadBusy(); }, 3000));
    far.pullOut();

    const std::string status = "Порт " + link + " потерян";
    ASSERT_TRUE(WaitFor([&] { return form().StatBar.text(3) == status; }, 3000));
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(section(i)->isEnabled()) << i;
    EXPECT_TRUE(section(4)->isEnabled()); // the log stays readable
    EXPECT_EQ(find<QAbstractButton>("BtRead")->text(), "Читать");
    const QString log = app.Main().findChild<DevicePanelView*>("DevPanel")->log()->toPlainText();
    EXPECT_EQ(log.count(QString::fromStdString(status + ": адаптер отключён или не отвечает.")), 1);
    EXPECT_TRUE(boxes.texts.empty());
    EXPECT_TRUE(find<QAbstractButton>("BtFind")->isEnabled());

    far.plugIn();
    ASSERT_TRUE(WaitFor([&] { return form().VSModbus.Connected(); }, 5000));
    EXPECT_EQ(find<QAbstractButton>("BtRead")->text(), "Стоп");
    ASSERT_TRUE(WaitFor([&] { return section(0)->isEnabled() && !form().Panel.NoAnswer.on(); }, 6000));
    EXPECT_TRUE(boxes.texts.empty());
}

using PortOpenTest = ToolFixture;

// "Найти" on a port that is not there: the reason in a box at the main
// window's message-box position and in the log, and no search.
TEST_F(PortOpenTest, APortThatDoesNotOpenIsExplainedInABoxAndTheLog)
{
    app.UsePort("/dev/zor-no-such-port", "");
    click("BtFind");
    ASSERT_TRUE(WaitFor([&] { return !boxes.texts.empty(); }, 3000));
    const std::string text = "Порт /dev/zor-no-such-port не найден: устройство отключено. Подключите его и "
                             "выберите порт в обновлённом списке портов.";
    EXPECT_EQ(boxes.texts, std::vector<std::string> { text });
    EXPECT_EQ(boxes.positions.front(), app.Main().frameGeometry().center() - QPoint(150, 50));
    const QString log = app.Main().findChild<DevicePanelView*>("DevPanel")->log()->toPlainText();
    EXPECT_TRUE(log.contains(QString::fromStdString(text)));
    EXPECT_FALSE(form().Finding());
    EXPECT_EQ(find<QAbstractButton>("BtFind")->text(), "Найти");
    EXPECT_EQ(form().TxCount(), 0);
}

// The settings dialog's choice is kept for the next run, which takes it
// back; the port of this run is not listed there and is not chosen.
TEST_F(PortOpenTest, TheLineSettingsChosenAreTakenBackByTheNextRun)
{
    Script script(
        {
            { [] { return qobject_cast<PortSettingsDialog*>(QApplication::activeModalWidget()) != nullptr; },
                [] {
                    QWidget* dialog = QApplication::activeModalWidget();
                    dialog->findChild<QComboBox*>("CBoxRate")->setEditText("9600");
                    dialog->findChild<QComboBox*>("CBoxParity")->setCurrentText("Нет");
                    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
                } },
        },
        5000, [] {
            if (QWidget* w = QApplication::activeModalWidget())
                w->close();
        });
    Later([&] { click("bCfg"); });
    ASSERT_TRUE(WaitFor([&] { return script.done(); }, 6000));
    const std::optional<LineMemory> kept = LoadLineMemory();
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->port, form().VSModbus.PortName());
    EXPECT_EQ(kept->baud, 9600u);
    EXPECT_EQ(kept->parity, 0);

    DesktopApp next('.');
    next.Recall();
    EXPECT_EQ(next.Form().VSModbus.BaudRateValue(), 9600u);
    EXPECT_EQ(next.Form().VSModbus.Parity(), TParity::pNone);
    EXPECT_EQ(next.Form().ComBox.itemIndex(), -1);
    EXPECT_EQ(next.Form().VSModbus.PortName(), "");
    EXPECT_TRUE(next.Form().StatBar.text(0).ends_with(": 9600 / 8-None-1")) << next.Form().StatBar.text(0);
}

} // namespace
} // namespace zor::ui::e2e
