#include "AppFixture.h"

#include "device/Registers.h"
#include "sim/SimDetector.h"

#include <algorithm>
#include <ostream>
#include <tuple>

namespace zor::test {
namespace {

struct Timed {
    uint32_t at;
    Frame frame;
    bool operator==(const Timed&) const = default;
    bool operator<(const Timed& o) const { return std::tie(at, frame) < std::tie(o.at, o.frame); }
};

void PrintTo(const Timed& t, std::ostream* os)
{
    *os << t.at << ":";
    for (uint8_t b : t.frame)
        *os << " " << std::hex << int(b) << std::dec;
}

// Three detectors: methane at 3; hydrogen sulphide at 5, the one read and
// written, on firmware that has it read once more after a write; a "ZOR-10"
// at 7.
class OverviewTest : public AppFixture {
protected:
    void ThreeDetectors()
    {
        bus.add(SimModel::Zor11, 3).gas(1).limits(1000, 2000);
        bus.add(SimModel::Zor10, 5).gas(25).limits(100, 500).version(105);
        bus.add(SimModel::Zor10, 7).gas(1).version(230);
    }
    // Every frame sent since the last Forget, with its time.
    std::vector<Timed> Wire() const
    {
        std::vector<Timed> wire;
        for (size_t i = 0; i < sent.size(); ++i)
            wire.push_back({ sentAt.at(i), sent[i] });
        return wire;
    }
    void Forget()
    {
        sent.clear();
        sentAt.clear();
        sentLines.clear();
    }
    static bool OverviewKind(const Frame& f)
    {
        return f == Read3(f[0], 0, 19) || f == Request(f[0], 4, { 0x01, 0x05, 0x00, 0x01 });
    }
    struct SilentRun {
        RowMark mark7;
        RowMark mark5;
        long turns3;
        long turns5;
    };
    // Detector 3 read automatically with the overview running; detector 7
    // falls silent after 20 s; then what 20 s more brought.
    SilentRun SilentWhileReading(uint32_t phase)
    {
        ThreeDetectors();
        MakeForm();
        SearchUpTo(7);
        loop.advance(1200 + phase);
        Select(3);
        form->ActRenewExecute();
        form->ActOverviewExecute();
        loop.advance(20000);
        bus.detector(7).silent(true);
        loop.advance(30000);
        Forget();
        loop.advance(20000);
        const auto turnsOf = [this](uint8_t address) {
            return std::count_if(sent.begin(), sent.end(), [&](const Frame& f) { return f == Read3(address, 0, 19); });
        };
        return { RowOf(7).mark, RowOf(5).mark, turnsOf(3), turnsOf(5) };
    }
    // Reading detector 5, a write of its parameters in between, and reading
    // again; the overview running or not. Every user action falls between
    // the link's polling ticks; phase sets where the read cycle's ticks fall
    // among them.
    std::vector<Timed> ReadWriteRead(bool overview, uint32_t phase)
    {
        ThreeDetectors();
        MakeForm();
        SearchUpTo(7);
        if (overview)
            form->ActOverviewExecute();
        loop.advance(1010 + phase);
        Select(5);
        Forget();
        form->ActRenewExecute();
        loop.advance(6000);
        form->ActReadStopExecute();
        loop.advance(300);
        form->Panel.EditLimit1.setValue(15.0);
        form->ActWriteOptExecute();
        Finish();
        loop.advance(1730);
        form->ActRenewExecute();
        loop.advance(8000);
        return Wire();
    }
};

// A scenario on a bus of its own.
struct Scenario final : OverviewTest {
    void TestBody() override { }
    using OverviewTest::dialogs;
    using OverviewTest::form;
    using OverviewTest::OverviewKind;
    using OverviewTest::ReadWriteRead;
    using OverviewTest::RowOf;
    using OverviewTest::SilentRun;
    using OverviewTest::SilentWhileReading;
};

TEST(OverviewWire, TheReadCycleAndAWriteKeepTheirFramesAndTimesWithTheOverviewRunning)
{
    for (const uint32_t phase : { 100u, 250u, 400u, 480u }) {
        SCOPED_TRACE(phase);
        Scenario without, with;
        const std::vector<Timed> alone = without.ReadWriteRead(false, phase);
        const std::vector<Timed> together = with.ReadWriteRead(true, phase);

        ASSERT_FALSE(alone.empty());
        // Everything sent without the overview is sent at the same moments
        // with it; what it adds are its reads, a turn in most read cycles.
        std::vector<Timed> a = alone, b = together, common, extra;
        std::sort(a.begin(), a.end());
        std::sort(b.begin(), b.end());
        std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(common));
        std::set_difference(b.begin(), b.end(), a.begin(), a.end(), std::back_inserter(extra));
        std::vector<Timed> lost;
        std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(lost));
        EXPECT_EQ(lost, std::vector<Timed> {}) << ::testing::PrintToString(b);
        EXPECT_GE(extra.size(), 8u);
        for (const Timed& t : extra)
            EXPECT_TRUE(Scenario::OverviewKind(t.frame)) << "at " << t.at;
        // And every answer they got came: the overview's took none of theirs.
        EXPECT_EQ(with.form->RxCount() - static_cast<int32_t>(extra.size()), without.form->RxCount());
        EXPECT_EQ(with.dialogs.texts(), without.dialogs.texts());
        EXPECT_EQ(with.form->WriteOp(), woNone);
        // Every detector had its turns; the write shows in the row of 5.
        for (uint8_t address : { 3, 5, 7 })
            EXPECT_FALSE(with.RowOf(address).cells[ColConc].empty()) << int(address);
        EXPECT_EQ(with.RowOf(5).cells[ColLimit1], "15,0");
    }
}

