// The recorder and the readers on a temporary journal: every field comes back
// as it went in, an exercise cut off reads as stopped, the file's place.
#include "journal/FileHash.h"
#include "journal/Journal.h"
#include "journal/JournalPath.h"
#include "journal/JournalReader.h"
#include "tests/support/Cp1251Literal.h"
#include "tests/support/JournalTestSupport.h"

#include <signal.h>

using namespace tonvik;

namespace {

using ms = std::chrono::milliseconds;

JournalReader OpenReader(const std::filesystem::path& path) {
    JournalReader reader;
    const JournalProblem problem = reader.Open(path);
    EXPECT_TRUE(problem.Ok()) << DescribeProblem(problem);
    return reader;
}

} // namespace

TEST(JournalPathTest, DataHomeFirstThenTheHomeFolder) {
    EXPECT_EQ(JournalPathFrom("/data", "/home/op"), "/data/tonvik/journal.sqlite");
    EXPECT_EQ(JournalPathFrom(nullptr, "/home/op"), "/home/op/.local/share/tonvik/journal.sqlite");
    EXPECT_EQ(JournalPathFrom("", "/home/op"), "/home/op/.local/share/tonvik/journal.sqlite");
    // A relative XDG_DATA_HOME is to be ignored.
    EXPECT_EQ(JournalPathFrom("rel/data", "/home/op"),
              "/home/op/.local/share/tonvik/journal.sqlite");
}

TEST_F(JournalTest, TheCallsignListIsKnownByTheSha256OfItsBytes) {
    WriteFileBytes(Folder / "master.ped", "abc");
    // The test vector of FIPS 180-2 for "abc".
    EXPECT_EQ(FileSha256(Folder / "master.ped"),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(FileSha256(Folder / "missing.ped"), "");
}

TEST_F(JournalTest, EveryFieldOfAnExerciseAndItsAnswerComesBack) {
    Journal journal;
    ASSERT_TRUE(journal.Open(Path).Ok());
    EXPECT_TRUE(std::filesystem::is_regular_file(Path)); // folder made on first use

    ExerciseStart start = CallsignStart(TestTime(), Cp1251("RA3ЖЖ"));
    start.Wpm = 37;
    start.PitchHz = 1200;
    start.Volume = 8;
    start.SpeedFixed = true;
    start.ToneFixed = true;
    start.LetterGap = 5;
    start.WordGap = 9;
    start.ListPath = "/home/op/списки/master.ped";
    start.ListSha256 = "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef";
    ASSERT_TRUE(journal.BeginExercise(start));

    // A six-character callsign with its last character wrong at 30 wpm:
    // one error, 2604.1666... unrounded, 260 points.
    AnswerRecord answer = ScoredAnswer(7, "UA3ABC", Cp1251("UA3ABБ"), 30, 2, TestTime(5));
    ASSERT_EQ(answer.Errors, 1);
    answer.ToneHz = 1234;
    answer.ResponseMs = 987;
    ASSERT_TRUE(journal.RecordAnswer(answer));
    ASSERT_TRUE(journal.EndExercise(CallsignEnd(TestTime(60), EndReason::Stopped, 65, 30)));
    ASSERT_TRUE(journal.Flush());

    JournalReader reader = OpenReader(Path);
    const auto row = reader.LastExercises(ExerciseKind::Callsign, 10);
    ASSERT_EQ(row.size(), 1u);
    const ExerciseStart& back = row[0].Start;
    EXPECT_EQ(back.Started, TestTime());
    EXPECT_EQ(back.OwnCall, start.OwnCall);
    EXPECT_EQ(back.Wpm, 37);
    EXPECT_EQ(back.PitchHz, 1200);
    EXPECT_EQ(back.Volume, 8);
    EXPECT_TRUE(back.SpeedFixed);
    EXPECT_TRUE(back.ToneFixed);
    EXPECT_EQ(back.LetterGap, 5);
    EXPECT_EQ(back.WordGap, 9);
    EXPECT_EQ(back.ListPath, start.ListPath);
    EXPECT_EQ(back.ListSha256, start.ListSha256);
    EXPECT_EQ(row[0].Ended, TestTime(60));
    EXPECT_EQ(row[0].Reason, EndReason::Stopped);
    EXPECT_EQ(row[0].TotalPoints, 65);
    EXPECT_EQ(row[0].MaxWpm, 30);

    const auto answers = reader.Answers(row[0].Id);
    ASSERT_EQ(answers.size(), 1u);
    const AnswerRecord& a = answers[0];
    EXPECT_EQ(a.Number, 7);
    EXPECT_EQ(a.Sent, "UA3ABC");
    EXPECT_EQ(a.Typed, Cp1251("UA3ABБ"));
    EXPECT_FALSE(a.Right);
    EXPECT_EQ(a.Errors, 1);
    EXPECT_EQ(a.Wpm, 30);
    EXPECT_EQ(a.ToneHz, 1234);
    EXPECT_EQ(a.Replays, 2);
    // Replayed twice: a quarter of 2604.1666..., 65 points.
    EXPECT_DOUBLE_EQ(a.CallPoints, 2604.1666666666665 / 4);
    EXPECT_EQ(a.Points, 65);
    EXPECT_EQ(a.ResponseMs, 987);
    EXPECT_EQ(a.Answered, TestTime(5));
}

TEST_F(JournalTest, TimesAreKeptToTheMillisecondInUtc) {
    Journal journal;
    ASSERT_TRUE(journal.Open(Path).Ok());
    ASSERT_TRUE(journal.BeginExercise(CallsignStart(TestTime() + std::chrono::microseconds(999))));
    journal.Close();
    JournalReader reader = OpenReader(Path);
    const auto rows = reader.LastExercises(ExerciseKind::Callsign, 1);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Start.Started, TestTime()); // the microseconds are dropped
}

