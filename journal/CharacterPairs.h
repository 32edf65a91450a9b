#pragma once

#include "journal/Sqlite.h"

#include <string>
#include <string_view>
#include <vector>

namespace tonvik {

// A character of a callsign against what was typed at its position, both
// UTF-8; Typed is empty where the answer is shorter than the callsign.
struct CharacterPair {
    std::string Sent;
    std::string Typed;
};

// The pairs of an answer position by position, as the scoring compares them.
// Spaces in the callsign are not keyed characters and give no pair.
std::vector<CharacterPair> CharacterPairsOf(std::string_view sentUtf8, std::string_view typedUtf8);

// Where a counted character was heard: in a callsign, in a lesson's groups,
// or alone in a recognition run. The journal stores the names.
enum class CountSource { Callsign, Lesson, Recognition };
std::string_view CountSourceName(CountSource source);

// Adds pairs to the counts per day (character_counts) and in all
// (character_totals), each under its source and whether the band was clean,
// in whatever transaction is open.
class CharacterCountWriter {
public:
    int Prepare(const sql::Connection& db);
    // answered is the stored time of the answer; its first ten characters are the day.
    int AddUtf8(std::string_view answered, std::string_view sentUtf8, std::string_view typedUtf8,
                CountSource source = CountSource::Callsign, bool clean = true);
    int AddPairs(std::string_view answered, const std::vector<CharacterPair>& pairs,
                 CountSource source, bool clean);

private:
    sql::Statement DayUpsert;
    sql::Statement TotalUpsert;
};

} // namespace tonvik
