// The main window's logic on a real pseudo-terminal in real time: the far
// end closed in the middle of automatic reading (an adapter pulled out) and
// a new one under the same path (plugged in again), and a port the user may
// not open. Every wait is bounded.

#include "app/TFormMain.h"
#include "link/PortFacts.h"
#include "link/PosixSerialPort.h"
#include "sim/PollLoop.h"
#include "sim/PtyTransport.h"
#include "sim/SimBus.h"
#include "sim/SimDetector.h"
#include "unit/app/AppFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zor::test {
namespace {

namespace fs = std::filesystem;

// Generous bounds for a loaded machine; the exchange itself takes a few
// polling periods.
constexpr uint32_t kWaitMs = 8000;

// A simulated bus on its own pseudo-terminal, reached through a link at a
// fixed path, as a --port path or a by-id link is.
class PtyBus {
public:
    PtyBus(PollLoop& loop, SimBus& bus, const fs::path& link)
        : loop_(loop)
        , line_(bus)
    {
        std::string error;
        ok_ = line_.open(error);
        EXPECT_TRUE(ok_) << error;
        fs::remove(link);
        fs::create_symlink(line_.slavePath(), link);
        loop_.watch(line_.fd(), [this] { line_.onReadable(); });
    }
    ~PtyBus() { loop_.unwatch(line_.fd()); }
    bool ok() const { return ok_; }

private:
    PollLoop& loop_;
    PtyTransport line_;
    bool ok_ = false;
};

class PortLoss : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("zor-loss-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        link = dir / "port";
        bus.add(SimModel::Zor10, 1).serial(6100001).gas(1).version(204);
        far = std::make_unique<PtyBus>(loop, bus, link);
        ASSERT_TRUE(far->ok());
        ports::PlatformPorts ports;
        ports.map = { { 1, link.string(), "" } };
        form = std::make_unique<TFormMain>(TFormMain::Platform { loop, dialogs, windows,
            std::make_unique<PosixSerialPort>(), std::make_unique<FixedPorts>(std::move(ports)), ',' });
        windows.form = form.get();
        form->FormCreate();
    }
    void TearDown() override
    {
        form.reset();
        far.reset();
        fs::remove_all(dir);
    }
    bool waitFor(const std::function<bool()>& done) { return loop.waitUntil(done, kWaitMs); }
    bool logged(const std::string& line) const { return form->Log.Text().find(line) != std::string::npos; }

    PollLoop loop;
    SimBus bus { loop };
    fs::path dir, link;
    std::unique_ptr<PtyBus> far;
    ScriptedDialogs dialogs;
    FakeWindows windows;
    std::unique_ptr<TFormMain> form;
};

TEST_F(PortLoss, TheFarEndClosedMidReadIsALostPortThatComesBackUnderTheSamePath)
{
    form->ActFindExecute();
    ASSERT_TRUE(waitFor([&] { return form->DevList().at(1) != nullptr; }));
    form->ActStopExecute();
    form->DevTreeMouseDown(MouseButton::Left, form->DevTree.roots().front()->children().front().get());
    form->ActRenewExecute();
    ASSERT_TRUE(waitFor([&] { return form->Panel.DevPanel.enabled(); }));
    // The far end goes while a cycle is outstanding.
    ASSERT_TRUE(waitFor([&] { return form->ReadBusy(); }));
    far.reset();

    // The next send finds the line hung up: the link is closed by the send
    // itself, which returns without waiting out its output time-out, and
    // nothing is counted.
    const int32_t tx = form->TxCount();
    const auto start = std::chrono::steady_clock::now();
    form->ReadHolding(1, 0, 19);
    const auto spent = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(form->VSModbus.Connected());
    EXPECT_LT(spent, std::chrono::milliseconds(form->VSModbus.OutputTimeout()));
    EXPECT_EQ(form->TxCount(), tx);

    const std::string lost = "Порт " + link.string() + " потерян: адаптер отключён или не отвечает.";
    ASSERT_TRUE(waitFor([&] { return logged(lost); }));
    EXPECT_EQ(form->StatBar.text(3), "Порт " + link.string() + " потерян");
    EXPECT_TRUE(form->Panel.NoAnswer.on());
    EXPECT_EQ(form->BtRead.action(), &form->ActRenew);
    EXPECT_NE(form->DevList().at(1), nullptr);
    EXPECT_TRUE(dialogs.shown.empty());

    far = std::make_unique<PtyBus>(loop, bus, link);
    ASSERT_TRUE(far->ok());
    ASSERT_TRUE(waitFor([&] { return form->VSModbus.Connected(); }));
    EXPECT_TRUE(logged("Порт " + link.string() + " снова открыт."));
    EXPECT_EQ(form->BtRead.action(), &form->ActReadStop);
    const int32_t rx = form->RxCount();
    ASSERT_TRUE(waitFor([&] { return form->RxCount() >= rx + 2 && !form->Panel.NoAnswer.on(); }));
    EXPECT_EQ(form->Panel.DevPanel.text(), "#1 : 06100001 (v2.4)  -  Рабочий режим");
    EXPECT_TRUE(logged("Порт " + link.string() + ": прибор отвечает, связь восстановлена."));
    form->FormClose();
}

