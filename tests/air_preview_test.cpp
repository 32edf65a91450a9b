// «Прослушать»'s five seconds, measured from the samples: their length, the
// keyer's own samples through a clean band, only whole characters, the seed,
// and the flutter rate heard in the envelope.
#include "air/BandPreview.h"
#include "tests/support/KeyedText.h"
#include "tests/support/Spectrum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <tuple>

namespace tonvik {
namespace {

constexpr double Pitch = 800;
constexpr int Volume = 5;

KeyerSettings Keying(int wpm) {
    KeyerSettings k;
    k.DotSamples = 9600 / wpm;
    k.ToneFreq = Pitch;
    k.ActivePage = CallsignPage;
    return k;
}

PreviewSetup SetupOf(int wpm, std::vector<std::string> calls, uint64_t seed = 5) {
    PreviewSetup s;
    s.Keying = Keying(wpm);
    s.VolumeFactor = Volume;
    s.Seed = seed;
    s.Calls = std::move(calls);
    s.StationCalls = {"DL1XYZ", "OK1AB", "RV9CX", "SP7QRM", "G4FON"};
    return s;
}

bool AllSilent(const std::vector<int16_t>& samples, std::size_t from) {
    return std::all_of(samples.begin() + static_cast<std::ptrdiff_t>(from), samples.end(),
                       [](int16_t s) { return s == 0; });
}

// Every preset at the slowest, a middling and the fastest speed.
class PreviewLength : public testing::TestWithParam<std::tuple<BandPreset, int>> {};

TEST_P(PreviewLength, IsFiveSecondsAtAnySpeedAndBand) {
    const auto [preset, wpm] = GetParam();
    const std::vector<int16_t> preview =
        RenderBandPreview(PresetConditions(preset), SetupOf(wpm, {"UA3ABC", "RV9CX", "DL1XYZ"}));
    EXPECT_EQ(preview.size(), 40000u);
}

INSTANTIATE_TEST_SUITE_P(PresetsAndSpeeds, PreviewLength,
                         testing::Combine(testing::Values(BandPreset::Clean, BandPreset::Good,
                                                          BandPreset::Average, BandPreset::Poor,
                                                          BandPreset::Contest),
                                          testing::Values(10, 30, 100)));

TEST(BandPreview, ACleanBandIsTheKeyersOwnSamplesAndSilence) {
    const std::vector<int16_t> keyed = KeyedText("UA3ABC", Keying(30), Volume);
    ASSERT_LT(keyed.size(), 40000u);
    const std::vector<int16_t> preview =
        RenderBandPreview(BandConditions{}, SetupOf(30, {"UA3ABC"}));
    ASSERT_EQ(preview.size(), 40000u);
    EXPECT_TRUE(std::equal(keyed.begin(), keyed.end(), preview.begin()));
    EXPECT_TRUE(AllSilent(preview, keyed.size()));
}

TEST(BandPreview, ACleanBandKeysEachCallsignInOrderAndNothingElse) {
    const std::vector<int16_t> first = KeyedText("UA3ABC", Keying(40), Volume);
    const std::vector<int16_t> second = KeyedText("RV9CX", Keying(40), Volume);
    const std::vector<int16_t> preview =
        RenderBandPreview(BandConditions{}, SetupOf(40, {"UA3ABC", "RV9CX"}));
    ASSERT_TRUE(std::equal(first.begin(), first.end(), preview.begin()));
    const auto at = std::search(preview.begin() + static_cast<std::ptrdiff_t>(first.size()),
                                preview.end(), second.begin(), second.end());
    ASSERT_NE(at, preview.end());
    const auto nonZero = [](const std::vector<int16_t>& s) {
        return std::count_if(s.begin(), s.end(), [](int16_t x) { return x != 0; });
    };
    EXPECT_EQ(nonZero(preview), nonZero(first) + nonZero(second));
}

// At 10 wpm a callsign is longer than five seconds: the preview keeps the
// characters that fit whole and is silent after them, with no cut element.
TEST(BandPreview, OnlyWholeCharactersAreKeyed) {
    const std::string call = "UA3ABC";
    const std::vector<int16_t> preview = RenderBandPreview(BandConditions{}, SetupOf(10, {call}));
    std::size_t kept = 0;
    for (std::size_t n = 1; n <= call.size(); ++n) {
        const std::size_t end = KeyedText(call.substr(0, n), Keying(10), Volume).size();
        if (end <= preview.size())
            kept = end;
    }
    ASSERT_GT(kept, 0u);
    ASSERT_LT(kept, KeyedText(call, Keying(10), Volume).size());
    const std::vector<int16_t> keyed = KeyedText(call, Keying(10), Volume);
    EXPECT_TRUE(std::equal(keyed.begin(), keyed.begin() + static_cast<std::ptrdiff_t>(kept),
                           preview.begin()));
    EXPECT_TRUE(AllSilent(preview, kept));
}

TEST(BandPreview, TheSameSeedGivesTheSameSamples) {
    const BandConditions poor = PresetConditions(BandPreset::Contest);
    const std::vector<std::string> calls{"UA3ABC", "RV9CX", "DL1XYZ"};
    const std::vector<int16_t> once = RenderBandPreview(poor, SetupOf(30, calls, 11));
    EXPECT_EQ(RenderBandPreview(poor, SetupOf(30, calls, 11)), once);
    EXPECT_NE(RenderBandPreview(poor, SetupOf(30, calls, 12)), once);
}

// The share of the envelope's fluctuation above 15 Hz, over the steady
// middles of the dashes of a slow "0" (five dashes of 0.36 s).
double FastFadingShare(double flutterHz) {
    BandConditions c;
    c.FlutterHz = flutterHz;
    const std::vector<int16_t> keyed = KeyedText("0", Keying(10), Volume);
    double fast = 0;
    double all = 0;
    for (uint64_t seed = 1; seed <= 4; ++seed) {
        const std::vector<int16_t> heard = RenderBandPreview(c, SetupOf(10, {"0"}, seed));
        // The amplitude over one period of the pitch (ten samples) at every sample.
        std::vector<double> envelope(heard.size());
        for (std::size_t i = 10; i < heard.size(); ++i) {
            double sum = 0;
            for (std::size_t k = i - 10; k < i; ++k)
                sum += static_cast<double>(heard[k]) * heard[k];
            envelope[i] = std::sqrt(sum / 5);
        }
        // Each dash: key-down runs of the keyed samples, their edges left out.
        constexpr std::size_t Edge = 240;
        std::size_t start = 0;
        for (std::size_t i = 0; i <= keyed.size(); ++i) {
            const bool down = i < keyed.size() && keyed[i] != 0;
            if (down && start == 0)
                start = i + 1;
            if (!down && start != 0) {
                const std::size_t first = start - 1 + Edge;
                const std::size_t count = i - (start - 1) - 2 * Edge;
                if (i - (start - 1) > 2000) {
                    fast += BandPower(envelope, first, count, 15, 200);
                    all += BandPower(envelope, first, count, 1, 200);
                }
                start = 0;
            }
        }
    }
    return fast / all;
}

TEST(BandPreview, TheFlutterRateReachesTheBand) {
    const double at10 = FastFadingShare(10);
    const double at30 = FastFadingShare(30);
    std::printf("fluctuation above 15 Hz: flutter 10 Hz %.3f, 30 Hz %.3f\n", at10, at30);
    EXPECT_GT(at30, 1.5 * at10);
}

} // namespace
} // namespace tonvik
