// tonvik export as a process under faults: a full disk and a file-size limit
// in every format, outputs that are not regular files, an input named as its
// own output, and standard input that never ends.
#include "cli/Cli.h"
#include "keying/Keyer.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/KeyedText.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>

using namespace tonvik;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const std::vector<std::string> AllFormats{"wav", "flac", "ogg", "opus", "mp3"};

std::string Repeat(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Read to the end: a streamed FLAC does not know its length.
std::vector<int16_t> DecodedSamples(const fs::path& path) {
    SF_INFO info{};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    if (f == nullptr)
        return {};
    std::vector<int16_t> samples, chunk(1 << 16);
    while (const sf_count_t n =
               sf_read_short(f, chunk.data(), static_cast<sf_count_t>(chunk.size())))
        samples.insert(samples.end(), chunk.begin(), chunk.begin() + n);
    sf_close(f);
    return samples;
}

std::vector<int16_t> KeyedAt30(const std::string& text) {
    KeyerSettings s;
    s.DotSamples = 9600 / 30;
    s.ToneFreq = 800;
    s.ActivePage = TextPage;
    return KeyedText(text, s);
}

// What a reader of the FIFO gets; nothing if no writer comes within the limit
// (an export that replaced the FIFO instead of writing to it).
std::string ReadFifo(const std::string& path, std::chrono::milliseconds limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    pollfd watched{fd, POLLIN, 0};
    std::string bytes;
    if (fd >= 0 && ::poll(&watched, 1, static_cast<int>(limit.count())) > 0) {
        ::fcntl(fd, F_SETFL, 0);
        char buffer[65536];
        for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
            bytes.append(buffer, static_cast<size_t>(n));
    }
    if (fd >= 0)
        ::close(fd);
    return bytes;
}

// Runs "tonvik ARGS" as a child process, its files limited to limitBytes when
// that is not 0.
ChildOutcome Tonvik(std::vector<std::string> args, rlim_t limitBytes = 0, int stdinFd = -1,
                    int stdoutFd = -1) {
    ChildProcess child(
        [&] {
            if (limitBytes != 0) {
                const rlimit limit{limitBytes, limitBytes};
                ::setrlimit(RLIMIT_FSIZE, &limit);
            }
            ArgumentVector argv(args);
            return RunCommandLine(argv.Count(), argv.Values());
        },
        stdinFd, stdoutFd);
    return child.Wait(60s);
}

class ExportFaultTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (Mounted)
            ::umount(Dir.c_str());
    }
    std::string Path(const std::string& name) const { return Temp.Path(name); }
    std::vector<std::string> Files() const { return Temp.Names(); }
    TempFolder Temp{"tonvik-faults"};
    const fs::path& Dir = Temp.Folder();
    bool Mounted = false;
};

} // namespace

TEST_F(ExportFaultTest, FileSizeLimitFailsEveryFormatNamingTheFileAndReason) {
    const std::string text = Repeat("PARIS ", 300); // ten minutes
    for (const std::string& format : AllFormats) {
        const std::string out = Path("x." + format);
        const ChildOutcome r = Tonvik({"export", "--text", text, "-o", out}, 8192);
        ASSERT_TRUE(r.Exited) << format;
        EXPECT_EQ(r.Status, 1) << format;
        EXPECT_EQ(r.Err, "tonvik: cannot write " + out + ": File too large\n") << format;
        EXPECT_EQ(Files(), std::vector<std::string>{}) << format;
    }
    // The same for a part of a split export.
    const ChildOutcome r =
        Tonvik({"export", "--text", text, "--split-minutes", "1", "-o", Path("book.mp3")}, 8192);
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "tonvik: cannot write " + Path("book-001.mp3") + ": File too large\n");
    EXPECT_EQ(Files(), std::vector<std::string>{});
}

TEST_F(ExportFaultTest, FullDiskFailsEveryFormatAndRemovesFinishedParts) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting the small tmpfs that fills up needs root";
    if (::mount("tmpfs", Dir.c_str(), "tmpfs", 0, "size=2m") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    Mounted = true;
    // A file that is not ours leaves 512 KB free, and must stay as it is.
    const std::string filler(1536 * 1024, 'f');
    std::ofstream(Path("filler"), std::ios::binary) << filler;
    const std::string text = Repeat("PARIS ", 700);
    for (const std::string& format : AllFormats) {
        const std::string out = Path("x." + format);
        const ChildOutcome r = Tonvik({"export", "--text", text, "-o", out});
        EXPECT_EQ(r.Status, 1) << format;
        EXPECT_EQ(r.Err, "tonvik: cannot write " + out + ": No space left on device\n") << format;
        EXPECT_EQ(Files(), std::vector<std::string>{"filler"}) << format;
    }
    // Parts of a minute (170 KB of MP3): the first ones fit, a later one does
    // not, and then none is left.
    const ChildOutcome r =
        Tonvik({"export", "--text", text, "--split-minutes", "1", "-o", Path("book.mp3")});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find(": No space left on device"), std::string::npos) << r.Err;
    EXPECT_EQ(r.Err.find("book-001.mp3"), std::string::npos) << "the first part fits: " << r.Err;
    EXPECT_EQ(Files(), std::vector<std::string>{"filler"});
    EXPECT_EQ(Slurp(Path("filler")), filler);
}

