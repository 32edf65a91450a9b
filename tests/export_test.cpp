#include "cli/AudioExport.h"
#include "cli/Cli.h"
#include "cli/PlayTextRenderer.h"
#include "keying/Keyer.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/KeyedText.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tonvik;
namespace fs = std::filesystem;

namespace {

KeyerSettings TextAt(int wpm) {
    KeyerSettings s;
    s.DotSamples = 9600 / wpm;
    s.ToneFreq = 800;
    s.ActivePage = TextPage;
    return s;
}

std::vector<int16_t> Keyed(const std::string& playText, const KeyerSettings& s, int volume = 5) {
    return KeyedText(playText, s, volume);
}

struct Decoded {
    SF_INFO Info{};
    std::vector<int16_t> Samples;
};

Decoded Decode(const std::string& path) {
    Decoded d;
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &d.Info);
    if (f == nullptr)
        return d;
    d.Samples.resize(static_cast<size_t>(d.Info.frames));
    d.Samples.resize(static_cast<size_t>(sf_read_short(f, d.Samples.data(), d.Info.frames)));
    sf_close(f);
    return d;
}

class ExportTest : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return Temp.Path(name); }
    std::vector<std::string> Files() const { return Temp.Names(); }
    int Run(std::vector<std::string> args, const std::string& input = "") {
        std::istringstream in(input);
        out.str("");
        err.str("");
        return RunCommandLine(args, in, out, err);
    }
    TempFolder Temp{"tonvik-export"};
    std::ostringstream out, err;
};

} // namespace

TEST_F(ExportTest, WavAndFlacHoldExactlyTheKeyersSamples) {
    const std::string text = "PARIS PARIS";
    for (auto [name, format] :
         {std::pair{"x.wav", AudioFormat::Wav}, std::pair{"x.flac", AudioFormat::Flac}}) {
        ExportJob job;
        job.PlayText = text;
        job.Settings = TextAt(20);
        job.OutputPath = Path(name);
        job.Format = format;
        const ExportResult r = ExportAudio(job);
        ASSERT_TRUE(r.Ok) << r.Error;
        const Decoded d = Decode(job.OutputPath);
        EXPECT_EQ(d.Info.samplerate, 8000);
        EXPECT_EQ(d.Info.channels, 1);
        EXPECT_EQ(d.Samples, Keyed(text, TextAt(20))) << name;
    }
}

TEST_F(ExportTest, CommandLineExportEqualsDirectKeying) {
    ASSERT_EQ(Run({"export", "--text", "PARIS PARIS", "--wpm", "20", "-o", Path("x.wav")}), 0)
        << err.str();
    const Decoded d = Decode(Path("x.wav"));
    EXPECT_EQ(d.Info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_EQ(d.Samples, Keyed("PARIS PARIS", TextAt(20)));
    // Callsign spacing, lower case upper-cased, line breaks dropped, loudest volume.
    ASSERT_EQ(Run({"export", "--mode", "callsign", "--volume", "8", "-o", Path("c.wav")},
                  "ua3abc\r\nrk9x "),
              0);
    KeyerSettings call = TextAt(30);
    call.ActivePage = CallsignPage;
    EXPECT_EQ(Decode(Path("c.wav")).Samples, Keyed("UA3ABCRK9X ", call, 8));
    // An empty text keys one space.
    ASSERT_EQ(Run({"export", "-o", Path("e.wav")}, ""), 0);
    EXPECT_EQ(Decode(Path("e.wav")).Samples, Keyed(" ", TextAt(30)));
}

TEST_F(ExportTest, RussianUtf8TextIsKeyedAsCp1251) {
    ASSERT_EQ(Run({"export", "--text", "ПРИВЕТ мир", "-o", Path("r.wav")}), 0) << err.str();
    EXPECT_EQ(Decode(Path("r.wav")).Samples,
              Keyed("\xCF\xD0\xC8\xC2\xC5\xD2 \xEC\xE8\xF0", TextAt(30)));
}

TEST_F(ExportTest, Utf16WithoutMarkFromStandardInput) {
    // ПРИ in UTF-16 BE, as --encoding utf-16 and as detected.
    const std::string be("\x04\x1F\x04\x20\x04\x18", 6);
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"export", "--encoding", "utf-16", "-o", Path("u.wav")},
             {"export", "-o", Path("u.wav")}}) {
        ASSERT_EQ(Run(args, be), 0) << err.str();
        EXPECT_EQ(Decode(Path("u.wav")).Samples, Keyed("\xCF\xD0\xC8", TextAt(30)));
    }
}

