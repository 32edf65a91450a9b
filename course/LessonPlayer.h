#pragma once

#include "course/Farnsworth.h"
#include "keying/PlayState.h"
#include "keying/QtWaveNotifier.h"
#include "keying/WavePump.h"

#include <functional>
#include <optional>
#include <string>

namespace tonvik {

// Keys a lesson's text through the window's sound device with its own pump,
// the characters at the character speed and Farnsworth gaps, and says when
// the device has closed after the last character. The device must not be
// playing anything else meanwhile.
class LessonPlayer : public PumpHost {
public:
    using WarningFn = std::function<void(const std::string& text)>;
    LessonPlayer(WaveOut& device, std::function<void()> onEnded, WarningFn onWarning);
    ~LessonPlayer() override;

    void Play(const std::string& text, const KeyerSettings& settings, int effectiveWpm,
              int volumeFactor);
    void Stop();
    bool Playing() const { return Busy; }
    // The characters handed to the device so far.
    size_t CharactersSent() const { return State.SentText.size(); }

    int ActivePage() const override { return TextPage; }
    KeyerSettings CurrentKeyerSettings() const override { return Settings; }
    CharRendering PlanChar(Keyer& keyer, unsigned char ch) override;
    void PauseForAnswer() override {}
    void EndExercise() override { State.StopRequested = true; }
    void ShowWarning(const std::string& text, const std::string& caption) override;
    void DeviceClosed() override;

private:
    std::function<void()> OnEnded;
    WarningFn OnWarning;
    KeyerSettings Settings;
    std::optional<FarnsworthSpacing> Spacing;
    Keyer Voice;
    PlayState State;
    QtWaveNotifier Notifier;
    WavePump Pump;
    bool Busy = false;
};

} // namespace tonvik
