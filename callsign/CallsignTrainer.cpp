#include "callsign/CallsignTrainer.h"

#include "callsign/AnswerObserver.h"
#include "callsign/CallsignList.h"
#include "callsign/CallsignListLocation.h"
#include "callsign/CallsignView.h"
#include "exercise/ExerciseControl.h"
#include "exercise/Shortcuts.h"

#include <cmath>

namespace tonvik {

CallsignTrainer::CallsignTrainer(ExerciseControl& control, CallsignView& view, Random& random)
    : Control(control), View(view), Rng(random) {
    Control.SetCallsignMode(this);
}

CallsignTrainer::~CallsignTrainer() {
    Control.SetCallsignMode(nullptr);
}

std::filesystem::path CallsignTrainer::ListFile() const {
    // Chosen at every start: a list imported while the window is open is
    // drawn from by the next exercise.
    return ListOverride.empty() ? ChooseCallsignList().Path : ListOverride;
}

void CallsignTrainer::FormShow() {
    Table.Setup();
    View.ShowResults(Table);
}

void CallsignTrainer::BeginExercise() {
    DropPendingAnswer();
    Replays = 0;
    View.ClearAnswer();
    View.FocusAnswer();
    Figures.Begin();
    View.ShowCallNumber(Figures.CallNumber());
    View.ShowPoints("0", "0");
    View.ClearErrors();
}

bool CallsignTrainer::StartDrill(CallsignDrill kind, const std::vector<std::string>& callsigns) {
    if (callsigns.empty() || !Control.Controls().StartEnabled)
        return false;
    DrillKind = kind;
    DrillCalls = callsigns;
    Control.StartButClick();
    DrillCalls.clear();
    if (ExerciseRunning())
        return true;
    DrillKind = CallsignDrill::None; // no own callsign: nothing started
    return false;
}

void CallsignTrainer::AppendPlayText(std::string& playText) {
    if (!DrillCalls.empty()) {
        for (const std::string& call : DrillCalls)
            playText += call + ' ';
        return;
    }
    DrillKind = CallsignDrill::None;
    // Read anew at every start, so an edited list takes effect at once.
    const CallsignList list = CallsignList::Load(ListFile());
    if (!list.Ok())
        View.ShowListProblem(list.Status());
    // A list without lines draws a single space: the exercise ends at once.
    playText += DrawCallsigns(list, Rng);
}

void CallsignTrainer::PauseForAnswer() {
    PlayState& state = Control.State();
    state.StopRequested = true;
    state.AwaitingAnswer = true;
    KeyedAt = std::chrono::steady_clock::now();
}

void CallsignTrainer::DeviceClosed() {
    // The callsign has been keyed in full and its device is closed: an Enter
    // that came during its keying is evaluated now, and the next callsign
    // starts at once.
    if (!PendingAnswer || !Control.State().AwaitingAnswer || Control.TestRunning() ||
        !ExerciseRunning())
        return;
    const std::string typed = std::move(*PendingAnswer);
    const std::string asTyped = std::move(PendingAsTyped);
    DropPendingAnswer();
    Evaluate(typed, asTyped, 0);
}

void CallsignTrainer::DropPendingAnswer() {
    if (!PendingAnswer)
        return;
    PendingAnswer.reset();
    View.HoldAnswer(false);
}

void CallsignTrainer::ExerciseEnded() {
    DropPendingAnswer();
    View.FocusOwnCall();
    View.ShowCallNumber(0);
    View.ClearAnswer();
    // A drill is no measure of the user's level: the table stays comparable.
    // Recording compacts the table as well when this result fills it.
    if (DrillKind == CallsignDrill::None) {
        Table.Record(View.OwnCall(), Figures.MaxWpm(), Figures.ShownTotal());
        View.ShowResults(Table);
    }
    DrillKind = CallsignDrill::None;
}

bool CallsignTrainer::ExerciseRunning() const {
    return Control.Phase() == ExercisePhase::CallsignExercise;
}

void CallsignTrainer::InputKeyDown(int key) {
    if (Control.State().SentText.empty())
        return;
    if (key == VkF6) {
        // The letters of the test, or a callsign of an exercise that has
        // ended, are nothing to replay. Asking to hear it again takes back
        // an answer given while it was keyed.
        if (!Control.TestRunning() && ExerciseRunning()) {
            DropPendingAnswer();
            ReplayCall();
        }
    } else if (key == VkEscape && !Control.TestRunning()) {
        Control.StopButClick();
    }
}

void CallsignTrainer::ReplayCall() {
    PlayState& state = Control.State();
    // Past the last callsign only the end of the exercise is left to key.
    if (state.CallStartPos > static_cast<int>(state.PlayText.size()))
        return;
    Figures.Replay(state);
    ++Replays;
    // The answer is taken once the replay has been keyed in full: SentText
    // holds only part of the callsign until then.
    state.AwaitingAnswer = false;
    // A device still keying the callsign is reset and closed before the new
    // one opens, so the two buffers are never queued twice.
    Control.OpenWaveOut();
}

bool CallsignTrainer::KeyingCallsign() const {
    const PlayState& state = Control.State();
    return Control.WaveOutPump().WaveDevice() != 0 &&
           state.CallStartPos <= static_cast<int>(state.PlayText.size());
}

bool CallsignTrainer::InputEnter() {
    if (Control.TestRunning() || !ExerciseRunning())
        return false;
    if (Control.State().AwaitingAnswer) {
        EvaluateAnswer();
        return true;
    }
    if (PendingAnswer)
        return true; // one answer per callsign
    if (!KeyingCallsign())
        return false;
    PendingAnswer = View.AnswerText();
    PendingAsTyped = View.AnswerAsTyped();
    View.HoldAnswer(true);
    return true;
}

void CallsignTrainer::EvaluateAnswer() {
    const auto waited = std::chrono::steady_clock::now() - KeyedAt;
    Evaluate(View.AnswerText(), View.AnswerAsTyped(),
             std::chrono::duration_cast<std::chrono::milliseconds>(waited).count());
}

void CallsignTrainer::Evaluate(const std::string& typed, const std::string& asTyped,
                               int64_t responseMs) {
    PlayState& state = Control.State();
    const AnswerOutcome outcome = Figures.Answer(state.SentText, typed, View.SpeedPosition(),
                                                 View.SpeedFixed(), View.ToneFixed());
    // Nothing keyed yet (a replay still opening, or one whose device failed):
    // no callsign to measure, so the Enter is ignored.
    if (!outcome.Evaluated)
        return;
    state.AwaitingAnswer = false;
    if (Observer != nullptr)
        Observer->AnswerEvaluated(Answered(state.SentText, typed, asTyped, outcome, responseMs));
    if (!outcome.Right)
        View.ShowError(outcome.ErrorLine, outcome.ErrorLineSentLength);
    View.MoveSpeed(outcome.SpeedPosition);
    if (outcome.UpdateLabels)
        View.ShowPoints(outcome.PointText, outcome.TotalText);
    NextCall();
}

AnsweredCall CallsignTrainer::Answered(const std::string& sentText, const std::string& typed,
                                       const std::string& asTyped, const AnswerOutcome& outcome,
                                       int64_t responseMs) const {
    AnsweredCall answer;
    answer.Number = Figures.CallNumber();
    answer.Sent = sentText.substr(0, sentText.size() - 1);
    answer.Typed = typed;
    answer.TypedUtf8 = asTyped;
    answer.Outcome = outcome;
    answer.ToneHz = static_cast<int>(std::lrint(Control.ToneFreq()));
    answer.Replays = Replays;
    answer.ResponseMs = responseMs;
    return answer;
}

void CallsignTrainer::NextCall() {
    Replays = 0;
    View.ClearAnswer();
    Figures.NextCall(Control.State());
    View.ShowCallNumber(Figures.CallNumber());
    if (!View.ToneFixed())
        Control.SetToneFreq(CallsignSession::VariedTone(View.PitchPosition(), Rng));
    Control.OpenWaveOut();
}

void CallsignTrainer::SelectResult(int row, int column) {
    if (const auto result = Table.ReportRow(row, column))
        View.ShowReport(*result);
    // During an exercise the own-callsign field is locked: the answer field
    // is where the user types next.
    if (Control.Controls().OwnCallEnabled)
        View.FocusOwnCall();
    else
        View.FocusAnswer();
}

} // namespace tonvik
