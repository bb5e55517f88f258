#include "link/NetworkName.h"

#include <charconv>

namespace zor {

namespace {

constexpr std::string_view kModbusTcp = "tcp://";
constexpr std::string_view kRtuOverTcp = "rtu-tcp://";

bool StartsWith(const std::string& s, std::string_view prefix)
{
    return s.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

bool IsNetworkName(const std::string& name)
{
    return StartsWith(name, kModbusTcp) || StartsWith(name, kRtuOverTcp);
}

std::optional<NetworkAddress> ParseNetworkName(const std::string& name)
{
    NetworkAddress a;
    std::string rest;
    if (StartsWith(name, kModbusTcp)) {
        a.mode = NetworkMode::ModbusTcp;
        rest = name.substr(kModbusTcp.size());
    } else if (StartsWith(name, kRtuOverTcp)) {
        a.mode = NetworkMode::RtuOverTcp;
        rest = name.substr(kRtuOverTcp.size());
    } else {
        return std::nullopt;
    }
    const size_t colon = rest.rfind(':');
    if (colon == std::string::npos)
        return std::nullopt;
    a.host = rest.substr(0, colon);
    // An address with colons comes in one pair of brackets, and no bracket
    // is left in it.
    if (a.host.size() > 2 && a.host.front() == '[' && a.host.back() == ']') {
        a.host = a.host.substr(1, a.host.size() - 2);
        if (a.host.find_first_of("[]") != std::string::npos)
            return std::nullopt;
    } else if (a.host.find_first_of(":[]") != std::string::npos) {
        return std::nullopt;
    }
    if (a.host.find_first_of(" \t/") != std::string::npos)
        return std::nullopt;
    const std::string port = rest.substr(colon + 1);
    unsigned value = 0;
    const auto [end, err] = std::from_chars(port.data(), port.data() + port.size(), value);
    if (a.host.empty() || port.empty() || err != std::errc() || end != port.data() + port.size() || value == 0
        || value > 65535)
        return std::nullopt;
    a.port = static_cast<uint16_t>(value);
    return a;
}

std::string NetworkName(const NetworkAddress& address)
{
    const std::string host = address.host.find(':') != std::string::npos ? "[" + address.host + "]" : address.host;
    return std::string(address.mode == NetworkMode::ModbusTcp ? kModbusTcp : kRtuOverTcp) + host + ":"
        + std::to_string(address.port);
}

} // namespace zor
