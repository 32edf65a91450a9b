// The window under rough use, with the real SDL sound layer (dummy or missing
// driver) and with the test device where exact samples matter.
#include "keying/SdlWaveOut.h"
#include "tests/support/WindowFixture.h"

#include <QSpinBox>

#include <cstdlib>

using namespace tonvik;

namespace {

// A window on the real SDL device; the driver is chosen per test. The device
// lets go of the sound card soon after the last logical close, so a test can
// see that it was let go.
class SdlWindowTest : public WindowFixture {
protected:
    void SetUp() override {}
    void Open(const char* driver) {
        ::setenv("SDL_AUDIODRIVER", driver, 1);
        Sdl = std::make_unique<SdlWaveOut>(SdlWaveOut::DefaultPeriodSamples,
                                           std::chrono::milliseconds(200));
        OpenWindow(*Sdl);
        UseList("UA3ABC\r\nDL1XYZ\r\n");
        Control<QLineEdit>("CallEdit")->setText("RK3ABC");
    }
    void TearDown() override {
        Window.reset();
        Sdl.reset();
        QCoreApplication::processEvents();
    }
    int Warnings() const {
        int n = 0;
        for (const auto& m : Messages.Messages)
            n += m.Caption == "Warning";
        return n;
    }
    // The window is gone: no logical device is left open (a new one opens),
    // and the sound card is let go once that one is closed.
    void ExpectDeviceLetGo() {
        QueueNotifier notices;
        WaveHandle handle = 0;
        ASSERT_EQ(Sdl->Open(&handle, PcmFormat8k16Mono(), &notices), MmNoError);
        EXPECT_EQ(Sdl->Reset(handle), MmNoError);
        EXPECT_EQ(Sdl->Close(handle), MmNoError);
        EXPECT_TRUE(Sdl->WaitUntilReleased(std::chrono::seconds(5)));
    }

    std::unique_ptr<SdlWaveOut> Sdl;
};

} // namespace

TEST_F(SdlWindowTest, NoSoundDeviceWarnsInEnglishAndStopStillEnds) {
    Open("no-such-driver");
    StartText("CQ CQ");
    ASSERT_EQ(Warnings(), 1);
    EXPECT_EQ(Messages.Messages.back().Text,
              "Error opening waveform audio!\r\nno device driver present");
    EXPECT_FALSE(Control<QToolButton>("StartBut")->isEnabled());
    ASSERT_TRUE(Control<QToolButton>("StopBut")->isEnabled());
    Control<QToolButton>("StopBut")->click();
    EXPECT_EQ(Messages.CountOf(EndText), 1);
    EXPECT_TRUE(Control<QToolButton>("StartBut")->isEnabled());
    EXPECT_TRUE(Control<QSlider>("SpeedTrackBar")->isEnabled());
    // The test button goes on working too, and warns once per attempt.
    Window->TestButClick();
    EXPECT_EQ(Warnings(), 2);
    Window->TestButClick();
    EXPECT_TRUE(Control<QToolButton>("StartBut")->isEnabled());
}

TEST_F(SdlWindowTest, FiftyF6PressesDuringKeyingNeverOpenTwoDevices) {
    Open("dummy");
    Control<QSlider>("SpeedTrackBar")->setValue(100);
    Window->StartButClick();
    ASSERT_TRUE(WaitUntil([&] { return !Window->Exercise().State().SentText.empty(); }));
    QLineEdit* input = Control<QLineEdit>("Input");
    for (int n = 0; n < 50; ++n) {
        QTest::keyClick(input, Qt::Key_F6);
        ProcessFor(n % 5 == 0 ? 40 : 2);
    }
    EXPECT_EQ(Warnings(), 0) << "a second device was asked for";
    ASSERT_TRUE(WaitUntil([&] { return Window->Exercise().State().AwaitingAnswer; }));
    EXPECT_EQ(Window->Exercise().State().SentText.size(), 7u);
    Control<QToolButton>("StopBut")->click();
    EXPECT_TRUE(WaitUntil([&] { return Window->Exercise().WaveOutPump().WaveDevice() == 0; }));
}

TEST_F(SdlWindowTest, EnterInATrackBarDuringATextExerciseDoesNotRestartIt) {
    Open("dummy");
    StartText("PARIS PARIS PARIS");
    ASSERT_TRUE(WaitUntil([&] { return Window->Exercise().State().PlayPos > 3; }));
    const int before = Window->Exercise().State().PlayPos;
    QTest::keyClick(Control<QSlider>("SpeedTrackBar"), Qt::Key_Return);
    QTest::keyClick(Control<QSlider>("PitchTrackBar"), Qt::Key_F3);
    ProcessFor(50);
    EXPECT_GE(Window->Exercise().State().PlayPos, before);
    EXPECT_EQ(Warnings(), 0);
    EXPECT_FALSE(Window->Exercise().TestRunning());
    Control<QToolButton>("StopBut")->click();
}

