// The port and line settings kept across runs: what one window remembers,
// the next one takes back; an adapter is found by its stable name under
// whatever device path it has now, and one that is not there is not chosen.

#include "AppFixture.h"

#include "app/NetworkPortDialog.h"
#include "link/PortOpenError.h"
#include "unit/ports/Fakes.h"

namespace zor::test {
namespace {

const std::string kById = "/dev/serial/by-id/usb-FTDI_FT232R_A10K1234-if00-port0";

ports::PlatformPorts Ports(const std::string& usbPath)
{
    ports::PlatformPorts p;
    p.map = { { 1, "/dev/ttyS0", "ttyS0" } };
    ports::TPortEntry s0 = ports::test::Device("/dev/ttyS0", "Последовательный порт");
    p.devices = { s0 };
    if (!usbPath.empty()) {
        p.map.push_back({ 257 + (usbPath.back() - '0'), usbPath, "" });
        ports::TPortEntry usb = ports::test::Device(usbPath, "FT232R USB UART");
        usb.StableName = kById;
        p.devices.push_back(usb);
    }
    return p;
}

struct Window {
    VirtualLoop loop;
    MemoryWire wire { loop, "COM1" };
    ScriptedDialogs dialogs;
    FakeWindows windows;
    std::unique_ptr<TFormMain> window;
    TFormMain& form;

    explicit Window(ports::PlatformPorts ports)
        : window(MakeWindow(loop, wire, dialogs, windows, std::move(ports)))
        , form(*window)
    {
    }
};

TEST(LineMemory, TheNextRunTakesBackThePortByItsStableNameAndTheLineSettings)
{
    LineMemory remembered;
    {
        Window first(Ports("/dev/ttyUSB0"));
        EXPECT_EQ(first.form.VSModbus.PortName(), "/dev/ttyS0");
        first.form.ComBox.Pick(1);
        ports::test::ScriptedDialog dialog;
        dialog.change = [](ports::CommConfig& c) {
            c.BaudRate = 9600;
            c.Parity = 0;
            c.StopBits = 2;
            c.Flags = ports::StreamProtocolFlags(c.Flags, ports::TStreamProtocol::spNone, true);
        };
        first.form.bCfgClick(dialog);
        remembered = first.form.RememberedLine();
    }
    EXPECT_EQ(remembered, (LineMemory { kById, 9600, 8, 0, 2, true, "" }));

    Window again(Ports("/dev/ttyUSB1")); // plugged in elsewhere meanwhile
    again.form.RecallLine(remembered);
    EXPECT_EQ(again.form.ComBox.text(), "/dev/ttyUSB1 (FT232R USB UART)");
    EXPECT_EQ(again.form.VSModbus.PortName(), kById);
    EXPECT_EQ(again.form.VSModbus.BaudRateValue(), 9600u);
    EXPECT_EQ(again.form.VSModbus.Parity(), TParity::pNone);
    EXPECT_EQ(again.form.VSModbus.StopBits(), TStopBits::sb2);
    EXPECT_TRUE(again.form.VSModbus.RS485Mode());
    EXPECT_EQ(again.form.StatBar.text(0), "/dev/ttyUSB1 (FT232R USB UART): 9600 / 8-None-2");
    EXPECT_FALSE(again.form.VSModbus.Connected());

    Window absent(Ports(""));
    absent.form.RecallLine(remembered);
    EXPECT_EQ(absent.form.ComBox.itemIndex(), -1);
    EXPECT_EQ(absent.form.VSModbus.PortName(), "");
    EXPECT_EQ(absent.form.VSModbus.BaudRateValue(), 9600u);
    absent.form.ActFindExecute();
    EXPECT_EQ(absent.dialogs.texts(), std::vector<std::string> { kNoPortText });
}

// A settings file edited or damaged by hand: values no control could have
// set leave those settings as they were.
TEST(LineMemory, ValuesOutOfRangeLeaveTheirSettingsAlone)
{
    Window window(Ports("/dev/ttyUSB0"));
    window.form.RecallLine(LineMemory { kById, 0, 12, 7, 9, false, "" });
    EXPECT_EQ(window.form.VSModbus.BaudRateValue(), 19200u);
    EXPECT_EQ(window.form.VSModbus.Parity(), TParity::pEven);
    EXPECT_EQ(window.form.VSModbus.StopBits(), TStopBits::sb1);
    EXPECT_EQ(window.form.ComPort.ByteSize(), 8);
    window.form.RecallLine(LineMemory { kById, 4000001, 4, 255, 3, false, "" });
    EXPECT_EQ(window.form.VSModbus.BaudRateValue(), 19200u);
    EXPECT_EQ(window.form.ComPort.ByteSize(), 8);
    EXPECT_EQ(window.form.VSModbus.Parity(), TParity::pEven);
    EXPECT_EQ(window.form.VSModbus.StopBits(), TStopBits::sb1);
}

// "Сетевой порт...": shows the address it is given and answers as the test
// says (no answer: cancelled).
struct ScriptedNetworkDialog final : NetworkPortDialog {
    std::optional<NetworkAddress> answer;
    std::optional<NetworkAddress> shown;
    bool edit(NetworkAddress& address) override
    {
        shown = address;
        if (!answer)
            return false;
        address = *answer;
        return true;
    }
};

TEST(LineMemory, ANetworkBusIsListedChosenAndTakenBackInTheNextRun)
{
    const NetworkAddress gateway { NetworkMode::ModbusTcp, "192.168.1.10", 502 };
    const std::string name = "tcp://192.168.1.10:502";
    LineMemory remembered;
    {
        Window first(Ports(""));
        ScriptedNetworkDialog dialog;
        first.form.NetPortClick(dialog);
        EXPECT_EQ(dialog.shown, NetworkAddress {});
        EXPECT_EQ(first.form.VSModbus.PortName(), "/dev/ttyS0");
        EXPECT_EQ(first.form.ComPort.GetDeviceList().size(), 1u);

        dialog.answer = gateway;
        first.form.NetPortClick(dialog);
        EXPECT_EQ(first.form.VSModbus.PortName(), name);
        EXPECT_EQ(first.form.ComBox.text(), name + " (Modbus TCP)");
        EXPECT_EQ(first.form.StatBar.text(0), name + " (Modbus TCP): 19200 / 8-Even-1");
        remembered = first.form.RememberedLine();
        EXPECT_EQ(remembered.port, name);
        // Back on the serial port, the address is still the one offered.
        first.form.ComBox.Pick(0);
        EXPECT_EQ(first.form.VSModbus.PortName(), "/dev/ttyS0");
        EXPECT_EQ(first.form.RememberedLine().network, name);
    }
    EXPECT_EQ(remembered.network, name);

    Window next(Ports(""));
    next.form.RecallLine(remembered);
    EXPECT_EQ(next.form.ComBox.text(), name + " (Modbus TCP)");
    EXPECT_EQ(next.form.VSModbus.PortName(), name);
    ScriptedNetworkDialog dialog;
    dialog.answer = NetworkAddress { NetworkMode::RtuOverTcp, "moxa", 4001 };
    next.form.NetPortClick(dialog);
    EXPECT_EQ(dialog.shown, gateway);
    EXPECT_EQ(next.form.ComBox.text(), "rtu-tcp://moxa:4001 (RTU поверх TCP)");
    // Both stay listed for the run.
    EXPECT_EQ(next.form.ComPort.GetDeviceList().size(), 3u);
}

} // namespace
} // namespace zor::test
