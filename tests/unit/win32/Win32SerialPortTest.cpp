// The Win32 backend against the platform itself: what an open that cannot
// succeed says, and what a closed port answers.

#include "link/Win32SerialPort.h"

#include <gtest/gtest.h>

namespace zor {
namespace {

TEST(Win32SerialPort, AnOpenThatFailsSaysWhyAndLeavesThePortClosed)
{
    const struct {
        const char* name;
        PortError error;
    } cases[] = {
        // No machine has that many ports.
        { "COM250", PortError::NotFound },
        { "\\\\.\\NoSuchDevice", PortError::NotFound },
        // A device that opens but has no control block is no serial port.
        { "NUL", PortError::NotATerminal },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Win32SerialPort port;
        EXPECT_FALSE(port.open(c.name));
        EXPECT_FALSE(port.isOpen());
        EXPECT_EQ(port.handle(), -1);
        EXPECT_EQ(port.lastError(), c.error);
    }
}

TEST(Win32SerialPort, AClosedPortAnswersWithItsNeutralValues)
{
    Win32SerialPort port;
    uint8_t buf[4] = {};
    uint32_t in = 7;
    uint32_t out = 7;
    uint8_t lines = 0;
    EXPECT_FALSE(port.applySettings(LineSettings {}));
    EXPECT_FALSE(port.setQueueSizes(2048, 2048));
    EXPECT_FALSE(port.queueStatus(in, out));
    EXPECT_EQ(port.read(buf, sizeof buf), -1);
    EXPECT_EQ(port.write(buf, sizeof buf), -1);
    EXPECT_FALSE(port.purge(true, true));
    EXPECT_FALSE(port.modemStatus(lines));
    EXPECT_FALSE(port.setDtr(true));
    EXPECT_FALSE(port.setRts(false));
    EXPECT_FALSE(port.enableRs485());
    // A closed port is not a lost one: nothing may start the return of a
    // port that was never open.
    EXPECT_EQ(port.lastError(), PortError::Io);
}

TEST(Win32SerialPort, OnlyALiveHandleIsTakenOver)
{
    Win32SerialPort port;
    EXPECT_FALSE(port.attach(-1));
    EXPECT_FALSE(port.attach(0));
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.lastError(), PortError::Io);

    const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);
    EXPECT_TRUE(port.attach(reinterpret_cast<intptr_t>(event)));
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(port.handle(), reinterpret_cast<intptr_t>(event));
    // Detached, the handle is the caller's again and still works.
    port.detach();
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(SetEvent(event));
    CloseHandle(event);
}

} // namespace
} // namespace zor
