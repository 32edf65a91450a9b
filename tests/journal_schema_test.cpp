// A journal written by the first version of the schema is brought forward on
// opening: its exercises and answers stay, and the per-character figures and
// answer counts that the later version keeps are made from its answers.
#include "journal/Journal.h"
#include "journal/JournalReader.h"
#include "journal/JournalSchema.h"
#include "journal/JournalStats.h"
#include "journal/Sqlite.h"
#include "tests/support/JournalTestSupport.h"
#include "tests/support/OldJournal.h"

using namespace tonvik;

namespace {

// Version 1 as it was: its tables, its marks, one stopped exercise of three
// answers (UA3ABC right, DL1XYZ typed DL1XY, OK2AB typed 0K2AB).
void MakeVersion1Journal(const std::filesystem::path& path) {
    MakeOldJournal(path, R"(
        PRAGMA user_version = 1;
        INSERT INTO exercises(id, kind, started, ended, end_reason, own_call, wpm, pitch_hz,
            volume, speed_fixed, tone_fixed, letter_gap, word_gap, total_points, max_wpm)
        VALUES(1, 'callsign', '2024-03-09T17:05:42.120Z', '2024-03-09T17:07:00.000Z',
            'stopped', 'UA3XYZ', 30, 800, 5, 0, 0, 3, 7, 862, 32);
        INSERT INTO answers(exercise, answered, number, sent, typed, right, errors, wpm,
            tone_hz, replays, points, call_points, response_ms) VALUES
        (1, '2024-03-09T17:05:50.000Z', 1, 'UA3ABC', 'UA3ABC', 1, 0, 30, 800, 0, 540, 5400, 900),
        (1, '2024-03-09T17:06:10.000Z', 2, 'DL1XYZ', 'DL1XY', 0, 1, 32, 812, 0, 286, 2860, 700),
        (1, '2024-03-09T17:06:30.000Z', 3, 'OK2AB', '0K2AB', 0, 1, 31, 790, 1, 36, 360, 0);
    )");
}

int64_t UserVersion(const std::filesystem::path& path) {
    sql::Connection db;
    int64_t version = -1;
    if (db.Open(path.string(), SQLITE_OPEN_READONLY) == SQLITE_OK)
        db.QueryInt("PRAGMA user_version", version);
    return version;
}

void ExpectVersion1ContentKept(const JournalReader& reader) {
    const auto row = reader.Exercise(1);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->Answers, 3);
    EXPECT_EQ(row->RightAnswers, 1);
    EXPECT_EQ(row->TotalPoints, 862);
    EXPECT_EQ(row->MaxWpm, 32);
    EXPECT_EQ(row->Start.OwnCall, "UA3XYZ");
    EXPECT_EQ(reader.Answers(1).size(), 3u);

    // The characters of the three answers: O typed as 0 once, Z missing once.
    const auto stats = CharacterAccuracy(reader, StatsPeriod::AllTime, TestTime());
    ASSERT_GE(stats.size(), 2u);
    EXPECT_EQ(stats[0].Character, "O");
    EXPECT_EQ(stats[0].Sent, 1);
    EXPECT_EQ(stats[0].Wrong, 1);
    EXPECT_EQ(stats[1].Character, "Z");
    const auto confusions = Confusions(reader, StatsPeriod::AllTime, TestTime(), 10);
    ASSERT_EQ(confusions.size(), 1u);
    EXPECT_EQ(confusions[0].Sent, "O");
    EXPECT_EQ(confusions[0].Typed, "0");
}

} // namespace

TEST_F(JournalTest, TheRecorderBringsAVersion1JournalForward) {
    MakeVersion1Journal(Path);
    Journal journal;
    const JournalProblem problem = journal.Open(Path);
    ASSERT_TRUE(problem.Ok()) << DescribeProblem(problem);
    EXPECT_TRUE(problem.AsidePath.empty());
    EXPECT_EQ(UserVersion(Path), JournalSchemaVersion);
    // It records on into the migrated file.
    ASSERT_TRUE(journal.BeginExercise(CallsignStart(TestTime(3600))));
    ASSERT_TRUE(journal.RecordAnswer(ScoredAnswer(1, "UA3ABC", "UA3ABC", 30, 0, TestTime(3601))));
    journal.Close();

    JournalReader reader;
    ASSERT_TRUE(reader.Open(Path).Ok());
    ExpectVersion1ContentKept(reader);
    EXPECT_EQ(reader.CountByKind()[0], 2);
}

