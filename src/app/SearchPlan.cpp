#include "app/SearchPlan.h"

#include "device/Tables.h"

#include <algorithm>

namespace zor {

uint32_t CharactersMs(uint32_t n, const LineSettings& line)
{
    const uint64_t bits = uint64_t { n } * characterBits(line) * 1000;
    const uint64_t baud = std::max<uint32_t>(line.baud, 1);
    return static_cast<uint32_t>((bits + baud - 1) / baud);
}

namespace {

constexpr uint32_t kProbeCharacters = 8;
constexpr uint32_t kAnswerCharacters = 9;
constexpr uint32_t kProbeMarginMs = 10;
constexpr uint16_t kFastestPollingMs = 5;

} // namespace

uint32_t ShortestProbeMs(const LineSettings& line)
{
    // The answer must also be taken in by the fast polling before the next
    // probe purges it.
    return CharactersMs(kProbeCharacters + kAnswerCharacters, line) + kProbeMarginMs + FastPollingMs(line);
}

uint16_t FastPollingMs(const LineSettings& line)
{
    return static_cast<uint16_t>(std::max<uint32_t>(kFastestPollingMs, CharactersMs(2, line)));
}

SearchPlan Bounded(SearchPlan plan, const LineSettings& line)
{
    plan.first = std::clamp<uint8_t>(plan.first, 1, 247);
    plan.last = std::clamp<uint8_t>(plan.last, plan.first, 247);
    if (plan.probeMs != 0)
        plan.probeMs = std::max(plan.probeMs, ShortestProbeMs(line));
    return plan;
}

uint64_t PlanMs(const SearchPlan& plan, const LineSettings& bus)
{
    const auto passMs = [&](const LineSettings& line) {
        const SearchPlan pass = Bounded(plan, line);
        const uint64_t step = pass.probeMs != 0 ? pass.probeMs : kStandardStepMs;
        return (uint64_t { pass.last } - pass.first + 2) * step;
    };
    if (plan.lines.empty())
        return passMs(bus);
    uint64_t total = 0;
    for (const LineChoice& choice : plan.lines) {
        LineSettings line = bus;
        line.baud = choice.baud;
        line.dataBits = 8;
        line.parity = choice.parity == TParity::pNone ? ParityKind::None : ParityKind::Even;
        line.stopBits = choice.stopBits == TStopBits::sb2 ? StopBitsKind::Two : StopBitsKind::One;
        total += passMs(line);
    }
    return total;
}

std::vector<uint32_t> SweepRates()
{
    std::vector<uint32_t> rates;
    for (int32_t rate : BaudRates)
        if (rate > 0)
            rates.push_back(static_cast<uint32_t>(rate));
    return rates;
}

std::vector<LineChoice> LineChoices(
    const std::vector<uint32_t>& rates, const std::vector<TParity>& parities, const std::vector<TStopBits>& stopBits)
{
    std::vector<LineChoice> choices;
    for (uint32_t baud : rates)
        for (TParity parity : parities)
            for (TStopBits stop : stopBits)
                choices.push_back({ baud, parity, stop });
    return choices;
}

std::optional<LineChoice> MostAnswered(const std::vector<FoundAt>& found, std::optional<LineChoice> preferred)
{
    const auto count = [&](const LineChoice& line) {
        std::vector<uint8_t> addresses;
        for (const FoundAt& f : found)
            if (f.line == line && std::find(addresses.begin(), addresses.end(), f.address) == addresses.end())
                addresses.push_back(f.address);
        return addresses.size();
    };
    std::optional<LineChoice> best;
    size_t most = 0;
    for (const FoundAt& f : found)
        if (const size_t n = count(f.line); n > most) {
            most = n;
            best = f.line;
        }
    if (best && preferred && count(*preferred) == most)
        return preferred;
    return best;
}

std::string LineCaption(uint32_t baud, int dataBits, int parity, int stopBits)
{
    const auto pick = [](const auto& table, int i) {
        return i >= 0 && i < static_cast<int>(table.size()) ? std::string(table[static_cast<size_t>(i)])
                                                            : std::string("?");
    };
    return std::to_string(baud) + " / " + std::to_string(dataBits) + "-" + pick(ParityNames, parity) + "-"
        + pick(StopBitNames, stopBits);
}

std::string LineCaption(const LineChoice& line)
{
    return LineCaption(line.baud, 8, static_cast<int>(line.parity), static_cast<int>(line.stopBits));
}

std::string PlanText(const SearchPlan& plan)
{
    std::string text = "Параметры поиска: адреса " + std::to_string(plan.first) + ".." + std::to_string(plan.last)
        + ", " + (plan.probeMs != 0 ? std::to_string(plan.probeMs) + " мс на адрес" : std::string("обычный шаг"));
    if (!plan.lines.empty())
        text += ", настроек линии: " + std::to_string(plan.lines.size());
    return text;
}

} // namespace zor
