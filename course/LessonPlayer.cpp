#include "course/LessonPlayer.h"

namespace tonvik {

LessonPlayer::LessonPlayer(WaveOut& device, std::function<void()> onEnded, WarningFn onWarning)
    : OnEnded(std::move(onEnded)), OnWarning(std::move(onWarning)),
      Notifier([this](WaveMessage m, WaveHandle d, WaveHeader* h) { Pump.Dispatch(m, d, h); }),
      Pump(device, Notifier, Voice, State, *this) {}

LessonPlayer::~LessonPlayer() {
    OnEnded = nullptr;
    Pump.StopNow();
}

void LessonPlayer::Play(const std::string& text, const KeyerSettings& settings, int effectiveWpm,
                        int volumeFactor) {
    Settings = settings;
    Settings.ActivePage = TextPage;
    Spacing.emplace(Settings.DotSamples, effectiveWpm);
    Voice.BuildSineTable(volumeFactor);
    Voice.SetWordStart(true);
    State = PlayState{};
    State.PlayText = text;
    State.PlayPos = 1;
    State.CallStartPos = 1;
    Busy = true;
    Pump.OpenWaveOut();
}

void LessonPlayer::Stop() {
    if (!Busy)
        return;
    State.StopRequested = true;
    Pump.StopNow();
    Busy = false;
}

CharRendering LessonPlayer::PlanChar(Keyer& keyer, unsigned char ch) {
    return PlanFarnsworthChar(keyer, *Spacing, ch, Settings);
}

void LessonPlayer::ShowWarning(const std::string& text, const std::string&) {
    Busy = false;
    if (OnWarning)
        OnWarning(text);
}

void LessonPlayer::DeviceClosed() {
    if (!Busy)
        return;
    Busy = false;
    if (OnEnded)
        OnEnded();
}

} // namespace tonvik
