#pragma once

#include "keying/WaveOut.h"
#include "keying/WaveQueue.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace tonvik {

// A waveform device whose physical side (an SDL device, a sound-server stream)
// is kept open across logical opens, so that opening for the next callsign
// costs nothing and reaches the sound at once. Each Open is a logical device
// with a handle of its own (WaveQueue holds that side). Once no logical device
// has been open for the idle-release delay, a helper thread closes the
// physical device: the device stops reading the queue under the lock, and is
// closed with the lock open, so that an Open meanwhile never waits for the
// close (it starts a physical device of its own). An Open that finds the
// physical device stopped (the server went away) starts a new one.
//
// Open, Write, Reset, Close, PrepareHeader and UnprepareHeader belong to one
// thread (the GUI thread); the notifier is called from the device's thread
// too. Destroying the object drops whatever is still queued without notices
// and stops every thread it started.
class HeldWaveOut : public WaveOut {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds DefaultIdleRelease{10000};

    explicit HeldWaveOut(std::chrono::milliseconds idleRelease);
    ~HeldWaveOut() override;
    HeldWaveOut(const HeldWaveOut&) = delete;
    HeldWaveOut& operator=(const HeldWaveOut&) = delete;

    // 0 on success, posting Open. Otherwise, with nothing posted: WaveBadFormat
    // for any format but 8000 Hz 16-bit mono PCM, MmAllocated while a logical
    // device is open, MmNoDriver when there is no usable sound system,
    // MmBadDeviceId when it has no device that opens. A later Open tries again.
    MmResult Open(WaveHandle* device, const WaveFormat& format, WaveNotifier* notifier) override;
    MmResult PrepareHeader(WaveHandle device, WaveHeader* header) override;
    MmResult UnprepareHeader(WaveHandle device, WaveHeader* header) override;
    MmResult Write(WaveHandle device, WaveHeader* header) override;
    MmResult Reset(WaveHandle device) override;
    MmResult Close(WaveHandle device) override;
    MmResult Status(WaveHandle device) const override;
    uint64_t Starvations() const override;

    // True while the physical device is open.
    bool PhysicalDeviceOpen() const;
    // Waits until the physical device is closed, or the timeout passes; true if closed.
    bool WaitUntilReleased(std::chrono::milliseconds timeout) const;
    // The sound system's text for the last failed Open.
    std::string LastError() const;

protected:
    // Each of these runs with the device lock held.
    // Starts the physical device; on failure fills `error` and returns the code.
    virtual MmResult StartPhysical(std::string& error) = 0;
    // Whether the physical device that is up still plays.
    virtual bool PhysicalPlays() = 0;
    // Stops the device reading the queue; what it returns closes the device
    // and runs without the lock.
    virtual std::function<void()> DetachPhysical() = 0;
    // No physical device is up or closing any more.
    virtual void AllClosed() {}

    // The first thing every derived destructor does: stops the helper thread
    // and closes the physical device while the derived object still exists.
    void Shutdown();

    WaveQueue Queue;

private:
    MmResult EnsurePhysical();
    void IdleLoop();
    void ReleaseOutsideLock(std::unique_lock<std::mutex>& lock);

    const std::chrono::milliseconds IdleRelease;
    mutable std::mutex DeviceMutex; // always taken before the queue's lock
    mutable std::condition_variable DeviceChanged;
    bool Up = false;
    int Closing = 0; // physical devices being closed outside the lock
    bool LogicalOpen = false;
    Clock::time_point IdleSince{};
    bool Stopping = false;
    std::string ErrorText;
    std::thread Releaser;
};

} // namespace tonvik
