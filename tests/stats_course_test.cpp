// The statistics window's «Курс» page: the lesson each course reached over
// time (90 % opens the next lesson, a weaker lesson later takes nothing
// back) and the last lessons' scores; lessons and recognition runs stay out
// of the callsign progress chart and the results table.
#include "stats/LessonSteps.h"
#include "stats/StatsForm.h"
#include "tests/support/CourseRecords.h"
#include "tests/support/JournalTestSupport.h"
#include "tests/support/StatsFormTest.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QScatterSeries>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include <cstdlib>
#include <ctime>
#include <map>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

using namespace tonvik;

namespace {

struct StepCase {
    const char* Name;
    // Oldest first: course, lesson, passed.
    std::vector<std::tuple<const char*, int, bool>> Lessons;
    // Per course, in the order of its first lesson: "course: reached after each".
    std::vector<std::string> Steps;
};

void PrintTo(const StepCase& c, std::ostream* out) {
    *out << c.Name;
}

class LessonStepsCase : public ::testing::TestWithParam<StepCase> {};

} // namespace

TEST_P(LessonStepsCase, OnePastTheHighestPassedNeverPastTheLastLesson) {
    std::vector<LessonResult> newestFirst;
    int day = 0;
    for (const auto& [course, lesson, passed] : GetParam().Lessons) {
        LessonResult result;
        result.Started = DaysAgo(100 - day++);
        result.Course = course;
        result.Lesson = lesson;
        result.Passed = passed;
        newestFirst.insert(newestFirst.begin(), result);
    }
    std::vector<std::string> steps;
    for (const CourseSteps& course : LessonReachedSteps(newestFirst)) {
        std::string line = course.Course + ":";
        for (const ReachedStep& step : course.Steps)
            line += " " + std::to_string(step.Reached);
        steps.push_back(line);
    }
    EXPECT_EQ(steps, GetParam().Steps);
}

INSTANTIATE_TEST_SUITE_P(
    Courses, LessonStepsCase,
    ::testing::Values(StepCase{"NoLesson", {}, {}},
                      StepCase{"NothingPassedStaysAtTheFirst",
                               {{"latin", 1, false}, {"latin", 1, false}},
                               {"latin: 1 1"}},
                      StepCase{"AWeakerLessonLaterTakesNothingBack",
                               {{"latin", 1, false},
                                {"latin", 1, true},
                                {"latin", 2, false},
                                {"latin", 2, true},
                                {"latin", 1, false}},
                               {"latin: 1 2 2 3 3"}},
                      StepCase{"ALowerLessonPassedAfterAHigherOne",
                               {{"latin", 5, true}, {"latin", 2, true}},
                               {"latin: 6 6"}},
                      // 38 characters in the Latin order: lesson 37 is the last.
                      StepCase{"TheLastLessonPassedStaysTheLast",
                               {{"latin", 36, true}, {"latin", 37, true}},
                               {"latin: 37 37"}},
                      StepCase{"TwoCoursesApart",
                               {{"cyrillic", 1, true}, {"latin", 1, true}, {"cyrillic", 2, true}},
                               {"cyrillic: 2 3", "latin: 2"}}),
    [](const ::testing::TestParamInfo<StepCase>& info) { return std::string(info.param.Name); });

namespace {

class CoursePage : public StatsFormTest {
protected:
    void SetUp() override {
        StatsFormTest::SetUp();
        ASSERT_TRUE(Recorder.Open(Path).Ok());
        AddCallsignExercise(Recorder, 1, ExerciseKind::Callsign, EndReason::Completed,
                            {{"UA3ABC", "UA3ABC"}}, 30, 540);
    }
    void TearDown() override {
        Recorder.Close();
        StatsFormTest::TearDown();
    }
    // Latin lessons 1 and 2 each failed, then passed, then lesson 1 weaker
    // again; one Cyrillic lesson passed; a recognition run.
    void Lessons() {
        for (const LessonRecord& lesson :
             std::vector<LessonRecord>{{DaysAgo(9), "latin", 1, 72.5, false},
                                       {DaysAgo(8), "latin", 1, 93, true},
                                       {DaysAgo(7), "latin", 2, 89.9, false},
                                       {DaysAgo(6), "latin", 2, 95, true},
                                       {DaysAgo(5), "cyrillic", 1, 96, true},
                                       {DaysAgo(4), "latin", 1, 80, false}})
            AddLesson(Recorder, lesson);
        AddRecognition(Recorder, DaysAgo(3), {{"K", "K", 400}, {"M", "R", 700}});
    }
    void Open() { OpenForm(&Main); }
    QChart* Chart(const char* name) const { return Form->findChild<QChartView*>(name)->chart(); }
    // The levels of a course's step line, each once, and the days it rose on.
    static std::pair<std::vector<int>, std::vector<qint64>> Levels(const QLineSeries& line) {
        std::vector<int> levels;
        std::vector<qint64> rises;
        for (const QPointF& point : line.points()) {
            const int level = static_cast<int>(point.y());
            if (levels.empty() || levels.back() != level) {
                if (!levels.empty())
                    rises.push_back(static_cast<qint64>(point.x()) / 86400000);
                levels.push_back(level);
            }
        }
        return {levels, rises};
    }
    static qint64 Day(JournalTime time) {
        return std::chrono::duration_cast<std::chrono::hours>(time.time_since_epoch()).count() / 24;
    }

