#include "app/SoundDevice.h"

#include "keying/SoundOutput.h"

#include <iostream>

namespace tonvik {

std::unique_ptr<WaveOut> CreateSoundDevice() {
    std::string error;
    const std::optional<int> latency = LatencyFromEnvironment(error);
    if (!latency)
        std::cerr << "tonvik: " << error << "; the default is used\n";
    return CreateSoundOutput(latency.value_or(0));
}

std::unique_ptr<WaveOut> CreateBandDevice() {
    std::string error;
    return CreateSoundOutput(LatencyFromEnvironment(error).value_or(0));
}

} // namespace tonvik
