#include "journal/JournalCsv.h"

namespace zor::journal {

namespace {

std::string Field(const std::string& s)
{
    if (s.find_first_of(";\"\r\n") == std::string::npos)
        return s;
    std::string out = "\"";
    for (char c : s) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + '"';
}

std::string Line(const std::vector<std::string>& fields)
{
    std::string out;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i)
            out += ';';
        out += Field(fields[i]);
    }
    return out + "\r\n";
}

// "Порог 1: 1,00 → 1,50", one value a line.
std::string Values(const JournalRecord& r)
{
    std::string out;
    for (const Reading& x : r.readings) {
        if (!out.empty())
            out += '\n';
        out += x.name + ": " + (x.found.empty() ? "—" : x.found) + " → " + (x.left.empty() ? "—" : x.left)
            + (x.changed() ? " *" : "");
    }
    return out;
}

std::string Details(const JournalRecord& r)
{
    std::string out;
    for (const Detail& d : r.details) {
        if (!out.empty())
            out += '\n';
        out += d.label + ": " + d.text;
    }
    return out;
}

} // namespace

std::string JournalCsv(const std::vector<JournalRecord>& records)
{
    std::string out = "\xEF\xBB\xBF";
    out += Line({ "Дата и время", "Техник", "Объект", "Модель", "Заводской номер", "Версия ПО", "Адрес", "Газ",
        "Единица", "Диапазон", "Операция", "Итог", "Результат", "Остановлено на шаге", "Сведения",
        "Значения (до → после, * изменено)" });
    for (const JournalRecord& r : records)
        out += Line({ r.when, r.technician, r.site, r.model, std::to_string(r.serial), r.firmware,
            std::to_string(r.address), r.gas, r.unit, r.range, r.operation, r.success ? "успешно" : "ошибка", r.result,
            r.stoppedAt, Details(r), Values(r) });
    return out;
}

} // namespace zor::journal
