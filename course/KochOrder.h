#pragma once

#include <string>

namespace tonvik {

enum class CourseKind { Latin, Cyrillic };

// The characters of a course in the order they are learnt, as CP1251 bytes.
const std::string& CourseOrder(CourseKind course);

// Lessons run from 1 (two characters) to the one that uses every character.
int LessonCount(CourseKind course);

// The characters of lesson N: the first N+1 of the course; lessons out of range
// are clamped to the first or the last.
std::string LessonCharacters(CourseKind course, int lesson);

// The character lesson N adds (the last of its set).
unsigned char NewestCharacter(CourseKind course, int lesson);

int ClampLesson(CourseKind course, int lesson);

} // namespace tonvik
