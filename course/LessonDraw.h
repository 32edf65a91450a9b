#pragma once

#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace tonvik {

// How often the journal shows a character sent and missed.
struct CharacterRecord {
    int64_t Sent = 0;
    int64_t Missed = 0;
};

inline constexpr double BaseWeight = 1.0;
// The character a lesson adds is drawn twice as often as one already known.
inline constexpr double NewestExtraWeight = 1.0;
// A character missed every time is drawn three times as often as one never missed.
inline constexpr double MissExtraWeight = 2.0;
// Fewer answers than this say nothing yet about a character.
inline constexpr int64_t MinSentForMissRate = 5;

// The draw weight of each character of a set, in the set's order: the base,
// more for the newest (the last of the set), more in proportion to the share
// of the times the journal shows it missed.
std::vector<double> DrawWeights(const std::string& characters,
                                const std::map<unsigned char, CharacterRecord>& history);

// Draws characters of a set by weight, from one seeded generator.
class LessonDraw {
public:
    LessonDraw(std::string characters, std::vector<double> weights, uint64_t seed);

    unsigned char Next();
    // count groups of five characters, each group followed by one space.
    std::string Groups(int count);

    const std::string& Characters() const { return Set; }

private:
    std::string Set;
    std::mt19937_64 Engine;
    std::discrete_distribution<size_t> Pick;
};

// Groups that fill minutes at an effective speed of wpm: one five-character
// group per word of the speed.
int GroupsForMinutes(int minutes, int effectiveWpm);

} // namespace tonvik
