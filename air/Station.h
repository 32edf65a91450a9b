#pragma once

#include "air/AirRandom.h"
#include "air/Fading.h"
#include "keying/Keyer.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tonvik {

// How another station sounds: its own pitch, speed, level and fading.
struct StationVoice {
    double PitchHz = 800;
    int32_t DotSamples = 320;
    double Level = 1;    // key-down amplitude, ours being 1
    double FadingHz = 0; // 0: a steady signal
};

// Another station on the band, keyed by the program's keyer. It keys the
// messages it is given, each after its own delay, and is silent in between.
class Station {
public:
    Station(const StationVoice& voice, uint64_t seed);

    struct Message {
        std::string Text;
        int64_t Delay = 0; // silent samples before it
    };
    // Gives the next message whenever the queue runs dry (a station that
    // keeps calling); without one the station falls silent.
    using Script = std::function<Message()>;

    Station(const StationVoice& voice, uint64_t seed, Script script);

    // Drops what is queued or being keyed and takes another voice (its fading
    // aside), keeping the keyer's sine table: a new station is costly.
    void Restart(const StationVoice& voice);

    // Queues a message to start delaySamples after the current one ends.
    void Say(std::string text, int64_t delaySamples);
    // Nothing queued and nothing being keyed.
    bool Idle() const { return Waiting.empty() && !Keying; }

    // Adds count samples of this station into mix.
    void AddInto(float* mix, int count);

private:
    // Renders the station's own samples, its keyed or silent runs, into out.
    void Render(int16_t* out, int count);
    bool StartNextCharacter();
    void SetVoice(const StationVoice& voice);

    KeyerSettings Settings;
    Keyer Voice;
    std::optional<Fading> Fade;
    Script NextMessage;
    double Gain = 0;
    std::vector<Message> Waiting; // in order of keying
    std::string Text;
    std::size_t Position = 0;
    CharRendering Current;
    int64_t Delay = 0;
    bool Keying = false;
};

} // namespace tonvik
