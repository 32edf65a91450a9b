// Very short texts through a real PulseAudio server: a text of one or two
// elements fits whole into the sound the stream takes ahead, so the device
// hands back its last buffers at once. The player must still end within a
// second of its last sample, with the recording from the sink's monitor equal
// to the export sample for sample and no underrun counted.
//
// Runs where TONVIK_TEST_PULSE names the runtime folder of a server started
// by scripts/pulse_server.sh; skipped elsewhere.
#include "tests/support/PulseTestServer.h"
#include "tests/support/RecordingCompare.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>

#include <filesystem>
#include <ostream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace tonvik;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

constexpr int SampleRate = 8000;
// How long after its last sample the player may still be running: process
// start and the server connection included.
constexpr qint64 EndSlackMs = 1000;
// Dots in the pause of a word, which the player keys after the text (as the
// window does before its end message) and the export leaves out.
constexpr qint64 WordGapDots = 7;

struct Case {
    const char* Text;
    int Wpm;
    const char* Mode = "text";
    int LatencyMs = 0; // 0: the player's default
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << '"' << c.Text << "\" at " << c.Wpm << " wpm, " << c.Mode << " mode, latency "
         << c.LatencyMs << " ms";
}

QString Program() {
    return QString::fromUtf8(TONVIK_PROGRAM);
}

// The playback streams the server has now.
int PlaybackStreams(const std::string& runtime) {
    QProcess pactl;
    pactl.setProcessEnvironment(ServerEnvironment(runtime));
    pactl.start("pactl", {"list", "short", "sink-inputs"});
    if (!pactl.waitForFinished(5000))
        return 0;
    return static_cast<int>(pactl.readAllStandardOutput().count('\n'));
}

class ShortTextSoundTest : public SharedServerTest, public ::testing::WithParamInterface<Case> {
protected:
    ShortTextSoundTest() : SharedServerTest("tonvik-short-") {}

    static QStringList Arguments(const char* command, const Case& c) {
        return {command, "--wpm",  QString::number(c.Wpm),   "--mode",
                c.Mode,  "--text", QString::fromUtf8(c.Text)};
    }

    std::vector<int16_t> Exported(const Case& c) const {
        const fs::path wav = Dir / "text.wav";
        QProcess exporter;
        exporter.start(Program(), Arguments("export", c) << "-q"
                                                         << "-o" << QString::fromStdString(wav));
        EXPECT_TRUE(exporter.waitForFinished(30000));
        EXPECT_EQ(exporter.exitCode(), 0) << exporter.readAllStandardError().toStdString();
        return ReadSoundFile(wav);
    }
};

TEST_P(ShortTextSoundTest, EndsWithinASecondOfItsLastSampleAndPlaysTheExport) {
    const Case& c = GetParam();
    const std::vector<int16_t> expected = Exported(c);
    ASSERT_FALSE(expected.empty());
    const qint64 soundMs = static_cast<qint64>(expected.size()) * 1000 / SampleRate +
                           WordGapDots * 1200 / c.Wpm; // a dot lasts 1200/wpm ms

    const fs::path raw = Dir / "recording.raw";
    QProcess recorder;
    ASSERT_NO_FATAL_FAILURE(StartRecorder(recorder, Runtime, raw));

    // Timed from the moment the player's stream is on the server, so that a
    // slow process start (a sanitizer build, a loaded machine) does not count.
    QProcess player;
    player.setProcessEnvironment(ServerEnvironment(Runtime));
    QStringList playArguments = Arguments("play", c) << "--stats";
    if (c.LatencyMs > 0)
        playArguments << "--latency-ms" << QString::number(c.LatencyMs);
    QElapsedTimer clock;
    clock.start();
    player.start(Program(), playArguments);
    qint64 streamAt = 0;
    bool ended = false;
    while (!ended && clock.elapsed() < soundMs + 8000) {
        if (streamAt == 0 && PlaybackStreams(Runtime) > 0)
            streamAt = clock.elapsed();
        ended = player.waitForFinished(10) || player.state() == QProcess::NotRunning;
    }
    const qint64 elapsed = clock.elapsed() - streamAt;
    if (!ended) {
        player.kill();
        player.waitForFinished(5000);
    }
    std::this_thread::sleep_for(500ms); // the recorder's own buffer
    recorder.terminate();
    recorder.waitForFinished(5000);

    ASSERT_TRUE(ended) << "the player did not end " << elapsed << " ms after starting a sound of "
                       << soundMs << " ms";
    EXPECT_LE(elapsed, soundMs + EndSlackMs) << "sound of " << soundMs << " ms";
    EXPECT_EQ(player.exitCode(), 0);
    EXPECT_EQ(player.readAllStandardError().toStdString(), "sound ran out while keying: 0 times\n");
    const RecordingDiff diff = CompareRecording(ReadRawSamples(raw), expected);
    EXPECT_TRUE(diff.Exact()) << diff.Summary();
}

std::vector<Case> TextsAtEachSpeed() {
    std::vector<Case> cases;
    for (const char* text : {"E", "EE", "E ", "T", "I", "A", "M"})
        for (int wpm : {10, 30, 60, 100})
            cases.push_back({text, wpm});
    return cases;
}

// The same at the smallest, a middling and the largest sound taken ahead, and
// with the callsign page's spacing.
std::vector<Case> OtherSettings() {
    return {{"E", 30, "text", 20},       {"E", 30, "text", 100}, {"E", 100, "text", 1000},
            {"EE", 10, "text", 1000},    {"E", 30, "callsign"},  {"T", 100, "callsign"},
            {"E", 100, "callsign", 1000}};
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    std::string name;
    for (const char* p = info.param.Text; *p != '\0'; ++p)
        name += *p == ' ' ? std::string("Space") : std::string(1, *p);
    name += "At" + std::to_string(info.param.Wpm);
    if (std::string(info.param.Mode) != "text")
        name += "Callsign";
    if (info.param.LatencyMs > 0)
        name += "Latency" + std::to_string(info.param.LatencyMs);
    return name;
}

INSTANTIATE_TEST_SUITE_P(Texts, ShortTextSoundTest, ::testing::ValuesIn(TextsAtEachSpeed()),
                         CaseName);
INSTANTIATE_TEST_SUITE_P(Settings, ShortTextSoundTest, ::testing::ValuesIn(OtherSettings()),
                         CaseName);

} // namespace
