#include "sim/SimBusFile.h"

#include "sim/DemoBus.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <vector>

namespace zor {

namespace {

// One line being read: where it is, for the messages.
class LineReader {
public:
    explicit LineReader(std::string where)
        : where_(std::move(where))
    {
    }

    [[noreturn]] void fail(const std::string& what) const { throw SimBusFileError(where_ + ": " + what); }

    uint32_t number(std::string_view key, std::string_view v, uint64_t min, uint64_t max) const
    {
        uint64_t n = 0;
        const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
        if (ec != std::errc() || end != v.data() + v.size() || n < min || n > max)
            fail(std::string(key) + "=" + std::string(v) + ": expected a number from " + std::to_string(min) + " to "
                + std::to_string(max));
        return static_cast<uint32_t>(n);
    }

    uint32_t duration(std::string_view key, std::string_view v) const
    {
        uint32_t scale = 1;
        if (v.ends_with("ms")) {
            v.remove_suffix(2);
        } else if (v.ends_with("s")) {
            v.remove_suffix(1);
            scale = 1000;
        }
        return number(key, v, 0, 86400000 / scale) * scale;
    }

    template <typename T>
    T choice(std::string_view key, std::string_view v, const std::map<std::string_view, T>& choices) const
    {
        if (auto it = choices.find(v); it != choices.end())
            return it->second;
        std::string known;
        for (const auto& [name, value] : choices)
            known += (known.empty() ? "" : ", ") + std::string(name);
        fail(std::string(key) + "=" + std::string(v) + ": expected one of " + known);
    }

    bool onOff(std::string_view key, std::string_view v) const
    {
        return choice<bool>(key, v, { { "on", true }, { "off", false } });
    }

    // "A:B" as two numbers.
    std::pair<uint32_t, uint8_t> pair(std::string_view key, std::string_view v, uint32_t maxFirst) const
    {
        const size_t colon = v.find(':');
        if (colon == std::string_view::npos)
            fail(std::string(key) + "=" + std::string(v) + ": expected NUMBER:CODE");
        return { number(key, v.substr(0, colon), 0, maxFirst),
            static_cast<uint8_t>(number(key, v.substr(colon + 1), 1, 255)) };
    }

    int16_t tenths(std::string_view key, std::string_view v) const
    {
        const std::string text(v);
        char* end = nullptr;
        const double t = std::strtod(text.c_str(), &end);
        if (text.empty() || *end != '\0' || t < -100 || t > 200)
            fail(std::string(key) + "=" + text + ": expected degrees Celsius from -100 to 200");
        return static_cast<int16_t>(std::lround(t * 10));
    }

private:
    std::string where_;
};

struct TestGas {
    std::optional<uint16_t> value;
    uint32_t at = 0, hold = 0, every = 0;
};

std::vector<std::string_view> words(std::string_view text)
{
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r'))
            ++i;
        const size_t start = i;
        while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\r')
            ++i;
        if (i > start)
            out.push_back(text.substr(start, i - start));
    }
    return out;
}

} // namespace

