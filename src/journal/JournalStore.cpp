#include "journal/JournalStore.h"

#include "journal/Statement.h"

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace zor::journal {

namespace {

// The details and readings of a record are kept in one column each, fields
// apart by the unit separator and rows by the record separator; texts the
// tool writes never hold either.
constexpr char kField = '\x1F';
constexpr char kRow = '\x1E';

std::string Clean(const std::string& s)
{
    std::string out;
    out.reserve(s.size());
    for (char c : s)
        if (c != kField && c != kRow)
            out += c;
    return out;
}

std::string EncodeRows(const std::vector<std::vector<const std::string*>>& rows)
{
    std::string out;
    for (const auto& row : rows) {
        for (size_t i = 0; i < row.size(); ++i) {
            if (i)
                out += kField;
            out += Clean(*row[i]);
        }
        out += kRow;
    }
    return out;
}

std::vector<std::vector<std::string>> DecodeRows(const std::string& text)
{
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row(1);
    for (char c : text) {
        if (c == kField) {
            row.emplace_back();
        } else if (c == kRow) {
            rows.push_back(std::move(row));
            row.assign(1, std::string());
        } else {
            row.back() += c;
        }
    }
    return rows;
}

std::string SearchText(const JournalRecord& r)
{
    std::string s = r.when + ' ' + r.technician + ' ' + r.site + ' ' + r.model + ' ' + std::to_string(r.serial) + ' '
        + r.gas + ' ' + r.operation + ' ' + r.result + ' ' + r.stoppedAt;
    for (const Detail& d : r.details)
        s += ' ' + d.text;
    return FoldCase(s);
}

constexpr const char* kSchema = R"(
CREATE TABLE IF NOT EXISTS records (
  id INTEGER PRIMARY KEY,
  unix_time INTEGER NOT NULL,
  local_text TEXT NOT NULL,
  technician TEXT, site TEXT, model TEXT,
  serial INTEGER NOT NULL,
  firmware TEXT, address INTEGER, gas TEXT, unit TEXT, range_text TEXT,
  operation TEXT NOT NULL, kind INTEGER NOT NULL,
  success INTEGER NOT NULL, result TEXT, stopped_at TEXT,
  details TEXT, readings TEXT, search TEXT);
CREATE INDEX IF NOT EXISTS records_serial ON records(serial, kind, success);
CREATE TABLE IF NOT EXISTS sites (serial INTEGER PRIMARY KEY, site TEXT NOT NULL);
)";

std::string AsideName(const std::string& path, const WallClock& clock)
{
    const WallTime t = clock.now();
    const Date d = LocalDate(t);
    const int64_t secs = ((t.unixTime + int64_t { t.offsetMinutes } * 60) % 86400 + 86400) % 86400;
    char buf[40];
    std::snprintf(buf, sizeof buf, ".damaged-%04d%02d%02d-%02d%02d%02d", d.year, d.month, d.day,
        static_cast<int>(secs / 3600), static_cast<int>(secs / 60 % 60), static_cast<int>(secs % 60));
    return path + buf;
}

// Opens path as a journal: WAL, full sync at each commit, the schema, and a
// quick check of what is there. Null when any of it fails.
sqlite3* OpenChecked(const std::string& path)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, 2000);
    bool good
        = sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;", nullptr, nullptr, nullptr) == SQLITE_OK
        && sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr) == SQLITE_OK;
    if (good) {
        Statement check(db, "PRAGMA quick_check");
        good = check.step() == SQLITE_ROW && check.text(0) == "ok";
    }
    if (!good) {
        sqlite3_close(db);
        return nullptr;
    }
    return db;
}

} // namespace

