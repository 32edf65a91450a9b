#include "tests/support/TestWaveOut.h"

#include <algorithm>

namespace tonvik {

MmResult TestWaveOut::Open(WaveHandle* device, const WaveFormat& format, WaveNotifier* notifier) {
    ++OpenCount;
    LastFormat = format;
    if (NextOpenResult != MmNoError) {
        const MmResult result = NextOpenResult;
        NextOpenResult = MmNoError;
        return result;
    }
    Notifier = notifier;
    Current = ++LastHandle;
    *device = Current;
    Notifier->PostWaveMessage(WaveMessage::Open, Current, nullptr);
    return MmNoError;
}

MmResult TestWaveOut::PrepareHeader(WaveHandle device, WaveHeader*) {
    return Valid(device) ? MmNoError : MmInvalidHandle;
}

MmResult TestWaveOut::UnprepareHeader(WaveHandle, WaveHeader*) {
    return MmNoError;
}

MmResult TestWaveOut::Write(WaveHandle device, WaveHeader* header) {
    if (!Valid(device))
        return MmInvalidHandle;
    const int16_t* data = header->Data;
    Writes.emplace_back(data, data + header->BufferLength / 2);
    Queue.push_back(header);
    if (AutoComplete)
        CompleteNext();
    return MmNoError;
}

bool TestWaveOut::CompleteNext() {
    if (Queue.empty())
        return false;
    WaveHeader* header = Queue.front();
    Queue.pop_front();
    Notifier->PostWaveMessage(WaveMessage::Done, Current, header);
    return true;
}

MmResult TestWaveOut::Reset(WaveHandle device) {
    if (!Valid(device))
        return MmInvalidHandle;
    ++ResetCount;
    while (CompleteNext()) {
    }
    return MmNoError;
}

MmResult TestWaveOut::Close(WaveHandle device) {
    if (!Valid(device))
        return MmInvalidHandle;
    ++CloseCount;
    while (CompleteNext()) { // closing with buffers queued returns them first
    }
    Notifier->PostWaveMessage(WaveMessage::Close, Current, nullptr);
    Current = 0;
    return MmNoError;
}

std::vector<int16_t> TestWaveOut::AllSamples() const {
    std::vector<int16_t> all;
    for (const auto& write : Writes)
        all.insert(all.end(), write.begin(), write.end());
    return all;
}

void WaitingNotifier::PostWaveMessage(WaveMessage message, WaveHandle device, WaveHeader* header) {
    const Clock::time_point now = Clock::now();
    {
        std::lock_guard lock(Mutex);
        Notices.push_back({message, device, header, now});
    }
    Arrived.notify_all();
}

std::optional<WaitingNotifier::Notice> WaitingNotifier::Next(std::chrono::milliseconds timeout) {
    std::unique_lock lock(Mutex);
    if (!Arrived.wait_for(lock, timeout, [this] { return !Notices.empty(); }))
        return std::nullopt;
    const Notice notice = Notices.front();
    Notices.pop_front();
    return notice;
}

std::optional<WaitingNotifier::Notice> WaitingNotifier::WaitFor(WaveMessage message,
                                                                std::chrono::milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    while (true) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        const auto notice = Next(std::max(left, std::chrono::milliseconds(0)));
        if (!notice || notice->Message == message)
            return notice;
    }
}

void WaitingNotifier::Clear() {
    std::lock_guard lock(Mutex);
    Notices.clear();
}

} // namespace tonvik