TEST_F(ExportFaultTest, FifoIsStreamedToAndStaysAFifo) {
    for (const std::string format : {"wav", "flac"}) {
        const std::string fifo = Path("pipe." + format);
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        std::string received;
        std::thread reader([&] { received = ReadFifo(fifo, 30s); });
        const ChildOutcome r = Tonvik({"export", "--text", "CQ DE UA3ABC", "-o", fifo});
        reader.join();
        EXPECT_EQ(r.Status, 0) << r.Err;
        struct stat status {};
        ASSERT_EQ(::lstat(fifo.c_str(), &status), 0);
        EXPECT_TRUE(S_ISFIFO(status.st_mode)) << format;
        std::ofstream(Path("got." + format), std::ios::binary) << received;
        EXPECT_EQ(DecodedSamples(Path("got." + format)), KeyedAt30("CQ DE UA3ABC")) << format;
        fs::remove(fifo);
        fs::remove(Path("got." + format));
    }
    EXPECT_EQ(Files(), std::vector<std::string>{});
}

TEST_F(ExportFaultTest, CharacterDeviceIsWrittenToNotReplaced) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "making a device node needs root";
    const std::string device = Path("null");
    ASSERT_EQ(::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    const ChildOutcome r = Tonvik({"export", "--text", "CQ", "--format", "wav", "-o", device});
    EXPECT_EQ(r.Status, 0) << r.Err;
    struct stat status {};
    ASSERT_EQ(::lstat(device.c_str(), &status), 0);
    EXPECT_TRUE(S_ISCHR(status.st_mode));
    EXPECT_EQ(Files(), std::vector<std::string>{"null"});
}

TEST_F(ExportFaultTest, StandardOutputGetsAWavWhoseHeaderHoldsItsLength) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    std::string received;
    std::thread reader([&] {
        char buffer[65536];
        for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
            received.append(buffer, static_cast<size_t>(n));
    });
    const ChildOutcome r = Tonvik({"export", "--text", "PARIS PARIS", "-o", "-"}, 0, -1, fds[1]);
    ::close(fds[1]);
    reader.join();
    ::close(fds[0]);
    EXPECT_EQ(r.Status, 0) << r.Err;
    const std::vector<int16_t> expected = KeyedAt30("PARIS PARIS");
    ASSERT_EQ(received.size(), 44 + 2 * expected.size());
    // A reader of the stream learns the length before the samples.
    uint32_t dataBytes = 0;
    std::memcpy(&dataBytes, received.data() + 40, 4);
    EXPECT_EQ(received.substr(36, 4), "data");
    EXPECT_EQ(dataBytes, 2 * expected.size());
    std::ofstream(Path("got.wav"), std::ios::binary) << received;
    EXPECT_EQ(DecodedSamples(Path("got.wav")), expected);
}

TEST_F(ExportFaultTest, StandardOutputOnATerminalIsRefused) {
    const ChildOutcome r = RunOnTerminal(
        [] {
            ArgumentVector argv({"export", "--text", "CQ", "-o", "-"});
            return RunCommandLine(argv.Count(), argv.Values());
        },
        60s);
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Out.find("standard output is a terminal"), std::string::npos) << r.Out;
    EXPECT_EQ(r.Out.find("RIFF"), std::string::npos);
}

TEST_F(ExportFaultTest, SymbolicLinkIsFollowedAndKept) {
    std::ofstream(Path("real.wav")) << "old";
    fs::create_symlink("real.wav", Path("link.wav"));
    const ChildOutcome r = Tonvik({"export", "--text", "CQ", "-o", Path("link.wav")});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_TRUE(fs::is_symlink(Path("link.wav")));
    EXPECT_EQ(fs::read_symlink(Path("link.wav")), "real.wav");
    EXPECT_EQ(DecodedSamples(Path("real.wav")), KeyedAt30("CQ"));
    EXPECT_EQ(Files(), (std::vector<std::string>{"link.wav", "real.wav"}));
}