TEST_F(OverviewTest, RowsShowWhatEachDetectorSaysAndMarkThresholdsAndFaults)
{
    bus.add(SimModel::Zor11, 3).gas(1).limits(100, 200);
    bus.add(SimModel::Zor12, 5).gas(25).limits(100, 500).relays(Relay2);
    bus.add(SimModel::Zor10, 7).gas(1).version(230).error(SimError::SensorMissing);
    MakeForm();
    SearchUpTo(7);
    bus.detector(3).applyTestGas(150);
    bus.detector(5).applyTestGas(700);
    form->ActOverviewExecute();
    loop.advance(60000);

    const RowTexts r3 = RowOf(3), r5 = RowOf(5), r7 = RowOf(7);
    EXPECT_EQ(r3.cells[ColModel], "ZOR-11");
    EXPECT_EQ(r3.cells[ColGas], "CH4");
    EXPECT_EQ(r3.cells[ColConc], "1,50 %об.");
    EXPECT_EQ(r3.cells[ColState], "Превышен порог №1");
    EXPECT_EQ(r3.mark, RowMark::Limit1);
    EXPECT_EQ(r3.cells[ColLimit1], "1,00");
    EXPECT_EQ(r5.cells[ColGas], "H2S");
    EXPECT_EQ(r5.cells[ColConc], "70,0 млн-1");
    EXPECT_EQ(r5.cells[ColState], "Превышен порог №2");
    EXPECT_EQ(r5.mark, RowMark::Limit2);
    EXPECT_EQ(r5.cells[ColRelays], "НР НЗ НР");
    EXPECT_EQ(r7.cells[ColState], "Ошибка  :  Отсутствует датчик");
    EXPECT_EQ(r7.mark, RowMark::Fault);
    EXPECT_EQ(r7.cells[ColRelays], "НР НР");
    EXPECT_FALSE(r7.cells[ColAnswered].empty());
    // Nothing of it reached the panel or the device records.
    EXPECT_TRUE(form->Panel.EditConc.text().empty());
    for (uint8_t address : { 3, 5, 7 })
        EXPECT_EQ(form->DevList().at(address)->Regs[RegConc], 0) << int(address);
}

TEST_F(OverviewTest, OneRequestAtATimeAndASilentDetectorIsMarkedAfterTwoTurns)
{
    ThreeDetectors();
    MakeForm();
    SearchUpTo(7);
    Forget();
    form->ActOverviewExecute();
    loop.advance(10000);
    const std::vector<Timed> wire = Wire();
    ASSERT_GE(wire.size(), 10u);
    // No request before the last one's answer was in or given up.
    for (size_t i = 1; i < wire.size(); ++i)
        EXPECT_GE(wire[i].at - wire[i - 1].at, 100u) << i;
    EXPECT_EQ(form->RxCount(), static_cast<int32_t>(wire.size()) + 3);

    bus.detector(5).silent(true);
    loop.advance(8000);
    EXPECT_EQ(RowOf(5).mark, RowMark::Silent);
    EXPECT_EQ(RowOf(5).cells[ColState].rfind("Нет ответа", 0), 0u) << RowOf(5).cells[ColState];
    EXPECT_EQ(RowOf(3).mark, RowMark::None);
    bus.detector(5).silent(false);
    loop.advance(8000);
    EXPECT_EQ(RowOf(5).mark, RowMark::None);
    EXPECT_EQ(RowOf(5).cells[ColState], "Рабочий режим");
}

