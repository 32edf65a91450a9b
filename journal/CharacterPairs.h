#pragma once

#include "journal/Sqlite.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
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

// The same counts made in memory and written at once, for a rebuild over
// every answer kept: a year of answers holds millions of pairs but only some
// tens of thousands of distinct rows, so one insert per row instead of an
// upsert per pair. The tables must be empty.
class CharacterTally {
public:
    void Add(std::string_view answered, const std::vector<CharacterPair>& pairs, CountSource source,
             bool clean);
    int Write(const sql::Connection& db) const;

private:
    // day, source, clean, sent, typed
    using Key = std::tuple<std::string, CountSource, bool, std::string, std::string>;
    std::map<Key, int64_t> Days;
};

} // namespace tonvik
