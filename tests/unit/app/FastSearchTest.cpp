// The search with a picked address range and the fast search, in virtual
// time over the simulated wire: probes, steps, the link's polling, late
// answers, and the shortest probe time each line allows.

#include "AppFixture.h"

#include "app/SearchPlan.h"
#include "sim/SimDetector.h"

namespace zor::test {
namespace {

TEST(SearchPlan, TheShortestProbeAndTheFastPollingFollowTheLine)
{
    const struct {
        LineSettings line;
        uint32_t shortestMs;
        uint16_t pollingMs;
    } cases[] = {
        // 17 characters of 11 bits: 9.7 ms, plus 10, plus the polling's 5.
        { LineSettings { .baud = 19200, .parity = ParityKind::Even, .stopBits = StopBitsKind::One }, 25, 5 },
        { LineSettings { .baud = 115200, .parity = ParityKind::None, .stopBits = StopBitsKind::Two }, 17, 5 },
        // 17 characters of 10 bits at 1200: 141.7 ms; two characters 16.7 ms.
        { LineSettings { .baud = 1200, .parity = ParityKind::None, .stopBits = StopBitsKind::One }, 169, 17 },
        { LineSettings { .baud = 9600, .parity = ParityKind::Odd, .stopBits = StopBitsKind::One }, 35, 5 },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ShortestProbeMs(c.line), c.shortestMs) << c.line.baud;
        EXPECT_EQ(FastPollingMs(c.line), c.pollingMs) << c.line.baud;
    }
}

TEST(SearchPlan, BoundsKeepAddressesOnTheBusAndProbesLongEnough)
{
    const LineSettings line { .baud = 19200, .parity = ParityKind::Even, .stopBits = StopBitsKind::One };
    EXPECT_EQ(Bounded({ 0, 255, 0, {} }, line), (SearchPlan { 1, 247, 0, {} }));
    EXPECT_EQ(Bounded({ 30, 20, 5, {} }, line), (SearchPlan { 30, 30, 25, {} }));
    EXPECT_EQ(Bounded({ 1, 247, 50, {} }, line), (SearchPlan { 1, 247, 50, {} }));
}

// How long a plan runs: the standard search's 272.8 s, a fast one's 12.4 s,
// and a sweep whose slow rate raises its probe time.
TEST(SearchPlan, ItsDurationCountsEveryStepAtEverySetting)
{
    const LineSettings bus { .baud = 19200, .parity = ParityKind::Even, .stopBits = StopBitsKind::One };
    EXPECT_EQ(PlanMs({}, bus), 272800u);
    EXPECT_EQ(PlanMs({ 1, 247, kFastProbeMs, {} }, bus), 12400u);
    SearchPlan sweep { 1, 10, kFastProbeMs, {} };
    sweep.lines = LineChoices({ 1200, 19200 }, { TParity::pNone }, { TStopBits::sb1 });
    EXPECT_EQ(PlanMs(sweep, bus), 11u * 169 + 11u * 50);
}

class FastSearchTest : public AppFixture {
protected:
    // The addresses found, each with the serial its record holds.
    std::map<int, int32_t> Found()
    {
        std::map<int, int32_t> found;
        for (int a = 0; a <= 247; ++a)
            if (const TDevice* d = form->DevList().at(static_cast<uint8_t>(a)))
                found[a] = d->Serial;
        return found;
    }
};

// The shortest step the options allow still finds every detector, at each
// phase of the polling.
TEST_F(FastSearchTest, AtTheShortestStepEveryDetectorIsFound)
{
    for (uint8_t a : { 1, 2, 3, 4 })
        bus.add(SimModel::Zor10, a).serial(6000000 + a);
    MakeForm();
    const uint32_t shortest = ShortestProbeMs(form->VSModbus.Line());
    for (uint32_t phase = 0; phase < 25; phase += 5) {
        SCOPED_TRACE(phase);
        loop.advance(phase + 1000);
        form->SetFindPlan({ 1, 6, shortest, {} });
        form->ActFindExecute();
        loop.advance(1000);
        ASSERT_FALSE(form->Finding());
        EXPECT_EQ(Found().size(), 4u);
    }
}

TEST_F(FastSearchTest, ARangeIsProbedAtTheStandardStep)
{
    bus.add(SimModel::Zor10, 12).serial(6000012);
    bus.add(SimModel::Zor10, 25).serial(6000025);
    MakeForm();
    form->SetFindPlan({ 10, 20, 0, {} });
    form->ActFindExecute();
    loop.advance(12 * 1100);
    EXPECT_FALSE(form->Finding());
    EXPECT_EQ(loop.now(), 12u * 1100);
    ASSERT_EQ(sent.size(), 11u);
    for (size_t i = 0; i < sent.size(); ++i)
        EXPECT_EQ(sent[i], Request(static_cast<uint8_t>(10 + i), 3, { 0x00, 0x06, 0x00, 0x02 }));
    EXPECT_EQ(Found(), (std::map<int, int32_t> { { 12, 6000012 } }));
    EXPECT_EQ(form->VSModbus.PollingDelay(), 500);
}

// 247 addresses at 50 ms: 12.4 s instead of 272.8 s. The link polls fast
// while it runs and returns to its own polling after, also when stopped.
TEST_F(FastSearchTest, AFastSearchFindsEveryDetectorOnceInSeconds)
{
    const std::map<int, int32_t> detectors { { 1, 6000001 }, { 77, 9499999 }, { 150, 6100150 }, { 247, 9400123 } };
    for (const auto& [address, serial] : detectors)
        bus.add(serial < 9000000 ? SimModel::Zor10 : SimModel::Zor11, static_cast<uint8_t>(address)).serial(serial);
    MakeForm();
    form->SetFindPlan({ 1, 247, kFastProbeMs, {} });
    form->ActFindExecute();
    EXPECT_EQ(form->VSModbus.PollingDelay(), 5);
    loop.advanceUntil([this] { return !form->Finding(); }, 30000);
    EXPECT_EQ(loop.now(), 248u * kFastProbeMs);
    EXPECT_EQ(sent.size(), 247u);
    EXPECT_EQ(Found(), detectors);
    EXPECT_EQ(form->RxCount(), 4);
    EXPECT_EQ(form->VSModbus.PollingDelay(), 500);
    EXPECT_TRUE(form->Log.Text().ends_with("Поиск окончен\r\n"));

    form->ActFindExecute();
    loop.advance(10 * kFastProbeMs);
    form->ActStopExecute();
    EXPECT_EQ(form->VSModbus.PollingDelay(), 500);
}

// Slow detectors at 50 ms a probe: one answering just in time is found; one
// whose answer is cut by the next probe's purge is dropped whole; answers
// that come during the next probe are added under the address they carry,
// never taken for the next address's detector.
TEST_F(FastSearchTest, LateAnswersAreAddedUnderTheirOwnAddressOrDropped)
{
    bus.add(SimModel::Zor10, 5).serial(6000005).turnaround(30);
    bus.add(SimModel::Zor10, 6).serial(6000006).turnaround(42);
    bus.add(SimModel::Zor10, 7).serial(6000007).turnaround(60);
    bus.add(SimModel::Zor10, 8).serial(6000008);
    bus.add(SimModel::Zor10, 10).serial(6000010).turnaround(70);
    MakeForm();
    form->SetFindPlan({ 1, 12, kFastProbeMs, {} });
    form->ActFindExecute();
    loop.advanceUntil([this] { return !form->Finding(); }, 5000);
    EXPECT_EQ(Found(), (std::map<int, int32_t> { { 5, 6000005 }, { 7, 6000007 }, { 8, 6000008 }, { 10, 6000010 } }));
    std::vector<std::string> nodes;
    for (const auto& model : form->DevTree.roots())
        for (const auto& node : model->children())
            nodes.push_back(node->text() + " @" + std::to_string(node->overlayIndex()));
    // In the order found: 7 answered after 8.
    EXPECT_EQ(nodes,
        (std::vector<std::string> {
            "#5 : 06000005 @5", "#8 : 06000008 @8", "#7 : 06000007 @7", "#10 : 06000010 @10" }));
}

// A probe time below what the line needs is raised to it.
TEST_F(FastSearchTest, AProbeTimeTooShortForTheLineIsRaised)
{
    MakeForm();
    form->SetFindPlan({ 1, 3, 1, {} });
    form->ActFindExecute();
    EXPECT_EQ(form->TimerFind().interval(), 25u);
    loop.advanceUntil([this] { return !form->Finding(); }, 1000);
    EXPECT_EQ(loop.now(), 4u * 25);
}

// A detector moved to 115200 8N2 is found by trying each rate, parity and
// stop bits in turn; the technician is offered those settings, and after
// switching the detector is read at them.
TEST_F(FastSearchTest, ASearchAcrossLineSettingsFindsAMovedDetectorAndSwitchesToIt)
{
    bus.add(SimModel::Zor10, 9).serial(6000009).version(204).line(115200, ParityKind::None, StopBitsKind::Two);
    bus.add(SimModel::Zor10, 3).serial(6000003).line(115200, ParityKind::None, StopBitsKind::Two);
    MakeForm();
    SearchPlan plan { 1, 10, kFastProbeMs, {} };
    plan.lines = LineChoices(SweepRates(), { TParity::pEven, TParity::pNone }, { TStopBits::sb1, TStopBits::sb2 });
    ASSERT_EQ(plan.lines.size(), 32u);
    form->SetFindPlan(plan);
    dialogs.answers = { forms::Answer::Yes };
    form->ActFindExecute();
    loop.advanceUntil(
        [this] { return form->StatBar.text(3).find("115200 / 8-None-2, адрес 3") != std::string::npos; }, 60000);
    EXPECT_EQ(Status(), "Поиск: 115200 / 8-None-2, адрес 3, найдено 0");
    loop.advance(2 * kFastProbeMs);
    EXPECT_EQ(Status(), "Поиск: 115200 / 8-None-2, адрес 5, найдено 1");
    loop.advanceUntil([this] { return !form->Finding(); }, 60000);

    EXPECT_EQ(Found(), (std::map<int, int32_t> { { 3, 6000003 }, { 9, 6000009 } }));
    ASSERT_NE(form->Log.Text().find("Прибор #9 : 06000009 отвечает при настройках линии 115200 / 8-None-2"),
        std::string::npos);
    ASSERT_EQ(dialogs.texts(),
        std::vector<std::string> {
            "Больше всего приборов отвечает при настройках линии 115200 / 8-None-2, шина настроена на "
            "19200 / 8-Even-1. Перейти на 115200 / 8-None-2?" });
    EXPECT_EQ(form->StatBar.text(0), "COM1 (Последовательный порт): 115200 / 8-None-2");
    EXPECT_EQ(form->VSModbus.PollingDelay(), 500);

    sent.clear();
    Select(9);
    form->DevTreeDblClick();
    loop.advance(2000);
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sentLines.back().baud, 115200u);
    EXPECT_TRUE(form->Panel.DevPanel.enabled());
    EXPECT_EQ(form->Panel.DevPanel.text(), "#9 : 06000009 (v2.4)  -  Рабочий режим");
}

