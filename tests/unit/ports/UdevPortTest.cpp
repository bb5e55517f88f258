#include "ports/UdevPort.h"

#include "ports/PortEvent.h"
#include "ports/UdevPortMonitor.h"

#include <gtest/gtest.h>

using namespace zor::ports;

namespace {

struct UdevCase {
    const char* name;
    PropertySet device;
    bool listed;
    int32_t number = 0;
    std::string portName = {};
    std::string description = {};
    std::string manufacturer = {};
};

void PrintTo(const UdevCase& c, std::ostream* os)
{
    *os << c.name;
}

class FromUdev : public testing::TestWithParam<UdevCase> { };

TEST_P(FromUdev, GivesTheExpectedPort)
{
    const UdevCase& c = GetParam();
    const std::optional<UdevPort> port = PortFromUdev(c.device);
    ASSERT_EQ(port.has_value(), c.listed);
    if (!port)
        return;
    EXPECT_EQ(port->number, c.number);
    EXPECT_EQ(port->record.PortName, c.portName);
    EXPECT_EQ(port->record.Description, c.description);
    EXPECT_EQ(port->record.Manufacturer, c.manufacturer);
}

const char* const kUsbPath = "/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/ttyUSB0/tty/ttyUSB0";

INSTANTIATE_TEST_SUITE_P(Properties, FromUdev,
    testing::Values(
        UdevCase { "UsbAdapterNamedByTheDevice",
            { { "DEVNAME", "/dev/ttyUSB0" }, { "DEVPATH", kUsbPath }, { "ID_MODEL", "FT232R_USB_UART" },
                { "ID_MODEL_ENC", "FT232R\\x20USB\\x20UART" }, { "ID_MODEL_FROM_DATABASE", "FT232 Serial (UART) IC" },
                { "ID_VENDOR", "FTDI" }, { "ID_VENDOR_ENC", "FTDI" },
                { "ID_VENDOR_FROM_DATABASE", "Future Technology Devices International, Ltd" } },
            true, 257, "/dev/ttyUSB0", "FT232R USB UART", "FTDI" },
        UdevCase { "PlainModelWithUnderscores",
            { { "DEVNAME", "/dev/ttyUSB3" }, { "DEVPATH", "/devices/usb1/1-1/ttyUSB3/tty/ttyUSB3" },
                { "ID_MODEL", "CP2102_USB_to_UART_Bridge_Controller" }, { "ID_VENDOR", "Silicon_Labs" } },
            true, 260, "/dev/ttyUSB3", "CP2102 USB to UART Bridge Controller", "Silicon Labs" },
        UdevCase { "UsbStringsWhenTheDatabaseIsSilent",
            { { "DEVNAME", "ttyACM0" }, { "DEVPATH", "/devices/usb1/1-3/1-3:1.0/tty/ttyACM0" },
                { "ATTRS{product}", "STM32 Virtual ComPort " }, { "ATTRS{manufacturer}", "STMicroelectronics" } },
            true, 513, "/dev/ttyACM0", "STM32 Virtual ComPort", "STMicroelectronics" },
        UdevCase { "HardwareDatabaseNameLast",
            { { "DEVNAME", "/dev/ttyACM1" }, { "DEVPATH", "/devices/usb1/1-4/tty/ttyACM1" },
                { "ID_MODEL_FROM_DATABASE", "Uno R3" }, { "ID_VENDOR_FROM_DATABASE", "Arduino SA" } },
            true, 514, "/dev/ttyACM1", "Uno R3", "Arduino SA" },
        UdevCase { "BuiltInUartWithAType",
            { { "DEVNAME", "/dev/ttyS0" }, { "DEVPATH", "/devices/pnp0/00:05/tty/ttyS0" }, { "ATTR{type}", "4" } },
            true, 1, "/dev/ttyS0", "Последовательный порт", "" },
        UdevCase { "TtySWithoutAUart",
            { { "DEVNAME", "/dev/ttyS3" }, { "DEVPATH", "/devices/platform/serial8250/tty/ttyS3" },
                { "ATTR{type}", "0" } },
            false },
        UdevCase { "TtySWithoutAType",
            { { "DEVNAME", "/dev/ttyS1" }, { "DEVPATH", "/devices/platform/serial8250/tty/ttyS1" } }, false },
        UdevCase { "ArmUart",
            { { "DEVNAME", "/dev/ttyAMA0" }, { "DEVPATH", "/devices/platform/soc/fe201000.serial/tty/ttyAMA0" } }, true,
            769, "/dev/ttyAMA0", "Последовательный порт", "" },
        UdevCase { "BluetoothLinkThoughVirtual",
            { { "DEVNAME", "/dev/rfcomm0" }, { "DEVPATH", "/devices/virtual/tty/rfcomm0" } }, true, 1025,
            "/dev/rfcomm0", "Последовательный порт Bluetooth", "" },
        UdevCase { "OtherKindOnRealHardwareIsNumberedByTheCatalogue",
            { { "DEVNAME", "/dev/ttyXRUSB0" }, { "DEVPATH", "/devices/usb1/1-1/1-1:1.0/tty/ttyXRUSB0" },
                { "ID_MODEL_ENC", "XR21V1410" } },
            true, 0, "/dev/ttyXRUSB0", "XR21V1410", "" },
        UdevCase { "IndexBeyondTheBlockIsNumberedByTheCatalogue",
            { { "DEVNAME", "/dev/ttyUSB300" }, { "DEVPATH", "/devices/usb1/1-1/tty/ttyUSB300" } }, true, 0,
            "/dev/ttyUSB300", "Последовательный порт", "" },
        UdevCase {
            "VirtualConsole", { { "DEVNAME", "/dev/tty3" }, { "DEVPATH", "/devices/virtual/tty/tty3" } }, false },
        UdevCase {
            "PseudoTerminalMaster", { { "DEVNAME", "/dev/ptmx" }, { "DEVPATH", "/devices/virtual/tty/ptmx" } }, false },
        UdevCase { "ConsoleNamedLikeAPort",
            { { "DEVNAME", "/dev/ttyUSBx" }, { "DEVPATH", "/devices/virtual/tty/ttyUSBx" } }, false },
        UdevCase { "NoDeviceNode", { { "DEVPATH", kUsbPath } }, false }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FromUdevRecord, CarriesTheDriverAndWhereTheDeviceSits)
{
    const auto port = PortFromUdev({ { "DEVNAME", "/dev/ttyUSB0" }, { "DEVPATH", kUsbPath },
        { "ID_USB_DRIVER", "ftdi_sio" }, { "ID_PATH", "pci-0000:00:14.0-usb-0:2:1.0" } });
    ASSERT_TRUE(port);
    EXPECT_EQ(port->kernelName, "ttyUSB0");
    EXPECT_EQ(port->record.Service, "ftdi_sio");
    EXPECT_EQ(port->record.InstanceId, kUsbPath);
    EXPECT_EQ(port->record.RegKey, "pci-0000:00:14.0-usb-0:2:1.0");
}

TEST(DeviceChangeFromUdevTest, ArrivalsAndRemovalsOnly)
{
    const std::pair<const char*, std::optional<TDeviceEvent>> cases[]
        = { { "add", TDeviceEvent::DeviceArrival }, { "remove", TDeviceEvent::DeviceRemoveComplete },
              { "change", std::nullopt }, { "bind", std::nullopt }, { "", std::nullopt } };
    for (auto [action, event] : cases) {
        const auto msg = DeviceChangeFromUdev(action);
        ASSERT_EQ(msg.has_value(), event.has_value()) << action;
        if (msg) {
            EXPECT_EQ(msg->event, *event);
            EXPECT_EQ(msg->type, TDeviceType::Port);
        }
    }
}

} // namespace

namespace {

TEST(StableNameFromUdevTest, TheLinkUnderSerialById)
{
    const std::string byId = "/dev/serial/by-id/usb-1a86_USB_Serial-if00-port0";
    const std::pair<std::string, std::string> cases[] = {
        { "/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0 " + byId, byId },
        { byId + " /dev/serial/by-path/x", byId },
        { "/dev/serial/by-path/x", "" },
        { "/dev/serial/by-id/", "" },
        { "", "" },
    };
    for (const auto& [links, expected] : cases)
        EXPECT_EQ(StableNameFromUdev({ { "DEVLINKS", links } }), expected) << links;
    const auto port = PortFromUdev({ { "DEVNAME", "/dev/ttyUSB0" }, { "DEVPATH", kUsbPath }, { "DEVLINKS", byId } });
    ASSERT_TRUE(port);
    EXPECT_EQ(port->record.StableName, byId);
}

TEST(PortEventFromUdevTest, NodeStableNameAndTheAdaptersBrlttyClaims)
{
    struct Case {
        const char* action;
        PropertySet device;
        std::optional<TDeviceEvent> event;
        std::string adapter;
    };
    const auto usb = [](const char* vendor, const char* model) {
        return PropertySet { { "DEVNAME", "/dev/ttyUSB0" }, { "ID_VENDOR_ID", vendor }, { "ID_MODEL_ID", model },
            { "DEVLINKS", "/dev/serial/by-id/usb-x-if00-port0" } };
    };
    const Case cases[] = {
        { "add", usb("1a86", "7523"), TDeviceEvent::DeviceArrival, "CH340" },
        { "remove", usb("10c4", "ea60"), TDeviceEvent::DeviceRemoveComplete, "CP210x" },
        { "remove", usb("0403", "6001"), TDeviceEvent::DeviceRemoveComplete, "" }, // FTDI: brltty leaves it
        { "remove", usb("1a86", "55d4"), TDeviceEvent::DeviceRemoveComplete, "" },
        { "change", usb("1a86", "7523"), std::nullopt, "" },
    };
    for (const Case& c : cases) {
        const auto e = PortEventFromUdev(c.action, c.device);
        ASSERT_EQ(e.has_value(), c.event.has_value()) << c.action;
        if (!e)
            continue;
        EXPECT_EQ(e->change.event, *c.event);
        EXPECT_EQ(e->node, "/dev/ttyUSB0");
        EXPECT_EQ(e->stableName, "/dev/serial/by-id/usb-x-if00-port0");
        EXPECT_EQ(e->adapter, c.adapter) << c.device.at("ID_VENDOR_ID");
    }
}

} // namespace
