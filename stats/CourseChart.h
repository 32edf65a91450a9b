#pragma once

#include "stats/LessonSteps.h"

#include <vector>

class QChart;

namespace tonvik {

// The lesson each course had reached over time: a step line per course, a
// dot on it for every scored lesson, lesson numbers on the left, dates
// below. No course gives empty axes over the last 30 days and a title that
// says there were no lessons yet. The caller owns the chart.
QChart* BuildCourseChart(const std::vector<CourseSteps>& courses);

} // namespace tonvik
