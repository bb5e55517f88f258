#include "ports/TPortHolder.h"

#include "unit/ports/Fakes.h"

#include <gtest/gtest.h>

using namespace zor::ports;
using namespace zor::ports::test;

namespace {

class Holder : public testing::Test {
protected:
    Holder()
    {
        platform.ports.map = { { 1, "COM1", "" }, { 3, "COM3", "" } };
        platform.ports.devices = { Device("COM1", "Последовательный порт"), Device("COM3", "USB Serial Port") };
    }
    std::vector<std::string> texts()
    {
        std::vector<std::string> out;
        for (const TPortEntry& e : holder.GetDeviceList())
            out.push_back(e.NameFriendly);
        return out;
    }
    void listen()
    {
        holder.NotifyAdd(this, [this](TPortHolder& sender, int32_t code) {
            EXPECT_EQ(&sender, &holder);
            codes.push_back(code);
        });
    }
    FakePlatform platform;
    TPortHolder holder { Provide(platform) };
    std::vector<int32_t> codes;
};

TEST_F(Holder, ComPortReadsAndWritesTheFirstEightNumbers)
{
    struct Case {
        uint16_t number;
        TComPort read;
    };
    const Case cases[] = { { 1, TComPort::cpCOM1 }, { 8, TComPort::cpCOM8 }, { 9, TComPort::cpCOMxx },
        { 12, TComPort::cpCOMxx }, { 4097, TComPort::cpCOMxx }, { 0, TComPort::cpCOMxx } };
    for (const Case& c : cases) {
        holder.SetComPortNo(c.number);
        EXPECT_EQ(holder.ComPort(), c.read) << c.number;
        holder.SetComPort(TComPort::cpCOMxx);
        EXPECT_EQ(holder.ComPortNo(), c.number);
    }
    holder.SetComPort(TComPort::cpCOM5);
    EXPECT_EQ(holder.ComPortNo(), 5);
}

TEST_F(Holder, CatalogueIsBuiltOnceAndIndexFollowsThePortNumber)
{
    EXPECT_EQ(texts(), (std::vector<std::string> { "COM1 (Последовательный порт)", "COM3 (USB Serial Port)" }));
    texts();
    EXPECT_EQ(platform.reads, 1);
    const std::pair<uint16_t, int> cases[] = { { 1, 0 }, { 3, 1 }, { 2, -1 } };
    for (auto [number, index] : cases) {
        holder.SetComPortNo(number);
        EXPECT_EQ(holder.GetDeviceIndex(), index);
    }
    holder.SetDeviceIndex(0);
    EXPECT_EQ(holder.ComPortNo(), 1);
    for (int invalid : { -1, 2 }) {
        holder.SetDeviceIndex(invalid);
        EXPECT_EQ(holder.ComPortNo(), 1);
        EXPECT_EQ(holder.GetDevice(invalid), nullptr);
    }
    ASSERT_NE(holder.GetDevice(1), nullptr);
    EXPECT_EQ(holder.GetDevice(1)->Data, 3);
}

TEST_F(Holder, EmptyCatalogueIsLookedForAgain)
{
    platform.ports = {};
    EXPECT_TRUE(holder.GetDeviceList().empty());
    platform.ports.map = { { 2, "COM2", "" } };
    EXPECT_EQ(texts(), std::vector<std::string> { "COM2" });
}

TEST_F(Holder, ListenersAreHeldOnceAndToldOfEveryWriteOfTheNumber)
{
    listen();
    listen();
    holder.SetComPortNo(3);
    holder.SetComPortNo(3);
    holder.SetDeviceIndex(7); // invalid: nothing
    EXPECT_EQ(codes, (std::vector<int32_t> { kPortChanged, kPortChanged }));
    holder.NotifyDelete(this);
    holder.SetComPortNo(1);
    EXPECT_EQ(codes.size(), 2u);
}

TEST_F(Holder, ListenerRemovedByAnotherDuringNotificationIsNotCalled)
{
    int second = 0;
    int tag;
    holder.NotifyAdd(this, [&](TPortHolder&, int32_t) { holder.NotifyDelete(&tag); });
    holder.NotifyAdd(&tag, [&](TPortHolder&, int32_t) { ++second; });
    holder.SetComPortNo(2);
    EXPECT_EQ(second, 0);
}

TEST_F(Holder, UpdateRebuildsTellsAndKeepsThePortByName)
{
    // Ports of a kind without numbers of their own are numbered in the
    // order met, so an arrival can move the chosen port's number.
    platform.ports.map = {};
    platform.ports.devices = { Device("/dev/ttyXR0", "XR21V1410") };
    texts();
    holder.SetComPortNo(4097);
    listen();
    platform.ports.devices = { Device("/dev/ttyMX0", "Moxa UPort"), Device("/dev/ttyXR0", "XR21V1410") };
    holder.Update();
    EXPECT_EQ(platform.reads, 2);
    EXPECT_EQ(codes, std::vector<int32_t> { kPortChanged });
    EXPECT_EQ(holder.ComPortNo(), 4098);
    EXPECT_EQ(holder.PortName(), "/dev/ttyXR0");
    // It leaves: nothing is selected.
    platform.ports.devices = { Device("/dev/ttyMX0", "Moxa UPort") };
    holder.Update();
    EXPECT_EQ(holder.GetDeviceIndex(), -1);
    EXPECT_EQ(holder.LinkName(), "");
}

// An adapter pulled out and plugged in again may come back under another
// device path and number; its stable name finds it, and the link opens it
// by that name. A port without one is its device path.
TEST_F(Holder, AnAdapterThatComesBackIsChosenAgainByItsStableName)
{
    auto usb = [](const char* path) {
        TPortEntry d = Device(path, "USB Serial");
        d.StableName = "/dev/serial/by-id/usb-1a86_USB_Serial-if00-port0";
        return d;
    };
    platform.ports.map = { { 1, "/dev/ttyS0", "ttyS0" }, { 257, "/dev/ttyUSB0", "ttyUSB0" } };
    platform.ports.devices = { Device("/dev/ttyS0", "Последовательный порт"), usb("/dev/ttyUSB0") };
    EXPECT_TRUE(holder.Choose("/dev/serial/by-id/usb-1a86_USB_Serial-if00-port0"));
    EXPECT_EQ(holder.ComPortNo(), 257);
    EXPECT_EQ(holder.LinkName(), "/dev/serial/by-id/usb-1a86_USB_Serial-if00-port0");

    platform.ports.map = { { 1, "/dev/ttyS0", "ttyS0" } };
    platform.ports.devices = { Device("/dev/ttyS0", "Последовательный порт") };
    holder.Update();
    EXPECT_EQ(holder.GetDeviceIndex(), -1);
    EXPECT_EQ(holder.LinkName(), "");
    platform.ports.map = { { 1, "/dev/ttyS0", "ttyS0" }, { 258, "/dev/ttyUSB1", "ttyUSB1" } };
    platform.ports.devices = { Device("/dev/ttyS0", "Последовательный порт"), usb("/dev/ttyUSB1") };
    holder.Update();
    EXPECT_EQ(holder.ComPortNo(), 258);
    EXPECT_EQ(holder.PortName(), "/dev/ttyUSB1");
    EXPECT_EQ(holder.LinkName(), "/dev/serial/by-id/usb-1a86_USB_Serial-if00-port0");

    // Away again, and another adapter takes its device path and number
    // meanwhile: the stranger is not chosen, the adapter is when it is back.
    auto other = [](const char* path) {
        TPortEntry d = Device(path, "FT232R USB UART");
        d.StableName = "/dev/serial/by-id/usb-FTDI_FT232R_A10K1234-if00-port0";
        return d;
    };
    platform.ports.devices = { Device("/dev/ttyS0", "Последовательный порт") };
    holder.Update();
    platform.ports.devices = { Device("/dev/ttyS0", "Последовательный порт"), other("/dev/ttyUSB1") };
    holder.Update();
    EXPECT_EQ(holder.GetDeviceIndex(), -1);
    EXPECT_EQ(holder.LinkName(), "");
    platform.ports.map.push_back({ 257, "/dev/ttyUSB0", "ttyUSB0" });
    platform.ports.devices.push_back(usb("/dev/ttyUSB0"));
    holder.Update();
    EXPECT_EQ(holder.ComPortNo(), 257);
    EXPECT_EQ(holder.LinkName(), "/dev/serial/by-id/usb-1a86_USB_Serial-if00-port0");

    EXPECT_TRUE(holder.Choose("/dev/ttyS0"));
    EXPECT_EQ(holder.LinkName(), "/dev/ttyS0");
    EXPECT_FALSE(holder.Choose("/dev/ttyUSB7"));
    EXPECT_FALSE(holder.Choose(""));
    EXPECT_EQ(holder.ComPortNo(), 1);
}

TEST_F(Holder, PortNameIsTheEntrysNameOrComAndTheNumber)
{
    platform.ports.map = { { 257, "/dev/ttyUSB0", "ttyUSB0" } };
    platform.ports.devices = { Device("/dev/ttyUSB0", "FT232R USB UART") };
    texts();
    holder.SetComPortNo(257);
    EXPECT_EQ(holder.PortName(), "/dev/ttyUSB0");
    holder.SetComPortNo(4);
    EXPECT_EQ(holder.PortName(), "COM4");
}

TEST_F(Holder, AddedPortIsListedKeptThroughRebuildsAndAddedOnce)
{
    listen();
    const int32_t demo = holder.AddPort("demo", "Демонстрационная шина");
    const int32_t pty = holder.AddPort("/dev/pts/7", "");
    EXPECT_EQ(holder.AddPort("demo", "Демонстрационная шина"), demo);
    EXPECT_EQ(holder.AddPort("COM3", "again"), 3); // the platform lists it already
    EXPECT_EQ(codes.size(), 2u);
    EXPECT_GT(demo, 4096);
    EXPECT_NE(demo, pty);
    const std::vector<std::string> expected { "COM1 (Последовательный порт)", "COM3 (USB Serial Port)",
        "demo (Демонстрационная шина)", "/dev/pts/7" };
    EXPECT_EQ(texts(), expected);
    holder.Update();
    EXPECT_EQ(texts(), expected);
    holder.SetComPortNo(static_cast<uint16_t>(pty));
    EXPECT_EQ(holder.PortName(), "/dev/pts/7");
}

TEST_F(Holder, DeviceChangeRebuildsOnlyForPortsAndTheDeviceTree)
{
    struct Case {
        TDeviceEvent event;
        TDeviceType type;
        bool handled;
    };
    const Case cases[] = {
        { TDeviceEvent::DevNodesChanged, TDeviceType::Other, true },
        { TDeviceEvent::DeviceArrival, TDeviceType::Port, true },
        { TDeviceEvent::DeviceRemoveComplete, TDeviceType::Port, true },
        { TDeviceEvent::DeviceArrival, TDeviceType::Other, false },
        { TDeviceEvent::DeviceRemoveComplete, TDeviceType::Other, false },
        { TDeviceEvent::Other, TDeviceType::Port, false },
    };
    for (const Case& c : cases) {
        const int reads = platform.reads;
        EXPECT_EQ(holder.WMDeviceChange({ c.event, c.type }), c.handled);
        EXPECT_EQ(platform.reads - reads, c.handled ? 1 : 0);
    }
}

TEST_F(Holder, DialogIsShownForTheChosenPortsName)
{
    platform.ports.map = { { 257, "/dev/ttyUSB0", "ttyUSB0" } };
    platform.ports.devices = { Device("/dev/ttyUSB0", "FT232R USB UART") };
    texts();
    ScriptedDialog dialog;
    holder.SetComPortNo(257);
    holder.ConfigDialog(dialog);
    EXPECT_EQ(dialog.shownPort, "/dev/ttyUSB0");
    holder.SetComPortNo(2);
    holder.ConfigDialog(dialog);
    EXPECT_EQ(dialog.shownPort, "COM2");
}

TEST(HolderLifetime, ThoseWhoAskedAreToldWhenItGoes)
{
    FakePlatform platform;
    std::vector<int> told;
    int a, b;
    {
        TPortHolder holder(Provide(platform));
        holder.FreeNotification(&a, [&] { told.push_back(1); });
        holder.FreeNotification(&a, [&] { told.push_back(9); }); // held once
        holder.FreeNotification(&b, [&] { told.push_back(2); });
        holder.RemoveFreeNotification(&b);
    }
    EXPECT_EQ(told, std::vector<int> { 1 });
}

} // namespace
