// tonvik calls import under faults: imports started together, names that
// cannot be reached, a list saved as UTF-16, files that give nothing.
#include "callsign/PersonalList.h"
#include "cli/Cli.h"
#include "tests/support/CallsFixture.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/CommandRun.h"
#include "tests/support/ListFileSupport.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <set>
#include <sstream>
#include <thread>

namespace tonvik {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class CallsFaults : public CallsFixture {
protected:
    CallsFaults() : CallsFixture("tonvik-calls-faults") {}

    // The callsigns the personal list holds now.
    std::set<std::string> ListCalls() const {
        std::set<std::string> calls;
        std::istringstream lines(FileBytes(Personal));
        for (std::string line; std::getline(lines, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!line.empty() && line[0] != '#')
                calls.insert(line);
        }
        return calls;
    }
};

// Distinct callsigns for one import of one round.
std::vector<std::string> CallsOf(int round, int importer, int count) {
    static const char* const Prefixes[] = {"UA", "DL", "OK", "SP", "YL", "LY"};
    std::vector<std::string> calls;
    for (int n = 0; n < count; ++n) {
        std::string call = std::string(Prefixes[importer]) + char('0' + round % 10);
        call += char('A' + round / 10);
        call += char('A' + n / 26 % 26);
        call += char('A' + n % 26);
        calls.push_back(call);
    }
    return calls;
}

std::string Joined(const std::vector<std::string>& calls) {
    std::string bytes;
    for (const std::string& call : calls)
        bytes += call + "\n";
    return bytes;
}

// Starts every import in a child of its own, all let go at one moment, and
// returns their exit statuses.
std::vector<int> ImportTogether(const std::vector<std::string>& files) {
    int gate[2];
    if (::pipe(gate) != 0)
        return {};
    std::vector<pid_t> children;
    for (const std::string& file : files) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(gate[1]);
            char byte;
            while (::read(gate[0], &byte, 1) < 0 && errno == EINTR) {
            }
            ::_exit(Tonvik({"calls", "import", "--append", file}).Status);
        }
        children.push_back(pid);
    }
    ::close(gate[0]);
    ::close(gate[1]); // the gate opens for all at once
    std::vector<int> statuses;
    for (const pid_t pid : children) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        statuses.push_back(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    }
    return statuses;
}

} // namespace

TEST_F(CallsFaults, ImportsStartedTogetherLoseNothingAndLeaveNoTemporaryFile) {
    constexpr int Importers = 4;
    constexpr int Rounds = 12;
    std::set<std::string> expected;
    for (int round = 0; round < Rounds; ++round) {
        std::vector<std::string> files;
        for (int importer = 0; importer < Importers; ++importer) {
            const std::vector<std::string> calls = CallsOf(round, importer, 300);
            expected.insert(calls.begin(), calls.end());
            files.push_back(
                File("r" + std::to_string(round) + "-" + std::to_string(importer) + ".txt",
                     Joined(calls)));
        }
        const std::vector<int> statuses = ImportTogether(files);
        EXPECT_EQ(statuses, std::vector<int>(Importers, 0)) << "round " << round;
    }
    const std::set<std::string> kept = ListCalls();
    EXPECT_EQ(kept.size(), expected.size());
    EXPECT_EQ(kept, expected);
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(Personal.parent_path()))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"master.ped", "master.ped.bak"}));
}

TEST_F(CallsFaults, AnImportWaitsForTheOneThatHoldsTheList) {
    ASSERT_EQ(Tonvik({"calls", "import", File("a.txt", "UA3ABC\n")}).Status, 0);
    // Another program holds the list: the import waits, says so, and then adds.
    int held[2];
    ASSERT_EQ(::pipe(held), 0);
    ChildProcess holder(
        [&] {
            const int fd = ::open(Personal.parent_path().c_str(), O_RDONLY | O_DIRECTORY);
            if (fd < 0 || ::flock(fd, LOCK_EX) != 0)
                return 1;
            char byte = 1;
            (void)!::write(held[1], &byte, 1);
            ::sleep(1);
            return 0;
        },
        -1, -1);
    char byte = 0;
    ASSERT_EQ(::read(held[0], &byte, 1), 1);
    const auto start = std::chrono::steady_clock::now();
    const CommandRun run = Tonvik({"calls", "import", "--append", File("b.txt", "K1AB\n")});
    EXPECT_GT(std::chrono::steady_clock::now() - start, 500ms);
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Err, "tonvik: another tonvik is changing the personal list " + Personal.string() +
                           "; waiting for it to finish\n");
    EXPECT_EQ(ListCalls(), (std::set<std::string>{"UA3ABC", "K1AB"}));
    EXPECT_EQ(holder.Wait(10s).Status, 0);
    ::close(held[0]);
    ::close(held[1]);
}

