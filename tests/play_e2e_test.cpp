// tonvik play through the real pump and SDL's disk driver, compared sample for
// sample with tonvik export of the same text.
#include "cli/Cli.h"
#include "tests/support/RecordingCompare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace tonvik;
namespace fs = std::filesystem;

namespace {

class PlayTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("tonvik-play-" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    int Run(const std::vector<std::string>& args) {
        std::istringstream in;
        std::ostringstream out;
        err.str("");
        return RunCommandLine(args, in, out, err);
    }

    // Plays the options through the disk driver and exports the same; the
    // capture after its leading silence must be the export, then silence only.
    void ExpectPlayEqualsExport(std::vector<std::string> options) {
        const fs::path capture = dir / "cap.raw";
        ::setenv("SDL_AUDIODRIVER", "disk", 1);
        ::setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);
        std::vector<std::string> play{"play"};
        play.insert(play.end(), options.begin(), options.end());
        ASSERT_EQ(Run(play), 0) << err.str();
        std::vector<std::string> exp{"export", "-o", (dir / "x.wav").string()};
        exp.insert(exp.end(), options.begin(), options.end());
        ASSERT_EQ(Run(exp), 0) << err.str();

        const auto played = ReadRawSamples(capture);
        const auto exported = ReadSoundFile(dir / "x.wav");
        const auto firstSound = [](const std::vector<int16_t>& s) {
            return static_cast<size_t>(
                std::find_if(s.begin(), s.end(), [](int16_t v) { return v != 0; }) - s.begin());
        };
        const size_t lead = firstSound(played) - firstSound(exported);
        ASSERT_GE(played.size(), lead + exported.size());
        EXPECT_TRUE(std::equal(exported.begin(), exported.end(), played.begin() + lead))
            << "played audio differs from the export";
        EXPECT_TRUE(std::all_of(played.begin() + static_cast<long>(lead + exported.size()),
                                played.end(), [](int16_t v) { return v == 0; }))
            << "sound after the end of the text";
    }

    fs::path dir;
    std::ostringstream err;
};

} // namespace

TEST_F(PlayTest, MixedTextAt100WpmIsPlayedExactlyAsExported) {
    std::string text;
    const char* words[] = {"CQ", "DE", "UA3ABC", "ПРИВЕТ", "599", "МИР", "K", "ЭХО", "73", "?/"};
    for (int i = 0; text.size() < 300; ++i)
        text += std::string(words[i % 10]) + " ";
    ExpectPlayEqualsExport({"--text", text, "--wpm", "100"});
}

TEST_F(PlayTest, LongLetterGapAt10WpmSpansBuffersWithoutLoss) {
    ExpectPlayEqualsExport({"--text", "EE", "--wpm", "10", "--letter-gap", "72"});
}

TEST_F(PlayTest, FarnsworthGapsArePlayedExactlyAsExported) {
    ExpectPlayEqualsExport({"--text", "KM UR E", "--wpm", "40", "--farnsworth", "12"});
}

TEST_F(PlayTest, NoSoundDeviceGivesTheWarningAndExit1) {
    ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_EQ(Run({"play", "--text", "CQ"}), 1);
    EXPECT_EQ(err.str(), "Error opening waveform audio!\nno device driver present\n");
}
