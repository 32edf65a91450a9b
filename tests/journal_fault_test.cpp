// The journal when things go wrong: no folder, no permission, a broken or
// foreign file, a newer version, a lock held too long, a full disk, and two
// programs writing at once. Training must go on; the user's files stay.
#include "journal/Journal.h"
#include "journal/JournalReader.h"
#include "journal/JournalSchema.h"
#include "journal/Sqlite.h"
#include "tests/support/JournalTestSupport.h"

#include <sched.h>
#include <sys/mount.h>

#include <atomic>
#include <cstdio>
#include <regex>

using namespace tonvik;
namespace fs = std::filesystem;

namespace {

constexpr std::chrono::milliseconds ShortTimeout{200};

std::vector<fs::path> BrokenFiles(const fs::path& folder) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().find(".broken-") != std::string::npos)
            found.push_back(entry.path());
    return found;
}

// A journal with one exercise of one answer, closed again.
void MakeJournal(const fs::path& path) {
    Journal journal;
    ASSERT_TRUE(journal.Open(path).Ok());
    ASSERT_TRUE(journal.BeginExercise(CallsignStart(TestTime())));
    ASSERT_TRUE(journal.RecordAnswer(ScoredAnswer(1, "UA3ABC", "UA3ABC", 30)));
}

int Raw(const fs::path& path, const char* statements) {
    sql::Connection db;
    int rc = db.Open(path.string(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    return rc == SQLITE_OK ? db.Execute(statements) : rc;
}

// Runs body as the unprivileged user "nobody" when the tests run as root, for
// whom file permissions do not bite.
int RunAsUser(const std::function<int()>& body) {
    return RunInChild([&] {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            return 100;
        return body();
    });
}

int FaultCode(JournalFault fault) {
    return static_cast<int>(fault);
}

} // namespace

TEST_F(JournalTest, AFileWhereTheFolderShouldBeLeavesTrainingWithoutJournal) {
    WriteFileBytes(Folder / "tonvik", "my notes");
    Journal journal;
    const JournalProblem problem = journal.Open(Path);
    EXPECT_EQ(problem.Fault, JournalFault::FolderUnavailable);
    EXPECT_EQ(problem.Path, Path.string());
    EXPECT_TRUE(problem.Worth());
    EXPECT_NE(DescribeProblem(problem).find(Path.string()), std::string::npos);
    EXPECT_FALSE(journal.IsOpen());
    EXPECT_FALSE(journal.BeginExercise(CallsignStart(TestTime())));
    EXPECT_FALSE(journal.RecordAnswer(ScoredAnswer(1, "UA3ABC", "UA3ABC", 30)));
    EXPECT_EQ(ReadFileBytes(Folder / "tonvik"), "my notes");
}

TEST_F(JournalTest, AReadOnlyFolderOrFileIsReportedAsSuch) {
    fs::create_directories(Path.parent_path());
    fs::permissions(Folder, fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(Path.parent_path(), fs::perms::owner_read | fs::perms::owner_exec |
                                            fs::perms::others_read | fs::perms::others_exec);
    const auto openFault = [&] {
        Journal journal;
        const JournalProblem problem = journal.Open(Path, ShortTimeout);
        return journal.IsOpen() ? 99 : FaultCode(problem.Fault);
    };
    EXPECT_EQ(RunAsUser(openFault), FaultCode(JournalFault::ReadOnly));
    EXPECT_FALSE(fs::exists(Path));

    // A journal of another user's, readable but not writable.
    fs::permissions(Path.parent_path(),
                    fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    MakeJournal(Path);
    const std::string before = ReadFileBytes(Path);
    EXPECT_EQ(RunAsUser(openFault), FaultCode(JournalFault::ReadOnly));
    EXPECT_EQ(ReadFileBytes(Path), before);
    EXPECT_TRUE(BrokenFiles(Path.parent_path()).empty());
}

TEST_F(JournalTest, AFileThatIsNoDatabaseIsMovedAsideWithItsCompanions) {
    fs::create_directories(Path.parent_path());
    const std::string text = "Not a database, but someone's text.\n";
    WriteFileBytes(Path, text);
    WriteFileBytes(Path.string() + "-wal", "stale");

    Journal journal;
    const JournalProblem problem = journal.Open(Path);
    EXPECT_TRUE(problem.Ok());
    EXPECT_TRUE(problem.Worth()); // the user hears of it
    ASSERT_TRUE(journal.IsOpen());
    EXPECT_TRUE(std::regex_match(problem.AsidePath,
                                 std::regex(".*/journal\\.sqlite\\.broken-\\d{8}-\\d{6}")))
        << problem.AsidePath;
    EXPECT_EQ(ReadFileBytes(problem.AsidePath), text);
    EXPECT_EQ(ReadFileBytes(problem.AsidePath + "-wal"), "stale");
    EXPECT_NE(DescribeProblem(problem).find(problem.AsidePath), std::string::npos);

    // The new journal records, and a second broken file gets a name of its own.
    EXPECT_TRUE(journal.BeginExercise(CallsignStart(TestTime())));
    journal.Close();
    WriteFileBytes(Path, text + text);
    const JournalProblem again = journal.Open(Path);
    EXPECT_TRUE(again.Ok());
    EXPECT_NE(again.AsidePath, problem.AsidePath);
    EXPECT_EQ(ReadFileBytes(again.AsidePath), text + text);
    EXPECT_EQ(BrokenFiles(Path.parent_path()).size(), 3u); // two files and one -wal
}

TEST_F(JournalTest, AnotherProgramsDatabaseIsKeptAsideIntact) {
    fs::create_directories(Path.parent_path());
    ASSERT_EQ(Raw(Path, "CREATE TABLE contacts(call TEXT); INSERT INTO contacts VALUES('DL1XYZ');"),
              SQLITE_OK);
    Journal journal;
    const JournalProblem problem = journal.Open(Path);
    ASSERT_TRUE(problem.Ok());
    ASSERT_FALSE(problem.AsidePath.empty());

    sql::Connection aside;
    ASSERT_EQ(aside.Open(problem.AsidePath, SQLITE_OPEN_READONLY), SQLITE_OK);
    int64_t contacts = 0;
    EXPECT_EQ(aside.QueryInt("SELECT count(*) FROM contacts", contacts), SQLITE_OK);
    EXPECT_EQ(contacts, 1);
}

TEST_F(JournalTest, AJournalOfANewerVersionIsNotTouched) {
    MakeJournal(Path);
    ASSERT_EQ(Raw(Path, "PRAGMA user_version = 99"), SQLITE_OK);
    const std::string before = ReadFileBytes(Path);

    Journal journal;
    const JournalProblem problem = journal.Open(Path);
    EXPECT_EQ(problem.Fault, JournalFault::NewerSchema);
    EXPECT_EQ(problem.Version, 99);
    EXPECT_TRUE(problem.AsidePath.empty());
    EXPECT_FALSE(journal.IsOpen());
    EXPECT_EQ(ReadFileBytes(Path), before);
    EXPECT_TRUE(BrokenFiles(Path.parent_path()).empty());

    JournalReader reader;
    EXPECT_EQ(reader.Open(Path).Fault, JournalFault::NewerSchema);
    EXPECT_EQ(ReadFileBytes(Path), before);
}

TEST_F(JournalTest, ALockHeldLongerThanTheTimeoutIsReportedNotBroken) {
    fs::create_directories(Path.parent_path());
    WriteFileBytes(Path, "");
    sql::Connection holder; // another program in the middle of writing
    ASSERT_EQ(holder.Open(Path.string(), SQLITE_OPEN_READWRITE), SQLITE_OK);
    ASSERT_EQ(holder.Execute("BEGIN EXCLUSIVE"), SQLITE_OK);

    Journal journal;
    EXPECT_EQ(journal.Open(Path, ShortTimeout).Fault, JournalFault::Locked);
    EXPECT_FALSE(journal.IsOpen());
    EXPECT_TRUE(BrokenFiles(Path.parent_path()).empty());
    holder.Execute("ROLLBACK");
    EXPECT_TRUE(journal.Open(Path, ShortTimeout).Ok());
}

TEST_F(JournalTest, AWriteThatFailsTurnsTheJournalOffAndIsReportedOnce) {
    Journal journal;
    std::atomic<int> notified{0};
    journal.SetProblemNotifier([&] { ++notified; });
    ASSERT_TRUE(journal.Open(Path, ShortTimeout).Ok());
    ASSERT_TRUE(journal.BeginExercise(CallsignStart(TestTime())));
    ASSERT_TRUE(journal.RecordAnswer(ScoredAnswer(1, "UA3ABC", "UA3ABC", 30)));
    ASSERT_TRUE(journal.Flush());
    const long long exercise = journal.CurrentExercise();

    sql::Connection holder;
    ASSERT_EQ(holder.Open(Path.string(), SQLITE_OPEN_READWRITE), SQLITE_OK);
    ASSERT_EQ(holder.Execute("BEGIN IMMEDIATE"), SQLITE_OK);
    // Handed over at once; the writer gives up after the busy timeout, and
    // what was handed over after it is dropped with it.
    EXPECT_TRUE(journal.RecordAnswer(ScoredAnswer(2, "DL1XYZ", "DL1XYZ", 32)));
    journal.RecordAnswer(ScoredAnswer(3, "DL1XYZ", "DL1XYZ", 32));
    EXPECT_FALSE(journal.Flush());
    holder.Execute("ROLLBACK");
    EXPECT_EQ(notified, 1);

    const auto problem = journal.TakeWriteProblem();
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->Fault, JournalFault::Locked);
    EXPECT_FALSE(journal.TakeWriteProblem());
    EXPECT_FALSE(journal.IsOpen());
    EXPECT_FALSE(journal.RecordAnswer(ScoredAnswer(4, "OK2AB", "OK2AB", 32)));
    EXPECT_FALSE(journal.TakeWriteProblem());
    EXPECT_EQ(notified, 1);

    JournalReader reader;
    ASSERT_TRUE(reader.Open(Path).Ok());
    EXPECT_EQ(reader.Answers(exercise).size(), 1u); // only what was reported recorded
}

TEST_F(JournalTest, TwoProgramsRecordingAtOnceBothKeepEveryAnswer) {
    constexpr int Answers = 60;
    const auto record = [&](const std::string& ownCall) {
        Journal journal;
        if (!journal.Open(Path).Ok() || !journal.BeginExercise(CallsignStart(TestTime(), ownCall)))
            return 1;
        for (int n = 1; n <= Answers; ++n)
            if (!journal.RecordAnswer(ScoredAnswer(n, "UA3ABC", "UA3ABD", 30)) || !journal.Flush())
                return 2;
        return journal.EndExercise(CallsignEnd(TestTime(99), EndReason::Completed, 1, 0)) ? 0 : 3;
    };
    MakeJournal(Path); // both find a journal; racing to begin one is the next test's
    const pid_t other = fork();
    if (other == 0)
        _exit(record("DL1AAA"));
    const int here = record("UA3BBB");
    int status = 0;
    ASSERT_EQ(waitpid(other, &status, 0), other);
    EXPECT_EQ(here, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    JournalReader reader;
    ASSERT_TRUE(reader.Open(Path).Ok());
    const auto rows = reader.LastExercises(ExerciseKind::Callsign, 10);
    ASSERT_EQ(rows.size(), 3u);
    int recorded = 0;
    for (const ExerciseRow& row : rows)
        recorded += row.Answers;
    EXPECT_EQ(recorded, 1 + 2 * Answers);
}

TEST_F(JournalTest, TwoProgramsBeginningANewJournalAtOnceMakeItOnce) {
    const pid_t other = fork();
    if (other == 0) {
        Journal journal;
        const JournalProblem problem = journal.Open(Path);
        if (!problem.Ok())
            std::fprintf(stderr, "the other program: %s\n", DescribeProblem(problem).c_str());
        _exit(problem.Ok() && journal.BeginExercise(CallsignStart(TestTime())) ? 0 : 1);
    }
    Journal journal;
    const JournalProblem problem = journal.Open(Path);
    EXPECT_TRUE(problem.Ok()) << DescribeProblem(problem);
    EXPECT_TRUE(problem.AsidePath.empty());
    EXPECT_TRUE(journal.BeginExercise(CallsignStart(TestTime())));
    int status = 0;
    ASSERT_EQ(waitpid(other, &status, 0), other);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(BrokenFiles(Path.parent_path()).empty());
}

TEST_F(JournalTest, AFullDiskStopsTheJournalWithoutLosingWhatWasRecorded) {
    // A small disk of its own: a tmpfs in a mount namespace of the child.
    const fs::path small = Folder / "small";
    fs::create_directories(small);
    const int status = RunInChild([&] {
        if (unshare(CLONE_NEWNS) != 0 || mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr))
            return 200;
        if (mount("tmpfs", small.c_str(), "tmpfs", 0, "size=192k") != 0)
            return 200;
        const fs::path path = small / "tonvik" / "journal.sqlite";
        Journal journal;
        if (!journal.Open(path).Ok() || !journal.BeginExercise(CallsignStart(TestTime())))
            return 1;
        int recorded = 0;
        while (recorded < 100000 && journal.RecordAnswer(ScoredAnswer(1, "UA3ABC", "UA3ABD", 30)) &&
               journal.Flush())
            ++recorded;
        const auto problem = journal.TakeWriteProblem();
        if (!problem || problem->Fault != JournalFault::DiskFull)
            return 2;
        JournalReader reader;
        if (!reader.Open(path).Ok())
            return 3;
        const auto rows = reader.LastExercises(ExerciseKind::Callsign, 1);
        return rows.size() == 1 && rows[0].Answers == recorded && recorded > 0 ? 0 : 4;
    });
    if (status == 200)
        GTEST_SKIP() << "no mount namespace here";
    EXPECT_EQ(status, 0);
}
