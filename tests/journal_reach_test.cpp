// tonvik journal when the journal's name leads somewhere odd: a FIFO or a
// device in its place or beside it, a folder the user may not enter, a name
// too long. Only a journal that is not there reads as empty; the rest is one
// line naming it and the system's reason, and nothing waits.
#include "cli/Cli.h"
#include "journal/Journal.h"
#include "journal/JournalReader.h"
#include "journal/Sqlite.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/CommandRun.h"
#include "tests/support/JournalTestSupport.h"

#include <sys/stat.h>

#include <csignal>
#include <thread>

using namespace tonvik;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// "tonvik ARGS" as a process of its own, so that a command that hangs is
// killed at the deadline instead of holding the test.
ChildOutcome RunTonvik(std::vector<std::string> args, std::chrono::milliseconds limit = 10s) {
    ChildProcess child([args] {
        ArgumentVector argv(args);
        return RunCommandLine(argv.Count(), argv.Values());
    });
    return child.Wait(limit);
}

// The same as the unprivileged user "nobody" when the tests run as root, for
// whom file permissions do not bite.
ChildOutcome RunTonvikAsNobody(std::vector<std::string> args) {
    ChildProcess child([args] {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            return 100;
        ArgumentVector argv(args);
        return RunCommandLine(argv.Count(), argv.Values());
    });
    return child.Wait(10s);
}

int CountLines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

const char* const AnswersHeader =
    "exercise,started,own_call,number,sent,typed,right,errors,wpm,tone_hz,replays,points,"
    "response_ms\r\n";
const char* const ExercisesHeader =
    "exercise,kind,started,ended,end,own_call,wpm,pitch_hz,volume,speed_fixed,tone_fixed,"
    "letter_gap,word_gap,list_path,list_sha256,answers,right,points,max_wpm,characters,"
    "conditions\r\n";

const std::vector<std::vector<std::string>> Commands = {
    {}, {"--csv"}, {"--csv", "--exercises"}, {"--characters"}};

} // namespace

TEST_F(JournalTest, AFifoOrADeviceInThePlaceOfTheJournalIsRefusedAtOnce) {
    fs::create_directories(Path.parent_path());
    struct Case {
        const char* Name;
        fs::path Fifo; // made a FIFO; the journal itself otherwise a real one
    };
    const std::vector<Case> cases = {
        {"the journal", Path},
        {"its -wal", Path.string() + "-wal"},
        {"its -shm", Path.string() + "-shm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        fs::remove_all(Path.parent_path());
        fs::create_directories(Path.parent_path());
        if (c.Fifo != Path) {
            Journal journal;
            ASSERT_TRUE(journal.Open(Path).Ok());
            AddCallsignExercise(journal, 0, ExerciseKind::Callsign, EndReason::Completed,
                                {{"UA3ABC", "UA3ABC"}});
        }
        ASSERT_EQ(mkfifo(c.Fifo.c_str(), 0600), 0);
        std::vector<std::vector<std::string>> commands = Commands;
        commands.push_back({"--plot", (Folder / "p.png").string()});
        for (auto args : commands) {
            args.insert(args.begin(), {"journal", "--journal", Path.string()});
            const ChildOutcome run = RunTonvik(args);
            ASSERT_FALSE(run.TimedOut) << args.back() << ": still waiting in open";
            EXPECT_EQ(run.Status, 1) << args.back();
            EXPECT_EQ(run.Out, "") << args.back();
            EXPECT_EQ(CountLines(run.Err), 1) << run.Err;
            EXPECT_EQ(run.Err.rfind("tonvik: journal " + Path.string() + ": ", 0), 0u) << run.Err;
            EXPECT_NE(run.Err.find("not a regular file"), std::string::npos) << run.Err;
        }
        // The recorder of the window refuses it the same way, without waiting.
        const ChildOutcome window = ChildProcess([&] {
                                        Journal journal;
                                        const JournalProblem p = journal.Open(Path);
                                        return p.Fault == JournalFault::CannotOpen ? 0 : 1;
                                    }).Wait(10s);
        EXPECT_FALSE(window.TimedOut);
        EXPECT_EQ(window.Status, 0);
        struct stat info {};
        ASSERT_EQ(::lstat(c.Fifo.c_str(), &info), 0);
        EXPECT_TRUE(S_ISFIFO(info.st_mode)); // left as it was
        EXPECT_FALSE(fs::exists(Folder / "p.png"));
    }
}

TEST_F(JournalTest, AJournalThatCannotBeReachedIsNoEmptyJournal) {
    struct Case {
        const char* Name;
        fs::path Journal;
        const char* Reason;
        bool AsNobody;
    };
    const fs::path closed = Folder / "closed";
    fs::create_directories(closed / "tonvik");
    fs::permissions(closed, fs::perms::owner_all); // nobody may not enter it
    const std::string longName(300, 'n');
    const std::vector<Case> cases = {
        {"a folder that may not be entered", closed / "tonvik" / "journal.sqlite",
         "Permission denied", true},
        {"a name too long", Folder / longName / "journal.sqlite", "File name too long", false},
        {"a file where a folder should be", Folder / "notes.txt" / "journal.sqlite",
         "Not a directory", false},
    };
    WriteFileBytes(Folder / "notes.txt", "notes");
    fs::permissions(Folder, fs::perms::owner_all | fs::perms::others_exec);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        if (c.AsNobody && geteuid() != 0 && ::access(closed.c_str(), X_OK) == 0)
            continue; // neither root to become another user nor locked out
        std::vector<std::vector<std::string>> commands = Commands;
        commands.push_back({"--plot", "/dev/null"});
        for (auto args : commands) {
            args.insert(args.begin(), {"journal", "--journal", c.Journal.string()});
            const ChildOutcome run = c.AsNobody ? RunTonvikAsNobody(args) : RunTonvik(args);
            EXPECT_EQ(run.Status, 1) << args.back() << "\n" << run.Out << run.Err;
            EXPECT_EQ(run.Out, "") << args.back();
            EXPECT_EQ(run.Err, "tonvik: journal " + c.Journal.string() + ": it cannot be opened (" +
                                   c.Reason + ")\n");
        }
    }
}

