#pragma once

#include "journal/JournalProblem.h"
#include "journal/JournalTypes.h"

#include <QString>

#include <string>

namespace tonvik {

struct Confusion;

// The statistics window's words and figures, in Russian, from the journal's
// plain values.

// What each page shows of a journal without a single exercise.
inline const QString NoExercisesText = QStringLiteral("Пока нет ни одного упражнения");

// The one line the window shows instead of its pages when there is no journal
// to read: the trainer runs with --no-journal (problem null), or the journal
// could not be opened.
QString NoJournalText(const JournalProblem* problem);

// "раз" or "раза" after a count, as Russian has it: 1, 21 раз; 2, 3, 4, 22
// раза; 5..20, 11..14, 111 раз.
QString TimesWord(long long count);
// "B → 6: 12 раз".
QString ConfusionText(const Confusion& confusion);

// A course as the journal names it ("latin", "cyrillic"), in Russian.
QString CourseText(const std::string& course);

// A journal time in local time, "09.03.2024 17:05".
QString DateText(JournalTime time);
// A share in percent with one decimal, Russian style: "87,5".
QString PercentText(double percent);

} // namespace tonvik
