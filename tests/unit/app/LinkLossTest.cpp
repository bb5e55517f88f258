// The serial link in the field, in virtual time: the adapter pulled out and
// plugged in again, commands on a port that will not open, a device that
// stops answering, and two answers in one polling chunk.

#include "AppFixture.h"

#include "link/PortOpenError.h"
#include "sim/SimDetector.h"

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace zor::test {
namespace {

size_t Count(const std::string& text, const std::string& piece)
{
    size_t n = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + piece.size()))
        ++n;
    return n;
}

constexpr const char* kLostLine = "Порт COM1 потерян: адаптер отключён или не отвечает.";
constexpr const char* kOpenLine = "Порт COM1 снова открыт.";
constexpr const char* kBackLine = "Порт COM1: прибор отвечает, связь восстановлена.";

class LinkLossTest : public AppFixture {
protected:
    void SetUp() override
    {
        bus.add(SimModel::Zor10, 1).serial(6100001).gas(1).version(204);
        bus.add(SimModel::Zor10, 2).serial(6100000).gas(23).version(204);
        MakeForm();
        SearchUpTo(2);
        sent.clear();
    }
    // Reads device 1 automatically until its panel is filled.
    void Reading()
    {
        Select(1);
        form->ActRenewExecute();
        loop.advance(1900);
        ASSERT_TRUE(form->Panel.DevPanel.enabled());
        ASSERT_FALSE(form->Panel.NoAnswer.on());
    }
};

TEST_F(LinkLossTest, ReadingStopsAtOnceOnALostPortAndGoesOnWhenItIsBack)
{
    Reading();
    const size_t nodes = form->DevTree.allNodes().size();
    const std::string panelText = form->Panel.EditConc.text();
    loop.advance(100);
    wire.unplug();
    loop.advance(500); // the next polling tick finds the port gone
    EXPECT_FALSE(form->VSModbus.Connected());
    EXPECT_EQ(form->BtRead.action(), &form->ActRenew);
    EXPECT_FALSE(form->TimerRead().enabled());
    EXPECT_FALSE(form->ReadBusy());
    EXPECT_EQ(Status(), "Порт COM1 потерян");
    EXPECT_TRUE(form->Panel.NoAnswer.on());
    EXPECT_EQ(form->Panel.DevPanel.text(), "#1 : 06100001  -  Порт потерян, показания устарели");
    EXPECT_EQ(form->Panel.EditConc.text(), panelText);

    // Nothing is sent or counted while it is away, and it is told once.
    const int32_t tx = form->TxCount();
    sent.clear();
    loop.advance(10000);
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(form->TxCount(), tx);
    EXPECT_EQ(Count(form->Log.Text(), kLostLine), 1u);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(form->DevTree.allNodes().size(), nodes);
    EXPECT_EQ(form->DevList().count(), 2);

    wire.plugIn();
    loop.advance(TFormMain::kRegainCheckMs);
    EXPECT_TRUE(form->VSModbus.Connected());
    EXPECT_EQ(Count(form->Log.Text(), kOpenLine), 1u);
    // Restored is said when the device answers, not when the port opens.
    EXPECT_EQ(Count(form->Log.Text(), kBackLine), 0u);
    EXPECT_EQ(form->BtRead.action(), &form->ActReadStop);
    EXPECT_EQ(form->VSModbus.BaudRateValue(), 19200u);
    EXPECT_EQ(wire.masterSettings().parity, ParityKind::Even);
    loop.advance(1900);
    EXPECT_EQ(Count(form->Log.Text(), kBackLine), 1u);
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent[0], Request(1, 4, { 0x01, 0x05, 0x00, 0x01 }));
    EXPECT_FALSE(form->Panel.NoAnswer.on());
    EXPECT_EQ(form->Panel.DevPanel.text(), "#1 : 06100001 (v2.4)  -  Рабочий режим");
}

TEST_F(LinkLossTest, ASearchStopsOnALostPortAndDoesNotStartAgainByItself)
{
    form->ActFindExecute();
    loop.advance(3 * 1100 + 50);
    wire.unplug();
    loop.advance(500);
    EXPECT_FALSE(form->Finding());
    EXPECT_EQ(form->BtFind.action(), &form->ActFind);
    EXPECT_TRUE(form->Log.Text().ends_with(std::string("Поиск окончен\r\n") + kLostLine + "\r\n"));
    wire.plugIn();
    loop.advance(5000);
    EXPECT_TRUE(form->VSModbus.Connected());
    EXPECT_FALSE(form->Finding());
    EXPECT_EQ(Status(), "Порт COM1 снова открыт");
}

