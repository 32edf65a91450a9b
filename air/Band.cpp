#include "air/Band.h"

#include "keying/Keyer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace tonvik {
namespace {

// Calls for other stations when the host gives none.
const std::vector<std::string> FallbackCalls{"UA3AAA", "DL1ABC", "OK2XYZ", "SP5QRS", "UR4LM"};
constexpr double LimiterSeconds = 0.3;
// Expected peaks: a Gaussian beyond 4.5 sigma is one sample in 300000, a
// Rayleigh fade beyond 2.5 times its RMS one in 500; the limiter takes the rest.
constexpr double NoisePeak = 4.5;
constexpr double FadePeak = 2.5;
constexpr double SecondCallerLevelDb = -6; // the quietest; the loudest is ours
// The limiter keeps the output this far below full scale: no flat tops.
constexpr double Ceiling = 0.95;
// How far the receiver's filter lets a keyed edge overshoot its level.
constexpr double SignalOvershoot = 1.05;

double DbToAmplitude(double db) {
    return std::pow(10.0, db / 20);
}

double Square(double x) {
    return x * x;
}

// The -3 dB width of the receiver's equal band-pass sections of quality q at
// pitchHz.
double CascadeWidthHz(double pitchHz, double q) {
    const Biquad section = Biquad::BandPass(pitchHz, q, SampleRate);
    const auto edge = [&](double inside, double outside) {
        for (int n = 0; n < 50; ++n) {
            const double middle = (inside + outside) / 2;
            (std::pow(section.PowerGain(middle, SampleRate), ReceiverSections) >= 0.5 ? inside
                                                                                      : outside) =
                middle;
        }
        return (inside + outside) / 2;
    };
    return edge(pitchHz, SampleRate / 2.0) - edge(pitchHz, 0.0);
}

// The quality that gives the receiver the bandwidth asked for, found by bisection
// on a log scale (the width falls as the quality rises).
double CascadeQuality(double pitchHz, double bandwidthHz) {
    double low = std::log(0.01);
    double high = std::log(1000.0);
    for (int n = 0; n < 60; ++n) {
        const double middle = (low + high) / 2;
        (CascadeWidthHz(pitchHz, std::exp(middle)) > bandwidthHz ? low : high) = middle;
    }
    return std::exp((low + high) / 2);
}

} // namespace

Band::Band(const BandConditions& conditions, BandSetup setup)
    : Conditions(ClampConditions(conditions)), Setup(std::move(setup)) {
    Calls = std::make_shared<const std::vector<std::string>>(
        Setup.Callsigns.empty() ? FallbackCalls : Setup.Callsigns);
    Setup.Callsigns.clear();
    Reference = std::clamp(Setup.VolumeFactor, 0, 8) / 8.0 * 32767;
    if (!Active())
        return;
    AirRandom seeds(Setup.Seed);
    NoiseRandom.emplace(seeds.Seed());
    CallerRandom.emplace(seeds.Seed());
    if (Conditions.QsbHz > 0)
        Qsb.emplace(Conditions.QsbHz, seeds.Seed());
    if (Conditions.FlutterHz > 0)
        Flutter.emplace(Conditions.FlutterHz, seeds.Seed());
    if (Conditions.Qrn > 0)
        Crashes.emplace(Conditions.Qrn, seeds.Seed());
    const double noisePeak = SetUpReceiver();
    const double stationPeaks = SetUpStations(seeds);
    if (Conditions.CallersPercent > 0 && Setup.Part != BandPart::Signal)
        Caller = std::make_unique<Station>(StationVoice{}, 0);
    // Like a receiver's AGC: the expected peaks of the whole mix fit in the
    // output. Our signal and the noise are there together (their peaks add);
    // the other stations key apart and rarely meet (their powers add).
    const double wantedPeak = (Qsb || Flutter) ? FadePeak : 1.0;
    const double callerPeak = Conditions.CallersPercent > 0 ? 1.0 : 0.0;
    const double peak = wantedPeak + noisePeak + std::sqrt(stationPeaks + Square(callerPeak));
    const double scale = std::max(1.0, peak);
    Headroom = Ceiling / scale;
    // Our signal's expected peak is its share; the rest is the background's.
    switch (Setup.Part) {
    case BandPart::Whole:
        PartCeiling = Ceiling;
        break;
    case BandPart::Signal:
        // With room for the receiver filter's overshoot at a keyed edge:
        // the two parts still sum below full scale.
        PartCeiling = std::min(Ceiling, Ceiling * wantedPeak / scale * SignalOvershoot);
        break;
    case BandPart::Background:
        // Nothing but our signal on: no background to play, nothing to share.
        PartCeiling = peak > wantedPeak ? Ceiling * (scale - wantedPeak) / scale : Ceiling;
        break;
    }
    LimiterRelease = 1 - std::exp(-1.0 / (LimiterSeconds * SampleRate));
}