    QWidget Main;
    Journal Recorder;
};

} // namespace

TEST_F(CoursePage, CtrlFiveShowsTheLessonReachedOverTimeAndTheLastScores) {
    Lessons();
    Open();
    QTest::keyClick(Form.get(), Qt::Key_5, Qt::ControlModifier);
    ASSERT_EQ(Form->findChild<QTabWidget*>("StatsTabs")->currentIndex(), TStatsForm::CoursePage);
    EXPECT_EQ(Form->findChild<QStackedWidget*>("CourseStack")->currentIndex(), 0);

    std::map<QString, std::pair<std::vector<int>, std::vector<qint64>>> lines;
    int dots = 0;
    for (QAbstractSeries* series : Chart("CourseChart")->series()) {
        if (const auto* line = qobject_cast<QLineSeries*>(series);
            line != nullptr && series->type() == QAbstractSeries::SeriesTypeLine)
            lines[line->name()] = Levels(*line);
        else if (const auto* scatter = qobject_cast<QScatterSeries*>(series))
            dots += scatter->count();
    }
    // Latin: lesson 2 opened by the 93 %, lesson 3 by the 95 %; 89.9 % and
    // the later 80 % open and take nothing. Cyrillic: lesson 2 at once.
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines["Латиница"].first, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(lines["Латиница"].second, (std::vector<qint64>{Day(DaysAgo(8)), Day(DaysAgo(6))}));
    EXPECT_EQ(lines["Кириллица"].first, (std::vector<int>{1, 2}));
    EXPECT_EQ(dots, 6); // a dot for every lesson scored
    // The journal's own word on where each course stands agrees.
    JournalReader reader;
    ASSERT_TRUE(reader.Open(Path).Ok());
    EXPECT_EQ(CourseProgress(reader, "latin").Reached, lines["Латиница"].first.back());
    EXPECT_EQ(CourseProgress(reader, "cyrillic").Reached, lines["Кириллица"].first.back());

    // The last scores, newest first: when, course, lesson, score, passed.
    const QAbstractItemModel* table = Form->findChild<QTableView*>("CourseTable")->model();
    std::vector<QStringList> rows;
    for (int row = 0; row < table->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < table->columnCount(); ++column)
            cells << table->index(row, column).data().toString();
        rows.push_back(cells);
    }
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0], (QStringList{"05.03.2024 17:05", "Латиница", "1", "80,0", "нет"}));
    EXPECT_EQ(rows[1], (QStringList{"04.03.2024 17:05", "Кириллица", "1", "96,0", "да"}));
    EXPECT_EQ(rows[3], (QStringList{"02.03.2024 17:05", "Латиница", "2", "89,9", "нет"}));
    EXPECT_EQ(rows[5], (QStringList{"29.02.2024 17:05", "Латиница", "1", "72,5", "нет"}));
}

TEST_F(CoursePage, LessonsAndRecognitionStayOutOfTheCallsignProgress) {
    Lessons();
    Open();
    std::vector<double> speeds;
    for (QAbstractSeries* series : Chart("ProgressChart")->series())
        if (const auto* line = qobject_cast<QLineSeries*>(series);
            line != nullptr && line->name().contains("скорость"))
            for (const QPointF& point : line->points())
                speeds.push_back(point.y());
    EXPECT_EQ(speeds, std::vector<double>{30});
    EXPECT_EQ(Form->findChild<QTableWidget*>("LastTable")->rowCount(), 1);
}

TEST_F(CoursePage, WithoutLessonsThePageSaysSo) {
    Open();
    Form->findChild<QTabWidget*>("StatsTabs")->setCurrentIndex(TStatsForm::CoursePage);
    const auto* stack = Form->findChild<QStackedWidget*>("CourseStack");
    ASSERT_EQ(stack->currentIndex(), 1);
    EXPECT_EQ(stack->currentWidget()->findChild<QLabel*>()->text(), "Уроков пока не было");
}
