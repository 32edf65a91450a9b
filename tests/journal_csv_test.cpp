// tonvik journal on the command line: the CSV's exact columns and quoting,
// the summary, the per-character table, and what an empty, missing or broken
// journal gives.
#include "journal/JournalCsv.h"
#include "tests/support/CommandRun.h"
#include "tests/support/Cp1251Literal.h"
#include "tests/support/JournalTestSupport.h"

#include <sstream>

using namespace tonvik;

namespace {

int CountLines(const std::string& text, const std::string& start) {
    int count = 0;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        count += line.rfind(start, 0) == 0 ? 1 : 0;
    return count;
}

const char* const AnswersHeader =
    "exercise,started,own_call,number,sent,typed,right,errors,wpm,tone_hz,replays,points,"
    "response_ms\r\n";

} // namespace

TEST(JournalCsvField, QuotedOnlyWhenAFieldNeedsIt) {
    EXPECT_EQ(CsvField("UA3ABC"), "UA3ABC");
    EXPECT_EQ(CsvField(""), "");
    EXPECT_EQ(CsvField("UA 3"), "UA 3");
    EXPECT_EQ(CsvField("UA,3"), "\"UA,3\"");
    EXPECT_EQ(CsvField("say \"73\""), "\"say \"\"73\"\"\"");
    EXPECT_EQ(CsvField("two\r\nlines"), "\"two\r\nlines\"");
}

