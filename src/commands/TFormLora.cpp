#include "commands/TFormLora.h"

#include "device/Registers.h"

#include <cstdio>

namespace zor {

namespace {

constexpr uint32_t kChannelMin = 864000000;
constexpr uint32_t kChannelMax = 870000000;
constexpr int64_t kPeriodMin = 5;

std::string StateText(uint16_t state)
{
    return state == LoraActive ? "Активен" : state == LoraFactory ? "Исходные значения" : "Не активен";
}

std::string Hex(const TSessionKey& key)
{
    std::string text;
    char digits[3];
    for (uint8_t b : key) {
        std::snprintf(digits, sizeof digits, "%02X", b);
        text += digits;
    }
    return text;
}

// One character per letter of a UTF-8 text, anything beyond ASCII as a
// character that is no hexadecimal digit, so that length and positions
// count letters, not bytes.
std::string Letters(const std::string& utf8)
{
    std::string letters;
    for (const unsigned char b : utf8) {
        if ((b & 0xC0) == 0x80)
            continue;
        letters += b < 0x80 ? static_cast<char>(b) : '\x01';
    }
    return letters;
}

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

uint8_t Nibble(char c)
{
    // a to f count like A to F: the check above lets them through.
    const int code = c >= 'a' && c <= 'f' ? c - 'a' + 'A' : c;
    return static_cast<uint8_t>(code < 'A' ? code - 48 : code - 55);
}

TSessionKey KeyOf(const std::string& hex)
{
    TSessionKey key {};
    for (size_t k = 0; k < key.size(); ++k)
        key[k] = static_cast<uint8_t>(Nibble(hex[2 * k]) << 4 | Nibble(hex[2 * k + 1]));
    return key;
}

uint32_t Join(uint16_t high, uint16_t low)
{
    return static_cast<uint32_t>(high) << 16 | low;
}

uint32_t Channel(uint16_t high, uint16_t low)
{
    const uint32_t hz = Join(high, low);
    return hz < kChannelMin || hz > kChannelMax ? kChannelMin : hz;
}

void SetKeyBytes(TSessionKey& key, int pair, uint16_t w)
{
    key[static_cast<size_t>(2 * pair)] = static_cast<uint8_t>(w >> 8);
    key[static_cast<size_t>(2 * pair + 1)] = static_cast<uint8_t>(w);
}

// A list without a selection (a value the list has no item for) keeps what
// the device holds.
void TakeIndex(uint8_t& field, const forms::ComboList& list)
{
    if (list.itemIndex() >= 0)
        field = static_cast<uint8_t>(list.itemIndex());
}

} // namespace

TFormLora::TFormLora(CommandBus& bus, CommandWindow& window, forms::Dialogs& dialogs, TWriteOp& op)
    : bus_(bus)
    , window_(window)
    , dialogs_(dialogs)
    , write_(bus, window, op, Settings, Caption)
{
    CBoxBandWidth.setEnabled(false);
    CBoxCodingRate.setEnabled(false);
}

void TFormLora::FormShow()
{
    for (forms::IntSpinEdit* chan : { &EditChan1, &EditChan2, &EditChan3 })
        chan->setEnabled(false);
    ShowLoraSettings();
}

void TFormLora::DecodeLoraBlock(const uint16_t* w, int count)
{
    for (int i = 0; i < count; ++i) {
        const auto high = static_cast<uint8_t>(w[i] >> 8);
        const auto low = static_cast<uint8_t>(w[i]);
        switch (i) {
        case 0:
            Settings.State = w[0];
            break;
        case 2:
            Settings.DevAddr = Join(w[1], w[2]);
            break;
        case 3:
            Settings.BandWidth = high <= 2 ? high : 0;
            Settings.CodingRate = low <= 3 ? low : 0;
            break;
        case 4:
            Settings.Power = high <= 7 ? high : 7;
            Settings.SFactor = low <= 5 ? low : 5;
            break;
        case 5:
            Settings.Period = w[5];
            break;
        case 7:
            Settings.Chan1 = Channel(w[6], w[7]);
            break;
        case 9:
            Settings.Chan2 = Channel(w[8], w[9]);
            break;
        case 11:
            Settings.Chan3 = Channel(w[10], w[11]);
            break;
        default:
            if (i >= 12 && i < 20)
                SetKeyBytes(Settings.AppSKey, i - 12, w[i]);
            else if (i >= 20 && i < 28)
                SetKeyBytes(Settings.NwkSKey, i - 20, w[i]);
            break;
        }
    }
}

void TFormLora::ShowLoraSettings()
{
    Caption.setText("Настройки LoRa: " + StateText(Settings.State));
    EditChan1.setValue(Settings.Chan1);
    EditChan2.setValue(Settings.Chan2);
    EditChan3.setValue(Settings.Chan3);
    CBoxBandWidth.setItemIndex(Settings.BandWidth);
    CBoxCodingRate.setItemIndex(Settings.CodingRate);
    CBoxPower.setItemIndex(Settings.Power);
    CBoxSFactor.setItemIndex(Settings.SFactor);
    EditAddr.setValue(Settings.DevAddr);
    EditPeriod.setMin(kPeriodMin);
    EditPeriod.setValue(Settings.Period);
    EditAppSKey.setText(Hex(Settings.AppSKey));
    EditNwkSKey.setText(Hex(Settings.NwkSKey));
}

void TFormLora::CBoxSFactorChange()
{
    // The shortest period is the same for every spreading factor; the edit
    // brings a smaller value up to it.
    EditPeriod.setMin(kPeriodMin);
    EditPeriod.setValue(EditPeriod.value());
}

void TFormLora::BitBtnDefsClick()
{
    const uint32_t address = Settings.DevAddr;
    Settings = LoraDefaults;
    Settings.DevAddr = address;
    ShowLoraSettings();
}

void TFormLora::BitBtnReadClick()
{
    if (window_.RefuseWhileWriting(forms::DialogOwner::Lora) || !bus_.LinkReady())
        return;
    window_.ReadLoraBlock();
}

void TFormLora::BitBtnRFWriteClick()
{
    if (window_.RefuseUnread(window_.LoraRead(), forms::DialogOwner::Lora))
        return;
    Settings.Chan1 = static_cast<uint32_t>(EditChan1.value());
    Settings.Chan2 = static_cast<uint32_t>(EditChan2.value());
    Settings.Chan3 = static_cast<uint32_t>(EditChan3.value());
    TakeIndex(Settings.BandWidth, CBoxBandWidth);
    TakeIndex(Settings.CodingRate, CBoxCodingRate);
    TakeIndex(Settings.Power, CBoxPower);
    TakeIndex(Settings.SFactor, CBoxSFactor);
    Settings.DevAddr = static_cast<uint32_t>(EditAddr.value());
    Settings.Period = static_cast<uint16_t>(EditPeriod.value());
    // The channels are shown but not editable, and not written.
    const uint16_t data[5] { static_cast<uint16_t>(Settings.DevAddr >> 16), static_cast<uint16_t>(Settings.DevAddr),
        static_cast<uint16_t>(Settings.BandWidth << 8 | Settings.CodingRate),
        static_cast<uint16_t>(Settings.Power << 8 | Settings.SFactor), Settings.Period };
    write_.WriteBlock(window_.SelAddr(), RegLoraAddr, data, 5);
}

void TFormLora::BitBtnABPWriteClick()
{
    if (window_.RefuseUnread(window_.LoraRead(), forms::DialogOwner::Lora))
        return;
    const std::string app = Letters(EditAppSKey.text());
    const std::string nwk = Letters(EditNwkSKey.text());
    const std::string appError = "Ошибка в AppsKey!";
    const std::string nwkError = "Ошибка в MwksKey!";
    const auto refuse = [this](const std::string& text) { dialogs_.inform(forms::DialogOwner::Lora, text); };
    if (app.size() != 32)
        return refuse(appError);
    if (nwk.size() != 32)
        return refuse(nwkError);
    for (size_t i = 0; i < 32; ++i) {
        if (!IsHexDigit(app[i]))
            return refuse(appError);
        if (!IsHexDigit(nwk[i]))
            return refuse(nwkError);
    }
    Settings.AppSKey = KeyOf(app);
    Settings.NwkSKey = KeyOf(nwk);
    const auto regs = KeyRegisters(Settings.AppSKey);
    write_.WriteBlock(window_.SelAddr(), RegAppSKey, regs.data(), static_cast<uint8_t>(regs.size()));
}

} // namespace zor
