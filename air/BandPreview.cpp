#include "air/BandPreview.h"

#include "air/Band.h"

#include <algorithm>

namespace tonvik {
namespace {

// Keys the characters of call into out while each fits whole in room
// samples; gives the samples keyed and whether the whole call fitted.
struct Keyed {
    int64_t Samples = 0;
    bool Whole = true;
};
Keyed KeyCall(Keyer& keyer, const KeyerSettings& keying, const std::string& call, int16_t* out,
              int64_t room) {
    Keyed keyed;
    for (const char ch : call) {
        CharRendering plan = keyer.PlanChar(static_cast<unsigned char>(ch), keying);
        if (plan.TotalSamples() > room - keyed.Samples) {
            keyed.Whole = false;
            break;
        }
        keyed.Samples += keyer.RenderInto(plan, out + keyed.Samples, plan.TotalSamples());
    }
    return keyed;
}

} // namespace

std::vector<int16_t> RenderBandPreview(const BandConditions& conditions,
                                       const PreviewSetup& setup) {
    KeyerSettings keying = setup.Keying;
    keying.ActivePage = CallsignPage;
    Keyer keyer;
    keyer.BuildSineTable(setup.VolumeFactor);
    BandSetup band;
    band.PitchHz = static_cast<double>(keying.ToneFreq);
    band.DotSamples = keying.DotSamples;
    band.VolumeFactor = setup.VolumeFactor;
    band.Seed = setup.Seed;
    band.Callsigns = setup.StationCalls;
    Band air(conditions, std::move(band));

    std::vector<int16_t> out(PreviewSamples);
    int16_t* const samples = out.data();
    int64_t at = 0;
    for (const std::string& call : setup.Calls) {
        const Keyed keyed = KeyCall(keyer, keying, call, samples + at, PreviewSamples - at);
        if (keyed.Samples == 0)
            break;
        air.CallsignStarts(call);
        air.Process(samples + at, samples + at, keyed.Samples);
        at += keyed.Samples;
        if (!keyed.Whole)
            break;
        const int64_t pause = std::min<int64_t>(PreviewPauseSamples, PreviewSamples - at);
        air.Silence(samples + at, pause);
        at += pause;
    }
    air.Silence(samples + at, PreviewSamples - at);
    return out;
}

} // namespace tonvik