TEST_F(CallsFaults, ASignalEndsAnImportThatWaitsForTheList) {
    ASSERT_EQ(Tonvik({"calls", "import", File("a.txt", "UA3ABC\n")}).Status, 0);
    const std::string before = FileBytes(Personal);
    const int fd = ::open(Personal.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0); // held here, in another open file than the child's
    const std::string more = File("b.txt", "K1AB\n");
    for (const int signal : {SIGINT, SIGTERM}) {
        ChildProcess child([&] {
            ArgumentVector argv({"calls", "import", "--append", more});
            return RunCommandLine(argv.Count(), argv.Values());
        });
        ASSERT_TRUE(child.WaitUntilCatching(signal, 10s));
        std::this_thread::sleep_for(300ms); // waiting for the lock by now
        child.Signal(signal);
        const ChildOutcome run = child.Wait(10s);
        EXPECT_FALSE(run.TimedOut) << "still waiting after signal " << signal;
        EXPECT_EQ(run.Status, 130);
        EXPECT_EQ(FileBytes(Personal), before);
    }
    ::close(fd);
}

TEST_F(CallsFaults, AFileThatCannotBeReachedIsToldWithTheSystemsReason) {
    const fs::path folder = Temp.Folder();
    fs::create_symlink(folder / "loop", folder / "loop");
    fs::create_directories(folder / "closed");
    PutFile(folder / "closed" / "calls.txt", "UA3ABC\n");
    fs::permissions(folder / "closed", fs::perms::owner_all);
    fs::permissions(folder, fs::perms::owner_all | fs::perms::others_exec);
    struct Case {
        const char* Name;
        std::string File;
        std::string Reason;
        bool AsNobody;
    };
    const std::vector<Case> cases = {
        {"a symbolic link loop", (folder / "loop").string(),
         "cannot be read: Too many levels of symbolic links", false},
        {"a name too long", (folder / std::string(300, 'n')).string(),
         "cannot be read: File name too long", false},
        {"a folder that may not be entered", (folder / "closed" / "calls.txt").string(),
         "cannot be read: Permission denied", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        if (c.AsNobody && geteuid() != 0 && ::access((folder / "closed").c_str(), X_OK) == 0)
            continue; // neither root to become another user nor locked out
        const std::vector<std::string> args = {"calls", "import", c.File};
        ChildProcess child([&] {
            if (c.AsNobody && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                return 100;
            ::setenv("XDG_DATA_HOME", (folder / "nobody-data").c_str(), 1);
            const CommandRun run = Tonvik(args);
            std::cout << run.Out;
            std::cerr << run.Err;
            return run.Status;
        });
        const ChildOutcome run = child.Wait(10s);
        EXPECT_EQ(run.Status, 1);
        EXPECT_EQ(run.Err, "tonvik: " + c.File + ": " + c.Reason +
                               "\ntonvik: no callsign could be imported; the personal list is "
                               "unchanged\n");
    }
    fs::permissions(folder, fs::perms::owner_all);
}

TEST_F(CallsFaults, AListSavedAsUtf16IsRead) {
    const std::u16string text = u"UA3ABC\r\nDL1XYZ\r\n";
    struct Case {
        const char* Name;
        std::string Mark;
        bool BigEndian;
    };
    for (const Case& c :
         {Case{"little-endian", "\xFF\xFE", false}, Case{"big-endian", "\xFE\xFF", true}}) {
        SCOPED_TRACE(c.Name);
        std::string bytes = c.Mark;
        for (const char16_t unit : text) {
            const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
            bytes += c.BigEndian ? std::string{high, low} : std::string{low, high};
        }
        const std::string file = File(std::string(c.Name) + ".txt", bytes);
        const CommandRun run = Tonvik({"calls", "import", file});
        EXPECT_EQ(run.Status, 0) << run.Err;
        EXPECT_EQ(run.Err, "");
        EXPECT_EQ(run.Out.rfind(file + ": call list, 2 calls kept, 0 duplicates, 0 refused\n", 0),
                  0u)
            << run.Out;
        EXPECT_EQ(ListCalls(), (std::set<std::string>{"UA3ABC", "DL1XYZ"}));
    }
}

TEST_F(CallsFaults, AFileWithNoCallsIsOneLineAndTheOutcomeAnother) {
    const std::string none = File("none.cbr", "START-OF-LOG: 3.0\nEND-OF-LOG:\n");
    const std::string blank = File("blank.txt", "# nothing here\n\n");
    const CommandRun run = Tonvik({"calls", "import", none, blank});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, "tonvik: " + none + ": no callsigns in it\ntonvik: " + blank +
                           ": no callsigns in it\n"
                           "tonvik: no callsign could be imported; the personal list is "
                           "unchanged\n");
}

} // namespace tonvik
