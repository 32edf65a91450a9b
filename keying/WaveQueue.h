#pragma once

#include "keying/WaveOut.h"

#include <cstdint>
#include <deque>
#include <mutex>

namespace tonvik {

inline constexpr MmResult MmInvalidParam = 11;   // invalid parameter passed
inline constexpr MmResult WaveStillPlaying = 33; // still something playing

// The logical side of a waveform device, shared between the pump's thread and
// the thread that hands sound to the hardware: one open handle at a time
// (never reused), prepared headers, the queue of written buffers and the
// notices about them. Every member is safe to call from either thread; the
// notices are posted under the queue's lock, so they keep their order.
//
// Buffers complete (Done) when Take has handed their last byte over; a
// zero-length one as soon as it reaches the head of the queue. Reset and
// Close return every queued buffer, each with its Done, and after they return
// Take never reads those buffers again. Once the device is marked lost, every
// queued buffer and every one written later completes at once.
class WaveQueue {
public:
    // Posts Open for a fresh handle.
    void OpenLogical(WaveHandle* device, WaveNotifier* notifier);
    MmResult Prepare(WaveHandle device, WaveHeader* header);
    // 33 while the header is queued; succeeds on a closed handle too.
    MmResult Unprepare(WaveHandle device, WaveHeader* header);
    // WaveUnprepared for a header not prepared, 33 for one already queued,
    // 11 for no data. An odd trailing byte is not played.
    MmResult Write(WaveHandle device, WaveHeader* header);
    MmResult Reset(WaveHandle device);
    // Returns the queue, posts Close; nothing is posted for the handle after.
    MmResult Close(WaveHandle device);
    MmResult Status(WaveHandle device) const;
    uint64_t Starvations() const;

    // The device's side. Copies up to `bytes` of queued sound into `out`,
    // completing the buffers it finishes; returns the bytes copied.
    uint32_t Take(uint8_t* out, uint32_t bytes);
    // The device played silence in the middle of keying because the queue
    // was empty: counted as a starvation when the next buffer is written.
    void MarkRanDry();
    void CountStarvation();
    // True while a logical device is open and has sound queued.
    bool HasSound() const;
    bool IsOpen() const;
    void MarkLost();
    // A new physical device: playing again.
    void ClearLost();
    // Forgets everything queued without notices (the notifier may be gone).
    void Drop();

private:
    struct Queued {
        WaveHeader* Header = nullptr;
        const uint8_t* Data = nullptr;
        uint32_t Bytes = 0;
        uint32_t Taken = 0;
    };

    bool Valid(WaveHandle device) const { return device != 0 && device == Current; }
    bool IsQueued(const WaveHeader* header) const;
    void CompleteEmptyAtHead();
    void ReturnAll();

    mutable std::mutex Mutex;
    std::deque<Queued> Queue;
    WaveNotifier* Notifier = nullptr;
    WaveHandle Current = 0;
    WaveHandle LastHandle = 0;
    bool Lost = false;
    bool RanDry = false;
    uint64_t Starved = 0;
};

} // namespace tonvik
