#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tonvik {

// What the receiver hears besides the wanted signal. Every value at its
// default means a clean band: the keyer's samples pass untouched.
struct BandConditions {
    int BandwidthHz = 500;  // receiver filter, 100..3000, centred on the pitch
    bool Noise = false;     // band noise at SnrDb
    double SnrDb = 10;      // key-down power over noise power in the passband, -20..40
    double QsbHz = 0;       // slow fading rate, 0 (off) or 0.05..2
    double FlutterHz = 0;   // fast fading rate, 0 (off) or 10..30
    int Qrn = 0;            // static crashes, 0 (off)..3
    int Qrm = 0;            // other stations, 0..5
    int CallersPercent = 0; // chance of a second caller in callsign mode, 0..100

    bool AnyOn() const {
        return Noise || QsbHz > 0 || FlutterHz > 0 || Qrn > 0 || Qrm > 0 || CallersPercent > 0;
    }
    bool operator==(const BandConditions&) const = default;
};

inline constexpr int MinBandwidthHz = 100;
inline constexpr int MaxBandwidthHz = 3000;
inline constexpr double MinSnrDb = -20;
inline constexpr double MaxSnrDb = 40;
inline constexpr double MinQsbHz = 0.05;
inline constexpr double MaxQsbHz = 2;
inline constexpr double MinFlutterHz = 10;
inline constexpr double MaxFlutterHz = 30;
inline constexpr double DefaultFlutterHz = 20;
inline constexpr int MaxQrn = 3;
inline constexpr int MaxQrm = 5;

enum class BandPreset { Clean, Good, Average, Poor, Contest };

// The documented value sets:
//   clean    everything off
//   good     SNR 20 dB, QSB 0.1 Hz
//   average  SNR 10 dB, QSB 0.3 Hz, QRN 1, QRM 1
//   poor     SNR 3 dB, QSB 1 Hz, QRN 2, QRM 2
//   contest  SNR 12 dB, QSB 0.2 Hz, QRN 1, QRM 4, a second caller 30 %
// all with the receiver's 500 Hz filter.
BandConditions PresetConditions(BandPreset preset);
std::string_view PresetName(BandPreset preset);
std::optional<BandPreset> PresetFromName(std::string_view name);
// The preset whose values these are, if any.
std::optional<BandPreset> MatchingPreset(const BandConditions& conditions);

// A short stable text of the values, for the journal and its CSV: "clean",
// a preset's name, or the values that are on ("snr=6 bw=500 qsb=0.3 ...").
std::string DescribeConditions(const BandConditions& conditions);
// The reverse of DescribeConditions; nothing for a text it cannot have made.
std::optional<BandConditions> ParseConditions(std::string_view text);

// Clamps every value into its range (0 stays off).
BandConditions ClampConditions(BandConditions conditions);

} // namespace tonvik
