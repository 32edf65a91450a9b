#include "callsign/CallsignTrainer.h"

#include "callsign/CallsignList.h"
#include "callsign/CallsignListLocation.h"
#include "callsign/CallsignView.h"
#include "exercise/ExerciseControl.h"
#include "exercise/Shortcuts.h"

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
    View.ClearAnswer();
    View.FocusAnswer();
    Figures.Begin();
    View.ShowCallNumber(Figures.CallNumber());
    View.ShowPoints("0", "0");
    View.ClearErrors();
}

void CallsignTrainer::AppendPlayText(std::string& playText) {
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
}

void CallsignTrainer::ExerciseEnded() {
    View.FocusOwnCall();
    View.ShowCallNumber(0);
    View.ClearAnswer();
    // Compacts the table as well when this result fills it.
    Table.Record(View.OwnCall(), Figures.MaxWpm(), Figures.ShownTotal());
    View.ShowResults(Table);
}

bool CallsignTrainer::ExerciseRunning() const {
    return Control.Phase() == ExercisePhase::CallsignExercise;
}

void CallsignTrainer::InputKeyDown(int key) {
    if (Control.State().SentText.empty())
        return;
    if (key == VkF6) {
        // The letters of the test, or a callsign of an exercise that has
        // ended, are nothing to replay.
        if (!Control.TestRunning() && ExerciseRunning())
            ReplayCall();
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
    // The answer is taken once the replay has been keyed in full: SentText
    // holds only part of the callsign until then.
    state.AwaitingAnswer = false;
    // A device still keying the callsign is reset and closed before the new
    // one opens, so the two buffers are never queued twice.
    Control.OpenWaveOut();
}

bool CallsignTrainer::InputEnter() {
    if (!Control.State().AwaitingAnswer || Control.TestRunning() || !ExerciseRunning())
        return false;
    EvaluateAnswer();
    return true;
}

void CallsignTrainer::EvaluateAnswer() {
    PlayState& state = Control.State();
    const AnswerOutcome outcome =
        Figures.Answer(state.SentText, View.AnswerText(), View.SpeedPosition(), View.SpeedFixed(),
                       View.ToneFixed());
    // Nothing keyed yet (a replay still opening, or one whose device failed):
    // no callsign to measure, so the Enter is ignored.
    if (!outcome.Evaluated)
        return;
    state.AwaitingAnswer = false;
    if (!outcome.Right)
        View.ShowError(outcome.ErrorLine, outcome.ErrorLineSentLength);
    View.MoveSpeed(outcome.SpeedPosition);
    if (outcome.UpdateLabels)
        View.ShowPoints(outcome.PointText, outcome.TotalText);
    NextCall();
}

void CallsignTrainer::NextCall() {
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