TEST(OverviewWire, ADetectorSilentWhileAnotherIsReadIsMarkedAndTheOthersKeepTheirTurns)
{
    for (const uint32_t phase : { 0u, 100u, 200u, 300u, 400u }) {
        SCOPED_TRACE(phase);
        Scenario s;
        const Scenario::SilentRun run = s.SilentWhileReading(phase);
        EXPECT_EQ(run.mark7, RowMark::Silent);
        // Detector 3 is read by the read cycle too: 10 cycles, and turns of
        // the overview besides.
        EXPECT_GT(run.turns3, 10);
        EXPECT_GE(run.turns5, 2);
        EXPECT_EQ(run.mark5, RowMark::None);
    }
}

TEST_F(OverviewTest, ACommandPressedWhileAnOverviewAnswerIsOnTheLineWaitsForItAndIsNotDisturbed)
{
    ThreeDetectors();
    MakeForm();
    SearchUpTo(7);
    Select(5);
    ReadPanel();
    // Its first request goes out now; the write is pressed while the answer
    // is still to come.
    form->ActOverviewExecute();
    const uint32_t asked = loop.tickCount();
    loop.advance(5);
    ASSERT_FALSE(sent.empty());
    EXPECT_TRUE(OverviewKind(sent.back()));
    Forget();
    form->Panel.EditLimit1.setValue(15.0);
    form->ActWriteOptExecute();
    Finish();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.front(), Write6(5, 1, 0x0080));
    // It went once the overview's gas question and answer were over (15
    // characters of 11 bits at 19200 baud and the detector's 5 ms), and not
    // much later: the write's own 8 characters.
    EXPECT_GE(sentAt.front() - asked, 14u);
    EXPECT_LE(sentAt.front() - asked, 25u);
    EXPECT_EQ(dialogs.texts().back(), "Параметры изменены!");
    EXPECT_EQ(bus.detector(5).holding(RegLimit1), 150);
}

TEST_F(OverviewTest, ADoubleClickOnARowSelectsAndReadsTheDetector)
{
    ThreeDetectors();
    MakeForm();
    SearchUpTo(7);
    form->ActOverviewExecute();
    loop.advance(3000);
    form->ActOverviewStopExecute();
    loop.advance(1000);
    Forget();
    form->OverviewRowDblClick(7);
    loop.advance(2000);
    ASSERT_NE(form->SelNode(), nullptr);
    EXPECT_EQ(form->SelNode()->overlayIndex(), 7);
    EXPECT_EQ(sent, (std::vector<Frame> { Request(7, 4, { 0x01, 0x05, 0x00, 0x01 }), Read3(7, 0, 19) }));
    EXPECT_TRUE(form->Panel.DevPanel.visible());
}

TEST_F(OverviewTest, ItWaitsForASearchAndFollowsTheDetectorsItFinds)
{
    ThreeDetectors();
    MakeForm();
    SearchUpTo(3);
    form->ActOverviewExecute();
    EXPECT_EQ(form->Overview.Rows().size(), 1u);
    loop.advance(1700);
    form->ActFindExecute();
    Forget();
    loop.advance(8 * 1100);
    for (const Frame& f : sent)
        EXPECT_EQ(f[1], 3) << "only probes during a search";
    EXPECT_FALSE(std::any_of(sent.begin(), sent.end(), [](const Frame& f) { return f == Read3(f[0], 0, 19); }));
    form->ActStopExecute();
    EXPECT_EQ(form->Overview.Rows().size(), 3u);
    loop.advance(6000);
    for (uint8_t address : { 3, 5, 7 })
        EXPECT_FALSE(RowOf(address).cells[ColConc].empty()) << int(address);
}

} // namespace
} // namespace zor::test
