#include "sim/SimTables.h"

#include <array>

namespace zor {

namespace {

constexpr std::array<SimModelInfo, 4> kModels { {
    { "ZOR-10", 6000000, 9399999, 230 },
    { "ZOR-11", 9400000, 9499999, 1552 },
    { "ZOR-12", 9500000, 9599999, 1601 },
    { "ZOR-13", 9600000, 9699999, 1704 },
} };

constexpr SimGasInfo flammable(uint16_t lel)
{
    return { lel, 1, kSimUnitLel, false };
}

constexpr std::array<SimGasInfo, kSimGasCount> kGases { {
    { 10000, 2, kSimUnitVol, false }, // 0 methane 100 %об
    { 440, 2, kSimUnitVol, false }, // 1 methane
    { 170, 2, kSimUnitVol, false }, // 2 propane
    { 100, 2, kSimUnitVol, false }, // 3 hexane
    { 250, 2, kSimUnitVol, false }, // 4 carbon dioxide
    flammable(250), flammable(140), flammable(130), flammable(140), flammable(140), flammable(120), flammable(230),
    flammable(550), flammable(110), flammable(200), flammable(310), flammable(110), flammable(120), flammable(100),
    flammable(250), flammable(100), flammable(100), flammable(200), { 3000, 2, kSimUnitVol, true }, // 23 oxygen
    { 1000, 0, kSimUnitPpm, true }, // 24 carbon monoxide
    { 1000, 1, kSimUnitPpm, true }, // 25 hydrogen sulphide
    { 200, 1, kSimUnitPpm, true }, // 26 sulphur dioxide
    { 300, 1, kSimUnitPpm, true }, // 27 nitrogen dioxide
    { 100, 1, kSimUnitPpm, true }, // 28 chlorine
    { 300, 0, kSimUnitPpm, true }, // 29 ammonia
    { 250, 0, kSimUnitPpm, true }, // 30 nitric oxide
    { 30, 0, kSimUnitPpm, true }, // 31 hydrogen cyanide
    { 200, 2, kSimUnitVol, true }, // 32 hydrogen
    { 440, 1, kSimUnitLel, false }, // 33 unknown gas
} };

} // namespace

const SimModelInfo& simModelInfo(SimModel model)
{
    return kModels[static_cast<size_t>(model)];
}

std::optional<SimModel> simModelNamed(std::string_view name)
{
    for (size_t i = 0; i < kModels.size(); ++i)
        if (kModels[i].name == name)
            return static_cast<SimModel>(i);
    return std::nullopt;
}

const SimGasInfo& simGasInfo(uint8_t code)
{
    return kGases[code < kSimGasCount ? code : kSimGasCount - 1];
}

} // namespace zor
