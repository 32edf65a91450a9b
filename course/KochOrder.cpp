#include "course/KochOrder.h"

#include <algorithm>

namespace tonvik {
namespace {

// The order online Koch courses use, limited to what the keyer keys.
const std::string LatinOrder = "KMURESNAPTLWIJZFOYVG5/Q92H38B?47C1D60X";

// The Cyrillic course keeps the Latin course's order of sounds: where a
// Russian letter is keyed like a Latin one it takes that letter's place
// (К for K, М for M, У for U, ...), so the first twenty lessons train the same
// sounds and a learner can move between the courses without starting over.
// The five letters with sounds of their own (Я Ч Ш Ю Э) come after the
// twenty letters and before the digits, which Russian text needs less; Ё is
// keyed as Е and Ъ as Ь, so neither is a character of its own here.
// CP1251: К М У Р Е С Н А П Т Л В И Й З Ф О Ы Ж Г Я Ч Ш Ю Э, then the Latin
// order's digits and signs with Щ Х Б Ц Д Ь in the places of Q H B C D X.
const std::string CyrillicOrder = "\xCA\xCC\xD3\xD0\xC5\xD1\xCD\xC0\xCF\xD2\xCB\xC2\xC8\xC9\xC7"
                                  "\xD4\xCE\xDB\xC6\xC3\xDF\xD7\xD8\xDE\xDD"
                                  "5/\xD9"
                                  "92\xD5"
                                  "38\xC1?47\xD6"
                                  "1\xC4"
                                  "60\xDC";

} // namespace

const std::string& CourseOrder(CourseKind course) {
    return course == CourseKind::Cyrillic ? CyrillicOrder : LatinOrder;
}

int LessonCount(CourseKind course) {
    return static_cast<int>(CourseOrder(course).size()) - 1;
}

int ClampLesson(CourseKind course, int lesson) {
    return std::clamp(lesson, 1, LessonCount(course));
}

std::string LessonCharacters(CourseKind course, int lesson) {
    return CourseOrder(course).substr(0, static_cast<size_t>(ClampLesson(course, lesson)) + 1);
}

unsigned char NewestCharacter(CourseKind course, int lesson) {
    return static_cast<unsigned char>(LessonCharacters(course, lesson).back());
}

} // namespace tonvik
