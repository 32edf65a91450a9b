#include "air/BandBed.h"

#include <algorithm>

namespace tonvik {

BandBed::BandBed(WaveOut& device, WaveNotifier& notifier) : Out(device), Notifier(notifier) {}

BandBed::~BandBed() {
    Stop();
}

bool BandBed::Start(std::unique_ptr<Band> background) {
    Stop();
    WaveHandle opened = 0;
    if (Out.Open(&opened, PcmFormat8k16Mono(), &Notifier) != MmNoError)
        return false;
    Device = opened;
    Sound = std::move(background);
    return true;
}

void BandBed::Stop() {
    if (Device != 0) {
        Out.Reset(Device);
        Out.Close(Device);
    }
    // Notices still on their way for this device are ignored.
    Device = 0;
    Sound.reset();
}

void BandBed::Dispatch(WaveMessage message, WaveHandle device, WaveHeader* header) {
    if (device == 0 || device != Device)
        return;
    switch (message) {
    case WaveMessage::Open:
        Opened();
        break;
    case WaveMessage::Done:
        Completed(header);
        break;
    case WaveMessage::Close:
        Device = 0;
        break;
    }
}

int64_t BandBed::AheadSamples() const {
    if (Device == 0 || Written == 0)
        return 0;
    const auto played = std::chrono::duration_cast<std::chrono::microseconds>(
                            std::chrono::steady_clock::now() - Began)
                            .count() *
                        SampleRate / 1000000;
    return std::max<int64_t>(0, Written - played);
}

void BandBed::Opened() {
    Began = std::chrono::steady_clock::now();
    Written = 0;
    for (std::size_t n = 0; n < Headers.size(); ++n) {
        Headers[n] = WaveHeader{};
        Headers[n].Data = Buffers[n].data();
        Out.PrepareHeader(Device, &Headers[n]);
        Queue(Headers[n]);
    }
}

void BandBed::Completed(WaveHeader* header) {
    if (header == nullptr)
        return;
    // A device that stopped playing completes everything at once: stop
    // rather than spin; the keying stream reports the loss.
    if (Out.Status(Device) != MmNoError) {
        Stop();
        return;
    }
    Queue(*header);
}

void BandBed::Queue(WaveHeader& header) {
    Sound->Silence(header.Data, BufferSamples);
    header.BufferLength = BufferSamples * sizeof(int16_t);
    Written += BufferSamples;
    Out.Write(Device, &header);
}

} // namespace tonvik
