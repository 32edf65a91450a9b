#include "air/StaticCrashes.h"

#include "keying/Keyer.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tonvik {
namespace {

struct CrashLevel {
    double PerSecond;
    double LoudestDb;
};
// Level 1: an occasional distant crash; 3: a thunderstorm nearby.
constexpr std::array<CrashLevel, 3> Levels{{{0.5, 6}, {1.5, 12}, {4.0, 20}}};

// A crash this far below our level is inaudible: stop drawing its noise.
constexpr double SilentEnvelope = 1e-4;

} // namespace

StaticCrashes::StaticCrashes(int level, uint64_t seed) : Random(seed) {
    const CrashLevel& l = Levels[std::clamp(level, 1, 3) - 1];
    MeanGap = SampleRate / l.PerSecond;
    LoudestDb = l.LoudestDb;
    UntilNext = static_cast<int64_t>(-std::log(1 - Random.Uniform(0, 1)) * MeanGap);
}

void StaticCrashes::StartCrash() {
    const double peak = std::pow(10.0, Random.Uniform(LoudestDb - 20, LoudestDb) / 20);
    const double seconds = Random.Uniform(0.005, 0.040);
    Envelope = std::max(Envelope, peak);
    Decay = std::exp(-1.0 / (seconds * SampleRate));
    // Crashes come as a Poisson process: exponential gaps.
    UntilNext = 1 + static_cast<int64_t>(-std::log(1 - Random.Uniform(0, 1)) * MeanGap);
}

void StaticCrashes::AddInto(float* mix, int count) {
    for (int i = 0; i < count; ++i) {
        if (--UntilNext <= 0)
            StartCrash();
        if (Envelope < SilentEnvelope)
            continue;
        mix[i] += static_cast<float>(Envelope * Random.Gauss());
        Envelope *= Decay;
    }
}

} // namespace tonvik
