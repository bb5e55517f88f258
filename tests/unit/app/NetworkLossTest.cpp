// A bus over the network lost and back, in virtual time: the window names
// it as the network bus it is (the connection, the device server or gateway
// and the network, not an adapter and a cable), tries it again by its name
// until it answers, and says nothing of the RS-485 direction, which is the
// device server's.

#include "AppFixture.h"

#include "sim/SimDetector.h"

namespace zor::test {
namespace {

const std::string kName = "tcp://192.168.1.10:502";

class NetworkLoss : public AppFixture {
protected:
    NetworkLoss()
        : AppFixture(kName)
    {
    }
    void SetUp() override
    {
        bus.add(SimModel::Zor10, 1).serial(6100001).gas(1).version(204);
        form = MakeWindow(loop, wire, dialogs, windows, ports::PlatformPorts {});
        form->UsePort(kName, "");
        // Ticked for an adapter before, it stays with the link.
        form->VSModbus.SetRS485Mode(true);
        SearchUpTo(1);
        Select(1);
        form->ActRenewExecute();
        loop.advance(1900);
        ASSERT_TRUE(form->Panel.DevPanel.enabled());
    }
    bool Logged(const std::string& piece) const { return form->Log.Text().find(piece) != std::string::npos; }
};

TEST_F(NetworkLoss, AClosedConnectionIsTheNetworkBusLostAndBackByItsName)
{
    EXPECT_TRUE(form->VSModbus.RS485Mode());
    EXPECT_FALSE(Logged("RS-485"));
    wire.unplug();
    loop.advance(500);
    EXPECT_FALSE(form->VSModbus.Connected());
    EXPECT_TRUE(Logged("Порт " + kName + " потерян: соединение разорвано или узел не отвечает."));
    EXPECT_FALSE(Logged("адаптер"));
    EXPECT_EQ(form->StatBar.text(3), "Порт " + kName + " потерян");

    wire.plugIn();
    loop.advance(TFormMain::kRegainCheckMs);
    EXPECT_TRUE(form->VSModbus.Connected());
    EXPECT_EQ(form->VSModbus.PortName(), kName);
    loop.advance(2000);
    EXPECT_TRUE(Logged("Порт " + kName + ": прибор отвечает, связь восстановлена."));
    EXPECT_FALSE(form->Panel.NoAnswer.on());
}

TEST_F(NetworkLoss, AConnectionThatOpensButCarriesNothingPointsAtTheDeviceServerAndTheNetwork)
{
    wire.setFailing(true);
    loop.advance(500);
    loop.advance(10000);
    EXPECT_TRUE(Logged("Порт " + kName
        + " открывается, но обмен через него не идёт: проверьте преобразователь и "
          "сеть. Попытки открыть его будут всё реже, до первого ответа прибора."));
    EXPECT_FALSE(Logged("кабель"));
}

} // namespace
} // namespace zor::test
