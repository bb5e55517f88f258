#include "AppFixture.h"

#include "sim/SimDetector.h"

namespace zor::test {
namespace {

using Bytes = std::vector<uint8_t>;

class ReadingTest : public AppFixture {
protected:
    void SetUp() override
    {
        bus.add(SimModel::Zor11, 1).serial(9400123).gas(1).version(105);
        bus.add(SimModel::Zor10, 2).serial(6100000).gas(23).version(204);
        MakeForm();
        SearchUpTo(2);
        sent.clear();
    }
};

TEST_F(ReadingTest, ReadWithoutADeviceWarnsAndChangesNothing)
{
    form->ActRenewExecute();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Укажите прибор!");
    EXPECT_EQ(dialogs.shown[0].kind, forms::MessageKind::Warning);
    EXPECT_EQ(dialogs.shown[0].buttons, forms::MessageButtons::OkCancel);
    // A model node selects nothing either.
    form->DevTreeMouseDown(MouseButton::Left, form->DevTree.roots()[0].get());
    form->ActRenewExecute();
    EXPECT_EQ(dialogs.shown.size(), 2u);
    EXPECT_FALSE(form->TimerRead().enabled());
    EXPECT_TRUE(sent.empty());
}

TEST_F(ReadingTest, EachCycleSendsTheTwoReadsAndTheDecoderFillsThePanel)
{
    Select(1);
    form->ActRenewExecute();
    EXPECT_EQ(form->BtRead.action(), &form->ActReadStop);
    EXPECT_EQ(form->StatBar.text(3), "Автоматическое чтение");
    EXPECT_FALSE(form->Panel.ActWriteOpt.enabled());
    EXPECT_FALSE(form->Panel.SpBtSetAddr.enabled());
    EXPECT_TRUE(form->ReadBusy());
    loop.advance(1900);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0], (Bytes { 0x01, 0x04, 0x01, 0x05, 0x00, 0x01, 0x20, 0x37 }));
    EXPECT_EQ(sent[1], (Bytes { 0x01, 0x03, 0x00, 0x00, 0x00, 0x13, 0x04, 0x07 }));
    EXPECT_FALSE(form->ReadBusy());
    EXPECT_TRUE(form->Panel.DevPanel.enabled());
    EXPECT_EQ(form->Panel.DevPanel.text(), "#1 : 09400123 (v1.5)  -  Рабочий режим");
    EXPECT_EQ(form->Panel.Sections[0].text(), "Измеряемый газ: Метан (CH4)");
    EXPECT_EQ(form->DevTree.allNodes()[1]->imageIndex(), 7);
    EXPECT_EQ(form->RxCount() % 2, 0);

    loop.advance(2000 * 3);
    EXPECT_EQ(sent.size(), 8u); // a cycle every 2 s

    form->ActReadStopExecute();
    EXPECT_EQ(form->BtRead.action(), &form->ActRenew);
    EXPECT_TRUE(form->Panel.ActWriteOpt.enabled());
    EXPECT_TRUE(form->Panel.SpBtSetOptions.enabled());
    EXPECT_EQ(form->StatBar.text(3), "");
    loop.advance(10000);
    EXPECT_EQ(sent.size(), 8u);
}

TEST_F(ReadingTest, SearchWhileReadingEndsTheReadingAtTheNextTick)
{
    Select(1);
    form->ActRenewExecute();
    form->ActFindExecute(); // refused: the first read is outstanding
    EXPECT_FALSE(form->Finding());
    loop.advance(1000);
    form->ActFindExecute(); // between two cycles it starts
    EXPECT_TRUE(form->Finding());
    loop.advance(1000);
    EXPECT_FALSE(form->TimerRead().enabled());
    EXPECT_EQ(form->BtRead.action(), &form->ActRenew);
}

TEST_F(ReadingTest, StoppingWhileTheDeviceIsSilentEndsWithinTheWriteTimeOut)
{
    Select(1);
    bus.detector(1).silent();
    form->ActRenewExecute();
    const uint64_t t0 = loop.now();
    form->ActReadStopExecute();
    EXPECT_FALSE(form->ReadBusy());
    EXPECT_LE(loop.now() - t0, 1501u);
    EXPECT_GE(loop.now() - t0, 1500u);
}

TEST_F(ReadingTest, DoubleClickReadsTheSelectedDeviceOnceAndStopsASearch)
{
    Select(2);
    form->DevTreeDblClick();
    loop.advance(5000);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0][0], 2);
    EXPECT_EQ(form->Panel.DevPanel.text(), "#2 : 06100000 (v2.4)  -  Рабочий режим");
    EXPECT_FALSE(form->ReadBusy());

    form->ActFindExecute();
    loop.advance(2000); // probe 1 answered, probe 2 not yet sent
    // The tree was rebuilt by the search: press the new node, then double click.
    Select(1);
    form->DevTreeDblClick();
    EXPECT_FALSE(form->Finding());
    EXPECT_TRUE(form->Log.Text().ends_with("Поиск окончен\r\n"));
}

TEST_F(ReadingTest, DoubleClickOnAnotherNodeThanThePressedOneReadsNothing)
{
    Select(1);
    form->DevTreeMouseDown(MouseButton::Left, form->DevTree.roots()[0].get()); // ClickNode: model node
    form->DevTreeDblClick();
    loop.advance(3000);
    EXPECT_TRUE(sent.empty());
}

TEST_F(ReadingTest, RightPressSelectsAndOpensTheMenuOnlyOnADeviceNode)
{
    form->DevTreeMouseDown(MouseButton::Right, form->DevTree.roots()[0].get());
    EXPECT_EQ(windows.menuPopups, 0);
    EXPECT_EQ(form->SelNode(), nullptr);
    Select(2, MouseButton::Right);
    EXPECT_EQ(windows.menuPopups, 1);
    EXPECT_EQ(form->SelNode(), DeviceNode(2));
    form->DevTreeMouseDown(MouseButton::Left, nullptr); // beside a node
    EXPECT_EQ(form->SelNode(), DeviceNode(2));
}

TEST_F(ReadingTest, AnAnswerFromAnotherDeviceIsLoggedNotDecodedButStillChainsTheSecondRead)
{
    Select(1);
    form->ReadInput(2, 5, 1); // tag 261, answered by device 2
    loop.advance(1000);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1], (Bytes { 0x01, 0x03, 0x00, 0x00, 0x00, 0x13, 0x04, 0x07 }));
    EXPECT_NE(form->Log.Text().find("Прибор:2  Функция:0x04  Регистр:0x0105 = 0x0017"), std::string::npos);
}

} // namespace
} // namespace zor::test
