#include "device/Tables.h"

namespace zor {

// Mind the alphabets: the formulas of rows 3 and 6..22 are written with the
// Cyrillic С, Н and О, "P-" and "O-" start with a Latin letter, and the name
// of row 32 starts with a Latin B. The device list shows them as they are.
constexpr TGasTable Gases { {
    { "Метан", "CH4 100%об", 10000, 100.0f, 2, UnitVol, UnitVol, 1.0f, 0, 500, 1.0f, 0 }, // 0
    { "Метан", "CH4", 440, 100.0f, 2, UnitVol, UnitVol, 1.0f, 0, 500, 1.0f, 0 }, // 1
    { "Пропан", "C3H8", 170, 100.0f, 2, UnitVol, UnitVol, 1.0f, 0, 500, 1.0f, 0 }, // 2
    { "Гексан", "С6Н14", 100, 50.0f, 2, UnitVol, UnitVol, 1.0f, 0, 500, 1.0f, 0 }, // 3
    { "Диоксид углерода", "CO2", 250, 100.0f, 2, UnitVol, UnitVol, 1.0f, 0, 500, 1.0f, 0 }, // 4
    { "Этан", "C2H6", 250, 50.0f, 1, UnitLel, UnitLel, 1.0f, 0, 500, 1.0f, 0 }, // 5
    { "Бутан", "С4Н10", 140, 50.0f, 1, UnitLel, UnitLel, 1.0f, 0, 500, 1.0f, 0 }, // 6
    { "Изобутан", "(СН3)2СНСН3", 130, 50.0f, 1, UnitLel, UnitLel, 1.0f, 0, 500, 1.0f, 0 }, // 7
    { "Пентан", "С5Н12", 140, 50.0f, 1, UnitLel, UnitLel, 1.0f, 0, 500, 1.0f, 0 }, // 8
    { "Циклопентан", "С5Н10", 140, 50.0f, 1, UnitLel, UnitLel, 1.0f, 0, 500, 1.0f, 0 }, // 9
    { "Циклогексан", "С6Н12", 120, 50.0f, 1, UnitLel, UnitLel, 1.0f, 0, 500, 1.0f, 0 }, // 10
    { "Этилен", "С2Н4", 230, 50.0f, 1, UnitLel, UnitLel, 1.0f, 0, 500, 1.0f, 0 }, // 11
    { "Метанол", "СН3ОН", 550, 50.0f, 1, UnitLel, UnitLel, 1.0f, 0, 500, 1.0f, 0 }, // 12
    { "Гептан", "С7Н16", 110, 50.0f, 1, UnitLel, UnitLel, 1.0f, 0, 500, 1.0f, 0 }, // 13
    { "Пропилен", "С3Н6", 200, 50.0f, 1, UnitLel, UnitLel, 1.0f, 0, 500, 1.0f, 0 }, // 14
    { "Этанол", "С2Н5ОН", 310, 50.0f, 1, UnitLel, UnitLel, 1.0f, 0, 500, 1.0f, 0 }, // 15
    { "Толуол", "С6Н5ОН3", 110, 50.0f, 1, UnitLel, UnitLel, 1.0f, 0, 500, 1.0f, 0 }, // 16
    { "Бензол", "С6Н6", 120, 50.0f, 1, UnitLel, UnitLel, 1.0f, 0, 500, 1.0f, 0 }, // 17
    { "Этилбензол", "С8Н10", 100, 50.0f, 1, UnitLel, UnitLel, 1.0f, 0, 500, 1.0f, 0 }, // 18
    { "Ацетон", "СН3СОСН3", 250, 50.0f, 1, UnitLel, UnitLel, 1.0f, 0, 500, 1.0f, 0 }, // 19
    { "П-Ксилол", "P-С8Н10", 100, 50.0f, 1, UnitLel, UnitLel, 1.0f, 0, 500, 1.0f, 0 }, // 20
    { "О-Ксилол", "O-С8Н10", 100, 50.0f, 1, UnitLel, UnitLel, 1.0f, 0, 500, 1.0f, 0 }, // 21
    { "Изопропанол", "С3Н8О", 200, 50.0f, 1, UnitLel, UnitLel, 1.0f, 0, 500, 1.0f, 0 }, // 22
    { "Кислород", "O2", 3000, 100.0f, 2, UnitVol, UnitVol, 1.0f, 1, 0, 1.0f, 0 }, // 23
    { "Оксид углерода", "CO", 1000, 100.0f, 0, UnitPpm, UnitPpm, 1.1644f, 1, 0, 1.0f, 0 }, // 24
    { "Сероводород", "H2S", 1000, 100.0f, 1, UnitPpm, UnitPpm, 1.4166f, 1, 0, 1.0f, 0 }, // 25
    { "Диоксида серы", "SO2", 200, 100.0f, 1, UnitPpm, UnitPpm, 2.663f, 1, 0, 1.0f, 0 }, // 26
    { "Диоксид азота", "NO2", 300, 100.0f, 1, UnitPpm, UnitPpm, 1.9125f, 1, 0, 1.0f, 0 }, // 27
    { "Хлор", "CL2", 100, 100.0f, 1, UnitPpm, UnitPpm, 2.9474f, 1, 0, 1.0f, 0 }, // 28
    { "Аммиак", "NH3", 300, 100.0f, 0, UnitPpm, UnitPpm, 0.708f, 1, 0, 1.0f, 0 }, // 29
    { "Оксид азота", "NO", 250, 100.0f, 0, UnitPpm, UnitPpm, 1.2474f, 1, 0, 1.0f, 0 }, // 30
    { "Циановодород", "HCN", 30, 100.0f, 0, UnitPpm, UnitPpm, 1.1235f, 1, 0, 1.0f, 0 }, // 31
    { "Bодород", "H2", 200, 100.0f, 2, UnitVol, UnitVol, 1.0f, 1, 0, 1.0f, 0 }, // 32
    { "Газ?", "???", 440, 100.0f, 1, UnitLel, UnitLel, 1.0f, 0, 500, 1.0f, 0 }, // 33
} };

std::string UnitText(uint8_t unit)
{
    switch (unit) {
    case UnitPpm:
        return "млн-1";
    case UnitVol:
        return "%об.";
    case UnitLel:
        return "%НКПР";
    case UnitMgM3:
        return "мгм/м3";
    default:
        return "???";
    }
}

} // namespace zor