TEST_F(ExportTest, BadOptionsWriteNothingAndExitWith2) {
    EXPECT_EQ(Run({"export", "--wpm", "5", "--text", "CQ", "-o", Path("x.wav")}), 2);
    EXPECT_EQ(err.str(), "tonvik: --wpm takes a whole number from 10 to 100, not '5'\n");
    EXPECT_EQ(Run({"export", "--text", "CQ", "-o", Path("x.xyz")}), 2);
    EXPECT_NE(err.str().find("unknown audio format"), std::string::npos);
    EXPECT_TRUE(Files().empty());
}

TEST_F(ExportTest, UnreadableInputAndUnwritableOutputExitWith1) {
    EXPECT_EQ(Run({"export", Path("missing.txt"), "-o", Path("x.wav")}), 1);
    EXPECT_NE(err.str().find("missing.txt"), std::string::npos) << err.str();
    EXPECT_EQ(Run({"export", "--text", "CQ", "-o", Path("no/such/dir/x.wav")}), 1);
    EXPECT_NE(err.str().find("no/such/dir/x.wav"), std::string::npos) << err.str();
    EXPECT_TRUE(Files().empty());
}

TEST_F(ExportTest, SplitPartsConcatenateToTheWholeAndStartAfterWordGaps) {
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "CQ DE UA3ABC ";
    ExportJob job;
    job.PlayText = text;
    job.Settings = TextAt(40);
    job.OutputPath = Path("book.wav");
    job.SplitSamples = 60 * 8000;
    const ExportResult r = ExportAudio(job);
    ASSERT_TRUE(r.Ok) << r.Error;
    ASSERT_GE(r.Files.size(), 2u);
    EXPECT_EQ(r.Files[0], Path("book-001.wav"));
    // Sample offsets at which a character after a word gap begins.
    std::set<size_t> wordStarts;
    {
        Keyer k;
        std::vector<int16_t> buffer(1 << 20);
        size_t at = 0;
        for (unsigned char ch : text) {
            at += static_cast<size_t>(k.KeyChar(buffer.data(), ch, job.Settings) / 2);
            if (ch == ' ')
                wordStarts.insert(at);
        }
    }
    std::vector<int16_t> joined;
    for (size_t i = 0; i < r.Files.size(); ++i) {
        const auto part = Decode(r.Files[i]).Samples;
        joined.insert(joined.end(), part.begin(), part.end());
        if (i + 1 < r.Files.size()) {
            EXPECT_TRUE(wordStarts.count(joined.size())) << "part " << i + 1;
            EXPECT_GE(part.size(), 60u * 8000);
        }
    }
    EXPECT_EQ(joined, Keyed(text, job.Settings));
}

TEST_F(ExportTest, PartNamesPast999GetMoreDigitsAndSortInOrder) {
    // Words of about 800 samples, parts of at least 500: one word a part, and
    // fewer than 10000 parts, so four digits for all of them.
    std::string words;
    for (int i = 0; i < 1001; ++i)
        words += "E ";
    ExportJob job;
    job.PlayText = words;
    job.Settings = TextAt(100);
    job.OutputPath = Path("drill.wav");
    job.SplitSamples = 500;
    const ExportResult r = ExportAudio(job);
    ASSERT_TRUE(r.Ok) << r.Error;
    ASSERT_EQ(r.Files.size(), 1001u);
    EXPECT_EQ(r.Files[0], Path("drill-0001.wav"));
    EXPECT_EQ(r.Files[999], Path("drill-1000.wav"));
    EXPECT_EQ(r.Files[1000], Path("drill-1001.wav"));
    std::vector<std::string> sorted = Files();
    std::vector<std::string> written;
    for (const auto& file : r.Files)
        written.push_back(fs::path(file).filename().string());
    EXPECT_EQ(sorted, written); // a file manager's order is the order of the parts
    std::vector<int16_t> joined;
    for (const auto& file : r.Files) {
        const auto part = Decode(file).Samples;
        joined.insert(joined.end(), part.begin(), part.end());
    }
    EXPECT_EQ(joined, Keyed(words, job.Settings));
    EXPECT_EQ(PartPath("a/b.c/book", 7, 3), "a/b.c/book-007");
    EXPECT_EQ(PartPath("book.mp3", 12345, 3), "book-12345.mp3");
}

