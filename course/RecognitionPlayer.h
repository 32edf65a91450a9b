#pragma once

#include "keying/PlayState.h"
#include "keying/QtWaveNotifier.h"
#include "keying/WavePump.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace tonvik {

// Keys one character at a time through the window's sound device and notes
// when the sound layer reports its last element played: the moment a
// reaction is timed from. The character is keyed without its trailing space,
// so the completion of its buffer is the end of its sound.
class RecognitionPlayer : public PumpHost {
public:
    using Clock = std::chrono::steady_clock;
    RecognitionPlayer(WaveOut& device, std::function<void()> onSoundEnded,
                      std::function<void(const std::string&)> onWarning);
    ~RecognitionPlayer() override;

    void Play(char character, const KeyerSettings& settings, int volumeFactor);
    void Stop();
    bool Playing() const { return Busy; }
    // When the last character's sound ended; nothing while it still sounds.
    std::optional<Clock::time_point> SoundEnd() const { return Ended; }
    // Milliseconds from the end of the sound to now; 0 while it still sounds.
    int64_t ReactionMs(Clock::time_point pressed) const;

    int ActivePage() const override { return TextPage; }
    KeyerSettings CurrentKeyerSettings() const override { return Settings; }
    CharRendering PlanChar(Keyer& keyer, unsigned char ch) override;
    void PauseForAnswer() override {}
    void EndExercise() override;
    void ShowWarning(const std::string& text, const std::string& caption) override;
    void DeviceClosed() override { Busy = false; }

private:
    std::function<void()> OnSoundEnded;
    std::function<void(const std::string&)> OnWarning;
    KeyerSettings Settings;
    Keyer Voice;
    PlayState State;
    QtWaveNotifier Notifier;
    WavePump Pump;
    std::optional<Clock::time_point> Ended;
    bool Busy = false;
};

} // namespace tonvik
