// tonvik play through a real PulseAudio server, as a process that may not
// raise its threads' priority: a minute at 100 wpm recorded from the sink's
// monitor must be the export sample for sample, and a server that goes away
// mid-play must end the player with one line and exit status 1.
//
// Runs where TONVIK_TEST_PULSE names the runtime folder of a server started
// by scripts/pulse_server.sh (as .ci/run does); skipped elsewhere.
#include "tests/support/PulseTestServer.h"
#include "tests/support/RecordingCompare.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

using namespace tonvik;
namespace fs = std::filesystem;

namespace {

QString Program() {
    return QString::fromUtf8(TONVIK_PROGRAM);
}

// Ten words of mixed lengths, repeated into about `seconds` at 100 wpm.
std::string TextOfSeconds(int seconds) {
    const char* words[] = {"CQ", "DE", "UA3ABC", "ПРИВЕТ", "599", "МИР", "E", "ЭХО", "73", "TEST"};
    std::string text;
    for (int n = 0; text.size() < static_cast<size_t>(seconds) * 12; ++n)
        text += std::string(words[n % 10]) + " ";
    return text;
}

class SoundServerTest : public SharedServerTest {
protected:
    SoundServerTest() : SharedServerTest("tonvik-server-") {}

    // The player as a process that cannot raise its priority (SDL would make
    // its audio thread real-time when run as root).
    static void StartPlayer(QProcess& player, const QStringList& arguments) {
        if (::geteuid() == 0 && fs::exists("/usr/bin/setpriv"))
            player.start("/usr/bin/setpriv", QStringList{"--inh-caps=-sys_nice",
                                                         "--bounding-set=-sys_nice", Program()} +
                                                 arguments);
        else
            player.start(Program(), arguments);
    }
};

TEST_F(SoundServerTest, AMinuteAt100WpmIsRecordedExactlyAsExported) {
    const fs::path textFile = Dir / "text.txt";
    std::ofstream(textFile) << TextOfSeconds(60);
    const fs::path wav = Dir / "text.wav";
    const fs::path raw = Dir / "recording.raw";

    QProcess exporter;
    exporter.start(Program(), {"export", "-q", "--wpm", "100", QString::fromStdString(textFile),
                               "-o", QString::fromStdString(wav)});
    ASSERT_TRUE(exporter.waitForFinished(60000));
    const std::vector<int16_t> expected = ReadSoundFile(wav);
    ASSERT_GT(expected.size(), 55u * 8000) << "the text is shorter than a minute";

    QProcess recorder;
    ASSERT_NO_FATAL_FAILURE(StartRecorder(recorder, Runtime, raw));

    QProcess player;
    player.setProcessEnvironment(ServerEnvironment(Runtime));
    StartPlayer(player, {"play", "--wpm", "100", "--stats", QString::fromStdString(textFile)});
    ASSERT_TRUE(player.waitForFinished(180000));
    const std::string err = player.readAllStandardError().toStdString();
    EXPECT_EQ(player.exitCode(), 0) << err;
    ::usleep(500000); // the recorder's own buffer
    recorder.terminate();
    recorder.waitForFinished(5000);

    const RecordingDiff diff = CompareRecording(ReadRawSamples(raw), expected);
    EXPECT_TRUE(diff.Exact()) << diff.Summary();
    EXPECT_EQ(diff.InsertedSamples, 0u) << diff.Summary();
    EXPECT_EQ(diff.LostSamples, 0u) << diff.Summary();
    EXPECT_EQ(err, "sound ran out while keying: 0 times\n");
}

// A server of this test's own, which it stops while the player keys.
class LostServerTest : public SoundServerTest {
protected:
    void SetUp() override {
        SoundServerTest::SetUp();
        if (IsSkipped())
            return;
        Private = std::make_unique<PrivatePulseServer>(Dir / "server");
        ASSERT_TRUE(Private->Start()) << "cannot start a private server";
    }
    void TearDown() override {
        Private.reset();
        SoundServerTest::TearDown();
    }

    // Plays a long text, stops the server a second in; the player must end.
    void ExpectPlayerReportsTheLoss(bool throughSdl) {
        QProcess player;
        QProcessEnvironment env = ServerEnvironment(Private->Folder());
        if (throughSdl)
            env.insert("SDL_AUDIODRIVER", "pulseaudio");
        player.setProcessEnvironment(env);
        StartPlayer(player,
                    {"play", "--wpm", "30", "--text", QString::fromStdString(TextOfSeconds(60))});
        ASSERT_TRUE(player.waitForStarted(5000));
        EXPECT_FALSE(player.waitForFinished(1500)) << "the player ended early";
        Private->Stop();
        ASSERT_TRUE(player.waitForFinished(10000)) << "the player keys on without a server";
        EXPECT_EQ(player.exitCode(), 1);
        EXPECT_EQ(player.readAllStandardError().toStdString(),
                  "tonvik: the sound device stopped during playback: port no longer connected\n");
    }

    std::unique_ptr<PrivatePulseServer> Private;
};

TEST_F(LostServerTest, ServerGoneMidPlayEndsThePlayerWithOneLine) {
    ExpectPlayerReportsTheLoss(false);
}

TEST_F(LostServerTest, ServerGoneMidPlayThroughSdlEndsThePlayerWithOneLine) {
    ExpectPlayerReportsTheLoss(true);
}

} // namespace
