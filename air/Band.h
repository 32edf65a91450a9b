#pragma once

#include "air/AirRandom.h"
#include "air/BandConditions.h"
#include "air/Biquad.h"
#include "air/Fading.h"
#include "air/StaticCrashes.h"
#include "air/Station.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tonvik {

// The receiver's filter: equal band-pass sections in a row, 24 dB an octave
// of detuning on each side.
inline constexpr int ReceiverSections = 4;

// Which of the band's sounds a Band gives. A file or a single stream takes
// the whole: our signal and everything else, through one receiver. A window
// that keeps the band going between callsigns plays it on a stream of its
// own, the background (noise, static, other stations, a second caller), and
// our keying on the keying stream, the signal; the two parts add up to the
// whole, and each keeps to its share of full scale, so their sum never clips.
enum class BandPart { Whole, Signal, Background };

// What the band needs to know of the exercise besides its conditions.
struct BandSetup {
    double PitchHz = 800;
    int32_t DotSamples = 320; // ours; other stations key at 0.6..1.4 times our speed
    int VolumeFactor = 5;     // 0..8, the keyer's; the band's output follows it
    uint64_t Seed = 1;
    std::vector<std::string> Callsigns; // CP1251, for other stations and second callers
    BandPart Part = BandPart::Whole;
};

// The band between the keyer and the ear: takes the keyed samples (8000 Hz,
// 16-bit) and gives what the receiver hears. Its state runs on across calls,
// so a stream cut into buffers of any sizes gives the same samples as one
// call for the whole. With every condition off it passes the samples through
// untouched.
class Band {
public:
    Band(const BandConditions& conditions, BandSetup setup);
    Band(const Band&) = delete;
    Band& operator=(const Band&) = delete;

    bool Active() const { return Conditions.AnyOn(); }
    // Something is heard while our station is silent: noise, static, other
    // stations or a second caller.
    bool HasBackground() const;
    const BandConditions& Settings() const { return Conditions; }

    // count samples in, count out; in and out may be the same buffer.
    void Process(const int16_t* in, int16_t* out, int64_t count);
    // What the band gives while our station is silent.
    void Silence(int16_t* out, int64_t count);
    // Retunes the receiver to another pitch of ours (a new callsign's tone);
    // the other stations stay where they are on the band.
    void SetPitch(double pitchHz);
    // Our callsign's first sample is the next one processed: a second caller
    // may answer with it (callsign mode). A band rendered ahead of the sound
    // (a stream of its own) gives how far: the caller comes that much sooner.
    void CallsignStarts(std::string_view ours, int64_t aheadSamples = 0);

private:
    static constexpr int BlockSamples = 256;

    void ProcessBlock(const int16_t* in, int16_t* out, int count);
    void AddOthers(float* mix, int count);
    std::string RandomCallsign(AirRandom& random) const;
    Station::Message QrmMessage(AirRandom& random, const std::string& own) const;
    double SetUpReceiver();
    double NoiseSigmaFor(const Biquad& section) const;
    double SetUpStations(AirRandom& seeds);

    BandConditions Conditions;
    BandSetup Setup;
    std::shared_ptr<const std::vector<std::string>> Calls;
    double Reference = 0; // our key-down amplitude in the keyer's samples
    std::array<Biquad, ReceiverSections> Receiver;
    double NoiseSigma = 0;
    double Headroom = 1;    // scales the mix so its expected peaks fit
    double PartCeiling = 1; // this part's share of full scale, at most Ceiling
    double LimiterGain = 1;
    double LimiterRelease = 0; // per sample, toward a gain of 1
    std::optional<AirRandom> NoiseRandom;
    std::optional<Fading> Qsb;
    std::optional<Fading> Flutter;
    std::optional<StaticCrashes> Crashes;
    std::vector<std::unique_ptr<Station>> Qrm;
    std::optional<AirRandom> CallerRandom;
    std::unique_ptr<Station> Caller;
};

// The output variance over the input variance of white noise through count
// equal sections in a row.
double CascadeNoiseGain(const Biquad& section, int count);

} // namespace tonvik
