// The window on the sound server's stream when the server goes away in the
// middle of a text: the English warning at the next completion, then no more
// keying until the user stops; and a new start on a new server plays again.
// Needs pulseaudio (TONVIK_TEST_PULSE tells that it is there); skipped elsewhere.
#include "app/MainForm.h"
#include "app/MessageService.h"
#include "keying/PulseWaveOut.h"
#include "tests/support/PulseTestServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>

using namespace tonvik;

namespace {

bool ProcessUntil(const std::function<bool()>& done, int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

class SoundLossWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (SharedTestServer().empty())
            GTEST_SKIP() << "no test sound server (TONVIK_TEST_PULSE)";
        ASSERT_TRUE(Runtime.isValid());
        Server = std::make_unique<PrivatePulseServer>(Runtime.filePath("server").toStdString());
        ASSERT_TRUE(Server->Start());
        ::setenv("PULSE_SERVER", ServerAddress(Server->Folder()).c_str(), 1);
        Window = std::make_unique<TMorseMain>(Device, Messages);
        Window->show();
    }
    void TearDown() override {
        Window.reset();
        QCoreApplication::processEvents();
        ::unsetenv("PULSE_SERVER");
    }
    void StartText(const QString& text) {
        Window->findChild<QTabWidget*>("MainPage")->setCurrentIndex(TextPage);
        Window->findChild<QPlainTextEdit*>("TextWin")->setPlainText(text);
        Window->StartButClick();
    }
    int Warnings() const {
        int n = 0;
        for (const auto& m : Messages.Messages)
            n += m.Caption == "Warning";
        return n;
    }

    QTemporaryDir Runtime;
    std::unique_ptr<PrivatePulseServer> Server;
    PulseWaveOut Device;
    MessageRecorder Messages;
    std::unique_ptr<TMorseMain> Window;
};

} // namespace

TEST_F(SoundLossWindowTest, ServerGoneWarnsOnceAndKeyingStops) {
    StartText(QString("PARIS ").repeated(100));
    ASSERT_TRUE(ProcessUntil([&] { return Window->State.PlayPos > 10; }, 5000));
    Server->Stop();
    ASSERT_TRUE(ProcessUntil([&] { return Warnings() > 0; }, 10000)) << "keyed on in silence";
    EXPECT_EQ(Messages.Messages.back().Text,
              "Error opening waveform audio!\r\nport no longer connected");
    ASSERT_TRUE(ProcessUntil([&] { return Window->Pump().WaveDevice() == 0; }, 2000));
    const int keyed = Window->State.PlayPos;
    ProcessUntil([] { return false; }, 500);
    EXPECT_EQ(Window->State.PlayPos, keyed);
    EXPECT_EQ(Warnings(), 1);

    // Stop, a new server, Start: keying again without a warning.
    Window->findChild<QToolButton*>("StopBut")->click();
    ASSERT_TRUE(Server->Start());
    StartText("PARIS PARIS");
    ASSERT_TRUE(ProcessUntil([&] { return Window->State.PlayPos > 5; }, 5000));
    EXPECT_EQ(Warnings(), 1);
}
