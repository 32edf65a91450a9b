#include "stats/CourseChart.h"

#include "stats/ChartParts.h"
#include "stats/StatsText.h"

#include <QChart>
#include <QDateTimeAxis>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPen>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace tonvik {
namespace {

const std::array<QColor, 3> CourseColours{QColor(0x00, 0x60, 0x30), QColor(0x80, 0x20, 0xA0),
                                          QColor(0x90, 0x50, 0x10)};
// The lesson numbers the axis labels at most, so that they stay apart.
constexpr int LessonTicks = 8;

// The step line: level until a lesson opens the next one, then straight up.
QLineSeries* StepLine(const CourseSteps& course, const QColor& colour) {
    auto* line = new QLineSeries;
    line->setName(CourseText(course.Course));
    line->setPen(QPen(colour, 2));
    int level = 1;
    for (const ReachedStep& step : course.Steps) {
        const auto x = static_cast<double>(ChartMsecs(step.When));
        line->append(x, level);
        if (step.Reached != level)
            line->append(x, step.Reached);
        level = step.Reached;
    }
    return line;
}

// A dot for every scored lesson, at the lesson reached after it.
QScatterSeries* LessonDots(const CourseSteps& course, const QColor& colour) {
    auto* dots = new QScatterSeries;
    dots->setName(CourseText(course.Course));
    dots->setColor(colour);
    dots->setBorderColor(colour);
    dots->setMarkerSize(7);
    for (const ReachedStep& step : course.Steps)
        dots->append(static_cast<double>(ChartMsecs(step.When)), step.Reached);
    return dots;
}

QValueAxis* LessonAxis(int top) {
    auto* axis = new QValueAxis;
    axis->setTitleText(QStringLiteral("Урок"));
    axis->setLabelFormat(QStringLiteral("%.0f"));
    axis->setRange(0, top + 1);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(std::ceil(static_cast<double>(top + 1) / LessonTicks));
    return axis;
}

} // namespace

QChart* BuildCourseChart(const std::vector<CourseSteps>& courses) {
    QChart* chart = NewChart(courses.empty() ? QStringLiteral("Уроков пока не было")
                                             : QStringLiteral("Курс: урок, до которого дошли"));
    qint64 first = std::numeric_limits<qint64>::max(), last = std::numeric_limits<qint64>::min();
    int top = 2;
    for (const CourseSteps& course : courses)
        for (const ReachedStep& step : course.Steps) {
            first = std::min(first, ChartMsecs(step.When));
            last = std::max(last, ChartMsecs(step.When));
            top = std::max(top, step.Reached);
        }
    QDateTimeAxis* dates = TimeAxis(first, last, courses.empty());
    QValueAxis* lessons = LessonAxis(top);
    chart->addAxis(dates, Qt::AlignBottom);
    chart->addAxis(lessons, Qt::AlignLeft);
    for (size_t n = 0; n < courses.size(); ++n) {
        const QColor& colour = CourseColours[n % CourseColours.size()];
        QLineSeries* line = StepLine(courses[n], colour);
        QScatterSeries* dots = LessonDots(courses[n], colour);
        for (QXYSeries* series : {static_cast<QXYSeries*>(line), static_cast<QXYSeries*>(dots)}) {
            chart->addSeries(series);
            series->attachAxis(dates);
            series->attachAxis(lessons);
        }
        // The course's name once in the legend, by its line.
        for (QLegendMarker* marker : chart->legend()->markers(dots))
            marker->setVisible(false);
    }
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->setVisible(!courses.empty());
    return chart;
}

} // namespace tonvik