// Sets the receiver filter and the noise level; gives the noise's expected peak.
double Band::SetUpReceiver() {
    const double q = CascadeQuality(Setup.PitchHz, Conditions.BandwidthHz);
    Receiver.fill(Biquad::BandPass(Setup.PitchHz, q, SampleRate));
    const Biquad& section = Receiver.front();
    if (!Conditions.Noise)
        return 0;
    NoiseSigma = NoiseSigmaFor(section);
    return NoisePeak * NoiseSigma * std::sqrt(CascadeNoiseGain(section, ReceiverSections));
}

// The white noise's deviation that puts the noise power inside the
// passband, pitch +- bandwidth / 2, at the key-down power (1/2 for our unit
// sine) over the SNR, through the receiver made of sections like section.
double Band::NoiseSigmaFor(const Biquad& section) const {
    const double inBand = 0.5 / std::pow(10.0, Conditions.SnrDb / 10);
    const double low = std::max(1.0, Setup.PitchHz - Conditions.BandwidthHz / 2.0);
    const double high = std::min(SampleRate / 2.0, Setup.PitchHz + Conditions.BandwidthHz / 2.0);
    constexpr int Steps = 4000;
    double integral = 0; // of the receiver's |H|^2 over the passband, in Hz
    for (int k = 0; k < Steps; ++k) {
        const double f = low + (high - low) * (k + 0.5) / Steps;
        integral += std::pow(section.PowerGain(f, SampleRate), ReceiverSections);
    }
    integral *= (high - low) / Steps;
    // White noise of variance s^2 has s^2 * 2 / SampleRate per Hz.
    return std::sqrt(inBand * SampleRate / (2 * integral));
}

// The other stations (QRM); gives the sum of their expected peaks squared.
double Band::SetUpStations(AirRandom& seeds) {
    double peaks = 0;
    for (int n = 0; n < Conditions.Qrm; ++n) {
        AirRandom draw(seeds.Seed());
        StationVoice voice;
        const double offset = draw.Uniform(50, 400);
        voice.PitchHz = Setup.PitchHz + (draw.Chance(0.5) ? offset : -offset);
        voice.DotSamples =
            static_cast<int32_t>(std::lround(Setup.DotSamples / draw.Uniform(0.6, 1.4)));
        voice.Level = DbToAmplitude(draw.Uniform(-15, 6));
        voice.FadingHz = draw.Uniform(0.05, 0.5);
        const std::string own = RandomCallsign(draw);
        auto script = [this, own, random = AirRandom(draw.Seed())]() mutable {
            return QrmMessage(random, own);
        };
        Qrm.push_back(std::make_unique<Station>(voice, draw.Seed(), std::move(script)));
        peaks += Square(FadePeak * voice.Level);
    }
    return peaks;
}

std::string Band::RandomCallsign(AirRandom& random) const {
    return (*Calls)[random.Below(static_cast<int>(Calls->size()))];
}

// A CQ, an answer with a report, or a short closing, after a pause.
Station::Message Band::QrmMessage(AirRandom& random, const std::string& own) const {
    Station::Message m;
    m.Delay = static_cast<int64_t>(random.Uniform(0.5, 8.0) * SampleRate);
    const int serial = 1 + random.Below(999);
    char number[16];
    std::snprintf(number, sizeof number, "%03d", serial);
    switch (random.Below(4)) {
    case 0:
        m.Text = "CQ CQ DE " + own + " " + own + " K";
        break;
    case 1:
        m.Text = "CQ TEST " + own + " " + own;
        break;
    case 2:
        m.Text = RandomCallsign(random) + " 5NN " + number;
        break;
    default:
        m.Text = "TU " + own + " TEST";
        break;
    }
    return m;
}

bool Band::HasBackground() const {
    return Active() &&
           (Conditions.Noise || Crashes || !Qrm.empty() || Conditions.CallersPercent > 0);
}

