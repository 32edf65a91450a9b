// «Прослушать» through a real PulseAudio server: what the sink plays is the
// rendered preview sample for sample, five seconds and no more, and the
// device is closed once it has played.
//
// Runs where TONVIK_TEST_PULSE names the runtime folder of a server started
// by scripts/pulse_server.sh; skipped elsewhere.
#include "air/BandPreview.h"
#include "air/PreviewPlayer.h"
#include "keying/PulseWaveOut.h"
#include "tests/support/PulseTestServer.h"
#include "tests/support/RecordingCompare.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdlib>
#include <thread>

namespace tonvik {
namespace {

class ListenSound : public SharedServerTest {
protected:
    ListenSound() : SharedServerTest("tonvik-listen-") {}

    void SetUp() override {
        SharedServerTest::SetUp();
        if (!IsSkipped())
            ::setenv("PULSE_SERVER", ServerAddress(Runtime).c_str(), 1);
    }
    void TearDown() override {
        ::unsetenv("PULSE_SERVER");
        SharedServerTest::TearDown();
    }
};

TEST_F(ListenSound, TheSinkPlaysExactlyTheFiveSecondsAndTheDeviceCloses) {
    PreviewSetup setup;
    setup.Keying.DotSamples = 9600 / 30;
    setup.Keying.ToneFreq = 800;
    setup.Seed = 3;
    setup.Calls = {"UA3ABC", "RV9CX", "DL1XYZ", "OK1AB"};
    setup.StationCalls = {"SP7QRM", "G4FON", "JA1ZZZ"};
    const std::vector<int16_t> preview =
        RenderBandPreview(PresetConditions(BandPreset::Poor), setup);
    const std::filesystem::path raw = Dir / "recording.raw";
    QProcess recorder;
    ASSERT_NO_FATAL_FAILURE(StartRecorder(recorder, Runtime, raw));

    PulseWaveOut device;
    PreviewPlayer player(device);
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(player.Play(preview), "");
    while (player.Playing() && clock.elapsed() < 15000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    const qint64 elapsed = clock.elapsed();
    std::this_thread::sleep_for(std::chrono::milliseconds(700)); // the recorder's own buffer
    recorder.terminate();
    recorder.waitForFinished(5000);

    EXPECT_FALSE(player.Playing()) << "the device is still open after " << elapsed << " ms";
    // The stream reports the buffer done once the server holds it, up to its
    // 0.4 s ahead of the sound; the sound itself plays out after the close.
    EXPECT_GE(elapsed, 5000 - PulseWaveOut::DefaultBuffered.count() - 100);
    EXPECT_LE(elapsed, 6500);
    EXPECT_EQ(device.Starvations(), 0u);
    const RecordingDiff diff = CompareRecording(ReadRawSamples(raw), preview);
    EXPECT_TRUE(diff.Exact()) << diff.Summary();
}

} // namespace
} // namespace tonvik
