#pragma once

#include "keying/Keyer.h"

#include <cstdint>
#include <string>

namespace tonvik {

// Farnsworth spacing: characters keyed at the character speed, the time that
// makes the word "PARIS " last 60/s seconds at the effective speed s spread
// over the gaps, 3/19 of it to each letter gap and 7/19 to each word gap. The
// gaps are measured from the end of one character's last element to the next
// character's first; the fractions of a sample are carried on, so that a long
// text keeps the effective speed to the sample.
class FarnsworthSpacing {
public:
    // effectiveWpm is clamped to 1..the character speed of dotSamples.
    FarnsworthSpacing(int32_t dotSamples, int effectiveWpm);

    // The extra time of one word in samples times 19*s: 480000 - 31 dots (times s).
    int64_t NextLetterGap() { return Take(3); }
    int64_t NextWordGap() { return Take(7); }

    int32_t DotSamples() const { return Dot; }

private:
    int64_t Take(int64_t parts);

    int32_t Dot;
    int64_t Effective;
    int64_t Owed = 0; // gap time owed, in 1/(19*s) of a sample
};

// Plans one character as the text mode keys it, with Farnsworth gaps: the
// elements from the keyer (exactly as it keys them), the gaps from spacing.
// Keeps the keyer's WordStart as the keyer would.
CharRendering PlanFarnsworthChar(Keyer& keyer, FarnsworthSpacing& spacing, unsigned char ch,
                                 const KeyerSettings& settings);

// The samples a whole text takes with Farnsworth gaps, without rendering it.
int64_t FarnsworthTotalSamples(const std::string& text, const KeyerSettings& settings,
                               int effectiveWpm);

} // namespace tonvik
