#pragma once

#include "journal/JournalStats.h"

#include <vector>

class QChart;

namespace tonvik {

// The statistics charts, built in one place for the window and for
// tonvik journal --plot. Each returns a new chart that the caller owns.

// The highest speed and the total points of every finished callsign
// exercise over time: speed on the left axis, points on the right, dates
// below. Clean exercises and those under band conditions are drawn as lines
// of their own (the latter dashed, in other colours), never joined. No point
// gives empty axes over the last 30 days and a title that says there is
// nothing yet; shown is the filter the points came through, for the title.
QChart* BuildProgressChart(const std::vector<ProgressPoint>& points,
                           ConditionsFilter shown = ConditionsFilter::All);

// The accuracy of the characters in percent, in the order given (worst
// first as the journal returns them): the first 16, the title saying so
// when there are more, or that the source had none in the period.
QChart* BuildCharacterChart(const std::vector<CharacterStat>& stats,
                            CharacterSource source = CharacterSource::Callsigns);

} // namespace tonvik
