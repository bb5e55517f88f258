#pragma once
// The service journal on disk: one SQLite file in WAL mode, one transaction
// per record, so that a crash or a power cut loses at most the record being
// written. A file that cannot be read as a journal is moved aside and a new
// one started; the program goes on either way.

#include "journal/JournalRecord.h"
#include "journal/WallClock.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace zor::journal {

// Which records a list shows: those of one serial number, or those whose
// text holds a word (any case); both empty: all.
struct Filter {
    std::optional<int32_t> serial;
    std::string text;
};

// The newest successful span of a serial number, and the model it had.
struct LastSpan {
    int32_t serial = 0;
    std::string model;
    std::optional<int64_t> unixTime; // none: no successful span recorded
};

class JournalStore {
public:
    // The store, and what the technician is to be told (a damaged file moved
    // aside, or no journal at all); store null when even a new file could
    // not be made.
    struct Opened {
        std::unique_ptr<JournalStore> store;
        std::string message;
    };
    static Opened Open(const std::string& path, const WallClock& clock);
    ~JournalStore();
    JournalStore(const JournalStore&) = delete;
    JournalStore& operator=(const JournalStore&) = delete;

    // Writes one record in a transaction of its own; its id, 0 when the
    // write failed (the journal then says why in LastError).
    int64_t Append(const JournalRecord& record);
    std::optional<JournalRecord> Get(int64_t id) const;
    // Ids of the matching records, newest first.
    std::vector<int64_t> Find(const Filter& filter) const;
    int64_t Count() const;

    // The site or tag remembered for a serial number, empty when none.
    std::string Site(int32_t serial) const;
    void SetSite(int32_t serial, const std::string& site);

    // The time of the newest successful record of a kind for a serial
    // number; none when there is none.
    std::optional<int64_t> LastSuccess(int32_t serial, int kind) const;
    // Every serial number the journal holds, with its newest successful
    // record of the given kind.
    std::vector<LastSpan> LastOfKind(int kind) const;

    const std::string& LastError() const { return error_; }
    const std::string& Path() const { return path_; }

private:
    JournalStore(sqlite3* db, std::string path);
    bool Exec(const char* sql);

    sqlite3* db_;
    std::string path_;
    std::string error_;
};

// Lower case of the Latin and Cyrillic letters of a UTF-8 text, the rest as
// it is: the text filter finds "ПОРОГ" in "Порог".
std::string FoldCase(const std::string& text);

} // namespace zor::journal
