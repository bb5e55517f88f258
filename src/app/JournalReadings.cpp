#include "app/JournalReadings.h"

#include "device/Tables.h"
#include "device/ValueText.h"
#include "runtime/NumberFormat.h"

#include <cmath>
#include <cstdio>
#include <functional>

namespace zor {

namespace {

constexpr char kSeparator = ',';

std::string Hex(uint16_t v)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%04X", v);
    return buf;
}

std::string Version(uint16_t v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%u.%02u", v / 100u, v % 100u);
    return buf;
}

// The range in the unit the device measures in now.
std::string Range(const TDevice& device)
{
    return RangeText(Gases[GasCode(device)], UnitInUse(device), device.Regs[RegRange], kSeparator);
}

std::string Fixed(double x, int digits)
{
    return FormatFixed(x, 15, digits, kSeparator);
}

struct RegisterRow {
    const char* name;
    uint16_t reg;
    std::function<std::string(const TDevice&)> text;
};

const std::vector<RegisterRow>& Rows()
{
    const auto scaled = [](uint16_t reg) { return [reg](const TDevice& d) { return Scaled(d, d.Regs[reg]); }; };
    static const std::vector<RegisterRow> rows {
        { "Адрес и настройки линии", RegLine,
            [](const TDevice& d) {
                const uint16_t w = d.Regs[RegLine];
                const auto baud = static_cast<size_t>(LineBaudCode(w));
                return "адрес " + std::to_string(LineAddress(w))
                    + (baud < BaudRates.size() ? ", " + std::to_string(BaudRates[baud]) + " бит/с" : std::string())
                    + " (" + Hex(w) + ")";
            } },
        { "Состояние", RegState, [](const TDevice& d) { return Hex(d.Regs[RegState]); } },
        { "Параметры", RegOptions, [](const TDevice& d) { return Hex(d.Regs[RegOptions]); } },
        { "Концентрация", RegConc, scaled(RegConc) },
        { "Температура, °C", RegTemp,
            [](const TDevice& d) { return TemperatureText(d, Gases[GasCode(d)], d.Regs[RegTemp], kSeparator); } },
        { "Диапазон", RegRange, [](const TDevice& d) { return Range(d); } },
        { "Концентрация магнитной калибровки", RegMagnetConc, scaled(RegMagnetConc) },
        { "Порог 1", RegLimit1, scaled(RegLimit1) },
        { "Порог 2", RegLimit2, scaled(RegLimit2) },
        { "Ток, мА", RegCurrent, [](const TDevice& d) { return Fixed(d.Regs[RegCurrent] / 100.0, 2); } },
        { "Версия", RegVersion, [](const TDevice& d) { return Version(d.Regs[RegVersion]); } },
        { "Реле", RegRelays, [](const TDevice& d) { return Hex(d.Regs[RegRelays]); } },
        { "Гистерезис", RegHyster, [](const TDevice& d) { return Scaled(d, d.Regs[RegHyster] & 0x00FF); } },
        { "Нулевая зона", RegZeroZone, scaled(RegZeroZone) },
    };
    return rows;
}

} // namespace

uint8_t UnitInUse(const TDevice& device)
{
    const stGas& gas = Gases[GasCode(device)];
    return (device.Regs[RegOptions] & OptSecondUnit) ? gas.Unit2 : gas.Unit1;
}

std::string Scaled(const TDevice& device, uint16_t raw)
{
    const int decimals = Gases[GasCode(device)].Decimals;
    return Fixed(raw / std::pow(10.0, decimals), decimals);
}

void Identify(journal::JournalRecord& record, uint8_t address, const TDevice& device)
{
    record.model = device.Model >= 0 && static_cast<size_t>(device.Model) < ModelNames.size()
        ? std::string(ModelNames[static_cast<size_t>(device.Model)])
        : std::string();
    record.serial = device.Serial;
    record.firmware = Version(device.Regs[RegVersion]);
    record.address = address;
    record.gas = std::string(Gases[GasCode(device)].Formula);
    record.unit = UnitText(UnitInUse(device));
    record.range = Range(device);
}

std::vector<journal::Reading> RegisterReadings(const TDevice& found, const TDevice* left)
{
    std::vector<journal::Reading> out;
    for (const RegisterRow& row : Rows())
        out.push_back({ row.name, row.text(found), left ? row.text(*left) : std::string() });
    return out;
}

std::vector<journal::Reading> LoraReadings(const TLoraSettings* found, const TLoraSettings* left)
{
    struct Row {
        const char* name;
        std::function<uint32_t(const TLoraSettings&)> value;
    };
    static const Row rows[] {
        { "LoRa: адрес", [](const TLoraSettings& s) { return s.DevAddr; } },
        { "LoRa: ширина канала (индекс)", [](const TLoraSettings& s) { return uint32_t { s.BandWidth }; } },
        { "LoRa: кодирование (индекс)", [](const TLoraSettings& s) { return uint32_t { s.CodingRate }; } },
        { "LoRa: мощность (индекс)", [](const TLoraSettings& s) { return uint32_t { s.Power }; } },
        { "LoRa: spreading factor (индекс)", [](const TLoraSettings& s) { return uint32_t { s.SFactor }; } },
        { "LoRa: период, с", [](const TLoraSettings& s) { return uint32_t { s.Period }; } },
        { "LoRa: канал 1, Гц", [](const TLoraSettings& s) { return s.Chan1; } },
        { "LoRa: канал 2, Гц", [](const TLoraSettings& s) { return s.Chan2; } },
        { "LoRa: канал 3, Гц", [](const TLoraSettings& s) { return s.Chan3; } },
    };
    std::vector<journal::Reading> out;
    for (const Row& row : rows)
        out.push_back({ row.name, found ? std::to_string(row.value(*found)) : std::string(),
            left ? std::to_string(row.value(*left)) : std::string() });
    return out;
}

} // namespace zor