// Declined, or with nothing found elsewhere, the bus keeps its settings;
// "Стоп" ends the search at once and the link is back on the bus settings.
TEST_F(FastSearchTest, ASearchAcrossLineSettingsKeepsTheBusSettingsUnlessTold)
{
    bus.add(SimModel::Zor10, 2).serial(6000002).line(9600);
    MakeForm();
    SearchPlan plan { 1, 3, kFastProbeMs, {} };
    plan.lines = LineChoices({ 9600, 19200, 38400 }, { TParity::pEven }, { TStopBits::sb1 });
    form->SetFindPlan(plan);
    dialogs.answers = { forms::Answer::No };
    form->ActFindExecute();
    loop.advanceUntil([this] { return !form->Finding(); }, 10000);
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(form->StatBar.text(0), "COM1 (Последовательный порт): 19200 / 8-Even-1");
    EXPECT_EQ(form->VSModbus.BaudRateValue(), 19200u);
    EXPECT_EQ(wire.masterSettings().baud, 19200u);

    dialogs.answers = { forms::Answer::No };
    form->ActFindExecute();
    loop.advance(6 * kFastProbeMs);
    form->ActStopExecute();
    EXPECT_FALSE(form->Finding());
    EXPECT_EQ(wire.masterSettings().baud, 19200u);
    EXPECT_EQ(form->VSModbus.PollingDelay(), 500);
    EXPECT_EQ(dialogs.shown.size(), 2u); // found at 9600 again: offered again

    bus.detector(2).line(19200);
    form->ActFindExecute();
    loop.advanceUntil([this] { return !form->Finding(); }, 10000);
    EXPECT_EQ(Found(), (std::map<int, int32_t> { { 2, 6000002 } }));
    EXPECT_EQ(dialogs.shown.size(), 2u); // found at the bus settings: nothing to offer
}

