// The training journal observes the window: each exercise with the settings
// it started with, each answer as it is evaluated, and how each one ended.
#include "app/MainForm.h"

#include "journal/FileHash.h"
#include "journal/Journal.h"
#include "text/SpinEdit.h"
#include "ui_MainForm.h"

#include <QFile>

#include <cmath>

namespace tonvik {

namespace {

ExerciseKind KindOf(ExercisePhase phase, CallsignDrill drill) {
    switch (phase) {
    case ExercisePhase::TextExercise:
        return ExerciseKind::Text;
    case ExercisePhase::Test:
        return ExerciseKind::PreliminaryTest;
    case ExercisePhase::CallsignExercise:
    case ExercisePhase::Idle:
        break;
    }
    if (drill == CallsignDrill::MissedCalls)
        return ExerciseKind::MissedCallsDrill;
    if (drill == CallsignDrill::WeakCharacters)
        return ExerciseKind::WeakCharactersDrill;
    return ExerciseKind::Callsign;
}

EndReason ReasonOf(ExerciseEndCause cause) {
    switch (cause) {
    case ExerciseEndCause::Completed:
        return EndReason::Completed;
    case ExerciseEndCause::NoSoundDevice:
        return EndReason::NoSoundDevice;
    case ExerciseEndCause::Stopped:
        break;
    }
    return EndReason::Stopped;
}

} // namespace

bool TMorseMain::Recording() const {
    return Records != nullptr && Records->IsOpen();
}

void TMorseMain::ExerciseStarted(ExercisePhase phase) {
    StatusExerciseStarted(phase);
    if (!Recording())
        return;
    ExerciseStart start;
    start.Kind = KindOf(phase, Trainer.Drill());
    start.Started = JournalClock::now();
    start.Wpm = Ui->SpeedTrackBar->value();
    start.PitchHz = Ui->PitchTrackBar->value() * 100;
    start.Volume = Control.VolumeFactor();
    start.SpeedFixed = Ui->SpeedBox->isChecked();
    start.ToneFixed = Ui->ToneBox->isChecked();
    start.LetterGap = Ui->SpinEdit2->CurrentValue();
    start.WordGap = Ui->SpinEdit1->CurrentValue();
    if (phase == ExercisePhase::CallsignExercise) {
        start.OwnCall = OwnCall();
        const std::filesystem::path list = Trainer.ListFile();
        start.ListPath = QFile::decodeName(QByteArray::fromStdString(list.string())).toStdString();
        start.ListSha256 = FileSha256(list);
    }
    if (phase != ExercisePhase::Test) {
        BandConditions band = Control.Air().Chosen();
        if (phase != ExercisePhase::CallsignExercise)
            band.CallersPercent = 0; // a second caller answers callsigns only
        // A receiver setting alone changes no sample: heard clean.
        start.Conditions = band.AnyOn() ? DescribeConditions(band) : "clean";
    }
    Records->BeginExercise(start);
}

void TMorseMain::ExerciseEnded(ExercisePhase phase, ExerciseEndCause cause, int charactersKeyed) {
    RecordEnd(phase, cause, charactersKeyed);
    StatusExerciseEnded(phase);
}

void TMorseMain::RecordEnd(ExercisePhase phase, ExerciseEndCause cause, int charactersKeyed) {
    if (!Recording())
        return;
    ExerciseEnd end;
    end.Ended = JournalClock::now();
    end.Reason = ReasonOf(cause);
    if (phase == ExercisePhase::CallsignExercise) {
        end.TotalPoints = Trainer.Session().TotalPoints();
        end.MaxWpm = Trainer.Session().MaxWpm();
    } else {
        end.CharactersKeyed = charactersKeyed;
    }
    Records->EndExercise(end);
}

void TMorseMain::AnswerEvaluated(const AnsweredCall& answer) {
    StatusAnswerEvaluated(answer);
    if (!Recording())
        return;
    AnswerRecord record;
    record.Number = answer.Number;
    record.Sent = answer.Sent;
    record.Typed = answer.Typed;
    record.TypedUtf8 = answer.TypedUtf8;
    record.Right = answer.Outcome.Right;
    record.Errors = answer.Outcome.ErrorCount;
    record.Wpm = answer.Outcome.CallWpm;
    record.ToneHz = answer.ToneHz;
    record.Replays = answer.Replays;
    record.Points = static_cast<int>(std::lrint(answer.Outcome.Points));
    record.CallPoints = answer.Outcome.CallPoints;
    record.ResponseMs = answer.ResponseMs;
    record.Answered = JournalClock::now();
    Records->RecordAnswer(record);
}

} // namespace tonvik
