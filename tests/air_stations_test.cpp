// Static crashes, other stations and a second caller, measured from the
// rendered samples; and the mix at the worst setting stays within range.
#include "air/Band.h"
#include "keying/Keyer.h"
#include "tests/support/KeyedText.h"
#include "tests/support/Spectrum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace tonvik {
namespace {

constexpr double Pitch = 700;
constexpr int Size = 8192; // spectrum bins of about 1 Hz

BandSetup BandOf(uint64_t seed, int volume = 5) {
    BandSetup s;
    s.PitchHz = Pitch;
    s.DotSamples = 320;
    s.VolumeFactor = volume;
    s.Seed = seed;
    s.Callsigns = {"UA3ABC", "DL1XYZ", "OK1AB", "RV9CX", "SP7QRM", "G4FON"};
    return s;
}

std::vector<int16_t> Quiet(Band& band, int seconds) {
    std::vector<int16_t> out(static_cast<std::size_t>(seconds) * SampleRate);
    band.Silence(out.data(), static_cast<int64_t>(out.size()));
    return out;
}

// The strongest tone in a spectrum, leaving out bins within skipHz of skipAt.
double StrongestHz(const std::vector<double>& spectrum, double skipAt, double skipHz) {
    std::size_t best = 1;
    for (std::size_t k = 1; k < spectrum.size(); ++k)
        if (std::abs(BinHz(k, Size) - skipAt) > skipHz && spectrum[k] > spectrum[best])
            best = k;
    return BinHz(best, Size);
}

class AirQrm : public testing::TestWithParam<uint64_t> {};

TEST_P(AirQrm, AnotherStationKeysAtItsOwnOffsetFromThePitch) {
    BandConditions c;
    c.Qrm = 1;
    Band band(c, BandOf(GetParam()));
    const std::vector<int16_t> out = Quiet(band, 90);
    const std::vector<double> spectrum = AveragedSpectrum(out, 0, out.size(), Size);
    const double offset = std::abs(StrongestHz(spectrum, Pitch, 0) - Pitch);
    EXPECT_GE(offset, 50 - 2);
    EXPECT_LE(offset, 400 + 2);
    // It keys: silent stretches between its elements and messages.
    const auto silent = std::count_if(out.begin(), out.end(), [](int16_t s) { return s == 0; });
    EXPECT_GT(silent, static_cast<long>(out.size() / 10));
}

INSTANTIATE_TEST_SUITE_P(Seeds, AirQrm, testing::Values(1, 2, 3, 4, 5, 6, 7, 8));

TEST(AirQrm, FiveStationsKeepTheBandBusyAtFiveOffsets) {
    BandConditions c;
    c.Qrm = 5;
    Band band(c, BandOf(9));
    const std::vector<int16_t> out = Quiet(band, 120);
    const std::vector<double> spectrum = AveragedSpectrum(out, 0, out.size(), Size);
    // Count the peaks that stand out: the highest within 30 Hz and no more
    // than 20 dB below the loudest station.
    const double top = *std::max_element(spectrum.begin(), spectrum.end());
    int peaks = 0;
    constexpr std::size_t Near = 30 * Size / 8000;
    for (std::size_t k = Near; k + Near < spectrum.size(); ++k) {
        const bool local = spectrum[k] >= *std::max_element(spectrum.begin() + k - Near,
                                                            spectrum.begin() + k + Near + 1);
        peaks += local && spectrum[k] > top / 100 ? 1 : 0;
    }
    EXPECT_GE(peaks, 3); // two may share a frequency or be faded out
    EXPECT_LE(peaks, 5);
}

// The power at frequency hz in a Hann window of 320 samples from first.
double ToneWindowPower(const std::vector<int16_t>& samples, std::size_t first, double hz) {
    double re = 0;
    double im = 0;
    for (int i = 0; i < 320; ++i) {
        const double hann = 0.5 - 0.5 * std::cos(2 * M_PI * i / 320);
        const double phase = 2 * M_PI * hz * i / SampleRate;
        re += samples[first + i] * hann * std::cos(phase);
        im += samples[first + i] * hann * std::sin(phase);
    }
    return re * re + im * im;
}

class AirSecondCaller : public testing::TestWithParam<uint64_t> {};

TEST_P(AirSecondCaller, AnswersOffThePitchWithinASecondOfOurs) {
    BandConditions c;
    c.CallersPercent = 100;
    Band band(c, BandOf(GetParam()));
    KeyerSettings k;
    k.DotSamples = 320;
    k.ToneFreq = Pitch;
    k.ActivePage = CallsignPage;
    std::vector<int16_t> keyed = KeyedText("UA3ABC", k, 5);
    keyed.resize(6 * SampleRate, 0);
    band.CallsignStarts("UA3ABC");
    band.Process(keyed.data(), keyed.data(), static_cast<int64_t>(keyed.size()));
    const std::vector<double> spectrum = AveragedSpectrum(keyed, 0, keyed.size(), Size);
    const double other = StrongestHz(spectrum, Pitch, 60);
    const double offset = std::abs(other - Pitch);
    EXPECT_GE(offset, 100 - 3);
    EXPECT_LE(offset, 300 + 3);
    // Its first tone: the first 40 ms Hann window, 10 ms apart, where its
    // frequency has a tenth of its strongest power.
    std::vector<double> power;
    for (std::size_t first = 0; first + 320 <= keyed.size(); first += 80)
        power.push_back(ToneWindowPower(keyed, first, other));
    const double threshold = 0.1 * *std::max_element(power.begin(), power.end());
    const int onset = static_cast<int>(
        std::find_if(power.begin(), power.end(), [&](double p) { return p >= threshold; }) -
        power.begin());
    ASSERT_GE(onset, 0);
    EXPECT_LE(onset * 0.010, 1.0 + 0.02);
}

INSTANTIATE_TEST_SUITE_P(Seeds, AirSecondCaller, testing::Values(1, 2, 3, 4, 5));

TEST(AirSecondCaller, NeverAnswersAtNoChance) {
    BandConditions c;
    c.QsbHz = 1; // on, but it only fades our signal
    for (uint64_t seed = 1; seed <= 20; ++seed) {
        Band band(c, BandOf(seed));
        band.CallsignStarts("UA3ABC");
        const std::vector<int16_t> out = Quiet(band, 3);
        EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](int16_t s) { return s == 0; }));
    }
}

