// The service journal against simulated detectors, in virtual time: each
// operation that changes a detector leaves one record, with the values found
// before it and left after it as the detector holds them.

#include "AppFixture.h"

#include "journal/JournalStore.h"
#include "journal/Operation.h"
#include "sim/SimDetector.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

namespace zor::test {
namespace {

namespace fs = std::filesystem;
using journal::JournalRecord;

// Name, as found, as left.
using Values = std::map<std::string, std::pair<std::string, std::string>>;

// The radio write of a new report period from the LoRa window.
void WriteLoraPeriod(TFormLora& w)
{
    w.EditPeriod.setValue(120);
    w.BitBtnRFWriteClick();
}

class JournalTest : public AppFixture {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/zor-app-journal-XXXXXX";
        dir_ = mkdtemp(tmpl);
        store = journal::JournalStore::Open(dir_ + "/journal.sqlite", clock).store;
        ASSERT_TRUE(store);
    }
    void TearDown() override
    {
        form.reset();
        store.reset();
        fs::remove_all(dir_);
    }
    // A "ZOR-10" at address 5 measuring %об. (two decimals), range 5,00,
    // thresholds 1,00 and 2,00, its gas reaching the sensor at once.
    SimDetector& Open()
    {
        SimDetector& d = bus.add(SimModel::Zor10, 5).gas(2).range(500).limits(100, 200).responseTime(0);
        d.serial(7000123);
        return d;
    }
    void Read()
    {
        MakeForm();
        form->Journal().Attach(store.get(), &clock);
        form->Journal().Settings.technician = "Петров П.П.";
        SearchUpTo(5);
        Select(5);
        ReadPanel();
        sent.clear();
        dialogs.shown.clear();
    }
    std::vector<JournalRecord> Records() const
    {
        std::vector<JournalRecord> out;
        for (int64_t id : store->Find({}))
            out.push_back(*store->Get(id));
        return out;
    }
    static Values ValuesOf(const JournalRecord& r)
    {
        Values v;
        for (const journal::Reading& x : r.readings)
            v[x.name] = { x.found, x.left };
        return v;
    }
    // Selects a "ZOR-10" at address 5 with the journal attached and opens
    // its LoRa window, where whileOpen works as the technician does.
    void InLoraWindow(std::function<void(TFormLora&)> whileOpen)
    {
        bus.add(SimModel::Zor10, 5);
        MakeForm();
        SearchUpTo(5);
        Select(5);
        form->Journal().Attach(store.get(), &clock);
        windows.whileLoraOpen = [this, whileOpen] {
            // The hook is cleared with this closure: what it runs is kept first.
            const auto act = whileOpen;
            TFormLora& window = form->FormLora();
            windows.whileLoraOpen = nullptr;
            act(window);
        };
        form->N11Click();
    }
    // Runs the operation out and the journal's wait for the values after.
    void Settle() { loop.advance(ServiceJournal::kLeftWaitMs + 2000); }
    // The journal's one record, after the operation and its wait have run
    // out; an empty record when it holds none or more.
    JournalRecord OnlyRecord()
    {
        Settle();
        const auto records = Records();
        if (records.size() != 1) {
            ADD_FAILURE() << records.size() << " records";
            return {};
        }
        return records[0];
    }

