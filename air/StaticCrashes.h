#pragma once

#include "air/AirRandom.h"

#include <cstdint>

namespace tonvik {

// Static crashes (QRN): bursts of noise at random times, each rising at once
// and dying away within tens of milliseconds; level 1..3 makes them more
// frequent and louder.
class StaticCrashes {
public:
    StaticCrashes(int level, uint64_t seed);

    void AddInto(float* mix, int count);

private:
    void StartCrash();

    AirRandom Random;
    double MeanGap = 0;    // samples between crashes, on average
    double LoudestDb = 0;  // of a crash's peak, against our key-down level
    int64_t UntilNext = 0; // samples
    double Envelope = 0;
    double Decay = 0; // per sample
};

} // namespace tonvik
