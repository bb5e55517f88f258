// Ports the platform does not list: a pseudo-terminal named on the command
// line, the demonstration bus, and buses reached over the network, which the
// technician names in "Сетевой порт..." or on the command line. A network
// bus is listed and chosen like a serial port; the address last named is
// offered again, also in the next run.

#include "app/TFormMain.h"

#include "app/NetworkPortDialog.h"

namespace zor {

namespace {

std::string NetworkDescription(NetworkMode mode)
{
    return mode == NetworkMode::ModbusTcp ? "Modbus TCP" : "RTU поверх TCP";
}

} // namespace

void TFormMain::UsePort(const std::string& name, const std::string& description)
{
    const std::optional<NetworkAddress> address = ParseNetworkName(name);
    const int32_t number
        = ComPort.AddPort(name, description.empty() && address ? NetworkDescription(address->mode) : description);
    const auto& list = ComPort.GetDeviceList();
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].Data == number) {
            ComBox.Pick(static_cast<int>(i));
            return;
        }
}

void TFormMain::NetPortClick(NetworkPortDialog& dialog)
{
    NetworkAddress address = ParseNetworkName(NetPort_).value_or(NetworkAddress {});
    if (!dialog.edit(address))
        return;
    NetPort_ = NetworkName(address);
    UsePort(NetPort_, "");
}

} // namespace zor
