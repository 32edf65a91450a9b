// A lesson scored by the session leaves its result in the journal: the 90 %
// gate opens the next lesson there, each lesson keeps its best, and every
// sent character is counted with what the copy has in its place. What the
// journal counts comes back into the next lesson's draw.
#include "course/CourseJournal.h"
#include "journal/Journal.h"
#include "tests/support/JournalTestSupport.h"

#include <functional>

using namespace tonvik;

namespace {

// Lesson 1 (K and M) for one minute at 10 wpm: ten groups, 50 characters.
LessonSettings LessonOne() {
    LessonSettings settings;
    settings.Lesson = 1;
    settings.Minutes = 1;
    settings.CharacterWpm = 20;
    settings.EffectiveWpm = 10;
    return settings;
}

std::string WithoutSpaces(const std::string& text) {
    std::string out;
    for (const char c : text)
        if (c != ' ')
            out += c;
    return out;
}

// The copy with the characters at the given places (of the sent characters,
// spaces left out) dropped.
std::string Dropping(const std::string& sent, std::initializer_list<size_t> places) {
    std::string copy = WithoutSpaces(sent);
    for (auto at = places.end(); at != places.begin();) {
        --at;
        copy.erase(*at, 1);
    }
    return copy;
}

class CourseJournalTest : public JournalTest {
protected:
    // Begins a lesson, checks copyOf(sent), records it as the window does.
    void RecordLesson(const std::function<std::string(const std::string&)>& copyOf,
                      uint64_t seed = 7) {
        Session.Begin(LessonOne(), seed);
        Session.KeyingEnded();
        Session.Check(copyOf(Session.SentText()));
        ExerciseStart start;
        start.Kind = ExerciseKind::KochLesson;
        start.Started = TestTime();
        ASSERT_TRUE(Recorder.BeginExercise(start));
        ASSERT_TRUE(Recorder.RecordLessonResult(LessonResultOf(Session, TestTime(60))));
        ExerciseEnd end;
        end.Ended = TestTime(61);
        end.Reason = EndReason::Completed;
        ASSERT_TRUE(Recorder.EndExercise(end));
        ASSERT_TRUE(Recorder.Flush());
    }

    LessonSession Session;
    Journal Recorder;
};

} // namespace

TEST_F(CourseJournalTest, TheGateAtNinetyPercentOpensTheNextLessonInTheJournal) {
    struct Case {
        const char* Name;
        std::function<std::string(const std::string&)> CopyOf;
        double Percent; // of 50 characters sent
        int Wrong;      // sent characters counted wrong in the journal
        int Copied;     // characters of the copy
        bool Opens;
    };
    const std::vector<Case> cases = {
        {"all right", [](const std::string& s) { return s; }, 100, 0, 50, true},
        {"in small letters",
         [](const std::string& s) {
             std::string copy = s;
             for (char& c : copy)
                 c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
             return copy;
         },
         100, 0, 50, true},
        {"five dropped",
         [](const std::string& s) {
             return Dropping(s, {0, 10, 20, 30, 40});
         },
         90, 5, 45, true},
        {"six dropped",
         [](const std::string& s) {
             return Dropping(s, {0, 10, 20, 30, 40, 49});
         },
         88, 6, 44, false},
        {"nothing copied", [](const std::string&) { return std::string(); }, 0, 50, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        std::filesystem::remove_all(Path.parent_path());
        ASSERT_TRUE(Recorder.Open(Path).Ok());
        RecordLesson(c.CopyOf);
        const LessonResultRecord record = LessonResultOf(Session, TestTime());
        EXPECT_EQ(record.Course, "latin");
        EXPECT_EQ(record.CharactersSent, 50);
        EXPECT_EQ(record.CharactersCopied, c.Copied);
        EXPECT_EQ(record.Characters.size(), 50u);
        EXPECT_EQ(record.SentText, Session.SentText());
        Recorder.Close();

        JournalReader reader;
        ASSERT_TRUE(reader.Open(Path).Ok());
        const CourseStanding standing = CourseProgress(reader, "latin");
        EXPECT_EQ(standing.Reached, c.Opens ? 2 : 1);
        EXPECT_EQ(standing.BestPercent, (std::map<int, double>{{1, c.Percent}}));
        const auto results = LessonResults(reader, "latin", 10);
        ASSERT_EQ(results.size(), 1u);
        EXPECT_EQ(results[0].Passed, c.Opens);
        long long sent = 0, wrong = 0;
        for (const CharacterStat& stat :
             CharacterAccuracy(reader, StatsPeriod::AllTime, TestTime(),
                               {CharacterSource::Lessons, ConditionsFilter::All})) {
            sent += stat.Sent;
            wrong += stat.Wrong;
        }
        EXPECT_EQ(sent, 50);
        EXPECT_EQ(wrong, c.Wrong);
        // The callsign figures are not touched by a lesson.
        EXPECT_TRUE(CharacterAccuracy(reader, StatsPeriod::AllTime, TestTime()).empty());
    }
}

TEST_F(CourseJournalTest, ACharacterCopiedAsAnotherIsAConfusionOfTheLessons) {
    ASSERT_TRUE(Recorder.Open(Path).Ok());
    char first = 0;
    RecordLesson([&](const std::string& s) {
        std::string copy = s;
        first = copy[0];
        copy[0] = first == 'K' ? 'M' : 'K';
        return copy;
    });
    JournalReader reader;
    ASSERT_TRUE(reader.Open(Path).Ok());
    const auto confusions = Confusions(reader, StatsPeriod::AllTime, TestTime(), 10,
                                       {CharacterSource::Lessons, ConditionsFilter::All});
    ASSERT_EQ(confusions.size(), 1u);
    EXPECT_EQ(confusions[0].Sent, std::string(1, first));
    EXPECT_EQ(confusions[0].Typed, first == 'K' ? "M" : "K");
    EXPECT_EQ(confusions[0].Count, 1);
    // It comes back into the draw: the character sent once wrong in 25 or so.
    const auto history = DrawHistory(reader);
    const auto found = history.find(static_cast<unsigned char>(first));
    ASSERT_NE(found, history.end());
    EXPECT_EQ(found->second.Missed, 1);
    long long sent = 0;
    for (const char c : WithoutSpaces(Session.SentText()))
        sent += c == first ? 1 : 0;
    EXPECT_EQ(found->second.Sent, sent);
}

TEST(CourseJournal, TheLessonReachedStaysWithinTheCourse) {
    struct Case {
        int Reached;
        CourseKind Course;
        int Expected;
    };
    for (const Case& c :
         std::vector<Case>{{1, CourseKind::Latin, 1},
                           {5, CourseKind::Latin, 5},
                           {38, CourseKind::Latin, 37},
                           {99, CourseKind::Cyrillic, LessonCount(CourseKind::Cyrillic)}}) {
        CourseStanding standing;
        standing.Reached = c.Reached;
        EXPECT_EQ(LessonReached(standing, c.Course), c.Expected) << c.Reached;
    }
    EXPECT_EQ(CourseFromName("cyrillic"), CourseKind::Cyrillic);
    EXPECT_EQ(CourseName(CourseKind::Cyrillic), "cyrillic");
    EXPECT_FALSE(CourseFromName("greek"));
}
