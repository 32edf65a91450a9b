// The course in the journal: lesson scores give the lesson reached and each
// lesson's best, recognition answers give the median reaction per character,
// and the per-character figures can be read per source and per band. None of
// it shows among the callsign exercises.
#include "journal/JournalStats.h"
#include "tests/support/CourseRecords.h"
#include "tests/support/JournalTestSupport.h"

#include <utility>

using namespace tonvik;

namespace {

// A lesson as the tables here give it: days before the test's moment.
struct Lesson {
    int DaysAgo;
    const char* Course;
    int Number;
    double Score;
    bool Passed;
};

// The character pairs of one answer or lesson, sent then copied ("" dropped).
using Pairs = std::vector<std::pair<std::string, std::string>>;

class JournalCourseTest : public JournalTest {
protected:
    void SetUp() override {
        JournalTest::SetUp();
        ASSERT_TRUE(Recorder.Open(Path).Ok());
    }

    void AddLesson(const Lesson& lesson, const Pairs& pairs = {}) {
        tonvik::AddLesson(Recorder, {DaysAgo(lesson.DaysAgo), lesson.Course, lesson.Number,
                                     lesson.Score, lesson.Passed, pairs});
    }
    void AddRecognition(int daysAgo, const std::vector<Press>& presses) {
        tonvik::AddRecognition(Recorder, DaysAgo(daysAgo), presses);
    }

    void AddCallsigns(const std::string& conditions, const SentAndTyped& answers) {
        ExerciseStart start = CallsignStart(DaysAgo(1));
        start.Conditions = conditions;
        ASSERT_TRUE(Recorder.BeginExercise(start));
        int number = 0;
        for (const auto& [sent, typed] : answers) {
            ++number;
            ASSERT_TRUE(Recorder.RecordAnswer(
                ScoredAnswer(number, sent, typed, 30, 0, DaysAgo(1, number))));
        }
        ASSERT_TRUE(
            Recorder.EndExercise(CallsignEnd(DaysAgo(1, 60), EndReason::Completed, 100, 30)));
        ASSERT_TRUE(Recorder.Flush());
    }

    void OpenReader() { ASSERT_TRUE(Reader.Open(Path).Ok()); }

    Journal Recorder;
    JournalReader Reader;
};

} // namespace

TEST_F(JournalCourseTest, TheLessonReachedIsOnePastTheHighestPassed) {
    const std::vector<Lesson> lessons = {
        {9, "latin", 1, 72.5, false}, {8, "latin", 1, 93.0, true},    {7, "latin", 2, 89.9, false},
        {6, "latin", 2, 61.0, false}, {5, "cyrillic", 3, 90.0, true}, {4, "latin", 1, 80.0, false},
    };
    for (const Lesson& lesson : lessons)
        AddLesson(lesson);
    OpenReader();
    struct Case {
        const char* Course;
        int Reached;
        std::map<int, double> Best;
    };
    // Lesson 2's 89.9 opens nothing; a later weaker lesson 1 takes nothing back.
    const std::vector<Case> cases = {
        {"latin", 2, {{1, 93.0}, {2, 89.9}}},
        {"cyrillic", 4, {{3, 90.0}}},
        {"nothing-yet", 1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Course);
        const CourseStanding standing = CourseProgress(Reader, c.Course);
        EXPECT_EQ(standing.Reached, c.Reached);
        EXPECT_EQ(standing.BestPercent, c.Best);
    }
    EXPECT_FALSE(Reader.Failed());
}

