#include "stats/LessonSteps.h"

#include "course/KochOrder.h"

#include <algorithm>

namespace tonvik {
namespace {

// The highest lesson a course has; the Latin course for a name not known.
int LastLesson(const std::string& course) {
    return LessonCount(course == "cyrillic" ? CourseKind::Cyrillic : CourseKind::Latin);
}

} // namespace

std::vector<CourseSteps> LessonReachedSteps(const std::vector<LessonResult>& newestFirst) {
    std::vector<CourseSteps> courses;
    for (auto result = newestFirst.rbegin(); result != newestFirst.rend(); ++result) {
        auto course = std::find_if(courses.begin(), courses.end(), [&](const CourseSteps& c) {
            return c.Course == result->Course;
        });
        if (course == courses.end())
            course = courses.insert(courses.end(), CourseSteps{result->Course, {}});
        int reached = course->Steps.empty() ? 1 : course->Steps.back().Reached;
        if (result->Passed)
            reached = std::max(reached, std::min(result->Lesson + 1, LastLesson(result->Course)));
        course->Steps.push_back({result->Started, reached});
    }
    return courses;
}

} // namespace tonvik
