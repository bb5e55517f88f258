// The bus overview in the real program, offscreen, on the simulated bus.

#include "ToolFixture.h"

#include "ui/OverviewView.h"

#include <QTableView>

namespace zor::ui::e2e {
namespace {

class OverviewTest : public ToolFixture { };

TEST_F(OverviewTest, ReadsEveryDetectorIntoTheTableAndADoubleClickSelectsAndReadsOne)
{
    searchUpTo(2);
    auto* table = find<QTableView>("OverviewTable");
    ASSERT_NE(table, nullptr);
    QAbstractItemModel* model = table->model();
    // The table follows the rows once the loop is back.
    ASSERT_TRUE(WaitFor([&] { return model->rowCount() == 2; }, 2000));
    EXPECT_EQ(model->headerData(ColConc, Qt::Horizontal).toString(), "Концентрация");

    click("BtOverview");
    EXPECT_EQ(form().BtOverview.action(), &form().ActOverviewStop);
    const auto cell = [&](int row, int column) { return model->index(row, column).data().toString(); };
    ASSERT_TRUE(WaitFor([&] { return !cell(0, ColConc).isEmpty() && !cell(1, ColConc).isEmpty(); }, 8000));
    EXPECT_EQ(cell(0, ColAddress), "1");
    EXPECT_EQ(cell(0, ColSerial), "07000123");
    EXPECT_EQ(cell(0, ColModel), "ZOR-10");
    EXPECT_EQ(cell(1, ColGas), "CH4");
    EXPECT_TRUE(cell(1, ColConc).endsWith("%об.")) << cell(1, ColConc).toStdString();
    EXPECT_FALSE(cell(1, ColState).isEmpty());

    const QRect rect = table->visualRect(model->index(1, ColState));
    // A double click comes after the press of its first click.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, rect.center());
    ASSERT_NE(form().SelNode(), nullptr);
    EXPECT_EQ(form().SelNode()->overlayIndex(), 2);
    EXPECT_TRUE(WaitFor([&] { return form().Panel.DevPanel.visible() && form().Panel.DevPanel.enabled(); }, 4000));

    click("BtOverview");
    EXPECT_EQ(form().BtOverview.action(), &form().ActOverview);
    EXPECT_TRUE(boxes.texts.empty());
}

} // namespace
} // namespace zor::ui::e2e
