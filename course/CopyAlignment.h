#pragma once

#include <string>
#include <vector>

namespace tonvik {

// One step of the alignment of a copy with what was sent.
struct AlignedPair {
    enum class Kind { Right, Wrong, Missed, Extra };
    Kind What = Kind::Right;
    char Sent = 0;   // 0 for an extra character of the copy
    char Copied = 0; // 0 for a character the copy missed
};

struct CopyScore {
    std::vector<AlignedPair> Pairs;
    int Sent = 0;   // characters sent, spaces left out
    int Right = 0;  // of them, copied right
    int Errors = 0; // edits: wrong, missed and extra characters
    // The share of the sent characters copied right, 0..100.
    double Percent() const { return Sent == 0 ? 0.0 : 100.0 * Right / Sent; }
};

// Aligns the copy with what was sent by the least number of edits (a wrong,
// a missed or an extra character each cost one), so that one missed character
// does not shift the rest of the copy into errors. Spaces are left out of both
// and letters compared as capitals (CP1251, Latin and Russian). A swapped pair
// costs two: each of the two characters stands in the wrong place.
CopyScore AlignCopy(const std::string& sent, const std::string& copied);

// The lesson is passed at 90 % of the characters copied right.
inline constexpr int PassPercent = 90;
bool PassesLesson(const CopyScore& score);

// A CP1251 letter as a capital; other characters as they are.
char Cp1251Upper(char c);

} // namespace tonvik