TEST_F(JournalTest, AnExerciseCutOffReadsAsStoppedWithTheAnswersItHad) {
    // A child records three answers, two right, and is killed before the end,
    // once they are on the disk (a few milliseconds after each Enter).
    const int status = RunInChild([&] {
        Journal journal;
        if (!journal.Open(Path).Ok() || !journal.BeginExercise(CallsignStart(TestTime())))
            return 1;
        journal.RecordAnswer(ScoredAnswer(1, "UA3ABC", "UA3ABC", 30));
        journal.RecordAnswer(ScoredAnswer(2, "DL1XYZ", "DL1XYZ", 32));
        journal.RecordAnswer(ScoredAnswer(3, "OK2AB", "OK2", 34));
        if (!journal.Flush())
            return 3;
        raise(SIGKILL);
        return 2;
    });
    ASSERT_EQ(status, -SIGKILL);

    JournalReader reader = OpenReader(Path);
    const auto rows = reader.LastExercises(ExerciseKind::Callsign, 10);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_FALSE(rows[0].Ended);
    EXPECT_EQ(rows[0].Reason, EndReason::Stopped);
    EXPECT_EQ(rows[0].Answers, 3);
    EXPECT_EQ(rows[0].RightAnswers, 2);
    // 540 for UA3ABC at 30 wpm, 614 for DL1XYZ at 32 (6 x 32^2 / 10 = 614.4),
    // (3/5)^4 x 5 x 34^2 / 10 = 74.9 -> 75 for OK2 of OK2AB.
    EXPECT_EQ(rows[0].TotalPoints, 540 + 614 + 75);
    // Until the end is recorded the highest speed of a right answer stands.
    EXPECT_EQ(rows[0].MaxWpm, 32);
    EXPECT_EQ(reader.Answers(rows[0].Id).size(), 3u);
}

