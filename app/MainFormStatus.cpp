// The status line under the settings and what a screen reader is told: the
// drill under way with its points, the outcome of each answer, the end of an
// exercise, and a journal that stopped recording. None of it takes the focus.
#include "app/MainForm.h"

#include "app/Announcer.h"
#include "app/MessageService.h"
#include "app/WindowTexts.h"
#include "text/Cp1251.h"
#include "ui_MainForm.h"

#include <cmath>

namespace tonvik {

namespace {

QString DrillName(CallsignDrill drill) {
    switch (drill) {
    case CallsignDrill::MissedCalls:
        return QStringLiteral("Повтор ошибок");
    case CallsignDrill::WeakCharacters:
        return QStringLiteral("Слабые знаки");
    case CallsignDrill::None:
        break;
    }
    return {};
}

QString PointsText(double points) {
    return QString::number(std::lrint(points));
}

} // namespace

bool TMorseMain::Exercising() const {
    return Control.Phase() != ExercisePhase::Idle || LessonRunning() || RecognitionRunning();
}

void TMorseMain::ShowPendingJournalProblem() {
    if (const auto problem = std::exchange(PendingJournalProblem, std::nullopt))
        Messages.ShowMessage(JournalProblemText(*problem), WarningCaption);
}

void TMorseMain::ShowStatus() {
    QStringList lines;
    if (!DrillLine.isEmpty())
        lines << DrillLine;
    if (!JournalLine.isEmpty())
        lines << JournalLine;
    Ui->StatusLbl->setText(lines.join(QLatin1Char('\n')));
}

void TMorseMain::StatusExerciseStarted(ExercisePhase phase) {
    const QString drill =
        phase == ExercisePhase::CallsignExercise ? DrillName(Trainer.Drill()) : QString();
    DrillLine = drill.isEmpty() ? QString() : QStringLiteral("%1: 0 очков").arg(drill);
    ShowStatus();
    if (!drill.isEmpty())
        Speaker->Announce(QStringLiteral("%1 начат").arg(drill));
}

void TMorseMain::StatusAnswerEvaluated(const AnsweredCall& answer) {
    const AnswerOutcome& outcome = answer.Outcome;
    const QString drill = DrillName(Trainer.Drill());
    if (!drill.isEmpty()) {
        DrillLine = QStringLiteral("%1: %2 очков").arg(drill, PointsText(outcome.TotalPoints));
        ShowStatus();
    }
    const QString speed = QStringLiteral("Скорость %1").arg(outcome.SpeedPosition);
    if (outcome.Right) {
        Speaker->Announce(QStringLiteral("Верно. ") + speed);
        return;
    }
    const QString typed = answer.Typed.empty()
                              ? QStringLiteral("ничего не принято")
                              : QStringLiteral("принято ") + FromCp1251(answer.Typed);
    Speaker->Announce(
        QStringLiteral("Ошибка: %1, %2. %3").arg(FromCp1251(answer.Sent), typed, speed));
}

void TMorseMain::StatusExerciseEnded(ExercisePhase phase) {
    const QString drill =
        phase == ExercisePhase::CallsignExercise ? DrillName(Trainer.Drill()) : QString();
    const QString total = PointsText(Trainer.Session().TotalPoints());
    if (!drill.isEmpty()) {
        DrillLine = QStringLiteral("%1 окончен: %2 очков").arg(drill, total);
        ShowStatus();
        Speaker->Announce(QStringLiteral("%1 окончен. Всего очков: %2").arg(drill, total));
    } else if (phase == ExercisePhase::CallsignExercise) {
        Speaker->Announce(QStringLiteral("Прием закончен. Всего очков: %1").arg(total));
    } else {
        Speaker->Announce(QStringLiteral("Прием закончен"));
    }
    // Said now that nobody is typing an answer into it.
    ShowPendingJournalProblem();
}

void TMorseMain::JournalWriteFailed(const JournalProblem& problem) {
    JournalLine = JournalStatusText(problem);
    Ui->StatusLbl->setToolTip(JournalProblemText(problem));
    ShowStatus();
    if (!Exercising()) {
        Messages.ShowMessage(JournalProblemText(problem), WarningCaption);
        return;
    }
    PendingJournalProblem = problem;
    Speaker->Announce(JournalProblemText(problem).replace(QLatin1Char('\n'), QLatin1Char(' ')));
}

} // namespace tonvik
