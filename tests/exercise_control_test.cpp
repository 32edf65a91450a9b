// Start, Stop, the end of an exercise, the preliminary test and their keys.
#include "tests/support/WindowFixture.h"

#include "tests/support/KeyedText.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <string>
#include <vector>

namespace tonvik {
namespace {

// What the user sees of the running state.
struct ControlState {
    bool Start, Stop, Test, CallEdit, TrackBars, CallTab, TextTab;
    QString TestCaption;
};

class ExerciseControl : public WindowFixture {
protected:
    ControlState Controls() const {
        auto* pages = Control<QTabWidget>("MainPage");
        const bool speed = Control<QSlider>("SpeedTrackBar")->isEnabled();
        EXPECT_EQ(Control<QSlider>("PitchTrackBar")->isEnabled(), speed);
        EXPECT_EQ(Control<QSlider>("VolTrackBar")->isEnabled(), speed);
        EXPECT_FALSE(pages->isTabVisible(HiddenPage));
        return {Control<QToolButton>("StartBut")->isEnabled(),
                Control<QToolButton>("StopBut")->isEnabled(),
                Control<QToolButton>("TestBut")->isEnabled(),
                Control<QLineEdit>("CallEdit")->isEnabled(),
                speed,
                pages->isTabVisible(CallsignPage),
                pages->isTabVisible(TextPage),
                Control<QToolButton>("TestBut")->text()};
    }

    void ExpectControls(const ControlState& expected) const {
        const ControlState now = Controls();
        EXPECT_EQ(now.Start, expected.Start);
        EXPECT_EQ(now.Stop, expected.Stop);
        EXPECT_EQ(now.Test, expected.Test);
        EXPECT_EQ(now.CallEdit, expected.CallEdit);
        EXPECT_EQ(now.TrackBars, expected.TrackBars);
        EXPECT_EQ(now.CallTab, expected.CallTab);
        EXPECT_EQ(now.TextTab, expected.TextTab);
        EXPECT_EQ(now.TestCaption, expected.TestCaption);
    }

