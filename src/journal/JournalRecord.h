#pragma once
// One entry of the service journal: an operation that changed a detector,
// who did it and when, the detector as identified on the bus, how it ended,
// and its values before and after.

#include <cstdint>
#include <string>
#include <vector>

namespace zor::journal {

// One value of the detector, as found before the operation and as left after
// it; an empty text where it was not known.
struct Reading {
    std::string name;
    std::string found;
    std::string left;
    bool changed() const { return !found.empty() && !left.empty() && found != left; }
};

// What the operation took besides the registers (the test gas, the measured
// current), as label and text.
struct Detail {
    std::string label;
    std::string text;
};

struct JournalRecord {
    int64_t id = 0;
    int64_t unixTime = 0; // seconds since 1970, UTC
    std::string when; // local time with its UTC offset, "2026-12-11 13:05:00 +01:00"
    std::string technician;
    std::string site;
    std::string model;
    int32_t serial = 0;
    std::string firmware;
    int address = 0;
    std::string gas;
    std::string unit;
    std::string range;
    std::string operation;
    // The operation's kind, kept apart from its text: calibration due is
    // counted from successful spans.
    int kind = 0;
    bool success = false;
    std::string result; // the completion text, or the error text
    std::string stoppedAt; // the step a failed chain stopped at
    std::vector<Detail> details;
    std::vector<Reading> readings;
};

} // namespace zor::journal
