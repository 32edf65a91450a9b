#pragma once

#include "keying/WaveOut.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

namespace tonvik {

// The waveform-output service on SDL2 audio (PipeWire, PulseAudio, ALSA, ...).
//
// One physical SDL device, 8000 Hz 16-bit mono with a 192-sample period, is
// kept open across logical opens, so that opening for the next callsign costs
// nothing and reaches the sound within one period. Each Open is a logical
// device with a handle of its own, never reused by this object. SDL's audio
// thread pulls the written buffers from a queue, in order and back to back,
// fills silence when the queue is empty and posts Done through the notifier
// given at Open as each buffer has been handed over in full. A zero-length
// buffer completes when it reaches the head of the queue: at once if nothing
// is queued ahead of it, otherwise right after the buffer before it.
//
// Reset posts Done for every queued buffer in queue order, under the same lock
// the audio thread reads under, so once it returns the device never touches
// those buffers again; Close does the same and then posts Close, after which
// nothing is posted for that handle. Once no logical device has been open for
// the idle-release delay, a helper thread closes the physical device and SDL's
// audio with it (closing joins SDL's audio thread, which the GUI thread must
// not wait for); the next Open starts them again.
//
// Open, Write, Reset, Close, PrepareHeader and UnprepareHeader belong to one
// thread (the GUI thread); the notifier is called from SDL's audio thread too.
// Destroying the object drops whatever is still queued without notices and
// stops every thread it started.
class SdlWaveOut : public WaveOut {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds DefaultIdleRelease{10000};
    static constexpr int PeriodSamples = 192; // 24 ms at 8000 Hz

    explicit SdlWaveOut(std::chrono::milliseconds idleRelease = DefaultIdleRelease);
    ~SdlWaveOut() override;
    SdlWaveOut(const SdlWaveOut&) = delete;
    SdlWaveOut& operator=(const SdlWaveOut&) = delete;

    // 0 on success, posting Open. Otherwise, with nothing posted: WaveBadFormat
    // for any format but 8000 Hz 16-bit mono PCM, MmAllocated while a logical
    // device is open, MmNoDriver when SDL has no usable audio driver,
    // MmBadDeviceId when the driver has no device that opens. A later Open
    // tries the driver and the device again.
    MmResult Open(WaveHandle* device, const WaveFormat& format, WaveNotifier* notifier) override;
    MmResult PrepareHeader(WaveHandle device, WaveHeader* header) override;
    // 33 while the header is queued; succeeds on a closed handle too.
    MmResult UnprepareHeader(WaveHandle device, WaveHeader* header) override;
    // WaveUnprepared for a header not prepared, 33 (still something playing)
    // for one already queued, 11 (invalid parameter) for no data. An odd
    // trailing byte is not played.
    MmResult Write(WaveHandle device, WaveHeader* header) override;
    MmResult Reset(WaveHandle device) override;
    MmResult Close(WaveHandle device) override;

    // True while the SDL device is open.
    bool PhysicalDeviceOpen() const;
    // Waits until the SDL device is closed, or the timeout passes; true if closed.
    bool WaitUntilReleased(std::chrono::milliseconds timeout) const;
    // SDL's text for the last failed Open.
    std::string LastError() const;

private:
    struct Queued {
        WaveHeader* Header = nullptr;
        const uint8_t* Data = nullptr;
        uint32_t Bytes = 0;
        uint32_t Taken = 0;
    };

    static void Feed(void* self, uint8_t* stream, int length);
    void FillStream(uint8_t* stream, int length);
    void CompleteEmptyAtHead();
    void ReturnAll();
    bool IsQueued(const WaveHeader* header) const;
    bool Valid(WaveHandle device) const { return device != 0 && device == Current; }

    MmResult EnsureDevice();
    MmResult StartAudio();
    void ReleaseDevice();
    void IdleLoop();

    const std::chrono::milliseconds IdleRelease;

    // The SDL side: subsystem, physical device, idle release. Under DeviceMutex,
    // which is always taken before QueueMutex.
    mutable std::mutex DeviceMutex;
    mutable std::condition_variable DeviceChanged;
    bool AudioUp = false;
    uint32_t PhysicalId = 0;
    bool LogicalOpen = false;
    Clock::time_point IdleSince{};
    bool Stopping = false;
    std::string ErrorText;
    std::thread Releaser;

    // The playing side, shared with SDL's audio thread. Under QueueMutex.
    std::mutex QueueMutex;
    std::deque<Queued> Queue;
    WaveNotifier* Notifier = nullptr;
    WaveHandle Current = 0;
    WaveHandle LastHandle = 0;
};

} // namespace tonvik
