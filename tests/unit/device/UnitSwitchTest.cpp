#include "PanelFixture.h"

#include "device/UnitSwitch.h"

#include <algorithm>

using namespace zor;
using zor::test::SerialZor10;

namespace {

// Every gas of the shipped table has one unit only, so these tests give a
// toxic gas a second unit, mg/m3, as a detector for it would offer.
class UnitSwitching : public zor::test::PanelFixture {
protected:
    bool updating = false;
    UnitSwitch unitSwitch { devList, selNode, panel, dialogs, ',', updating, gases };

    void showToxicGas(uint16_t code, float factor, uint8_t decimals, uint16_t conc, uint16_t range)
    {
        stGas& g = gases[code];
        g.Unit1 = UnitPpm;
        g.Unit2 = UnitMgM3;
        g.MgFactor = factor;
        g.Decimals = decimals;
        select(5, SerialZor10);
        readGas(code);
        // firmware 3.5: the unit list is open
        readPanel(block({ { RegVersion, 305 }, { RegConc, conc }, { RegRange, range }, { RegLimit1, 20 },
            { RegLimit2, range }, { RegMagnetConc, 100 }, { RegHyster, 0x0A0A }, { RegZeroZone, 5 } }));
    }

    void pick(int item)
    {
        panel.CBoxUnit.setItemIndex(item);
        unitSwitch.CBoxUnitChange();
    }
};

} // namespace

TEST_F(UnitSwitching, ThereAndBack)
{
    struct Row {
        uint16_t gas;
        float factor;
        uint8_t decimals;
        uint16_t conc, range;
        const char *conc1, *conc2, *concBack;
        const char *urv1, *urv2, *urvBack;
    };
    // clang-format off
    const Row rows[] = {
        // gas factor   dec conc  range  concentration             range
        {24,   1.1644f, 0,  100,  500,   "100",   "116",   "100",   "500",   "582",   "500"},
        {25,   1.4166f, 1,  1005, 1000,  "100,5", "142,4", "100,5", "100,0", "141,7", "100,0"},
    };
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(r.conc1);
        showToxicGas(r.gas, r.factor, r.decimals, r.conc, r.range);
        ASSERT_TRUE(panel.CBoxUnit.enabled());
        ASSERT_EQ(panel.EditConc.text(), r.conc1);
        ASSERT_EQ(panel.EditURV.text(), r.urv1);
        const double scale = r.decimals ? 10.0 : 1.0;
        const double max = r.range / scale, lel = gases[r.gas].Lel / scale * 0.1;
        const double hysterMax = std::min<double>(r.range, 255) / scale; // what its byte holds

        pick(1);
        EXPECT_EQ(panel.EditConc.text(), r.conc2);
        EXPECT_EQ(panel.EditURV.text(), r.urv2);
        for (const forms::Label* unit : panel.UnitLabels())
            EXPECT_EQ(unit->text(), "мгм/м3");
        const double k = r.factor;
        for (const forms::SpinEdit* e : { &panel.EditLimit1, &panel.EditLimit2, &panel.EditZeroZone })
            EXPECT_DOUBLE_EQ(e->max(), max * k);
        EXPECT_DOUBLE_EQ(panel.EditHyster.max(), hysterMax * k);
        EXPECT_DOUBLE_EQ(panel.EditLimit1.value(), 20 / scale * k);
        EXPECT_DOUBLE_EQ(panel.EditLimit2.value(), max * k); // at its bound: the bound moves first
        EXPECT_DOUBLE_EQ(panel.EditHyster.value(), 10 / scale * k);
        EXPECT_DOUBLE_EQ(panel.EditZeroZone.value(), 5 / scale * k);
        EXPECT_DOUBLE_EQ(panel.EditMagnet.min(), lel * k);
        EXPECT_DOUBLE_EQ(panel.EditMagnet.max(), max * k);
        EXPECT_DOUBLE_EQ(panel.EditMagnet.value(), lel * k); // at its lower bound

        pick(0);
        EXPECT_EQ(panel.EditConc.text(), r.concBack);
        EXPECT_EQ(panel.EditURV.text(), r.urvBack);
        for (const forms::Label* unit : panel.UnitLabels())
            EXPECT_EQ(unit->text(), "млн-1");
        // back by the single-precision inverse: equal to some 1e-7 relative
        EXPECT_NEAR(panel.EditLimit1.value(), 20 / scale, 1e-4);
        EXPECT_NEAR(panel.EditMagnet.min(), lel, 1e-4);
        EXPECT_NEAR(panel.EditMagnet.max(), max, 1e-4);
        EXPECT_NEAR(panel.EditMagnet.value(), lel, 1e-4);
        EXPECT_NEAR(panel.EditLimit2.value(), max, 1e-4);
    }
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(UnitSwitching, ConvertedValuesStayTheDevicesAndEnteredOnesStayEntered)
{
    showToxicGas(24, 1.1644f, 0, 100, 500);
    panel.EditZeroZone.setValue(7);
    pick(1);
    EXPECT_FALSE(panel.EditLimit1.modified());
    EXPECT_TRUE(panel.EditZeroZone.modified());
    EXPECT_NEAR(panel.EditZeroZone.value(), 7 * 1.1644, 1e-4);
}

TEST_F(UnitSwitching, NothingWhileTheWindowFillsTheControlsOrWithoutDevice)
{
    showToxicGas(24, 1.1644f, 0, 100, 500);
    updating = true;
    pick(1);
    updating = false;
    selNode = nullptr;
    pick(1);
    EXPECT_EQ(panel.EditConc.text(), "100");
    EXPECT_EQ(panel.LGasUnit.text(), "млн-1");
    EXPECT_EQ(panel.EditLimit1.value(), 20);
}

TEST_F(UnitSwitching, TextThatIsNoNumberStopsTheConversionThere)
{
    struct Row {
        const char* conc;
        const char* urv;
        const char* message;
        const char* concAfter;
        const char* urvAfter;
    };
    // clang-format off
    const Row rows[] = {
        // conc    urv    message                                         conc after urv after
        {"",       "500", "'' is not a valid floating point value",       "",        "500"},
        {"1.5",    "500", "'1.5' is not a valid floating point value",    "1.5",     "500"},
        {"100",    "",    "'' is not a valid floating point value",       "116",     ""},
    };
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(r.message);
        showToxicGas(24, 1.1644f, 0, 100, 500);
        panel.EditConc.setText(r.conc);
        panel.EditURV.setText(r.urv);
        dialogs.shown.clear();
        pick(1);
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].text, r.message);
        EXPECT_EQ(dialogs.shown[0].kind, forms::MessageKind::Error);
        EXPECT_EQ(dialogs.shown[0].owner, forms::DialogOwner::Main);
        EXPECT_EQ(panel.LLimit1Unit.text(), "мгм/м3"); // done before the failing step
        EXPECT_EQ(panel.EditConc.text(), r.concAfter);
        EXPECT_EQ(panel.EditURV.text(), r.urvAfter);
        EXPECT_EQ(panel.EditLimit1.value(), 20); // not reached
    }
}
