#pragma once

#include "keying/WaveOut.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

namespace tonvik {

// A waveform device for tests and for rendering without sound. It records
// every buffer written, in order, and completes buffers only when told to
// (CompleteNext), unless AutoComplete is set, in which case each buffer is
// done as soon as it is written. Notifications go to the notifier given at
// Open, so every order the pump must handle can be produced on purpose.
class TestWaveOut : public WaveOut {
public:
    MmResult Open(WaveHandle* device, const WaveFormat& format, WaveNotifier* notifier) override;
    MmResult PrepareHeader(WaveHandle device, WaveHeader* header) override;
    MmResult UnprepareHeader(WaveHandle device, WaveHeader* header) override;
    MmResult Write(WaveHandle device, WaveHeader* header) override;
    MmResult Reset(WaveHandle device) override;
    MmResult Close(WaveHandle device) override;
    // StatusResult for the open device: set it to have the device stop playing.
    MmResult Status(WaveHandle device) const override {
        return Valid(device) ? StatusResult : MmNoError;
    }

    // Completes the oldest queued buffer; false when none is queued.
    bool CompleteNext();

    bool IsOpen() const { return Current != 0; }
    WaveHandle CurrentDevice() const { return Current; }
    std::size_t QueuedCount() const { return Queue.size(); }
    // Every sample written, in order of writing.
    std::vector<int16_t> AllSamples() const;

    MmResult NextOpenResult = MmNoError; // set to fail the next opening
    MmResult StatusResult = MmNoError;
    bool AutoComplete = false;
    std::vector<std::vector<int16_t>> Writes;
    WaveFormat LastFormat;
    int OpenCount = 0;
    int ResetCount = 0;
    int CloseCount = 0;

private:
    bool Valid(WaveHandle device) const { return device != 0 && device == Current; }

    WaveNotifier* Notifier = nullptr;
    WaveHandle Current = 0;
    WaveHandle LastHandle = 0;
    std::deque<WaveHeader*> Queue;
};

// A buffer of one steady sample value with its header, for device tests and
// measurements; keep it at one address while it is written.
struct SoundBuffer {
    std::vector<int16_t> Samples;
    WaveHeader Header;
    explicit SoundBuffer(std::size_t count, int16_t value = 1000) : Samples(count, value) {
        Header.Data = Samples.data();
        Header.BufferLength = static_cast<uint32_t>(count * 2);
    }
};

// Collects notifications in order for tests that deliver them by hand.
class QueueNotifier : public WaveNotifier {
public:
    struct Notice {
        WaveMessage Message;
        WaveHandle Device;
        WaveHeader* Header;
    };
    void PostWaveMessage(WaveMessage message, WaveHandle device, WaveHeader* header) override {
        Notices.push_back({message, device, header});
    }
    bool Empty() const { return Notices.empty(); }
    Notice Take() {
        Notice notice = Notices.front();
        Notices.pop_front();
        return notice;
    }
    std::deque<Notice> Notices;
};

// Collects notifications posted from any thread (a real device's audio thread
// included), each stamped with the time it was posted, and lets a test or a
// measurement wait for the next one.
class WaitingNotifier : public WaveNotifier {
public:
    using Clock = std::chrono::steady_clock;
    struct Notice {
        WaveMessage Message;
        WaveHandle Device;
        WaveHeader* Header;
        Clock::time_point At;
    };

    void PostWaveMessage(WaveMessage message, WaveHandle device, WaveHeader* header) override;
    // The next notice; nothing when none arrives in time.
    std::optional<Notice> Next(std::chrono::milliseconds timeout);
    // The next notice of the given kind, dropping others on the way.
    std::optional<Notice> WaitFor(WaveMessage message, std::chrono::milliseconds timeout);
    void Clear();

private:
    std::mutex Mutex;
    std::condition_variable Arrived;
    std::deque<Notice> Notices;
};

} // namespace tonvik