TEST_F(ExportTest, LargeWavSwitchesToRf64) {
    ExportJob job;
    job.PlayText = "TEST TEST";
    job.Settings = TextAt(30);
    job.OutputPath = Path("big.wav");
    job.Rf64ThresholdBytes = 1000; // stands in for 4 GiB
    const ExportResult r = ExportAudio(job);
    ASSERT_TRUE(r.Ok) << r.Error;
    EXPECT_TRUE(r.UsedRf64);
    const Decoded d = Decode(job.OutputPath);
    EXPECT_EQ(d.Info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_RF64);
    EXPECT_EQ(d.Samples, Keyed(job.PlayText, job.Settings));
}

TEST_F(ExportTest, CompressedFormatsOpenWithTheRightDuration) {
    const std::string text = "CQ CQ DE UA3ABC UA3ABC K";
    const auto expected = static_cast<sf_count_t>(Keyed(text, TextAt(25)).size());
    for (auto [name, major] :
         {std::pair{"x.mp3", SF_FORMAT_MPEG}, std::pair{"x.ogg", SF_FORMAT_OGG},
          std::pair{"x.opus", SF_FORMAT_OGG}}) {
        ASSERT_EQ(Run({"export", "--text", text, "--wpm", "25", "-o", Path(name)}), 0)
            << name << ": " << err.str();
        const Decoded d = Decode(Path(name));
        EXPECT_EQ(d.Info.format & SF_FORMAT_TYPEMASK, major) << name;
        EXPECT_NEAR(static_cast<double>(d.Samples.size()), static_cast<double>(expected),
                    576) // one MP3 frame at 8 kHz
            << name;
    }
}

TEST_F(ExportTest, InterruptedExportLeavesNoFile) {
    std::atomic<bool> stop{true};
    ExportJob job;
    job.PlayText = "CQ CQ CQ";
    job.Settings = TextAt(30);
    job.OutputPath = Path("x.wav");
    job.Interrupted = &stop;
    const ExportResult r = ExportAudio(job);
    EXPECT_FALSE(r.Ok);
    EXPECT_TRUE(r.WasInterrupted);
    EXPECT_TRUE(Files().empty());
}

TEST_F(ExportTest, FullDiskFailsCleanly) {
    const std::string target = Path("x.wav");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{64 * 1024, 64 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ExportJob job;
        job.PlayText = std::string(400, 'E');
        job.Settings = TextAt(10);
        job.OutputPath = target;
        const ExportResult r = ExportAudio(job);
        ::_exit(!r.Ok && !r.Error.empty() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(Files().empty());
}

TEST(PlayTextRenderer, TotalMatchesRenderingAndPartsNeverSplitAWord) {
    KeyerSettings s = TextAt(10);
    s.LetterGap = 72;
    s.WordGap = 108;
    const std::string text = "E  T ?";
    PlayTextRenderer r(text, s, 5);
    std::vector<int16_t> all, chunk(5000);
    while (const int64_t n = r.Next(chunk.data(), 5000))
        all.insert(all.end(), chunk.begin(), chunk.begin() + n);
    EXPECT_TRUE(r.Finished());
    EXPECT_EQ(static_cast<int64_t>(all.size()), PlayTextRenderer::TotalSamples(text, s));
    EXPECT_EQ(all, Keyed(text, s));
}

namespace {

// Runs "tonvik export" in a child whose standard error is a terminal (or a
// pipe) and returns what it wrote there.
std::string StandardErrorOfExport(const std::string& out, bool terminal, bool quiet) {
    const auto body = [&] {
        std::vector<std::string> args{"export", "--text", std::string(20000, 'E'), "-o", out};
        if (quiet)
            args.push_back("--quiet");
        ArgumentVector argv(args);
        return RunCommandLine(argv.Count(), argv.Values());
    };
    if (terminal)
        return RunOnTerminal(body, std::chrono::seconds(60)).Out;
    ChildProcess child(body);
    return child.Wait(std::chrono::seconds(60)).Err;
}

} // namespace

TEST_F(ExportTest, ProgressLineOnlyOnATerminal) {
    const std::string onTerminal = StandardErrorOfExport(Path("a.wav"), true, false);
    EXPECT_NE(onTerminal.find("% of the text"), std::string::npos) << onTerminal;
    EXPECT_NE(onTerminal.find("min of audio"), std::string::npos);
    EXPECT_NE(onTerminal.find('\r'), std::string::npos); // rewritten in place
    EXPECT_EQ(StandardErrorOfExport(Path("b.wav"), false, false), "");
    EXPECT_EQ(StandardErrorOfExport(Path("c.wav"), true, true), "");
}