TEST_F(JournalTest, TheCsvOfAJournalNotBegunYetIsItsHeader) {
    for (const bool exercises : {false, true}) {
        std::vector<std::string> args = {"journal", "--journal", Path.string(), "--csv"};
        if (exercises)
            args.push_back("--exercises");
        const CommandRun run = Tonvik(args);
        EXPECT_EQ(run.Status, 0);
        EXPECT_EQ(run.Out, exercises ? ExercisesHeader : AnswersHeader);
        EXPECT_EQ(run.Err, "No exercises in the journal yet (" + Path.string() + ").\n");
        EXPECT_FALSE(fs::exists(Path)); // reading makes nothing
    }
}

TEST_F(JournalTest, ThePlotIsNeverWrittenOntoTheJournalsOwnFiles) {
    Journal journal;
    ASSERT_TRUE(journal.Open(Path).Ok());
    // Answers in the -wal, not yet folded back into the journal.
    ASSERT_TRUE(journal.BeginExercise(CallsignStart(TestTime())));
    for (int n = 1; n <= 200; ++n)
        ASSERT_TRUE(journal.RecordAnswer(ScoredAnswer(n, "UA3ABC", "UA3ABC", 30)));
    ASSERT_TRUE(journal.Flush());
    const fs::path wal = Path.string() + "-wal";
    ASSERT_TRUE(fs::exists(wal));
    const std::string walBytes = ReadFileBytes(wal);
    fs::create_hard_link(wal, Folder / "linked");
    const std::vector<fs::path> outputs = {
        wal, Path.string() + "-shm", Path.string() + "-journal",
        Path.parent_path() / ".." / "tonvik" / "journal.sqlite-wal", Folder / "linked"};
    for (const fs::path& output : outputs) {
        const CommandRun run =
            Tonvik({"journal", "--journal", Path.string(), "--plot", output.string()});
        EXPECT_EQ(run.Status, 2) << output << run.Out;
        EXPECT_EQ(CountLines(run.Err), 1) << run.Err;
        EXPECT_NE(run.Err.find(Path.string()), std::string::npos) << run.Err;
    }
    EXPECT_EQ(ReadFileBytes(wal), walBytes);
    EXPECT_FALSE(fs::exists(Path.string() + "-journal"));
    journal.Close();
    JournalReader reader;
    ASSERT_TRUE(reader.Open(Path).Ok());
    EXPECT_EQ(reader.Answers(1).size(), 200u);
}