std::string FoldCase(const std::string& text)
{
    std::string out = text;
    for (size_t i = 0; i < out.size(); ++i) {
        auto c = static_cast<unsigned char>(out[i]);
        if (c >= 'A' && c <= 'Z') {
            out[i] = static_cast<char>(c + 32);
        } else if (c == 0xD0 && i + 1 < out.size()) {
            auto n = static_cast<unsigned char>(out[i + 1]);
            if (n >= 0x90 && n <= 0x9F) { // А..П
                out[i + 1] = static_cast<char>(n + 0x20);
            } else if (n >= 0xA0 && n <= 0xAF) { // Р..Я
                out[i] = static_cast<char>(0xD1);
                out[i + 1] = static_cast<char>(n - 0x20);
            } else if (n == 0x81) { // Ё
                out[i] = static_cast<char>(0xD1);
                out[i + 1] = static_cast<char>(0x91);
            }
            ++i;
        } else if (c >= 0xC0) {
            ++i; // another two-byte letter, kept
        }
    }
    return out;
}

JournalStore::Opened JournalStore::Open(const std::string& path, const WallClock& clock)
{
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    if (sqlite3* db = OpenChecked(path))
        return { std::unique_ptr<JournalStore>(new JournalStore(db, path)), {} };
    // Damaged or no journal at all: moved aside whole (with its write-ahead
    // log), never deleted, and a new one started.
    const std::string aside = AsideName(path, clock);
    std::filesystem::rename(path, aside, ec);
    const bool moved = !ec;
    for (const char* part : { "-wal", "-shm" })
        std::filesystem::rename(path + part, aside + part, ec);
    if (sqlite3* db = OpenChecked(path)) {
        return { std::unique_ptr<JournalStore>(new JournalStore(db, path)),
            moved ? "Файл журнала повреждён и перенесён в " + aside + ". Начат новый журнал." : std::string() };
    }
    return { nullptr, "Журнал недоступен: не удалось открыть файл " + path + "." };
}

JournalStore::JournalStore(sqlite3* db, std::string path)
    : db_(db)
    , path_(std::move(path))
{
}

JournalStore::~JournalStore()
{
    sqlite3_close(db_);
}

bool JournalStore::Exec(const char* sql)
{
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    error_ = sqlite3_errmsg(db_);
    return false;
}

int64_t JournalStore::Append(const JournalRecord& r)
{
    std::vector<std::vector<const std::string*>> details;
    for (const Detail& d : r.details)
        details.push_back({ &d.label, &d.text });
    std::vector<std::vector<const std::string*>> readings;
    for (const Reading& x : r.readings)
        readings.push_back({ &x.name, &x.found, &x.left });

    if (!Exec("BEGIN IMMEDIATE"))
        return 0;
    Statement ins(db_,
        "INSERT INTO records (unix_time, local_text, technician, site, model, serial, firmware, address, gas, unit, "
        "range_text, operation, kind, success, result, stopped_at, details, readings, search) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, ?19)");
    ins.bind(1, r.unixTime)
        .bind(2, r.when)
        .bind(3, r.technician)
        .bind(4, r.site)
        .bind(5, r.model)
        .bind(6, int64_t { r.serial })
        .bind(7, r.firmware)
        .bind(8, int64_t { r.address })
        .bind(9, r.gas)
        .bind(10, r.unit)
        .bind(11, r.range)
        .bind(12, r.operation)
        .bind(13, int64_t { r.kind })
        .bind(14, int64_t { r.success })
        .bind(15, r.result)
        .bind(16, r.stoppedAt)
        .bind(17, EncodeRows(details))
        .bind(18, EncodeRows(readings))
        .bind(19, SearchText(r));
    if (ins.step() != SQLITE_DONE) {
        error_ = sqlite3_errmsg(db_);
        Exec("ROLLBACK");
        return 0;
    }
    const int64_t id = sqlite3_last_insert_rowid(db_);
    return Exec("COMMIT") ? id : (Exec("ROLLBACK"), 0);
}

