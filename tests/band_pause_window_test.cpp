// The band under an exercise, heard at a real PulseAudio server: its noise
// goes on through the pause for the answer, at the level it had while the
// callsign was keyed, and stops with the exercise. Recorded from the sink's
// monitor, which carries both the keying stream and the band's.
//
// Runs where TONVIK_TEST_PULSE names the runtime folder of a server started
// by scripts/pulse_server.sh; skipped elsewhere.
#include "keying/PulseWaveOut.h"
#include "tests/support/PulseTestServer.h"
#include "tests/support/RecordingCompare.h"
#include "tests/support/ServerWindowFixture.h"

#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <cmath>
#include <fstream>

using namespace tonvik;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

constexpr int Rate = 8000;
constexpr std::size_t Level = Rate / 4; // a level every 250 ms

double Rms(const std::vector<int16_t>& x, std::size_t from, std::size_t count) {
    double sum = 0;
    for (std::size_t i = from; i < from + count; ++i)
        sum += static_cast<double>(x[i]) * x[i];
    return std::sqrt(sum / static_cast<double>(count));
}

class BandPauseWindowTest : public ServerWindowFixture {
protected:
    BandPauseWindowTest() : ServerWindowFixture("tonvik-band-pause-") {}

    void SetUp() override {
        ServerWindowFixture::SetUp();
        if (!IsSkipped())
            Window->SetBandDevice(Air);
    }

    void UseBand(const std::string& text) {
        std::ofstream(Dir / "band.txt") << text << '\n';
        Window->SetBandSettingsFile(Dir / "band.txt");
    }

    PulseWaveOut Air; // the band's own stream
};

TEST_F(BandPauseWindowTest, TheNoiseGoesOnThroughThePauseAndStopsAtTheEnd) {
    UseList("UA3ABC\n");
    UseBand("snr=10 bw=500");
    Control<QLineEdit>("CallEdit")->setText("RK3ABC");
    ShowPage(CallsignPage);
    Control<QSlider>("SpeedTrackBar")->setValue(40);
    const fs::path raw = Dir / "recording.raw";
    QProcess recorder;
    StartRecorder(recorder, Runtime, raw);

    QElapsedTimer clock;
    clock.start();
    Start();
    ASSERT_TRUE(WaitUntil([&] { return Play().AwaitingAnswer && Closed(); }, 10000));
    const qint64 paused = clock.elapsed();
    ProcessFor(2500); // the user thinks
    const qint64 stopped = clock.elapsed();
    Stop();
    ProcessFor(1500);
    recorder.terminate();
    recorder.waitForFinished(5000);

    const std::vector<int16_t> heard = ReadRawSamples(raw);
    const auto first = std::find_if(heard.begin(), heard.end(), [](int16_t s) { return s != 0; });
    ASSERT_NE(first, heard.end()) << "nothing was heard";
    const auto at = [&](qint64 ms) {
        return static_cast<std::size_t>(first - heard.begin()) +
               static_cast<std::size_t>(ms * Rate / 1000);
    };
    ASSERT_GT(heard.size(), at(stopped));
    // From half a second after the callsign to the stop: the band alone,
    // steady, and as loud as it was between the callsign's characters.
    std::vector<double> levels;
    for (std::size_t from = at(paused + 500); from + Level <= at(stopped); from += Level)
        levels.push_back(Rms(heard, from, Level));
    ASSERT_GE(levels.size(), 6u);
    const auto [low, high] = std::minmax_element(levels.begin(), levels.end());
    EXPECT_GT(*low, 200.0) << "the pause is silent";
    EXPECT_LT(20 * std::log10(*high / *low), 2.5) << "the noise is not steady in the pause";
    // The band between the callsign's elements: the lower quarter of its
    // 20 ms levels falls in the gaps.
    std::vector<double> keyed;
    for (std::size_t from = at(0); from + Rate / 50 <= at(paused); from += Rate / 50)
        keyed.push_back(Rms(heard, from, Rate / 50));
    ASSERT_GE(keyed.size(), 20u);
    std::nth_element(keyed.begin(), keyed.begin() + keyed.size() / 4, keyed.end());
    const double between = keyed[keyed.size() / 4];
    EXPECT_LT(std::abs(20 * std::log10(*low / between)), 3.0)
        << "the noise in the pause is not the level it had under the callsign";
    // Nothing after the end, once what the server held has played.
    const auto last = std::find_if(heard.rbegin(), heard.rend(), [](int16_t s) { return s != 0; });
    const std::size_t end = static_cast<std::size_t>(heard.rend() - last);
    EXPECT_LE(end, at(stopped + 700)) << "the band plays on after the end";
    EXPECT_EQ(Stream.Starvations(), 0u);
}

} // namespace