TEST_F(JournalTest, TheReaderBringsAVersion1JournalForwardToo) {
    MakeVersion1Journal(Path);
    JournalReader reader;
    const JournalProblem problem = reader.Open(Path);
    ASSERT_TRUE(problem.Ok()) << DescribeProblem(problem);
    EXPECT_EQ(UserVersion(Path), JournalSchemaVersion);
    ExpectVersion1ContentKept(reader);
}

TEST_F(JournalTest, ANewJournalIsMarkedAsOursAtTheCurrentVersion) {
    Journal journal;
    ASSERT_TRUE(journal.Open(Path).Ok());
    journal.Close();
    EXPECT_EQ(UserVersion(Path), JournalSchemaVersion);
    sql::Connection db;
    ASSERT_EQ(db.Open(Path.string(), SQLITE_OPEN_READONLY), SQLITE_OK);
    int64_t id = 0;
    db.QueryInt("PRAGMA application_id", id);
    EXPECT_EQ(id, JournalApplicationId);
    sql::Statement mode;
    ASSERT_EQ(mode.Prepare(db, "PRAGMA journal_mode"), SQLITE_OK);
    ASSERT_EQ(mode.Step(), SQLITE_ROW);
    EXPECT_EQ(mode.Text(0), "wal");
}

// A migration cut off (by a program that ran its steps one by one) leaves
// version 1 with some of version 2's columns and tables, even half-filled
// counts: opening finishes it, for the recorder and for the reader alike.
TEST_F(JournalTest, AMigrationCutOffHalfwayIsFinished) {
    const std::vector<std::pair<const char*, const char*>> cuts = {
        {"the answer counts",
         "ALTER TABLE exercises ADD COLUMN answers INTEGER NOT NULL DEFAULT 0;"},
        {"both columns", "ALTER TABLE exercises ADD COLUMN answers INTEGER NOT NULL DEFAULT 0;"
                         "ALTER TABLE exercises ADD COLUMN right_answers INTEGER NOT NULL "
                         "DEFAULT 0;"},
        {"a table with a stray count",
         "ALTER TABLE exercises ADD COLUMN answers INTEGER NOT NULL DEFAULT 0;"
         "ALTER TABLE exercises ADD COLUMN right_answers INTEGER NOT NULL DEFAULT 0;"
         "CREATE TABLE character_totals(sent TEXT NOT NULL, typed TEXT NOT NULL, "
         "count INTEGER NOT NULL, PRIMARY KEY(sent, typed)) WITHOUT ROWID;"
         "INSERT INTO character_totals VALUES('O', '0', 7);"},
    };
    for (const bool recorder : {false, true}) {
        for (const auto& [name, cut] : cuts) {
            SCOPED_TRACE(std::string(name) + (recorder ? ", the recorder" : ", the reader"));
            std::filesystem::remove_all(Path.parent_path());
            MakeVersion1Journal(Path);
            {
                sql::Connection db;
                ASSERT_EQ(db.Open(Path.string(), SQLITE_OPEN_READWRITE), SQLITE_OK);
                ASSERT_EQ(db.Execute(cut), SQLITE_OK);
            }
            if (recorder) {
                Journal journal;
                const JournalProblem problem = journal.Open(Path);
                EXPECT_TRUE(problem.Ok()) << DescribeProblem(problem);
            }
            JournalReader reader;
            const JournalProblem problem = reader.Open(Path);
            ASSERT_TRUE(problem.Ok()) << DescribeProblem(problem);
            EXPECT_EQ(UserVersion(Path), JournalSchemaVersion);
            ExpectVersion1ContentKept(reader);
        }
    }
}

TEST_F(JournalTest, AnOlderJournalsExercisesAreRecordedAsHeardOnACleanBand) {
    MakeVersion1Journal(Path);
    Journal journal;
    ASSERT_TRUE(journal.Open(Path).Ok());
    ExerciseStart start = CallsignStart(TestTime(3600));
    start.Conditions = "contest";
    ASSERT_TRUE(journal.BeginExercise(start));
    journal.Close();
    sql::Connection db;
    ASSERT_EQ(db.Open(Path.string(), SQLITE_OPEN_READONLY), SQLITE_OK);
    int64_t clean = -1;
    int64_t contest = -1;
    db.QueryInt("SELECT count(*) FROM exercises WHERE id = 1 AND conditions = 'clean'", clean);
    db.QueryInt("SELECT count(*) FROM exercises WHERE id = 2 AND conditions = 'contest'", contest);
    EXPECT_EQ(clean, 1);
    EXPECT_EQ(contest, 1);
}