std::optional<JournalRecord> JournalStore::Get(int64_t id) const
{
    Statement q(db_,
        "SELECT unix_time, local_text, technician, site, model, serial, firmware, address, gas, unit, range_text, "
        "operation, kind, success, result, stopped_at, details, readings FROM records WHERE id = ?1");
    q.bind(1, id);
    if (q.step() != SQLITE_ROW)
        return std::nullopt;
    JournalRecord r;
    r.id = id;
    r.unixTime = q.integer(0);
    r.when = q.text(1);
    r.technician = q.text(2);
    r.site = q.text(3);
    r.model = q.text(4);
    r.serial = static_cast<int32_t>(q.integer(5));
    r.firmware = q.text(6);
    r.address = static_cast<int>(q.integer(7));
    r.gas = q.text(8);
    r.unit = q.text(9);
    r.range = q.text(10);
    r.operation = q.text(11);
    r.kind = static_cast<int>(q.integer(12));
    r.success = q.integer(13) != 0;
    r.result = q.text(14);
    r.stoppedAt = q.text(15);
    for (auto& row : DecodeRows(q.text(16)))
        if (row.size() == 2)
            r.details.push_back({ row[0], row[1] });
    for (auto& row : DecodeRows(q.text(17)))
        if (row.size() == 3)
            r.readings.push_back({ row[0], row[1], row[2] });
    return r;
}

std::vector<int64_t> JournalStore::Find(const Filter& filter) const
{
    std::vector<int64_t> ids;
    const std::string like = "%" + FoldCase(filter.text) + "%";
    // Without a word the records need not be read at all: the ids come from
    // the serial index, a small fraction of the file.
    const char* sql = filter.serial
        ? (filter.text.empty() ? "SELECT id FROM records WHERE serial = ?1 ORDER BY id DESC"
                               : "SELECT id FROM records WHERE serial = ?1 AND search LIKE ?2 ORDER BY id DESC")
        : (filter.text.empty() ? "SELECT id FROM records INDEXED BY records_serial ORDER BY id DESC"
                               : "SELECT id FROM records WHERE search LIKE ?2 ORDER BY id DESC");
    Statement q(db_, sql);
    if (filter.serial)
        q.bind(1, int64_t { *filter.serial });
    q.bind(2, like);
    while (q.step() == SQLITE_ROW)
        ids.push_back(q.integer(0));
    return ids;
}

int64_t JournalStore::Count() const
{
    Statement q(db_, "SELECT COUNT(*) FROM records");
    return q.step() == SQLITE_ROW ? q.integer(0) : 0;
}

std::string JournalStore::Site(int32_t serial) const
{
    Statement q(db_, "SELECT site FROM sites WHERE serial = ?1");
    q.bind(1, int64_t { serial });
    return q.step() == SQLITE_ROW ? q.text(0) : std::string();
}

void JournalStore::SetSite(int32_t serial, const std::string& site)
{
    Statement q(db_,
        site.empty() ? "DELETE FROM sites WHERE serial = ?1"
                     : "INSERT INTO sites (serial, site) VALUES (?1, ?2) ON CONFLICT(serial) DO UPDATE SET site = ?2");
    q.bind(1, int64_t { serial });
    if (!site.empty())
        q.bind(2, site);
    if (q.step() != SQLITE_DONE)
        error_ = sqlite3_errmsg(db_);
}

std::optional<int64_t> JournalStore::LastSuccess(int32_t serial, int kind) const
{
    Statement q(
        db_, "SELECT unix_time FROM records WHERE serial = ?1 AND kind = ?2 AND success = 1 ORDER BY id DESC LIMIT 1");
    q.bind(1, int64_t { serial }).bind(2, int64_t { kind });
    if (q.step() == SQLITE_ROW)
        return q.integer(0);
    return std::nullopt;
}

std::vector<LastSpan> JournalStore::LastOfKind(int kind) const
{
    // The newest record of each serial names its model; the newest
    // successful one of the kind gives the time.
    Statement q(db_,
        "SELECT s.serial, (SELECT model FROM records WHERE serial = s.serial ORDER BY id DESC LIMIT 1), "
        "(SELECT unix_time FROM records WHERE serial = s.serial AND kind = ?1 AND success = 1 ORDER BY id DESC LIMIT "
        "1) FROM (SELECT DISTINCT serial FROM records) s ORDER BY s.serial");
    q.bind(1, int64_t { kind });
    std::vector<LastSpan> out;
    while (q.step() == SQLITE_ROW) {
        LastSpan s;
        s.serial = static_cast<int32_t>(q.integer(0));
        s.model = q.text(1);
        if (!q.null(2))
            s.unixTime = q.integer(2);
        out.push_back(std::move(s));
    }
    return out;
}

} // namespace zor::journal
