#pragma once
// Modbus TCP under an RTU master. The master writes RTU requests (address,
// PDU, CRC) and expects RTU answers; a Modbus TCP gateway speaks MBAP
// (transaction id, protocol 0, length, unit id, PDU). Each request the
// master completes goes out with a new transaction id and the RTU address as
// the unit id; each answer that carries the outstanding request's
// transaction id comes back as the RTU frame a slave at that address would
// have sent, its CRC computed here, so that the master and the exchange log
// see the same frames as on a serial line. Any other answer is dropped.
// Unit id 0 is the broadcast: carried by the gateway, never answered.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace zor {

// The MBAP header: transaction id, protocol, length, unit id.
inline constexpr size_t kMbapHeaderSize = 7;

// Size of the whole MBAP frame the bytes begin with; 0 while more is needed
// to tell or to have it all; nothing when they cannot begin a frame (another
// protocol, an impossible length): the stream is out of step.
std::optional<size_t> MbapFrameSize(const std::vector<uint8_t>& bytes);
uint16_t MbapTransaction(const std::vector<uint8_t>& frame);
// Appends an MBAP frame with this transaction id and unit id around a PDU.
void AppendMbap(std::vector<uint8_t>& out, uint16_t transaction, uint8_t unit, const uint8_t* pdu, size_t n);
// Appends the RTU frame of a PDU from or to an address, CRC included.
void AppendRtu(std::vector<uint8_t>& out, uint8_t address, const uint8_t* pdu, size_t n);

class MbapCodec {
public:
    // Bytes the master writes; appends to tcp the MBAP request of every RTU
    // request they complete. A request whose CRC fails is dropped, as a
    // slave would drop it.
    void fromMaster(const uint8_t* data, size_t n, std::vector<uint8_t>& tcp);
    // Bytes that came over TCP, in whatever segments; appends to rtu the RTU
    // frame of every whole answer to the outstanding request.
    void fromServer(const uint8_t* data, size_t n, std::vector<uint8_t>& rtu);
    // Forgets a request the master left unfinished.
    void dropRequest() { request_.clear(); }

private:
    void sendRequest(std::vector<uint8_t>& tcp);
    // Length of the RTU request begun in request_, CRC included; 0 while
    // more of it is needed to tell.
    size_t requestLength() const;

    struct Outstanding {
        uint16_t transaction;
        uint8_t address;
    };
    std::vector<uint8_t> request_;
    std::vector<uint8_t> answer_;
    std::optional<Outstanding> outstanding_;
    uint16_t lastTransaction_ = 0;
};

} // namespace zor
