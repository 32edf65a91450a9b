#include "cli/BandOptions.h"

#include "callsign/CallsignList.h"
#include "callsign/CallsignListLocation.h"
#include "cli/OptionValue.h"

#include <charconv>
#include <random>

namespace tonvik {
namespace {

std::optional<double> ToNumber(const std::string& text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty())
        return std::nullopt;
    return value;
}

std::string Shown(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// A number in [min, max] into an optional field; whole numbers only unless
// fractions are allowed.
template <typename T>
OptionDef Value(std::string name, std::string value, std::string help,
                std::optional<T> CliOptions::*field, double min, double max) {
    help += " (" + Shown(min) + ".." + Shown(max) + ")";
    return {name,
            "",
            std::move(value),
            std::move(help),
            {},
            [name, field, min, max](CliOptions& o, const std::string& text) {
                const auto n = ToNumber(text);
                const bool whole = std::is_integral_v<T>;
                if (!n || *n < min || *n > max || (whole && *n != static_cast<T>(*n)))
                    return name + " takes " + (whole ? "a whole number" : "a number") + " from " +
                           Shown(min) + " to " + Shown(max) + ", not " + QuoteValue(text);
                o.*field = static_cast<T>(*n);
                return std::string();
            }};
}

std::string PresetList() {
    std::string list;
    for (auto p : {BandPreset::Clean, BandPreset::Good, BandPreset::Average, BandPreset::Poor,
                   BandPreset::Contest})
        list += (list.empty() ? "" : "|") + std::string(PresetName(p));
    return list;
}

} // namespace

const std::vector<std::string> BandOptionNames{"--conditions", "--snr",     "--bandwidth",
                                               "--qsb",        "--flutter", "--qrn",
                                               "--qrm",        "--callers", "--seed"};

void AppendBandOptions(std::vector<OptionDef>& catalogue) {
    catalogue.push_back({"--conditions",
                         "",
                         PresetList(),
                         "the band it is heard through (default clean)",
                         {"clean", "good", "average", "poor", "contest"},
                         [](CliOptions& o, const std::string& text) {
                             if (!PresetFromName(text))
                                 return "--conditions takes one of " + PresetList() + ", not " +
                                        QuoteValue(text);
                             o.Conditions = text;
                             return std::string();
                         }});
    catalogue.push_back(Value("--snr", "DB", "noise: key-down over passband noise, dB",
                              &CliOptions::Snr, MinSnrDb, MaxSnrDb));
    catalogue.push_back(Value("--bandwidth", "HZ", "the receiver's filter width in Hz",
                              &CliOptions::Bandwidth, MinBandwidthHz, MaxBandwidthHz));
    catalogue.push_back(Value("--qsb", "HZ", "slow fading at this rate; 0 for none",
                              &CliOptions::Qsb, 0, MaxQsbHz));
    catalogue.push_back({"--flutter",
                         "",
                         "",
                         "fast fading, as on an auroral path",
                         {},
                         [](CliOptions& o, const std::string&) {
                             o.Flutter = true;
                             return std::string();
                         }});
    catalogue.push_back(
        Value("--qrn", "N", "static crashes, 0 for none", &CliOptions::Qrn, 0, MaxQrn));
    catalogue.push_back(
        Value("--qrm", "N", "other stations keying near the pitch", &CliOptions::Qrm, 0, MaxQrm));
    catalogue.push_back(Value("--callers", "PERCENT", "callsign mode: chance of a second caller",
                              &CliOptions::Callers, 0, 100));
}

std::string CheckBandOptions(const CliOptions& o) {
    if (o.Callers && *o.Callers > 0 && o.Mode != "callsign")
        return "--callers goes with --mode callsign";
    if (o.Qsb && *o.Qsb > 0 && *o.Qsb < MinQsbHz)
        return "--qsb takes 0 or a rate from " + Shown(MinQsbHz) + " to " + Shown(MaxQsbHz) + " Hz";
    return "";
}

BandConditions CommandConditions(const CliOptions& o) {
    BandConditions c = PresetConditions(PresetFromName(o.Conditions).value_or(BandPreset::Clean));
    if (o.Snr) {
        c.Noise = true;
        c.SnrDb = *o.Snr;
    }
    if (o.Bandwidth)
        c.BandwidthHz = *o.Bandwidth;
    if (o.Qsb)
        c.QsbHz = *o.Qsb;
    if (o.Flutter)
        c.FlutterHz = DefaultFlutterHz;
    if (o.Qrn)
        c.Qrn = *o.Qrn;
    if (o.Qrm)
        c.Qrm = *o.Qrm;
    if (o.Callers)
        c.CallersPercent = o.Mode == "callsign" ? *o.Callers : 0;
    else if (o.Mode != "callsign")
        c.CallersPercent = 0; // a second caller answers callsigns only
    return c;
}

uint64_t CommandBandSeed(const CliOptions& o) {
    if (o.Seed)
        return *o.Seed;
    return (static_cast<uint64_t>(std::random_device{}()) << 32) ^ std::random_device{}();
}

std::vector<std::string> BandCallsigns(std::size_t limit) {
    const CallsignList list = CallsignList::Load(ChooseCallsignList().Path);
    std::vector<std::string> calls;
    for (int i = 0; i < list.Count() && calls.size() < limit; ++i) {
        const std::string_view line = list.Line(i);
        const std::string call(line.substr(0, line.find(',')));
        if (!call.empty() && call.size() <= 12)
            calls.push_back(call);
    }
    return calls;
}

} // namespace tonvik