TEST_F(ExportFaultTest, LinkToNothingAndFolderAreRefusedUntouched) {
    fs::create_symlink("nowhere.wav", Path("dangling.wav"));
    ChildOutcome r = Tonvik({"export", "--text", "CQ", "-o", Path("dangling.wav")});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "tonvik: " + Path("dangling.wav") +
                         " is a symbolic link that leads to no file; give the file itself\n");
    EXPECT_EQ(fs::read_symlink(Path("dangling.wav")), "nowhere.wav");
    fs::create_directory(Path("folder.wav"));
    r = Tonvik({"export", "--text", "CQ", "-o", Path("folder.wav")});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "tonvik: cannot write " + Path("folder.wav") + ": it is a folder\n");
    EXPECT_EQ(Files(), (std::vector<std::string>{"dangling.wav", "folder.wav"}));
}

TEST_F(ExportFaultTest, AFileThatHoldsTheTemporaryNameIsLeftAlone) {
    std::ofstream(Path("x.wav.part")) << "a file of the user's";
    const ChildOutcome r = Tonvik({"export", "--text", "CQ", "-o", Path("x.wav")});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(Slurp(Path("x.wav.part")), "a file of the user's");
    EXPECT_EQ(DecodedSamples(Path("x.wav")), KeyedAt30("CQ"));
}

TEST_F(ExportFaultTest, TheInputIsNeverItsOwnOutput) {
    const std::string text = "CQ CQ DE UA3ABC\n";
    std::ofstream(Path("in.txt")) << text;
    fs::create_hard_link(Path("in.txt"), Path("hard.txt"));
    fs::create_symlink("in.txt", Path("soft.txt"));
    for (const std::string out : {"in.txt", "hard.txt", "soft.txt"}) {
        const ChildOutcome r =
            Tonvik({"export", Path("in.txt"), "--format", "wav", "-o", Path(out)});
        EXPECT_EQ(r.Status, 2) << out;
        EXPECT_EQ(r.Err, "tonvik: the output " + Path(out) +
                             " is the input file itself; nothing was written\n");
    }
    // The same file as standard input.
    const int input = ::open(Path("in.txt").c_str(), O_RDONLY);
    const ChildOutcome r = Tonvik({"export", "--format", "wav", "-o", Path("hard.txt")}, 0, input);
    ::close(input);
    EXPECT_EQ(r.Status, 2) << r.Err;
    EXPECT_EQ(Slurp(Path("in.txt")), text);
    EXPECT_EQ(Files(), (std::vector<std::string>{"hard.txt", "in.txt", "soft.txt"}));
}

TEST_F(ExportFaultTest, SplittingStandardOutputIsRefused) {
    const ChildOutcome r = Tonvik({"export", "--text", "CQ", "--split-minutes", "1", "-o", "-"});
    EXPECT_EQ(r.Status, 2);
    EXPECT_EQ(r.Err, "tonvik: --split-minutes writes files; it cannot cut standard output\n");
}

// A text file that cannot be read is named in English with the system's
// reason, as every other line of the command line is.
TEST_F(ExportFaultTest, AnUnreadableTextFileIsNamedWithTheSystemsReason) {
    ASSERT_EQ(::mkfifo(Path("pipe.txt").c_str(), 0600), 0);
    fs::create_directories(Path("folder.txt"));
    struct Case {
        std::string File;
        const char* Reason;
    };
    for (const Case& c : {Case{Path("nosuch.txt"), "No such file or directory"},
                          Case{Path("folder.txt"), "Is a directory"},
                          Case{Path("pipe.txt"), "Not a regular file"}}) {
        const ChildOutcome run = Tonvik({"export", c.File, "-o", Path("out.wav")});
        EXPECT_EQ(run.Status, 1) << c.File;
        EXPECT_EQ(run.Err, "tonvik: cannot read " + c.File + ": " + c.Reason + "\n");
        EXPECT_FALSE(fs::exists(Path("out.wav")));
    }
}

// A reader of standard output that went away (| head -c 100) ends the export
// quietly with 128 + SIGPIPE, as tonvik journal and coreutils do.
TEST_F(ExportFaultTest, AClosedPipeOnStandardOutputEndsQuietly) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"export", "--text", "CQ CQ DE UA3ABC", "-o", "-"},
          std::vector<std::string>{"radiogram", "--groups", "100"}}) {
        int output[2];
        ASSERT_EQ(::pipe(output), 0);
        ::close(output[0]);
        const ChildOutcome run = Tonvik(args, 0, -1, output[1]);
        ::close(output[1]);
        EXPECT_EQ(run.Status, 141) << args[0] << ": " << run.Err;
        EXPECT_EQ(run.Err, "") << args[0];
    }
}
