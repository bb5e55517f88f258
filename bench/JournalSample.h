#pragma once
// A journal file holding n records, made quickly: one record through the
// journal, then copied in bulk by SQL inside one transaction (the journal
// itself writes one record per transaction, synchronously, which would take
// minutes for 100,000). The records name 1,000 detectors.

#include "journal/JournalStore.h"

#include <sqlite3.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace zor::bench {

inline journal::JournalRecord SampleRecord(int n)
{
    journal::JournalRecord r;
    r.unixTime = 1'765'450'000 + n * 60;
    r.when = "2026-12-11 12:00:00 +01:00";
    r.technician = "Иванов И.И.";
    r.site = "Котельная, поз. 3";
    r.model = "ZOR-10";
    r.serial = 7000000 + n % 1000;
    r.firmware = "2.04";
    r.address = 1 + n % 247;
    r.gas = "CH4";
    r.unit = "%НКПР";
    r.range = "100,0";
    r.operation = "Градуировка по ПГС (Град.)";
    r.kind = 4;
    r.success = true;
    r.result = "Градуировка произведена";
    r.details = { { "Концентрация ПГС, %НКПР", "50,0" } };
    const char* names[] { "Адрес и настройки линии", "Состояние", "Параметры", "Концентрация", "Температура, °C",
        "Диапазон", "Концентрация магнитной калибровки", "Порог 1", "Порог 2", "Ток, мА", "Версия", "Реле",
        "Гистерезис", "Нулевая зона" };
    for (const char* name : names)
        r.readings.push_back({ name, "12,3", n % 2 ? "12,3" : "45,6" });
    return r;
}

// A fresh folder with journal.sqlite of n records; its path.
inline std::string MakeJournal(int64_t n)
{
    char tmpl[] = "/tmp/zor-bench-journal-XXXXXX";
    const std::string path = std::string(mkdtemp(tmpl)) + "/journal.sqlite";
    journal::FixedClock clock({ 1'765'450'000, 60 });
    {
        auto opened = journal::JournalStore::Open(path, clock);
        if (n > 0)
            opened.store->Append(SampleRecord(0));
    }
    if (n <= 1)
        return path;
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    const std::string copy = "INSERT INTO records (unix_time, local_text, technician, site, model, serial, firmware, "
                             "address, gas, unit, range_text, operation, kind, success, result, stopped_at, details, "
                             "readings, search) SELECT unix_time + 60 * id, local_text, technician, site, model, "
                             "7000000 + (id + (SELECT MAX(id) FROM records)) % 1000, firmware, address, gas, unit, "
                             "range_text, operation, kind, success, result, stopped_at, details, readings, search "
                             "FROM records LIMIT ";
    for (int64_t have = 1; have < n; have *= 2)
        sqlite3_exec(db, (copy + std::to_string(std::min(have, n - have))).c_str(), nullptr, nullptr, nullptr);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return path;
}

} // namespace zor::bench
