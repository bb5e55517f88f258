#include "app/TrendCsv.h"

#include "runtime/NumberFormat.h"

#include <ctime>

namespace zor {

std::string TimeText(int64_t timeMs, bool utc)
{
    // Whole seconds, rounded down also before 1970.
    const std::time_t seconds = static_cast<std::time_t>(timeMs >= 0 ? timeMs / 1000 : (timeMs - 999) / 1000);
    std::tm parts {};
    if (utc)
        gmtime_r(&seconds, &parts);
    else
        localtime_r(&seconds, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return text;
}

std::string TrendCsv(const TrendOf& trend, size_t first, size_t last, char separator)
{
    std::string csv = "\xEF\xBB\xBF";
    csv += "Местное время;Время UTC;Концентрация, " + trend.unit + ";Примечание\r\n";
    for (size_t i = first; i < last && i < trend.points.Size(); ++i) {
        const TrendPoint p = trend.points.At(i);
        csv += TimeText(p.timeMs, false) + ";" + TimeText(p.timeMs, true) + ";";
        csv += p.gap() ? std::string(";нет ответа") : FormatFixed(p.value, 7, trend.decimals, separator) + ";";
        csv += "\r\n";
    }
    return csv;
}

} // namespace zor
