#include "link/MbapCodec.h"

#include "link/TVSModbusRTU.h"

namespace zor {

namespace {

// An RTU frame is at most 256 bytes: address, PDU of up to 253, CRC.
constexpr size_t kLongestRtu = 256;
constexpr size_t kShortestRtu = 4;
// The MBAP length counts the unit id and the PDU.
constexpr uint16_t kLongestMbapLength = 254;
constexpr uint16_t kShortestMbapLength = 2;

uint16_t Word(const std::vector<uint8_t>& b, size_t at)
{
    return static_cast<uint16_t>(b[at] << 8 | b[at + 1]);
}

void PutWord(std::vector<uint8_t>& b, uint16_t w)
{
    b.push_back(static_cast<uint8_t>(w >> 8));
    b.push_back(static_cast<uint8_t>(w & 0xFF));
}

} // namespace

size_t MbapCodec::requestLength() const
{
    if (request_.size() < 2)
        return 0;
    const uint8_t function = request_[1];
    if (function >= 1 && function <= 6)
        return 8;
    if (function == 15 || function == 16)
        return request_.size() < 7 ? 0 : 9 + size_t { request_[6] };
    // A function whose layout is not known here ends where its CRC closes it.
    const bool closed = request_.size() >= kShortestRtu && ModbusCRC16(request_.data(), request_.size()) == 0;
    return closed ? request_.size() : 0;
}

void MbapCodec::fromMaster(const uint8_t* data, size_t n, std::vector<uint8_t>& tcp)
{
    for (size_t i = 0; i < n; ++i) {
        request_.push_back(data[i]);
        const size_t length = requestLength();
        if (length != 0 && request_.size() >= length)
            sendRequest(tcp);
        else if (request_.size() >= kLongestRtu)
            request_.clear();
    }
}

void MbapCodec::sendRequest(std::vector<uint8_t>& tcp)
{
    std::vector<uint8_t> frame;
    frame.swap(request_);
    if (ModbusCRC16(frame.data(), frame.size()) != 0)
        return;
    const uint8_t address = frame[0];
    const uint16_t transaction = ++lastTransaction_;
    AppendMbap(tcp, transaction, address, frame.data() + 1, frame.size() - 3);
    // A broadcast is answered by nobody; an answer to an older request is
    // late and no longer wanted.
    outstanding_.reset();
    if (address != 0)
        outstanding_ = Outstanding { transaction, address };
}

namespace {

// Exception 0x0A (gateway path unavailable) or 0x0B (target device failed
// to respond): the gateway answers for a detector that did not.
bool GatewayNoAnswer(const uint8_t* pdu, size_t size)
{
    return size >= 2 && (pdu[0] & 0x80) && (pdu[1] == 0x0A || pdu[1] == 0x0B);
}

} // namespace

void MbapCodec::fromServer(const uint8_t* data, size_t n, std::vector<uint8_t>& rtu)
{
    answer_.insert(answer_.end(), data, data + n);
    for (;;) {
        const std::optional<size_t> whole = MbapFrameSize(answer_);
        if (!whole) {
            answer_.clear();
            return;
        }
        if (*whole == 0)
            return;
        if (outstanding_ && MbapTransaction(answer_) == outstanding_->transaction) {
            // The gateway's own word that its line gave no answer is
            // silence for the master, as on a serial line.
            if (!GatewayNoAnswer(answer_.data() + kMbapHeaderSize, *whole - kMbapHeaderSize))
                AppendRtu(rtu, outstanding_->address, answer_.data() + kMbapHeaderSize, *whole - kMbapHeaderSize);
            outstanding_.reset();
        }
        answer_.erase(answer_.begin(), answer_.begin() + static_cast<ptrdiff_t>(*whole));
    }
}

std::optional<size_t> MbapFrameSize(const std::vector<uint8_t>& bytes)
{
    if (bytes.size() < kMbapHeaderSize)
        return 0;
    const uint16_t length = Word(bytes, 4);
    if (Word(bytes, 2) != 0 || length < kShortestMbapLength || length > kLongestMbapLength)
        return std::nullopt;
    const size_t whole = kMbapHeaderSize - 1 + length;
    return bytes.size() < whole ? 0 : whole;
}

uint16_t MbapTransaction(const std::vector<uint8_t>& frame)
{
    return Word(frame, 0);
}

void AppendMbap(std::vector<uint8_t>& out, uint16_t transaction, uint8_t unit, const uint8_t* pdu, size_t n)
{
    PutWord(out, transaction);
    PutWord(out, 0);
    PutWord(out, static_cast<uint16_t>(n + 1));
    out.push_back(unit);
    out.insert(out.end(), pdu, pdu + n);
}

void AppendRtu(std::vector<uint8_t>& out, uint8_t address, const uint8_t* pdu, size_t n)
{
    const size_t from = out.size();
    out.push_back(address);
    out.insert(out.end(), pdu, pdu + n);
    const uint16_t crc = ModbusCRC16(out.data() + from, out.size() - from);
    out.push_back(static_cast<uint8_t>(crc & 0xFF));
    out.push_back(static_cast<uint8_t>(crc >> 8));
}

} // namespace zor