// The options window's plan is taken within the bounds of the bus settings
// and logged; it is not offered while a search runs.
TEST_F(FastSearchTest, TheOptionsWindowsPlanIsBoundedAndNotEditedDuringASearch)
{
    struct Edit final : SearchOptionsDialog {
        int shown = 0;
        uint32_t shortest = 0;
        bool edit(SearchPlan& plan, const LineSettings& bus) override
        {
            ++shown;
            shortest = ShortestProbeMs(bus);
            plan = { 40, 30, 1, {} };
            return true;
        }
    } dialog;
    MakeForm();
    form->FindOptionsClick(dialog);
    EXPECT_EQ(dialog.shortest, 25u);
    EXPECT_EQ(form->FindPlan(), (SearchPlan { 40, 40, 25, {} }));
    EXPECT_TRUE(form->Log.Text().ends_with("Параметры поиска: адреса 40..40, 25 мс на адрес\r\n"));
    form->ActFindExecute();
    form->FindOptionsClick(dialog);
    EXPECT_EQ(dialog.shown, 1);
}

// A detector heard at two settings is one detector, with one node; the
// settings that more detectors answer at are offered, the bus settings
// among equals. A sweep stopped early says so in its offer, and one that a
// lost port ends offers nothing and leaves the bus settings to the link.
TEST_F(FastSearchTest, ASweepCountsDetectorsOnceAndEndsCleanlyHoweverItEnds)
{
    bus.add(SimModel::Zor10, 4).serial(6000004);
    bus.add(SimModel::Zor10, 9).serial(6000009);
    MakeForm();
    SearchPlan plan { 1, 10, kFastProbeMs, {} };
    plan.lines = LineChoices({ 19200, 115200 }, { TParity::pEven }, { TStopBits::sb1 });
    form->SetFindPlan(plan);
    form->ActFindExecute();
    loop.advanceUntil([this] { return form->StatBar.text(3).find("115200") != std::string::npos; }, 5000);
    bus.detector(9).line(115200);
    loop.advanceUntil([this] { return !form->Finding(); }, 5000);
    EXPECT_EQ(Found(), (std::map<int, int32_t> { { 4, 6000004 }, { 9, 6000009 } }));
    EXPECT_EQ(form->DevTree.allNodes().size(), 3u); // one model node, two detectors
    EXPECT_NE(form->Log.Text().find("Прибор #9 : 06000009 отвечает при настройках линии 115200 / 8-Even-1"),
        std::string::npos);
    EXPECT_TRUE(dialogs.shown.empty()); // two at the bus settings, one elsewhere

    bus.detector(4).line(115200);
    dialogs.answers = { forms::Answer::No };
    form->ActFindExecute();
    loop.advanceUntil(
        [this] { return form->StatBar.text(3).find("115200 / 8-Even-1, адрес 10") != std::string::npos; }, 5000);
    form->ActStopExecute();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text.rfind("Перебор настроек линии остановлен до конца. Больше всего приборов", 0), 0u);
    EXPECT_EQ(wire.masterSettings().baud, 19200u);

    dialogs.shown.clear();
    form->ActFindExecute();
    loop.advanceUntil(
        [this] { return form->StatBar.text(3).find("115200 / 8-Even-1, адрес 5") != std::string::npos; }, 5000);
    wire.unplug();
    loop.advance(100);
    EXPECT_FALSE(form->Finding());
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(form->VSModbus.BaudRateValue(), 19200u);
    EXPECT_EQ(form->VSModbus.PollingDelay(), 500);
}

// Two detectors at one address, each at its own rate: the first found keeps
// the address, the other is told of and not added in its place.
TEST_F(FastSearchTest, TwoDetectorsAtOneAddressAreNeverMixed)
{
    bus.add(SimModel::Zor10, 6).serial(6000006).line(9600);
    bus.add(SimModel::Zor10, 6).serial(6000106).line(38400);
    MakeForm();
    SearchPlan plan { 5, 7, kFastProbeMs, {} };
    plan.lines = LineChoices({ 9600, 38400 }, { TParity::pEven }, { TStopBits::sb1 });
    form->SetFindPlan(plan);
    dialogs.answers = { forms::Answer::No };
    form->ActFindExecute();
    loop.advanceUntil([this] { return !form->Finding(); }, 5000);
    EXPECT_EQ(Found(), (std::map<int, int32_t> { { 6, 6000006 } }));
    EXPECT_EQ(form->DevTree.allNodes().size(), 2u);
    EXPECT_NE(form->Log.Text().find("Адрес 6: при настройках линии 38400 / 8-Even-1 отвечает другой прибор "
                                    "(#6 : 06000106), он не добавлен."),
        std::string::npos);
}

} // namespace
} // namespace zor::test
