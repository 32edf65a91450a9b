#pragma once

#include "keying/WaveOut.h"

#include <memory>

namespace tonvik {

// The waveform device the trainer window plays through.
std::unique_ptr<WaveOut> CreateSoundDevice();

} // namespace tonvik
