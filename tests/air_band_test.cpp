// The band's physics, measured from the rendered samples: the receiver's
// passband, the SNR, the fading's distribution, the static, the other
// stations' offsets; and the stream's rules: off is a pass-through, a seed
// gives the same samples however the stream is cut, nothing wraps.
#include "air/Band.h"
#include "keying/Keyer.h"
#include "tests/support/KeyedText.h"
#include "tests/support/Spectrum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace tonvik {
namespace {

constexpr double Pitch = 800;
constexpr int Volume = 5;

BandSetup BandOf(uint64_t seed = 7) {
    BandSetup s;
    s.PitchHz = Pitch;
    s.DotSamples = 320; // 30 wpm
    s.VolumeFactor = Volume;
    s.Seed = seed;
    s.Callsigns = {"UA3ABC", "DL1XYZ", "OK1AB", "RV9CX", "SP7QRM", "G4FON"};
    return s;
}

KeyerSettings Keying() {
    KeyerSettings k;
    k.DotSamples = 320;
    k.ToneFreq = Pitch;
    k.ActivePage = TextPage;
    return k;
}

// A steady key-down tone at the pitch, as the keyer renders it.
std::vector<int16_t> Tone(int64_t samples) {
    Keyer keyer;
    keyer.BuildSineTable(Volume);
    std::vector<int16_t> tone(samples);
    int64_t position = 0;
    keyer.ToneRun(tone.data(), position, samples, Pitch);
    return tone;
}

std::vector<int16_t> Through(const BandConditions& c, std::vector<int16_t> in,
                             const BandSetup& setup = BandOf()) {
    Band band(c, setup);
    band.Process(in.data(), in.data(), static_cast<int64_t>(in.size()));
    return in;
}

BandConditions NoiseOnly(double snr, int bandwidth = 500) {
    BandConditions c;
    c.Noise = true;
    c.SnrDb = snr;
    c.BandwidthHz = bandwidth;
    return c;
}

TEST(AirBand, EveryConditionOffPassesTheSamplesThroughUntouched) {
    const std::vector<int16_t> keyed = KeyedText("CQ DE UA3ABC 73", Keying(), Volume);
    for (const BandPreset p : {BandPreset::Clean}) {
        Band band(PresetConditions(p), BandOf());
        std::vector<int16_t> out(keyed.size(), 1);
        band.Process(keyed.data(), out.data(), static_cast<int64_t>(keyed.size()));
        EXPECT_EQ(out, keyed);
        band.Silence(out.data(), 100);
        EXPECT_TRUE(std::all_of(out.begin(), out.begin() + 100, [](int16_t s) { return s == 0; }));
    }
    BandConditions wideOff;
    wideOff.BandwidthHz = 2000; // a receiver setting alone changes nothing
    EXPECT_EQ(Through(wideOff, keyed), keyed);
}

// One stream rendered in one piece and in random pieces, with our callsigns
// starting at the same samples.
TEST(AirBand, AStreamCutIntoRandomPiecesGivesTheSameSamples) {
    const std::vector<int16_t> keyed = KeyedText("UA3ABC DL1XYZ OK1AB RV9CX ", Keying(), Volume);
    BandConditions c = PresetConditions(BandPreset::Contest);
    c.FlutterHz = 15;
    c.Qrn = 3;
    c.CallersPercent = 100;
    const auto render = [&](bool pieces) {
        Band band(c, BandOf(11));
        std::vector<int16_t> out(keyed.size() * 3);
        std::mt19937 cut(5);
        band.CallsignStarts("UA3ABC");
        std::size_t done = 0;
        while (done < out.size()) {
            std::size_t n = pieces ? 1 + cut() % 700 : out.size();
            n = std::min(n, out.size() - done);
            if (done < keyed.size()) {
                n = std::min(n, keyed.size() - done);
                band.Process(keyed.data() + done, out.data() + done, static_cast<int64_t>(n));
            } else {
                band.Silence(out.data() + done, static_cast<int64_t>(n));
            }
            done += n;
        }
        return out;
    };
    const std::vector<int16_t> whole = render(false);
    EXPECT_EQ(render(true), whole);
    EXPECT_NE(whole, std::vector<int16_t>(whole.size(), 0));
}

// The window plays the band's background on a stream of its own and our
// keying on another: what the two streams carry must add up to the band a
// single stream gives (two roundings apart), our stream must be silent
// between characters, and the two together must fit in 16 bits. (Each part
// has a limiter of its own for the rare peak beyond the expected: the seeds
// here are ones whose noise stays below it.)
struct PartsCase {
    const char* Name;
    BandConditions Conditions;
};

// A preset without static and fading, whose peaks the limiter would take
// in each part apart.
BandConditions Steady(BandPreset preset, int callers) {
    BandConditions c = PresetConditions(preset);
    c.CallersPercent = callers;
    c.Qrn = 0;
    c.QsbHz = 0;
    return c;
}

TEST(AirBand, TheSignalAndTheBackgroundAddUpToTheWholeBand) {
    const std::vector<int16_t> keyed = KeyedText("UA3ABC DL1XYZ ", Keying(), Volume);
    const std::vector<PartsCase> cases{
        {"noise", NoiseOnly(6)},
        {"poor, steady", Steady(BandPreset::Poor, 0)},
        {"average, steady", Steady(BandPreset::Average, 0)},
        {"contest, steady", Steady(BandPreset::Contest, 100)},
    };
    for (const PartsCase& c : cases) {
        const auto render = [&](BandPart part) {
            BandSetup setup = BandOf(22);
            setup.Part = part;
            Band band(c.Conditions, setup);
            band.CallsignStarts("UA3ABC");
            std::vector<int16_t> out(keyed.size() + 16000);
            band.Process(keyed.data(), out.data(), static_cast<int64_t>(keyed.size()));
            band.Silence(out.data() + keyed.size(), 16000);
            return out;
        };
        const std::vector<int16_t> whole = render(BandPart::Whole);
        const std::vector<int16_t> signal = render(BandPart::Signal);
        const std::vector<int16_t> background = render(BandPart::Background);
        int worst = 0;
        for (std::size_t i = 0; i < whole.size(); ++i)
            worst = std::max(worst, std::abs(signal[i] + background[i] - whole[i]));
        EXPECT_LE(worst, 2) << c.Name;
        EXPECT_TRUE(std::all_of(signal.begin() + static_cast<std::ptrdiff_t>(keyed.size()) + 400,
                                signal.end(), [](int16_t s) { return s == 0; }))
            << c.Name << ": our stream is not silent after our keying";
        EXPECT_NE(background, std::vector<int16_t>(background.size(), 0)) << c.Name;
    }
}

// A background rendered ahead of the sound brings its second caller forward
// by as much, so that he still comes up to a second after ours.
TEST(AirBand, ACallerOnABandRenderedAheadComesThatMuchSooner) {
    BandConditions callers;
    callers.CallersPercent = 100;
    const auto firstSound = [&](int64_t ahead) {
        BandSetup setup = BandOf(9);
        setup.Part = BandPart::Background;
        Band band(callers, setup);
        band.CallsignStarts("UA3ABC", ahead);
        std::vector<int16_t> out(20000);
        band.Silence(out.data(), static_cast<int64_t>(out.size()));
        return std::find_if(out.begin(), out.end(), [](int16_t s) { return s != 0; }) - out.begin();
    };
    const int64_t onTime = firstSound(0);
    ASSERT_GT(onTime, 3200) << "this seed's caller comes too soon to measure";
    ASSERT_LT(onTime, 8000 + 400);
    const int64_t atOnce = firstSound(1'000'000); // no delay left at all
    EXPECT_LT(atOnce, 50);
    for (const int64_t ahead : {int64_t{800}, int64_t{3200}})
        EXPECT_EQ(firstSound(ahead), onTime - ahead) << ahead;
}

TEST(AirBand, TheTwoStreamsTogetherNeverClipAtTheWorstSetting) {
    BandConditions worst = PresetConditions(BandPreset::Contest);
    worst.SnrDb = MinSnrDb;
    worst.Qrn = MaxQrn;
    worst.Qrm = MaxQrm;
    worst.CallersPercent = 100;
    worst.FlutterHz = MaxFlutterHz;
    const std::vector<int16_t> keyed = KeyedText("UA3ABC DL1XYZ OK1AB ", Keying(), 8);
    BandSetup setup = BandOf(5);
    setup.VolumeFactor = 8;
    const auto render = [&](BandPart part) {
        setup.Part = part;
        Band band(worst, setup);
        band.CallsignStarts("UA3ABC");
        std::vector<int16_t> out(keyed.size());
        band.Process(keyed.data(), out.data(), static_cast<int64_t>(keyed.size()));
        return out;
    };
    const std::vector<int16_t> signal = render(BandPart::Signal);
    const std::vector<int16_t> background = render(BandPart::Background);
    int peak = 0;
    for (std::size_t i = 0; i < signal.size(); ++i)
        peak = std::max(peak, std::abs(signal[i] + background[i]));
    EXPECT_LE(peak, 32767);
    EXPECT_GT(peak, 32767 / 4) << "the mix is not near full scale: the test measures nothing";
}

TEST(AirBand, TheSameSeedGivesTheSameSamplesAndAnotherSeedOthers) {
    const std::vector<int16_t> keyed = KeyedText("CQ TEST UA3ABC", Keying(), Volume);
    const BandConditions c = PresetConditions(BandPreset::Poor);
    EXPECT_EQ(Through(c, keyed, BandOf(3)), Through(c, keyed, BandOf(3)));
    EXPECT_NE(Through(c, keyed, BandOf(3)), Through(c, keyed, BandOf(4)));
}

// A minute key-down, rendered twice with the same seed: once with the tone
// and once without. The noise is the same in both (it does not depend on the
// signal), so their difference is the wanted signal as received and the
// second is the noise: their power in the passband, by FFT, is measured apart
// even where the noise is far stronger.
struct SnrCase {
    double Snr;
    int Bandwidth;
};
class AirBandSnr : public testing::TestWithParam<SnrCase> {};

TEST_P(AirBandSnr, TheNoiseInThePassbandIsTheSetSnrBelowTheKeyDownPower) {
    const auto [snr, bandwidth] = GetParam();
    constexpr int64_t Minute = 60 * SampleRate;
    const std::vector<int16_t> both = Through(NoiseOnly(snr, bandwidth), Tone(Minute));
    const std::vector<int16_t> noise =
        Through(NoiseOnly(snr, bandwidth), std::vector<int16_t>(Minute, 0));
    std::vector<double> wanted(both.size());
    for (std::size_t i = 0; i < both.size(); ++i)
        wanted[i] = static_cast<double>(both[i]) - noise[i];
    const double low = Pitch - bandwidth / 2.0;
    const double high = Pitch + bandwidth / 2.0;
    const std::size_t settle = SampleRate / 10; // the filter's ringing at the key's edges
    const double keyDown = BandPower(wanted, settle, Minute - 2 * settle, low, high);
    const double noisePower = BandPower(noise, settle, Minute - 2 * settle, low, high);
    EXPECT_NEAR(10 * std::log10(keyDown / noisePower), snr, 0.5) << "bandwidth " << bandwidth;
}

INSTANTIATE_TEST_SUITE_P(Settings, AirBandSnr,
                         testing::Values(SnrCase{-20, 500}, SnrCase{-10, 500}, SnrCase{0, 500},
                                         SnrCase{6, 500}, SnrCase{20, 500}, SnrCase{10, 100},
                                         SnrCase{10, 2400}, SnrCase{30, 1000}, SnrCase{40, 500}));

// White noise through the receiver shows its response: find the -3 dB points.
class AirBandPassband : public testing::TestWithParam<int> {};

TEST_P(AirBandPassband, TheReceiverPassesItsBandwidthCentredOnThePitch) {
    const int bandwidth = GetParam();
    const std::vector<int16_t> out =
        Through(NoiseOnly(-10, bandwidth), std::vector<int16_t>(120 * SampleRate, 0));
    constexpr int Size = 4096;
    const std::vector<double> spectrum = AveragedSpectrum(out, 0, out.size(), Size);
    // Smoothed over 9 bins (about 9 Hz) against the estimate's own scatter.
    std::vector<double> smooth(spectrum.size(), 0.0);
    for (std::size_t k = 4; k + 4 < spectrum.size(); ++k)
        for (std::size_t j = k - 4; j <= k + 4; ++j)
            smooth[k] += spectrum[j] / 9;
    const std::size_t peak = std::max_element(smooth.begin(), smooth.end()) - smooth.begin();
    EXPECT_NEAR(BinHz(peak, Size), Pitch, std::max(20.0, bandwidth * 0.1));
    std::size_t lowEdge = peak;
    while (lowEdge > 5 && smooth[lowEdge] > smooth[peak] / 2)
        --lowEdge;
    std::size_t highEdge = peak;
    while (highEdge + 5 < smooth.size() && smooth[highEdge] > smooth[peak] / 2)
        ++highEdge;
    const double low = BinHz(lowEdge, Size);
    const double high = BinHz(highEdge, Size);
    EXPECT_NEAR(high - low, bandwidth, bandwidth * 0.06 + 4);
    // Centred as a resonator is: on the geometric mean of its edges.
    EXPECT_NEAR(std::sqrt(low * high), Pitch, Pitch * 0.05);
    // Three bandwidths off the pitch the noise is more than 30 dB down.
    const std::size_t far = static_cast<std::size_t>((Pitch + 3 * bandwidth) * Size / 8000);
    if (far + 5 < smooth.size()) {
        EXPECT_LT(smooth[far], smooth[peak] / 1000) << "at " << BinHz(far, Size) << " Hz";
    }
}

INSTANTIATE_TEST_SUITE_P(Bandwidths, AirBandPassband, testing::Values(100, 250, 500, 1000));

} // namespace
} // namespace tonvik
