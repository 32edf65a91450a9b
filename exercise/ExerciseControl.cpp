#include "exercise/ExerciseControl.h"

#include "exercise/ExerciseMode.h"
#include "exercise/Shortcuts.h"
#include "text/GenCodeUnit.h"

#include <algorithm>
#include <random>

namespace tonvik {

namespace {

ExerciseControls ControlsOf(ExercisePhase phase, bool testRunning) {
    ExerciseControls controls;
    switch (phase) {
    case ExercisePhase::Idle:
        // A test that ran out by itself keeps its caption until it is stopped.
        controls.TestShowsStop = testRunning;
        break;
    case ExercisePhase::CallsignExercise:
        controls = {false, true, false, false, false, false};
        break;
    case ExercisePhase::TextExercise:
        controls = {false, true, false, false, false, true};
        break;
    case ExercisePhase::Test:
        controls = {false, false, true, true, true, true};
        break;
    }
    return controls;
}

} // namespace

ExerciseControl::ExerciseControl(WaveOut& device, WaveNotifier& notifier, ExerciseView& view)
    : View(view), Pump(device, notifier, Voice, Play, *this) {}

void ExerciseControl::FormCreate() {
    // The pump has its headers and buffers and holds no device; the keyer
    // has its sine table.
    Play.StopRequested = false;
    Play.AwaitingAnswer = false;
    View.ApplySettings();
    Play.PlayText.clear();
    Play.PlayPos = 0;
    Voice.SetWordStart(true);
}

void ExerciseControl::FormShow() {
    TestIsRunning = false;
    ShowControls();
}

void ExerciseControl::Shutdown() {
    // Silence at once; the pump closes the device for good when it goes.
    Play.StopRequested = true;
    Pump.StopNow();
    Ended(ExerciseEndCause::Stopped);
}

ExerciseControl::~ExerciseControl() = default;

// The band of the exercise starting now, from a fresh seed.
void ExerciseControl::TuneIn() {
    BandSetup keying;
    keying.PitchHz = static_cast<double>(Tone);
    keying.DotSamples = Dot;
    keying.VolumeFactor = Volume;
    keying.Seed = (static_cast<uint64_t>(std::random_device{}()) << 32) ^ std::random_device{}();
    AirBand.TuneIn(keying, Running == ExercisePhase::CallsignExercise);
}

void ExerciseControl::KeyedSamples(int16_t* samples, int64_t count, int startedChar) {
    if (!AirBand.Tuned() || TestIsRunning)
        return;
    const std::string& text = Play.PlayText;
    const int index = Play.PlayPos - 2; // of the character just started
    std::string_view starting;
    if (startedChar > ' ' && index >= 0 && index < static_cast<int>(text.size()) &&
        (index == 0 || text[index - 1] == ' ')) {
        const std::size_t end = text.find(' ', index);
        starting = std::string_view(text).substr(index, end == std::string::npos ? std::string::npos
                                                                                 : end - index);
    }
    AirBand.Keyed(samples, count, static_cast<double>(Tone), starting);
}

void ExerciseControl::Began() {
    DeviceFailed = false;
    Observed = Running;
    if (Observer != nullptr)
        Observer->ExerciseStarted(Running);
}

void ExerciseControl::Ended(ExerciseEndCause cause) {
    if (!Observed)
        return;
    const ExercisePhase phase = *Observed;
    Observed.reset();
    AirBand.TuneOut();
    if (DeviceFailed)
        cause = ExerciseEndCause::NoSoundDevice;
    const int keyed = std::clamp(Play.PlayPos - 1, 0, static_cast<int>(Play.PlayText.size()));
    if (Observer != nullptr)
        Observer->ExerciseEnded(phase, cause, keyed);
}

void ExerciseControl::SetSpeed(int wpm) {
    Dot = 9600 / wpm;
}

void ExerciseControl::SetPitch(int position) {
    Tone = static_cast<long double>(position) * 100.0L;
}

void ExerciseControl::SetVolume(int position) {
    Volume = 8 - position;
    Voice.BuildSineTable(Volume);
}

ExerciseControls ExerciseControl::Controls() const {
    return ControlsOf(Running, TestIsRunning);
}

void ExerciseControl::Enter(ExercisePhase phase) {
    Running = phase;
    ShowControls();
}

void ExerciseControl::ShowControls() {
    View.ShowControls(Controls());
}

void ExerciseControl::StartButClick() {
    // Enter reaches here from several controls: an exercise or test under way
    // is never restarted over its open device.
    if (!Controls().StartEnabled)
        return;
    View.ApplySettings();
    Play.PlayText.clear();
    Play.SentText.clear();

    ExercisePhase phase = ExercisePhase::Idle;
    const int page = ActivePage();
    if (page == CallsignPage) {
        if (View.OwnCallEmpty()) {
            View.ShowNotice(ExerciseNotice::OwnCallMissing);
            View.FocusOwnCall();
            return;
        }
        if (CallsignPart != nullptr)
            CallsignPart->BeginExercise();
        View.ShowPageTabs(true, false);
        phase = ExercisePhase::CallsignExercise;
    } else if (page == TextPage) {
        View.ShowPageTabs(false, true);
        phase = ExercisePhase::TextExercise;
    } else {
        View.ShowNotice(ExerciseNotice::PageNotWorking);
        View.FocusOwnCall();
        return;
    }
    // A test that ran out by itself left its flag behind, and an exercise
    // stopped during a pause its answer gate: neither belongs to this one.
    TestIsRunning = false;
    Play.AwaitingAnswer = false;
    Enter(phase);
    BuildPlayText();
    TuneIn();
    Began();
    Pump.OpenWaveOut();
}

void ExerciseControl::StopButClick() {
    // Esc in the answer field comes here too; it ends only what the button could.
    if (!Controls().StopEnabled)
        return;
    StopPressed = true;
    EndExercise();
}

void ExerciseControl::TestButClick() {
    // F3 reaches here while the button is disabled by an exercise.
    if (!Controls().TestEnabled)
        return;
    if (TestIsRunning)
        StopTest();
    else
        StartTest();
}

void ExerciseControl::StartTest() {
    View.ApplySettings();
    TestIsRunning = true;
    Play.SentText.clear();
    Play.PlayText = std::string(TestLetterCount, 'V') + ' ';
    Play.PlayPos = 1;
    Enter(ExercisePhase::Test);
    Began();
    Pump.OpenWaveOut();
}

void ExerciseControl::StopTest() {
    // A test that ran out into the pause after its letters was played to its end.
    const bool playedOut = Play.PlayPos > static_cast<int>(Play.PlayText.size());
    Ended(playedOut ? ExerciseEndCause::Completed : ExerciseEndCause::Stopped);
    TestIsRunning = false;
    Enter(ExercisePhase::Idle);
    View.FocusOwnCall();
    Play.StopRequested = true;
    // The letters of the test are no callsign to answer or replay.
    Play.AwaitingAnswer = false;
    Play.SentText.clear();
}

void ExerciseControl::EndExercise() {
    // Set before the message: completions handled under it only close the device.
    Play.StopRequested = true;
    const ExerciseEndCause cause =
        StopPressed ? ExerciseEndCause::Stopped : ExerciseEndCause::Completed;
    StopPressed = false;
    Ended(cause);
    Enter(ExercisePhase::Idle);
    View.ShowNotice(ExerciseNotice::ExerciseOver);
    View.ShowPageTabs(true, true);
    Voice.SetWordStart(true);
    if (ActivePage() == CallsignPage && CallsignPart != nullptr)
        CallsignPart->ExerciseEnded();
}

void ExerciseControl::BuildPlayText() {
    const int page = ActivePage();
    if (page == CallsignPage && CallsignPart != nullptr)
        CallsignPart->AppendPlayText(Play.PlayText);
    else if (page == TextPage)
        Play.PlayText = TextPlayText(View.TextWindowText());
    Play.PlayPos = 1;
    Play.CallStartPos = 1;
}

void ExerciseControl::CallEditKeyDown(int key) {
    // Enter is taken as a typed character in this field.
    if (key != VkReturn && ShortcutOf(key, TestIsRunning) == Shortcut::Test)
        TestButClick();
}

bool ExerciseControl::CallEditEnter() {
    if (TestIsRunning)
        return false;
    StartButClick();
    return true;
}

void ExerciseControl::SettingsKeyDown(int key) {
    switch (ShortcutOf(key, TestIsRunning)) {
    case Shortcut::Test:
        TestButClick();
        break;
    case Shortcut::Start:
        StartButClick();
        break;
    case Shortcut::None:
        break;
    }
}

void ExerciseControl::Dispatch(WaveMessage message, WaveHandle device, WaveHeader* header) {
    Pump.Dispatch(message, device, header);
}

int ExerciseControl::ActivePage() const {
    return View.ActivePage();
}

KeyerSettings ExerciseControl::CurrentKeyerSettings() const {
    KeyerSettings settings;
    settings.DotSamples = Dot;
    settings.ToneFreq = Tone;
    settings.LetterGap = View.LetterGap();
    settings.WordGap = View.WordGap();
    settings.ActivePage = ActivePage();
    return settings;
}

void ExerciseControl::PauseForAnswer() {
    if (CallsignPart != nullptr) {
        CallsignPart->PauseForAnswer();
        return;
    }
    Play.StopRequested = true;
    Play.AwaitingAnswer = true;
}

void ExerciseControl::ShowWarning(const std::string& text, const std::string& caption) {
    DeviceFailed = true;
    View.ShowWarning(text, caption);
}

void ExerciseControl::DeviceClosed() {
    if (CallsignPart != nullptr)
        CallsignPart->DeviceClosed();
}

} // namespace tonvik