TEST_F(JournalCourseTest, LessonResultsNewestFirstPerCourse) {
    const std::vector<Lesson> lessons = {
        {3, "latin", 1, 50, false}, {2, "cyrillic", 1, 95, true}, {1, "latin", 2, 91, true}};
    for (const Lesson& lesson : lessons)
        AddLesson(lesson);
    OpenReader();
    struct Case {
        const char* Course;
        int Limit, Offset;
        std::vector<std::pair<int, double>> LessonAndScore;
    };
    const std::vector<Case> cases = {
        {"", 10, 0, {{2, 91}, {1, 95}, {1, 50}}},
        {"latin", 10, 0, {{2, 91}, {1, 50}}},
        {"cyrillic", 10, 0, {{1, 95}}},
        {"", 1, 1, {{1, 95}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Course) + " offset " + std::to_string(c.Offset));
        std::vector<std::pair<int, double>> got;
        for (const LessonResult& r : LessonResults(Reader, c.Course, c.Limit, c.Offset)) {
            got.emplace_back(r.Lesson, r.ScorePercent);
            EXPECT_EQ(r.Passed, r.ScorePercent >= 90);
        }
        EXPECT_EQ(got, c.LessonAndScore);
    }
    const auto newest = LessonResults(Reader, "", 1);
    ASSERT_EQ(newest.size(), 1u);
    EXPECT_EQ(newest[0].Course, "latin");
    EXPECT_EQ(newest[0].Started, DaysAgo(1));
}

TEST_F(JournalCourseTest, RecognitionMediansPerCharacterSlowestFirst) {
    // Today K in 300, 500 and (pressed as M) 400 ms, M in 200 and 700, R in
    // 1000; forty days ago K once more in 9000 ms.
    AddRecognition(0, {{"K", "K", 300},
                       {"M", "M", 200},
                       {"K", "K", 500},
                       {"R", "R", 1000},
                       {"K", "M", 400},
                       {"M", "M", 700}});
    AddRecognition(40, {{"K", "K", 9000}});
    OpenReader();
    struct Row {
        std::string Character;
        long long Answers, Right;
        int MedianMs;
    };
    const std::vector<std::pair<StatsPeriod, std::vector<Row>>> cases = {
        // K: 300 400 500 -> 400; M: 200 700 -> 450.
        {StatsPeriod::LastWeek, {{"R", 1, 1, 1000}, {"M", 2, 2, 450}, {"K", 3, 2, 400}}},
        // K: 300 400 500 9000 -> 450; M, tied at 450, comes after K.
        {StatsPeriod::AllTime, {{"R", 1, 1, 1000}, {"K", 4, 3, 450}, {"M", 2, 2, 450}}},
    };
    for (const auto& [period, rows] : cases) {
        SCOPED_TRACE(static_cast<int>(period));
        const auto got = RecognitionReactions(Reader, period, TestTime());
        ASSERT_EQ(got.size(), rows.size());
        for (size_t k = 0; k < rows.size(); ++k) {
            EXPECT_EQ(got[k].Character, rows[k].Character) << k;
            EXPECT_EQ(got[k].Answers, rows[k].Answers) << k;
            EXPECT_EQ(got[k].Right, rows[k].Right) << k;
            EXPECT_EQ(got[k].MedianMs, rows[k].MedianMs) << k;
        }
    }
}

