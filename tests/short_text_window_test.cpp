// The window keying a text of one letter through a real PulseAudio server:
// the stream takes the whole text ahead, so both buffers complete at once and
// the end message comes up while the second one's completion is still to be
// handled. Under the message (a modal box runs its own event loop) that
// completion must still close the device, within a second of the last
// sample, and what the sink played must be the export sample for sample.
//
// Runs where TONVIK_TEST_PULSE names the runtime folder of a server started
// by scripts/pulse_server.sh; skipped elsewhere.
#include "cli/Cli.h"
#include "keying/PulseWaveOut.h"
#include "tests/support/PulseTestServer.h"
#include "tests/support/RecordingCompare.h"
#include "tests/support/ServerWindowFixture.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

using namespace tonvik;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

constexpr qint64 EndSlackMs = 1000;
constexpr qint64 WordGapDots = 7; // keyed after the text, before the device closes
constexpr int SampleRate = 8000;

struct Case {
    const char* Text; // as typed into the text page
    int Wpm;
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << '"' << c.Text << "\" at " << c.Wpm << " wpm";
}

// A window on the sound server's stream, recorded from the sink's monitor.
class SoundServerWindowTest : public ServerWindowFixture {
protected:
    SoundServerWindowTest() : ServerWindowFixture("tonvik-short-window-") {}

    void SetUp() override {
        ServerWindowFixture::SetUp();
        // A modal box runs an event loop of its own until it is dismissed:
        // this one stays up until the device has closed, or for 3 seconds.
        Messages.OnMessage = [this](const MessageRecorder::Entry& entry) {
            if (entry.Text == EndText)
                HoldEndMessage();
        };
    }

    bool StreamClosed() const { return Window->Exercise().WaveOutPump().WaveDevice() == 0; }

    void HoldEndMessage() {
        QEventLoop modal;
        QTimer check;
        QObject::connect(&check, &QTimer::timeout, &modal, [&] {
            if (StreamClosed())
                modal.quit();
        });
        check.start(5);
        QTimer::singleShot(3000, &modal, &QEventLoop::quit);
        modal.exec();
        ClosedUnderMessage = StreamClosed();
    }

    std::vector<int16_t> Exported(const Case& c) const {
        const fs::path wav = Dir / "text.wav";
        std::istringstream in;
        std::ostringstream out, err;
        const std::vector<std::string> args = {"export",  "-q",   "--wpm",    std::to_string(c.Wpm),
                                               "--pitch", "800",  "--volume", "5",
                                               "--text",  c.Text, "-o",       wav.string()};
        EXPECT_EQ(RunCommandLine(args, in, out, err), 0) << err.str();
        return ReadSoundFile(wav);
    }

    // The window set to key at wpm with the export's pitch and volume, and
    // the sink's monitor recorded into raw from now on.
    void KeyAndRecord(int wpm, QProcess& recorder, const fs::path& raw) const {
        Control<QSlider>("SpeedTrackBar")->setValue(wpm);
        Control<QSlider>("PitchTrackBar")->setValue(8);
        Control<QSlider>("VolTrackBar")->setValue(3);
        StartRecorder(recorder, Runtime, raw);
    }

    bool ClosedUnderMessage = false;
};

class ShortTextWindowTest : public SoundServerWindowTest,
                            public ::testing::WithParamInterface<Case> {};

TEST_P(ShortTextWindowTest, EndsWithItsMessageAndPlaysTheExport) {
    const Case& c = GetParam();
    const std::vector<int16_t> expected = Exported(c);
    ASSERT_FALSE(expected.empty());
    const qint64 soundMs =
        static_cast<qint64>(expected.size()) * 1000 / SampleRate + WordGapDots * 1200 / c.Wpm;

    const fs::path raw = Dir / "recording.raw";
    QProcess recorder;
    KeyAndRecord(c.Wpm, recorder, raw);

    QElapsedTimer clock;
    clock.start();
    StartText(QString::fromUtf8(c.Text));
    const bool ended =
        WaitUntil([&] { return Messages.CountOf(EndText) == 1 && StreamClosed(); }, soundMs + 5000);
    const qint64 elapsed = clock.elapsed();
    std::this_thread::sleep_for(500ms); // the recorder's own buffer
    recorder.terminate();
    recorder.waitForFinished(5000);

    ASSERT_TRUE(ended) << "no end after " << elapsed << " ms";
    EXPECT_TRUE(ClosedUnderMessage) << "the last completion waited until the message was gone";
    EXPECT_LE(elapsed, soundMs + EndSlackMs) << "sound of " << soundMs << " ms";
    EXPECT_EQ(Messages.CountOf(EndText), 1);
    EXPECT_EQ(Stream.Starvations(), 0u);
    const RecordingDiff diff = CompareRecording(ReadRawSamples(raw), expected);
    EXPECT_TRUE(diff.Exact()) << diff.Summary();
}

// A one-letter list on the callsign page: the pause after the callsign closes
// the device, with the whole callsign played.
TEST_F(SoundServerWindowTest, OneLetterCallsignIsPlayedWholeBeforeThePause) {
    const int wpm = 60;
    const std::vector<int16_t> expected = Keyed("E ", wpm, 800);
    const qint64 soundMs = static_cast<qint64>(expected.size()) * 1000 / SampleRate;
    UseList("E\n");
    Control<QLineEdit>("CallEdit")->setText("RK3ABC");
    ShowPage(CallsignPage);
    const fs::path raw = Dir / "recording.raw";
    QProcess recorder;
    KeyAndRecord(wpm, recorder, raw);

    QElapsedTimer clock;
    clock.start();
    Start();
    const bool paused =
        WaitUntil([&] { return Play().AwaitingAnswer && StreamClosed(); }, soundMs + 5000);
    const qint64 elapsed = clock.elapsed();
    ProcessFor(static_cast<int>(soundMs) + 500); // what the server holds plays out
    recorder.terminate();
    recorder.waitForFinished(5000);

    ASSERT_TRUE(paused) << "no pause after " << elapsed << " ms";
    EXPECT_LE(elapsed, soundMs + EndSlackMs) << "sound of " << soundMs << " ms";
    EXPECT_EQ(Play().SentText, "E ");
    EXPECT_EQ(Stream.Starvations(), 0u);
    const RecordingDiff diff = CompareRecording(ReadRawSamples(raw), expected);
    EXPECT_TRUE(diff.Exact()) << diff.Summary();
}

INSTANTIATE_TEST_SUITE_P(Texts, ShortTextWindowTest,
                         ::testing::Values(Case{"Е", 10}, Case{"Е", 30}, Case{"Е", 60},
                                           Case{"Е", 100}, Case{"ЕЕ", 60}, Case{"Т", 100}),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return "Case" + std::to_string(info.index) + "At" +
                                    std::to_string(info.param.Wpm);
                         });

} // namespace
