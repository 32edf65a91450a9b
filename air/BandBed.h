#pragma once

#include "air/Band.h"
#include "keying/WaveOut.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>

namespace tonvik {

// Plays the band's background (noise, static, other stations, a second
// caller) on a device of its own, without a break, from the start of an
// exercise to its end: the keying stream closes between callsigns, the band
// does not. Driven by the device's notices, which the host hands to Dispatch
// on its own thread; each completed buffer is rendered again and rewritten.
class BandBed {
public:
    // 100 ms a buffer: the band's state runs on across them, and two in
    // flight keep the device fed through a late notice.
    static constexpr int BufferSamples = 800;

    BandBed(WaveOut& device, WaveNotifier& notifier);
    // Stops the device at once, so that it no longer reads the buffers.
    ~BandBed();
    BandBed(const BandBed&) = delete;
    BandBed& operator=(const BandBed&) = delete;

    // Opens the device and plays background from it until Stop. False, with
    // nothing playing, when the device does not open.
    bool Start(std::unique_ptr<Band> background);
    // Silences the device now and lets the band go.
    void Stop();
    bool Playing() const { return Device != 0; }
    // The band being played, to retune it and to tell it of a callsign;
    // nullptr when stopped.
    Band* Air() { return Sound.get(); }
    // How far the band has been rendered ahead of what the device has
    // played by now: samples written less the time since it began.
    int64_t AheadSamples() const;

    void Dispatch(WaveMessage message, WaveHandle device, WaveHeader* header);

private:
    void Opened();
    void Completed(WaveHeader* header);
    void Queue(WaveHeader& header);

    WaveOut& Out;
    WaveNotifier& Notifier;
    std::unique_ptr<Band> Sound;
    WaveHandle Device = 0;
    std::chrono::steady_clock::time_point Began;
    int64_t Written = 0; // samples since Began
    std::array<WaveHeader, 2> Headers{};
    std::array<std::array<int16_t, BufferSamples>, 2> Buffers{};
};

} // namespace tonvik
