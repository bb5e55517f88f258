// A walk through every window on the demonstration bus, for looking at the
// tool: with ZOR_SHOTS naming a folder and an X display (scripts/
// screenshot.sh runs it under xvfb-run), each stop is photographed with
// ImageMagick's "import -window root". Without ZOR_SHOTS it is skipped.

#include "PlugBus.h"
#include "ToolFixture.h"

#include "ui/Bind.h"
#include "ui/Certificate.h"
#include "ui/ConcDialog.h"
#include "ui/CylinderDialog.h"
#include "ui/HelpWindow.h"
#include "ui/JournalWindow.h"
#include "ui/LoraWindow.h"
#include "ui/NetworkPortWindow.h"
#include "ui/PortSettingsDialog.h"
#include "ui/QtWindowHost.h"
#include "ui/SearchOptionsWindow.h"

#include "sim/SimDetector.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QScreen>

namespace zor::ui::e2e {
namespace {

class ScreenTour : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = qEnvironmentVariable("ZOR_SHOTS");
        if (folder_.isEmpty())
            GTEST_SKIP() << "run by scripts/screenshot.sh";
        QDir().mkpath(folder_);
        std::string error;
        ASSERT_TRUE(app.StartDemo(error)) << error;
        app.Show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&app.Main()));
    }
    void shoot(const QString& name)
    {
        QTest::qWait(400); // let every window paint
        const QString path = QString("%1/%2.png").arg(folder_, name);
        EXPECT_EQ(QProcess::execute("import", { "-window", "root", path }), 0) << path.toStdString();
    }
    // Opens a modal window of type W, photographs it and closes it.
    template <class W> void shootModal(const QString& name, std::function<void()> open)
    {
        Script steps(
            {
                { [] { return qobject_cast<W*>(QApplication::activeModalWidget()) != nullptr; },
                    [&] {
                        shoot(name);
                        QApplication::activeModalWidget()->close();
                    } },
            },
            5000, [] {});
        Later(std::move(open));
        ASSERT_TRUE(WaitFor([&] { return steps.done(); }, 6000)) << name.toStdString();
    }
    forms::TreeNode* deviceNode(uint8_t address)
    {
        for (forms::TreeNode* n : app.Form().DevTree.allNodes())
            if (n->level() == 1 && n->overlayIndex() == address)
                return n;
        return nullptr;
    }
    void press(uint8_t address, Qt::MouseButton button = Qt::LeftButton)
    {
        DeviceTreeWidget* tree = app.Main().tree();
        QTest::mouseClick(tree->viewport(), button, {}, tree->hitRect(deviceNode(address)).center());
    }
    void click(QWidget* parent, const char* name)
    {
        auto* b = parent->findChild<QAbstractButton*>(name);
        ASSERT_NE(b, nullptr) << name;
        QTest::mouseClick(b, Qt::LeftButton);
    }

    QString folder_;
    // As the program does: the separator of the regional settings.
    DesktopApp app { SystemSeparator() };
    BoxWatcher boxes;
};

TEST_F(ScreenTour, EveryWindow)
{
    bool boxShot = false;
    boxes.onBox = [&](QMessageBox&) {
        if (!boxShot)
            shoot("03-message-box");
        boxShot = true;
    };
    shoot("01-start");

    click(&app.Main(), "BtFind");
    ASSERT_TRUE(WaitFor([&] { return deviceNode(4) != nullptr; }, 8000));
    click(&app.Main(), "BtFind");
    // The "ZOR-10" gas detector in %НКПР with test gas on its sensor.
    app.Bus()->detector(1).setHolding(3, 423);
    press(1);
    click(&app.Main(), "BtRead");
    ASSERT_TRUE(
        WaitFor([&] { return app.Form().RxCount() >= app.Form().TxCount() - 1 && app.Form().TxCount() > 6; }, 6000));
    shoot("02-reading-zor10");

    // Another model: its firmware asks for a newer tool, once for this
    // selection.
    click(&app.Main(), "BtRead");
    press(2);
    click(&app.Main(), "BtRead");
    ASSERT_TRUE(WaitFor([&] { return boxShot && app.Form().Panel.EditConc.text() != ""; }, 8000));
    click(&app.Main(), "BtRead");
    shoot("04-reading-zor11");

    click(&app.Main(), "SpeedButton1");
    ASSERT_TRUE(app.Help().isVisible());
    shoot("05-help");
    app.Help().hide();

    press(1);
    QTest::mouseDClick(
        app.Main().tree()->viewport(), Qt::LeftButton, {}, app.Main().tree()->hitRect(deviceNode(1)).center());
    ASSERT_TRUE(WaitFor([&] { return app.Form().Panel.DevPanel.text().find("#1 : 06000101 (v") == 0; }, 5000));
    click(&app.Main(), "BtClbConc");
    ASSERT_TRUE(app.Conc().isVisible());
    shoot("06-concentration-dialog");
    app.Conc().hide();

    press(1, Qt::RightButton);
    QMenu* menu = app.Host().menu();
    ASSERT_TRUE(WaitFor([&] { return menu->isVisible(); }, 1000));
    shoot("07-tree-menu");
    LoraWindow& lora = app.Lora();
    bool shown = false;
    Script loraSteps(
        {
            { [&] { return lora.isVisible(); },
                [&] {
                    shown = true;
                    shoot("08-lora");
                    lora.reject();
                } },
        },
        8000, [&] { lora.reject(); });
    menu->actions().front()->trigger();
    menu->hide();
    ASSERT_TRUE(WaitFor([&] { return loraSteps.done(); }, 9000)) << "shown " << shown;

    // Last: the dialog closes the link until the next search.
    shootModal<PortSettingsDialog>("09-port-settings", [&] { click(&app.Main(), "bCfg"); });
    shootModal<SearchOptionsWindow>(
        "13-search-options", [&] { app.Main().findChild<QAction*>("ActFindOptions")->trigger(); });
    shootModal<NetworkPortWindow>("15-network-port", [&] { click(&app.Main(), "BtNetPort"); });
}

