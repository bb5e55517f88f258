#include "AppFixture.h"

#include "sim/SimDetector.h"

namespace zor::test {
namespace {

using Bytes = std::vector<uint8_t>;

class SearchTest : public AppFixture { };

TEST_F(SearchTest, StartUpShowsThePortAndLeavesEverythingIdle)
{
    MakeForm();
    EXPECT_EQ(form->StatBar.text(0), "COM1 (Последовательный порт): 19200 / 8-Even-1");
    EXPECT_EQ(form->StatBar.text(1), "Tx: 0");
    EXPECT_EQ(form->StatBar.text(2), "Rx: 0");
    EXPECT_EQ(form->StatBar.text(3), "");
    EXPECT_FALSE(form->ActRenew.enabled());
    EXPECT_FALSE(form->Panel.ActZero.enabled());
    EXPECT_FALSE(form->Panel.ActCalb.enabled());
    EXPECT_FALSE(form->Panel.ActInit.visible());
    EXPECT_FALSE(form->Panel.DevPanel.enabled());
    EXPECT_TRUE(form->DevTree.roots().empty());
    EXPECT_FALSE(form->VSModbus.Connected());
}

TEST_F(SearchTest, FullSearchProbesEveryAddressOnceAndFindsTheDetectors)
{
    bus.add(SimModel::Zor11, 5).serial(9499999);
    bus.add(SimModel::Zor10, 9).serial(6000000);
    bus.add(SimModel::Zor11, 247).serial(9400123);
    MakeForm();

    form->ActFindExecute();
    EXPECT_EQ(form->BtFind.action(), &form->ActStop);
    loop.advance(247 * 1100);
    EXPECT_TRUE(form->Finding());
    EXPECT_EQ(form->StatBar.text(3), "Поиск: 247");
    loop.advance(1100); // the 248th step ends it: 272.8 s in all
    EXPECT_FALSE(form->Finding());
    EXPECT_EQ(loop.now(), 272800u);

    ASSERT_EQ(sent.size(), 247u);
    for (size_t i = 0; i < sent.size(); ++i)
        EXPECT_EQ(sent[i][0], i + 1) << "probe " << i;
    EXPECT_EQ(sent[4], (Bytes { 0x05, 0x03, 0x00, 0x06, 0x00, 0x02, 0x25, 0x8E }));
    EXPECT_EQ(form->TxCount(), 247);
    EXPECT_EQ(form->StatBar.text(1), "Tx: 247");
    EXPECT_EQ(form->RxCount(), 3);

    // One model node per kind, in the order found; devices under them.
    const auto& roots = form->DevTree.roots();
    ASSERT_EQ(roots.size(), 2u);
    EXPECT_EQ(roots[0]->text(), "ZOR-11");
    EXPECT_EQ(roots[0]->imageIndex(), 1);
    EXPECT_EQ(roots[1]->text(), "ZOR-10");
    EXPECT_EQ(roots[1]->imageIndex(), 4);
    ASSERT_EQ(roots[0]->children().size(), 2u);
    EXPECT_EQ(roots[0]->children()[0]->text(), "#5 : 09499999");
    EXPECT_EQ(roots[0]->children()[0]->overlayIndex(), 5);
    EXPECT_EQ(roots[0]->children()[0]->imageIndex(), 0);
    EXPECT_EQ(roots[0]->children()[1]->text(), "#247 : 09400123");
    EXPECT_EQ(form->DevList().at(9)->Model, 3);
    EXPECT_EQ(form->DevList().at(5)->Regs[19], 1);

    EXPECT_EQ(form->StatBar.text(3), "Поиск окончен");
    EXPECT_TRUE(form->ActRenew.enabled());
    EXPECT_EQ(form->BtFind.action(), &form->ActFind);
    EXPECT_EQ(form->SelNode(), nullptr);
    EXPECT_NE(form->Log.Text().find("Прибор:5  Функция:0x03  Регистр:0x0006 = 0x"), std::string::npos);
    EXPECT_TRUE(form->Log.Text().ends_with("Поиск окончен\r\n"));
}

TEST_F(SearchTest, StopEndsEarlyAndTheNextSearchDropsEveryRecord)
{
    bus.add(SimModel::Zor12, 2);
    bus.add(SimModel::Zor13, 3);
    MakeForm();
    SearchUpTo(3);
    EXPECT_EQ(form->DevList().count(), 2);
    EXPECT_EQ(form->FindAddr(), 0);
    const int32_t tx = form->TxCount();
    loop.advance(5000);
    EXPECT_EQ(form->TxCount(), tx); // nothing after Стоп

    bus.detector(3).silent();
    form->ActFindExecute();
    EXPECT_EQ(form->DevList().count(), 0);
    EXPECT_TRUE(form->DevTree.roots().empty());
    loop.advance(4 * 1100);
    form->ActStopExecute();
    EXPECT_EQ(form->DevList().count(), 1);
    EXPECT_NE(form->DevList().at(2), nullptr);
}

TEST_F(SearchTest, NumbersOutsideTheFamilyAndOtherAnswersAddNothing)
{
    bus.add(SimModel::Zor11, 1).serial(5999999);
    bus.add(SimModel::Zor11, 2).serial(9700000);
    bus.add(SimModel::Zor11, 3).exceptionOn(6, 2);
    bus.add(SimModel::Zor11, 4).serial(9699999);
    MakeForm();
    SearchUpTo(4);
    EXPECT_EQ(form->DevList().count(), 1);
    ASSERT_NE(form->DevList().at(4), nullptr);
    EXPECT_EQ(form->DevList().at(4)->Model, 2);
    EXPECT_EQ(form->RxCount(), 4); // the exception answer counts too
    EXPECT_NE(form->Log.Text().find("Ошибка #2\r\n"), std::string::npos);
}

TEST_F(SearchTest, ClosingDuringASearchStopsItFirst)
{
    MakeForm();
    form->ActFindExecute();
    loop.advance(3000);
    form->FormClose();
    EXPECT_FALSE(form->Finding());
    EXPECT_TRUE(form->Log.Text().ends_with("Поиск окончен\r\n"));
    EXPECT_FALSE(form->VSModbus.Connected());
}

} // namespace
} // namespace zor::test