TEST_F(SdlWindowTest, ClosingDuringKeyingReleasesTheDevice) {
    Open("dummy");
    StartText("CQ CQ CQ DE UA3ABC");
    ASSERT_TRUE(WaitUntil([&] { return Window->Exercise().State().PlayPos > 2; }));
    Window->close();
    Window.reset();
    ProcessFor(50);
    ExpectDeviceLetGo();
}

TEST_F(SdlWindowTest, ClosingDuringTheCallsignPauseIsSafe) {
    Open("dummy");
    Window->StartButClick();
    ASSERT_TRUE(WaitUntil([&] { return Window->Exercise().State().AwaitingAnswer; }));
    Window->close();
    Window.reset();
    ProcessFor(50);
    ExpectDeviceLetGo();
}

TEST_F(SdlWindowTest, ClosingUnderTheEndMessageIsSafe) {
    Open("dummy");
    Messages.OnMessage = [&](const MessageRecorder::Entry& entry) {
        if (entry.Text == EndText) {
            ProcessFor(100); // what the modal box's own loop would deliver
            Window->close();
        }
    };
    StartText("E");
    ASSERT_TRUE(WaitUntil([&] { return Messages.CountOf(EndText) == 1; }));
    ASSERT_TRUE(WaitUntil([&] { return Window->Exercise().WaveOutPump().WaveDevice() == 0; }));
    Window.reset();
    ExpectDeviceLetGo();
}

TEST_F(SdlWindowTest, AHundredMegabyteListStartsAnExercise) {
    Open("dummy");
    const QString path = ListDir.filePath("big.ped");
    {
        QFile big(path);
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        const QByteArray block =
            QByteArray("UA3ABC,Moscow\r\nDL1XYZ\r\nJA1ABC/P\n").repeated(32768);
        for (qint64 written = 0; written < 100LL * 1024 * 1024; written += block.size())
            ASSERT_EQ(big.write(block), block.size());
    }
    Window->SetCallsignListFile(path);
    QElapsedTimer clock;
    clock.start();
    Window->StartButClick();
    const qint64 startMs = clock.elapsed();
    EXPECT_EQ(Messages.Messages.size(), 0u);
    int spaces = 0;
    for (char c : Window->Exercise().State().PlayText)
        spaces += c == ' ';
    EXPECT_EQ(spaces, 30);
    RecordProperty("start_ms", static_cast<int>(startMs));
    Control<QToolButton>("StopBut")->click();
}

// Gaps longer than a buffer keep their timing; nothing is written past a buffer.
using RobustWindow = WindowFixture;

TEST_F(RobustWindow, LongGapsAt10WpmAndTypedValuesBeyondTheRange) {
    TestWaveOut& device = Device;
    device.AutoComplete = true;
    MessageRecorder& messages = Messages;
    TMorseMain& window = *Window;
    window.findChild<QTabWidget*>("MainPage")->setCurrentIndex(TextPage);
    window.findChild<QSlider*>("SpeedTrackBar")->setValue(10);
    auto* letterGap = window.findChild<QSpinBox*>("SpinEdit2");
    auto* wordGap = window.findChild<QSpinBox*>("SpinEdit1");
    letterGap->setValue(72);
    wordGap->setValue(108);
    window.findChild<QPlainTextEdit*>("TextWin")->setPlainText("EE T");
    window.StartButClick();
    ASSERT_TRUE(WaitUntil([&] { return messages.CountOf(EndText) == 1; }));
    for (const auto& write : device.Writes)
        ASSERT_LE(write.size() * 2, WaveBufferSize);
    const std::vector<int16_t> all = device.AllSamples();
    // E (1+1 dots), E after a 72-dot gap, a 108-dot word gap, T (3+1 dots).
    const size_t expected = (2 + 72 + 2 + 108 + 4) * 960;
    ASSERT_GE(all.size(), expected);
    KeyerSettings s;
    s.DotSamples = 960;
    s.ToneFreq = 800;
    s.LetterGap = 72;
    s.WordGap = 108;
    s.ActivePage = TextPage;
    const std::vector<int16_t> reference = KeyedText("EE T", s);
    EXPECT_EQ(std::vector<int16_t>(all.begin(), all.begin() + static_cast<long>(reference.size())),
              reference);

    // A value typed past the range is keyed as typed until the field loses focus.
    messages.Messages.clear();
    device.Writes.clear();
    letterGap->setFocus();
    letterGap->findChild<QLineEdit*>()->setText("500");
    window.findChild<QPlainTextEdit*>("TextWin")->setPlainText("EE");
    window.StartButClick();
    ASSERT_TRUE(WaitUntil([&] { return messages.CountOf(EndText) == 1; }));
    size_t samples = 0;
    for (const auto& write : device.Writes) {
        ASSERT_LE(write.size() * 2, WaveBufferSize);
        samples += write.size();
    }
    EXPECT_GE(samples, (2 + 500 + 2) * 960u);
}
