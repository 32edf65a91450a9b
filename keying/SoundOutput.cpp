#include "keying/SoundOutput.h"

#include "keying/PulseWaveOut.h"
#include "keying/SdlWaveOut.h"

#include <charconv>
#include <cstdlib>
#include <string_view>

namespace tonvik {

std::optional<int> LatencyFromEnvironment(std::string& error) {
    const char* value = std::getenv(LatencyVariable);
    if (value == nullptr || *value == '\0')
        return 0;
    const std::string_view text(value);
    int ms = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), ms);
    if (ec == std::errc() && end == text.data() + text.size() && ms >= MinLatencyMs &&
        ms <= MaxLatencyMs)
        return ms;
    error = std::string(LatencyVariable) + " must be a number of milliseconds, " +
            std::to_string(MinLatencyMs) + ".." + std::to_string(MaxLatencyMs);
    return std::nullopt;
}

std::unique_ptr<HeldWaveOut> CreateSoundOutput(int latencyMs) {
    const bool sdlChosen = std::getenv("SDL_AUDIODRIVER") != nullptr;
    if (!sdlChosen && PulseWaveOut::ServerAnswers()) {
        if (latencyMs == 0)
            return std::make_unique<PulseWaveOut>();
        return std::make_unique<PulseWaveOut>(std::chrono::milliseconds(latencyMs));
    }
    if (latencyMs == 0)
        return std::make_unique<SdlWaveOut>();
    return std::make_unique<SdlWaveOut>(latencyMs * 8); // samples at 8000 Hz
}

} // namespace tonvik
