#include "link/TVSCOM.h"

#include "link/LineEnums.h"

#include <algorithm>
#include <optional>

namespace zor {

namespace {

constexpr uint32_t kMinQueue = 128;
constexpr uint32_t kMaxQueue = 8192;
constexpr uint16_t kMinPollingDelay = 5;
// The shortest silence after which kept bytes of an answer are given up.
constexpr uint32_t kQuietGapMs = 50;
constexpr uint32_t kMaxXonXoffLimit = 4096;

uint32_t clampQueue(uint32_t size)
{
    return std::clamp(size, kMinQueue, kMaxQueue);
}

// How long a loop that has been idle for `idle` ms may still block before it
// passes its time-out of `timeout` ms.
uint32_t waitBound(uint32_t timeout, uint32_t idle)
{
    return static_cast<uint32_t>(std::min<uint64_t>(uint64_t { timeout } - idle + 1, UINT32_MAX));
}

} // namespace

uint32_t BaudRateToValue(TBaudRate rate)
{
    static constexpr uint32_t kValues[]
        = { 0, 110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000 };
    const auto i = static_cast<size_t>(rate);
    return i < std::size(kValues) ? kValues[i] : 0;
}

struct TVSCOM::Impl {
    std::unique_ptr<SerialPort> port;
    std::unique_ptr<Timer> timer;

    std::string portName = "COM1";
    TBaudRate baudRate = TBaudRate::br9600;
    uint32_t baudRateValue = 9600;
    TDataBits dataBits = TDataBits::db8BITS;
    TStopBits stopBits = TStopBits::sb1;
    TParity parity = TParity::pNone;
    THwFlowControl hwFlow = THwFlowControl::hfNONERTSON;
    TSwFlowControl swFlow = TSwFlowControl::sfNONE;
    uint32_t inBufSize = 2048;
    uint32_t outBufSize = 2048;
    int16_t packetSize = -1;
    int32_t packetTimeout = -1;
    TPacketMode packetMode = TPacketMode::pmDiscard;
    uint16_t pollingDelay = 50;
    bool enableDTROnOpen = true;
    uint16_t outputTimeout = 500;
    uint32_t inputTimeout = 200;
    bool checkLineStatus = false;
    TVSDataEvent onReceiveData;
    TVSPacketEvent onReceivePacket;
    bool rs485Mode = false;
    bool rs485Active = false;
    // The port whose driver this link switched to RS-485 mode: only that
    // one is switched back when the mode is unticked (a driver set up for
    // RS-485 by the system keeps its own mode).
    std::string rs485Port;
    TVSLostEvent onPortLost;
    // Ends with the driver, so that a loss reported late finds it gone.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);

    // Allocated here and on InBufSize changes only; every tick reuses it.
    std::vector<uint8_t> inBuffer = std::vector<uint8_t>(2048, 0);
    // Unset is a state of its own rather than a tick value that the clock
    // could also show.
    std::optional<uint32_t> firstByteOfPacketTime;
    int32_t pollingPauses = 0;
    // When the last chunk arrived (tick count).
    uint32_t lastBytesAt = 0;

