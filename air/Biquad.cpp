#include "air/Biquad.h"

#include <cmath>
#include <complex>
#include <numbers>

namespace tonvik {

Biquad Biquad::BandPass(double centreHz, double q, double sampleRate) {
    const double w0 = 2 * std::numbers::pi * centreHz / sampleRate;
    const double alpha = std::sin(w0) / (2 * q);
    const double a0 = 1 + alpha;
    Biquad f;
    f.B0 = alpha / a0;
    f.B1 = 0;
    f.B2 = -alpha / a0;
    f.A1 = -2 * std::cos(w0) / a0;
    f.A2 = (1 - alpha) / a0;
    return f;
}

Biquad Biquad::LowPass(double cutoffHz, double q, double sampleRate) {
    const double w0 = 2 * std::numbers::pi * cutoffHz / sampleRate;
    const double alpha = std::sin(w0) / (2 * q);
    const double cosw = std::cos(w0);
    const double a0 = 1 + alpha;
    Biquad f;
    f.B0 = (1 - cosw) / 2 / a0;
    f.B1 = (1 - cosw) / a0;
    f.B2 = f.B0;
    f.A1 = -2 * cosw / a0;
    f.A2 = (1 - alpha) / a0;
    return f;
}

double Biquad::PowerGain(double frequencyHz, double sampleRate) const {
    const std::complex<double> z1 =
        std::polar(1.0, -2 * std::numbers::pi * frequencyHz / sampleRate);
    const std::complex<double> z2 = z1 * z1;
    return std::norm((B0 + B1 * z1 + B2 * z2) / (1.0 + A1 * z1 + A2 * z2));
}

double Biquad::NoiseGain() const {
    Biquad f = *this;
    f.Reset();
    double sum = 0;
    double y = f.Step(1.0);
    // A pole near the unit circle rings for long: run until the tail is spent.
    for (int n = 0; n < 50'000'000; ++n) {
        sum += y * y;
        if (n > 16 && std::abs(f.Y1) + std::abs(f.Y2) < 1e-12 * (1 + sum))
            break;
        y = f.Step(0.0);
    }
    return sum;
}

} // namespace tonvik
