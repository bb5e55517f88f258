#include "link/TVSModbusRTU.h"

#include "link/FrameAssembler.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>

namespace zor {

namespace {

// The frame length travels as one byte.
constexpr size_t kMaxFrame = 255;

} // namespace

struct TVSModbusRTU::Impl {
    TVSRTUresult receiveResult = TVSRTUresult::vsrOk;
    uint32_t responseTimeout = 1000;
    uint8_t retries = 1;
    uint8_t customFunction = 65;
    // Released when a frame is accepted; created released.
    bool answerSignalled = true;
    TModbusPacketEvent onModbusPacket;
    TModbusPacketEvent onCustomPacket;
    FrameAssembler assembler;
    // Counts purges of the input, so that frames read before a purge are not
    // delivered after it.
    uint32_t inputFlushes = 0;
};

TVSModbusRTU::TVSModbusRTU(EventLoop& loop, std::unique_ptr<SerialPort> port)
    : TVSCOM(loop, std::move(port))
    , m_(std::make_unique<Impl>())
{
    SetOnReceiveData([this](TVSCOM&, const uint8_t* data, uint16_t size) { CheckReceivedFrame(data, size); });
}

TVSModbusRTU::~TVSModbusRTU()
{
    // The polling must not reach the frame check once its state is gone.
    Close();
}

uint8_t TVSModbusRTU::CustomFuncion() const
{
    return m_->customFunction;
}

void TVSModbusRTU::SetCustomFuncion(uint8_t code)
{
    m_->customFunction = code;
}

uint8_t TVSModbusRTU::Retries() const
{
    return m_->retries;
}

void TVSModbusRTU::SetRetries(uint8_t n)
{
    m_->retries = n;
}

uint32_t TVSModbusRTU::ResponseTimeout() const
{
    return m_->responseTimeout;
}

void TVSModbusRTU::SetResponseTimeout(uint32_t ms)
{
    m_->responseTimeout = ms;
}

void TVSModbusRTU::SetOnModbusPacketEvent(TModbusPacketEvent handler)
{
    m_->onModbusPacket = std::move(handler);
}

void TVSModbusRTU::SetOnCustomPacketEvent(TModbusPacketEvent handler)
{
    m_->onCustomPacket = std::move(handler);
}

TVSRTUresult TVSModbusRTU::ReceiveResult() const
{
    return m_->receiveResult;
}

TVSRTUresult TVSModbusRTU::SendModbusPacket(uint8_t Addr, const uint8_t* Data, uint8_t Size, bool WaitAnswer)
{
    return SendFrame({ Addr }, Data, Size, WaitAnswer);
}

TVSRTUresult TVSModbusRTU::SendCustomPacket(uint8_t Addr, const uint8_t* Data, uint8_t Size, bool WaitAnswer)
{
    return SendFrame({ Addr, m_->customFunction }, Data, Size, WaitAnswer);
}

TVSRTUresult TVSModbusRTU::SendModbusCommand(uint8_t Addr, uint8_t Cmd, bool WaitAnswer)
{
    return SendFrame({ Addr, Cmd }, nullptr, 0, WaitAnswer);
}

TVSRTUresult TVSModbusRTU::SendCustomCommand(uint8_t Addr, uint8_t Cmd, bool WaitAnswer)
{
    return SendFrame({ Addr, m_->customFunction, Cmd }, nullptr, 0, WaitAnswer);
}

TVSRTUresult TVSModbusRTU::SendCmdCustomPacket(
    uint8_t Addr, uint8_t Cmd, const uint8_t* Data, uint16_t Size, bool WaitAnswer)
{
    return SendFrame({ Addr, m_->customFunction, Cmd }, Data, Size, WaitAnswer);
}

TVSRTUresult TVSModbusRTU::SendCmdModbusPacket(
    uint8_t Addr, uint8_t Cmd, const uint8_t* Data, uint16_t Size, bool WaitAnswer)
{
    return SendFrame({ Addr, Cmd }, Data, Size, WaitAnswer);
}

TVSRTUresult TVSModbusRTU::SendFrame(
    std::initializer_list<uint8_t> header, const uint8_t* data, size_t size, bool waitAnswer)
{
    // A frame that would not fit its one-byte length, or a payload that is
    // not there, gets no buffer: nothing is sent and Answer.Result stays.
    const size_t length = header.size() + size + 2;
    if (length > kMaxFrame || (size > 0 && data == nullptr))
        return TVSRTUresult::vsrErrorMem;
    std::array<uint8_t, kMaxFrame> frame;
    std::copy(header.begin(), header.end(), frame.begin());
    if (size > 0)
        std::memcpy(frame.data() + header.size(), data, size);
    const TVSRTUresult result = TransmitFrame(frame.data(), static_cast<uint8_t>(length), waitAnswer);
    Answer.Result = result;
    return result;
}

TVSRTUresult TVSModbusRTU::TransmitFrame(uint8_t* frame, uint8_t length, bool waitAnswer)
{
    Answer.Data = nullptr;
    Answer.Size = 0;
    // Modbus sends the CRC low byte first.
    const uint16_t crc = ModbusCRC16(frame, length - 2u);
    frame[length - 2] = static_cast<uint8_t>(crc & 0xFF);
    frame[length - 1] = static_cast<uint8_t>(crc >> 8);

    TVSRTUresult result = TVSRTUresult::vsrOk;
    uint8_t attempt = 0;
    do {
        m_->answerSignalled = false;
        if (SendBuffer(frame, length) == 0)
            return TVSRTUresult::vsrError;
        if (!waitAnswer)
            return TVSRTUresult::vsrOk;
        // The wait lets the event loop run, polling ticks included, so an
        // answer can end it; a wait that blocked the thread that polls could
        // only ever time out.
        if (loop().waitUntil([this] { return m_->answerSignalled; }, m_->responseTimeout)) {
            if (m_->receiveResult == TVSRTUresult::vsrOk)
                return TVSRTUresult::vsrOk;
            result = m_->receiveResult;
        } else {
            result = TVSRTUresult::vsrErrorTimeOut;
        }
        ++attempt;
    } while (attempt < m_->retries);
    return result;
}

void TVSModbusRTU::CheckReceivedFrame(const uint8_t* data, uint16_t size)
{
    FrameAssembler::Frames frames;
    const TVSRTUresult check = m_->assembler.Feed(data, size, frames);
    if (check != TVSRTUresult::vsrOk) {
        m_->receiveResult = check;
        return;
    }
    if (frames.count == 1) {
        Deliver(frames.at[0].data, frames.at[0].size);
    } else {
        // A handler may let the loop run (a modal window), and a tick inside
        // refills the buffers the frames point into: the rest of them are
        // delivered from a copy.
        std::array<uint8_t, FrameAssembler::kSplitLimit> copy;
        const uint8_t* first = frames.at[0].data;
        const size_t total
            = static_cast<size_t>(frames.at[frames.count - 1].data - first) + frames.at[frames.count - 1].size;
        std::memcpy(copy.data(), first, total);
        // A handler that purged the input (it sent the next request) drops
        // the rest of the chunk, as the purge drops what is still queued.
        const uint32_t flushes = m_->inputFlushes;
        for (size_t i = 0; i < frames.count && Connected() && m_->inputFlushes == flushes; ++i)
            Deliver(copy.data() + (frames.at[i].data - first), frames.at[i].size);
        // Answer.Data must not point into this call's copy once it is gone
        // (a handler that sent a request has cleared it).
        const std::less<const uint8_t*> before;
        if (Answer.Data && !before(Answer.Data, copy.data()) && before(Answer.Data, copy.data() + total))
            Answer.Data = first + (Answer.Data - copy.data());
    }
    m_->receiveResult = TVSRTUresult::vsrOk;
    m_->answerSignalled = true;
}

void TVSModbusRTU::Deliver(const uint8_t* frame, uint16_t size)
{
    // Any frame that passes counts as an answer; the handler decides what it
    // belongs to.
    const bool custom = frame[1] == m_->customFunction;
    const uint8_t* payload = custom ? frame + 1 : frame;
    const auto payloadSize = static_cast<uint16_t>(size - (custom ? 3 : 2));
    Answer.Data = payload;
    Answer.Size = payloadSize;
    Answer.CustomPacket = custom;
    // A copy, so that a handler that replaces itself survives its own call.
    const TModbusPacketEvent handler = custom ? m_->onCustomPacket : m_->onModbusPacket;
    if (handler)
        handler(*this, payload, payloadSize);
}

void TVSModbusRTU::InputFlushed()
{
    ++m_->inputFlushes;
    m_->assembler.Clear();
}

void TVSModbusRTU::QuietTick()
{
    m_->assembler.Clear();
}

} // namespace zor
