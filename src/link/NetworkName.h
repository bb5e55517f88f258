#pragma once
// The names a network bus goes by, in the port list, on the command line and
// in the remembered settings: "tcp://HOST:PORT" for a Modbus TCP gateway and
// "rtu-tcp://HOST:PORT" for a serial device server that carries the RTU
// frames unchanged. A host with colons (IPv6) is written in brackets.

#include <cstdint>
#include <optional>
#include <string>

namespace zor {

// How long a connection to a network bus may take to come about.
inline constexpr uint32_t kConnectTimeoutMs = 3000;

enum class NetworkMode : uint8_t { RtuOverTcp, ModbusTcp };

struct NetworkAddress {
    NetworkMode mode = NetworkMode::ModbusTcp;
    std::string host;
    uint16_t port = 502;

    bool operator==(const NetworkAddress&) const = default;
};

// The address a name stands for; nothing when it is no network name or
// names no host or no port 1..65535.
std::optional<NetworkAddress> ParseNetworkName(const std::string& name);
// Whether the name is meant for the network (by its prefix), well formed or
// not.
bool IsNetworkName(const std::string& name);
std::string NetworkName(const NetworkAddress& address);

} // namespace zor
