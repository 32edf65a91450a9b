#include "course/RecognitionPlayer.h"

namespace tonvik {

RecognitionPlayer::RecognitionPlayer(WaveOut& device, std::function<void()> onSoundEnded,
                                     std::function<void(const std::string&)> onWarning)
    : OnSoundEnded(std::move(onSoundEnded)), OnWarning(std::move(onWarning)),
      Notifier([this](WaveMessage m, WaveHandle d, WaveHeader* h) { Pump.Dispatch(m, d, h); }),
      Pump(device, Notifier, Voice, State, *this) {}

RecognitionPlayer::~RecognitionPlayer() {
    OnSoundEnded = nullptr;
    Pump.StopNow();
}

void RecognitionPlayer::Play(char character, const KeyerSettings& settings, int volumeFactor) {
    Settings = settings;
    Settings.ActivePage = HiddenPage; // the elements alone, no gaps
    Voice.BuildSineTable(volumeFactor);
    Voice.SetWordStart(true);
    State = PlayState{};
    State.PlayText = std::string(1, character);
    State.PlayPos = 1;
    Ended.reset();
    Busy = true;
    Pump.OpenWaveOut();
}

void RecognitionPlayer::Stop() {
    State.StopRequested = true;
    Pump.StopNow();
    Busy = false;
}

CharRendering RecognitionPlayer::PlanChar(Keyer& keyer, unsigned char ch) {
    CharRendering plan;
    if (ch <= 32)
        return plan; // past the character: an empty buffer, done at once
    const CharRendering elements = keyer.PlanChar(ch, Settings);
    // Every run but the space after the last element.
    if (elements.RunCount() > 0)
        plan.AddRuns(elements, elements.RunCount() - 1);
    return plan;
}

void RecognitionPlayer::EndExercise() {
    // The buffer of the character has played: its sound has ended.
    State.StopRequested = true;
    Ended = Clock::now();
    if (OnSoundEnded)
        OnSoundEnded();
}

void RecognitionPlayer::ShowWarning(const std::string& text, const std::string&) {
    Busy = false;
    if (OnWarning)
        OnWarning(text);
}

int64_t RecognitionPlayer::ReactionMs(Clock::time_point pressed) const {
    if (!Ended || pressed < *Ended)
        return 0;
    return std::chrono::duration_cast<std::chrono::milliseconds>(pressed - *Ended).count();
}

} // namespace tonvik