TEST_F(JournalTest, TextExercisesAndTestsKeepTheirCharactersAndEnd) {
    Journal journal;
    ASSERT_TRUE(journal.Open(Path).Ok());
    ExerciseStart text;
    text.Kind = ExerciseKind::Text;
    text.Started = TestTime();
    text.LetterGap = 6;
    text.WordGap = 14;
    ASSERT_TRUE(journal.BeginExercise(text));
    ExerciseEnd end;
    end.Ended = TestTime(300);
    end.Reason = EndReason::Completed;
    end.CharactersKeyed = 1234;
    ASSERT_TRUE(journal.EndExercise(end));
    // A test stopped by its button.
    text.Kind = ExerciseKind::PreliminaryTest;
    ASSERT_TRUE(journal.BeginExercise(text));
    end.Reason = EndReason::Stopped;
    end.CharactersKeyed = 88;
    ASSERT_TRUE(journal.EndExercise(end));
    ASSERT_TRUE(journal.Flush());

    JournalReader reader = OpenReader(Path);
    const auto texts = reader.LastExercises(ExerciseKind::Text, 10);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_TRUE(texts[0].RanToEnd());
    EXPECT_EQ(texts[0].CharactersKeyed, 1234);
    EXPECT_EQ(texts[0].Start.LetterGap, 6);
    EXPECT_EQ(texts[0].Start.WordGap, 14);
    const auto tests = reader.LastExercises(ExerciseKind::PreliminaryTest, 10);
    ASSERT_EQ(tests.size(), 1u);
    EXPECT_FALSE(tests[0].RanToEnd());
    EXPECT_EQ(tests[0].CharactersKeyed, 88);
    const auto counts = reader.CountByKind();
    EXPECT_EQ(counts[static_cast<size_t>(ExerciseKind::Text)], 1);
    EXPECT_EQ(counts[static_cast<size_t>(ExerciseKind::PreliminaryTest)], 1);
    EXPECT_EQ(counts[static_cast<size_t>(ExerciseKind::Callsign)], 0);
}

TEST_F(JournalTest, AnswersOutsideAnExerciseAreNotRecorded) {
    Journal closed;
    EXPECT_FALSE(closed.BeginExercise(CallsignStart(TestTime())));
    EXPECT_FALSE(closed.RecordAnswer(ScoredAnswer(1, "UA3ABC", "UA3ABC", 30)));

    Journal journal;
    ASSERT_TRUE(journal.Open(Path).Ok());
    EXPECT_FALSE(journal.RecordAnswer(ScoredAnswer(1, "UA3ABC", "UA3ABC", 30)));
    ASSERT_TRUE(journal.BeginExercise(CallsignStart(TestTime())));
    ASSERT_TRUE(journal.RecordAnswer(ScoredAnswer(1, "UA3ABC", "UA3ABC", 30)));
    ASSERT_TRUE(journal.EndExercise(CallsignEnd(TestTime(9), EndReason::Completed, 540, 32)));
    EXPECT_FALSE(journal.RecordAnswer(ScoredAnswer(2, "UA3ABC", "UA3ABC", 32)));
    EXPECT_FALSE(journal.EndExercise(CallsignEnd(TestTime(9), EndReason::Completed, 540, 32)));
    EXPECT_TRUE(journal.Flush());
    EXPECT_FALSE(journal.TakeWriteProblem()); // refusing is no fault
    const long long id = journal.CurrentExercise();
    EXPECT_GT(id, 0);

    JournalReader reader = OpenReader(Path);
    EXPECT_EQ(reader.Answers(id).size(), 1u);
}

TEST_F(JournalTest, AMissingOrEmptyJournalIsNoFaultForTheReader) {
    JournalReader reader;
    EXPECT_TRUE(reader.Open(Path).Ok());
    EXPECT_TRUE(reader.Missing());
    EXPECT_FALSE(std::filesystem::exists(Path.parent_path())); // nothing made

    std::filesystem::create_directories(Path.parent_path());
    WriteFileBytes(Path, "");
    EXPECT_TRUE(reader.Open(Path).Ok());
    EXPECT_TRUE(reader.Missing());
    EXPECT_EQ(std::filesystem::file_size(Path), 0u);
}
