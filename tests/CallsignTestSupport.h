#pragma once

// A main window keying callsigns from a list written by the test, on a test
// device that also notes any opening over an open device and any write to a
// handle that is not the open one.
#include "MainForm.h"
#include "MessageService.h"
#include "TestWaveOut.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace tonvik {

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

class CallsignWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ListDir.isValid());
        WriteList("UA3ABC,Moscow\n");
        Window = std::make_unique<TMorseMain>(Device, Messages);
        Window->SetCallsignListFile(ListPath());
        Window->show();
        Control<QLineEdit>("CallEdit")->setText("RK3ABC");
    }

    void TearDown() override {
        Window.reset();
        QCoreApplication::processEvents();
    }

    QString ListPath() const { return ListDir.filePath("master.ped"); }

    void WriteList(const std::string& bytes) const {
        QFile file(ListPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes.data(), static_cast<qint64>(bytes.size())),
                  static_cast<qint64>(bytes.size()));
    }

    template <class T> T* Control(const char* name) const {
        T* control = Window->findChild<T*>(QString::fromLatin1(name));
        if (control == nullptr)
            ADD_FAILURE() << "no control " << name;
        return control;
    }

    QString Text(const char* label) const { return Control<QLabel>(label)->text(); }
    int Speed() const { return Control<QSlider>("SpeedTrackBar")->value(); }

    static bool ProcessUntil(const std::function<bool()>& done, int rounds = 200000) {
        for (int n = 0; n < rounds && !done(); ++n)
            QCoreApplication::processEvents();
        return done();
    }

    static void ProcessPending() {
        for (int n = 0; n < 50; ++n)
            QCoreApplication::processEvents();
    }

    void Start() { Control<QToolButton>("StartBut")->click(); }
    void Stop() { Control<QToolButton>("StopBut")->click(); }

    // Lets the device play until the pump has paused after a callsign and
    // closed the device.
    bool KeyToPause() {
        Device.AutoComplete = true;
        Device.CompleteNext(); // buffers written before auto-completion began
        return ProcessUntil([&] {
            return Window->State.AwaitingAnswer && !Device.IsOpen() &&
                   Window->Pump().WaveDevice() == 0;
        });
    }

    // Types an answer and presses Enter in the answer field.
    void Answer(const QString& text) {
        Control<QLineEdit>("Input")->setText(text);
        QTest::keyClick(Control<QLineEdit>("Input"), Qt::Key_Return);
    }

    void Press(Qt::Key key) { QTest::keyClick(Control<QLineEdit>("Input"), key); }

    QTemporaryDir ListDir;
    CheckedWaveOut Device;
    MessageRecorder Messages;
    std::unique_ptr<TMorseMain> Window;
};

} // namespace tonvik