TEST_F(JournalTest, TheAnswersCsvHasItsColumnsQuotingAndUtf8) {
    {
        Journal journal;
        ASSERT_TRUE(journal.Open(Path).Ok());
        ASSERT_TRUE(journal.BeginExercise(CallsignStart(TestTime(), Cp1251("RA3ЖЖ"))));
        // Right at 30 wpm: 540 points; typed with a comma and a quote: four
        // of six positions wrong, (2/6)^4 x 6 x 30^2 / 10 = 6.67 -> 7 points.
        ASSERT_TRUE(journal.RecordAnswer(ScoredAnswer(1, "UA3ABC", "UA3ABC", 30)));
        AnswerRecord odd = ScoredAnswer(2, "DL1XYZ", "DL,\"1", 30);
        odd.ResponseMs = 0;
        ASSERT_TRUE(journal.RecordAnswer(odd));
        ASSERT_TRUE(journal.RecordAnswer(ScoredAnswer(3, Cp1251("ЭХО"), Cp1251("ЭХЩ"), 29, 1)));
    }
    const std::string expected =
        std::string(AnswersHeader) +
        "1,2024-03-09T17:05:42.120Z,RA3ЖЖ,1,UA3ABC,UA3ABC,1,0,30,800,0,540,1200\r\n"
        "1,2024-03-09T17:05:42.120Z,RA3ЖЖ,2,DL1XYZ,\"DL,\"\"1\",0,4,30,800,0,7,0\r\n"
        // (2/3)^4 x 3 x 0.5 x 29^2 / 10 = 24.9 -> 25
        "1,2024-03-09T17:05:42.120Z,RA3ЖЖ,3,ЭХО,ЭХЩ,0,1,29,800,1,25,1200\r\n";
    const CommandRun run = Tonvik({"journal", "--journal", Path.string(), "--csv"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(run.Out, expected);
    // The global form before the command reads the same file.
    EXPECT_EQ(Tonvik({"journal", "--csv", "--journal=" + Path.string()}).Out, expected);
}

TEST_F(JournalTest, TheExercisesCsvHasOneLinePerExerciseOfEveryKind) {
    {
        Journal journal;
        ASSERT_TRUE(journal.Open(Path).Ok());
        ASSERT_TRUE(journal.BeginExercise(CallsignStart(TestTime())));
        ASSERT_TRUE(journal.RecordAnswer(ScoredAnswer(1, "UA3ABC", "UA3ABC", 30)));
        ASSERT_TRUE(journal.EndExercise(CallsignEnd(TestTime(60), EndReason::Stopped, 540, 32)));
        ExerciseStart text;
        text.Kind = ExerciseKind::Text;
        text.Started = TestTime(120);
        text.Conditions = "snr=6 bw=500 qrn=2";
        ASSERT_TRUE(journal.BeginExercise(text)); // and never ended
    }
    const CommandRun run = Tonvik({"journal", "--journal", Path.string(), "--exercises", "--csv"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out,
              "exercise,kind,started,ended,end,own_call,wpm,pitch_hz,volume,speed_fixed,"
              "tone_fixed,letter_gap,word_gap,list_path,list_sha256,answers,right,points,max_wpm,"
              "characters,conditions\r\n"
              "1,callsign,2024-03-09T17:05:42.120Z,2024-03-09T17:06:42.120Z,stopped,UA3XYZ,30,800,"
              "5,0,0,3,7,/usr/lib/tonvik/master.ped," +
                  std::string(64, 'a') +
                  ",1,1,540,32,0,clean\r\n"
                  "2,text,2024-03-09T17:07:42.120Z,,stopped,,30,800,5,0,0,3,7,,,0,0,0,0,0,"
                  "snr=6 bw=500 qrn=2\r\n");
}

TEST_F(JournalTest, TheSummaryShowsTheCountsTheLastTenAndTheBest) {
    {
        Journal journal;
        ASSERT_TRUE(journal.Open(Path).Ok());
        for (int n = 0; n < 12; ++n) {
            ASSERT_TRUE(journal.BeginExercise(CallsignStart(TestTime(n * 600))));
            ASSERT_TRUE(journal.RecordAnswer(ScoredAnswer(1, "UA3ABC", "UA3ABC", 30)));
            const double points = n == 4 ? 9999 : 540;
            ASSERT_TRUE(journal.EndExercise(
                CallsignEnd(TestTime(n * 600 + 60), EndReason::Completed, points, 32 + n)));
        }
        ExerciseStart test;
        test.Kind = ExerciseKind::PreliminaryTest;
        test.Started = TestTime(9000);
        ASSERT_TRUE(journal.BeginExercise(test));
    }
    const CommandRun run = Tonvik({"journal", "--journal", Path.string()});
    EXPECT_EQ(run.Status, 0);
    EXPECT_NE(run.Out.find("Exercises: 12 callsign, 0 missed-calls drills, 0 weak-characters "
                           "drills, 0 text, 1 preliminary tests\n"),
              std::string::npos)
        << run.Out;
    EXPECT_NE(run.Out.find("Last 10 callsign exercises"), std::string::npos);
    EXPECT_EQ(CountLines(run.Out, "  2024-03-"), 10);
    // Newest first: the twelfth began at 18:55:42.
    EXPECT_EQ(run.Out.find("  2024-03-09 18:55    1/1       43      540  all answered"),
              run.Out.find("  2024-03-"));
    EXPECT_NE(run.Out.find("Best: 2024-03-09 17:45, 1/1 right, 36 wpm, 9999 points"),
              std::string::npos);
}

TEST_F(JournalTest, TheCharacterTableIsWorstFirst) {
    {
        Journal journal;
        ASSERT_TRUE(journal.Open(Path).Ok());
        ASSERT_TRUE(journal.BeginExercise(CallsignStart(TestTime())));
        ASSERT_TRUE(journal.RecordAnswer(ScoredAnswer(1, "AB", "A6", 30, 0, JournalClock::now())));
        ASSERT_TRUE(journal.RecordAnswer(ScoredAnswer(2, "AB", "AB", 30, 0, JournalClock::now())));
    }
    const CommandRun run =
        Tonvik({"journal", "--journal", Path.string(), "--characters", "--days", "7"});
    EXPECT_EQ(run.Status, 0);
    const size_t b = run.Out.find("  B           2         1     50.0 %");
    const size_t a = run.Out.find("  A           2         0    100.0 %");
    EXPECT_NE(b, std::string::npos) << run.Out;
    EXPECT_NE(a, std::string::npos) << run.Out;
    EXPECT_LT(b, a);
    EXPECT_NE(run.Out.find("  B -> 6: 1\n"), std::string::npos);
}

TEST_F(JournalTest, AMissingOrEmptyJournalIsANoteAndNoFailure) {
    const CommandRun summary = Tonvik({"journal", "--journal", Path.string()});
    EXPECT_EQ(summary.Status, 0);
    EXPECT_EQ(summary.Out, "No exercises in the journal yet (" + Path.string() + ").\n");
    // CSV stays clean for what reads it: its header alone, and the note goes
    // to the error stream.
    const CommandRun csv = Tonvik({"journal", "--journal", Path.string(), "--csv"});
    EXPECT_EQ(csv.Status, 0);
    EXPECT_EQ(csv.Out, AnswersHeader);
    EXPECT_EQ(CountLines(csv.Err, "No exercises"), 1);
    EXPECT_FALSE(std::filesystem::exists(Path)); // reading makes nothing

    { // a journal begun but holding no exercise
        Journal journal;
        ASSERT_TRUE(journal.Open(Path).Ok());
    }
    EXPECT_EQ(Tonvik({"journal", "--journal", Path.string()}).Out, summary.Out);
}

TEST_F(JournalTest, ABrokenJournalIsReportedAndLeftAlone) {
    std::filesystem::create_directories(Path.parent_path());
    WriteFileBytes(Path, "not a journal at all");
    const CommandRun run = Tonvik({"journal", "--journal", Path.string()});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(CountLines(run.Err, "tonvik: journal " + Path.string() + ": "), 1) << run.Err;
    EXPECT_EQ(ReadFileBytes(Path), "not a journal at all");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Path.parent_path()), {}), 1);
}

