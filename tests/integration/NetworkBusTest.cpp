// The main window's logic on a bus reached over TCP, in real time: through a
// serial device server (RTU over TCP) and a Modbus TCP gateway the search, a
// read cycle and a settings write leave the same exchange log as on a
// pseudo-terminal; a server that goes away in the middle of reading is a
// lost port that comes back with it; a refused connection is explained.
// The far ends are zor-sim's own transports. Every wait is bounded.

#include "app/TFormMain.h"
#include "link/NetworkName.h"
#include "link/PortByName.h"
#include "link/PosixSerialPort.h"
#include "link/TcpPort.h"
#include "sim/PollLoop.h"
#include "sim/PtyTransport.h"
#include "sim/SimBus.h"
#include "sim/SimDetector.h"
#include "sim/TcpTransport.h"
#include "unit/app/AppFixture.h"

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <unistd.h>

namespace zor::test {
namespace {

constexpr uint32_t kWaitMs = 8000;

enum class Way { Pty, RtuOverTcp, ModbusTcp };

LineSettings BusLine()
{
    LineSettings line;
    line.baud = 19200;
    line.parity = ParityKind::Even;
    return line;
}

// The simulated bus behind one way of reaching it; name() is what the tool
// opens it by.
class FarEnd {
public:
    FarEnd(PollLoop& loop, SimBus& bus, Way way, uint16_t port = 0)
        : loop_(loop)
    {
        std::string error;
        if (way == Way::Pty) {
            pty_ = std::make_unique<PtyTransport>(bus);
            ok_ = pty_->open(error);
            name_ = pty_->slavePath();
            loop_.watch(pty_->fd(), [this] { pty_->onReadable(); });
        } else {
            const NetworkMode mode = way == Way::ModbusTcp ? NetworkMode::ModbusTcp : NetworkMode::RtuOverTcp;
            tcp_ = std::make_unique<TcpTransport>(bus, loop, mode, BusLine());
            ok_ = tcp_->listen("127.0.0.1", port, error);
            name_ = NetworkName({ mode, "127.0.0.1", tcp_->port() });
        }
        EXPECT_TRUE(ok_) << error;
    }
    ~FarEnd()
    {
        if (pty_)
            loop_.unwatch(pty_->fd());
    }
    bool ok() const { return ok_; }
    const std::string& name() const { return name_; }
    uint16_t port() const { return tcp_ ? tcp_->port() : 0; }

private:
    PollLoop& loop_;
    std::unique_ptr<PtyTransport> pty_;
    std::unique_ptr<TcpTransport> tcp_;
    std::string name_;
    bool ok_ = false;
};

class NetworkBus : public ::testing::Test {
protected:
    void start(Way way, uint16_t port = 0)
    {
        form.reset();
        far.reset();
        bus = std::make_unique<SimBus>(loop);
        bus->add(SimModel::Zor10, 1).serial(6100001).gas(1).version(204);
        far = std::make_unique<FarEnd>(loop, *bus, way, port);
        ASSERT_TRUE(far->ok());
        form = std::make_unique<TFormMain>(TFormMain::Platform { loop, dialogs, windows,
            std::make_unique<PortByName>(std::make_unique<PosixSerialPort>(), std::make_unique<TcpPort>()),
            std::make_unique<FixedPorts>(ports::PlatformPorts {}), ',' });
        windows.form = form.get();
        form->FormCreate();
        form->UsePort(far->name(), "");
    }
    bool waitFor(const std::function<bool()>& done) { return loop.waitUntil(done, kWaitMs); }
    bool logged(const std::string& line) const { return form->Log.Text().find(line) != std::string::npos; }
    void selectAndRead()
    {
        form->DevTreeMouseDown(MouseButton::Left, form->DevTree.roots().front()->children().front().get());
        form->ActRenewExecute();
        ASSERT_TRUE(waitFor([&] { return form->Panel.DevPanel.enabled() && !form->Panel.NoAnswer.on(); }));
    }
    // The search of addresses 1..3, a read cycle and a settings write; the
    // log without the lines that name the port.
    std::vector<std::string> exchange()
    {
        SearchPlan plan;
        plan.last = 3;
        plan.probeMs = 200;
        form->SetFindPlan(plan);
        form->ActFindExecute();
        EXPECT_TRUE(waitFor([&] { return !form->Finding(); }));
        EXPECT_NE(form->DevList().at(1), nullptr);
        if (form->DevList().at(1) == nullptr)
            return {};
        selectAndRead();
        form->ActReadStopExecute();
        EXPECT_TRUE(waitFor([&] { return !form->ReadBusy(); }));
        form->ActWriteOptExecute();
        EXPECT_TRUE(waitFor([&] { return !dialogs.shown.empty(); }));
        form->FormClose();
        std::vector<std::string> lines;
        std::istringstream text(form->Log.Text());
        for (std::string line; std::getline(text, line);)
            if (line.find(far->name()) == std::string::npos)
                lines.push_back(line);
        return lines;
    }

