#include "air/Fading.h"

#include "keying/Keyer.h"

#include <cmath>

namespace tonvik {
namespace {

constexpr double ControlRate = static_cast<double>(SampleRate) / Fading::ControlStep;
constexpr double ButterworthQ = 0.7071067811865476;

} // namespace

Fading::Fading(double rateHz, uint64_t seed)
    : Random(seed), InPhase(Biquad::LowPass(rateHz, ButterworthQ, ControlRate)),
      Quadrature(InPhase) {
    // Each of the two parts carries half of the mean square.
    Scale = 1.0 / std::sqrt(2 * InPhase.NoiseGain());
    // Start in the steady state, not from a filter at rest (a silent start):
    // run the filters for several of their time constants.
    const int warmUp = static_cast<int>(8 * ControlRate / rateHz) + 64;
    for (int n = 0; n < warmUp; ++n)
        Draw();
    Previous = Draw();
    Following = Draw();
}

double Fading::Draw() {
    const double i = InPhase.Step(Random.Gauss());
    const double q = Quadrature.Step(Random.Gauss());
    return Scale * std::sqrt(i * i + q * q);
}

void Fading::Advance() {
    Previous = Following;
    Following = Draw();
    Position = 0;
}

} // namespace tonvik