// The port's node refuses the user the tool runs as. Run as root (as CI
// does), a child process becomes nobody for the attempt; run as anyone
// else, the node is closed to its owner.
TEST(PortPermission, ARefusedOpenNamesTheGroupOfTheNodeAndTheFix)
{
    int master = -1;
    int slave = -1;
    char name[256] = {};
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    const std::string path = name;
    const bool root = ::geteuid() == 0;
    if (root) {
        const group* dialout = getgrnam("dialout");
        ASSERT_EQ(::chown(name, 0, dialout ? dialout->gr_gid : 0), 0);
        ASSERT_EQ(::chmod(name, 0660), 0);
    } else {
        ASSERT_EQ(::chmod(name, 0), 0);
    }
    const std::string group = NodeGroup(path);

    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipe[0]);
        if (root
            && (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0
                || ::setresuid(65534, 65534, 65534) != 0))
            ::_exit(2);
        VirtualLoop loop;
        ScriptedDialogs dialogs;
        FakeWindows windows;
        ports::PlatformPorts ports;
        ports.map = { { 1, path, "" } };
        TFormMain form(TFormMain::Platform { loop, dialogs, windows, std::make_unique<PosixSerialPort>(),
            std::make_unique<FixedPorts>(std::move(ports)), ',' });
        form.FormCreate();
        form.ActFindExecute();
        const std::string said = dialogs.shown.empty() ? std::string() : dialogs.shown[0].text;
        const bool quiet = !form.Finding() && form.TxCount() == 0 && form.Log.Text().find(said) != std::string::npos;
        const std::string out = (quiet ? "quiet\n" : "loud\n") + said;
        const bool written = ::write(pipe[1], out.data(), out.size()) == static_cast<ssize_t>(out.size());
        ::_exit(written ? 0 : 3);
    }
    ::close(pipe[1]);
    std::string got;
    char buf[1024];
    for (ssize_t n; (n = ::read(pipe[0], buf, sizeof buf)) > 0;)
        got.append(buf, static_cast<size_t>(n));
    ::close(pipe[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    ::close(slave);
    ::close(master);

    EXPECT_EQ(got.rfind("quiet\n", 0), 0u) << got;
    EXPECT_NE(got.find("Нет доступа к порту " + path), std::string::npos) << got;
    if (!group.empty() && group != "root") {
        EXPECT_NE(got.find("группе " + group), std::string::npos) << got;
        EXPECT_NE(got.find("sudo usermod -aG " + group + " " + (root ? "nobody" : UserName())), std::string::npos)
            << got;
    } else {
        EXPECT_NE(got.find("Попросите администратора"), std::string::npos) << got;
    }
}

} // namespace
} // namespace zor::test
