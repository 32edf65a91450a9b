#pragma once

// A long training history for the measuring programs and the screenshots:
// callsign exercises of 30 answers from a callsign list (about a quarter of
// the answers wrong in one or two characters, as ears confuse them, the speed
// moving as the scoring moves it), one in ten a drill, and a text exercise or
// a test after every tenth. On request, a share of the callsign exercises is
// heard through band presets (a little lower), and the Latin course is
// practised beside them: a lesson and a recognition run after every few.
#include "callsign/CallsignList.h"
#include "journal/JournalTypes.h"

#include <chrono>
#include <cstdint>
#include <filesystem>

namespace tonvik {

struct HistoryShape {
    int Exercises = 10000;
    int AnswersEach = 30;
    std::chrono::hours Span = std::chrono::hours(24 * 365); // the first to the last exercise
    JournalTime End = JournalClock::now();                  // when the last one starts
    uint64_t Seed = 20240309;
    int UnderConditionsPercent = 0; // callsign exercises under a band preset
    int CourseEvery = 0;            // a lesson and a recognition run after every N-th; 0 none
};

// Makes a new journal at path (it must not exist) and fills it; false when a
// write failed.
bool FillJournalHistory(const std::filesystem::path& path, const CallsignList& list,
                        const HistoryShape& shape = {});

} // namespace tonvik
