// The progress page's band filter on a hand-made journal of clean callsign
// exercises and exercises under band conditions: the journal's series for
// each filter value, and the chart, which never joins a clean exercise and
// one under conditions in one line, in the window and in the plot alike.
#include "journal/JournalStats.h"
#include "stats/StatsCharts.h"
#include "stats/StatsForm.h"
#include "tests/support/JournalTestSupport.h"
#include "tests/support/StatsFormTest.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QTabWidget>
#include <QTest>

#include <cstdlib>
#include <ctime>
#include <ostream>
#include <set>
#include <string>
#include <vector>

using namespace tonvik;

namespace {

struct Exercise {
    int DaysAgo;
    const char* Conditions;
    ExerciseKind Kind;
    EndReason Reason;
    int MaxWpm;
};

// Five finished plain callsign exercises, two of them under conditions (a
// preset and values of one's own), besides a stopped one and a drill that
// the chart leaves out.
const std::vector<Exercise> Mixed{
    {40, "clean", ExerciseKind::Callsign, EndReason::Completed, 30},
    {30, "contest", ExerciseKind::Callsign, EndReason::Completed, 26},
    {20, "snr=6 bw=500 qsb=0.3", ExerciseKind::Callsign, EndReason::Completed, 24},
    {10, "clean", ExerciseKind::Callsign, EndReason::Completed, 34},
    {8, "clean", ExerciseKind::Callsign, EndReason::Stopped, 50},
    {5, "contest", ExerciseKind::MissedCallsDrill, EndReason::Completed, 52},
    {3, "clean", ExerciseKind::Callsign, EndReason::Completed, 36},
};

class ProgressFilter : public StatsFormTest {
protected:
    void Prepare(const std::vector<Exercise>& exercises) {
        Journal journal;
        ASSERT_TRUE(journal.Open(Path).Ok());
        for (const Exercise& e : exercises) {
            ExerciseStart start = CallsignStart(DaysAgo(e.DaysAgo));
            start.Kind = e.Kind;
            start.Conditions = e.Conditions;
            ASSERT_TRUE(journal.BeginExercise(start));
            ASSERT_TRUE(journal.RecordAnswer(
                ScoredAnswer(1, "UA3ABC", "UA3ABC", e.MaxWpm, 0, DaysAgo(e.DaysAgo, 5))));
            ASSERT_TRUE(journal.EndExercise(
                CallsignEnd(DaysAgo(e.DaysAgo, 60), e.Reason, 10.0 * e.MaxWpm, e.MaxWpm)));
        }
        ASSERT_TRUE(journal.Flush());
    }
    void Open() { OpenForm(&Main); }
    QChart* Chart() const { return Form->findChild<QChartView*>("ProgressChart")->chart(); }

    QWidget Main;
};

struct SeriesCase {
    const char* Name;
    ConditionsFilter Filter;
    std::vector<int> Wpm;              // oldest first
    std::vector<bool> UnderConditions; // of each
};

void PrintTo(const SeriesCase& c, std::ostream* out) {
    *out << c.Name;
}

class ProgressSeriesFilter : public ProgressFilter,
                             public ::testing::WithParamInterface<SeriesCase> {};

} // namespace

TEST_P(ProgressSeriesFilter, GivesTheFinishedPlainExercisesOfTheBandChosen) {
    Prepare(Mixed);
    JournalReader reader;
    ASSERT_TRUE(reader.Open(Path).Ok());
    std::vector<int> wpm;
    std::vector<bool> under;
    for (const ProgressPoint& point : ProgressSeries(reader, GetParam().Filter)) {
        wpm.push_back(point.MaxWpm);
        under.push_back(point.UnderConditions);
    }
    EXPECT_FALSE(reader.Failed()) << reader.FailureText();
    EXPECT_EQ(wpm, GetParam().Wpm);
    EXPECT_EQ(under, GetParam().UnderConditions);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, ProgressSeriesFilter,
    ::testing::Values(
        SeriesCase{
            "All", ConditionsFilter::All, {30, 26, 24, 34, 36}, {false, true, true, false, false}},
        SeriesCase{"Clean", ConditionsFilter::Clean, {30, 34, 36}, {false, false, false}},
        SeriesCase{"UnderConditions", ConditionsFilter::UnderConditions, {26, 24}, {true, true}}),
    [](const ::testing::TestParamInfo<SeriesCase>& info) { return std::string(info.param.Name); });

namespace {

struct ChartLine {
    QString Name;
    QPen Pen;
    QColor Colour;
    std::vector<double> Values;
    std::set<qint64> Days;
};

// The chart's lines as drawn, with the days their points stand on.
std::vector<ChartLine> Lines(const QChart& chart) {
    std::vector<ChartLine> lines;
    for (QAbstractSeries* each : chart.series()) {
        const auto* series = qobject_cast<QLineSeries*>(each);
        if (series == nullptr)
            continue;
        ChartLine line{series->name(), series->pen(), series->pen().color(), {}, {}};
        for (const QPointF& point : series->points()) {
            line.Values.push_back(point.y());
            line.Days.insert(static_cast<qint64>(point.x()) / 86400000);
        }
        lines.push_back(line);
    }
    return lines;
}

// The days (since the epoch) of the finished plain exercises of one band.
std::set<qint64> DaysOf(bool underConditions) {
    std::set<qint64> days;
    for (const Exercise& e : Mixed)
        if (e.Kind == ExerciseKind::Callsign && e.Reason == EndReason::Completed &&
            (std::string(e.Conditions) != "clean") == underConditions)
            days.insert(std::chrono::duration_cast<std::chrono::milliseconds>(
                            DaysAgo(e.DaysAgo).time_since_epoch())
                            .count() /
                        86400000);
    return days;
}

struct WindowCase {
    const char* Name;
    int Downs; // presses of the down arrow in the filter after Alt+Э
    // Speeds each line of speed shows, clean first; the points likewise.
    std::vector<std::vector<double>> Speeds;
};

void PrintTo(const WindowCase& c, std::ostream* out) {
    *out << c.Name;
}

class ProgressFilterWindow : public ProgressFilter,
                             public ::testing::WithParamInterface<WindowCase> {};

} // namespace

