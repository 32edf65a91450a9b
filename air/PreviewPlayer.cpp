#include "air/PreviewPlayer.h"

#include "keying/MmErrMsg.h"
#include "keying/WavePump.h"

namespace tonvik {

PreviewPlayer::PreviewPlayer(WaveOut& device)
    : Out(device),
      Notifier([this](WaveMessage m, WaveHandle d, WaveHeader* h) { Dispatch(m, d, h); }) {}

PreviewPlayer::~PreviewPlayer() {
    Stop();
}

std::string PreviewPlayer::Play(std::vector<int16_t> samples) {
    // The device no longer reads the old buffer once it is reset.
    Stop();
    Samples = std::move(samples);
    Header = WaveHeader{};
    Header.Data = Samples.data();
    Header.BufferLength = static_cast<uint32_t>(Samples.size() * sizeof(int16_t));
    WaveHandle opened = 0;
    const MmResult result = Out.Open(&opened, PcmFormat8k16Mono(), &Notifier);
    if (result != MmNoError)
        return std::string(OpenFailedText) + "\r\n" + MmErrorText(result);
    Device = opened;
    return {};
}

void PreviewPlayer::Stop() {
    if (Device != 0)
        Close();
}

void PreviewPlayer::Close() {
    Out.Reset(Device);
    Out.UnprepareHeader(Device, &Header);
    Out.Close(Device);
    // Notices still on their way for this device are ignored.
    Device = 0;
}

void PreviewPlayer::Dispatch(WaveMessage message, WaveHandle device, WaveHeader* header) {
    if (device == 0 || device != Device)
        return;
    if (message == WaveMessage::Open) {
        if (Out.PrepareHeader(Device, &Header) != MmNoError ||
            Out.Write(Device, &Header) != MmNoError)
            Close();
    } else if (message == WaveMessage::Done && header == &Header) {
        Close();
    }
}

} // namespace tonvik
