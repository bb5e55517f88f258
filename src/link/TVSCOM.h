#pragma once
// The serial port driver under the Modbus master. It keeps the line settings,
// opens the port by name, writes with a time-out and receives by polling: a
// timer fires every PollingDelay milliseconds and hands whatever arrived since
// the previous tick, as one chunk, to OnReceiveData (or cuts it into fixed
// packets for OnReceivePacket). There is no reading thread; the polling period
// is the unit of time in which data reaches the layer above.
//
// Properties follow one pattern: X() reads, SetX(v) writes through the
// setter rules (clamps, re-applying the line settings while open).

#include "link/SerialPort.h"
#include "runtime/EventLoop.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zor {

enum class TBaudRate : uint8_t {
    brCustom,
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000
};
enum class TDataBits : uint8_t { db5BITS, db6BITS, db7BITS, db8BITS };
enum class TStopBits : uint8_t { sb1, sb1HALF, sb2 };
enum class TParity : uint8_t { pNone, pOdd, pEven, pMark, pSpace };
enum class THwFlowControl : uint8_t { hfNONE, hfNONERTSON, hfRTSCTS };
enum class TSwFlowControl : uint8_t { sfNONE, sfXONXOFF };
enum class TPacketMode : uint8_t { pmDiscard, pmPass };
enum TLineStatus : uint8_t { lsCTS, lsDSR, lsRING, lsCD };
using TLineStatusSet = uint8_t; // bit n for TLineStatus n

// The number in the member's name; 0 for brCustom.
uint32_t BaudRateToValue(TBaudRate rate);

class TVSCOM;
using TVSDataEvent = std::function<void(TVSCOM& sender, const uint8_t* data, uint16_t size)>;
using TVSPacketEvent = std::function<void(TVSCOM& sender, const uint8_t* packet, uint16_t dataSize)>;
using TVSLostEvent = std::function<void(TVSCOM& sender)>;

class TVSCOM {
public:
    // The handle value that detaches a port without closing it.
    static constexpr intptr_t kDetachHandle = -2;
    static constexpr intptr_t kInvalidHandle = -1;

    TVSCOM(EventLoop& loop, std::unique_ptr<SerialPort> port);
    virtual ~TVSCOM();
    TVSCOM(const TVSCOM&) = delete;
    TVSCOM& operator=(const TVSCOM&) = delete;

    bool Open();
    void Close();
    bool Connected() const;
    intptr_t Handle() const;
    void SetHandle(intptr_t handle);

    const std::string& PortName() const;
    void SetPortName(const std::string& name);
    TBaudRate BaudRate() const;
    void SetBaudRate(TBaudRate rate);
    uint32_t BaudRateValue() const;
    void SetBaudRateValue(uint32_t value);
    TDataBits DataBits() const;
    void SetDataBits(TDataBits bits);
    TStopBits StopBits() const;
    void SetStopBits(TStopBits bits);
    TParity Parity() const;
    void SetParity(TParity parity);
    THwFlowControl HwFlow() const;
    void SetHwFlow(THwFlowControl flow);
    TSwFlowControl SwFlow() const;
    void SetSwFlow(TSwFlowControl flow);
    uint32_t InBufSize() const;
    void SetInBufSize(uint32_t size);
    uint32_t OutBufSize() const;
    void SetOutBufSize(uint32_t size);
    int16_t PacketSize() const;
    void SetPacketSize(int16_t size);
    int32_t PacketTimeout() const;
    void SetPacketTimeout(int32_t ms);
    TPacketMode PacketMode() const;
    void SetPacketMode(TPacketMode mode);
    uint16_t PollingDelay() const;
    void SetPollingDelay(uint16_t ms);
    // The line settings the port gets at the next open (or has now).
    LineSettings Line() const;
    bool EnableDTROnOpen() const;
    void SetEnableDTROnOpen(bool on);
    uint16_t OutputTimeout() const;
    void SetOutputTimeout(uint16_t ms);
    uint32_t InputTimeout() const;
    void SetInputTimeout(uint32_t ms);
    bool CheckLineStatus() const;
    void SetCheckLineStatus(bool on);
    void SetOnReceiveData(TVSDataEvent handler);
    void SetOnReceivePacket(TVSPacketEvent handler);
    // RS-485 direction switching by the driver, asked for at every open;
    // RS485Active tells whether the driver took it.
    bool RS485Mode() const;
    void SetRS485Mode(bool on);
    bool RS485Active() const;
    // The port hung up or its device went away: the driver has closed it
    // at once, so that no send waits on a dead line, and tells the owner
    // from the event loop right after.
    void SetOnPortLost(TVSLostEvent handler);
    // Why the last open or port operation failed.
    PortError LastError() const;

    // The component's general-purpose number; never used by the driver.
    int32_t Tag() const { return tag_; }
    void SetTag(int32_t tag) { tag_ = tag; }

    TLineStatusSet GetLineStatus();
    bool IsPolling() const;
    void PausePolling();
    void ContinuePolling();
    bool FlushBuffers(bool inBuf, bool outBuf);
    int CountRX();
    uint16_t OutFreeSpace();
    uint32_t SendBuffer(const uint8_t* buf, uint16_t size);
    uint32_t SendDataEx(const uint8_t* data, uint32_t size, uint32_t timeoutMs);
    uint32_t ReadData(uint8_t* data, uint32_t maxSize);
    void ToggleDTR(bool on);
    void ToggleRTS(bool on);
    // Time for count characters at 10 bits each, rounded half to even.
    uint32_t TransmitTimeMs(uint32_t count) const;

protected:
    EventLoop& loop() { return loop_; }
    // Hooks for the layer above: the input queue was purged; a polling tick
    // found the input queue empty (a whole polling period without a byte).
    virtual void InputFlushed() { }
    virtual void QuietTick() { }

private:
    bool ApplyCommState();
    void PollingTick();
    void PollChunk(uint32_t queued);
    void PollPackets(uint32_t queued);
    void StartPolling();
    void StopPolling();
    // Asks the driver for the RS-485 mode ticked, or switches back a mode
    // this link turned on.
    void ApplyRs485();
    // After a failed port operation: a lost port is closed and reported.
    void CheckLoss();

    struct Impl;
    EventLoop& loop_;
    std::unique_ptr<Impl> d_;
    int32_t tag_ = 0;
};

} // namespace zor
