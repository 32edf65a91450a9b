#pragma once

#include "course/LessonSession.h"
#include "course/Recognition.h"
#include "journal/JournalReader.h"
#include "journal/JournalStats.h"
#include "journal/JournalTypes.h"

#include <map>
#include <optional>
#include <string_view>

namespace tonvik {

// The course and the journal: what a lesson and a recognition answer leave
// in it, and what it gives back to the lessons (the lesson reached, each
// lesson's best, the characters the user misses).

// The journal's name of a course: "latin" or "cyrillic".
std::string_view CourseName(CourseKind course);
std::optional<CourseKind> CourseFromName(std::string_view name);

// A scored lesson as the journal keeps it: its settings, counts and texts,
// and every sent character against what the copy has in its place (an extra
// character of the copy stands against nothing sent and is left out).
LessonResultRecord LessonResultOf(const LessonSession& session, JournalTime checked);

RecognitionAnswerRecord RecognitionAnswerOf(const RecognitionAnswer& answer, int number,
                                            JournalTime answered);

// How often the journal shows each character sent and missed, over
// callsigns, lessons and recognition alike, for the lesson's draw.
std::map<unsigned char, CharacterRecord> DrawHistory(const JournalReader& reader);

// The lesson a course's page opens at: the journal's lesson reached, kept
// within the course.
int LessonReached(const CourseStanding& standing, CourseKind course);

} // namespace tonvik
