#include "air/ExerciseBand.h"

namespace tonvik {

void ExerciseBand::Choose(const BandConditions& conditions, std::vector<std::string> callsigns) {
    Conditions = conditions;
    Calls = std::move(callsigns);
}

void ExerciseBand::SetDevice(WaveOut& device, WaveNotifier& notifier) {
    Bed = std::make_unique<BandBed>(device, notifier);
}

void ExerciseBand::Dispatch(WaveMessage message, WaveHandle device, WaveHeader* header) {
    if (Bed)
        Bed->Dispatch(message, device, header);
}

// The background goes to its own device when that opens, and the keying
// stream then carries our signal alone; otherwise the keying stream carries
// the whole band.
void ExerciseBand::TuneIn(BandSetup keying, bool callsigns) {
    TuneOut();
    if (!Conditions.AnyOn())
        return;
    keying.Callsigns = Calls;
    BandConditions conditions = Conditions;
    if (!callsigns)
        conditions.CallersPercent = 0;
    keying.Part = BandPart::Whole;
    if (Bed) {
        BandSetup background = keying;
        background.Part = BandPart::Background;
        auto band = std::make_unique<Band>(conditions, std::move(background));
        if (band->HasBackground() && Bed->Start(std::move(band)))
            keying.Part = BandPart::Signal;
    }
    Air = std::make_unique<Band>(conditions, std::move(keying));
}

void ExerciseBand::TuneOut() {
    Air.reset();
    if (Bed)
        Bed->Stop();
}

void ExerciseBand::Keyed(int16_t* samples, int64_t count, double pitchHz,
                         std::string_view starting) {
    if (!Air)
        return;
    Band* background = Bed ? Bed->Air() : nullptr;
    Air->SetPitch(pitchHz);
    if (background != nullptr)
        background->SetPitch(pitchHz);
    if (!starting.empty()) {
        // The background runs ahead of the keying stream, whose first
        // character plays at once: its caller is brought forward as much.
        if (background != nullptr)
            background->CallsignStarts(starting, Bed->AheadSamples());
        else
            Air->CallsignStarts(starting);
    }
    Air->Process(samples, samples, count);
}

} // namespace tonvik