void Band::SetPitch(double pitchHz) {
    if (!Active() || pitchHz == Setup.PitchHz)
        return;
    Setup.PitchHz = pitchHz;
    // The filters keep their state: the new coefficients take over smoothly.
    const double q = CascadeQuality(Setup.PitchHz, Conditions.BandwidthHz);
    const Biquad section = Biquad::BandPass(Setup.PitchHz, q, SampleRate);
    for (Biquad& s : Receiver)
        s.Retune(section);
    if (Conditions.Noise)
        NoiseSigma = NoiseSigmaFor(section);
}

void Band::CallsignStarts(std::string_view ours, int64_t aheadSamples) {
    if (!Active() || !Caller)
        return;
    AirRandom& draw = *CallerRandom;
    if (!draw.Chance(Conditions.CallersPercent / 100.0)) {
        Caller->Restart(StationVoice{}); // silent until the next call
        return;
    }
    std::string call = RandomCallsign(draw);
    for (int tries = 0; call == ours && tries < 8; ++tries)
        call = RandomCallsign(draw);
    StationVoice voice;
    const double offset = draw.Uniform(100, 300);
    voice.PitchHz = Setup.PitchHz + (draw.Chance(0.5) ? offset : -offset);
    voice.DotSamples = Setup.DotSamples;
    voice.Level = DbToAmplitude(draw.Uniform(SecondCallerLevelDb, 0));
    Caller->Restart(voice);
    const auto delay = static_cast<int64_t>(draw.Uniform(0, 1) * SampleRate);
    Caller->Say(call, std::max<int64_t>(0, delay - aheadSamples));
}

void Band::Process(const int16_t* in, int16_t* out, int64_t count) {
    if (!Active()) {
        if (in != out)
            std::memmove(out, in, static_cast<std::size_t>(count) * sizeof(int16_t));
        return;
    }
    for (int64_t first = 0; first < count; first += BlockSamples) {
        const int n = static_cast<int>(std::min<int64_t>(BlockSamples, count - first));
        ProcessBlock(in == nullptr ? nullptr : in + first, out + first, n);
    }
}

void Band::Silence(int16_t* out, int64_t count) {
    if (!Active()) {
        std::memset(out, 0, static_cast<std::size_t>(count) * sizeof(int16_t));
        return;
    }
    Process(nullptr, out, count);
}

// One block: our signal faded, the others added, all through the receiver's
// filter, then the AGC's gain and a limiter that never lets a sample clip.
void Band::ProcessBlock(const int16_t* in, int16_t* out, int count) {
    std::array<float, BlockSamples> mix{};
    const double toUnit = Reference > 0 ? 1.0 / Reference : 0.0;
    if (Setup.Part != BandPart::Background) {
        for (int i = 0; i < count; ++i) {
            double x = in == nullptr ? 0.0 : in[i] * toUnit;
            if (Qsb)
                x *= Qsb->Next();
            if (Flutter)
                x *= Flutter->Next();
            mix[i] = static_cast<float>(x);
        }
    }
    if (Setup.Part != BandPart::Signal)
        AddOthers(mix.data(), count);
    for (int i = 0; i < count; ++i) {
        double y = mix[i];
        for (Biquad& section : Receiver)
            y = section.Step(y);
        y *= Headroom;
        const double size = std::abs(y) * LimiterGain / PartCeiling;
        if (size > 1.0)
            LimiterGain /= size;
        else
            LimiterGain += (1 - LimiterGain) * LimiterRelease;
        y *= LimiterGain;
        out[i] = static_cast<int16_t>(std::clamp(std::lround(y * Reference), -32767L, 32767L));
    }
}

void Band::AddOthers(float* mix, int count) {
    if (Conditions.Noise) {
        AirRandom& random = *NoiseRandom;
        for (int i = 0; i < count; ++i)
            mix[i] += static_cast<float>(NoiseSigma * random.Gauss());
    }
    if (Crashes)
        Crashes->AddInto(mix, count);
    for (auto& station : Qrm)
        station->AddInto(mix, count);
    if (Caller)
        Caller->AddInto(mix, count);
}

double CascadeNoiseGain(const Biquad& section, int count) {
    std::vector<Biquad> cascade(static_cast<std::size_t>(count), section);
    for (Biquad& s : cascade)
        s.Reset();
    double sum = 0;
    int quiet = 0; // samples in a row below the threshold
    for (int n = 0; n < 10'000'000 && quiet < 1000; ++n) {
        double y = n == 0 ? 1.0 : 0.0;
        for (Biquad& s : cascade)
            y = s.Step(y);
        sum += y * y;
        quiet = y * y < 1e-15 * sum ? quiet + 1 : 0;
    }
    return sum;
}

} // namespace tonvik
