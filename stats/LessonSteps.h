#pragma once

#include "journal/JournalStats.h"

#include <string>
#include <vector>

namespace tonvik {

// The lesson a course had reached after each scored lesson: one past the
// highest lesson passed so far (1 before any), never past the course's last
// lesson. A lesson scored lower later takes nothing back.
struct ReachedStep {
    JournalTime When; // the lesson's start
    int Reached = 1;
};

struct CourseSteps {
    std::string Course;             // as the journal names it: "latin", "cyrillic"
    std::vector<ReachedStep> Steps; // oldest first, one per scored lesson
};

// The steps of every course in results (newest first, as LessonResults gives
// them), the courses in the order of their first lesson.
std::vector<CourseSteps> LessonReachedSteps(const std::vector<LessonResult>& newestFirst);

} // namespace tonvik
