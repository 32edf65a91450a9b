// An Enter is never lost: pressed while the callsign is still being keyed,
// while it is replayed, or in the silence after its last tone, it is taken
// as the answer the moment the callsign has been keyed in full.
#include "tests/support/WindowFixture.h"

#include <QTableWidget>

namespace tonvik {
namespace {

class EnterDuringKeying : public CallsignWindowFixture {
protected:
    // Plays the test device one buffer at a time until pred holds.
    bool PlayUntil(const std::function<bool()>& done) {
        for (int n = 0; n < 1000 && !done(); ++n) {
            if (!Device.CompleteNext())
                ProcessPending();
            ProcessPending();
        }
        return done();
    }

    // Points of a right six-character answer at wpm, unreplayed.
    static QString RightPoints(int wpm) { return QString::number(6 * wpm * wpm / 10); }
};

TEST_F(EnterDuringKeying, IsTakenWhenTheCallsignHasBeenKeyedAt30And100Wpm) {
    for (int wpm : {30, 100}) {
        SCOPED_TRACE(wpm);
        Control<QSlider>("SpeedTrackBar")->setValue(wpm);
        Start();
        // (a) Two letters queued, four to come.
        ASSERT_TRUE(ProcessUntil([&] { return Device.QueuedCount() == 2; }));
        Answer("UA3ABC");
        EXPECT_TRUE(Window->Callsigns().AnswerPending());
        EXPECT_EQ(Control<QLineEdit>("Input")->text(), "UA3ABC"); // kept, not lost
        // Held as it was at Enter: more typing and another Enter change nothing.
        QTest::keyClicks(Control<QLineEdit>("Input"), "X");
        Press(Qt::Key_Return);
        EXPECT_EQ(Control<QLineEdit>("Input")->text(), "UA3ABC");
        EXPECT_EQ(Text("NumberCallLbl"), "1");
        // Keyed in full, paused, closed: evaluated, and the next callsign starts.
        ASSERT_TRUE(PlayUntil([&] { return Text("NumberCallLbl") == "2"; }));
        EXPECT_EQ(Text("PointLbl"), RightPoints(wpm));
        EXPECT_TRUE(Control<QLineEdit>("Input")->text().isEmpty());
        EXPECT_FALSE(Control<QLineEdit>("Input")->isReadOnly());
        EXPECT_TRUE(Device.IsOpen());

        // (c) The space is queued behind the last letter, whose buffer (its
        // tone and the silence after it) is still playing.
        ASSERT_TRUE(PlayUntil([&] { return Play().SentText == Call; }));
        ASSERT_FALSE(Play().AwaitingAnswer);
        Answer("UA3ABD");
        EXPECT_TRUE(Window->Callsigns().AnswerPending());
        ASSERT_TRUE(PlayUntil([&] { return Text("NumberCallLbl") == "3"; }));
        EXPECT_EQ(Window->Callsigns().Session().ErrorCount(), 1);
        EXPECT_EQ(Control<QTextEdit>("OutWin")->document()->blockCount(), 2);

        // Stop silences at the next completion.
        Stop();
        ASSERT_TRUE(PlayUntil([&] { return Closed(); }));
        EXPECT_FALSE(Window->Callsigns().AnswerPending());
        ExpectOneDeviceAtATime();
    }
}

TEST_F(EnterDuringKeying, F6TakesBackAnAnswerGivenDuringKeying) {
    Start();
    ASSERT_TRUE(ProcessUntil([&] { return Device.QueuedCount() == 2; }));
    Answer("UA3ABC");
    ASSERT_TRUE(Window->Callsigns().AnswerPending());
    ASSERT_TRUE(ProcessUntil([&] { return Device.QueuedCount() == 2; }));
    Press(Qt::Key_F6);
    EXPECT_FALSE(Window->Callsigns().AnswerPending());
    EXPECT_FALSE(Control<QLineEdit>("Input")->isReadOnly());
    ASSERT_TRUE(KeyToPause());
    EXPECT_EQ(Text("NumberCallLbl"), "1"); // waiting for an answer to the replay
    Answer("UA3ABC");
    EXPECT_EQ(Text("PointLbl"), "270"); // half value after the replay
}

TEST_F(EnterDuringKeying, OfTheLastCallsignEndsTheExerciseNormally) {
    Start();
    for (int number = 1; number < 30; ++number) {
        ASSERT_TRUE(KeyToPause());
        Answer("UA3ABC");
    }
    Device.AutoComplete = false;
    ASSERT_TRUE(ProcessUntil([&] { return Device.QueuedCount() == 2; }));
    EXPECT_EQ(Text("NumberCallLbl"), "30");
    Answer("UA3ABC");
    Device.AutoComplete = true;
    Device.CompleteNext();
    ASSERT_TRUE(ProcessUntil([&] { return Messages.CountOf(EndText) == 1 && Closed(); }));
    EXPECT_EQ(Text("NumberCallLbl"), "0");
    EXPECT_EQ(Control<QTableWidget>("LastGrid")->item(1, 1)->text(), "90");
    EXPECT_EQ(Window->Callsigns().Session().MaxWpm(), 90);
    ExpectOneDeviceAtATime();
}

TEST_F(EnterDuringKeying, IsNotTakenOutsideACallsignOrWhenNothingIsKeyed) {
    // The device failed: nothing is being keyed, so nothing is kept.
    Device.NextOpenResult = MmNoDriver;
    Start();
    Answer("UA3ABC");
    EXPECT_FALSE(Window->Callsigns().AnswerPending());
    EXPECT_EQ(Control<QLineEdit>("Input")->text(), "UA3ABC");
    Stop();
    // The test's letters are no callsign.
    Control<QToolButton>("TestBut")->click();
    ASSERT_TRUE(ProcessUntil([&] { return Device.QueuedCount() == 2; }));
    Answer("VVV");
    EXPECT_FALSE(Window->Callsigns().AnswerPending());
}

} // namespace
} // namespace tonvik
