#include "keying/WavePump.h"

#include "keying/MmErrMsg.h"

namespace tonvik {

CharRendering PumpHost::PlanChar(Keyer& keyer, unsigned char ch) {
    return keyer.PlanChar(ch, CurrentKeyerSettings());
}

void PumpHost::DeviceLost(MmResult code) {
    ShowWarning(std::string(OpenFailedText) + "\r\n" + MmErrorText(code), OpenFailedCaption);
}

WavePump::WavePump(WaveOut& device, WaveNotifier& notifier, Keyer& keyer, PlayState& state,
                   PumpHost& host)
    : Out(device), Notifier(notifier), KeyerRef(keyer), State(state), Host(host) {
    // Allocated once, zero-filled, and kept at one address for the pump's life.
    for (auto& buffer : Buffers)
        buffer = std::make_unique<int16_t[]>(WaveBufferSamples);
    FillHeaders();
}

WavePump::~WavePump() {
    State.StopRequested = true;
    StopNow();
}

void WavePump::FillHeaders() {
    for (size_t n = 0; n < Headers.size(); ++n) {
        Headers[n] = WaveHeader{};
        Headers[n].Data = Buffers[n].get();
        Headers[n].BufferLength = WaveBufferSize;
    }
}

void WavePump::StopNow() {
    if (Device == 0)
        return;
    ResetAndClose();
    // Notifications still on their way for this device are ignored.
    Device = 0;
}

void WavePump::ResetAndClose() {
    Out.Reset(Device);
    Out.Close(Device);
}

void WavePump::OpenWaveOut() {
    StopNow();
    HasPending = false;
    LossReported = false;
    InFlight = 0;
    Fmt = PcmFormat8k16Mono();
    State.StopRequested = false;
    WaveHandle opened = 0;
    const MmResult result = Out.Open(&opened, Fmt, &Notifier);
    if (result == MmNoError) {
        Device = opened;
        return;
    }
    Device = 0;
    Host.ShowWarning(std::string(OpenFailedText) + "\r\n" + MmErrorText(result), OpenFailedCaption);
}

void WavePump::MmWomOpen(WaveHandle device) {
    if (device == 0 || device != Device)
        return;
    if (State.StopRequested) {
        // Stopped before the device came up: nothing will be queued, so close
        // it now rather than leave it open until the next opening.
        ResetAndClose();
        return;
    }
    FillHeaders();
    Out.PrepareHeader(Device, &Headers[0]);
    QueueNextChar(Headers[0]);
    Out.PrepareHeader(Device, &Headers[1]);
    QueueNextChar(Headers[1]);
}

void WavePump::QueueNextChar(WaveHeader& header) {
    if (State.StopRequested)
        return;
    int started = -1;
    if (!HasPending) {
        const unsigned char ch = CharAt(State.PlayText, State.PlayPos);
        Pending = Host.PlanChar(KeyerRef, ch);
        State.SentText.push_back(static_cast<char>(ch));
        ++State.PlayPos;
        started = ch;
    }
    const int64_t samples = KeyerRef.RenderInto(Pending, header.Data, WaveBufferSamples);
    Host.KeyedSamples(header.Data, samples, started);
    HasPending = !Pending.Finished();
    header.BufferLength = static_cast<uint32_t>(samples * 2);
    ++InFlight;
    Out.Write(Device, &header);
}

void WavePump::MmWomDone(WaveHandle device, WaveHeader* header) {
    if (device == 0 || device != Device || header == nullptr)
        return;
    if (InFlight > 0)
        --InFlight;
    if (const MmResult status = Out.Status(device); status != MmNoError) {
        // Keying on would be silence: stop, and say so once.
        State.StopRequested = true;
        ResetAndClose();
        if (!LossReported) {
            LossReported = true;
            Host.DeviceLost(status);
        }
        return;
    }
    if (Host.ActivePage() != TextPage && CharAt(State.PlayText, State.PlayPos - 1) == ' ')
        Host.PauseForAnswer();
    bool endedHere = false;
    if (!State.StopRequested) {
        const bool textUsedUp = State.PlayPos > static_cast<int>(State.PlayText.size());
        if (textUsedUp && !HasPending) {
            Host.EndExercise();
            endedHere = true;
        } else {
            QueueNextChar(*header);
        }
    }
    // EndExercise may have run a nested message loop in which this device was
    // closed and a new one opened: only reset the device this notice came from.
    if (!State.StopRequested || device != Device)
        return;
    // At the end of the text the last character is still playing, however
    // soon the end message was dismissed: its own completion closes the device.
    if (endedHere && InFlight > 0)
        return;
    ResetAndClose();
}

void WavePump::MmWomClose(WaveHandle device) {
    if (device == 0 || device != Device)
        return;
    Out.UnprepareHeader(Device, &Headers[0]);
    Out.UnprepareHeader(Device, &Headers[1]);
    Device = 0;
    Host.DeviceClosed();
}

void WavePump::Dispatch(WaveMessage message, WaveHandle device, WaveHeader* header) {
    switch (message) {
    case WaveMessage::Open:
        MmWomOpen(device);
        break;
    case WaveMessage::Done:
        MmWomDone(device, header);
        break;
    case WaveMessage::Close:
        MmWomClose(device);
        break;
    }
}

} // namespace tonvik
