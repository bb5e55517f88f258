#pragma once
// The Modbus RTU master: builds request frames with their CRC, checks every
// chunk the driver delivers (length, CRC) and raises the packet events. The
// main window sends everything without waiting and takes answers from
// OnModbusPacketEvent.

#include "link/TVSCOM.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>

namespace zor {

enum class TVSRTUresult : uint8_t {
    vsrOk,
    vsrError,
    vsrErrorMem,
    vsrErrorTimeOut,
    vsrErrorAnswer,
    vsrErrorCRC,
    vsrErrorSize
};

struct TVSModbusAnswer {
    const uint8_t* Data = nullptr;
    uint16_t Size = 0;
    bool CustomPacket = false;
    TVSRTUresult Result = TVSRTUresult::vsrOk;
};

class TVSModbusRTU;
using TModbusPacketEvent = std::function<void(TVSModbusRTU& sender, const uint8_t* data, uint16_t size)>;

// CRC-16/MODBUS over n >= 1 bytes; goes into a frame low byte first.
uint16_t ModbusCRC16(const uint8_t* data, size_t n);
// The CRC of the bytes so far (0xFFFF before the first) with one more byte.
uint16_t ModbusCRC16Add(uint16_t crc, uint8_t byte);

class TVSModbusRTU : public TVSCOM {
public:
    TVSModbusRTU(EventLoop& loop, std::unique_ptr<SerialPort> port);
    ~TVSModbusRTU() override;

    uint8_t CustomFuncion() const;
    void SetCustomFuncion(uint8_t code);
    uint8_t Retries() const;
    void SetRetries(uint8_t n);
    uint32_t ResponseTimeout() const;
    void SetResponseTimeout(uint32_t ms);
    void SetOnModbusPacketEvent(TModbusPacketEvent handler);
    void SetOnCustomPacketEvent(TModbusPacketEvent handler);

    TVSModbusAnswer Answer;

    TVSRTUresult SendModbusPacket(uint8_t Addr, const uint8_t* Data, uint8_t Size, bool WaitAnswer);
    TVSRTUresult SendCustomPacket(uint8_t Addr, const uint8_t* Data, uint8_t Size, bool WaitAnswer);
    TVSRTUresult SendModbusCommand(uint8_t Addr, uint8_t Cmd, bool WaitAnswer);
    TVSRTUresult SendCustomCommand(uint8_t Addr, uint8_t Cmd, bool WaitAnswer);
    TVSRTUresult SendCmdCustomPacket(uint8_t Addr, uint8_t Cmd, const uint8_t* Data, uint16_t Size, bool WaitAnswer);
    TVSRTUresult SendCmdModbusPacket(uint8_t Addr, uint8_t Cmd, const uint8_t* Data, uint16_t Size, bool WaitAnswer);

    // The outcome of the last chunk check.
    TVSRTUresult ReceiveResult() const;

protected:
    void InputFlushed() override;
    void QuietTick() override;

private:
    struct Impl;
    // header: the bytes before the payload; the frame gets its CRC appended.
    TVSRTUresult SendFrame(std::initializer_list<uint8_t> header, const uint8_t* data, size_t size, bool waitAnswer);
    TVSRTUresult TransmitFrame(uint8_t* frame, uint8_t length, bool waitAnswer);
    void CheckReceivedFrame(const uint8_t* data, uint16_t size);
    // Raises the packet event of one accepted frame.
    void Deliver(const uint8_t* frame, uint16_t size);

    std::unique_ptr<Impl> m_;
};

} // namespace zor
