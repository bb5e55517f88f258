#pragma once
// The journal's settings kept across runs, with the line settings in Qt's
// settings file: the technician's name, the calibration interval and the
// test-gas cylinder. Not with --demo.

#include "app/ServiceJournal.h"

namespace zor::ui {

void StoreJournalSettings(const JournalSettings& settings);
JournalSettings LoadJournalSettings();

} // namespace zor::ui
