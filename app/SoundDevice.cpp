#include "SoundDevice.h"

#include "TestWaveOut.h"

namespace tonvik {

std::unique_ptr<WaveOut> CreateSoundDevice() {
    // A silent device that finishes every buffer at once, until the SDL
    // device takes its place.
    auto device = std::make_unique<TestWaveOut>();
    device->AutoComplete = true;
    return device;
}

} // namespace tonvik
