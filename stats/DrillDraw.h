#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace tonvik {

class CallsignList;
class JournalReader;
class Random;

// The callsigns of the two re-drills, 30 of them (CP1251, each without its
// trailing space), for the callsign trainer to key in place of a draw from the
// list; DrillPlayText turns them into the play text.

// Each CP1251 character's share of wrong answers at its position, 0..1, as
// CharacterMissRates reads it from the journal (0 for one never sent).
using MissRates = std::array<double, 256>;

// The missed-calls drill: the callsigns given (the most recently missed,
// newest first), repeated in turn until there are exactly 30. None gives none.
std::vector<std::string> MissedCallsDrill(const std::vector<std::string>& recentlyMissed);
// The same from the journal's most recently missed callsigns.
std::vector<std::string> MissedCallsDrill(const JournalReader& reader);

// How much more often the weak-characters drill draws a callsign than one of
// characters never missed:
//     weight = 1 + sum over its characters c of (10 * rate(c))^2
// A character missed one time in ten adds 1, one missed one time in three
// adds about 11, one missed one time in fifty adds 0.04: the square lets the
// few characters the user really misses stand out from the slips every
// character has, and the 1 keeps every callsign in the draw. A character
// that comes twice counts twice.
double CallsignWeight(std::string_view callsign, const MissRates& rates);

// The weak-characters drill: 30 independent draws from the list, each line
// with a chance in proportion to the weight of its callsign, the last line
// never drawn as for a normal exercise (with one line always line 0). A list
// without lines gives none.
std::vector<std::string> WeakCharactersDrill(const CallsignList& list, const MissRates& rates,
                                             Random& random);

// "CALL1 CALL2 ... CALL30 ": each callsign followed by one space, as a normal
// exercise's play text; none gives a single space, so the exercise ends at
// once, as with a list without lines.
std::string DrillPlayText(const std::vector<std::string>& callsigns);

} // namespace tonvik
