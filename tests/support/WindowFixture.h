#pragma once

// The window fixture: a main window on a test device (or a device the test
// brings), every message answered at once, a callsign list written by the
// test, and the steps a user takes through the widgets.
#include "app/MainForm.h"
#include "keying/Keyer.h"
#include "tests/support/KeyedText.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TestWaveOut.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tonvik {

inline const QString EndText = "Прием закончен !";
inline const QString Caption = "Внимание!";
// The one callsign of the list a callsign fixture starts with, as keyed.
inline const std::string Call = "UA3ABC ";

inline std::string Repeated(const std::string& text, int times) {
    std::string all;
    for (int n = 0; n < times; ++n)
        all += text;
    return all;
}

// The samples of text keyed on the callsign page at a speed and tone.
inline std::vector<int16_t> Keyed(const std::string& text, int wpm, long double tone) {
    KeyerSettings settings;
    settings.DotSamples = 9600 / wpm;
    settings.ToneFreq = tone;
    settings.ActivePage = CallsignPage;
    return KeyedText(text, settings);
}

// What the device was handed from its write firstWrite on.
inline std::vector<int16_t> SamplesSince(const TestWaveOut& device, std::size_t firstWrite) {
    std::vector<int16_t> all;
    for (std::size_t n = firstWrite; n < device.Writes.size(); ++n)
        all.insert(all.end(), device.Writes[n].begin(), device.Writes[n].end());
    return all;
}

// A test device that also notes any opening over an open device and any
// write to a handle that is not the open one.
class CheckedWaveOut : public TestWaveOut {
public:
    MmResult Open(WaveHandle* device, const WaveFormat& format, WaveNotifier* notifier) override {
        if (IsOpen())
            ++OpensOverOpenDevice;
        return TestWaveOut::Open(device, format, notifier);
    }
    MmResult Write(WaveHandle device, WaveHeader* header) override {
        if (device == 0 || device != CurrentDevice())
            ++StrayWrites;
        return TestWaveOut::Write(device, header);
    }

    int OpensOverOpenDevice = 0;
    int StrayWrites = 0;
};

class WindowFixture : public ::testing::Test {
protected:
    void SetUp() override { OpenWindow(Device); }

    void TearDown() override {
        Window.reset();
        QCoreApplication::processEvents();
    }

    // A new window on device, shown.
    void OpenWindow(WaveOut& device) {
        Window.reset();
        Window = std::make_unique<TMorseMain>(device, Messages);
        Window->show();
    }

    template <class T> T* Control(const char* name) const {
        T* control = Window->findChild<T*>(QString::fromLatin1(name));
        if (control == nullptr)
            ADD_FAILURE() << "no control " << name;
        return control;
    }

    QString Text(const char* label) const { return Control<QLabel>(label)->text(); }
    int Speed() const { return Control<QSlider>("SpeedTrackBar")->value(); }

    // Delivers queued notifications until done() holds; false if it never does.
    static bool ProcessUntil(const std::function<bool()>& done, int rounds = 200000) {
        for (int n = 0; n < rounds && !done(); ++n)
            QCoreApplication::processEvents();
        return done();
    }
    // The same against the clock, for a real device that plays in real time.
    static bool WaitUntil(const std::function<bool()>& done, int milliseconds = 20000) {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < milliseconds)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return done();
    }
    static void ProcessFor(int milliseconds) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < milliseconds)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    static void ProcessPending() {
        for (int n = 0; n < 50; ++n)
            QCoreApplication::processEvents();
    }

    void ShowPage(int page) { Control<QTabWidget>("MainPage")->setCurrentIndex(page); }
    void Key(const char* control, Qt::Key key) { QTest::keyClick(Control<QWidget>(control), key); }
    void Start() { Control<QToolButton>("StartBut")->click(); }
    void Stop() { Control<QToolButton>("StopBut")->click(); }

    void StartText(const QString& text) {
        ShowPage(TextPage);
        Control<QPlainTextEdit>("TextWin")->setPlainText(text);
        Start();
    }

    // The callsign list of the exercise, written into a folder of the test.
    QString ListPath() const { return ListDir.filePath("master.ped"); }
    void WriteList(const std::string& bytes) const {
        QFile file(ListPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes.data(), static_cast<qint64>(bytes.size())),
                  static_cast<qint64>(bytes.size()));
    }
    void UseList(const std::string& bytes) {
        ASSERT_TRUE(ListDir.isValid());
        WriteList(bytes);
        Window->SetCallsignListFile(ListPath());
    }

    // Types an answer and presses Enter in the answer field.
    void Answer(const QString& text) {
        Control<QLineEdit>("Input")->setText(text);
        QTest::keyClick(Control<QLineEdit>("Input"), Qt::Key_Return);
    }
    void Press(Qt::Key key) { QTest::keyClick(Control<QLineEdit>("Input"), key); }

    const PlayState& Play() const { return Window->Exercise().State(); }
    bool Closed() const {
        return !Device.IsOpen() && Window->Exercise().WaveOutPump().WaveDevice() == 0;
    }

    // Lets the test device play until the pump has paused after a callsign
    // and closed the device.
    bool KeyToPause() {
        Device.AutoComplete = true;
        Device.CompleteNext(); // buffers written before auto-completion began
        return ProcessUntil([&] { return Play().AwaitingAnswer && Closed(); });
    }

    // Every opening was preceded by the close of the device before it, and
    // every buffer went to the device open at the time.
    void ExpectOneDeviceAtATime() const {
        EXPECT_EQ(Device.OpensOverOpenDevice, 0);
        EXPECT_EQ(Device.StrayWrites, 0);
        EXPECT_FALSE(Device.IsOpen());
        EXPECT_EQ(Device.CloseCount, Device.OpenCount);
        EXPECT_EQ(Device.ResetCount, Device.CloseCount);
    }

    QTemporaryDir ListDir;
    CheckedWaveOut Device;
    MessageRecorder Messages;
    std::unique_ptr<TMorseMain> Window;
};

// A window keying callsigns from a one-line list written by the test, with
// the own callsign filled in.
class CallsignWindowFixture : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        UseList("UA3ABC,Moscow\n");
        Control<QLineEdit>("CallEdit")->setText("RK3ABC");
    }
};

} // namespace tonvik
