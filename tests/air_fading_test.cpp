// The fading of the wanted signal, measured on a steady key-down tone: the
// envelope's distribution is Rayleigh, and its rate follows the setting.
#include "air/Band.h"
#include "keying/Keyer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace tonvik {
namespace {

constexpr double Pitch = 800;
constexpr int Window = 20; // 2.5 ms: two whole periods of the pitch

std::vector<double> FadedEnvelope(double qsbHz, double flutterHz, int seconds) {
    Keyer keyer;
    keyer.BuildSineTable(5);
    std::vector<int16_t> samples(static_cast<std::size_t>(seconds) * SampleRate);
    int64_t position = 0;
    keyer.ToneRun(samples.data(), position, static_cast<int64_t>(samples.size()), Pitch);
    BandConditions c;
    c.QsbHz = qsbHz;
    c.FlutterHz = flutterHz;
    BandSetup setup;
    setup.PitchHz = Pitch;
    setup.Seed = 21;
    Band band(c, setup);
    band.Process(samples.data(), samples.data(), static_cast<int64_t>(samples.size()));
    // The RMS of whole periods times root two: the tone's amplitude.
    std::vector<double> envelope;
    for (std::size_t first = SampleRate; first + Window <= samples.size(); first += Window) {
        double sum = 0;
        for (int i = 0; i < Window; ++i)
            sum += static_cast<double>(samples[first + i]) * samples[first + i];
        envelope.push_back(std::sqrt(2 * sum / Window));
    }
    return envelope;
}

// Kolmogorov-Smirnov distance to the Rayleigh law of the same mean square.
double RayleighDistance(std::vector<double> envelope) {
    double meanSquare = 0;
    for (double r : envelope)
        meanSquare += r * r;
    meanSquare /= envelope.size();
    std::sort(envelope.begin(), envelope.end());
    double distance = 0;
    const double n = static_cast<double>(envelope.size());
    for (std::size_t i = 0; i < envelope.size(); ++i) {
        const double model = 1 - std::exp(-envelope[i] * envelope[i] / meanSquare);
        distance = std::max({distance, std::abs(model - i / n), std::abs(model - (i + 1) / n)});
    }
    return distance;
}

// Upward crossings of the envelope's RMS level per second.
double CrossingsPerSecond(const std::vector<double>& envelope) {
    double meanSquare = 0;
    for (double r : envelope)
        meanSquare += r * r;
    const double level = std::sqrt(meanSquare / envelope.size());
    int crossings = 0;
    for (std::size_t i = 1; i < envelope.size(); ++i)
        crossings += envelope[i - 1] < level && envelope[i] >= level ? 1 : 0;
    return crossings / (envelope.size() * static_cast<double>(Window) / SampleRate);
}

struct FadingCase {
    double Qsb;
    double Flutter;
    int Seconds;
};
class AirFading : public testing::TestWithParam<FadingCase> {};

// Correlated values: the critical distance is that of the independent
// stretches, about one per fading period (1.63 / sqrt(n) at 1 %).
TEST_P(AirFading, TheEnvelopeIsRayleighDistributed) {
    const auto [qsb, flutter, seconds] = GetParam();
    const double rate = std::max(qsb, flutter);
    const double independent = rate * seconds;
    EXPECT_LT(RayleighDistance(FadedEnvelope(qsb, flutter, seconds)),
              1.63 / std::sqrt(independent));
}

INSTANTIATE_TEST_SUITE_P(Rates, AirFading,
                         testing::Values(FadingCase{2, 0, 900}, FadingCase{0.5, 0, 1800},
                                         FadingCase{0, 20, 120}, FadingCase{0, 10, 200}));

TEST(AirFading, ASteadyToneIsFarFromRayleighSoTheFitCanFail) {
    std::vector<double> steady(10000, 1000.0);
    steady[0] = 999;
    EXPECT_GT(RayleighDistance(steady), 0.3);
}

TEST(AirFading, TheFadeComesAndGoesAtTheSetRate) {
    const double slow = CrossingsPerSecond(FadedEnvelope(0.25, 0, 1200));
    const double fast = CrossingsPerSecond(FadedEnvelope(2, 0, 300));
    const double flutter = CrossingsPerSecond(FadedEnvelope(0, 20, 60));
    // Crossings grow in proportion to the rate.
    EXPECT_NEAR(fast / slow, 8, 8 * 0.25);
    EXPECT_NEAR(flutter / fast, 10, 10 * 0.25);
}

} // namespace
} // namespace tonvik
