#pragma once

#include "keying/Keyer.h"
#include "keying/PlayState.h"
#include "keying/WaveOut.h"

#include <array>
#include <memory>
#include <string>

namespace tonvik {

inline constexpr uint32_t WaveBufferSize = 112000; // bytes: 7 seconds of sound
inline constexpr int WaveBufferSamples = WaveBufferSize / 2;

inline constexpr const char* OpenFailedText = "Error opening waveform audio!";
inline constexpr const char* OpenFailedCaption = "Warning";

// What the pump needs of the window (or of the command-line player).
class PumpHost {
public:
    virtual ~PumpHost() = default;
    virtual int ActivePage() const = 0;
    // The keyer's settings as the controls hold them now.
    virtual KeyerSettings CurrentKeyerSettings() const = 0;
    // The next character's runs: by default the keyer's own plan with the
    // current settings; a host with other spacing plans it its own way.
    virtual CharRendering PlanChar(Keyer& keyer, unsigned char ch);
    virtual void PauseForAnswer() = 0;
    virtual void EndExercise() = 0;
    // A warning dialog with one OK button.
    virtual void ShowWarning(const std::string& text, const std::string& caption) = 0;
    // The device stopped playing while keying (the sound server went away):
    // by default the warning of a failed opening with the code's text.
    virtual void DeviceLost(MmResult code);
    // The device has closed after a pause, a stop or the end.
    virtual void DeviceClosed() {}
    // A buffer just rendered, before it is written: the host may change its
    // samples (the band they are heard through). startedChar is the character
    // begun in it, or -1 when it carries on the last one.
    virtual void KeyedSamples(int16_t* samples, int64_t count, int startedChar) {
        (void)samples;
        (void)count;
        (void)startedChar;
    }
};

// Keys PlayText through a waveform device, one character per buffer, with two
// buffers in alternation: when one has played, the next character is rendered
// into it and it is written again while the other plays. Driven entirely by
// the device's Open, Done and Close notifications, which the host delivers on
// its own thread. At each completion it asks the device whether it still
// plays; one that has stopped ends the keying (reset, close) and is reported
// to the host once per opening.
class WavePump {
public:
    WavePump(WaveOut& device, WaveNotifier& notifier, Keyer& keyer, PlayState& state,
             PumpHost& host);
    // Stops the device at once, so that it no longer reads the buffers.
    ~WavePump();
    WavePump(const WavePump&) = delete;
    WavePump& operator=(const WavePump&) = delete;

    // Starts playing PlayText from PlayPos. A device still open from earlier
    // keying is reset and closed first: the two buffers are never queued twice.
    void OpenWaveOut();
    void QueueNextChar(WaveHeader& header);

    void MmWomOpen(WaveHandle device);
    void MmWomDone(WaveHandle device, WaveHeader* header);
    void MmWomClose(WaveHandle device);
    // Routes one notification to the handler above.
    void Dispatch(WaveMessage message, WaveHandle device, WaveHeader* header);

    // Resets and closes an open device now (window closing, a new opening).
    void StopNow();

    WaveHandle WaveDevice() const { return Device; }
    const WaveFormat& Format() const { return Fmt; }
    WaveHeader& Header(int index) { return Headers[static_cast<size_t>(index)]; }
    bool CharacterPending() const { return HasPending; }

private:
    void FillHeaders();
    void ResetAndClose();

    WaveOut& Out;
    WaveNotifier& Notifier;
    Keyer& KeyerRef;
    PlayState& State;
    PumpHost& Host;

    WaveHandle Device = 0;
    WaveFormat Fmt;
    std::array<WaveHeader, 2> Headers{};
    std::array<std::unique_ptr<int16_t[]>, 2> Buffers;
    // The rest of a character that did not fit into the last buffer.
    CharRendering Pending;
    bool HasPending = false;
    bool LossReported = false;
    // Buffers written to the open device and not yet done.
    int InFlight = 0;
};

} // namespace tonvik