TEST(JournalCommand, BadOptionsAreRefusedWithOneLine) {
    const auto refused = [](const std::vector<std::string>& args, const std::string& line) {
        const CommandRun run = Tonvik(args);
        EXPECT_EQ(run.Status, 2);
        EXPECT_EQ(run.Err, "tonvik: " + line + "\n");
        EXPECT_EQ(run.Out, "");
    };
    refused({"journal", "--bogus"}, "unknown option '--bogus' (see: tonvik journal --help)");
    refused({"journal", "--exercises"}, "--exercises goes with --csv");
    refused({"journal", "--csv", "--characters"}, "give either --csv or --characters, not both");
    refused({"journal", "--characters", "--days", "5"}, "--days takes 7 or 30, not '5'");
    refused({"journal", "--days", "7"}, "--days goes with --characters");
    refused({"journal", "--journal"}, "--journal needs a value");
    refused({"--journal"}, "--journal needs a value");
    refused({"journal", "--no-journal"},
            "--no-journal is not an option of journal (see: tonvik journal --help)");
    const CommandRun help = Tonvik({"journal", "--help"});
    EXPECT_EQ(help.Status, 0);
    EXPECT_EQ(help.Out.rfind("Usage: tonvik journal", 0), 0u);
}

TEST_F(JournalTest, TheCourseShowsByKindAndStaysOutOfTheCallsignForms) {
    {
        Journal journal;
        ASSERT_TRUE(journal.Open(Path).Ok());
        ExerciseStart lesson;
        lesson.Kind = ExerciseKind::KochLesson;
        lesson.Started = TestTime();
        lesson.Wpm = 20;
        ASSERT_TRUE(journal.BeginExercise(lesson));
        LessonResultRecord result;
        result.Course = "latin";
        result.Characters = {{"K", "K"}, {"M", "N"}};
        result.Checked = TestTime(100);
        ASSERT_TRUE(journal.RecordLessonResult(result));
        ExerciseEnd end;
        end.Ended = TestTime(101);
        end.Reason = EndReason::Completed;
        ASSERT_TRUE(journal.EndExercise(end));
        ExerciseStart run = lesson;
        run.Kind = ExerciseKind::Recognition;
        run.Started = TestTime(200);
        ASSERT_TRUE(journal.BeginExercise(run));
        RecognitionAnswerRecord answer;
        answer.Number = 1;
        answer.Character = "K";
        answer.Pressed = "R";
        answer.Answered = TestTime(201);
        ASSERT_TRUE(journal.RecordRecognitionAnswer(answer));
    }
    const CommandRun exercises =
        Tonvik({"journal", "--journal", Path.string(), "--exercises", "--csv"});
    EXPECT_EQ(exercises.Status, 0);
    EXPECT_EQ(CountLines(exercises.Out, "1,koch-lesson,2024-03-09T17:05:42.120Z,"), 1)
        << exercises.Out;
    EXPECT_EQ(CountLines(exercises.Out, "2,recognition,2024-03-09T17:09:02.120Z,,stopped,"), 1)
        << exercises.Out;
    // No callsign answer: the answers CSV has its header alone.
    EXPECT_EQ(Tonvik({"journal", "--journal", Path.string(), "--csv"}).Out, AnswersHeader);
    const CommandRun summary = Tonvik({"journal", "--journal", Path.string()});
    EXPECT_EQ(summary.Status, 0);
    EXPECT_NE(summary.Out.find("Exercises: 0 callsign, 0 missed-calls drills, 0 weak-characters "
                               "drills, 0 text, 0 preliminary tests\n"
                               "Course: 1 lessons, 1 recognition runs\n"),
              std::string::npos)
        << summary.Out;
    EXPECT_EQ(summary.Out.find("Best:"), std::string::npos);
    const CommandRun characters = Tonvik({"journal", "--journal", Path.string(), "--characters"});
    EXPECT_EQ(characters.Status, 0);
    EXPECT_NE(characters.Out.find("No callsign characters keyed in all time."), std::string::npos)
        << characters.Out;
}