// Bursts: 10 ms windows that rise above a tenth of the loudest one.
int Bursts(const std::vector<int16_t>& out) {
    std::vector<double> power;
    for (std::size_t first = 0; first + 80 <= out.size(); first += 80) {
        double sum = 0;
        for (int i = 0; i < 80; ++i)
            sum += static_cast<double>(out[first + i]) * out[first + i];
        power.push_back(sum);
    }
    std::vector<double> sorted = power;
    std::sort(sorted.begin(), sorted.end());
    const double threshold = sorted[sorted.size() * 999 / 1000] * 1e-3;
    int bursts = 0;
    for (std::size_t i = 1; i < power.size(); ++i)
        bursts += power[i - 1] < threshold && power[i] >= threshold ? 1 : 0;
    return bursts;
}

TEST(AirQrn, StaticComesInBurstsMoreOftenAtAHigherLevel) {
    std::vector<int> counts;
    for (int level = 1; level <= 3; ++level) {
        BandConditions c;
        c.Qrn = level;
        Band band(c, BandOf(5));
        counts.push_back(Bursts(Quiet(band, 120)));
    }
    EXPECT_GT(counts[0], 20); // about one in two seconds
    EXPECT_LT(counts[0], 110);
    EXPECT_GT(counts[1], counts[0] * 2);
    EXPECT_GT(counts[2], counts[1]);
}

// The worst setting at full volume: every source at its loudest through the
// widest filter. A wrapped or clipped mix would reach full scale or jump.
TEST(AirBand, TheMixNeverWrapsOrClipsAtTheWorstSetting) {
    BandConditions c;
    c.Noise = true;
    c.SnrDb = -20;
    c.BandwidthHz = 3000;
    c.QsbHz = 2;
    c.FlutterHz = 30;
    c.Qrn = 3;
    c.Qrm = 5;
    c.CallersPercent = 100;
    for (uint64_t seed = 1; seed <= 3; ++seed) {
        Band band(c, BandOf(seed, 8));
        KeyerSettings k;
        k.ToneFreq = Pitch;
        std::vector<int16_t> keyed = KeyedText("UA3ABC RV9CX ", k, 8);
        keyed.resize(60 * SampleRate, 0);
        band.CallsignStarts("UA3ABC");
        band.Process(keyed.data(), keyed.data(), static_cast<int64_t>(keyed.size()));
        int largestJump = 0;
        int loudest = 0;
        for (std::size_t i = 1; i < keyed.size(); ++i) {
            largestJump = std::max(largestJump, std::abs(keyed[i] - keyed[i - 1]));
            loudest = std::max(loudest, std::abs(static_cast<int>(keyed[i])));
        }
        EXPECT_LT(loudest, 32767) << "seed " << seed;
        EXPECT_LT(largestJump, 40000) << "seed " << seed;
        EXPECT_GT(loudest, 8000) << "seed " << seed; // the AGC keeps the level up
    }
}

} // namespace
} // namespace tonvik
