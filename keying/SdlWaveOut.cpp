#include "keying/SdlWaveOut.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace tonvik {

SdlWaveOut::SdlWaveOut(int periodSamples, std::chrono::milliseconds idleRelease)
    : HeldWaveOut(idleRelease), PeriodSamples(periodSamples) {}

SdlWaveOut::~SdlWaveOut() {
    Shutdown();
}

void SdlWaveOut::Feed(void* self, uint8_t* stream, int length) {
    static_cast<SdlWaveOut*>(self)->FillStream(stream, length);
}

void SdlWaveOut::FillStream(uint8_t* stream, int length) {
    const auto wanted = static_cast<uint32_t>(std::max(length, 0));
    NoteCallback();
    const uint32_t filled = Queue.Take(stream, wanted);
    std::memset(stream + filled, 0, wanted - filled); // silence of signed 16-bit
    if (filled < wanted && (filled > 0 || Playing))
        Queue.MarkRanDry();
    Playing = filled > 0;
}

void SdlWaveOut::NoteCallback() {
    const Clock::time_point now = Clock::now();
    // Callbacks come once a period; SDL's buffer and the server's hold about
    // one period between them, so one that is half a period late has let
    // the server run dry.
    const auto covered = std::chrono::microseconds(PeriodSamples * 125 * 3 / 2);
    if (Playing && now - LastCallback > covered)
        Queue.CountStarvation();
    LastCallback = now;
    // SDL goes on calling back at real-time pace once its device has stopped.
    const uint32_t id = FeedingId;
    if (id != 0 && SDL_GetAudioDeviceStatus(id) == SDL_AUDIO_STOPPED)
        Queue.MarkLost();
}

MmResult SdlWaveOut::StartPhysical(std::string& error) {
    if (!AudioUp) {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            error = SDL_GetError();
            return MmNoDriver;
        }
        AudioUp = true;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = 8000;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 1;
    wanted.samples = static_cast<Uint16>(PeriodSamples);
    wanted.callback = &SdlWaveOut::Feed;
    wanted.userdata = this;
    // No changes allowed: SDL converts to whatever the hardware takes.
    const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (id == 0) {
        error = SDL_GetError();
        return MmBadDeviceId;
    }
    Playing = false;
    FeedingId = id;
    SDL_PauseAudioDevice(id, 0);
    PhysicalId = id;
    return MmNoError;
}

bool SdlWaveOut::PhysicalPlays() {
    return SDL_GetAudioDeviceStatus(PhysicalId) != SDL_AUDIO_STOPPED;
}

std::function<void()> SdlWaveOut::DetachPhysical() {
    const uint32_t id = PhysicalId;
    PhysicalId = 0;
    SDL_PauseAudioDevice(id, 1); // waits for a running callback; none follows
    FeedingId = 0;
    return [id] { SDL_CloseAudioDevice(id); };
}

// Shuts SDL's audio down with the last device, so that an idle program keeps
// no driver threads and the next opening finds a restarted sound server.
void SdlWaveOut::AllClosed() {
    if (AudioUp)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    AudioUp = false;
}

} // namespace tonvik