    std::string dir_;
    journal::FixedClock clock { { 1'796'986'800, 60 } }; // 2026-12-11 12:00 +01:00
    std::unique_ptr<journal::JournalStore> store;
};

struct OperationCase {
    const char* name;
    uint16_t testGas; // at the sensor, register units; 0: clean air
    std::function<void(TFormMain&)> act;
    std::string operation;
    std::string result;
    Values values; // a few of the values, found and left
    std::vector<journal::Detail> details;
};

class EachOperation : public JournalTest, public ::testing::WithParamInterface<OperationCase> { };

TEST_P(EachOperation, LeavesOneRecordWithItsValuesBeforeAndAfter)
{
    const OperationCase& c = GetParam();
    SimDetector& d = Open();
    if (c.testGas)
        d.applyTestGas(c.testGas);
    Read();
    c.act(*form);
    Finish();

    const JournalRecord r = OnlyRecord();
    EXPECT_EQ(r.operation, c.operation);
    EXPECT_TRUE(r.success);
    EXPECT_EQ(r.result, c.result);
    EXPECT_EQ(r.stoppedAt, "");
    EXPECT_EQ(r.when, "2026-12-11 12:00:00 +01:00");
    EXPECT_EQ(r.technician, "Петров П.П.");
    EXPECT_EQ(r.model, "ZOR-10");
    EXPECT_EQ(r.serial, 7000123);
    EXPECT_EQ(r.address, 5);
    EXPECT_EQ(r.unit, "%об.");
    EXPECT_EQ(r.range, "5,00");
    const Values got = ValuesOf(r);
    for (const auto& [name, expected] : c.values) {
        ASSERT_TRUE(got.count(name)) << name;
        EXPECT_EQ(got.at(name), expected) << name;
    }
    ASSERT_EQ(r.details.size(), c.details.size());
    for (size_t i = 0; i < c.details.size(); ++i) {
        EXPECT_EQ(r.details[i].label, c.details[i].label);
        EXPECT_EQ(r.details[i].text, c.details[i].text);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, EachOperation,
    ::testing::Values(OperationCase { "ParameterWrite", 0,
                          [](TFormMain& f) {
                              f.Panel.EditLimit1.setValue(1.5);
                              f.ActWriteOptExecute();
                          },
                          "Запись параметров", "Параметры изменены!",
                          { { "Порог 1", { "1,00", "1,50" } }, { "Порог 2", { "2,00", "2,00" } } }, {} },
        OperationCase { "InterfaceWriteMovesTheDevice", 0,
            [](TFormMain& f) {
                f.Panel.SEditAddr.setValue(9);
                f.ActWriteAddrExecute();
            },
            "Запись настроек интерфейса", "Параметры изменены!", {}, {} },
        OperationCase { "Zero", 30, [](TFormMain& f) { f.ActZeroExecute(); }, "Установка нуля (Уст. 0)",
            "Установка 0 произведена", { { "Концентрация", { "0,30", "0,00" } } }, {} },
        OperationCase { "Span", 250, [](TFormMain& f) { f.ApplySpan(300); }, "Градуировка по ПГС (Град.)",
            "Градуировка произведена", { { "Концентрация", { "2,50", "3,00" } } },
            { { "Концентрация ПГС, %об.", "3,00" } } },
        OperationCase { "Reset", 40, [](TFormMain& f) { f.ActInitExecute(); }, "Сброс градуировки",
            "Сброс градуировки произведён", { { "Концентрация", { "0,40", "0,40" } } }, {} }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(JournalTest, InterfaceWriteReadsTheDeviceAtItsNewAddress)
{
    Open();
    Read();
    form->Panel.SEditAddr.setValue(9);
    form->ActWriteAddrExecute();
    Finish();
    Settle();
    const auto records = Records();
    ASSERT_EQ(records.size(), 1u);
    const Values v = ValuesOf(records[0]);
    // High byte: the address.
    EXPECT_TRUE(v.at("Адрес и настройки линии").first.starts_with("адрес 5, 19200 бит/с (0x05"))
        << v.at("Адрес и настройки линии").first;
    EXPECT_TRUE(v.at("Адрес и настройки линии").second.starts_with("адрес 9, 19200 бит/с (0x09"))
        << v.at("Адрес и настройки линии").second;
}

struct FailureCase {
    const char* name;
    std::function<void(TFormMain&)> act;
    size_t framesHeard; // the device answers this many, then falls silent
    std::string stoppedAt;
};

class FailedChain : public JournalTest, public ::testing::WithParamInterface<FailureCase> { };

TEST_P(FailedChain, LeavesAFailureRecordNamingTheStep)
{
    const FailureCase& c = GetParam();
    SimDetector& d = Open();
    d.applyTestGas(100);
    Read();
    if (c.framesHeard == 0)
        d.silent();
    c.act(*form);
    loop.advanceUntil([&] { return sent.size() == c.framesHeard; }, 10000);
    d.silent();
    Finish();
    Settle();

    const auto records = Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_FALSE(records[0].success);
    EXPECT_EQ(records[0].result, "Ошибка записи параметров!");
    EXPECT_EQ(records[0].stoppedAt, c.stoppedAt);
    // The journal asked for its one read, and the silent device left the
    // values after unknown.
    EXPECT_EQ(sent.back(), Read3(5, 0, 19));
    EXPECT_NE(form->Log.Text().find("Прибор:5  чтение для журнала"), std::string::npos);
    for (const journal::Reading& x : records[0].readings)
        EXPECT_EQ(x.left, "") << x.name;
}

INSTANTIATE_TEST_SUITE_P(Cases, FailedChain,
    ::testing::Values(
        FailureCase { "FirstStep", [](TFormMain& f) { f.ActWriteOptExecute(); }, 0, "Установка разрешений..." },
        FailureCase { "Magnet", [](TFormMain& f) { f.ActWriteOptExecute(); }, 1, "Запись для магнитной калибровки..." },
        FailureCase { "ZeroCommand", [](TFormMain& f) { f.ActZeroExecute(); }, 1, "Установка 0..." },
        FailureCase { "Closing", [](TFormMain& f) { f.ActZeroExecute(); }, 2, "Закрытие разрешений..." }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(JournalTest, AWriteWithoutReadBackGetsOneReadOfTheJournalsOwn)
{
    SimDetector& d = Open();
    d.writeHolding(1, 0x0400); // current-output adjust mode
    Read();
    form->Panel.RBt20mA.setChecked(true);
    form->Panel.EditCurr.setValue(19.87);
    form->ActWriteCurrExecute();
    loop.advance(1000);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0], Write6(5, 11, 1987));
    // The read follows the echo, alone on the bus.
    EXPECT_EQ(sent[1], Read3(5, 0, 19));
    EXPECT_NE(form->Log.Text().find("Прибор:5  чтение для журнала"), std::string::npos);
    Settle();
    EXPECT_EQ(sent.size(), 2u);

    const auto records = Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].operation, "Коррекция токового выхода");
    EXPECT_TRUE(records[0].success);
    ASSERT_EQ(records[0].details.size(), 2u);
    EXPECT_EQ(records[0].details[0].text, "20 мА");
    EXPECT_EQ(records[0].details[1].text, "19,87");
    EXPECT_FALSE(ValuesOf(records[0]).at("Ток, мА").second.empty());
}

TEST_F(JournalTest, ASpanWithAnExpiredCylinderIsWarnedAboutAndStillSent)
{
    SimDetector& d = Open();
    d.applyTestGas(250);
    Read();
    JournalSettings& s = form->Journal().Settings;
    s.cylinderLot = "П-117";
    s.cylinderConc = "3,00 %об.";
    s.cylinderExpiry = journal::Date { 2026, 12, 10 };
    ASSERT_TRUE(form->ApplySpan(300));
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.shown[0].text, "Срок годности баллона ПГС истёк (10.12.2026)!");
    Finish();
    Settle();
    EXPECT_NE(std::find(sent.begin(), sent.end(), Write6(5, 3, 300)), sent.end());
    const auto records = Records();
    ASSERT_EQ(records.size(), 1u);
    ASSERT_EQ(records[0].details.size(), 4u);
    EXPECT_EQ(records[0].details[1].text, "П-117");
    EXPECT_EQ(records[0].details[2].text, "3,00 %об.");
    EXPECT_EQ(records[0].details[3].text, "10.12.2026 (срок истёк)");
}

TEST_F(JournalTest, WhileReadingAutomaticallyTheNextCycleGivesTheValuesAfter)
{
    SimDetector& d = Open();
    d.writeHolding(1, 0x0400);
    Read();
    form->ActRenewExecute();
    loop.advance(2500); // a whole cycle: nothing is outstanding
    form->Panel.EditCurr.setValue(19.87);
    form->ActWriteCurrExecute();
    const JournalRecord r = OnlyRecord();
    EXPECT_TRUE(r.success);
    EXPECT_FALSE(ValuesOf(r).at("Ток, мА").second.empty());
    // The journal asked for nothing of its own.
    EXPECT_EQ(form->Log.Text().find("чтение для журнала"), std::string::npos);
}

TEST_F(JournalTest, WithoutAJournalTheTrimIsOneWriteAlone)
{
    SimDetector& d = Open();
    d.writeHolding(1, 0x0400);
    OpenRead(5);
    form->Panel.EditCurr.setValue(4.02);
    form->ActWriteCurrExecute();
    Settle();
    EXPECT_EQ(sent, std::vector<Frame> { Write6(5, 11, 402) });
    EXPECT_EQ(store->Count(), 0);
}

struct DueCase {
    const char* name;
    std::optional<int64_t> spanDaysAgo; // none: no span recorded
    bool spanSucceeded;
    int intervalMonths;
    std::string hint; // empty: the node is not marked
};

class DueAtSearch : public JournalTest, public ::testing::WithParamInterface<DueCase> { };

TEST_P(DueAtSearch, MarksTheNodeAndLogsOneLine)
{
    const DueCase& c = GetParam();
    Open();
    if (c.spanDaysAgo) {
        JournalRecord r;
        r.serial = 7000123;
        r.model = "ZOR-10";
        r.kind = static_cast<int>(journal::Operation::Span);
        r.operation = "Градуировка по ПГС (Град.)";
        r.success = c.spanSucceeded;
        r.unixTime = clock.now().unixTime - *c.spanDaysAgo * 86400;
        ASSERT_GT(store->Append(r), 0);
    }
    MakeForm();
    form->Journal().Attach(store.get(), &clock);
    form->Journal().Settings.intervalMonths = c.intervalMonths;
    SearchUpTo(5);
    forms::TreeNode* node = DeviceNode(5);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->hint(), c.hint);
    const std::string log = form->Log.Text();
    const std::string line = "Прибор " + node->text() + ": " + c.hint;
    if (c.hint.empty()) {
        EXPECT_EQ(log.find("Калибровка"), std::string::npos);
    } else {
        ASSERT_NE(log.find(line), std::string::npos) << log;
        EXPECT_EQ(log.find(line, log.find(line) + 1), std::string::npos); // once
    }
}

// Now: 11.12.2026.
INSTANTIATE_TEST_SUITE_P(Cases, DueAtSearch,
    ::testing::Values(DueCase { "NoneRecorded", std::nullopt, true, 6, "Калибровка не записана в журнале" },
        DueCase { "OnlyAFailedSpan", 10, false, 6, "Калибровка не записана в журнале" },
        DueCase { "Recent", 10, true, 6, "" }, DueCase { "DueToday", 183, true, 6, "" },
        DueCase { "OverdueByADay", 184, true, 6, "Калибровка просрочена с 10.12.2026" },
        DueCase { "LongerInterval", 184, true, 12, "" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(JournalTest, ASuccessfulSpanTakesTheMarkOffTheNode)
{
    SimDetector& d = Open();
    d.applyTestGas(250);
    Read();
    ASSERT_EQ(DeviceNode(5)->hint(), "Калибровка не записана в журнале");
    ASSERT_TRUE(form->ApplySpan(300));
    Finish();
    Settle();
    EXPECT_EQ(DeviceNode(5)->hint(), "");
}

std::string FileBytes(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

struct LoraCase {
    const char* name;
    std::function<void(TFormLora&)> act;
    std::string operation;
    std::string keysChanged; // empty: not a key write
    Values values;
};

class LoraRecord : public JournalTest, public ::testing::WithParamInterface<LoraCase> { };

TEST_P(LoraRecord, KeepsWhetherKeysChangedButNeverTheKeys)
{
    const LoraCase& c = GetParam();
    InLoraWindow([&](TFormLora& w) {
        c.act(w);
        loop.advance(9000);
    });
    loop.advance(1000);

    const JournalRecord r = OnlyRecord();
    EXPECT_EQ(r.operation, c.operation);
    EXPECT_TRUE(r.success);
    EXPECT_EQ(r.result, "Успешно!");
    const Values got = ValuesOf(r);
    for (const auto& [name, expected] : c.values)
        EXPECT_EQ(got.at(name), expected) << name;
    if (c.keysChanged.empty()) {
        EXPECT_TRUE(r.details.empty());
    } else {
        ASSERT_EQ(r.details.size(), 1u);
        EXPECT_EQ(r.details[0].label, "Ключи LoRaWAN изменены");
        EXPECT_EQ(r.details[0].text, c.keysChanged);
    }
    // Neither the keys written nor the keys found are anywhere in the
    // journal's files, as text in either case or as bytes.
    store.reset();
    const std::string bytes = FileBytes(dir_ + "/journal.sqlite") + FileBytes(dir_ + "/journal.sqlite-wal");
    ASSERT_FALSE(bytes.empty());
    for (const std::string key : { "00112233445566778899AABBCCDDEEFF", "5C0E93A1D74F28B6E0A3C9175D2B84F6" }) {
        std::string lower = key;
        for (char& ch : lower)
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        std::string raw;
        for (size_t i = 0; i < key.size(); i += 2)
            raw += static_cast<char>(std::stoi(key.substr(i, 2), nullptr, 16));
        EXPECT_EQ(bytes.find(key), std::string::npos) << key;
        EXPECT_EQ(bytes.find(lower), std::string::npos) << key;
        EXPECT_EQ(bytes.find(raw.substr(0, 8)), std::string::npos) << key;
        EXPECT_EQ(bytes.find(raw.substr(8)), std::string::npos) << key;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, LoraRecord,
    ::testing::Values(LoraCase { "NewKeys",
                          [](TFormLora& w) {
                              w.EditAppSKey.setText("00112233445566778899aabbccddeeff");
                              w.EditNwkSKey.setText("5C0E93A1D74F28B6E0A3C9175D2B84F6");
                              w.BitBtnABPWriteClick();
                          },
                          "Запись ключей LoRaWAN", "да", {} },
        LoraCase { "SameKeys", [](TFormLora& w) { w.BitBtnABPWriteClick(); }, "Запись ключей LoRaWAN", "нет", {} },
        LoraCase { "Radio", [](TFormLora& w) { WriteLoraPeriod(w); }, "Запись настроек LoRa", "",
            { { "LoRa: период, с", { "60", "120" } } } }),
    [](const auto& info) { return std::string(info.param.name); });

// The record writes a value in the same text the panel shows it in, whatever
// the unit or the register's scale.
struct PanelTextCase {
    const char* name;
    std::function<void(SimDetector&)> setUp;
    std::string reading;
    std::function<std::string(const TFormMain&)> panelText;
    std::string expected;
};

class RecordedAsShown : public JournalTest, public ::testing::WithParamInterface<PanelTextCase> { };

TEST_P(RecordedAsShown, ByThePanel)
{
    const PanelTextCase& c = GetParam();
    c.setUp(bus.add(SimModel::Zor10, 5).responseTime(0));
    Read();
    ASSERT_EQ(c.panelText(*form), c.expected);
    form->ActZeroExecute();
    Finish();

    const JournalRecord r = OnlyRecord();
    EXPECT_EQ(ValuesOf(r).at(c.reading).first, c.expected);
    if (c.reading == "Диапазон") {
        EXPECT_EQ(r.range, c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, RecordedAsShown,
    ::testing::Values(
        // Ethane: the range comes in 0,01 %об and is shown in %НКПР of its
        // lower explosive limit 2,50 %об.
        PanelTextCase { "RangeInLel", [](SimDetector& d) { d.gas(5).range(125).limits(50, 100); }, "Диапазон",
            [](const TFormMain& f) { return f.Panel.EditURV.text(); }, "50,0" },
        PanelTextCase { "RangeInVolume", [](SimDetector& d) { d.gas(2).range(500).limits(100, 200); }, "Диапазон",
            [](const TFormMain& f) { return f.Panel.EditURV.text(); }, "5,00" },
        // Carbon monoxide past the version gate gives hundredths of a degree.
        PanelTextCase { "TemperatureInHundredths", [](SimDetector& d) { d.gas(24).version(204).temperature(253); },
            "Температура, °C", [](const TFormMain& f) { return f.Panel.EditTemp.text(); }, "25,3" },
        PanelTextCase { "TemperatureInTenths", [](SimDetector& d) { d.gas(2).range(500).temperature(-57); },
            "Температура, °C", [](const TFormMain& f) { return f.Panel.EditTemp.text(); }, "-5,7" }),
    [](const auto& info) { return std::string(info.param.name); });

// After a radio write the LoRa window says "Успешно!" and, closed then, stays
// closed: the journal's own read of the block for the values after neither
// changes its caption nor opens it again.
TEST_F(JournalTest, ItsLoraReadLeavesTheLoraWindowAsItIs)
{
    std::string caption;
    InLoraWindow([&](TFormLora& w) {
        WriteLoraPeriod(w);
        loop.advance(9000);
        caption = w.Caption.text();
    });
    loop.advance(1000);
    EXPECT_EQ(caption, "Успешно!");
    EXPECT_EQ(windows.loraShown, 1);
    const JournalRecord r = OnlyRecord();
    EXPECT_EQ(ValuesOf(r).at("LoRa: период, с"), std::make_pair(std::string("60"), std::string("120")));
}

TEST_F(JournalTest, AClosedLoraWindowStaysClosedWhenItsReadIsAnsweredLate)
{
    // The technician closes the window as soon as it says "Успешно!", before
    // the journal's read is answered.
    InLoraWindow([&](TFormLora& w) {
        WriteLoraPeriod(w);
        loop.advanceUntil([&] { return w.Caption.text() == "Успешно!"; }, 9000);
    });
    loop.advanceUntil([&] { return windows.loraShown >= 1 && !windows.loraOpen; }, 15000);
    ASSERT_EQ(windows.loraShown, 1);
    Settle();
    EXPECT_EQ(windows.loraShown, 1);
}

// A trim the device refuses is recorded with its refusal, not as a device
// that did not answer.
TEST_F(JournalTest, ARefusedTrimIsRecordedWithTheRefusal)
{
    SimDetector& d = Open();
    d.writeHolding(1, 0x0400); // current-output adjust mode
    Read();
    d.exceptionOn(11, 3);
    form->Panel.EditCurr.setValue(19.87);
    form->ActWriteCurrExecute();

    const JournalRecord r = OnlyRecord();
    EXPECT_NE(form->Log.Text().find("Ошибка #3"), std::string::npos);
    EXPECT_FALSE(r.success);
    EXPECT_EQ(r.result, "Ошибка #3");
}

} // namespace
} // namespace zor::test
