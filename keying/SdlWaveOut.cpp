#include "keying/SdlWaveOut.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace tonvik {

namespace {

constexpr MmResult MmInvalidParam = 11;   // invalid parameter passed
constexpr MmResult WaveStillPlaying = 33; // still something playing
constexpr uint32_t HeaderPrepared = 0x2;  // the platform's "prepared" header flag

bool Playable(const WaveFormat& format) {
    const WaveFormat pcm = PcmFormat8k16Mono();
    return format.FormatTag == pcm.FormatTag && format.Channels == pcm.Channels &&
           format.SamplesPerSec == pcm.SamplesPerSec && format.BitsPerSample == pcm.BitsPerSample &&
           format.BlockAlign == pcm.BlockAlign;
}

} // namespace

SdlWaveOut::SdlWaveOut(std::chrono::milliseconds idleRelease) : IdleRelease(idleRelease) {}

SdlWaveOut::~SdlWaveOut() {
    {
        // The notifier may be gone with its window: drop the queue unannounced,
        // so the audio thread has nothing left to read or post.
        std::lock_guard lock(QueueMutex);
        Queue.clear();
        Notifier = nullptr;
        Current = 0;
    }
    {
        std::lock_guard lock(DeviceMutex);
        Stopping = true;
    }
    DeviceChanged.notify_all();
    if (Releaser.joinable())
        Releaser.join();
    std::lock_guard lock(DeviceMutex);
    ReleaseDevice();
}

MmResult SdlWaveOut::Open(WaveHandle* device, const WaveFormat& format, WaveNotifier* notifier) {
    if (device == nullptr || notifier == nullptr)
        return MmInvalidParam;
    if (!Playable(format))
        return WaveBadFormat;
    std::lock_guard deviceLock(DeviceMutex);
    if (LogicalOpen)
        return MmAllocated;
    if (const MmResult result = EnsureDevice(); result != MmNoError)
        return result;
    LogicalOpen = true;
    std::lock_guard queueLock(QueueMutex);
    if (++LastHandle == 0)
        ++LastHandle;
    Current = LastHandle;
    Notifier = notifier;
    *device = Current;
    Notifier->PostWaveMessage(WaveMessage::Open, Current, nullptr);
    return MmNoError;
}

MmResult SdlWaveOut::PrepareHeader(WaveHandle device, WaveHeader* header) {
    if (header == nullptr)
        return MmInvalidParam;
    std::lock_guard lock(QueueMutex);
    if (!Valid(device))
        return MmInvalidHandle;
    header->Flags |= HeaderPrepared;
    return MmNoError;
}

MmResult SdlWaveOut::UnprepareHeader(WaveHandle, WaveHeader* header) {
    if (header == nullptr)
        return MmInvalidParam;
    std::lock_guard lock(QueueMutex);
    if (IsQueued(header))
        return WaveStillPlaying;
    header->Flags &= ~HeaderPrepared;
    return MmNoError;
}

MmResult SdlWaveOut::Write(WaveHandle device, WaveHeader* header) {
    if (header == nullptr)
        return MmInvalidParam;
    std::lock_guard lock(QueueMutex);
    if (!Valid(device))
        return MmInvalidHandle;
    if ((header->Flags & HeaderPrepared) == 0)
        return WaveUnprepared;
    // Whole samples only: a stray odd byte would shift every later sample.
    const uint32_t bytes = header->BufferLength & ~uint32_t{1};
    if (bytes > 0 && header->Data == nullptr)
        return MmInvalidParam;
    if (IsQueued(header))
        return WaveStillPlaying;
    Queue.push_back({header, reinterpret_cast<const uint8_t*>(header->Data), bytes, 0});
    CompleteEmptyAtHead();
    return MmNoError;
}

MmResult SdlWaveOut::Reset(WaveHandle device) {
    std::lock_guard lock(QueueMutex);
    if (!Valid(device))
        return MmInvalidHandle;
    ReturnAll();
    return MmNoError;
}

MmResult SdlWaveOut::Close(WaveHandle device) {
    {
        std::lock_guard lock(QueueMutex);
        if (!Valid(device))
            return MmInvalidHandle;
        ReturnAll();
        Notifier->PostWaveMessage(WaveMessage::Close, Current, nullptr);
        Notifier = nullptr;
        Current = 0;
    }
    {
        std::lock_guard lock(DeviceMutex);
        LogicalOpen = false;
        IdleSince = Clock::now();
    }
    DeviceChanged.notify_all();
    return MmNoError;
}

bool SdlWaveOut::PhysicalDeviceOpen() const {
    std::lock_guard lock(DeviceMutex);
    return PhysicalId != 0;
}