// A write in flight ends as its time-out would, without waiting for it: a
// write operation with its message box, a single write with "Timeout!".
struct LostWriteCase {
    const char* name;
    std::function<void(TFormMain&)> start;
    bool operation;
};

void PrintTo(const LostWriteCase& c, std::ostream* os)
{
    *os << c.name;
}

class LostWrite : public LinkLossTest, public testing::WithParamInterface<LostWriteCase> { };

TEST_P(LostWrite, EndsAtOnceAsItsTimeOutWould)
{
    Select(1);
    ReadPanel();
    const LostWriteCase& c = GetParam();
    bus.detector(1).silent();
    c.start(*form);
    ASSERT_TRUE(form->TimerTimeOut().enabled());
    dialogs.shown.clear(); // the question before a zero
    const uint64_t start = loop.now();
    wire.unplug();
    loop.advanceUntil([this] { return !form->TimerTimeOut().enabled(); }, 1500);
    EXPECT_LE(loop.now() - start, 500u);
    EXPECT_EQ(form->WriteOp(), woNone);
    EXPECT_TRUE(form->Log.Text().ends_with(std::string(kLostLine) + "\r\nTimeout!\r\n"));
    if (c.operation)
        EXPECT_EQ(dialogs.texts(), std::vector<std::string> { "Ошибка записи параметров!" });
    else
        EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(Status(), "Порт COM1 потерян");
}

INSTANTIATE_TEST_SUITE_P(Cases, LostWrite,
    testing::Values(LostWriteCase { "Parameters", [](TFormMain& f) { f.ActWriteOptExecute(); }, true },
        LostWriteCase { "Zero", [](TFormMain& f) { f.ActZeroExecute(); }, true },
        LostWriteCase { "TestCurrent", [](TFormMain& f) { f.RBt20mAClick(); }, false }),
    [](const auto& info) { return std::string(info.param.name); });

// Every command that needs the port reopens a closed link first; when that
// fails it says why, in a message box and the log, and sends nothing.
struct RefusedCommand {
    const char* name;
    std::function<void(TFormMain&)> run;
};

void PrintTo(const RefusedCommand& c, std::ostream* os)
{
    *os << c.name;
}

class CommandOnAMissingPort : public LinkLossTest, public testing::WithParamInterface<RefusedCommand> { };

