#pragma once

#include "keying/HeldWaveOut.h"

#include <atomic>
#include <chrono>
#include <cstdint>

namespace tonvik {

// The waveform-output service on SDL2 audio (PipeWire, PulseAudio, ALSA, ...),
// 8000 Hz 16-bit mono with the period given at construction. SDL's audio
// thread pulls the written buffers from the queue in its callback, in order
// and back to back, fills silence when the queue is empty and completes each
// buffer once it has been handed over in full. SDL closes a device by joining
// its audio thread, which the GUI thread must not wait for: the idle release
// does it on the helper thread.
//
// A device that SDL reports stopped while open (the sound server went away;
// SDL then goes on calling back at real-time pace) completes every buffer at
// once and makes Status WaveDeviceGone. Starvations counts callbacks that
// came more than half a period late while keying, when the sound queued
// ahead (SDL's buffer and the server's) had run out: an estimate, since SDL
// does not pass the server's underrun reports on. It also counts buffers
// written after the queue had run dry in the middle of keying.
class SdlWaveOut : public HeldWaveOut {
public:
    static constexpr int DefaultPeriodSamples = 192; // 24 ms at 8000 Hz

    explicit SdlWaveOut(int periodSamples = DefaultPeriodSamples,
                        std::chrono::milliseconds idleRelease = DefaultIdleRelease);
    ~SdlWaveOut() override;

protected:
    MmResult StartPhysical(std::string& error) override;
    bool PhysicalPlays() override;
    std::function<void()> DetachPhysical() override;
    void AllClosed() override;

private:
    static void Feed(void* self, uint8_t* stream, int length);
    void FillStream(uint8_t* stream, int length);
    void NoteCallback();

    const int PeriodSamples;
    // Under the device lock.
    bool AudioUp = false;
    uint32_t PhysicalId = 0;
    // SDL's audio thread only, but for FeedingId, which Start and Detach set
    // while that device's callback cannot run.
    std::atomic<uint32_t> FeedingId{0};
    bool Playing = false; // the last callback took sound from the queue
    Clock::time_point LastCallback{};
};

} // namespace tonvik