bool SdlWaveOut::WaitUntilReleased(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(DeviceMutex);
    return DeviceChanged.wait_for(lock, timeout, [this] { return PhysicalId == 0; });
}

std::string SdlWaveOut::LastError() const {
    std::lock_guard lock(DeviceMutex);
    return ErrorText;
}

// --- the playing side (QueueMutex held) ---

void SdlWaveOut::Feed(void* self, uint8_t* stream, int length) {
    static_cast<SdlWaveOut*>(self)->FillStream(stream, length);
}

void SdlWaveOut::FillStream(uint8_t* stream, int length) {
    const auto wanted = static_cast<uint32_t>(std::max(length, 0));
    uint32_t filled = 0;
    std::lock_guard lock(QueueMutex);
    while (filled < wanted && !Queue.empty()) {
        Queued& head = Queue.front();
        const uint32_t chunk = std::min(head.Bytes - head.Taken, wanted - filled);
        std::memcpy(stream + filled, head.Data + head.Taken, chunk);
        head.Taken += chunk;
        filled += chunk;
        if (head.Taken == head.Bytes) {
            Notifier->PostWaveMessage(WaveMessage::Done, Current, head.Header);
            Queue.pop_front();
            CompleteEmptyAtHead();
        }
    }
    std::memset(stream + filled, 0, wanted - filled); // silence of signed 16-bit
}

// Keeps the head of the queue a buffer with something to play, so that a
// zero-length buffer completes as soon as it is reached.
void SdlWaveOut::CompleteEmptyAtHead() {
    while (!Queue.empty() && Queue.front().Bytes == 0) {
        Notifier->PostWaveMessage(WaveMessage::Done, Current, Queue.front().Header);
        Queue.pop_front();
    }
}

void SdlWaveOut::ReturnAll() {
    for (const Queued& entry : Queue)
        Notifier->PostWaveMessage(WaveMessage::Done, Current, entry.Header);
    Queue.clear();
}

bool SdlWaveOut::IsQueued(const WaveHeader* header) const {
    return std::any_of(Queue.begin(), Queue.end(),
                       [header](const Queued& entry) { return entry.Header == header; });
}

// --- the SDL side (DeviceMutex held) ---

MmResult SdlWaveOut::EnsureDevice() {
    if (PhysicalId != 0 && SDL_GetAudioDeviceStatus(PhysicalId) != SDL_AUDIO_STOPPED)
        return MmNoError;
    ReleaseDevice(); // none yet, or lost (unplugged, server gone): start afresh
    if (const MmResult result = StartAudio(); result != MmNoError)
        return result;
    SDL_AudioSpec wanted{};
    wanted.freq = 8000;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 1;
    wanted.samples = PeriodSamples;
    wanted.callback = &SdlWaveOut::Feed;
    wanted.userdata = this;
    // No changes allowed: SDL converts to whatever the hardware takes.
    const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (id == 0) {
        ErrorText = SDL_GetError();
        ReleaseDevice(); // the next Open chooses the driver again
        return MmBadDeviceId;
    }
    SDL_PauseAudioDevice(id, 0);
    PhysicalId = id;
    if (!Releaser.joinable())
        Releaser = std::thread([this] { IdleLoop(); });
    return MmNoError;
}

MmResult SdlWaveOut::StartAudio() {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        ErrorText = SDL_GetError();
        return MmNoDriver;
    }
    AudioUp = true;
    return MmNoError;
}

// Closes the device and shuts SDL's audio down with it, so that an idle program
// keeps no driver threads and the next opening finds a restarted sound server.
// Joins SDL's audio thread, which waits for a running FillStream: never call
// with QueueMutex held.
void SdlWaveOut::ReleaseDevice() {
    if (PhysicalId != 0)
        SDL_CloseAudioDevice(PhysicalId);
    PhysicalId = 0;
    if (AudioUp)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    AudioUp = false;
    DeviceChanged.notify_all();
}

// Closes the physical device once nothing has been open for IdleRelease. Woken
// by every Close (which restarts the count) and by destruction.
void SdlWaveOut::IdleLoop() {
    std::unique_lock lock(DeviceMutex);
    while (!Stopping) {
        if (PhysicalId == 0 || LogicalOpen) {
            DeviceChanged.wait(lock);
            continue;
        }
        const Clock::time_point deadline = IdleSince + IdleRelease;
        if (Clock::now() < deadline) {
            DeviceChanged.wait_until(lock, deadline);
            continue;
        }
        ReleaseDevice();
    }
}

} // namespace tonvik