TEST_P(CommandOnAMissingPort, SaysWhyAndSendsNothing)
{
    Select(1);
    ReadPanel();
    wire.unplug();
    loop.advance(500);
    ASSERT_FALSE(form->VSModbus.Connected());
    sent.clear();
    const int32_t tx = form->TxCount();
    GetParam().run(*form);
    loop.advance(3000);
    const std::string text
        = "Порт COM1 не найден: устройство отключено. Подключите его и выберите порт в обновлённом списке портов.";
    ASSERT_EQ(dialogs.texts(), std::vector<std::string> { text });
    EXPECT_EQ(dialogs.shown[0].kind, forms::MessageKind::Error);
    EXPECT_EQ(dialogs.shown[0].owner, forms::DialogOwner::Main);
    EXPECT_TRUE(form->Log.Text().ends_with(text + "\r\n"));
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(form->TxCount(), tx);
    EXPECT_FALSE(form->Finding());
    EXPECT_EQ(form->WriteOp(), woNone);
    EXPECT_EQ(form->BtRead.action(), &form->ActRenew);

    // Back in place, the same command opens the port and goes out.
    wire.plugIn();
    dialogs.shown.clear();
    GetParam().run(*form);
    EXPECT_TRUE(form->VSModbus.Connected());
    loop.advance(1200); // a search probes first one step after its start
    EXPECT_FALSE(sent.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, CommandOnAMissingPort,
    testing::Values(RefusedCommand { "Find", [](TFormMain& f) { f.ActFindExecute(); } },
        RefusedCommand { "Read", [](TFormMain& f) { f.ActRenewExecute(); } },
        RefusedCommand { "ReadOnce", [](TFormMain& f) { f.DevTreeDblClick(); } },
        RefusedCommand { "WriteParameters", [](TFormMain& f) { f.ActWriteOptExecute(); } },
        RefusedCommand { "TestCurrent", [](TFormMain& f) { f.RBt20mAClick(); } },
        RefusedCommand { "LoraSettings", [](TFormMain& f) { f.N11Click(); } },
        RefusedCommand { "LoraRead", [](TFormMain& f) { f.FormLora().BitBtnReadClick(); } }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinkLossTest, APortHeldByAnotherProgramIsCalledBusy)
{
    form->FormClose();
    auto other = wire.masterPort();
    ASSERT_TRUE(other->open("COM1"));
    form->ActFindExecute();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text.rfind("Порт COM1 занят ", 0), 0u) << dialogs.shown[0].text;
    EXPECT_FALSE(form->Finding());
    EXPECT_TRUE(sent.empty());
}

ports::PortEvent Event(ports::TDeviceEvent what, const std::string& node, const std::string& adapter = {})
{
    ports::PortEvent e;
    e.change = { what, ports::TDeviceType::Port };
    e.node = node;
    e.adapter = adapter;
    return e;
}

// udev's removal of the node the link holds is a loss at once, before any
// polling tick; the arrival of that name reopens it at once. Other nodes
// change nothing.
TEST_F(LinkLossTest, UdevRemovalOfTheHeldNodeIsALossAndItsArrivalAReturn)
{
    Reading();
    form->PortChanged(Event(ports::TDeviceEvent::DeviceRemoveComplete, "/dev/ttyUSB3"));
    EXPECT_TRUE(form->VSModbus.Connected());
    wire.unplug();
    form->PortChanged(Event(ports::TDeviceEvent::DeviceRemoveComplete, "COM1"));
    EXPECT_FALSE(form->VSModbus.Connected());
    EXPECT_EQ(Status(), "Порт COM1 потерян");
    EXPECT_EQ(form->BtRead.action(), &form->ActRenew);
    loop.advance(600);
    EXPECT_EQ(Count(form->Log.Text(), kLostLine), 1u);

    wire.plugIn();
    form->PortChanged(Event(ports::TDeviceEvent::DeviceArrival, "COM1"));
    EXPECT_TRUE(form->VSModbus.Connected());
    EXPECT_EQ(Count(form->Log.Text(), kOpenLine), 1u);
    EXPECT_EQ(form->BtRead.action(), &form->ActReadStop);
}

constexpr const char* kFailingLine = "Порт COM1 открывается, но обмен через него не идёт";

// A damaged adapter or cable: the name opens, every transfer fails. The
// window says so once, tries ever more rarely without a word, and tells the
// return when the device answers again; a command of the technician's is
// told what it meets.
TEST_F(LinkLossTest, APortThatOpensButFailsIsToldOnceAndTriedEverMoreRarely)
{
    Reading();
    wire.setFailing(true);
    loop.advance(500);
    ASSERT_FALSE(form->VSModbus.Connected());
    const uint32_t opens = wire.masterOpens();
    loop.advance(120000);
    // Tried after 1, 2, 4, 8, 16, 32, 32 s, not every second.
    EXPECT_EQ(wire.masterOpens() - opens, 7u);
    EXPECT_EQ(Count(form->Log.Text(), kLostLine), 1u);
    EXPECT_EQ(Count(form->Log.Text(), kOpenLine), 1u);
    EXPECT_EQ(Count(form->Log.Text(), kBackLine), 0u);
    EXPECT_EQ(Count(form->Log.Text(), kFailingLine), 1u);
    EXPECT_EQ(Status(), "Порт COM1 потерян");
    EXPECT_TRUE(form->Panel.NoAnswer.on());

    form->DevTreeDblClick();
    loop.advance(100);
    EXPECT_EQ(Count(form->Log.Text(), kOpenLine), 2u);
    EXPECT_EQ(Count(form->Log.Text(), kFailingLine), 2u);

    wire.setFailing(false);
    form->ActRenewExecute();
    loop.advance(1900);
    EXPECT_TRUE(form->VSModbus.Connected());
    EXPECT_EQ(Count(form->Log.Text(), kOpenLine), 3u);
    EXPECT_EQ(Count(form->Log.Text(), kBackLine), 1u);
    EXPECT_EQ(Status(), "Автоматическое чтение");
    EXPECT_FALSE(form->Panel.NoAnswer.on());

    // Having answered, a new failure is a fault of its own, told as the
    // first was.
    wire.setFailing(true);
    loop.advance(60000);
    EXPECT_EQ(Count(form->Log.Text(), kLostLine), 2u);
    EXPECT_EQ(Count(form->Log.Text(), kFailingLine), 3u);
}

// Left quiet, the port is tried back at its first pace and told again once
// it answers.
TEST_F(LinkLossTest, AFailingPortThatMendsItselfIsToldBackWhenItAnswers)
{
    Reading();
    wire.setFailing(true);
    loop.advance(500 + 1000 + 2000 + 4000 + 100);
    ASSERT_EQ(Count(form->Log.Text(), kFailingLine), 1u);
    wire.setFailing(false);
    loop.advance(8000 + 2000);
    EXPECT_TRUE(form->VSModbus.Connected());
    EXPECT_EQ(Count(form->Log.Text(), kOpenLine), 1u);
    EXPECT_EQ(Count(form->Log.Text(), kBackLine), 1u);
    EXPECT_EQ(Status(), "Автоматическое чтение");
    EXPECT_FALSE(form->Panel.NoAnswer.on());
    EXPECT_EQ(form->BtRead.action(), &form->ActReadStop);
}

// Stopped and started again, reading counts its missed cycles from nought:
// the first miss after the start is no news.
TEST_F(LinkLossTest, AFreshStartOfReadingCountsMissesFromNought)
{
    Reading();
    bus.detector(1).silent();
    loop.advance(100 + 2000); // 4000: the cycle of 2000 is missed
    ASSERT_FALSE(form->Panel.NoAnswer.on());
    form->ActReadStopExecute();
    form->ActRenewExecute();
    loop.advance(2000); // the start's own read is missed
    EXPECT_FALSE(form->Panel.NoAnswer.on());
    loop.advance(2000);
    EXPECT_TRUE(form->Panel.NoAnswer.on());
}

// A detector that answers the gas read of each cycle but refuses (or
// garbles) its panel block: the panel's readings are old all the same.
TEST_F(LinkLossTest, TheGasAnswerAloneDoesNotKeepReadingsFresh)
{
    Reading();
    bus.detector(1).exceptionOnFunction(3, 4);
    loop.advance(100 + 2000); // 4000: the cycle of 2000 is missed
    EXPECT_FALSE(form->Panel.NoAnswer.on());
    loop.advance(2000);
    EXPECT_TRUE(form->Panel.NoAnswer.on());
    EXPECT_EQ(form->Panel.DevPanel.text(), "#1 : 06100001  -  Нет ответа, показания устарели");
    EXPECT_EQ(Count(form->Log.Text(), "Прибор:1 не отвечает, показания устарели"), 1u);
}

// Back on a port whose device stays silent: the port is said open, never
// restored, and the silence is told as it would be without the loss.
TEST_F(LinkLossTest, ASilentDeviceOnARegainedPortIsToldSilent)
{
    Reading();
    wire.unplug();
    loop.advance(500);
    bus.detector(1).silent();
    wire.plugIn();
    loop.advance(TFormMain::kRegainCheckMs + 3 * 2000);
    EXPECT_EQ(Count(form->Log.Text(), kOpenLine), 1u);
    EXPECT_EQ(Count(form->Log.Text(), kBackLine), 0u);
    EXPECT_EQ(Count(form->Log.Text(), "Прибор:1 не отвечает, показания устарели"), 1u);
    EXPECT_TRUE(form->Panel.NoAnswer.on());
}

// The port lost while a question is open (its box runs the loop): answered
// either way, reading stays stopped and the status bar keeps the loss.
TEST_F(LinkLossTest, ALossDuringAQuestionIsNotUndoneByItsAnswer)
{
    for (const forms::Answer answer : { forms::Answer::No, forms::Answer::Yes }) {
        Reading();
        dialogs.answers = { answer };
        dialogs.whileOpen = [this] {
            wire.unplug();
            loop.advance(500);
        };
        form->ActZeroExecute();
        dialogs.whileOpen = nullptr;
        loop.advance(100);
        EXPECT_FALSE(form->TimerRead().enabled()) << static_cast<int>(answer);
        EXPECT_EQ(form->BtRead.action(), &form->ActRenew);
        EXPECT_EQ(Status(), "Порт COM1 потерян");
        wire.plugIn();
        loop.advance(TFormMain::kRegainCheckMs);
        dialogs.shown.clear();
    }
}

// Back but refused (taken by another program meanwhile): told once, in the
// log and the status bar, with no box from the timer; opened once free.
TEST_F(LinkLossTest, APortThatIsBackButRefusedIsExplainedOnce)
{
    Reading();
    wire.unplug();
    loop.advance(500);
    wire.plugIn();
    std::unique_ptr<SerialPort> other = wire.masterPort();
    ASSERT_TRUE(other->open("COM1"));
    loop.advance(5 * TFormMain::kRegainCheckMs);
    EXPECT_EQ(Count(form->Log.Text(), "Порт COM1 занят другой программой. Закройте её и повторите."), 1u);
    EXPECT_EQ(Status(), "Порт COM1 не открывается");
    EXPECT_TRUE(dialogs.shown.empty());
    other->close();
    loop.advance(TFormMain::kRegainCheckMs);
    EXPECT_TRUE(form->VSModbus.Connected());
    EXPECT_EQ(Count(form->Log.Text(), kOpenLine), 1u);
}

// A /proc of the test's own, with or without the programs that spoil
// USB-serial adapters.
class Spoilers : public ::testing::Test {
protected:
    void SetUp() override
    {
        proc = std::filesystem::temp_directory_path() / ("zor-spoilers-" + std::to_string(::getpid()));
        std::filesystem::remove_all(proc);
        std::filesystem::create_directories(proc);
    }
    void TearDown() override { std::filesystem::remove_all(proc); }
    void run(const std::string& program)
    {
        std::filesystem::create_directories(proc / "4242");
        std::ofstream(proc / "4242" / "comm") << program << "\n";
    }
    std::unique_ptr<TFormMain> Form(MemoryWire& wire, const std::string& port)
    {
        ports::PlatformPorts ports;
        ports.map = { { 1, port, "" } };
        return MakeWindow(loop, wire, dialogs, windows, std::move(ports), proc.string());
    }
    std::filesystem::path proc;
    VirtualLoop loop;
    ScriptedDialogs dialogs;
    FakeWindows windows;
};

// A CH340 that vanishes right after it was plugged in is brltty's doing, when
// brltty runs: the log says so at once and the missing port's explanation
// names it. Pulled out later, or with brltty not running, nothing is said.
TEST_F(Spoilers, BrlttyIsNamedForAnAdapterThatVanishedRightAfterPluggingIn)
{
    const std::string port = "/dev/ttyUSB0";
    struct Case {
        bool brltty;
        uint32_t heldMs;
        bool named;
    };
    for (const Case c : { Case { true, 1000, true }, Case { false, 1000, false }, Case { true, 60000, false } }) {
        std::filesystem::remove_all(proc / "4242");
        if (c.brltty)
            run("brltty");
        dialogs.shown.clear();
        MemoryWire wire(loop, port);
        auto form = Form(wire, port);
        form->PortChanged(Event(ports::TDeviceEvent::DeviceArrival, port, "CH340"));
        loop.advance(c.heldMs);
        wire.unplug();
        form->PortChanged(Event(ports::TDeviceEvent::DeviceRemoveComplete, port, "CH340"));
        const std::string hint = BrlttyText("CH340", port);
        EXPECT_EQ(form->Log.Text().find(hint) != std::string::npos, c.named) << c.brltty << " " << c.heldMs;
        form->ActFindExecute();
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_NE(dialogs.shown[0].text.find("не найден"), std::string::npos);
        EXPECT_EQ(dialogs.shown[0].text.find(hint) != std::string::npos, c.named) << c.brltty << " " << c.heldMs;
    }
}

// A ttyACM port that is busy names ModemManager when it runs; another busy
// port never does.
TEST_F(Spoilers, ModemManagerIsNamedForABusyTtyAcmPortWhileItRuns)
{
    struct Case {
        const char* port;
        bool running;
        bool named;
    };
    for (const Case c : { Case { "/dev/ttyACM0", true, true }, Case { "/dev/ttyACM0", false, false },
             Case { "/dev/ttyUSB0", true, false } }) {
        std::filesystem::remove_all(proc / "4242");
        if (c.running)
            run("ModemManager");
        dialogs.shown.clear();
        MemoryWire wire(loop, c.port);
        auto holder = wire.masterPort();
        ASSERT_TRUE(holder->open(c.port));
        auto form = Form(wire, c.port);
        form->ActFindExecute();
        ASSERT_EQ(dialogs.shown.size(), 1u) << c.port;
        const std::string& text = dialogs.shown[0].text;
        EXPECT_NE(text.find("занят"), std::string::npos) << text;
        EXPECT_EQ(text.find("ModemManager") != std::string::npos, c.named) << c.port << " " << c.running;
    }
}

// With no port numbered 1 nothing is chosen: the link has no name to open
// (no relative "COM1"), and the first command says to pick a port.
using LinkStart = AppFixture;

TEST_F(LinkStart, WithoutAPortNothingIsChosenAndTheFirstCommandSaysToPickOne)
{
    ports::PlatformPorts ports;
    ports.map = { { 257, "/dev/ttyUSB0", "ttyUSB0" } };
    form = MakeWindow(loop, wire, dialogs, windows, std::move(ports));
    EXPECT_EQ(form->ComBox.itemIndex(), -1);
    EXPECT_EQ(form->VSModbus.PortName(), "");
    form->ActFindExecute();
    EXPECT_EQ(dialogs.texts(), std::vector<std::string> { kNoPortText });
    EXPECT_FALSE(form->Finding());
    EXPECT_EQ(form->TxCount(), 0);
    EXPECT_FALSE(wire.masterOpen());
}

// A device that stops answering: the first missed cycle is no news, from the
// second the panel is marked and the log says so once; the next answer
// clears the mark. The read cycle itself goes on as before.
TEST_F(LinkLossTest, ReadingsAreMarkedOldFromTheSecondMissedCycle)
{
    Reading();
    bus.detector(1).silent();
    loop.advance(100); // 2000: the cycle issued at 0 was answered
    sent.clear();
    loop.advance(2000); // 4000: the cycle of 2000 is missed
    EXPECT_FALSE(form->Panel.NoAnswer.on());
    loop.advance(2000); // 6000: the second missed
    EXPECT_TRUE(form->Panel.NoAnswer.on());
    EXPECT_EQ(form->Panel.DevPanel.text(), "#1 : 06100001  -  Нет ответа, показания устарели");
    loop.advance(3 * 2000);
    const std::string line = "Прибор:1 не отвечает, показания устарели";
    EXPECT_EQ(Count(form->Log.Text(), line), 1u);
    EXPECT_EQ(form->Panel.DevPanel.text(), "#1 : 06100001  -  Нет ответа, показания устарели");
    // One read request a tick, as ever: the input register of each cycle.
    EXPECT_EQ(sent.size(), 5u);
    for (const Frame& f : sent)
        EXPECT_EQ(f, Request(1, 4, { 0x01, 0x05, 0x00, 0x01 }));

    loop.advance(1000); // 13000: between two ticks
    bus.detector(1).silent(false);
    loop.advance(2000); // the cycle of 14000 is answered
    EXPECT_FALSE(form->Panel.NoAnswer.on());
    EXPECT_EQ(form->Panel.DevPanel.text(), "#1 : 06100001 (v2.4)  -  Рабочий режим");
    bus.detector(1).silent();
    loop.advance(2 * 2000); // 19000: the cycle of 16000 is missed
    EXPECT_FALSE(form->Panel.NoAnswer.on()); // a new run of misses starts from one
    loop.advance(2000);
    EXPECT_TRUE(form->Panel.NoAnswer.on());
    EXPECT_EQ(Count(form->Log.Text(), line), 2u);
}

// During a search a slow device answers the probe late, just when the next
// device answers its own: both answers come in one polling chunk and both
// devices are found.
using TwoAnswersInOneChunk = AppFixture;

TEST_F(TwoAnswersInOneChunk, BothDevicesOfALateAnswerAreFound)
{
    bus.add(SimModel::Zor11, 2).serial(9400002).delayAnswer(1092);
    bus.add(SimModel::Zor12, 3).serial(8000003);
    MakeForm();
    form->ActFindExecute();
    loop.advance(3 * 1100 + 300);
    EXPECT_EQ(form->RxCount(), 2);
    EXPECT_NE(form->DevList().at(2), nullptr);
    EXPECT_NE(form->DevList().at(3), nullptr);
}

} // namespace
} // namespace zor::test
