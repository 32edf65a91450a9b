#pragma once

// Spectral measurements of rendered samples, by FFTW: what the band tests
// check the band's physics with.
#include <cstdint>
#include <vector>

namespace tonvik {

// The mean power of samples[first, first + count) that lies between lowHz and
// highHz, by one FFT over the whole span (Parseval: the band's share of the
// mean square).
double BandPower(const std::vector<double>& samples, std::size_t first, std::size_t count,
                 double lowHz, double highHz);
double BandPower(const std::vector<int16_t>& samples, std::size_t first, std::size_t count,
                 double lowHz, double highHz);

// The averaged power spectrum (Welch, Hann windows of size samples, half
// overlapping) of samples[first, first + count); bin k is k * 8000 / size Hz.
std::vector<double> AveragedSpectrum(const std::vector<int16_t>& samples, std::size_t first,
                                     std::size_t count, int size);

// The frequency of a spectrum's bin.
inline double BinHz(std::size_t bin, int size) {
    return static_cast<double>(bin) * 8000.0 / size;
}

} // namespace tonvik
