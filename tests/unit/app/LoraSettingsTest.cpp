#include "AppFixture.h"

#include "sim/SimDetector.h"

#include <array>
#include <map>

namespace zor::test {
namespace {

using Words = std::array<uint16_t, 5>;

Frame WriteBlock(uint8_t address, uint8_t start, const std::vector<uint16_t>& words)
{
    std::vector<uint8_t> data { 0x00, start, 0x00, static_cast<uint8_t>(words.size()),
        static_cast<uint8_t>(2 * words.size()) };
    for (uint16_t w : words) {
        data.push_back(static_cast<uint8_t>(w >> 8));
        data.push_back(static_cast<uint8_t>(w));
    }
    return Request(address, 16, data);
}

const std::string kDefaultKey = "5C0E93A1D74F28B6E0A3C9175D2B84F6";
const std::string kRestarting = "Параметры изменены! Перезапуск LoRa...";

// A "ZOR-10" with a radio at address 5, as it leaves the factory: address
// 0x26010005, SF9, 60 s, the default keys.
class LoraTest : public AppFixture {
protected:
    SimDetector& Open()
    {
        SimDetector& d = bus.add(SimModel::Zor10, 5);
        MakeForm();
        SearchUpTo(5);
        Select(5);
        sent.clear();
        return d;
    }
    TFormLora& Lora() { return form->FormLora(); }
    // The window opened on the device's block and closed again: its writes
    // send what was read.
    void ReadLora()
    {
        form->N11Click();
        loop.advance(1000);
        ASSERT_EQ(windows.loraShown, 1);
        sent.clear();
    }
};

TEST_F(LoraTest, MenuReadsTheBlockStopsReadingAndShowsTheWindowModally)
{
    bus.add(SimModel::Zor10, 5);
    MakeForm();
    SearchUpTo(5);
    sent.clear();
    form->N11Click(); // nothing selected
    loop.advance(1000);
    EXPECT_TRUE(sent.empty());

    Select(5);
    form->ActRenewExecute();
    form->N11Click();
    EXPECT_FALSE(form->TimerRead().enabled());
    loop.advance(1000);
    ASSERT_EQ(sent.size(), 3u); // the read cycle ran out first
    EXPECT_EQ(sent[2], Read3(5, 0x40, 0x1C));
    EXPECT_EQ(windows.loraShown, 1);
    EXPECT_EQ(Lora().Caption.text(), "Настройки LoRa: Исходные значения");
    EXPECT_FALSE(Lora().EditChan1.enabled());
    EXPECT_EQ(Lora().EditAppSKey.text(), kDefaultKey);
    loop.advance(10000);
    EXPECT_EQ(sent.size(), 3u);
}

struct RadioCase {
    const char* name;
    std::map<uint16_t, uint16_t> device; // registers changed at the device
    std::array<int64_t, 3> channels;
    const char* bandWidth;
    const char* power;
    const char* sFactor;
    int64_t period;
    std::function<void(TFormLora&)> typed;
    Words written;
};

class RadioWrite : public LoraTest, public ::testing::WithParamInterface<RadioCase> { };

TEST_P(RadioWrite, ShowsWhatTheWindowCanShowAndWritesFiveRegistersThenRestarts)
{
    const RadioCase& c = GetParam();
    SimDetector& d = Open();
    for (const auto& [reg, value] : c.device)
        d.setHolding(reg, value);
    const uint16_t chan1 = d.holding(71);
    const int32_t tx = form->TxCount();
    std::string between;
    windows.whileLoraOpen = [&] {
        TFormLora& w = Lora();
        EXPECT_EQ(
            (std::array<int64_t, 3> { w.EditChan1.value(), w.EditChan2.value(), w.EditChan3.value() }), c.channels);
        EXPECT_EQ(w.CBoxBandWidth.text(), c.bandWidth);
        EXPECT_EQ(w.CBoxPower.text(), c.power);
        EXPECT_EQ(w.CBoxSFactor.text(), c.sFactor);
        EXPECT_EQ(w.EditPeriod.value(), c.period);
        EXPECT_EQ(w.EditAddr.value(), 0x26010005);
        if (c.typed)
            c.typed(w);
        w.BitBtnRFWriteClick();
        loop.advanceUntil([&] { return sent.size() == 3; }, 5000);
        between = w.Caption.text();
        loop.advanceUntil([&] { return form->WriteOp() == woNone; }, 8000);
    };
    form->N11Click();
    loop.advance(1000);

    ASSERT_EQ(windows.loraShown, 1);
    const std::vector<uint16_t> data(c.written.begin(), c.written.end());
    EXPECT_EQ(sent, (std::vector<Frame> { Read3(5, 64, 28), WriteBlock(5, 65, data), Write6(5, 64, 1) }));
    EXPECT_EQ(form->TxCount() - tx, 3);
    EXPECT_EQ(between, kRestarting);
    EXPECT_EQ(Lora().Caption.text(), "Успешно!");
    EXPECT_EQ(Status(), "Успешно!");
    for (size_t i = 0; i < data.size(); ++i)
        EXPECT_EQ(d.holding(static_cast<uint16_t>(65 + i)), data[i]) << "register " << 65 + i;
    EXPECT_EQ(d.holding(71), chan1); // the channels are not written
}

INSTANTIATE_TEST_SUITE_P(Cases, RadioWrite,
    ::testing::Values(RadioCase { "AsRead", {}, { 868100000, 868300000, 868500000 }, "125", "Max", "SF9 - 1760 bit/s",
                          60, nullptr, { 0x2601, 0x0005, 0x0000, 0x0003, 60 } },
        // Indexes no list has are replaced; the coding rate the list cannot
        // show is kept as the device has it.
        RadioCase { "IndexesBeyondTheLists", { { 67, 0x0301 }, { 68, 0x0906 }, { 69, 3 } },
            { 868100000, 868300000, 868500000 }, "125", "14", "SF7 - 5470 bit/s", 5, nullptr,
            { 0x2601, 0x0005, 0x0001, 0x0705, 5 } },
        RadioCase { "ChannelsOutsideTheBand",
            { { 70, 0 }, { 71, 0 }, { 72, 0x33C1 }, { 73, 0x34E0 }, { 74, 0x33DB }, { 75, 0x2581 } },
            { 864000000, 868300000, 864000000 }, "125", "Max", "SF9 - 1760 bit/s", 60, nullptr,
            { 0x2601, 0x0005, 0x0000, 0x0003, 60 } },
        // Nothing typed wraps on its way: the period stops at 65535, the
        // address takes all 32 bits.
        RadioCase { "TypedValuesAtTheRegistersLimits", {}, { 868100000, 868300000, 868500000 }, "125", "Max",
            "SF9 - 1760 bit/s", 60,
            [](TFormLora& w) {
                w.EditPeriod.setValue(70000);
                w.EditAddr.setValue(4294967295LL);
                w.CBoxPower.setItemIndex(2);
                w.CBoxSFactor.setItemIndex(5);
            },
            { 0xFFFF, 0xFFFF, 0x0000, 0x0205, 0xFFFF } }),
    [](const auto& info) { return std::string(info.param.name); });

struct KeyCase {
    const char* name;
    std::string app, nwk;
    std::string message;
};

class KeyCheck : public LoraTest, public ::testing::WithParamInterface<KeyCase> { };

TEST_P(KeyCheck, RefusesTheFirstBadKeyAndSendsNothing)
{
    const KeyCase& c = GetParam();
    Open();
    ReadLora();
    Lora().EditAppSKey.setText(c.app);
    Lora().EditNwkSKey.setText(c.nwk);
    Lora().BitBtnABPWriteClick();
    loop.advance(2000);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, c.message);
    EXPECT_EQ(dialogs.shown[0].owner, forms::DialogOwner::Lora);
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(form->WriteOp(), woNone);
}

INSTANTIATE_TEST_SUITE_P(Cases, KeyCheck,
    ::testing::Values(KeyCase { "ShortApplicationKeyFirst", kDefaultKey.substr(0, 31), kDefaultKey.substr(0, 31) + "G",
                          "Ошибка в AppsKey!" },
        KeyCase { "LetterGInTheNetworkKey", kDefaultKey, kDefaultKey.substr(0, 31) + "G", "Ошибка в MwksKey!" },
        KeyCase { "ShortNetworkKey", kDefaultKey, kDefaultKey.substr(0, 30), "Ошибка в MwksKey!" },
        // Letters are counted, not bytes: 30 digits and a Cyrillic letter are
        // 31 letters in 32 bytes.
        KeyCase { "CyrillicLetterCountsOnce", kDefaultKey.substr(0, 30) + "Ж", kDefaultKey.substr(0, 31),
            "Ошибка в AppsKey!" },
        // Position by position, the application key first at each.
        KeyCase { "EarlierBadPositionWins", kDefaultKey.substr(0, 20) + "X" + kDefaultKey.substr(21),
            "5C0X" + kDefaultKey.substr(4), "Ошибка в MwksKey!" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoraTest, KeyWriteSendsBothKeysThenTheRestart)
{
    SimDetector& d = Open();
    ReadLora();
    const int32_t tx = form->TxCount();
    Lora().EditAppSKey.setText("00112233445566778899aabbccddeeff");
    Lora().EditNwkSKey.setText("FFEEDDCCBBAA99887766554433221100");
    Lora().BitBtnABPWriteClick();
    EXPECT_EQ(Status(), "Запись настроек LoRa...");
    loop.advanceUntil([&] { return sent.size() == 3; }, 5000);
    EXPECT_EQ(Lora().Caption.text(), kRestarting);
    EXPECT_EQ(Status(), "Перезапуск LoRa...");
    Finish();

    EXPECT_EQ(sent,
        (std::vector<Frame> { WriteBlock(5, 0x4C, { 0x0011, 0x2233, 0x4455, 0x6677, 0x8899, 0xAABB, 0xCCDD, 0xEEFF }),
            WriteBlock(5, 0x54, { 0xFFEE, 0xDDCC, 0xBBAA, 0x9988, 0x7766, 0x5544, 0x3322, 0x1100 }),
            Write6(5, 64, 1) }));
    EXPECT_EQ(form->TxCount() - tx, 3);
    EXPECT_EQ(Lora().Caption.text(), "Успешно!");
    EXPECT_EQ(d.holding(83), 0xEEFF);
    EXPECT_EQ(d.holding(84), 0xFFEE);
}

struct RestartCase {
    const char* name;
    bool answered;
    std::string captionBefore, captionAfter, status;
};

class Restart : public LoraTest, public ::testing::WithParamInterface<RestartCase> { };

TEST_P(Restart, EndsWithItsAnswerOrAfterSixSeconds)
{
    const RestartCase& c = GetParam();
    SimDetector& d = Open();
    ReadLora();
    Lora().BitBtnRFWriteClick();
    loop.advanceUntil([&] { return Lora().Caption.text() == kRestarting; }, 5000);
    // The restart request is on its way: a detector that stops listening
    // now never answers it.
    if (!c.answered)
        d.silent();
    loop.advance(5800);
    EXPECT_EQ(Lora().Caption.text(), c.captionBefore);
    loop.advance(400);
    EXPECT_EQ(Lora().Caption.text(), c.captionAfter);
    EXPECT_EQ(Status(), c.status);
    EXPECT_EQ(form->WriteOp(), woNone);
    EXPECT_TRUE(dialogs.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, Restart,
    ::testing::Values(RestartCase { "Answered", true, "Успешно!", "Успешно!", "Успешно!" },
        RestartCase {
            "NoAnswer", false, kRestarting, "Настройки LoRa: Ошибка активации!", "Перезапуск LoRa... Ошибка!" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoraTest, DefaultsKeepTheAddressAndSendNothing)
{
    SimDetector& d = Open();
    d.setHolding(64, 1);
    d.setHolding(68, 0x0705);
    d.setHolding(69, 300);
    d.setHolding(76, 0x1234);
    windows.whileLoraOpen = [&] {
        TFormLora& w = Lora();
        EXPECT_EQ(w.Caption.text(), "Настройки LoRa: Активен");
        w.BitBtnDefsClick();
        EXPECT_EQ(w.Caption.text(), "Настройки LoRa: Исходные значения");
        EXPECT_EQ(w.EditAddr.value(), 0x26010005);
        EXPECT_EQ(w.CBoxSFactor.itemIndex(), 3);
        EXPECT_EQ(w.CBoxPower.itemIndex(), 0);
        EXPECT_EQ(w.EditPeriod.value(), 60);
        EXPECT_EQ(w.EditAppSKey.text(), kDefaultKey);
        EXPECT_EQ(w.EditNwkSKey.text(), kDefaultKey);
        loop.advance(3000);
    };
    form->N11Click();
    loop.advance(1000);
    ASSERT_EQ(windows.loraShown, 1);
    EXPECT_EQ(sent, std::vector<Frame> { Read3(5, 64, 28) });
}

TEST_F(LoraTest, ReadWhileOpenRefreshesTheWindow)
{
    SimDetector& d = Open();
    windows.whileLoraOpen = [&] {
        d.setHolding(69, 120);
        Lora().BitBtnReadClick();
        loop.advance(1000);
        EXPECT_EQ(Lora().EditPeriod.value(), 120);
    };
    form->N11Click();
    loop.advance(1000);
    EXPECT_EQ(windows.loraShown, 1);
    EXPECT_EQ(sent, (std::vector<Frame> { Read3(5, 64, 28), Read3(5, 64, 28) }));
}

TEST_F(LoraTest, WritesWaitForTheWholeBlockOfTheSelectedDevice)
{
    Open();
    // An answer with the first five registers only: the rest of the window
    // holds no device's values.
    std::vector<bool> refused;
    windows.whileLoraOpen = [&] {
        const size_t boxes = dialogs.shown.size();
        Lora().BitBtnRFWriteClick();
        refused.push_back(dialogs.shown.size() > boxes);
        if (refused.size() == 2)
            loop.advanceUntil([&] { return form->WriteOp() == woNone; }, 10000);
    };
    form->N11Click();
    const uint8_t partial[] { 5, 3, 10, 0, 1, 0x26, 0x01, 0, 5, 0, 0, 0x07, 0x03 };
    form->VSModbusModbusPacketEvent(form->VSModbus, partial, sizeof partial);
    // Then the whole block comes.
    loop.advance(1000);

    EXPECT_EQ(refused, (std::vector<bool> { true, false }));
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.shown[0].text, "Сначала прочитайте прибор!");
    EXPECT_EQ(dialogs.shown[0].owner, forms::DialogOwner::Lora);
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0], Read3(5, 64, 28));
    EXPECT_EQ(sent[1][1], 16);
    EXPECT_EQ(sent[2], Write6(5, 64, 1));
}

} // namespace
} // namespace zor::test
