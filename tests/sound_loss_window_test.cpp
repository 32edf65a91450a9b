// The window on the sound server's stream when the server goes away in the
// middle of a text: the English warning at the next completion, then no more
// keying until the user stops; and a new start on a new server plays again.
// Needs pulseaudio (TONVIK_TEST_PULSE tells that it is there); skipped elsewhere.
#include "keying/PulseWaveOut.h"
#include "tests/support/PulseTestServer.h"
#include "tests/support/WindowFixture.h"

#include <cstdlib>
#include <memory>

using namespace tonvik;

namespace {

class SoundLossWindowTest : public WindowFixture {
protected:
    void SetUp() override {
        if (SharedTestServer().empty())
            GTEST_SKIP() << "no test sound server (TONVIK_TEST_PULSE)";
        ASSERT_TRUE(Runtime.isValid());
        Server = std::make_unique<PrivatePulseServer>(Runtime.filePath("server").toStdString());
        ASSERT_TRUE(Server->Start());
        ::setenv("PULSE_SERVER", ServerAddress(Server->Folder()).c_str(), 1);
        OpenWindow(Stream);
    }
    void TearDown() override {
        WindowFixture::TearDown();
        ::unsetenv("PULSE_SERVER");
    }
    int Warnings() const {
        int n = 0;
        for (const auto& m : Messages.Messages)
            n += m.Caption == "Warning";
        return n;
    }
    bool StreamClosed() const { return Window->Exercise().WaveOutPump().WaveDevice() == 0; }

    QTemporaryDir Runtime;
    std::unique_ptr<PrivatePulseServer> Server;
    PulseWaveOut Stream;
};

} // namespace

TEST_F(SoundLossWindowTest, ServerGoneWarnsOnceAndKeyingStops) {
    StartText(QString("PARIS ").repeated(100));
    ASSERT_TRUE(WaitUntil([&] { return Play().PlayPos > 10; }, 5000));
    Server->Stop();
    ASSERT_TRUE(WaitUntil([&] { return Warnings() > 0; }, 10000)) << "keyed on in silence";
    EXPECT_EQ(Messages.Messages.back().Text,
              "Error opening waveform audio!\r\nport no longer connected");
    ASSERT_TRUE(WaitUntil([&] { return StreamClosed(); }, 2000));
    const int keyed = Play().PlayPos;
    ProcessFor(500);
    EXPECT_EQ(Play().PlayPos, keyed);
    EXPECT_EQ(Warnings(), 1);

    // Stop, a new server, Start: keying again without a warning.
    Stop();
    ASSERT_TRUE(Server->Start());
    StartText("PARIS PARIS");
    ASSERT_TRUE(WaitUntil([&] { return Play().PlayPos > 5; }, 5000));
    EXPECT_EQ(Warnings(), 1);
}
