// The window under rough use, with the real SDL sound layer (dummy or missing
// driver) and with the test device where exact samples matter.
#include "app/MainForm.h"
#include "keying/SdlWaveOut.h"
#include "tests/support/KeyedText.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TestWaveOut.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>

using namespace tonvik;

namespace {

const QString EndText = "Прием закончен !";

bool ProcessUntil(const std::function<bool()>& done, int milliseconds = 20000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

void ProcessFor(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// A window on the real SDL device; the driver is chosen per test.
class SdlWindowTest : public ::testing::Test {
protected:
    void Open(const char* driver) {
        ::setenv("SDL_AUDIODRIVER", driver, 1);
        Device = std::make_unique<SdlWaveOut>();
        Window = std::make_unique<TMorseMain>(*Device, Messages);
        ASSERT_TRUE(ListDir.isValid());
        QFile list(ListDir.filePath("master.ped"));
        ASSERT_TRUE(list.open(QIODevice::WriteOnly));
        list.write("UA3ABC\r\nDL1XYZ\r\n");
        list.close();
        Window->SetCallsignListFile(ListDir.filePath("master.ped"));
        Window->show();
        Control<QLineEdit>("CallEdit")->setText("RK3ABC");
    }
    void TearDown() override {
        Window.reset();
        Device.reset();
        QCoreApplication::processEvents();
    }
    template <class T> T* Control(const char* name) const {
        return Window->findChild<T*>(QString::fromLatin1(name));
    }
    void StartText(const QString& text) {
        Control<QTabWidget>("MainPage")->setCurrentIndex(TextPage);
        Control<QPlainTextEdit>("TextWin")->setPlainText(text);
        Window->StartButClick();
    }
    int Warnings() const {
        int n = 0;
        for (const auto& m : Messages.Messages)
            n += m.Caption == "Warning";
        return n;
    }

    MessageRecorder Messages;
    QTemporaryDir ListDir;
    std::unique_ptr<SdlWaveOut> Device;
    std::unique_ptr<TMorseMain> Window;
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
    ASSERT_TRUE(ProcessUntil([&] { return !Window->Exercise().State().SentText.empty(); }));
    QLineEdit* input = Control<QLineEdit>("Input");
    for (int n = 0; n < 50; ++n) {
        QTest::keyClick(input, Qt::Key_F6);
        ProcessFor(n % 5 == 0 ? 40 : 2);
    }
    EXPECT_EQ(Warnings(), 0) << "a second device was asked for";
    ASSERT_TRUE(ProcessUntil([&] { return Window->Exercise().State().AwaitingAnswer; }));
    EXPECT_EQ(Window->Exercise().State().SentText.size(), 7u);
    Control<QToolButton>("StopBut")->click();
    EXPECT_TRUE(ProcessUntil([&] { return Window->Exercise().WaveOutPump().WaveDevice() == 0; }));
}

TEST_F(SdlWindowTest, EnterInATrackBarDuringATextExerciseDoesNotRestartIt) {
    Open("dummy");
    StartText("PARIS PARIS PARIS");
    ASSERT_TRUE(ProcessUntil([&] { return Window->Exercise().State().PlayPos > 3; }));
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
    ASSERT_TRUE(ProcessUntil([&] { return Window->Exercise().State().PlayPos > 2; }));
    Window->close();
    Window.reset();
    ProcessFor(50);
    SUCCEED();
}

TEST_F(SdlWindowTest, ClosingDuringTheCallsignPauseIsSafe) {
    Open("dummy");
    Window->StartButClick();
    ASSERT_TRUE(ProcessUntil([&] { return Window->Exercise().State().AwaitingAnswer; }));
    Window->close();
    Window.reset();
    ProcessFor(50);
    SUCCEED();
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
    ASSERT_TRUE(ProcessUntil([&] { return Messages.CountOf(EndText) == 1; }));
    ASSERT_TRUE(ProcessUntil([&] { return Window->Exercise().WaveOutPump().WaveDevice() == 0; }));
    Window.reset();
    SUCCEED();
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
TEST(RobustWindow, LongGapsAt10WpmAndTypedValuesBeyondTheRange) {
    TestWaveOut device;
    device.AutoComplete = true;
    MessageRecorder messages;
    TMorseMain window(device, messages);
    window.show();
    window.findChild<QTabWidget*>("MainPage")->setCurrentIndex(TextPage);
    window.findChild<QSlider*>("SpeedTrackBar")->setValue(10);
    auto* letterGap = window.findChild<QSpinBox*>("SpinEdit2");
    auto* wordGap = window.findChild<QSpinBox*>("SpinEdit1");
    letterGap->setValue(72);
    wordGap->setValue(108);
    window.findChild<QPlainTextEdit*>("TextWin")->setPlainText("EE T");
    window.StartButClick();
    ASSERT_TRUE(ProcessUntil([&] { return messages.CountOf(EndText) == 1; }));
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
    ASSERT_TRUE(ProcessUntil([&] { return messages.CountOf(EndText) == 1; }));
    size_t samples = 0;
    for (const auto& write : device.Writes) {
        ASSERT_LE(write.size() * 2, WaveBufferSize);
        samples += write.size();
    }
    EXPECT_GE(samples, (2 + 500 + 2) * 960u);
}
