#pragma once

namespace tonvik {

// A second-order IIR section (direct form I) with the coefficient formulas of
// R. Bristow-Johnson's audio EQ cookbook.
class Biquad {
public:
    // Band-pass with 0 dB gain at centreHz and the given Q.
    static Biquad BandPass(double centreHz, double q, double sampleRate);
    // Low-pass at cutoffHz with the given Q.
    static Biquad LowPass(double cutoffHz, double q, double sampleRate);

    double Step(double x) {
        const double y = B0 * x + B1 * X1 + B2 * X2 - A1 * Y1 - A2 * Y2;
        X2 = X1;
        X1 = x;
        Y2 = Y1;
        Y1 = y;
        return y;
    }
    // |H| squared at frequencyHz.
    double PowerGain(double frequencyHz, double sampleRate) const;
    // The sum of the squared impulse response: output variance over input
    // variance for white noise.
    double NoiseGain() const;
    void Reset() { X1 = X2 = Y1 = Y2 = 0; }
    // Takes other's coefficients and keeps this section's state.
    void Retune(const Biquad& other) {
        B0 = other.B0;
        B1 = other.B1;
        B2 = other.B2;
        A1 = other.A1;
        A2 = other.A2;
    }

private:
    double B0 = 1, B1 = 0, B2 = 0, A1 = 0, A2 = 0;
    double X1 = 0, X2 = 0, Y1 = 0, Y2 = 0;
};

} // namespace tonvik
