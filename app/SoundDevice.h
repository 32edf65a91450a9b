#pragma once

#include "keying/WaveOut.h"

#include <memory>

namespace tonvik {

// The waveform device the trainer window plays through.
std::unique_ptr<WaveOut> CreateSoundDevice();
// A second device of the same kind and latency, for the band's background;
// a latency setting out of range was reported by the first.
std::unique_ptr<WaveOut> CreateBandDevice();

} // namespace tonvik
