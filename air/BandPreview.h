#pragma once

#include "air/BandConditions.h"
#include "keying/Keyer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tonvik {

// Five seconds of a band: what «Прослушать» plays.
inline constexpr int PreviewSamples = 5 * SampleRate;
// After each callsign the band goes on alone for a moment, as in the pause
// for the answer.
inline constexpr int PreviewPauseSamples = SampleRate / 2;

// What the preview is keyed with besides the conditions.
struct PreviewSetup {
    KeyerSettings Keying; // speed and pitch; the callsign page's spacing is used
    int VolumeFactor = 5; // 0..8, the keyer's
    uint64_t Seed = 1;
    std::vector<std::string> Calls;        // CP1251, keyed in this order
    std::vector<std::string> StationCalls; // CP1251, for other stations and second callers
};

// Exactly PreviewSamples samples: the calls keyed one after another, each
// followed by a pause, through a band of exactly these conditions. Only whole
// characters are keyed: one that would run past the end is left out, and
// everything not filled by keying is the band with our station silent. With
// every condition off these are the keyer's own samples.
std::vector<int16_t> RenderBandPreview(const BandConditions& conditions, const PreviewSetup& setup);

} // namespace tonvik
