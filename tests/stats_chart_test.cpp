// The progress chart over spans a user really has: one exercise, a day of
// them, a few days, a year, in a zone with daylight saving too. Each exercise
// must stand apart on the chart (its marker inside the plot, the day's
// exercises spread over the width), and the time axis must read: no tick
// label twice, the time of day within one day.
#include "stats/StatsCharts.h"

#include <QBarCategoryAxis>
#include <QChart>
#include <QCoreApplication>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QGraphicsScene>
#include <QLineSeries>
#include <QRegularExpression>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <set>
#include <string>
#include <vector>

using namespace tonvik;

namespace {

// Tick labels as Qt Charts makes them: evenly from the range's start to its
// end, each formatted with the axis format.
QStringList TickLabels(const QDateTimeAxis* axis) {
    QStringList labels;
    const qint64 first = axis->min().toMSecsSinceEpoch(), last = axis->max().toMSecsSinceEpoch();
    const int ticks = axis->tickCount();
    for (int n = 0; n < ticks; ++n) {
        const double at = static_cast<double>(first) +
                          static_cast<double>(n) * static_cast<double>(last - first) / (ticks - 1);
        labels << QLocale().toString(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(at)),
                                     axis->format());
    }
    return labels;
}

struct SpanCase {
    const char* Name;
    const char* Zone;
    const char* First; // local "yyyy-MM-dd HH:mm"
    int Count;
    int MinutesApart;
    const char* LabelPattern; // every tick label matches
    const char* TitleHas;
};

class ProgressChartSpan : public ::testing::TestWithParam<SpanCase> {
protected:
    void SetUp() override {
        setenv("TZ", GetParam().Zone, 1);
        tzset();
    }
    void TearDown() override {
        setenv("TZ", "UTC", 1);
        tzset();
    }
    std::vector<ProgressPoint> Points() const {
        const SpanCase& c = GetParam();
        const QDateTime first = QDateTime::fromString(c.First, "yyyy-MM-dd HH:mm");
        std::vector<ProgressPoint> points;
        for (int n = 0; n < c.Count; ++n) {
            const qint64 ms = first.toMSecsSinceEpoch() + qint64{n} * c.MinutesApart * 60000;
            points.push_back({n + 1, JournalTime(std::chrono::milliseconds(ms)), 25 + n % 20,
                              1000.0 + 300 * (n % 7)});
        }
        return points;
    }
};

} // namespace

