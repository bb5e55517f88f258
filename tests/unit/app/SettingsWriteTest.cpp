#include "AppFixture.h"

#include "sim/SimDetector.h"

#include <utility>

namespace zor::test {
namespace {

using RegValues = std::vector<std::pair<uint16_t, uint16_t>>;

// Detector 5 measures H2S (1 decimal: 20.0 goes as 200) with threshold 2 at
// 500, 19200 baud, even parity, one stop bit.
class SettingsWriteTest : public AppFixture {
protected:
    SimDetector& Detector(SimModel model, uint16_t version = 0)
    {
        SimDetector& d = bus.add(model, 5).gas(25).limits(100, 500);
        if (version)
            d.version(version);
        return d;
    }
    void Open()
    {
        MakeForm();
        SearchUpTo(6);
        Select(5);
        ReadPanel();
        sent.clear();
        sentLines.clear();
        dialogs.shown.clear();
    }
    static std::vector<Frame> Writes(uint8_t address, const RegValues& steps)
    {
        std::vector<Frame> frames;
        for (const auto& [reg, value] : steps)
            frames.push_back(Write6(address, reg, value));
        return frames;
    }
    // Messages without the decoder's hint to use a newer tool.
    std::vector<std::string> Messages() const
    {
        std::vector<std::string> texts;
        for (const std::string& t : dialogs.texts())
            if (t != "Используйте ZOR Tool 1.6.0")
                texts.push_back(t);
        return texts;
    }
};

struct ParameterCase {
    const char* name;
    SimModel model;
    uint16_t version;
    double limit1, limit2;
    int relay1, relay2, relayD;
    bool block;
    RegValues middle; // between the magnet concentration and the closing write
    bool readAgain; // the one-shot read 1000 ms after the end
};

class ParameterWrite : public SettingsWriteTest, public ::testing::WithParamInterface<ParameterCase> { };

TEST_P(ParameterWrite, SendsTheChainInOrderAndEndsWithTheMessage)
{
    const ParameterCase& c = GetParam();
    Detector(c.model, c.version);
    Open();
    DevicePanel& p = form->Panel;
    p.EditLimit1.setValue(c.limit1);
    p.EditLimit2.setValue(c.limit2);
    p.EditHyster.setValue(1.5);
    p.EditZeroZone.setValue(2.5);
    p.CBoxRelay1.setItemIndex(c.relay1);
    p.CBoxRelay2.setItemIndex(c.relay2);
    p.CBoxRelayD.setItemIndex(c.relayD);
    p.CBoxBlock.setChecked(c.block);
    const int32_t tx = form->TxCount();

    form->ActWriteOptExecute();
    EXPECT_EQ(form->WriteOp(), woOptions);
    Finish();
    loop.advance(1500);

    RegValues steps { { 1, 0x0080 }, { 8, 500 } };
    steps.insert(steps.end(), c.middle.begin(), c.middle.end());
    steps.push_back({ 1, 0x0000 });
    std::vector<Frame> expected = Writes(5, steps);
    if (c.readAgain)
        expected.push_back(Read3(5, 0, 19));
    EXPECT_EQ(sent, expected);
    EXPECT_EQ(form->TxCount() - tx, static_cast<int32_t>(expected.size()));
    EXPECT_EQ(Messages(), std::vector<std::string> { "Параметры изменены!" });
    EXPECT_EQ(form->WriteOp(), woNone);
    EXPECT_EQ(Status(), "");
}

INSTANTIATE_TEST_SUITE_P(Cases, ParameterWrite,
    ::testing::Values(
        // 200 lies below the device's threshold 2 of 500: threshold 1 first.
        ParameterCase { "Threshold1First", SimModel::Zor11, 0, 20.0, 60.0, 1, 0, 1, true,
            { { 9, 200 }, { 10, 600 }, { 17, 0x0F0F }, { 18, 25 }, { 16, 5 }, { 2, 2 } }, false },
        ParameterCase { "Threshold2First", SimModel::Zor11, 0, 60.0, 80.0, 0, 1, 0, false,
            { { 10, 800 }, { 9, 600 }, { 17, 0x0F0F }, { 18, 25 }, { 16, 2 }, { 2, 0 } }, false },
        ParameterCase { "EqualThresholds", SimModel::Zor11, 0, 60.0, 60.0, 0, 0, 0, false,
            { { 10, 600 }, { 9, 600 }, { 17, 0x0F0F }, { 18, 25 }, { 16, 0 }, { 2, 0 } }, false },
        // Firmware with fixed relay modes: no relay step; the gas list is
        // enabled, so the device is read once more.
        ParameterCase { "FixedRelaysSkipTheirStep", SimModel::Zor10, 105, 20.0, 60.0, 0, 0, 0, true,
            { { 9, 200 }, { 10, 600 }, { 17, 0x0F0F }, { 18, 25 }, { 2, 2 } }, true },
        // No diagnostic relay on a "ZOR-10": its hidden list writes nothing.
        ParameterCase { "HiddenDiagnosticRelayWritesNothing", SimModel::Zor10, 230, 20.0, 60.0, 1, 1, 1, false,
            { { 9, 200 }, { 10, 600 }, { 17, 0x0F0F }, { 18, 25 }, { 16, 3 }, { 2, 0 } }, true }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsWriteTest, TheWrittenDiagnosticRelayModeReadsBackUnchanged)
{
    SimDetector& d = Detector(SimModel::Zor11);
    d.relays(RelayDiag);
    Open();
    form->ActWriteOptExecute();
    Finish();
    EXPECT_EQ(d.holding(16), RelayDiag);
}

struct InterfaceCase {
    const char* name;
    double address;
    int baudIndex;
    uint16_t lineWord;
    uint8_t closeAt;
    uint32_t closeBaud;
    bool removed;
};

class InterfaceWrite : public SettingsWriteTest, public ::testing::WithParamInterface<InterfaceCase> { };

TEST_P(InterfaceWrite, WritesTheLineWordAndClosesAtTheNewAddressAndLine)
{
    const InterfaceCase& c = GetParam();
    Detector(SimModel::Zor11);
    Open();
    forms::TreeNode* node = DeviceNode(5);
    form->Panel.SEditAddr.setValue(c.address);
    form->Panel.CBoxBaud.setItemIndex(c.baudIndex);
    const int32_t tx = form->TxCount();

    form->ActWriteAddrExecute();
    Finish();
    loop.advance(1500);

    EXPECT_EQ(sent, (std::vector<Frame> { Write6(5, 1, 0x0080), Write6(5, 0, c.lineWord), Write6(c.closeAt, 1, 0) }));
    ASSERT_EQ(sentLines.size(), 3u);
    EXPECT_EQ(sentLines[2].baud, c.closeBaud);
    EXPECT_EQ(form->TxCount() - tx, 3);
    EXPECT_EQ(Messages(), std::vector<std::string> { "Параметры изменены!" });
    EXPECT_FALSE(form->LineChanged());
    // The link speaks the bus settings again in every case.
    EXPECT_EQ(wire.masterSettings().baud, 19200u);
    EXPECT_NE(bus.find(c.closeAt), nullptr);

    if (c.removed) {
        EXPECT_EQ(form->DevList().at(5), nullptr);
        EXPECT_EQ(DeviceNode(5), nullptr);
        EXPECT_EQ(form->SelNode(), nullptr);
        return;
    }
    EXPECT_EQ(DeviceNode(c.closeAt), node);
    EXPECT_EQ(node->text(), "#" + std::to_string(c.closeAt) + " : 09400105");
    EXPECT_NE(form->DevList().at(c.closeAt), nullptr);
    EXPECT_EQ(form->DevList().at(c.closeAt)->Regs[0], c.lineWord);
    if (c.closeAt != 5) {
        EXPECT_EQ(form->DevList().at(5), nullptr);
        EXPECT_TRUE(form->Panel.DevPanel.text().starts_with("#7 : 09400105  -  "));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, InterfaceWrite,
    ::testing::Values(InterfaceCase { "NewAddress", 7, 4, 0x0765, 7, 19200, false },
        InterfaceCase { "OwnAddressAgain", 5, 4, 0x0565, 5, 19200, false },
        // The device leaves the bus settings: it is taken out of the tree.
        InterfaceCase { "NewBaudRate", 5, 3, 0x0564, 5, 9600, true }),
    [](const auto& info) { return std::string(info.param.name); });

// The closing write at the detector's new rate goes unanswered: the write
// ends with its message and the link speaks the bus settings again, or the
// rest of the bus would go silent.
TEST_F(SettingsWriteTest, AClosingWriteLostAfterALineChangeTakesTheLinkBackToTheBusSettings)
{
    SimDetector& d = Detector(SimModel::Zor11);
    Open();
    form->Panel.CBoxBaud.setItemIndex(3); // 9600
    form->ActWriteAddrExecute();
    loop.advanceUntil([this] { return sent.size() >= 2; }, 3000);
    d.silent();
    loop.advance(3000);
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sentLines[2].baud, 9600u);
    EXPECT_EQ(Messages(), std::vector<std::string> { "Ошибка записи параметров!" });
    EXPECT_FALSE(form->LineChanged());
    EXPECT_EQ(form->WriteOp(), woNone);
    EXPECT_EQ(wire.masterSettings().baud, 19200u);
    EXPECT_EQ(form->VSModbus.BaudRateValue(), 19200u);
}

struct RefusalCase {
    const char* name;
    std::function<void(TFormMain&)> prepare;
    bool interfaceWrite;
    std::vector<std::string> messages;
    forms::MessageKind kind;
    forms::MessageButtons buttons;
    forms::Answer answer;
};

class WriteRefusal : public SettingsWriteTest, public ::testing::WithParamInterface<RefusalCase> { };

TEST_P(WriteRefusal, SendsNoWrite)
{
    const RefusalCase& c = GetParam();
    Detector(SimModel::Zor11);
    bus.add(SimModel::Zor11, 6);
    Open();
    dialogs.answers.push_back(c.answer);
    c.prepare(*form);
    if (c.interfaceWrite)
        form->ActWriteAddrExecute();
    else
        form->ActWriteOptExecute();
    loop.advance(3000);

    EXPECT_EQ(form->WriteOp(), woNone);
    for (const Frame& f : sent)
        EXPECT_NE(f[1], 6) << "a write went out";
    EXPECT_EQ(Messages(), c.messages);
    if (!c.messages.empty()) {
        EXPECT_EQ(dialogs.shown.back().kind, c.kind);
        EXPECT_EQ(dialogs.shown.back().buttons, c.buttons);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, WriteRefusal,
    ::testing::Values(RefusalCase { "AddressOfAnotherDevice", [](TFormMain& f) { f.Panel.SEditAddr.setValue(6); }, true,
                          { "Адрес используется другим прибором!" }, forms::MessageKind::Information,
                          forms::MessageButtons::Ok, forms::Answer::Ok },
        RefusalCase { "Threshold1AboveThreshold2Ok", [](TFormMain& f) { f.Panel.EditLimit1.setValue(50.1); }, false,
            { "Порог 1 > Порога 2" }, forms::MessageKind::Error, forms::MessageButtons::OkCancel, forms::Answer::Ok },
        RefusalCase { "Threshold1AboveThreshold2Cancel", [](TFormMain& f) { f.Panel.EditLimit1.setValue(50.1); }, false,
            { "Порог 1 > Порога 2" }, forms::MessageKind::Error, forms::MessageButtons::OkCancel,
            forms::Answer::Cancel },
        // The read of automatic reading is outstanding: the button does nothing.
        RefusalCase { "ReadOutstanding", [](TFormMain& f) { f.ActRenewExecute(); }, false, {},
            forms::MessageKind::Information, forms::MessageButtons::Ok, forms::Answer::Ok },
        RefusalCase { "ReadOutstandingInterface", [](TFormMain& f) { f.ActRenewExecute(); }, true, {},
            forms::MessageKind::Information, forms::MessageButtons::Ok, forms::Answer::Ok },
        RefusalCase { "NoDeviceSelected", [](TFormMain& f) { f.RemoveDevice(5, f.SelNode()); }, true, {},
            forms::MessageKind::Information, forms::MessageButtons::Ok, forms::Answer::Ok }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsWriteTest, ExceptionAnswerIsLoggedAndTheTimeOutEndsTheWrite)
{
    SimDetector& d = Detector(SimModel::Zor11);
    Open();
    d.exceptionOn(9, 4);
    form->Panel.EditLimit1.setValue(20.0);
    form->ActWriteOptExecute();
    loop.advanceUntil([&] { return sent.size() == 3; }, 5000);
    loop.advance(1400);
    EXPECT_TRUE(form->Log.Text().ends_with("Ошибка #4\r\n"));
    EXPECT_TRUE(Messages().empty());
    loop.advance(200);

    EXPECT_EQ(sent, (std::vector<Frame> { Write6(5, 1, 0x0080), Write6(5, 8, 500), Write6(5, 9, 200) }));
    EXPECT_TRUE(form->Log.Text().ends_with("Ошибка #4\r\nTimeout!\r\n"));
    EXPECT_EQ(Messages(), std::vector<std::string> { "Ошибка записи параметров!" });
    EXPECT_EQ(form->WriteOp(), woNone);
}

TEST_F(SettingsWriteTest, EchoFromAnAddressWithoutARecordLeavesTheEndToTheTimeOut)
{
    SimDetector& d = Detector(SimModel::Zor11);
    Open();
    d.silent();
    form->ActWriteOptExecute();
    loop.advance(500);
    const std::vector<uint8_t> echo { 0x09, 0x06, 0x00, 0x01, 0x00, 0x80 };
    form->VSModbusModbusPacketEvent(form->VSModbus, echo.data(), static_cast<uint16_t>(echo.size()));
    EXPECT_TRUE(form->Log.Text().ends_with("Прибор:9  не найден в списке\r\n"));
    EXPECT_EQ(sent.size(), 1u);

    loop.advance(1600);
    EXPECT_EQ(Messages(), std::vector<std::string> { "Ошибка записи параметров!" });
    EXPECT_EQ(form->WriteOp(), woNone);
}

} // namespace
} // namespace zor::test