TEST_P(ProgressFilterWindow, TheKeyboardChoosesTheBandAndNoLineJoinsTwoBands) {
    Prepare(Mixed);
    Open();
    // Alt and the underlined letter of «Эфир:», then the arrows.
    QTest::sendKeyEvent(QTest::Click, Form.get(), static_cast<Qt::Key>(0x042D), QStringLiteral("э"),
                        Qt::AltModifier);
    auto* box = Form->findChild<QComboBox*>("ProgressConditionsBox");
    ASSERT_NE(box, nullptr);
    ASSERT_EQ(QApplication::focusWidget(), box);
    for (int n = 0; n < GetParam().Downs; ++n)
        QTest::keyClick(box, Qt::Key_Down);
    std::vector<std::vector<double>> speeds, points;
    const std::set<qint64> clean = DaysOf(false), under = DaysOf(true);
    for (const ChartLine& line : Lines(*Chart())) {
        // Every line stands on the days of one band only, and on all of them.
        EXPECT_TRUE(line.Days == clean || line.Days == under) << line.Name.toStdString();
        (line.Values.front() < 100 ? speeds : points).push_back(line.Values);
    }
    EXPECT_EQ(speeds, GetParam().Speeds);
    ASSERT_EQ(points.size(), speeds.size());
    for (size_t n = 0; n < points.size(); ++n)
        for (size_t at = 0; at < points[n].size(); ++at)
            EXPECT_EQ(points[n][at], 10 * speeds[n][at]);
}

INSTANTIATE_TEST_SUITE_P(Filters, ProgressFilterWindow,
                         ::testing::Values(WindowCase{"All", 0, {{30, 34, 36}, {26, 24}}},
                                           WindowCase{"Clean", 1, {{30, 34, 36}}},
                                           WindowCase{"UnderConditions", 2, {{26, 24}}}),
                         [](const ::testing::TestParamInfo<WindowCase>& info) {
                             return std::string(info.param.Name);
                         });

TEST_F(ProgressFilter, BothBandsShowAsLinesOfTheirOwnColoursNamedInTheLegend) {
    Prepare(Mixed);
    Open();
    const std::vector<ChartLine> lines = Lines(*Chart());
    ASSERT_EQ(lines.size(), 4u);
    std::set<QString> names;
    std::set<QRgb> colours;
    for (const ChartLine& line : lines) {
        names.insert(line.Name);
        colours.insert(line.Colour.rgb());
        const bool clean = line.Days == DaysOf(false);
        EXPECT_TRUE(line.Name.contains(clean ? "без помех" : "в условиях"))
            << line.Name.toStdString();
    }
    EXPECT_EQ(names.size(), 4u);
    EXPECT_EQ(colours.size(), 4u);
    EXPECT_TRUE(Chart()->legend()->isVisible());
    EXPECT_EQ(Chart()->legend()->markers().size(), 4);
}

TEST_F(ProgressFilter, OnlyCleanExercisesDrawTheTwoLinesAsBefore) {
    Prepare({Mixed[0], Mixed[3]});
    Open();
    const std::vector<ChartLine> lines = Lines(*Chart());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].Name, "Наибольшая скорость, wpm");
    EXPECT_EQ(lines[1].Name, "Очки за упражнение");
}

TEST_F(ProgressFilter, AChartOfPointsOfBothBandsKeepsThemApart) {
    // The chart itself, as tonvik journal --plot draws it from every exercise.
    std::vector<ProgressPoint> points;
    for (int n = 0; n < 40; ++n)
        points.push_back({n + 1, DaysAgo(40 - n), 20 + n, 100.0 * n, n % 3 == 1});
    QChart* chart = BuildProgressChart(points);
    for (const ChartLine& line : Lines(*chart)) {
        const bool under = line.Name.contains("в условиях");
        for (const double value : line.Values) {
            const int n = static_cast<int>(line.Name.startsWith("Очки") ? value / 100 : value - 20);
            EXPECT_EQ(n % 3 == 1, under) << line.Name.toStdString() << " " << value;
        }
        EXPECT_EQ(line.Values.size(), under ? 13u : 27u) << line.Name.toStdString();
        // Sparse, the line under conditions is dashed besides.
        EXPECT_EQ(line.Pen.style(), under ? Qt::DashLine : Qt::SolidLine)
            << line.Name.toStdString();
    }
    EXPECT_EQ(chart->series().size(), 4);
    delete chart;
}
