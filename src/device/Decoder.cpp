#include "device/Decoder.h"

#include "device/DeviceTexts.h"
#include "device/StateText.h"
#include "device/ValueText.h"
#include "runtime/NumberFormat.h"

#include <algorithm>
#include <cmath>

namespace zor {

namespace {

double scale(int decimals)
{
    return std::pow(10.0, decimals);
}

bool isZor11To13(const TDevice& dev)
{
    return dev.Model == ModelZor11 || dev.Model == ModelZor12 || dev.Model == ModelZor13;
}

} // namespace

Decoder::Decoder(DeviceTable& devList, forms::TreeView& devTree, forms::TreeNode*& selNode, DevicePanel& panel,
    char separator, const TGasTable& gases)
    : devList_(devList)
    , devTree_(devTree)
    , selNode_(selNode)
    , panel_(panel)
    , separator_(separator)
    , gases_(gases)
{
}

int Decoder::DecodeBlock(uint8_t address, uint8_t function, const uint16_t* values, int count, int firstRegister)
{
    const bool holding = firstRegister >= 0 && count >= 0 && firstRegister + count <= PanelBlock.count;
    const bool gasInput = firstRegister == InRegGas && count == 1;
    TDevice* dev = devList_.at(address);
    if (!(holding || gasInput) || !dev)
        return 0;

    panel_.DevPanel.setVisible(true);
    const bool cache = function == FnReadHolding;
    // The gates of registers 4 and 16 use the version of this same answer.
    if (cache && firstRegister <= RegVersion && RegVersion < firstRegister + count)
        dev->Regs[RegVersion] = values[RegVersion - firstRegister];

    for (int i = 0; i < count; ++i) {
        const int reg = firstRegister + i;
        if (cache && reg < RegCacheSize)
            dev->Regs[static_cast<size_t>(reg)] = values[i];
        decode(*dev, reg, values[i]);
    }
    return 1;
}

void Decoder::decode(TDevice& dev, int reg, uint16_t v)
{
    switch (reg) {
    case InRegGas:
        return decodeGas(dev, v);
    case RegLine:
        return decodeLine(v);
    case RegState:
        return decodeState(dev, v);
    case RegOptions:
        return decodeOptions(dev, v);
    case RegConc:
        return decodeConc(dev, v);
    case RegTemp:
        return decodeTemp(dev, v);
    case RegRange:
        return decodeRange(dev, v);
    case RegMagnetConc:
        return decodeMagnet(dev, v);
    case RegLimit1:
        return setScaled(panel_.EditLimit1, dev, v);
    case RegLimit2:
        return setScaled(panel_.EditLimit2, dev, v);
    case RegCurrent:
        panel_.EditI.setText(FormatGeneral(v * 0.01, 4, separator_));
        return;
    case RegVersion:
        return decodeVersion(dev, v);
    case RegRelays:
        return decodeRelays(dev, v);
    case RegHyster: // one byte, written to both halves
        return setScaled(panel_.EditHyster, dev, v & 0x00FF, 0x00FF);
    case RegZeroZone:
        return setScaled(panel_.EditZeroZone, dev, v);
    default: // cached only
        return;
    }
}

void Decoder::decodeGas(TDevice& dev, uint16_t v)
{
    int code = v & GasCodeMask;
    if (code > 32)
        code = 1;
    const stGas& gas = gases_[static_cast<size_t>(code)];
    panel_.CBoxGas.setItems({ std::string(gas.Formula) });
    panel_.CBoxGas.setItemIndex(0);
    panel_.Sections[0].setText(
        std::string(TextGasSection) + " " + std::string(gas.Name) + " (" + std::string(gas.Formula) + ")");
    dev.Regs[RegGas] = static_cast<uint16_t>(code);
}

void Decoder::decodeLine(uint16_t v)
{
    panel_.SEditAddr.show(LineAddress(v));
    panel_.CBoxBaud.show(LineBaudCode(v) - 1);
    panel_.CBoxPar.show(LineParityCode(v));
    panel_.CBoxStopBit.show(LineStopCode(v) - 1);
}

void Decoder::decodeState(TDevice& dev, uint16_t v)
{
    dev.StateText = std::string(StateText(v, GasCode(dev)));
    const int version = dev.Regs[RegVersion];
    setCaption(" (v" + std::to_string(version / 100) + "." + std::to_string(version % 100) + ")"
        + std::string(CaptionDash) + dev.StateText);

    const bool fixedCurrent = v & StateCurrentFixed;
    for (forms::Action* a : { &panel_.ActZero, &panel_.ActCalb, &panel_.ActInit })
        a->setEnabled(!fixedCurrent);
    panel_.ChBoxCurrFix.setChecked(fixedCurrent);
    const bool fixing = panel_.ChBoxCurrFix.checked();
    for (forms::Control* c : std::initializer_list<forms::Control*> { &panel_.RBt01mA, &panel_.RBt04mA, &panel_.RBt20mA,
             &panel_.LabelEditCurr, &panel_.EditCurr, &panel_.Label15, &panel_.SpBtSetCurr })
        c->setEnabled(fixing);
}

void Decoder::decodeOptions(TDevice& dev, uint16_t v)
{
    panel_.CBoxBlock.show(static_cast<bool>(v & OptBlock));
    const stGas& gas = gasOf(dev);
    panel_.CBoxUnit.setItems({ UnitText(gas.Unit1), UnitText(gas.Unit2) });
    panel_.CBoxUnit.setItemIndex((v & OptSecondUnit) ? 1 : 0);
    setUnitListEnabled(dev, true);

    const uint16_t state = dev.Regs[RegState];
    if (!InError(state)) {
        setImage(ImageWorking);
        return;
    }
    setImage(ImageError);
    dev.StateText = FullStateText(state, v, GasCode(dev));
    setCaption(std::string(CaptionDash) + dev.StateText);
}

void Decoder::decodeConc(const TDevice& dev, uint16_t v)
{
    if (v < ConcInvalid) {
        const int d = gasOf(dev).Decimals;
        panel_.EditConc.setText(fixed(v / scale(d), 4, d));
        panel_.LGasUnit.setText(panel_.CBoxUnit.text());
        for (forms::Label* unit : panel_.UnitLabels())
            unit->setText(panel_.LGasUnit.text());
    }
    const uint16_t state = dev.Regs[RegState];
    if (!(state & StateCurrentFixed))
        return;
    // The device reports the test current it drives: 1 mA by a state bit,
    // otherwise by the command value read back.
    const int mA = (state & StateWarmUp) ? 1 : v == CmdCurrent4mA ? 4 : 20;
    (mA == 1 ? panel_.RBt01mA : mA == 4 ? panel_.RBt04mA : panel_.RBt20mA).setChecked(true);
    panel_.EditCurr.show(mA);
    panel_.EditI.setText(FormatGeneral(mA, 4, separator_));
}

void Decoder::decodeTemp(const TDevice& dev, uint16_t v)
{
    panel_.EditTemp.setText(TemperatureText(dev, gasOf(dev), v, separator_));
}

void Decoder::decodeRange(const TDevice& dev, uint16_t v)
{
    const stGas& gas = gasOf(dev);
    const uint8_t unit = panel_.CBoxUnit.itemIndex() == 1 ? gas.Unit2 : gas.Unit1;
    panel_.EditURV.setText(RangeText(gas, unit, v, separator_));
    panel_.LURVUnit.setText(panel_.CBoxUnit.text());
}

void Decoder::decodeMagnet(const TDevice& dev, uint16_t v)
{
    // Shown for reference only; it is written back unchanged with the
    // parameters.
    for (forms::Control* c :
        std::initializer_list<forms::Control*> { &panel_.EditMagnet, &panel_.Label13, &panel_.LMagnetUnit })
        c->setEnabled(false);
    const stGas& gas = gasOf(dev);
    // The lower bound never hides what the device holds.
    panel_.EditMagnet.setMin(std::min(gas.Lel / scale(gas.Decimals) * 0.1, v / scale(gas.Decimals)));
    setScaled(panel_.EditMagnet, dev, v);
}

void Decoder::setScaled(forms::SpinEdit& edit, const TDevice& dev, uint16_t v, uint16_t registerMax)
{
    const int d = gasOf(dev).Decimals;
    edit.setDecimals(d);
    edit.setStep(1 / scale(d));
    // The bound never hides what the device holds: it shows its value,
    // whatever the range register says.
    edit.setMax(std::max(std::min(dev.Regs[RegRange], registerMax), v) / scale(d));
    edit.show(v / scale(d));
}

void Decoder::decodeVersion(const TDevice& dev, uint16_t v)
{
    const bool zor10 = dev.Model == ModelZor10;
    // Older firmware cannot change its gas or unit; a newer one can again.
    const bool gateOpen = !(isZor11To13(dev) || (zor10 && v % 100 < 5));
    panel_.LabelGas.setEnabled(gateOpen);
    panel_.CBoxGas.setEnabled(gateOpen);
    setUnitListEnabled(dev, gateOpen);

    if (isZor11To13(dev) || (zor10 && (v % 100 == 4 || v % 100 == 5) && v < 200))
        newerTool_ = true;
}

void Decoder::setUnitListEnabled(const TDevice& dev, bool gateOpen)
{
    const stGas& gas = gasOf(dev);
    const bool on = gateOpen && gas.Unit1 != gas.Unit2;
    panel_.CBoxUnit.setEnabled(on);
    panel_.LabelUnit.setEnabled(on);
}

void Decoder::decodeRelays(const TDevice& dev, uint16_t v)
{
    const bool zor10 = dev.Model == ModelZor10;
    panel_.CBoxRelayD.setVisible(!zor10);
    panel_.Label20.setVisible(!zor10);
    // Some "ZOR-10" firmware has fixed relay modes.
    const bool fixedModes = zor10 && (VersionMatch(dev, 3, 120) || VersionMatch(dev, 4, 230));
    panel_.CBoxRelay1.show(fixedModes ? 0 : (v & Relay1) ? 1 : 0);
    panel_.CBoxRelay2.show(fixedModes ? 0 : (v & Relay2) ? 1 : 0);
    panel_.CBoxRelay1.setEnabled(!fixedModes);
    panel_.CBoxRelay2.setEnabled(!fixedModes);
    if (!zor10)
        panel_.CBoxRelayD.show((v & RelayDiag) ? 1 : 0);
}

void Decoder::setCaption(const std::string& tail)
{
    panel_.DevPanel.setText((selNode_ ? selNode_->text() : std::string()) + tail);
}

void Decoder::setImage(int image)
{
    if (selNode_ && devTree_.contains(selNode_))
        devTree_.setImageIndex(selNode_, image);
}

std::string Decoder::fixed(double x, int precision, int digits) const
{
    return FormatFixed(x, precision, digits, separator_);
}

} // namespace zor
