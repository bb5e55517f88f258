// The main window's logic on a bus reached over TCP, in real time: through
// zor-sim as a serial device server (--tcp) and as a Modbus TCP gateway
// (--modbus-tcp) the search, a read cycle and a settings write leave the
// same exchange log as through zor-sim's pseudo-terminal; a server that goes
// away in the middle of reading is a lost port that comes back with it; a
// refused connection is explained. Every wait is bounded.

#include "ZorSimProcess.h"

#include "app/TFormMain.h"
#include "link/NetworkName.h"
#include "link/PortByName.h"
#include "link/PosixSerialPort.h"
#include "link/TcpPort.h"
#include "sim/PollLoop.h"
#include "unit/app/AppFixture.h"

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <unistd.h>

namespace zor::test {
namespace {

constexpr uint32_t kWaitMs = 8000;
constexpr const char* kDetector = "ZOR-10 address=1 serial=6100001 gas=1 version=204";

// zor-sim's options for each way of reaching its bus.
const std::vector<std::string> kPty {};
const std::vector<std::string> kDeviceServer { "--tcp", "0" };
const std::vector<std::string> kGateway { "--modbus-tcp", "0" };

class NetworkBus : public ::testing::Test {
protected:
    void start(std::vector<std::string> way)
    {
        form.reset();
        far.reset();
        way.insert(way.end(), { "--device", kDetector });
        far = std::make_unique<Simulator>(way);
        ASSERT_FALSE(far->path().empty());
        form = std::make_unique<TFormMain>(TFormMain::Platform { loop, dialogs, windows,
            std::make_unique<PortByName>(std::make_unique<PosixSerialPort>(), std::make_unique<TcpPort>()),
            std::make_unique<FixedPorts>(ports::PlatformPorts {}), ',' });
        windows.form = form.get();
        form->FormCreate();
        form->UsePort(far->path(), "");
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
            if (line.find(far->path()) == std::string::npos)
                lines.push_back(line);
        return lines;
    }

    PollLoop loop;
    std::unique_ptr<Simulator> far;
    ScriptedDialogs dialogs;
    FakeWindows windows;
    std::unique_ptr<TFormMain> form;
};

TEST_F(NetworkBus, TheExchangeIsTheSameAsOnAPseudoTerminal)
{
    start(kPty);
    const std::vector<std::string> onPty = exchange();
    ASSERT_GT(onPty.size(), 10u);
    EXPECT_EQ(dialogs.texts(), std::vector<std::string> { "Параметры изменены!" });
    struct Way {
        const char* name;
        const std::vector<std::string>& options;
        const char* description;
    };
    for (const Way way :
        { Way { "device server", kDeviceServer, " (RTU поверх TCP)" }, Way { "gateway", kGateway, " (Modbus TCP)" } }) {
        SCOPED_TRACE(way.name);
        dialogs.shown.clear();
        start(way.options);
        EXPECT_EQ(form->ComBox.text(), far->path() + way.description);
        EXPECT_EQ(form->StatBar.text(0), form->ComBox.text() + ": 19200 / 8-Even-1");
        EXPECT_EQ(exchange(), onPty);
        EXPECT_EQ(dialogs.texts(), std::vector<std::string> { "Параметры изменены!" });
    }
}

TEST_F(NetworkBus, AServerGoneMidReadIsALostPortThatComesBackWithIt)
{
    start(kGateway);
    form->ActFindExecute();
    ASSERT_TRUE(waitFor([&] { return form->DevList().at(1) != nullptr; }));
    form->ActStopExecute();
    selectAndRead();
    ASSERT_TRUE(waitFor([&] { return form->ReadBusy(); }));
    const std::string name = far->path();
    EXPECT_EQ(far->stop(), 0);

    ASSERT_TRUE(
        waitFor([&] { return logged("Порт " + name + " потерян: соединение разорвано или узел не отвечает."); }));
    EXPECT_FALSE(form->VSModbus.Connected());
    EXPECT_TRUE(form->Panel.NoAnswer.on());
    EXPECT_EQ(form->BtRead.action(), &form->ActRenew);
    // Tried again every second while nothing listens: refused, said once.
    ASSERT_TRUE(waitFor([&] { return logged("Сетевой порт " + name + " не принимает соединение"); }));
    EXPECT_EQ(form->StatBar.text(3), "Порт " + name + " не открывается");
    EXPECT_TRUE(dialogs.shown.empty());

    far = std::make_unique<Simulator>(std::vector<std::string> {
        "--modbus-tcp", std::to_string(ParseNetworkName(name)->port), "--device", kDetector });
    ASSERT_EQ(far->path(), name);
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
    start(kDeviceServer);
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