void addDetectorLine(SimBus& bus, std::string_view line, const std::string& where)
{
    const LineReader in(where);
    const std::vector<std::string_view> tokens = words(line.substr(0, line.find('#')));
    if (tokens.empty())
        in.fail("no detector described");
    const std::optional<SimModel> model = simModelNamed(tokens[0]);
    if (!model)
        in.fail("unknown model \"" + std::string(tokens[0]) + "\" (ZOR-10, ZOR-11, ZOR-12 or ZOR-13)");

    // Everything is read and checked before the detector joins the bus; the
    // gas goes first, since it brings its factory settings.
    std::optional<uint8_t> address;
    std::optional<uint8_t> gas;
    uint32_t baud = 19200;
    ParityKind parity = ParityKind::Even;
    StopBitsKind stop = StopBitsKind::One;
    TestGas testGas;
    using Step = std::function<void(SimDetector&)>;
    std::vector<Step> steps;
    const auto setReg
        = [](uint16_t reg, uint16_t v) -> Step { return [reg, v](SimDetector& d) { d.setHolding(reg, v); }; };

    for (size_t i = 1; i < tokens.size(); ++i) {
        const std::string_view token = tokens[i];
        const size_t eq = token.find('=');
        const std::string_view key = token.substr(0, eq);
        const std::string_view v = eq == std::string_view::npos ? std::string_view("on") : token.substr(eq + 1);
        const auto u16 = [&](uint64_t max = 65535) { return static_cast<uint16_t>(in.number(key, v, 0, max)); };
        if (key == "address")
            address = static_cast<uint8_t>(in.number(key, v, 1, 247));
        else if (key == "baud")
            baud = in.choice<uint32_t>(key, v,
                { { "1200", 1200 }, { "2400", 2400 }, { "4800", 4800 }, { "9600", 9600 }, { "19200", 19200 },
                    { "38400", 38400 }, { "57600", 57600 }, { "115200", 115200 } });
        else if (key == "parity")
            parity = in.choice<ParityKind>(
                key, v, { { "none", ParityKind::None }, { "odd", ParityKind::Odd }, { "even", ParityKind::Even } });
        else if (key == "stop")
            stop = in.choice<StopBitsKind>(key, v, { { "1", StopBitsKind::One }, { "2", StopBitsKind::Two } });
        else if (key == "gas")
            gas = static_cast<uint8_t>(in.number(key, v, 0, kSimGasCount - 1));
        else if (key == "serial")
            steps.push_back([n = in.number(key, v, 0, 0x7FFFFFFF)](SimDetector& d) { d.serial(n); });
        else if (key == "version")
            steps.push_back(setReg(14, u16()));
        else if (key == "range")
            steps.push_back(setReg(5, u16()));
        else if (key == "limit1")
            steps.push_back(setReg(9, u16()));
        else if (key == "limit2")
            steps.push_back(setReg(10, u16()));
        else if (key == "hysteresis")
            steps.push_back([h = static_cast<uint8_t>(u16(255))](SimDetector& d) { d.hysteresis(h); });
        else if (key == "zerozone")
            steps.push_back(setReg(18, u16()));
        else if (key == "magnet")
            steps.push_back(setReg(8, u16()));
        else if (key == "relays")
            steps.push_back(setReg(16, u16(7)));
        else if (key == "blocking")
            steps.push_back([on = in.onOff(key, v)](SimDetector& d) { d.blocking(on); });
        else if (key == "temperature")
            steps.push_back([t = in.tenths(key, v)](SimDetector& d) { d.temperature(t); });
        else if (key == "warmup")
            steps.push_back([ms = in.duration(key, v)](SimDetector& d) { d.warmUp(ms); });
        else if (key == "noise")
            steps.push_back([n = u16(1000)](SimDetector& d) { d.noise(n); });
        else if (key == "seed")
            steps.push_back([n = in.number(key, v, 0, 0xFFFFFFFF)](SimDetector& d) { d.seed(n); });
        else if (key == "response")
            steps.push_back([ms = in.duration(key, v)](SimDetector& d) { d.responseTime(ms); });
        else if (key == "error")
            steps.push_back([e = in.choice<SimError>(key, v,
                                 { { "none", SimError::None }, { "contaminated", SimError::Contaminated },
                                     { "missing", SimError::SensorMissing }, { "invalid", SimError::InvalidData },
                                     { "supply", SimError::SupplyLow }, { "hardware", SimError::Hardware } })](
                                SimDetector& d) { d.error(e); });
        else if (key == "radio")
            steps.push_back([on = in.onOff(key, v)](SimDetector& d) { d.radio(on); });
        else if (key == "testgas")
            testGas.value = u16();
        else if (key == "testgas-at")
            testGas.at = in.duration(key, v);
        else if (key == "testgas-for")
            testGas.hold = in.duration(key, v);
        else if (key == "testgas-every")
            testGas.every = in.duration(key, v);
        else if (key == "silent")
            steps.push_back([on = in.onOff(key, v)](SimDetector& d) { d.silent(on); });
        else if (key == "badcrc")
            steps.push_back([on = in.onOff(key, v)](SimDetector& d) { d.badCrc(on); });
        else if (key == "split")
            steps.push_back([ms = in.duration(key, v)](SimDetector& d) { d.splitAnswer(ms); });
        else if (key == "delay")
            steps.push_back([ms = in.duration(key, v)](SimDetector& d) { d.delayAnswer(ms); });
        else if (key == "turnaround")
            steps.push_back([ms = in.duration(key, v)](SimDetector& d) { d.turnaround(ms); });
        else if (key == "exception-reg")
            steps.push_back([p = in.pair(key, v, 65535)](
                                SimDetector& d) { d.exceptionOn(static_cast<uint16_t>(p.first), p.second); });
        else if (key == "exception-fn")
            steps.push_back([p = in.pair(key, v, 255)](
                                SimDetector& d) { d.exceptionOnFunction(static_cast<uint8_t>(p.first), p.second); });
        else
            in.fail("unknown key \"" + std::string(key) + "\"");
    }
    if (!address)
        in.fail("address=N missing");
    if (bus.find(*address))
        in.fail("address " + std::to_string(*address) + " is taken");
    if (!testGas.value && (testGas.at || testGas.hold || testGas.every))
        in.fail("testgas-at, testgas-for and testgas-every need testgas=N");

    SimDetector& d = bus.add(*model, *address);
    d.line(baud, parity, stop);
    if (gas)
        d.gas(*gas);
    for (const auto& step : steps)
        step(d);
    if (testGas.value)
        d.testGasCycle(*testGas.value, testGas.at, testGas.hold, testGas.every);
}

void loadBusText(SimBus& bus, std::string_view text, const std::string& name)
{
    size_t lineNo = 0;
    while (!text.empty()) {
        const size_t nl = text.find('\n');
        const std::string_view line = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
        ++lineNo;
        if (!words(line.substr(0, line.find('#'))).empty())
            addDetectorLine(bus, line, name + ":" + std::to_string(lineNo));
    }
}

void loadBusFile(SimBus& bus, const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw SimBusFileError(path + ": cannot be read");
    std::ostringstream text;
    text << file.rdbuf();
    loadBusText(bus, text.str(), path);
}

std::string_view demoBusText()
{
    return kDemoBus;
}

} // namespace zor
