// "Сетевой порт..." offscreen against the real Qt host: the window names a
// Modbus TCP gateway (zor-sim --modbus-tcp on this machine), the port list
// and status panel 0 show it like a serial port, the search finds the
// detector behind it, and the address is kept for the next run; cancelled,
// it changes nothing.

#include "ToolFixture.h"

#include "ui/LineMemoryStore.h"
#include "ui/NetworkPortWindow.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QProcess>
#include <QSpinBox>
#include <QStatusBar>

namespace zor::ui::e2e {
namespace {

using NetworkPortTest = ToolFixture;

QWidget* NetworkWindow()
{
    return qobject_cast<NetworkPortWindow*>(QApplication::activeModalWidget());
}

void CloseModal()
{
    if (QWidget* w = QApplication::activeModalWidget())
        w->close();
}

// zor-sim as a Modbus TCP gateway on a free port of this machine.
class Gateway {
public:
    Gateway()
    {
        sim_.start(ZOR_SIM_BINARY, { "--modbus-tcp", "0", "--device", "ZOR-11 address=1 serial=9400321" });
        if (sim_.waitForStarted(5000) && sim_.waitForReadyRead(5000))
            name_ = QString::fromUtf8(sim_.readLine()).trimmed();
    }
    ~Gateway()
    {
        sim_.terminate();
        sim_.waitForFinished(5000);
    }
    const QString& name() const { return name_; }
    int port() const { return name_.section(':', -1).toInt(); }

private:
    QProcess sim_;
    QString name_;
};

TEST_F(NetworkPortTest, TheWindowChoosesAGatewayAndTheSearchFindsTheDetectorBehindIt)
{
    Gateway gateway;
    ASSERT_TRUE(gateway.name().startsWith("tcp://127.0.0.1:")) << gateway.name().toStdString();
    bool okWithoutHost = true;
    QString shownHost;
    int shownPort = 0;
    Script script({ { [] { return NetworkWindow() != nullptr; },
                      [&] {
                          QWidget* w = NetworkWindow();
                          EXPECT_EQ(w->windowTitle(), "Сетевой порт");
                          QPushButton* ok = w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
                          shownHost = w->findChild<QLineEdit*>("EditHost")->text();
                          shownPort = w->findChild<QSpinBox*>("EditPort")->value();
                          okWithoutHost = ok->isEnabled();
                          w->findChild<QComboBox*>("CBoxMode")->setCurrentIndex(0);
                          w->findChild<QLineEdit*>("EditHost")->setText("127.0.0.1");
                          w->findChild<QSpinBox*>("EditPort")->setValue(gateway.port());
                          ok->click();
                      } } },
        5000, CloseModal);
    Later([this] { click("BtNetPort"); });
    ASSERT_TRUE(WaitFor([&] { return script.done(); }, 6000));
    EXPECT_FALSE(okWithoutHost);
    EXPECT_EQ(shownHost, "");
    EXPECT_EQ(shownPort, 502);

    const std::string name = gateway.name().toStdString();
    EXPECT_EQ(find<QComboBox>("ComBox")->currentText().toStdString(), name + " (Modbus TCP)");
    EXPECT_EQ(form().StatBar.text(0), name + " (Modbus TCP): 19200 / 8-Even-1");
    EXPECT_EQ(LoadLineMemory()->port, name);
    EXPECT_EQ(LoadLineMemory()->network, name);

    searchUpTo(1);
    EXPECT_TRUE(form().VSModbus.Connected());
    EXPECT_EQ(deviceNode(1)->text(), "#1 : 09400321");
    EXPECT_TRUE(boxes.texts.empty());
}

TEST_F(NetworkPortTest, CancelChangesNothing)
{
    const std::string before = find<QComboBox>("ComBox")->currentText().toStdString();
    Script script({ { [] { return NetworkWindow() != nullptr; },
                      [] {
                          QWidget* w = NetworkWindow();
                          w->findChild<QLineEdit*>("EditHost")->setText("10.0.0.5");
                          w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
                      } } },
        5000, CloseModal);
    Later([this] { click("BtNetPort"); });
    ASSERT_TRUE(WaitFor([&] { return script.done(); }, 6000));
    EXPECT_EQ(find<QComboBox>("ComBox")->currentText().toStdString(), before);
    EXPECT_EQ(form().VSModbus.PortName().rfind("/dev/pts/", 0), 0u) << form().VSModbus.PortName();
}

} // namespace
} // namespace zor::ui::e2e
