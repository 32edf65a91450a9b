// A journal of version 3 (the band of each exercise, counts per character
// without their source) is brought to version 4 on opening: its exercises
// and answers stay, the counts are made again from the answers, each under
// the band its exercise was heard through, and a step cut off is finished.
#include "journal/CharacterPairs.h"
#include "journal/Journal.h"
#include "journal/JournalReader.h"
#include "journal/JournalSchema.h"
#include "journal/JournalStats.h"
#include "journal/Sqlite.h"
#include "tests/support/JournalTestSupport.h"
#include "tests/support/OldJournal.h"

#include <map>
#include <utility>

using namespace tonvik;

namespace {

// Version 3 as it was: two callsign exercises of one day, the first on a
// clean band (UA3ABC right, DL1XYZ typed DL1XY), the second through "poor"
// (OK2AB typed 0K2AB, UB5K typed U65K), with the counts it kept then.
void MakeVersion3Journal(const std::filesystem::path& path) {
    MakeOldJournal(path, R"(
        ALTER TABLE exercises ADD COLUMN answers INTEGER NOT NULL DEFAULT 0;
        ALTER TABLE exercises ADD COLUMN right_answers INTEGER NOT NULL DEFAULT 0;
        ALTER TABLE exercises ADD COLUMN conditions TEXT NOT NULL DEFAULT 'clean';
        CREATE TABLE character_counts(day TEXT NOT NULL, sent TEXT NOT NULL,
            typed TEXT NOT NULL, count INTEGER NOT NULL,
            PRIMARY KEY(day, sent, typed)) WITHOUT ROWID;
        CREATE TABLE character_totals(sent TEXT NOT NULL, typed TEXT NOT NULL,
            count INTEGER NOT NULL, PRIMARY KEY(sent, typed)) WITHOUT ROWID;
        CREATE INDEX exercises_kind_started ON exercises(kind, started);
        CREATE INDEX exercises_conditions ON exercises(conditions, kind, started);
        PRAGMA user_version = 3;
        INSERT INTO exercises(id, kind, started, ended, end_reason, own_call, wpm, pitch_hz,
            volume, speed_fixed, tone_fixed, letter_gap, word_gap, total_points, max_wpm,
            answers, right_answers, conditions) VALUES
        (1, 'callsign', '2024-03-09T17:05:42.120Z', '2024-03-09T17:07:00.000Z', 'stopped',
            'UA3XYZ', 30, 800, 5, 0, 0, 3, 7, 826, 32, 2, 1, 'clean'),
        (2, 'callsign', '2024-03-09T18:00:00.000Z', '2024-03-09T18:02:00.000Z', 'stopped',
            'UA3XYZ', 30, 800, 5, 0, 0, 3, 7, 90, 30, 2, 0, 'poor');
        INSERT INTO answers(exercise, answered, number, sent, typed, right, errors, wpm,
            tone_hz, replays, points, call_points, response_ms) VALUES
        (1, '2024-03-09T17:05:50.000Z', 1, 'UA3ABC', 'UA3ABC', 1, 0, 30, 800, 0, 540, 5400, 900),
        (1, '2024-03-09T17:06:10.000Z', 2, 'DL1XYZ', 'DL1XY', 0, 1, 32, 812, 0, 286, 2860, 700),
        (2, '2024-03-09T18:00:10.000Z', 1, 'OK2AB', '0K2AB', 0, 1, 30, 800, 0, 45, 450, 800),
        (2, '2024-03-09T18:00:20.000Z', 2, 'UB5K', 'U65K', 0, 1, 30, 800, 0, 45, 450, 800);
        INSERT INTO character_totals VALUES('O', '0', 1), ('B', '6', 1), ('Z', '', 1),
            ('A', 'A', 3), ('U', 'U', 2);
        INSERT INTO character_counts VALUES('2024-03-09', 'O', '0', 1);
    )");
}

int64_t UserVersion(const std::filesystem::path& path) {
    sql::Connection db;
    int64_t version = -1;
    if (db.Open(path.string(), SQLITE_OPEN_READONLY) == SQLITE_OK)
        db.QueryInt("PRAGMA user_version", version);
    return version;
}

using PairCounts = std::map<std::pair<std::string, std::string>, int64_t>;

// The counts the answers give, pair by pair, as the recorder counts them.
PairCounts PairsOfAnswers(const std::filesystem::path& path) {
    sql::Connection db;
    PairCounts counts;
    EXPECT_EQ(db.Open(path.string(), SQLITE_OPEN_READONLY), SQLITE_OK);
    sql::Statement s;
    EXPECT_EQ(s.Prepare(db, "SELECT sent, typed FROM answers"), SQLITE_OK);
    while (s.Step() == SQLITE_ROW)
        for (const CharacterPair& pair : CharacterPairsOf(s.Text(0), s.Text(1)))
            ++counts[{pair.Sent, pair.Typed}];
    return counts;
}

PairCounts StoredCounts(const std::filesystem::path& path, const char* table) {
    sql::Connection db;
    PairCounts counts;
    EXPECT_EQ(db.Open(path.string(), SQLITE_OPEN_READONLY), SQLITE_OK);
    sql::Statement s;
    const std::string query =
        std::string("SELECT sent, typed, sum(count) FROM ") + table + " GROUP BY sent, typed";
    EXPECT_EQ(s.Prepare(db, query.c_str()), SQLITE_OK);
    while (s.Step() == SQLITE_ROW)
        counts[{std::string(s.Text(0)), std::string(s.Text(1))}] = s.Int(2);
    return counts;
}

void ExpectVersion3ContentKept(const std::filesystem::path& path, const JournalReader& reader) {
    EXPECT_EQ(UserVersion(path), JournalSchemaVersion);
    const auto second = reader.Exercise(2);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->Answers, 2);
    EXPECT_EQ(second->TotalPoints, 90);
    EXPECT_EQ(reader.Answers(1).size(), 2u);
    EXPECT_EQ(reader.Answers(2).size(), 2u);
    // Every pair of every answer counted once, per day and in all.
    const PairCounts expected = PairsOfAnswers(path);
    EXPECT_EQ(expected.size(), 16u);
    EXPECT_EQ(StoredCounts(path, "character_totals"), expected);
    EXPECT_EQ(StoredCounts(path, "character_counts"), expected);
    // Clean: only Z (of DL1XYZ) missed. Under the poor band: O typed 0, B as 6.
    const struct {
        ConditionsFilter Conditions;
        std::vector<std::string> Figures;
    } cases[] = {
        {ConditionsFilter::Clean,
         {"Z 1/1", "1 1/0", "3 1/0", "A 2/0", "B 1/0", "C 1/0", "D 1/0", "L 1/0", "U 1/0", "X 1/0",
          "Y 1/0"}},
        {ConditionsFilter::UnderConditions,
         {"O 1/1", "B 2/1", "2 1/0", "5 1/0", "A 1/0", "K 2/0", "U 1/0"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Conditions));
        const CharacterFilter filter{CharacterSource::Callsigns, c.Conditions};
        EXPECT_EQ(Figures(CharacterAccuracy(reader, StatsPeriod::AllTime, TestTime(), filter)),
                  c.Figures);
        EXPECT_EQ(Figures(CharacterAccuracy(reader, StatsPeriod::LastWeek, TestTime(), filter)),
                  c.Figures);
    }
    EXPECT_TRUE(CharacterAccuracy(reader, StatsPeriod::AllTime, TestTime(),
                                  {CharacterSource::Lessons, ConditionsFilter::All})
                    .empty());
    EXPECT_FALSE(reader.Failed());
}

} // namespace