    void allocate(uint32_t size)
    {
        inBufSize = size;
        inBuffer.assign(size, 0);
    }
};

TVSCOM::TVSCOM(EventLoop& loop, std::unique_ptr<SerialPort> port)
    : loop_(loop)
    , d_(std::make_unique<Impl>())
{
    d_->port = std::move(port);
    d_->timer = loop_.createTimer();
    d_->timer->setInterval(d_->pollingDelay);
    d_->timer->setHandler([this] { PollingTick(); });
}

TVSCOM::~TVSCOM()
{
    Close();
}

bool TVSCOM::Open()
{
    if (Connected())
        return true;
    if (!d_->port->open(d_->portName))
        return false;
    if (!ApplyCommState()) {
        Close();
        return false;
    }
    ApplyRs485();
    // The backends never block on a read and give up a write at once when
    // the queue is full, which is what the short platform time-outs are for;
    // the longer waits are this driver's own loops.
    StartPolling();
    return true;
}

void TVSCOM::Close()
{
    if (!Connected())
        return;
    StopPolling();
    d_->port->close();
}

bool TVSCOM::Connected() const
{
    return d_->port->isOpen();
}

intptr_t TVSCOM::Handle() const
{
    return Connected() ? d_->port->handle() : kInvalidHandle;
}

void TVSCOM::SetHandle(intptr_t handle)
{
    if (handle == Handle())
        return;
    if (handle == kDetachHandle) {
        if (Connected()) {
            StopPolling();
            d_->port->detach();
        }
        return;
    }
    Close();
    // An attached handle keeps the settings it came with.
    if (handle != kInvalidHandle && d_->port->attach(handle))
        StartPolling();
}

void TVSCOM::StartPolling()
{
    d_->timer->setInterval(d_->pollingDelay);
    d_->timer->setEnabled(true);
}

void TVSCOM::StopPolling()
{
    d_->timer->setEnabled(false);
}

void TVSCOM::CheckLoss()
{
    if (!Connected() || d_->port->lastError() != PortError::Lost)
        return;
    Close();
    if (!d_->onPortLost)
        return;
    // Told from the loop, not from inside the operation that failed: a
    // send deep in a handler must not run the owner's loss handling in its
    // middle.
    loop_.callLater(0, [this, alive = std::weak_ptr<bool>(d_->alive)] {
        if (alive.expired() || !d_->onPortLost)
            return;
        const TVSLostEvent handler = d_->onPortLost;
        handler(*this);
    });
}

LineSettings TVSCOM::Line() const
{
    LineSettings s;
    s.baud = d_->baudRateValue;
    s.dataBits = static_cast<uint8_t>(static_cast<uint8_t>(d_->dataBits) + 5);
    s.parity = ToParityKind(d_->parity);
    s.stopBits = ToStopBitsKind(d_->stopBits);
    switch (d_->hwFlow) {
    case THwFlowControl::hfNONE:
        s.rts = RtsMode::Low;
        break;
    case THwFlowControl::hfNONERTSON:
        s.rts = RtsMode::High;
        break;
    case THwFlowControl::hfRTSCTS:
        s.rts = RtsMode::Handshake;
        break;
    }
    s.xonXoff = d_->swFlow == TSwFlowControl::sfXONXOFF;
    s.dtrOn = d_->enableDTROnOpen;
    s.xonLimit = s.xoffLimit = static_cast<uint16_t>(std::min(d_->inBufSize / 4, kMaxXonXoffLimit));
    return s;
}

bool TVSCOM::ApplyCommState()
{
    if (!Connected())
        return false;
    if (!d_->port->applySettings(Line()))
        return false;
    if (!FlushBuffers(true, true))
        return false;
    return d_->port->setQueueSizes(d_->inBufSize, d_->outBufSize);
}

void TVSCOM::PollingTick()
{
    if (!Connected() || d_->pollingPauses > 0)
        return;
    uint32_t inQueue = 0;
    uint32_t outQueue = 0;
    // Clears a pending line error too; framing and parity errors are not
    // reported.
    if (!d_->port->queueStatus(inQueue, outQueue)) {
        CheckLoss();
        return;
    }
    if (d_->packetSize <= 0)
        PollChunk(inQueue);
    else
        PollPackets(inQueue);
}

void TVSCOM::PollChunk(uint32_t queued)
{
    const uint32_t now = loop_.tickCount();
    if (queued == 0) {
        // Quiet for a whole polling period, and never less than an adapter
        // may hold back the rest of an answer (a USB adapter sends what it
        // has every few milliseconds): what is kept cannot be finished.
        if (now - d_->lastBytesAt >= std::max<uint32_t>(d_->pollingDelay, kQuietGapMs))
            QuietTick();
        return;
    }
    d_->lastBytesAt = now;
    // Bytes beyond the buffer stay queued for the next tick.
    const size_t want = std::min<size_t>(queued, d_->inBuffer.size());
    const long got = d_->port->read(d_->inBuffer.data(), want);
    if (got < 0)
        CheckLoss();
    if (got >= 1 && d_->onReceiveData) {
        // A copy, so that a handler that replaces itself does not destroy
        // the callable it runs in.
        const TVSDataEvent handler = d_->onReceiveData;
        handler(*this, d_->inBuffer.data(), static_cast<uint16_t>(got));
    }
}

void TVSCOM::PollPackets(uint32_t queued)
{
    const auto size = static_cast<uint32_t>(d_->packetSize);
    const uint32_t now = loop_.tickCount();
    if (queued >= size) {
        while (queued >= size) {
            const long got = d_->port->read(d_->inBuffer.data(), size);
            if (got < 0)
                CheckLoss();
            if (got >= 1 && d_->onReceivePacket) {
                const TVSPacketEvent handler = d_->onReceivePacket;
                handler(*this, d_->inBuffer.data(), static_cast<uint16_t>(got));
            }
            if (!Connected() || d_->packetSize <= 0)
                return;
            // Whole packets taken before any partial one was seen: the
            // remainder is timed from this tick.
            const uint32_t base = d_->firstByteOfPacketTime.value_or(now);
            d_->firstByteOfPacketTime = base + TransmitTimeMs(size);
            queued -= size;
            if (queued == 0)
                d_->firstByteOfPacketTime.reset();
        }
        return;
    }
    // The stamp may lie a little ahead of the clock after whole packets were
    // counted forward, so the age is a signed difference.
    const auto& first = d_->firstByteOfPacketTime;
    if (d_->packetTimeout > 0 && first && static_cast<int32_t>(now - *first) > d_->packetTimeout) {
        const long got = d_->port->read(d_->inBuffer.data(), queued);
        if (got < 0)
            CheckLoss();
        if (got >= 1 && d_->packetMode == TPacketMode::pmPass && d_->onReceivePacket) {
            const TVSPacketEvent handler = d_->onReceivePacket;
            handler(*this, d_->inBuffer.data(), static_cast<uint16_t>(got));
        }
        d_->firstByteOfPacketTime.reset();
        return;
    }
    if (queued > 0 && !first)
        d_->firstByteOfPacketTime = now;
}

const std::string& TVSCOM::PortName() const
{
    return d_->portName;
}

void TVSCOM::SetPortName(const std::string& name)
{
    if (!Connected())
        d_->portName = name;
}

TBaudRate TVSCOM::BaudRate() const
{
    return d_->baudRate;
}

void TVSCOM::SetBaudRate(TBaudRate rate)
{
    d_->baudRate = rate;
    if (rate != TBaudRate::brCustom)
        d_->baudRateValue = BaudRateToValue(rate);
    ApplyCommState();
}

uint32_t TVSCOM::BaudRateValue() const
{
    return d_->baudRateValue;
}

void TVSCOM::SetBaudRateValue(uint32_t value)
{
    d_->baudRate = TBaudRate::brCustom;
    d_->baudRateValue = value;
    ApplyCommState();
}

TDataBits TVSCOM::DataBits() const
{
    return d_->dataBits;
}

void TVSCOM::SetDataBits(TDataBits bits)
{
    d_->dataBits = bits;
    ApplyCommState();
}

TStopBits TVSCOM::StopBits() const
{
    return d_->stopBits;
}

void TVSCOM::SetStopBits(TStopBits bits)
{
    d_->stopBits = bits;
    ApplyCommState();
}

TParity TVSCOM::Parity() const
{
    return d_->parity;
}

void TVSCOM::SetParity(TParity parity)
{
    d_->parity = parity;
    ApplyCommState();
}

THwFlowControl TVSCOM::HwFlow() const
{
    return d_->hwFlow;
}

void TVSCOM::SetHwFlow(THwFlowControl flow)
{
    d_->hwFlow = flow;
    ApplyCommState();
}

TSwFlowControl TVSCOM::SwFlow() const
{
    return d_->swFlow;
}

void TVSCOM::SetSwFlow(TSwFlowControl flow)
{
    d_->swFlow = flow;
    ApplyCommState();
}

uint32_t TVSCOM::InBufSize() const
{
    return d_->inBufSize;
}

void TVSCOM::SetInBufSize(uint32_t size)
{
    if (Connected())
        return;
    d_->allocate(clampQueue(size));
    SetPacketSize(d_->packetSize);
}

uint32_t TVSCOM::OutBufSize() const
{
    return d_->outBufSize;
}

void TVSCOM::SetOutBufSize(uint32_t size)
{
    if (!Connected())
        d_->outBufSize = clampQueue(size);
}

int16_t TVSCOM::PacketSize() const
{
    return d_->packetSize;
}

void TVSCOM::SetPacketSize(int16_t size)
{
    if (size <= 0) {
        d_->packetSize = -1;
        return;
    }
    const auto wanted = static_cast<uint32_t>(size);
    if (wanted > d_->inBufSize && !Connected())
        d_->allocate(clampQueue(wanted));
    // A packet is read into the receive buffer whole, so it never exceeds
    // it, whatever the caller asks for while the buffer cannot grow.
    d_->packetSize = static_cast<int16_t>(std::min(wanted, d_->inBufSize));
}

int32_t TVSCOM::PacketTimeout() const
{
    return d_->packetTimeout;
}

void TVSCOM::SetPacketTimeout(int32_t ms)
{
    const int32_t delay = d_->pollingDelay;
    if (ms <= 0)
        d_->packetTimeout = -1;
    else if (ms < delay)
        d_->packetTimeout = delay + delay * 40 / 100;
    else
        d_->packetTimeout = ms;
}

TPacketMode TVSCOM::PacketMode() const
{
    return d_->packetMode;
}

void TVSCOM::SetPacketMode(TPacketMode mode)
{
    d_->packetMode = mode;
}

uint16_t TVSCOM::PollingDelay() const
{
    return d_->pollingDelay;
}

void TVSCOM::SetPollingDelay(uint16_t ms)
{
    ms = std::max(ms, kMinPollingDelay);
    if (ms == d_->pollingDelay)
        return;
    StopPolling();
    d_->pollingDelay = ms;
    if (Connected())
        StartPolling();
    SetPacketTimeout(d_->packetTimeout);
}

bool TVSCOM::EnableDTROnOpen() const
{
    return d_->enableDTROnOpen;
}

void TVSCOM::SetEnableDTROnOpen(bool on)
{
    d_->enableDTROnOpen = on;
}

uint16_t TVSCOM::OutputTimeout() const
{
    return d_->outputTimeout;
}

void TVSCOM::SetOutputTimeout(uint16_t ms)
{
    d_->outputTimeout = ms;
}

uint32_t TVSCOM::InputTimeout() const
{
    return d_->inputTimeout;
}

void TVSCOM::SetInputTimeout(uint32_t ms)
{
    d_->inputTimeout = ms;
}

bool TVSCOM::CheckLineStatus() const
{
    return d_->checkLineStatus;
}

void TVSCOM::SetCheckLineStatus(bool on)
{
    d_->checkLineStatus = on;
}

void TVSCOM::SetOnReceiveData(TVSDataEvent handler)
{
    d_->onReceiveData = std::move(handler);
}

void TVSCOM::SetOnReceivePacket(TVSPacketEvent handler)
{
    d_->onReceivePacket = std::move(handler);
}

bool TVSCOM::RS485Mode() const
{
    return d_->rs485Mode;
}

void TVSCOM::SetRS485Mode(bool on)
{
    d_->rs485Mode = on;
    if (Connected())
        ApplyRs485();
}

void TVSCOM::ApplyRs485()
{
    d_->rs485Active = false;
    if (d_->rs485Mode) {
        d_->rs485Active = d_->port->enableRs485();
        if (d_->rs485Active)
            d_->rs485Port = d_->portName;
    } else if (d_->rs485Port == d_->portName && d_->port->disableRs485()) {
        d_->rs485Port.clear();
    }
}

bool TVSCOM::RS485Active() const
{
    return Connected() && d_->rs485Active;
}

void TVSCOM::SetOnPortLost(TVSLostEvent handler)
{
    d_->onPortLost = std::move(handler);
}

PortError TVSCOM::LastError() const
{
    return d_->port->lastError();
}

TLineStatusSet TVSCOM::GetLineStatus()
{
    uint8_t lines = 0;
    if (!Connected() || !d_->port->modemStatus(lines))
        return 0;
    // The backends number the lines as TLineStatus does.
    return static_cast<TLineStatusSet>(lines & (kLineCTS | kLineDSR | kLineRING | kLineCD));
}

bool TVSCOM::IsPolling() const
{
    return d_->pollingPauses <= 0;
}

void TVSCOM::PausePolling()
{
    ++d_->pollingPauses;
}

void TVSCOM::ContinuePolling()
{
    --d_->pollingPauses;
}

bool TVSCOM::FlushBuffers(bool inBuf, bool outBuf)
{
    if (!Connected())
        return false;
    if (!d_->port->purge(inBuf, outBuf)) {
        CheckLoss();
        return false;
    }
    d_->firstByteOfPacketTime.reset();
    if (inBuf)
        InputFlushed();
    return true;
}

int TVSCOM::CountRX()
{
    if (!Connected())
        return 65535;
    uint32_t inQueue = 0;
    uint32_t outQueue = 0;
    if (!d_->port->queueStatus(inQueue, outQueue)) {
        CheckLoss();
        return 0;
    }
    return static_cast<int>(inQueue);
}

uint16_t TVSCOM::OutFreeSpace()
{
    if (!Connected())
        return 65535;
    uint32_t inQueue = 0;
    uint32_t outQueue = 0;
    if (!d_->port->queueStatus(inQueue, outQueue)) {
        CheckLoss();
        return 0;
    }
    return static_cast<uint16_t>(d_->outBufSize - outQueue);
}

uint32_t TVSCOM::SendBuffer(const uint8_t* buf, uint16_t size)
{
    return SendDataEx(buf, size, d_->outputTimeout);
}

uint32_t TVSCOM::SendDataEx(const uint8_t* data, uint32_t size, uint32_t timeoutMs)
{
    if (!Connected())
        return 0;
    uint32_t written = 0;
    uint32_t lastProgress = loop_.tickCount();
    // No events run while this loop writes; the time-out bounds the time
    // without progress, not the whole write.
    while (written < size) {
        const uint16_t space = OutFreeSpace();
        long taken = 0;
        if (space > 0) {
            if (d_->checkLineStatus && GetLineStatus() == 0)
                break;
            taken = d_->port->write(data + written, std::min<uint32_t>(size - written, space));
            if (taken < 0)
                CheckLoss();
        }
        // A lost port is closed by now: nothing more can go out.
        if (!Connected())
            break;
        if (taken > 0) {
            written += static_cast<uint32_t>(taken);
            lastProgress = loop_.tickCount();
            continue;
        }
        const uint32_t idle = loop_.tickCount() - lastProgress;
        if (idle > timeoutMs)
            break;
        d_->port->waitWritable(waitBound(timeoutMs, idle));
    }
    return written;
}

uint32_t TVSCOM::ReadData(uint8_t* data, uint32_t maxSize)
{
    if (!Connected())
        return 0;
    // A tick must not take the bytes this read waits for.
    PausePolling();
    uint32_t got = 0;
    uint32_t lastProgress = loop_.tickCount();
    while (got < maxSize) {
        uint32_t inQueue = 0;
        uint32_t outQueue = 0;
        const bool status = d_->port->queueStatus(inQueue, outQueue);
        const long n = status && inQueue > 0 ? d_->port->read(data + got, std::min(maxSize - got, inQueue)) : 0;
        if (n > 0) {
            got += static_cast<uint32_t>(n);
            lastProgress = loop_.tickCount();
            continue;
        }
        if (!status || n < 0)
            CheckLoss();
        if (!Connected())
            break;
        const uint32_t idle = loop_.tickCount() - lastProgress;
        if (idle > d_->inputTimeout)
            break;
        d_->port->waitReadable(waitBound(d_->inputTimeout, idle));
    }
    ContinuePolling();
    return got;
}

void TVSCOM::ToggleDTR(bool on)
{
    if (Connected())
        d_->port->setDtr(on);
}

void TVSCOM::ToggleRTS(bool on)
{
    if (Connected())
        d_->port->setRts(on);
}

uint32_t TVSCOM::TransmitTimeMs(uint32_t count) const
{
    // count / (rate / 10) seconds, at 10 bits a character, rounded half to
    // even; exact in integers.
    const uint64_t den = d_->baudRateValue;
    if (den == 0)
        return 0;
    const uint64_t num = static_cast<uint64_t>(count) * 10000;
    uint64_t q = num / den;
    const uint64_t twiceRest = 2 * (num % den);
    if (twiceRest > den || (twiceRest == den && (q & 1)))
        ++q;
    return static_cast<uint32_t>(std::min<uint64_t>(q, UINT32_MAX));
}

} // namespace zor
