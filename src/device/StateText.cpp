#include "device/StateText.h"

#include "device/DeviceTexts.h"
#include "device/Registers.h"
#include "device/Tables.h"

namespace zor {

std::string_view StateText(uint16_t state, int gas)
{
    if (state & StateRangeExceeded)
        return TextRangeExceeded;
    if (!(state & StateWorks))
        return TextError;
    if (state & StateSpecialMode)
        return TextSpecialMode;
    if (state & StateCurrentFixed)
        return TextCurrentSetup;
    if (state & StateWarmUp)
        return TextWarmUp;
    if (state & StateLimit2)
        return TextLimit2;
    if (state & StateLimit1)
        return gas == GasOxygen ? TextBelowLimit1 : TextLimit1;
    return TextWorking;
}

bool InError(uint16_t state)
{
    return !(state & (StateWorks | StateRangeExceeded));
}

std::string_view ErrorReason(uint16_t state, uint16_t options)
{
    if (options & OptLowSupply)
        return TextLowSupply;
    if (state & StateSensorMissing)
        return TextSensorMissing;
    if (state & StateSensorDirty)
        return TextSensorDirty;
    if (state & StateBadSensorData)
        return TextBadSensorData;
    return TextHardware;
}

std::string FullStateText(uint16_t state, uint16_t options, int gas)
{
    if (InError(state))
        return std::string(TextError) + std::string(ReasonColon) + std::string(ErrorReason(state, options));
    return std::string(StateText(state, gas));
}

} // namespace zor
