#pragma once

#include "cli/Options.h"

#include <string>

namespace tonvik {

// The highest lesson of any course, for the option's range; the course's own
// last lesson is checked with the other options.
int MaxKochLesson();

// --farnsworth: text mode only, never faster than --wpm, and instead of the
// gaps in dots. Returns an error line or "".
std::string CheckFarnsworth(CliOptions& options);

// export --koch: a lesson of the course, its own text, a file to write its
// text beside, and the lesson's speeds (20 wpm, 10 effective, unless given).
std::string CheckKochLesson(CliOptions& options);
// --minutes and --course without --koch.
std::string CheckLessonOnlyOptions(const CliOptions& options);

} // namespace tonvik
