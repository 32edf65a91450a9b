#include "tests/support/Spectrum.h"

#include <fftw3.h>

#include <cmath>
#include <complex>
#include <numbers>

namespace tonvik {
namespace {

constexpr double Rate = 8000.0;

// |X_k|^2 of a real signal, k = 0..n/2.
std::vector<double> PowerBins(std::vector<double> input) {
    const int n = static_cast<int>(input.size());
    std::vector<std::complex<double>> output(n / 2 + 1);
    fftw_plan plan = fftw_plan_dft_r2c_1d(
        n, input.data(), reinterpret_cast<fftw_complex*>(output.data()), FFTW_ESTIMATE);
    fftw_execute(plan);
    fftw_destroy_plan(plan);
    std::vector<double> power(output.size());
    for (std::size_t k = 0; k < output.size(); ++k)
        power[k] = std::norm(output[k]);
    return power;
}

} // namespace

double BandPower(const std::vector<int16_t>& samples, std::size_t first, std::size_t count,
                 double lowHz, double highHz) {
    return BandPower(std::vector<double>(samples.begin(), samples.end()), first, count, lowHz,
                     highHz);
}

double BandPower(const std::vector<double>& samples, std::size_t first, std::size_t count,
                 double lowHz, double highHz) {
    std::vector<double> input(samples.begin() + first, samples.begin() + first + count);
    const std::vector<double> power = PowerBins(std::move(input));
    const double n = static_cast<double>(count);
    double sum = 0;
    for (std::size_t k = 1; k + 1 < power.size(); ++k) {
        const double f = k * Rate / n;
        if (f >= lowHz && f <= highHz)
            sum += power[k];
    }
    // Each bin strictly between 0 and Nyquist stands for itself and its mirror.
    return 2 * sum / (n * n);
}

std::vector<double> AveragedSpectrum(const std::vector<int16_t>& samples, std::size_t first,
                                     std::size_t count, int size) {
    std::vector<double> sum(size / 2 + 1, 0.0);
    int frames = 0;
    for (std::size_t start = first; start + size <= first + count; start += size / 2) {
        std::vector<double> frame(size);
        for (int i = 0; i < size; ++i) {
            const double hann = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / size);
            frame[i] = samples[start + i] * hann;
        }
        const std::vector<double> power = PowerBins(std::move(frame));
        for (std::size_t k = 0; k < power.size(); ++k)
            sum[k] += power[k];
        ++frames;
    }
    for (double& value : sum)
        value /= frames > 0 ? frames : 1;
    return sum;
}

} // namespace tonvik
