#pragma once

#include "air/Band.h"
#include "air/BandBed.h"
#include "air/BandConditions.h"
#include "keying/WaveOut.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tonvik {

// The band an exercise is heard through: the chosen conditions, kept between
// exercises, and while one runs, the band over the keying stream and, on a
// device of its own when there is one, its background, which goes on while
// the keying stream is closed between callsigns.
class ExerciseBand {
public:
    // The conditions of the next exercises, and callsigns for their other
    // stations; all off: the keyer's samples as they are.
    void Choose(const BandConditions& conditions, std::vector<std::string> callsigns);
    const BandConditions& Chosen() const { return Conditions; }

    // The device for the background; device and notifier must outlive this
    // object, and the notifier's receiver hands its notices to Dispatch.
    void SetDevice(WaveOut& device, WaveNotifier& notifier);
    void Dispatch(WaveMessage message, WaveHandle device, WaveHeader* header);
    bool BackgroundPlaying() const { return Bed && Bed->Playing(); }

    // An exercise begins: a fresh band from keying.Seed, at the keyer's
    // figures; a second caller only for callsigns.
    void TuneIn(BandSetup keying, bool callsigns);
    // It ends: silence on both streams.
    void TuneOut();
    bool Tuned() const { return Air != nullptr; }

    // A buffer of the keying stream, at our pitch now; starting is the
    // callsign begun in it, if any.
    void Keyed(int16_t* samples, int64_t count, double pitchHz, std::string_view starting);

private:
    BandConditions Conditions;
    std::vector<std::string> Calls;
    std::unique_ptr<Band> Air; // over the keying stream, while an exercise runs
    std::unique_ptr<BandBed> Bed;
};

} // namespace tonvik
