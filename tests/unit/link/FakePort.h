#pragma once
// A scripted serial port for the driver's tests: the test fills its input
// queue, sets its output queue and makes any operation fail; it records what
// the driver did. A blocked write or read lets virtual time pass, as a
// blocked thread would.

#include "link/SerialPort.h"
#include "runtime/VirtualLoop.h"

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

namespace zor::test {

class FakePort final : public SerialPort {
public:
    explicit FakePort(VirtualLoop& loop)
        : loop_(loop)
    {
    }

    // Script.
    std::string existing = "COM1";
    bool applyOk = true;
    bool queueSizesOk = true;
    bool statusOk = true;
    bool modemOk = true;
    bool purgeOk = true;
    std::deque<uint8_t> in;
    uint32_t outQueued = 0;
    bool drains = true; // otherwise written bytes stay in the output queue
    uint8_t lines = 0;
    // The adapter pulled out: every operation on the open port fails as a
    // lost one; or only writes do.
    bool lost = false;
    bool writeLost = false;
    bool rs485Ok = false;

    // Record.
    std::vector<uint8_t> written;
    std::vector<std::vector<uint8_t>> writes;
    std::vector<LineSettings> applied;
    int purges = 0;
    int closes = 0;
    std::vector<bool> dtr;
    std::vector<bool> rts;
    int rs485Requests = 0;
    // The driver's RS-485 mode, kept across closing as a driver keeps it.
    bool rs485On = false;

    bool open(const std::string& name) override
    {
        if (open_ || name != existing)
            return false;
        open_ = true;
        handle_ = 3;
        return true;
    }
    void close() override
    {
        if (open_)
            ++closes;
        open_ = false;
    }
    bool isOpen() const override { return open_; }
    bool attach(intptr_t handle) override
    {
        if (handle < 0)
            return false;
        open_ = true;
        handle_ = handle;
        return true;
    }
    void detach() override { open_ = false; }
    intptr_t handle() const override { return open_ ? handle_ : -1; }

    bool applySettings(const LineSettings& s) override
    {
        applied.push_back(s);
        return open_ && applyOk;
    }
    bool setQueueSizes(uint32_t, uint32_t) override { return open_ && queueSizesOk; }
    bool queueStatus(uint32_t& inQueue, uint32_t& outQueue) override
    {
        if (!open_ || !statusOk || lost)
            return false;
        inQueue = static_cast<uint32_t>(in.size());
        outQueue = outQueued;
        return true;
    }
    long read(uint8_t* buf, size_t n) override
    {
        if (lost)
            return -1;
        const size_t count = std::min(n, in.size());
        std::copy_n(in.begin(), count, buf);
        in.erase(in.begin(), in.begin() + static_cast<std::ptrdiff_t>(count));
        return static_cast<long>(count);
    }
    long write(const uint8_t* buf, size_t n) override
    {
        if (lost || writeLost)
            return -1;
        written.insert(written.end(), buf, buf + n);
        writes.emplace_back(buf, buf + n);
        if (!drains)
            outQueued += static_cast<uint32_t>(n);
        return static_cast<long>(n);
    }
    bool purge(bool input, bool output) override
    {
        if (!open_ || !purgeOk || lost)
            return false;
        ++purges;
        if (input)
            in.clear();
        if (output)
            outQueued = 0;
        return true;
    }
    bool modemStatus(uint8_t& l) override
    {
        if (!open_ || !modemOk)
            return false;
        l = lines;
        return true;
    }
    bool setDtr(bool on) override
    {
        dtr.push_back(on);
        return open_;
    }
    bool setRts(bool on) override
    {
        rts.push_back(on);
        return open_;
    }
    bool enableRs485() override
    {
        ++rs485Requests;
        if (open_ && rs485Ok)
            rs485On = true;
        return open_ && rs485Ok;
    }
    bool disableRs485() override
    {
        ++rs485Requests;
        if (open_ && rs485Ok)
            rs485On = false;
        return open_ && rs485Ok;
    }
    PortError lastError() const override { return lost || writeLost ? PortError::Lost : PortError::Other; }

    void waitWritable(uint32_t ms) override { loop_.setNow(loop_.now() + std::min<uint32_t>(ms, 10)); }
    void waitReadable(uint32_t ms) override { loop_.setNow(loop_.now() + std::min<uint32_t>(ms, 10)); }

    void feed(std::initializer_list<uint8_t> bytes) { in.insert(in.end(), bytes); }

private:
    VirtualLoop& loop_;
    bool open_ = false;
    intptr_t handle_ = -1;
};

} // namespace zor::test
