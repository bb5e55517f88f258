#pragma once
// Turns the register values of one read answer from the selected device into
// what the device panel shows, and keeps the device record's register cache
// and state text up to date. A value the technician has entered and not yet
// written is left as entered. It opens no window: that the device asks for a
// newer tool is only noted, for the window to tell once the answer has been
// handled.

#include "device/DevicePanel.h"
#include "device/DeviceTable.h"
#include "device/Tables.h"
#include "forms/TreeView.h"

#include <cstdint>
#include <string>
#include <utility>

namespace zor {

class Decoder {
public:
    // selNode is the window's selected device node (may be null); its
    // overlay index is the device's bus address.
    Decoder(DeviceTable& devList, forms::TreeView& devTree, forms::TreeNode*& selNode, DevicePanel& panel,
        char separator, const TGasTable& gases = Gases);

    // Decodes holding registers firstRegister.. (function 3, at most up to
    // register 18) or the gas input register (firstRegister InRegGas, one
    // value). Returns 1 when decoded; 0, with nothing changed, for any other
    // block or for an address without a device record.
    int DecodeBlock(uint8_t address, uint8_t function, const uint16_t* values, int count, int firstRegister);

    // Whether a version decoded since the last call asks for a newer tool.
    bool TakeNewerToolHint() { return std::exchange(newerTool_, false); }

private:
    void decode(TDevice& dev, int reg, uint16_t v);
    void decodeGas(TDevice& dev, uint16_t v);
    void decodeLine(uint16_t v);
    void decodeState(TDevice& dev, uint16_t v);
    void decodeOptions(TDevice& dev, uint16_t v);
    void decodeConc(const TDevice& dev, uint16_t v);
    void decodeTemp(const TDevice& dev, uint16_t v);
    void decodeRange(const TDevice& dev, uint16_t v);
    void decodeMagnet(const TDevice& dev, uint16_t v);
    void decodeVersion(const TDevice& dev, uint16_t v);
    void decodeRelays(const TDevice& dev, uint16_t v);
    // Decimals, step and upper bound (the range, or the largest value the
    // register holds if that is less, but never below v) of a gas-dependent
    // spin edit, then its value v, all in the gas's units.
    void setScaled(forms::SpinEdit& edit, const TDevice& dev, uint16_t v, uint16_t registerMax = 0xFFFF);
    void setUnitListEnabled(const TDevice& dev, bool gateOpen);
    void setCaption(const std::string& tail);
    void setImage(int image);
    const stGas& gasOf(const TDevice& dev) const { return gases_[GasCode(dev)]; }
    std::string fixed(double x, int precision, int digits) const;

    DeviceTable& devList_;
    forms::TreeView& devTree_;
    forms::TreeNode*& selNode_;
    DevicePanel& panel_;
    char separator_;
    const TGasTable& gases_;
    bool newerTool_ = false;
};

} // namespace zor
