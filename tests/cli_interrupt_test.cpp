// Ctrl-C and SIGTERM end a command at once in every phase, and standard input
// has the same limit as a file.
#include "cli/Cli.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace tonvik;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// The child's state letter from /proc/PID/stat: 'S' once it sleeps in a wait.
char ProcessState(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const auto close = line.rfind(')');
    return close == std::string::npos || close + 2 >= line.size() ? '?' : line[close + 2];
}

bool WaitUntilSleeping(pid_t pid, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (ProcessState(pid) == 'S')
            return true;
        std::this_thread::sleep_for(5ms);
    }
    return false;
}

class InterruptTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::signal(SIGPIPE, SIG_IGN); // a writer to a child that went away
    }
    std::string Path(const std::string& name) const { return Temp.Path(name); }
    bool Empty() const { return Temp.Names().empty(); }

    // Starts "tonvik ARGS" reading the pipe's read end; the write end stays
    // open here, so its standard input never ends.
    std::unique_ptr<ChildProcess> StartOnOpenPipe(std::vector<std::string> args) {
        if (::pipe(Input) != 0)
            return nullptr;
        auto child = std::make_unique<ChildProcess>(
            [args] {
                ArgumentVector argv(args);
                return RunCommandLine(argv.Count(), argv.Values());
            },
            Input[0]);
        ::close(Input[0]);
        return child;
    }
    TempFolder Temp{"tonvik-interrupt"};
    int Input[2] = {-1, -1};
};

} // namespace

TEST_F(InterruptTest, StandardInputThatNeverEndsYieldsToEitherSignal) {
    for (const int signal : {SIGINT, SIGTERM}) {
        auto child = StartOnOpenPipe({"export", "-o", Path("z.wav")});
        ASSERT_TRUE(child);
        ASSERT_TRUE(child->WaitUntilCatching(signal, 10s));
        // Some text has come, more may come: it waits.
        ASSERT_EQ(::write(Input[1], "CQ CQ ", 6), 6);
        ASSERT_TRUE(WaitUntilSleeping(child->Pid(), 10s));
        child->Signal(signal);
        const ChildOutcome r = child->Wait(10s);
        ::close(Input[1]);
        EXPECT_FALSE(r.TimedOut) << "still reading after signal " << signal;
        EXPECT_TRUE(r.Exited);
        EXPECT_EQ(r.Status, 130);
        EXPECT_EQ(r.Err, "tonvik: interrupted\n");
        EXPECT_TRUE(Empty());
    }
}

TEST_F(InterruptTest, PlayWaitingForStandardInputIsInterruptedToo) {
    auto child = StartOnOpenPipe({"play"});
    ASSERT_TRUE(child);
    ASSERT_TRUE(child->WaitUntilCatching(SIGINT, 10s));
    ASSERT_TRUE(WaitUntilSleeping(child->Pid(), 10s));
    child->Signal(SIGINT);
    const ChildOutcome r = child->Wait(10s);
    ::close(Input[1]);
    EXPECT_TRUE(r.Exited);
    EXPECT_EQ(r.Status, 130);
}

TEST_F(InterruptTest, StandardInputOverTheLimitIsRefusedWithoutReadingOn) {
    auto child = StartOnOpenPipe({"export", "-o", Path("z.wav")});
    ASSERT_TRUE(child);
    // Like /dev/zero: the writer never stops by itself.
    std::thread writer([fd = Input[1]] {
        const std::string block(1 << 16, '\0');
        while (::write(fd, block.data(), block.size()) > 0) {
        }
    });
    const ChildOutcome r = child->Wait(60s);
    ::close(Input[1]);
    writer.join();
    EXPECT_TRUE(r.Exited);
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "tonvik: standard input holds more than 50 MB of text; nothing was read\n");
    EXPECT_TRUE(Empty());
}

TEST_F(InterruptTest, FifoWithoutAReaderYieldsToCtrlC) {
    const std::string fifo = Path("out.wav");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ChildProcess child([fifo] {
        ArgumentVector argv({"export", "--text", "CQ", "-o", fifo});
        return RunCommandLine(argv.Count(), argv.Values());
    });
    ASSERT_TRUE(child.WaitUntilCatching(SIGINT, 10s));
    ASSERT_TRUE(WaitUntilSleeping(child.Pid(), 10s)); // in open, waiting for a reader
    child.Signal(SIGINT);
    const ChildOutcome r = child.Wait(10s);
    EXPECT_TRUE(r.Exited);
    EXPECT_EQ(r.Status, 130);
    struct stat status {};
    ASSERT_EQ(::lstat(fifo.c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
}

TEST_F(InterruptTest, ExportWritingIntoAStalledPipeYieldsToCtrlC) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    // Nobody reads the pipe: once it is full the export waits in write.
    ChildProcess child(
        [] {
            ArgumentVector argv({"export", "--text", std::string(2000, 'E'), "-o", "-"});
            return RunCommandLine(argv.Count(), argv.Values());
        },
        -1, fds[1]);
    ::close(fds[1]);
    ASSERT_TRUE(child.WaitUntilCatching(SIGINT, 10s));
    ASSERT_TRUE(WaitUntilSleeping(child.Pid(), 10s));
    child.Signal(SIGINT);
    const ChildOutcome r = child.Wait(10s);
    ::close(fds[0]);
    EXPECT_TRUE(r.Exited);
    EXPECT_EQ(r.Status, 130);
    EXPECT_EQ(r.Err, "tonvik: interrupted; no file was left\n");
}

TEST_F(InterruptTest, PlayingYieldsToEitherSignal) {
    for (const int signal : {SIGINT, SIGTERM}) {
        // A minute of text on SDL's silent driver, which plays in real time.
        ChildProcess child([] {
            ::setenv("SDL_AUDIODRIVER", "dummy", 1);
            ArgumentVector argv({"play", "--text", std::string(200, 'T')});
            return RunCommandLine(argv.Count(), argv.Values());
        });
        ASSERT_TRUE(child.WaitUntilCatching(signal, 10s));
        ASSERT_TRUE(WaitUntilSleeping(child.Pid(), 10s)); // in the event loop
        child.Signal(signal);
        const ChildOutcome r = child.Wait(10s);
        EXPECT_FALSE(r.TimedOut) << "still playing after signal " << signal;
        EXPECT_TRUE(r.Exited) << r.Err;
        EXPECT_EQ(r.Status, 130) << r.Err;
    }
}
