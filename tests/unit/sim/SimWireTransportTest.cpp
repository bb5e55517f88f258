// A simulated bus at the far end of the in-memory wire, spoken to by the
// Modbus master through its driver, in virtual time.

#include "sim/SimWireTransport.h"
#include "SimHarness.h"
#include "link/MemoryWire.h"

#include <gtest/gtest.h>

namespace zor::test {
namespace {

class SimOnWire : public ::testing::Test {
protected:
    SimOnWire()
    {
        bus.add(SimModel::Zor11, 5).gas(24);
        bus.add(SimModel::Zor13, 9).line(9600, ParityKind::None);
        modbus.SetOnModbusPacketEvent([this](TVSModbusRTU&, const uint8_t* data, uint16_t size) {
            answers.push_back({ loop.now(), hexOf({ data, data + size }) });
        });
        modbus.SetPollingDelay(500);
    }

    // Sends function 3 of registers 14..14 to the address with the master
    // at the given settings, and lets a second pass.
    void readVersion(uint8_t address, uint32_t baud, TParity parity)
    {
        modbus.SetBaudRateValue(baud);
        modbus.SetParity(parity);
        if (!modbus.Connected()) {
            ASSERT_TRUE(modbus.Open());
        }
        const uint8_t data[] = { 0x00, 0x0E, 0x00, 0x01 };
        modbus.SendCmdModbusPacket(address, 3, data, sizeof data, false);
        loop.advance(1000);
    }

    struct Answer {
        uint64_t at;
        std::string bytes;
    };
    VirtualLoop loop;
    MemoryWire wire { loop };
    SimBus bus { loop };
    SimWireTransport transport { bus, wire };
    TVSModbusRTU modbus { loop, wire.masterPort() };
    std::vector<Answer> answers;
};

TEST_F(SimOnWire, DetectorsAnswerTheMasterAtTheirOwnLineSettings)
{
    struct Case {
        uint8_t address;
        uint32_t baud;
        TParity parity;
        const char* answer; // "" for none
    };
    const Case cases[] = {
        { 5, 19200, TParity::pEven, "05 03 02 06 10" },
        { 9, 19200, TParity::pEven, "" },
        { 9, 9600, TParity::pNone, "09 03 02 06 A8" },
        { 5, 9600, TParity::pNone, "" },
        { 5, 19200, TParity::pOdd, "" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.address));
        answers.clear();
        readVersion(c.address, c.baud, c.parity);
        if (*c.answer) {
            ASSERT_EQ(answers.size(), 1u);
            EXPECT_EQ(answers[0].bytes, c.answer);
        } else {
            EXPECT_TRUE(answers.empty());
        }
    }
}

TEST_F(SimOnWire, TheAnswerArrivesWithWireTimeAndTurnaround)
{
    // The request takes 8 x 11 bits at 19200 baud (4.6 ms), the turnaround 5
    // ms and the answer 7 x 11 bits (4.0 ms): the tick at 500 ms delivers it.
    readVersion(5, 19200, TParity::pEven);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].at, 500u);
    bus.detector(5).delayAnswer(600);
    answers.clear();
    readVersion(5, 19200, TParity::pEven);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].at, 2000u);
}

} // namespace
} // namespace zor::test
