#pragma once

#include "air/AirRandom.h"
#include "air/Biquad.h"

#include <cstdint>

namespace tonvik {

// Rayleigh fading: the magnitude of complex Gaussian noise low-passed to the
// fading rate, with a mean square of 1. The process runs at a control rate of
// one value per ControlStep samples and is interpolated linearly in between,
// so the gain has no step at any sample.
class Fading {
public:
    static constexpr int ControlStep = 32;

    Fading(double rateHz, uint64_t seed);

    // The gain for the next sample.
    double Next() {
        if (Position == ControlStep)
            Advance();
        const double t = static_cast<double>(Position++) / ControlStep;
        return Previous + (Following - Previous) * t;
    }

private:
    void Advance();
    double Draw();

    AirRandom Random;
    Biquad InPhase;
    Biquad Quadrature;
    double Scale = 1; // makes the mean square 1
    double Previous = 1;
    double Following = 1;
    int Position = 0;
};

} // namespace tonvik