TEST_F(JournalCourseTest, CharacterFiguresPerSourceAndBand) {
    // Callsigns: on a clean band KM copied K (M dropped); under conditions KM
    // copied KN. A lesson: K K M M, the second M dropped. Recognition: K as
    // M, R right.
    AddCallsigns("clean", {{"KM", "K"}});
    AddCallsigns("contest", {{"KM", "KN"}});
    AddLesson({1, "latin", 1, 75, false}, {{"K", "K"}, {"K", "K"}, {"M", "M"}, {"M", ""}});
    AddRecognition(1, {{"K", "M", 300}, {"R", "R", 300}});
    OpenReader();
    struct Case {
        CharacterSource Source;
        ConditionsFilter Conditions;
        std::vector<std::string> Figures;
        std::vector<std::string> Confusions;
    };
    const std::vector<Case> cases = {
        {CharacterSource::Callsigns, ConditionsFilter::All, {"M 2/2", "K 2/0"}, {"M>N"}},
        {CharacterSource::Callsigns, ConditionsFilter::Clean, {"M 1/1", "K 1/0"}, {}},
        {CharacterSource::Callsigns,
         ConditionsFilter::UnderConditions,
         {"M 1/1", "K 1/0"},
         {"M>N"}},
        {CharacterSource::Lessons, ConditionsFilter::All, {"M 2/1", "K 2/0"}, {}},
        {CharacterSource::Recognition, ConditionsFilter::All, {"K 1/1", "R 1/0"}, {"K>M"}},
        {CharacterSource::Recognition, ConditionsFilter::UnderConditions, {}, {}},
        // K: 2 + 2 + 1 sent, 1 wrong; M: 2 + 2 sent, 3 wrong.
        {CharacterSource::All, ConditionsFilter::All, {"M 4/3", "K 5/1", "R 1/0"}, {"K>M", "M>N"}},
        {CharacterSource::All, ConditionsFilter::Clean, {"M 3/2", "K 4/1", "R 1/0"}, {"K>M"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.Source)) + "/" +
                     std::to_string(static_cast<int>(c.Conditions)));
        const CharacterFilter filter{c.Source, c.Conditions};
        for (const StatsPeriod period : {StatsPeriod::LastWeek, StatsPeriod::AllTime}) {
            EXPECT_EQ(Figures(CharacterAccuracy(Reader, period, TestTime(), filter)), c.Figures);
            std::vector<std::string> confusions;
            for (const Confusion& x : Confusions(Reader, period, TestTime(), 10, filter))
                confusions.push_back(x.Sent + ">" + x.Typed);
            EXPECT_EQ(confusions, c.Confusions);
        }
    }
    // Without a filter the figures stay those of the callsigns, as before.
    EXPECT_EQ(Figures(CharacterAccuracy(Reader, StatsPeriod::AllTime, TestTime())),
              (std::vector<std::string>{"M 2/2", "K 2/0"}));
    const auto rates = CharacterMissRates(Reader, {CharacterSource::All});
    EXPECT_DOUBLE_EQ(rates['M'], 0.75);
    EXPECT_DOUBLE_EQ(rates['K'], 0.2);
    EXPECT_FALSE(Reader.Failed());
}

TEST_F(JournalCourseTest, LessonsAndRecognitionStayOutOfTheCallsignFigures) {
    AddLesson({2, "latin", 1, 100, true}, {{"K", "K"}});
    AddRecognition(1, {{"K", "M", 300}});
    OpenReader();
    EXPECT_TRUE(ProgressSeries(Reader).empty());
    EXPECT_TRUE(Reader.LastExercises(ExerciseKind::Callsign, 10).empty());
    EXPECT_FALSE(Reader.Best(ExerciseKind::Callsign));
    EXPECT_TRUE(DrillResults(Reader, 10).empty());
    EXPECT_TRUE(TextExercises(Reader, 10).empty());
    EXPECT_TRUE(MissedCalls(Reader, 10).empty());
    EXPECT_TRUE(RecentlyMissedCallsigns(Reader, 10).empty());
    const auto counts = Reader.CountByKind();
    EXPECT_EQ(counts[static_cast<size_t>(ExerciseKind::KochLesson)], 1);
    EXPECT_EQ(counts[static_cast<size_t>(ExerciseKind::Recognition)], 1);
    EXPECT_EQ(counts[static_cast<size_t>(ExerciseKind::Callsign)], 0);
    EXPECT_EQ(Reader.LastExercises(ExerciseKind::KochLesson, 10).size(), 1u);
}

TEST_F(JournalCourseTest, CourseRecordsOutsideTheirExerciseAreRefused) {
    LessonResultRecord result;
    result.Course = "latin";
    EXPECT_FALSE(Recorder.RecordLessonResult(result));
    RecognitionAnswerRecord answer;
    answer.Character = "K";
    EXPECT_FALSE(Recorder.RecordRecognitionAnswer(answer));
}
