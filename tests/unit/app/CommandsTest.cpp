#include "AppFixture.h"

#include "commands/TAboutBox.h"
#include "sim/SimDetector.h"

namespace zor::test {
namespace {

TEST(AboutBox, ShowsTheTenLinesOfInstructionsWithTheirTrailingBlanks)
{
    const std::vector<std::string> expected {
        "1. Начать поиск приборов (\"Поиск\").",
        "2. После обнаружения необходимых приборов ",
        "остановить поиск (\"Стоп\").",
        "3. Установить указатель на одном из приборов, ",
        "нажать \"Читать\" для автоматического обновления ",
        "данных.",
        "4. Изменение настроек в приборе производится ",
        "только при отключенном режиме чтения.",
        "5. Градуировка может проводится при режиме ",
        "чтения.",
    };
    EXPECT_EQ(std::vector<std::string>(TAboutBox::Lines.begin(), TAboutBox::Lines.end()), expected);
    EXPECT_EQ(TAboutBox::Caption, "Помощь");
}

class UnitChange : public AppFixture { };

TEST_F(UnitChange, ConvertsTheSelectedDevicesPanelWithTheGasFactor)
{
    bus.add(SimModel::Zor10, 5).gas(24).limits(400, 800); // CO: 1.1644 from the first unit to the second
    MakeForm();
    SearchUpTo(5);
    Select(5);
    ReadPanel();
    sent.clear();
    ASSERT_DOUBLE_EQ(form->Panel.EditLimit1.value(), 400);
    form->Panel.CBoxUnit.setItemIndex(1);
    form->CBoxUnitChange();
    EXPECT_NEAR(form->Panel.EditLimit1.value(), 400 * 1.1644, 1e-3);
    loop.advance(1000);
    EXPECT_TRUE(sent.empty()); // the device is not told
}

} // namespace
} // namespace zor::test