TEST_P(ProgressChartSpan, EveryExerciseStandsApartUnderDistinctRoundTicks) {
    const std::vector<ProgressPoint> points = Points();
    QGraphicsScene scene;
    QChart* chart = BuildProgressChart(points);
    scene.addItem(chart);
    // The chart at about the smallest the window gives it.
    chart->setGeometry(QRectF(0, 0, 640, 300));
    QCoreApplication::sendPostedEvents();
    const auto axes = chart->axes(Qt::Horizontal);
    ASSERT_EQ(axes.size(), 1);
    const auto* dates = qobject_cast<QDateTimeAxis*>(axes[0]);
    ASSERT_NE(dates, nullptr);

    const QStringList labels = TickLabels(dates);
    EXPECT_EQ(QSet<QString>(labels.begin(), labels.end()).size(), labels.size())
        << labels.join(", ").toStdString();
    EXPECT_LE(labels.size(), 8) << labels.join(", ").toStdString();
    const QRegularExpression pattern(QString("^") + GetParam().LabelPattern + "$");
    for (const QString& label : labels)
        EXPECT_TRUE(pattern.match(label).hasMatch()) << label.toStdString();
    EXPECT_TRUE(dates->titleText().contains(GetParam().TitleHas))
        << dates->titleText().toStdString();

    // Every exercise inside the plot, off its frame; several spread over at
    // least half its width, a few each with a marker.
    const QRectF plot = chart->plotArea();
    ASSERT_EQ(chart->series().size(), 2);
    for (QAbstractSeries* each : chart->series()) {
        auto* series = qobject_cast<QLineSeries*>(each);
        ASSERT_EQ(series->count(), static_cast<int>(points.size()));
        double left = plot.right(), right = plot.left();
        for (const QPointF& point : series->points()) {
            const QPointF at = chart->mapToPosition(point, series);
            EXPECT_GT(at.x(), plot.left() + 2) << series->name().toStdString();
            EXPECT_LT(at.x(), plot.right() - 2) << series->name().toStdString();
            left = std::min(left, at.x());
            right = std::max(right, at.x());
        }
        if (points.size() > 1) {
            EXPECT_GT(right - left, plot.width() / 2) << series->name().toStdString();
        }
        if (points.size() <= 12) {
            EXPECT_TRUE(series->pointsVisible()) << series->name().toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Spans, ProgressChartSpan,
    ::testing::Values(SpanCase{"OneExercise", "UTC", "2026-12-09 10:37", 1, 0, "\\d\\d:\\d\\d",
                               "09.12.2026"},
                      SpanCase{"TwelveInOneDay", "UTC", "2026-12-09 08:00", 12, 50, "\\d\\d:\\d\\d",
                               "09.12.2026"},
                      SpanCase{"TwelveInOneMoscowEvening", "Europe/Moscow", "2026-12-09 18:00", 12,
                               20, "\\d\\d:\\d\\d", "09.12.2026"},
                      SpanCase{"OverMidnight", "UTC", "2026-12-08 21:00", 8, 60,
                               "\\d\\d\\.\\d\\d \\d\\d:\\d\\d", "Дата"},
                      SpanCase{"ThreeDays", "UTC", "2026-12-07 19:00", 9, 8 * 60,
                               "\\d\\d\\.\\d\\d \\d\\d:\\d\\d|\\d\\d\\.\\d\\d\\.\\d\\d", "Дата"},
                      SpanCase{"AYearAcrossDaylightSaving", "Europe/Berlin", "2025-12-09 19:00",
                               365, 24 * 60, "\\d\\d\\.\\d\\d\\.\\d\\d", "Дата"},
                      SpanCase{"AMonthAcrossDaylightSaving", "Europe/Berlin", "2026-03-15 23:30",
                               30, 24 * 60, "\\d\\d\\.\\d\\d\\.\\d\\d", "Дата"}),
    [](const ::testing::TestParamInfo<SpanCase>& info) { return std::string(info.param.Name); });

TEST(ProgressChart, NoExerciseGivesTheLastMonthWithDistinctDates) {
    QChart* chart = BuildProgressChart({});
    const auto* dates = qobject_cast<QDateTimeAxis*>(chart->axes(Qt::Horizontal).value(0));
    ASSERT_NE(dates, nullptr);
    const QStringList labels = TickLabels(dates);
    EXPECT_EQ(QSet<QString>(labels.begin(), labels.end()).size(), labels.size());
    EXPECT_GE(dates->min().daysTo(dates->max()), 30);
    delete chart;
}

TEST(CharacterChart, ChartsTheSixteenWorstAndSaysSoWhenThereAreMore) {
    for (const int count : {5, 16, 37}) {
        std::vector<CharacterStat> stats;
        for (int n = 0; n < count; ++n)
            stats.push_back({std::string(1, static_cast<char>('A' + n % 26)) +
                                 (n >= 26 ? std::string(1, static_cast<char>('0' + n - 26)) : ""),
                             100, n, 100.0 - n});
        QChart* chart = BuildCharacterChart(stats);
        auto* axis = qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Horizontal).value(0));
        ASSERT_NE(axis, nullptr);
        EXPECT_EQ(axis->count(), std::min(count, 16)) << count;
        EXPECT_EQ(axis->categories().value(0), "A");
        EXPECT_EQ(chart->title(), count > 16 ? QString("Точность по знакам, %: 16 худших из 37")
                                             : QString("Точность по знакам, %, худшие первыми"))
            << chart->title().toStdString();
        delete chart;
    }
}
