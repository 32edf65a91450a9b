#include "keying/HeldWaveOut.h"

namespace tonvik {

namespace {

bool Playable(const WaveFormat& format) {
    const WaveFormat pcm = PcmFormat8k16Mono();
    return format.FormatTag == pcm.FormatTag && format.Channels == pcm.Channels &&
           format.SamplesPerSec == pcm.SamplesPerSec && format.BitsPerSample == pcm.BitsPerSample &&
           format.BlockAlign == pcm.BlockAlign;
}

} // namespace

HeldWaveOut::HeldWaveOut(std::chrono::milliseconds idleRelease) : IdleRelease(idleRelease) {}

HeldWaveOut::~HeldWaveOut() = default;

void HeldWaveOut::Shutdown() {
    // The notifier may be gone with its window: drop the queue unannounced,
    // so the device's thread has nothing left to read or post.
    Queue.Drop();
    {
        std::lock_guard lock(DeviceMutex);
        Stopping = true;
    }
    DeviceChanged.notify_all();
    if (Releaser.joinable())
        Releaser.join();
    std::lock_guard lock(DeviceMutex);
    if (Up)
        DetachPhysical()();
    Up = false;
    if (Closing == 0)
        AllClosed();
}

MmResult HeldWaveOut::Open(WaveHandle* device, const WaveFormat& format, WaveNotifier* notifier) {
    if (device == nullptr || notifier == nullptr)
        return MmInvalidParam;
    if (!Playable(format))
        return WaveBadFormat;
    std::lock_guard lock(DeviceMutex);
    if (LogicalOpen)
        return MmAllocated;
    if (const MmResult result = EnsurePhysical(); result != MmNoError)
        return result;
    LogicalOpen = true;
    Queue.OpenLogical(device, notifier);
    return MmNoError;
}

MmResult HeldWaveOut::EnsurePhysical() {
    if (Up && PhysicalPlays())
        return MmNoError;
    if (Up) {
        DetachPhysical()(); // lost (unplugged, server gone): start afresh
        Up = false;
        if (Closing == 0)
            AllClosed();
    }
    if (const MmResult result = StartPhysical(ErrorText); result != MmNoError) {
        if (Closing == 0)
            AllClosed(); // the next Open chooses the driver again
        return result;
    }
    Up = true;
    Queue.ClearLost();
    if (!Releaser.joinable())
        Releaser = std::thread([this] { IdleLoop(); });
    DeviceChanged.notify_all();
    return MmNoError;
}

MmResult HeldWaveOut::PrepareHeader(WaveHandle device, WaveHeader* header) {
    return Queue.Prepare(device, header);
}

MmResult HeldWaveOut::UnprepareHeader(WaveHandle device, WaveHeader* header) {
    return Queue.Unprepare(device, header);
}

MmResult HeldWaveOut::Write(WaveHandle device, WaveHeader* header) {
    return Queue.Write(device, header);
}

MmResult HeldWaveOut::Reset(WaveHandle device) {
    return Queue.Reset(device);
}

MmResult HeldWaveOut::Close(WaveHandle device) {
    if (const MmResult result = Queue.Close(device); result != MmNoError)
        return result;
    {
        std::lock_guard lock(DeviceMutex);
        LogicalOpen = false;
        IdleSince = Clock::now();
    }
    DeviceChanged.notify_all();
    return MmNoError;
}

MmResult HeldWaveOut::Status(WaveHandle device) const {
    return Queue.Status(device);
}

uint64_t HeldWaveOut::Starvations() const {
    return Queue.Starvations();
}

bool HeldWaveOut::PhysicalDeviceOpen() const {
    std::lock_guard lock(DeviceMutex);
    return Up;
}

bool HeldWaveOut::WaitUntilReleased(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(DeviceMutex);
    return DeviceChanged.wait_for(lock, timeout, [this] { return !Up && Closing == 0; });
}

std::string HeldWaveOut::LastError() const {
    std::lock_guard lock(DeviceMutex);
    return ErrorText;
}

// Closes the physical device once nothing has been open for IdleRelease. Woken
// by every Close (which restarts the count), every start and by destruction.
void HeldWaveOut::IdleLoop() {
    std::unique_lock lock(DeviceMutex);
    while (!Stopping) {
        if (!Up || LogicalOpen) {
            DeviceChanged.wait(lock);
            continue;
        }
        const Clock::time_point deadline = IdleSince + IdleRelease;
        if (Clock::now() < deadline) {
            DeviceChanged.wait_until(lock, deadline);
            continue;
        }
        ReleaseOutsideLock(lock);
    }
}

void HeldWaveOut::ReleaseOutsideLock(std::unique_lock<std::mutex>& lock) {
    const std::function<void()> close = DetachPhysical();
    Up = false;
    ++Closing;
    lock.unlock();
    close();
    lock.lock();
    --Closing;
    if (!Up && Closing == 0)
        AllClosed();
    DeviceChanged.notify_all();
}

} // namespace tonvik
