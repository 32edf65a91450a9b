#include "app/SoundDevice.h"

#include "keying/SdlWaveOut.h"

namespace tonvik {

std::unique_ptr<WaveOut> CreateSoundDevice() {
    return std::make_unique<SdlWaveOut>();
}

} // namespace tonvik
