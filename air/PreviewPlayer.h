#pragma once

#include "keying/QtWaveNotifier.h"
#include "keying/WaveOut.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tonvik {

// Plays a rendered preview through the window's sound device as one buffer:
// written when the device reports itself open, and the device reset and
// closed once that buffer has played, so the device is free again for an
// exercise.
class PreviewPlayer {
public:
    // device must outlive the player.
    explicit PreviewPlayer(WaveOut& device);
    ~PreviewPlayer();
    PreviewPlayer(const PreviewPlayer&) = delete;
    PreviewPlayer& operator=(const PreviewPlayer&) = delete;

    // Plays samples from their start, cutting off whatever still plays.
    // Gives the warning's text when the device does not open, else nothing.
    std::string Play(std::vector<int16_t> samples);
    // Silences the device and closes it; nothing when nothing plays.
    void Stop();
    // From the opening to the close after the buffer has played.
    bool Playing() const { return Device != 0; }

private:
    void Dispatch(WaveMessage message, WaveHandle device, WaveHeader* header);
    void Close();

    WaveOut& Out;
    QtWaveNotifier Notifier;
    std::vector<int16_t> Samples; // read by the device while it plays
    WaveHeader Header;
    WaveHandle Device = 0;
};

} // namespace tonvik