// A USB adapter pulled out while a detector is read: the panel greyed with
// its last values, the port named in the status bar and the log.
TEST_F(ScreenTour, LostPort)
{
    PlugBus far;
    // The "ZOR-10" in %НКПР with test gas on its sensor.
    far.bus().add(SimModel::Zor10, 1).serial(6000101).gas(5);
    far.bus().detector(1).setHolding(3, 423);
    far.plugIn();
    app.UsePort(far.link(), "USB-RS485");
    click(&app.Main(), "BtFind");
    ASSERT_TRUE(WaitFor([&] { return deviceNode(1) != nullptr; }, 5000));
    click(&app.Main(), "BtFind");
    press(1);
    click(&app.Main(), "BtRead");
    ASSERT_TRUE(WaitFor([&] { return !app.Form().Panel.EditConc.text().empty(); }, 6000));
    ASSERT_TRUE(WaitFor([&] { return app.Form().ReadBusy(); }, 3000)); // the next cycle is out
    far.pullOut();
    ASSERT_TRUE(WaitFor([&] { return !app.Form().VSModbus.Connected() && app.Form().Panel.NoAnswer.on(); }, 3000));
    shoot("10-lost-port");
}

// The trend of a detector read for half a minute: clean air, test gas,
// a few cycles without an answer, and the gas again; then the window made
// as large as the screen, where the log and the trend take the room.
TEST_F(ScreenTour, Trend)
{
    click(&app.Main(), "BtFind");
    ASSERT_TRUE(WaitFor([&] { return deviceNode(1) != nullptr; }, 5000));
    click(&app.Main(), "BtFind");
    press(1);
    click(&app.Main(), "BtRead");
    QTest::qWait(8000);
    app.Bus()->detector(1).setHolding(3, 423);
    QTest::qWait(8000);
    app.Bus()->detector(1).silent();
    QTest::qWait(7000);
    app.Bus()->detector(1).silent(false);
    QTest::qWait(6000);
    shoot("11-trend"); // the window at the size it opens with
    app.Main().setGeometry(app.Main().screen()->availableGeometry());
    shoot("12-trend-whole-screen");
}

// The journal after a parameter write on the demonstration bus, with the
// detectors marked for a calibration the journal does not hold, and the
// cylinder window of the concentration dialog.
TEST_F(ScreenTour, Journal)
{
    app.OpenScratchJournal();
    app.Form().Journal().Settings.technician = "Иванов И.И.";
    click(&app.Main(), "BtFind");
    ASSERT_TRUE(WaitFor([&] { return deviceNode(4) != nullptr; }, 8000));
    click(&app.Main(), "BtFind");
    app.Bus()->detector(1).setHolding(3, 423);
    press(1);
    QTest::mouseDClick(
        app.Main().tree()->viewport(), Qt::LeftButton, {}, app.Main().tree()->hitRect(deviceNode(1)).center());
    ASSERT_TRUE(WaitFor([&] { return app.Form().Panel.DevPanel.text().find("#1 : 06000101 (v") == 0; }, 5000));
    app.Form().Panel.EditLimit1.setValue(app.Form().Panel.EditLimit1.value() + 1);
    app.Form().ActWriteOptExecute();
    ASSERT_TRUE(WaitFor([&] { return app.Form().Journal().Store()->Count() == 1; }, 10000));
    shoot("15-tree-calibration-due");
    shootModal<JournalWindow>("16-journal", [&] { click(&app.Main(), "BtJournal"); });
    shootModal<CylinderDialog>("17-cylinder", [&] { app.Conc().findChild<QPushButton*>("BtCylinder")->click(); });
    // The record's certificate, and its page as a picture.
    const int64_t id = app.Form().Journal().Store()->Find({}).front();
    const QString pdf = folder_ + "/18-certificate.pdf";
    ASSERT_TRUE(WriteCertificate(*app.Form().Journal().Store()->Get(id), std::nullopt, pdf));
    EXPECT_EQ(
        QProcess::execute("pdftoppm", { "-png", "-r", "70", "-singlefile", pdf, folder_ + "/18-certificate" }), 0);
}

// The bus overview on the whole demo bus while detector 1 is read: one
// detector over its thresholds, one that stopped answering.
TEST_F(ScreenTour, Overview)
{
    click(&app.Main(), "BtFind");
    ASSERT_TRUE(WaitFor([&] { return deviceNode(4) != nullptr; }, 8000));
    click(&app.Main(), "BtFind");
    press(1);
    click(&app.Main(), "BtRead");
    click(&app.Main(), "BtOverview");
    QTest::qWait(32000); // the detectors warm up
    app.Bus()->detector(3).applyTestGas(150);
    app.Bus()->detector(4).silent();
    QTest::qWait(16000);
    shoot("13-overview");
    app.Main().setGeometry(app.Main().screen()->availableGeometry());
    shoot("14-overview-whole-screen");
}

} // namespace
} // namespace zor::ui::e2e
