#include "air/BandConditions.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <sstream>

namespace tonvik {
namespace {

// Each preset: its name on the command line and in the journal, its values.
struct PresetEntry {
    BandPreset Preset;
    std::string_view Name;
    BandConditions Conditions;
};
constexpr std::array<PresetEntry, 5> PresetTable{{
    {BandPreset::Clean, "clean", {}},
    {BandPreset::Good, "good", {.Noise = true, .SnrDb = 20, .QsbHz = 0.1}},
    {BandPreset::Average,
     "average",
     {.Noise = true, .SnrDb = 10, .QsbHz = 0.3, .Qrn = 1, .Qrm = 1}},
    {BandPreset::Poor, "poor", {.Noise = true, .SnrDb = 3, .QsbHz = 1, .Qrn = 2, .Qrm = 2}},
    {BandPreset::Contest,
     "contest",
     {.Noise = true, .SnrDb = 12, .QsbHz = 0.2, .Qrn = 1, .Qrm = 4, .CallersPercent = 30}},
}};

const PresetEntry& EntryOf(BandPreset preset) {
    for (const PresetEntry& entry : PresetTable)
        if (entry.Preset == preset)
            return entry;
    return PresetTable.front();
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

bool ParseNumber(std::string_view text, double& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool SetValue(BandConditions& c, std::string_view key, double v) {
    if (key == "snr") {
        c.Noise = true;
        c.SnrDb = v;
    } else if (key == "bw") {
        c.BandwidthHz = static_cast<int>(v);
    } else if (key == "qsb") {
        c.QsbHz = v;
    } else if (key == "flutter") {
        c.FlutterHz = v;
    } else if (key == "qrn") {
        c.Qrn = static_cast<int>(v);
    } else if (key == "qrm") {
        c.Qrm = static_cast<int>(v);
    } else if (key == "callers") {
        c.CallersPercent = static_cast<int>(v);
    } else {
        return false;
    }
    return true;
}

} // namespace

BandConditions PresetConditions(BandPreset preset) {
    return EntryOf(preset).Conditions;
}

std::string_view PresetName(BandPreset preset) {
    return EntryOf(preset).Name;
}

std::optional<BandPreset> PresetFromName(std::string_view name) {
    for (const PresetEntry& entry : PresetTable)
        if (entry.Name == name)
            return entry.Preset;
    return std::nullopt;
}

std::optional<BandPreset> MatchingPreset(const BandConditions& conditions) {
    for (const PresetEntry& entry : PresetTable)
        if (entry.Conditions == conditions)
            return entry.Preset;
    return std::nullopt;
}

std::string DescribeConditions(const BandConditions& c) {
    if (const auto preset = MatchingPreset(c))
        return std::string(PresetName(*preset));
    std::string text;
    const auto add = [&text](const char* key, double value) {
        text += (text.empty() ? "" : " ") + std::string(key) + "=" + Number(value);
    };
    if (c.Noise)
        add("snr", c.SnrDb);
    add("bw", c.BandwidthHz);
    if (c.QsbHz > 0)
        add("qsb", c.QsbHz);
    if (c.FlutterHz > 0)
        add("flutter", c.FlutterHz);
    if (c.Qrn > 0)
        add("qrn", c.Qrn);
    if (c.Qrm > 0)
        add("qrm", c.Qrm);
    if (c.CallersPercent > 0)
        add("callers", c.CallersPercent);
    return text;
}

std::optional<BandConditions> ParseConditions(std::string_view text) {
    if (const auto preset = PresetFromName(text))
        return PresetConditions(*preset);
    BandConditions c;
    std::istringstream words{std::string(text)};
    std::string word;
    bool any = false;
    while (words >> word) {
        const auto equals = word.find('=');
        double value = 0;
        if (equals == std::string::npos ||
            !ParseNumber(std::string_view(word).substr(equals + 1), value) ||
            !SetValue(c, std::string_view(word).substr(0, equals), value))
            return std::nullopt;
        any = true;
    }
    if (!any)
        return std::nullopt;
    return c;
}

BandConditions ClampConditions(BandConditions c) {
    c.BandwidthHz = std::clamp(c.BandwidthHz, MinBandwidthHz, MaxBandwidthHz);
    c.SnrDb = std::clamp(c.SnrDb, MinSnrDb, MaxSnrDb);
    if (c.QsbHz > 0)
        c.QsbHz = std::clamp(c.QsbHz, MinQsbHz, MaxQsbHz);
    else
        c.QsbHz = 0;
    if (c.FlutterHz > 0)
        c.FlutterHz = std::clamp(c.FlutterHz, MinFlutterHz, MaxFlutterHz);
    else
        c.FlutterHz = 0;
    c.Qrn = std::clamp(c.Qrn, 0, MaxQrn);
    c.Qrm = std::clamp(c.Qrm, 0, MaxQrm);
    c.CallersPercent = std::clamp(c.CallersPercent, 0, 100);
    return c;
}

} // namespace tonvik
