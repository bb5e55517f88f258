#pragma once
// A prepared SQLite statement that finalizes itself, with the few binds and
// column reads the journal uses.

#include <sqlite3.h>

#include <cstdint>
#include <string>

namespace zor::journal {

class Statement {
public:
    Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return stmt_ != nullptr; }
    Statement& bind(int i, int64_t v)
    {
        sqlite3_bind_int64(stmt_, i, v);
        return *this;
    }
    Statement& bind(int i, const std::string& v)
    {
        sqlite3_bind_text(stmt_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    // SQLITE_ROW while rows come, SQLITE_DONE at the end, an error code else.
    int step() { return stmt_ ? sqlite3_step(stmt_) : SQLITE_MISUSE; }
    int64_t integer(int col) const { return sqlite3_column_int64(stmt_, col); }
    bool null(int col) const { return sqlite3_column_type(stmt_, col) == SQLITE_NULL; }
    std::string text(int col) const
    {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
        return p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(stmt_, col))) : std::string();
    }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

} // namespace zor::journal
