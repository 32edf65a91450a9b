#pragma once

#include "callsign/CallsignList.h"
#include "exercise/ExerciseView.h"
#include "journal/JournalProblem.h"

#include <QString>

namespace tonvik {

// The caption of the program's own messages.
inline const QString WarningCaption = QStringLiteral("Внимание!");

// The words of exercise control's messages, and the caption each one carries.
QString NoticeText(ExerciseNotice notice);
QString NoticeCaption(ExerciseNotice notice);

// Why no callsign could be drawn from master.ped; "" for a list that is fine.
QString ListProblemText(CallsignListStatus status);

// What went wrong with the training journal, where, and that training goes
// on without it (or that a broken file was moved aside and a new one begun).
QString JournalProblemText(const JournalProblem& problem);
// The same in a few words, for the status line while an exercise runs.
QString JournalStatusText(const JournalProblem& problem);

} // namespace tonvik
