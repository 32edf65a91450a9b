#pragma once

#include "keying/HeldWaveOut.h"

#include <chrono>
#include <memory>
#include <string>

namespace tonvik {

// The waveform-output service as a playback stream of the sound server
// (PulseAudio, or PipeWire's PulseAudio service), 8000 Hz 16-bit mono.
//
// The server keeps up to `buffered` of sound queued ahead: written buffers are
// copied into the stream as fast as the server has room, and each completes
// once it has been copied in full, so the pump renders that far ahead and a
// late GUI thread, or a late client thread of a process that may not raise
// its priority, is covered by the whole of it. Nothing is written while no
// buffer is queued: between callsigns the stream runs empty (the server
// waits, it does not play stale silence), and the next callsign's sound is
// played as soon as it arrives, one server period (`period`) later. So the
// start latency does not grow with the safety margin. Reset returns only the
// buffers not yet copied: what the server holds plays out, which keeps the
// end of a callsign whole.
//
// Starvations counts the server's underrun reports while a logical device is
// open. A server that goes away, or a stream that fails, makes Status
// WaveDeviceGone and completes every buffer at once.
class PulseWaveOut : public HeldWaveOut {
public:
    static constexpr std::chrono::milliseconds DefaultBuffered{400};
    static constexpr std::chrono::milliseconds DefaultPeriod{20};

    explicit PulseWaveOut(std::chrono::milliseconds buffered = DefaultBuffered,
                          std::chrono::milliseconds idleRelease = DefaultIdleRelease,
                          std::chrono::milliseconds period = DefaultPeriod);
    ~PulseWaveOut() override;

    MmResult Write(WaveHandle device, WaveHeader* header) override;

    // True when a sound server accepts a connection now.
    static bool ServerAnswers();

    struct Connection;

protected:
    MmResult StartPhysical(std::string& error) override;
    bool PhysicalPlays() override;
    std::function<void()> DetachPhysical() override;

private:
    const std::chrono::milliseconds Buffered;
    const std::chrono::milliseconds Period;
    std::shared_ptr<Connection> Conn; // under the device lock
};

} // namespace tonvik