    void StartCallsigns() {
        Control<QLineEdit>("CallEdit")->setText("UA3ABC");
        Control<QToolButton>("StartBut")->click();
    }
};

const ControlState Idle{true, false, true, true, true, true, true, "Предварительный тест"};
const ControlState CallExercise{false, true, false, false,
                                false, true, false, "Предварительный тест"};
const ControlState TextExercise{false, true,  false, false,
                                true,  false, true,  "Предварительный тест"};
const ControlState TestFromIdle{false, false, true, true, true, true, true, "Стоп"};

TEST_F(ExerciseControl, StartOnTheCallsignPageLocksTheSettings) {
    StartCallsigns();
    ExpectControls(CallExercise);
    EXPECT_EQ(Control<QLabel>("NumberCallLbl")->text(), "1");
    EXPECT_EQ(Control<QLabel>("PointLbl")->text(), "0");
    EXPECT_EQ(Control<QLabel>("AllPointLbl")->text(), "0");
    EXPECT_EQ(Window->focusWidget(), Control<QLineEdit>("Input"));
    EXPECT_EQ(Window->Callsigns().Session().CallNumber(), 1);
    EXPECT_EQ(Window->Callsigns().Session().ReplayFactor(), 1.0L);
    EXPECT_EQ(Window->Exercise().State().PlayPos, 1);
    EXPECT_EQ(Window->Exercise().State().CallStartPos, 1);
    EXPECT_EQ(Device.OpenCount, 1);

    Control<QToolButton>("StopBut")->click();
    ExpectControls(Idle);
    EXPECT_EQ(Messages.CountOf(EndText), 1);
    EXPECT_EQ(Control<QLabel>("NumberCallLbl")->text(), "0");
    EXPECT_EQ(Window->focusWidget(), Control<QLineEdit>("CallEdit"));
}

TEST_F(ExerciseControl, EmptyOwnCallsignStartsNothing) {
    Control<QToolButton>("StartBut")->click();
    ASSERT_EQ(Messages.Messages.size(), 1u);
    EXPECT_EQ(Messages.Messages[0].Text, "Введите свой позывной");
    EXPECT_EQ(Messages.Messages[0].Caption, "Внимание!");
    ExpectControls(Idle);
    EXPECT_EQ(Device.OpenCount, 0);
    EXPECT_EQ(Window->focusWidget(), Control<QLineEdit>("CallEdit"));
}

TEST_F(ExerciseControl, HiddenPageRefusesToStart) {
    auto* pages = Control<QTabWidget>("MainPage");
    pages->setTabVisible(HiddenPage, true);
    ShowPage(HiddenPage);
    ASSERT_EQ(Window->Exercise().ActivePage(), HiddenPage);
    Control<QToolButton>("StartBut")->click();
    ASSERT_EQ(Messages.Messages.size(), 1u);
    EXPECT_EQ(Messages.Messages[0].Text, "Эта страница пока не работает!");
    EXPECT_EQ(Messages.Messages[0].Caption, "Обожди!");
    EXPECT_EQ(Device.OpenCount, 0);
    EXPECT_TRUE(Control<QToolButton>("StartBut")->isEnabled());
}

TEST_F(ExerciseControl, StartOnTheTextPageKeysTheWindowText) {
    StartText("cq de Ра3abc\nk");
    ExpectControls(TextExercise);
    EXPECT_EQ(Window->Exercise().State().PlayText, "CQ DE \xD0\xE0"
                                                   "3ABCK");
    EXPECT_EQ(Window->Exercise().State().PlayPos, 1);
    EXPECT_EQ(Device.OpenCount, 1);
}

TEST_F(ExerciseControl, EmptyTextWindowKeysOneSpaceAndEnds) {
    Device.AutoComplete = true;
    StartText("");
    EXPECT_EQ(Window->Exercise().State().PlayText, " ");
    ASSERT_TRUE(ProcessUntil([&] { return Messages.CountOf(EndText) == 1; }));
    ExpectControls(Idle);
}

TEST_F(ExerciseControl, TextIsKeyedToItsEndAndEndsTheExercise) {
    Device.AutoComplete = true;
    Control<QSlider>("SpeedTrackBar")->setValue(40);
    bool stopFirst = false;
    bool closedUnderMessage = false;
    Messages.OnMessage = [&](const MessageRecorder::Entry&) {
        stopFirst = Window->Exercise().State().StopRequested;
        // As a modal box does: the last completion is handled meanwhile.
        closedUnderMessage = ProcessUntil([&] { return !Device.IsOpen(); });
    };
    StartText("PARIS  CQ 73");
    ASSERT_TRUE(ProcessUntil([&] { return Messages.CountOf(EndText) == 1; }));
    ASSERT_TRUE(ProcessUntil([&] { return !Device.IsOpen(); }));
    for (int n = 0; n < 100; ++n)
        QCoreApplication::processEvents();
    EXPECT_TRUE(stopFirst);
    EXPECT_TRUE(closedUnderMessage);
    EXPECT_EQ(Messages.Messages.size(), 1u);
    EXPECT_EQ(Messages.Messages[0].Caption, "Внимание!");
    ExpectControls(Idle);
    EXPECT_TRUE(Window->Exercise().CharKeyer().WordStart());

    KeyerSettings settings;
    settings.DotSamples = 9600 / 40;
    settings.ToneFreq = 800.0L;
    settings.ActivePage = TextPage;
    EXPECT_EQ(Device.Writes.size(), 12u);
    EXPECT_EQ(Device.AllSamples(), KeyedText("PARIS  CQ 73", settings));
}

TEST_F(ExerciseControl, StopSilencesAtTheNextCompletion) {
    StartText("PARIS PARIS");
    ASSERT_TRUE(ProcessUntil([&] { return Device.QueuedCount() == 2; }));
    Control<QToolButton>("StopBut")->click();
    ExpectControls(Idle);
    EXPECT_TRUE(Window->Exercise().State().StopRequested);
    EXPECT_TRUE(Device.IsOpen());
    Device.CompleteNext();
    ASSERT_TRUE(ProcessUntil([&] { return !Device.IsOpen(); }));
    EXPECT_EQ(Device.Writes.size(), 2u);
    EXPECT_EQ(Messages.CountOf(EndText), 1);
}

TEST_F(ExerciseControl, FailedOpeningWarnsAndLeavesTheExerciseToStop) {
    Device.NextOpenResult = MmNoDriver;
    StartText("PARIS");
    ASSERT_EQ(Messages.Messages.size(), 1u);
    EXPECT_EQ(Messages.Messages[0].Text,
              "Error opening waveform audio!\r\nno device driver present");
    EXPECT_EQ(Messages.Messages[0].Caption, "Warning");
    EXPECT_EQ(Messages.Messages[0].Icon, MessageIcon::Warning);
    ExpectControls(TextExercise);
    Control<QToolButton>("StopBut")->click();
    ExpectControls(Idle);
}

using PreliminaryTest = ExerciseControl;

TEST_F(PreliminaryTest, TogglesFromTheButton) {
    Control<QToolButton>("TestBut")->click();
    ExpectControls(TestFromIdle);
    EXPECT_TRUE(Window->Exercise().TestRunning());
    EXPECT_EQ(Window->Exercise().State().PlayText, std::string(1001, 'V') + " ");
    EXPECT_EQ(Window->Exercise().State().PlayPos, 1);
    EXPECT_EQ(Device.OpenCount, 1);
    Control<QToolButton>("TestBut")->click();
    ExpectControls(Idle);
    EXPECT_FALSE(Window->Exercise().TestRunning());
    EXPECT_TRUE(Window->Exercise().State().StopRequested);
    EXPECT_EQ(Window->focusWidget(), Control<QLineEdit>("CallEdit"));
}

TEST_F(PreliminaryTest, OnTheCallsignPageRunsOutIntoThePause) {
    Device.AutoComplete = true;
    Control<QToolButton>("TestBut")->click();
    ASSERT_TRUE(ProcessUntil(
        [&] { return Window->Exercise().State().AwaitingAnswer && !Device.IsOpen(); }));
    EXPECT_EQ(Device.Writes.size(), 1002u); // every V and the space after them
    EXPECT_TRUE(Window->Exercise().TestRunning());
    EXPECT_EQ(Control<QToolButton>("TestBut")->text(), "Стоп");
    EXPECT_TRUE(Messages.Messages.empty());
    // Stopping it leaves no answer to evaluate.
    Control<QToolButton>("TestBut")->click();
    EXPECT_FALSE(Window->Exercise().State().AwaitingAnswer);
    EXPECT_TRUE(Window->Exercise().State().SentText.empty());
    ExpectControls(Idle);
}

TEST_F(PreliminaryTest, OnTheTextPageRunsOutIntoTheEnd) {
    Device.AutoComplete = true;
    ShowPage(TextPage);
    Control<QToolButton>("TestBut")->click();
    ASSERT_TRUE(ProcessUntil([&] { return Messages.CountOf(EndText) == 1; }));
    EXPECT_TRUE(Window->Exercise().TestRunning());
    ExpectControls({true, false, true, true, true, true, true, "Стоп"});
    // A new exercise replaces the finished test.
    Device.AutoComplete = false;
    StartText("CQ");
    EXPECT_FALSE(Window->Exercise().TestRunning());
    ExpectControls(TextExercise);
}

using Shortcuts = ExerciseControl;

TEST_F(Shortcuts, CallEditStartsAndTogglesTheTest) {
    Key("CallEdit", Qt::Key_Escape); // no test to stop
    EXPECT_EQ(Device.OpenCount, 0);
    Key("CallEdit", Qt::Key_F3);
    EXPECT_TRUE(Window->Exercise().TestRunning());
    Key("CallEdit", Qt::Key_F3); // refused while the test runs
    Key("CallEdit", Qt::Key_Return);
    EXPECT_TRUE(Window->Exercise().TestRunning());
    EXPECT_EQ(Device.OpenCount, 1);
    EXPECT_TRUE(Messages.Messages.empty());
    Key("CallEdit", Qt::Key_Escape);
    EXPECT_FALSE(Window->Exercise().TestRunning());
    ExpectControls(Idle);

    Control<QLineEdit>("CallEdit")->setText("UA3ABC");
    Key("CallEdit", Qt::Key_Return);
    ExpectControls(CallExercise);
    EXPECT_EQ(Device.OpenCount, 2);
}

TEST_F(Shortcuts, TrackBarsAndGridStartAndToggleTheTest) {
    ShowPage(TextPage);
    for (const char* control : {"SpeedTrackBar", "PitchTrackBar", "VolTrackBar", "LastGrid"}) {
        SCOPED_TRACE(control);
        const int opened = Device.OpenCount;
        Key(control, Qt::Key_Escape);
        EXPECT_EQ(Device.OpenCount, opened);
        Key(control, Qt::Key_F3);
        EXPECT_TRUE(Window->Exercise().TestRunning());
        Key(control, Qt::Key_Return);
        Key(control, Qt::Key_F3);
        EXPECT_TRUE(Window->Exercise().TestRunning());
        EXPECT_EQ(Device.OpenCount, opened + 1);
        Key(control, Qt::Key_Escape);
        EXPECT_FALSE(Window->Exercise().TestRunning());
        Key(control, Qt::Key_Enter);
        ExpectControls(TextExercise);
        EXPECT_EQ(Device.OpenCount, opened + 2);
        Control<QToolButton>("StopBut")->click();
    }
}

TEST_F(Shortcuts, NeverRestartARunningExercise) {
    StartText("PARIS PARIS");
    ASSERT_TRUE(ProcessUntil([&] { return Device.QueuedCount() == 2; }));
    const int position = Window->Exercise().State().PlayPos;
    // The track bars stay usable while a text is keyed.
    Key("SpeedTrackBar", Qt::Key_Return);
    Key("SpeedTrackBar", Qt::Key_F3);
    Key("VolTrackBar", Qt::Key_Enter);
    EXPECT_EQ(Device.OpenCount, 1);
    EXPECT_EQ(Window->Exercise().State().PlayPos, position);
    EXPECT_FALSE(Window->Exercise().TestRunning());
    ExpectControls(TextExercise);
}

TEST_F(Shortcuts, EscInTheAnswerFieldStopsACallsignExercise) {
    StartCallsigns();
    Key("Input", Qt::Key_Escape); // nothing keyed yet
    EXPECT_EQ(Messages.CountOf(EndText), 0);
    // The device reports open and the first letters are queued.
    ASSERT_TRUE(ProcessUntil([&] { return !Window->Exercise().State().SentText.empty(); }));
    Key("Input", Qt::Key_Escape);
    EXPECT_EQ(Messages.CountOf(EndText), 1);
    ExpectControls(Idle);
    Key("Input", Qt::Key_Escape); // nothing left to stop
    EXPECT_EQ(Messages.CountOf(EndText), 1);
}

TEST_F(Shortcuts, EscInTheAnswerFieldLeavesTheTestAlone) {
    Control<QToolButton>("TestBut")->click();
    ASSERT_TRUE(ProcessUntil([&] { return !Window->Exercise().State().SentText.empty(); }));
    Key("Input", Qt::Key_Escape);
    EXPECT_TRUE(Window->Exercise().TestRunning());
    EXPECT_TRUE(Messages.Messages.empty());
}

using Closing = ExerciseControl;

TEST_F(Closing, WhileKeyingStopsTheDeviceFirst) {
    StartText("PARIS PARIS PARIS");
    ASSERT_TRUE(ProcessUntil([&] { return Device.QueuedCount() == 2; }));
    Window.reset();
    EXPECT_FALSE(Device.IsOpen());
    // The returned buffers' notices find no window and do nothing.
    for (int n = 0; n < 100; ++n)
        QCoreApplication::processEvents();
}

TEST_F(Closing, UnderTheEndMessage) {
    Device.AutoComplete = true;
    Messages.OnMessage = [&](const MessageRecorder::Entry&) {
        Window->close();
        for (int n = 0; n < 100; ++n)
            QCoreApplication::processEvents();
    };
    StartText("CQ CQ");
    ASSERT_TRUE(ProcessUntil([&] { return Messages.CountOf(EndText) == 1; }));
    EXPECT_FALSE(Window->isVisible());
    EXPECT_FALSE(Device.IsOpen());
    Window.reset();
    for (int n = 0; n < 100; ++n)
        QCoreApplication::processEvents();
}

} // namespace
} // namespace tonvik
