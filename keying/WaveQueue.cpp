#include "keying/WaveQueue.h"

#include <algorithm>
#include <cstring>

namespace tonvik {

namespace {
constexpr uint32_t HeaderPrepared = 0x2; // the platform's "prepared" header flag
}

void WaveQueue::OpenLogical(WaveHandle* device, WaveNotifier* notifier) {
    std::lock_guard lock(Mutex);
    if (++LastHandle == 0)
        ++LastHandle;
    Current = LastHandle;
    Notifier = notifier;
    RanDry = false;
    *device = Current;
    Notifier->PostWaveMessage(WaveMessage::Open, Current, nullptr);
}

MmResult WaveQueue::Prepare(WaveHandle device, WaveHeader* header) {
    if (header == nullptr)
        return MmInvalidParam;
    std::lock_guard lock(Mutex);
    if (!Valid(device))
        return MmInvalidHandle;
    header->Flags |= HeaderPrepared;
    return MmNoError;
}

MmResult WaveQueue::Unprepare(WaveHandle, WaveHeader* header) {
    if (header == nullptr)
        return MmInvalidParam;
    std::lock_guard lock(Mutex);
    if (IsQueued(header))
        return WaveStillPlaying;
    header->Flags &= ~HeaderPrepared;
    return MmNoError;
}

MmResult WaveQueue::Write(WaveHandle device, WaveHeader* header) {
    if (header == nullptr)
        return MmInvalidParam;
    std::lock_guard lock(Mutex);
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
    if (Lost) {
        // Nothing plays it: complete it now, so that the pump hears of the loss.
        Notifier->PostWaveMessage(WaveMessage::Done, Current, header);
        return MmNoError;
    }
    if (RanDry)
        ++Starved; // the device played silence while this buffer was late
    RanDry = false;
    Queue.push_back({header, reinterpret_cast<const uint8_t*>(header->Data), bytes, 0});
    CompleteEmptyAtHead();
    return MmNoError;
}

MmResult WaveQueue::Reset(WaveHandle device) {
    std::lock_guard lock(Mutex);
    if (!Valid(device))
        return MmInvalidHandle;
    ReturnAll();
    RanDry = false;
    return MmNoError;
}

MmResult WaveQueue::Close(WaveHandle device) {
    std::lock_guard lock(Mutex);
    if (!Valid(device))
        return MmInvalidHandle;
    ReturnAll();
    RanDry = false;
    Notifier->PostWaveMessage(WaveMessage::Close, Current, nullptr);
    Notifier = nullptr;
    Current = 0;
    return MmNoError;
}

MmResult WaveQueue::Status(WaveHandle device) const {
    std::lock_guard lock(Mutex);
    return Valid(device) && Lost ? WaveDeviceGone : MmNoError;
}

uint64_t WaveQueue::Starvations() const {
    std::lock_guard lock(Mutex);
    return Starved;
}

uint32_t WaveQueue::Take(uint8_t* out, uint32_t bytes) {
    uint32_t filled = 0;
    std::lock_guard lock(Mutex);
    while (filled < bytes && !Queue.empty()) {
        Queued& head = Queue.front();
        const uint32_t chunk = std::min(head.Bytes - head.Taken, bytes - filled);
        std::memcpy(out + filled, head.Data + head.Taken, chunk);
        head.Taken += chunk;
        filled += chunk;
        if (head.Taken == head.Bytes) {
            Notifier->PostWaveMessage(WaveMessage::Done, Current, head.Header);
            Queue.pop_front();
            CompleteEmptyAtHead();
        }
    }
    return filled;
}

void WaveQueue::MarkRanDry() {
    std::lock_guard lock(Mutex);
    if (Current != 0)
        RanDry = true;
}

void WaveQueue::CountStarvation() {
    std::lock_guard lock(Mutex);
    ++Starved;
}

bool WaveQueue::HasSound() const {
    std::lock_guard lock(Mutex);
    return Current != 0 && !Queue.empty();
}

bool WaveQueue::IsOpen() const {
    std::lock_guard lock(Mutex);
    return Current != 0;
}

void WaveQueue::MarkLost() {
    std::lock_guard lock(Mutex);
    if (Lost)
        return;
    Lost = true;
    if (Current != 0)
        ReturnAll();
}

void WaveQueue::ClearLost() {
    std::lock_guard lock(Mutex);
    Lost = false;
}

void WaveQueue::Drop() {
    std::lock_guard lock(Mutex);
    Queue.clear();
    Notifier = nullptr;
    Current = 0;
}

// Keeps the head of the queue a buffer with something to play, so that a
// zero-length buffer completes as soon as it is reached.
void WaveQueue::CompleteEmptyAtHead() {
    while (!Queue.empty() && Queue.front().Bytes == 0) {
        Notifier->PostWaveMessage(WaveMessage::Done, Current, Queue.front().Header);
        Queue.pop_front();
    }
}

void WaveQueue::ReturnAll() {
    for (const Queued& entry : Queue)
        Notifier->PostWaveMessage(WaveMessage::Done, Current, entry.Header);
    Queue.clear();
}

bool WaveQueue::IsQueued(const WaveHeader* header) const {
    return std::any_of(Queue.begin(), Queue.end(),
                       [header](const Queued& entry) { return entry.Header == header; });
}

} // namespace tonvik