TEST_F(JournalTest, ACsvCellThatASpreadsheetWouldRunIsMarkedAsText) {
    struct Case {
        std::string Typed;
        std::string Cell; // as it stands in the line
    };
    const std::vector<Case> cases = {
        {"=HYPERLINK(\"http://x\")", "\"'=HYPERLINK(\"\"http://x\"\")\""},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"+UA3ABC", "'+UA3ABC"},
        {"-2+3", "'-2+3"},
        {"\tUA3", "'\tUA3"},
        {"\rUA3", "\"'\rUA3\""},
        {"UA3=ABC", "UA3=ABC"},
        {"UA3-ABC", "UA3-ABC"},
        {"", ""},
    };
    Journal journal;
    ASSERT_TRUE(journal.Open(Path).Ok());
    ASSERT_TRUE(journal.BeginExercise(CallsignStart(TestTime(), "=1+1")));
    int number = 0;
    for (const Case& c : cases)
        ASSERT_TRUE(journal.RecordAnswer(ScoredAnswer(++number, "UA3ABC", c.Typed, 30)));
    ASSERT_TRUE(journal.Flush());
    const CommandRun run = Tonvik({"journal", "--journal", Path.string(), "--csv"});
    ASSERT_EQ(run.Status, 0) << run.Err;
    number = 0;
    for (const Case& c : cases) {
        ++number;
        const std::string line = ",'=1+1," + std::to_string(number) + ",UA3ABC," + c.Cell + ",";
        EXPECT_NE(run.Out.find(line), std::string::npos) << line << "\n" << run.Out;
    }
    // The columns SQLite holds as numbers are not text: they stay as they are.
    EXPECT_NE(run.Out.find(",30,800,0,"), std::string::npos) << run.Out;
    EXPECT_EQ(run.Out.find(",'30,"), std::string::npos) << run.Out;
}

// Ctrl-C and SIGTERM end tonvik journal in whatever it waits for: here the
// lock another program holds on a journal it must bring forward, which it
// would otherwise wait the whole busy timeout for.
TEST_F(JournalTest, ASignalEndsTheJournalCommandWhileItWaits) {
    {
        Journal journal;
        ASSERT_TRUE(journal.Open(Path).Ok());
    }
    sql::Connection holder;
    ASSERT_EQ(holder.Open(Path.string(), SQLITE_OPEN_READWRITE), SQLITE_OK);
    ASSERT_EQ(holder.Execute("PRAGMA user_version = 1; BEGIN IMMEDIATE;"), SQLITE_OK);
    for (const int signal : {SIGINT, SIGTERM}) {
        ChildProcess child([&] {
            ArgumentVector argv({"journal", "--journal", Path.string()});
            return RunCommandLine(argv.Count(), argv.Values());
        });
        ASSERT_TRUE(child.WaitUntilCatching(signal, 10s));
        std::this_thread::sleep_for(300ms); // well inside the wait for the lock
        const auto sent = std::chrono::steady_clock::now();
        child.Signal(signal);
        const ChildOutcome run = child.Wait(10s);
        const auto took = std::chrono::steady_clock::now() - sent;
        EXPECT_EQ(run.Status, 130) << run.Err;
        EXPECT_EQ(run.Err, "tonvik: interrupted\n");
        EXPECT_LT(took, 2s) << "waited for the lock after signal " << signal;
    }
    holder.Execute("ROLLBACK");
}

// A reader that went away (tonvik journal --csv | head -1) ends the command
// quietly with 128 + SIGPIPE, as the shell reports for coreutils.
TEST_F(JournalTest, AClosedPipeEndsEveryOutputQuietly) {
    Journal journal;
    ASSERT_TRUE(journal.Open(Path).Ok());
    AddCallsignExercise(journal, 0, ExerciseKind::Callsign, EndReason::Completed,
                        {{"UA3ABC", "UA3ABC"}, {"DL1XYZ", "DL1XY"}});
    journal.Close();
    std::vector<std::vector<std::string>> commands = Commands;
    commands.push_back({"--plot", "/dev/stdout"});
    for (auto args : commands) {
        args.insert(args.begin(), {"journal", "--journal", Path.string()});
        int output[2];
        ASSERT_EQ(::pipe(output), 0);
        ::close(output[0]); // the reader has read what it wanted and gone
        ChildProcess child(
            [&] {
                ::setenv("XDG_RUNTIME_DIR", Folder.c_str(), 1); // Qt's offscreen plot asks
                ArgumentVector argv(args);
                return RunCommandLine(argv.Count(), argv.Values());
            },
            -1, output[1]);
        ::close(output[1]);
        const ChildOutcome run = child.Wait(20s);
        EXPECT_EQ(run.Status, 141) << args.back() << ": " << run.Err;
        EXPECT_EQ(run.Err, "") << args.back();
    }
}