    PollLoop loop;
    std::unique_ptr<SimBus> bus;
    std::unique_ptr<FarEnd> far;
    ScriptedDialogs dialogs;
    FakeWindows windows;
    std::unique_ptr<TFormMain> form;
};

TEST_F(NetworkBus, TheExchangeIsTheSameAsOnAPseudoTerminal)
{
    start(Way::Pty);
    const std::vector<std::string> onPty = exchange();
    ASSERT_GT(onPty.size(), 10u);
    EXPECT_EQ(dialogs.texts(), std::vector<std::string> { "Параметры изменены!" });
    for (const Way way : { Way::RtuOverTcp, Way::ModbusTcp }) {
        SCOPED_TRACE(way == Way::ModbusTcp ? "Modbus TCP" : "RTU over TCP");
        dialogs.shown.clear();
        start(way);
        EXPECT_EQ(form->ComBox.text(), far->name() + (way == Way::ModbusTcp ? " (Modbus TCP)" : " (RTU поверх TCP)"));
        EXPECT_EQ(form->StatBar.text(0), form->ComBox.text() + ": 19200 / 8-Even-1");
        EXPECT_EQ(exchange(), onPty);
        EXPECT_EQ(dialogs.texts(), std::vector<std::string> { "Параметры изменены!" });
    }
}

TEST_F(NetworkBus, AServerGoneMidReadIsALostPortThatComesBackWithIt)
{
    start(Way::ModbusTcp);
    form->ActFindExecute();
    ASSERT_TRUE(waitFor([&] { return form->DevList().at(1) != nullptr; }));
    form->ActStopExecute();
    selectAndRead();
    ASSERT_TRUE(waitFor([&] { return form->ReadBusy(); }));
    const std::string name = far->name();
    const uint16_t port = far->port();
    far.reset();

    ASSERT_TRUE(
        waitFor([&] { return logged("Порт " + name + " потерян: соединение разорвано или узел не отвечает."); }));
    EXPECT_FALSE(form->VSModbus.Connected());
    EXPECT_TRUE(form->Panel.NoAnswer.on());
    EXPECT_EQ(form->BtRead.action(), &form->ActRenew);
    // Tried again every second while nothing listens: refused, said once.
    ASSERT_TRUE(waitFor([&] { return logged("Сетевой порт " + name + " не принимает соединение"); }));
    EXPECT_EQ(form->StatBar.text(3), "Порт " + name + " не открывается");
    EXPECT_TRUE(dialogs.shown.empty());

    far = std::make_unique<FarEnd>(loop, *bus, Way::ModbusTcp, port);
    ASSERT_TRUE(far->ok());
    ASSERT_TRUE(waitFor([&] { return form->VSModbus.Connected(); }));
    EXPECT_TRUE(logged("Порт " + name + " снова открыт."));
    EXPECT_EQ(form->BtRead.action(), &form->ActReadStop);
    const int32_t rx = form->RxCount();
    ASSERT_TRUE(waitFor([&] { return form->RxCount() >= rx + 2 && !form->Panel.NoAnswer.on(); }));
    EXPECT_TRUE(logged("Порт " + name + ": прибор отвечает, связь восстановлена."));
    form->FormClose();
}

// A port nobody listens on: one the system gave a moment ago and took back.
uint16_t FreePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in at {};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&at), sizeof at);
    socklen_t size = sizeof at;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&at), &size);
    ::close(fd);
    return ntohs(at.sin_port);
}

TEST_F(NetworkBus, ARefusedConnectionIsExplainedAndNothingIsSent)
{
    start(Way::RtuOverTcp);
    const std::string name = NetworkName({ NetworkMode::ModbusTcp, "127.0.0.1", FreePort() });
    form->UsePort(name, "");
    form->ActFindExecute();
    EXPECT_FALSE(form->Finding());
    EXPECT_EQ(form->TxCount(), 0);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text.rfind("Сетевой порт " + name + " не принимает соединение", 0), 0u)
        << dialogs.shown[0].text;
}

} // namespace
} // namespace zor::test
