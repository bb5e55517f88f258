// Readings that are old. A read cycle whose answer has not come when the
// next tick is due is missed; from the second missed cycle in a row the
// panel is marked (greyed, the caption says the device does not answer) and
// the log says so once. The next panel block from the device clears the
// mark; the gas answer of a cycle alone does not.

#include "app/TFormMain.h"

namespace zor {

void TFormMain::CountCycle(bool missed)
{
    if (!missed) {
        link_.missedCycles = 0;
        return;
    }
    if (SelNode_)
        Trend.Missed(SelAddr(), loop_.tickCount());
    if (++link_.missedCycles < 2 || !SelNode_)
        return;
    // The tick has just written the device's name into the caption, when
    // the panel shows its values.
    if (PanelRead())
        Panel.DevPanel.setText(SelNode_->text() + "  -  Нет ответа, показания устарели");
    Panel.NoAnswer.setOn(true);
    // Told once a run of misses, also when a lost port had marked the panel.
    if (link_.silenceTold)
        return;
    link_.silenceTold = true;
    Log.Add("Прибор:" + std::to_string(SelAddr()) + " не отвечает, показания устарели");
}

void TFormMain::AnswerCame(uint8_t address)
{
    if (!SelNode_ || address != SelAddr())
        return;
    link_.missedCycles = 0;
    link_.silenceTold = false;
    // The block's decoding has written the caption afresh.
    Panel.NoAnswer.setOn(false);
}

} // namespace zor
