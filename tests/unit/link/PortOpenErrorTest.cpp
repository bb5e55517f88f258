// The explanations of a port that did not open, and the facts they are made
// of, read from a /proc laid out by the test.

#include "link/PortOpenError.h"
#include "link/PortFacts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <grp.h>
#include <unistd.h>

using namespace zor;

namespace {

namespace fs = std::filesystem;

struct TextCase {
    const char* what;
    OpenFailure failure;
    std::vector<std::string> says;
    std::vector<std::string> saysNot;
};

TEST(OpenFailureText, SaysWhatFailedAndWhatToDo)
{
    const std::string port = "/dev/ttyUSB0";
    const std::string net = "tcp://10.0.0.5:502";
    const std::string modemManager = "ModemManager";
    const std::string brltty = "brltty";
    const auto failure = [](std::string name, PortError error, void (*more)(OpenFailure&) = nullptr) {
        OpenFailure f;
        f.port = std::move(name);
        f.error = error;
        if (more)
            more(f);
        return f;
    };
    const TextCase cases[] = {
        { "no permission",
            failure(port, PortError::AccessDenied,
                [](OpenFailure& f) {
                    f.group = "dialout";
                    f.user = "ivan";
                }),
            { "Нет доступа к порту /dev/ttyUSB0", "группе dialout", "sudo usermod -aG dialout ivan",
                "выйдите из системы и войдите снова" },
            {} },
        { "no permission, the node is root's",
            failure(port, PortError::AccessDenied,
                [](OpenFailure& f) {
                    f.group = "root";
                    f.user = "ivan";
                }),
            { "Нет доступа к порту /dev/ttyUSB0", "администратора" }, { "usermod" } },
        { "busy, holder known", failure(port, PortError::Busy, [](OpenFailure& f) { f.holder = "minicom (PID 4242)"; }),
            { "Порт /dev/ttyUSB0 занят программой minicom (PID 4242)", "Закройте её" }, { modemManager } },
        { "busy, holder hidden", failure(port, PortError::Busy), { "занят другой программой" }, { modemManager } },
        { "busy ttyACM while ModemManager runs",
            failure("/dev/ttyACM0", PortError::Busy, [](OpenFailure& f) { f.modemManager = true; }),
            { "занят другой программой", modemManager, "sudo systemctl stop ModemManager" }, {} },
        { "missing", failure(port, PortError::NotFound), { "Порт /dev/ttyUSB0 не найден", "обновлённом списке" },
            { brltty } },
        { "missing right after plugging in while brltty runs",
            failure(port, PortError::NotFound, [](OpenFailure& f) { f.brlttyAdapter = "CH340"; }),
            { "не найден", "Адаптер CH340", "sudo apt remove brltty" }, {} },
        { "no serial port", failure("/tmp/x", PortError::NotATerminal), { "/tmp/x — не последовательный порт" }, {} },
        { "settings refused", failure(port, PortError::InvalidSetting), { "не принимает настройки линии", "«...»" },
            {} },
        { "i/o error", failure(port, PortError::Io), { "ошибка ввода-вывода", "Отключите адаптер" }, {} },
        { "anything else", failure(port, PortError::Other), { "Не удалось открыть порт /dev/ttyUSB0" }, {} },
        { "network: connection refused", failure(net, PortError::Refused),
            { "Сетевой порт tcp://10.0.0.5:502 не принимает соединение", "номер порта" }, { "адаптер" } },
        { "network: no route", failure(net, PortError::Unreachable), { "недоступен", "сетевое подключение" }, {} },
        { "network: no answer", failure(net, PortError::TimedOut), { "не установлено за 3 с" }, {} },
        { "network: unknown host", failure(net, PortError::HostUnknown), { "Узел сетевого порта", "не найден" }, {} },
        { "network: no address", failure("tcp://host", PortError::BadAddress),
            { "tcp://host — не сетевой адрес", "tcp://УЗЕЛ:ПОРТ", "rtu-tcp://УЗЕЛ:ПОРТ" }, {} },
    };
    for (const TextCase& c : cases) {
        const std::string text = OpenFailureText(c.failure);
        for (const std::string& s : c.says)
            EXPECT_NE(text.find(s), std::string::npos) << c.what << ": " << s << "\n" << text;
        for (const std::string& s : c.saysNot)
            EXPECT_EQ(text.find(s), std::string::npos) << c.what << ": " << s << "\n" << text;
    }
}

// A /proc of three processes: minicom holding the device through fd 3,
// ModemManager, and one whose fd directory is closed to us.
class FakeProc : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() / ("zor-proc-" + std::to_string(::getpid()));
        fs::remove_all(root);
        fs::create_directories(root);
        device = root / "ttyUSB0";
        std::ofstream(device).put('x');
        link = root / "usb-FTDI_FT232R-if00-port0";
        fs::create_symlink(device, link);
        process("100", "minicom", { { "0", "/dev/null" }, { "3", device.string() } });
        process("200", "ModemManager", { { "1", "/dev/null" } });
        process("300", "bash", {});
        fs::create_directories(root / "self");
    }
    void TearDown() override { fs::remove_all(root); }
    void process(
        const std::string& pid, const std::string& comm, const std::vector<std::pair<std::string, std::string>>& fds)
    {
        fs::create_directories(root / pid / "fd");
        std::ofstream(root / pid / "comm") << comm << "\n";
        for (const auto& [fd, target] : fds)
            fs::create_symlink(target, root / pid / "fd" / fd);
    }
    fs::path root, device, link;
};

TEST_F(FakeProc, FindsTheHolderThroughAnyNameOfTheDevice)
{
    EXPECT_EQ(ProgramHolding(device.string(), root.string()), "minicom (PID 100)");
    EXPECT_EQ(ProgramHolding(link.string(), root.string()), "minicom (PID 100)");
    EXPECT_EQ(ProgramHolding((root / "other").string(), root.string()), "");
    EXPECT_EQ(ProgramHolding(device.string(), (root / "missing").string()), "");
}

TEST_F(FakeProc, TellsWhichProgramsRun)
{
    EXPECT_TRUE(ProgramRunning("ModemManager", root.string()));
    EXPECT_TRUE(ProgramRunning("minicom", root.string()));
    EXPECT_FALSE(ProgramRunning("brltty", root.string()));
    EXPECT_FALSE(ProgramRunning("Modem", root.string()));
}

TEST_F(FakeProc, TheNodeBehindANameAndItsGroup)
{
    EXPECT_EQ(DeviceNode(link.string()), fs::canonical(device).string());
    EXPECT_EQ(DeviceNode("/dev/zor-no-such-port"), "/dev/zor-no-such-port");
    const group* g = getgrgid(getegid());
    ASSERT_NE(g, nullptr);
    fs::permissions(
        device, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::group_write);
    EXPECT_EQ(NodeGroup(link.string()), g->gr_name);
    // Joining a group the node does not let read and write is no advice.
    fs::permissions(device, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(NodeGroup(link.string()), "");
    EXPECT_EQ(NodeGroup("/dev/zor-no-such-port"), "");
    EXPECT_FALSE(UserName().empty());
}

} // namespace