TEST_F(JournalTest, AVersion3JournalIsBroughtToVersion4WithItsCountsRebuilt) {
    for (const bool recorder : {false, true}) {
        SCOPED_TRACE(recorder ? "the recorder" : "the reader");
        std::filesystem::remove_all(Path.parent_path());
        MakeVersion3Journal(Path);
        if (recorder) {
            Journal journal;
            const JournalProblem problem = journal.Open(Path);
            ASSERT_TRUE(problem.Ok()) << DescribeProblem(problem);
        }
        JournalReader reader;
        const JournalProblem problem = reader.Open(Path);
        ASSERT_TRUE(problem.Ok()) << DescribeProblem(problem);
        ExpectVersion3ContentKept(Path, reader);
    }
}

// A step to version 4 cut off by a program that ran it statement by
// statement leaves version 3 with some of the new tables, or the counts
// dropped, or made again in part: opening finishes it.
TEST_F(JournalTest, AStepToVersion4CutOffIsFinished) {
    const std::vector<std::pair<const char*, const char*>> cuts = {
        {"the lesson table made",
         "CREATE TABLE lesson_results(exercise INTEGER PRIMARY KEY, checked TEXT NOT NULL, "
         "course TEXT NOT NULL, lesson INTEGER NOT NULL, minutes INTEGER NOT NULL, "
         "effective_wpm INTEGER NOT NULL, sent_count INTEGER NOT NULL, "
         "copied_count INTEGER NOT NULL, right_count INTEGER NOT NULL, score REAL NOT NULL, "
         "passed INTEGER NOT NULL, sent_text TEXT NOT NULL, copy TEXT NOT NULL);"},
        {"the counts dropped", "DROP TABLE character_counts; DROP TABLE character_totals;"},
        {"the new totals half filled",
         "DROP TABLE character_counts; DROP TABLE character_totals;"
         "CREATE TABLE character_totals(source TEXT NOT NULL, clean INTEGER NOT NULL, "
         "sent TEXT NOT NULL, typed TEXT NOT NULL, count INTEGER NOT NULL, "
         "PRIMARY KEY(source, clean, sent, typed)) WITHOUT ROWID;"
         "INSERT INTO character_totals VALUES('callsign', 0, 'O', '0', 7);"},
    };
    for (const auto& [name, cut] : cuts) {
        SCOPED_TRACE(name);
        std::filesystem::remove_all(Path.parent_path());
        MakeVersion3Journal(Path);
        {
            sql::Connection db;
            ASSERT_EQ(db.Open(Path.string(), SQLITE_OPEN_READWRITE), SQLITE_OK);
            ASSERT_EQ(db.Execute(cut), SQLITE_OK);
        }
        {
            Journal journal;
            const JournalProblem problem = journal.Open(Path);
            ASSERT_TRUE(problem.Ok()) << DescribeProblem(problem);
            // The finished journal takes a lesson at once.
            ExerciseStart start;
            start.Kind = ExerciseKind::KochLesson;
            start.Started = TestTime(7200);
            ASSERT_TRUE(journal.BeginExercise(start));
            LessonResultRecord result;
            result.Course = "latin";
            result.Lesson = 1;
            result.ScorePercent = 100;
            result.Passed = true;
            result.Checked = TestTime(7300);
            ASSERT_TRUE(journal.RecordLessonResult(result));
            ASSERT_TRUE(journal.Flush());
        }
        JournalReader reader;
        const JournalProblem problem = reader.Open(Path);
        ASSERT_TRUE(problem.Ok()) << DescribeProblem(problem);
        ExpectVersion3ContentKept(Path, reader);
        EXPECT_EQ(CourseProgress(reader, "latin").Reached, 2);
    }
}
