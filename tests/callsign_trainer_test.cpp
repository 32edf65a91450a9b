// The callsign page at work: the draw, the pause after every callsign, the
// answers with their points, speed and tone, the replay and the error list.
#include "tests/support/WindowFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QScrollBar>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextEdit>
#include <QWheelEvent>

#include <cmath>
#include <set>
#include <vector>

namespace tonvik {
namespace {

// One run of one colour in a line of the error list.
struct ColourRun {
    QString Text;
    QColor Colour;
    bool operator==(const ColourRun&) const = default;
};

std::ostream& operator<<(std::ostream& out, const ColourRun& run) {
    return out << '"' << run.Text.toStdString() << "\" " << run.Colour.name().toStdString();
}

std::vector<ColourRun> Runs(const QTextBlock& block) {
    std::vector<ColourRun> runs;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        runs.push_back({fragment.text(), fragment.charFormat().foreground().color()});
    }
    return runs;
}

class CallsignTrainer : public CallsignWindowFixture {
protected:
    QTextEdit* OutWin() const { return Control<QTextEdit>("OutWin"); }
};

TEST_F(CallsignTrainer, ThirtyCallsignsAreDrawnAndTheFirstIsKeyedAtTheSetPitch) {
    Start();
    EXPECT_EQ(Play().PlayText, Repeated(Call, 30));
    ASSERT_TRUE(KeyToPause());
    EXPECT_EQ(Play().SentText, Call);
    EXPECT_EQ(Device.Writes.size(), 7u);
    EXPECT_EQ(SamplesSince(Device, 0), Keyed(Call, 30, 800.0L));
}

TEST_F(CallsignTrainer, RightAnswerScoresAndRaisesTheSpeed) {
    Start();
    ASSERT_TRUE(KeyToPause());
    // 6 * 30^2 = 5400, 540 points, two wpm faster.
    Answer("UA3ABC");
    EXPECT_EQ(Window->Callsigns().Session().CallPoints(), 5400.0);
    EXPECT_EQ(Text("PointLbl"), "540");
    EXPECT_EQ(Text("AllPointLbl"), "540");
    EXPECT_EQ(Speed(), 32);
    EXPECT_EQ(Window->Exercise().DotSamples(), 300);
    EXPECT_EQ(Text("NowWpmLbl"), "32");
    EXPECT_EQ(Window->Callsigns().Session().MaxWpm(), 32);
    EXPECT_EQ(Text("NumberCallLbl"), "2");
    EXPECT_TRUE(Control<QLineEdit>("Input")->text().isEmpty());
    EXPECT_EQ(Play().CallStartPos, 8);
    EXPECT_EQ(Window->Callsigns().Session().ReplayFactor(), 1.0L);
    EXPECT_EQ(OutWin()->toPlainText(), "");

    // The next callsign at the new speed and the new tone.
    const std::size_t firstWrite = Device.Writes.size();
    const long double secondTone = Window->Exercise().ToneFreq();
    ASSERT_TRUE(KeyToPause());
    EXPECT_EQ(SamplesSince(Device, firstWrite), Keyed(Call, 32, secondTone));
}

TEST_F(CallsignTrainer, WrongAnswerScoresItsRightCharactersAndLowersTheSpeed) {
    Control<QSlider>("SpeedTrackBar")->setValue(32);
    Start();
    ASSERT_TRUE(KeyToPause());
    // Last character wrong at 32 wpm: (5/6)^4 * 6 * 32^2, 296 points, one wpm slower.
    Answer("UA3ABD");
    EXPECT_NEAR(Window->Callsigns().Session().CallPoints(), 2962.962962962963, 1e-9);
    EXPECT_EQ(Window->Callsigns().Session().ErrorCount(), 1);
    EXPECT_EQ(Text("PointLbl"), "296");
    EXPECT_EQ(Text("AllPointLbl"), "296");
    EXPECT_EQ(Speed(), 31);
    EXPECT_EQ(Window->Callsigns().Session().MaxWpm(), 0);
}

TEST_F(CallsignTrainer, ReplayedCallsignScoresHalfAndKeepsTheSpeed) {
    Control<QSlider>("SpeedTrackBar")->setValue(31);
    Start();
    ASSERT_TRUE(KeyToPause());
    const int callStart = Play().CallStartPos;
    const std::size_t firstWrite = Device.Writes.size();
    Press(Qt::Key_F6);
    EXPECT_EQ(Window->Callsigns().Session().ReplayFactor(), 0.5L);
    EXPECT_EQ(Play().PlayPos, callStart);
    ASSERT_TRUE(KeyToPause());
    EXPECT_EQ(Play().SentText, Call);
    EXPECT_EQ(SamplesSince(Device, firstWrite), Keyed(Call, 31, Window->Exercise().ToneFreq()));
    // 6 * 0.5 * 31^2 = 2883, 288 points, and no raise.
    Answer("UA3ABC");
    EXPECT_EQ(Window->Callsigns().Session().CallPoints(), 2883.0);
    EXPECT_EQ(Text("PointLbl"), "288");
    EXPECT_EQ(Speed(), 31);
    EXPECT_EQ(Window->Callsigns().Session().MaxWpm(), 31);
}

TEST_F(CallsignTrainer, WrongAnswersAreListedInTheirColours) {
    Start();
    ASSERT_TRUE(KeyToPause());
    Answer("UA3ABD");
    ASSERT_TRUE(KeyToPause());
    // No answer at all: every position wrong, nothing scored.
    Answer("");
    EXPECT_EQ(Window->Callsigns().Session().ErrorCount(), 6);
    EXPECT_EQ(Text("PointLbl"), "0");
    EXPECT_EQ(Speed(), 28);

    // The heading, then the sent part in blue and the arrow with the answer
    // in red; the caret at the latest line.
    QTextDocument* errors = OutWin()->document();
    ASSERT_EQ(errors->blockCount(), 3);
    EXPECT_EQ(Runs(errors->findBlockByNumber(0)), (std::vector<ColourRun>{{"Ошибки:", Qt::red}}));
    EXPECT_EQ(Runs(errors->findBlockByNumber(1)),
              (std::vector<ColourRun>{{"UA3ABC ", Qt::blue}, {" --> UA3ABD", Qt::red}}));
    EXPECT_EQ(Runs(errors->findBlockByNumber(2)),
              (std::vector<ColourRun>{{"UA3ABC ", Qt::blue}, {" --> ", Qt::red}}));
    EXPECT_EQ(OutWin()->textCursor().position(), errors->findBlockByNumber(2).position());
}

TEST_F(CallsignTrainer, ThirtyAnswersEndTheExerciseAndRecordIt) {
    Start();
    // Each right, each two wpm faster than the one before, each after the
    // first at a whole-hertz tone within 50 Hz of the set pitch.
    int wpm = 30;
    double total = 0;
    std::set<long double> tones;
    QString numberAtEnd;
    for (int number = 1; number <= 30; ++number) {
        SCOPED_TRACE(number);
        ASSERT_TRUE(KeyToPause());
        EXPECT_EQ(Play().SentText, Call);
        if (number == 30)
            Messages.OnMessage = [&](const MessageRecorder::Entry&) {
                numberAtEnd = Text("NumberCallLbl");
            };
        Answer("UA3ABC");
        total += std::nearbyint(6.0 * wpm * wpm / 10.0);
        wpm += 2;
        EXPECT_EQ(Speed(), wpm);
        EXPECT_EQ(Window->Callsigns().Session().MaxWpm(), wpm);
        EXPECT_EQ(Text("AllPointLbl"), QString::number(total, 'f', 0));
        const long double tone = Window->Exercise().ToneFreq();
        tones.insert(tone);
        EXPECT_GE(tone, 750.0L);
        EXPECT_LE(tone, 849.0L);
        EXPECT_EQ(tone, std::floor(tone));
    }
    EXPECT_GT(tones.size(), 1u);

    // After the 30th answer the device opens past the end of the callsigns,
    // and the exercise ends at its first completion.
    ASSERT_TRUE(ProcessUntil([&] { return Messages.CountOf(EndText) == 1 && Closed(); }));
    EXPECT_EQ(numberAtEnd, "31");
    EXPECT_EQ(Messages.Messages.size(), 1u);
    EXPECT_EQ(Text("NumberCallLbl"), "0");
    EXPECT_EQ(Device.Writes.size(), 30u * 7 + 2); // 30 callsigns, the end
    EXPECT_EQ(Device.OpenCount, 31);              // Start and 30 next calls
    ExpectOneDeviceAtATime();

    auto* grid = Control<QTableWidget>("LastGrid");
    EXPECT_EQ(grid->item(1, 0)->text(), "RK3ABC");
    EXPECT_EQ(grid->item(1, 1)->text(), QString::number(wpm));
    EXPECT_EQ(grid->item(1, 2)->text(), QString::number(total, 'f', 0));
    EXPECT_EQ(Window->Callsigns().Results().NextResultRow(), 2);
}

TEST_F(CallsignTrainer, FixedSpeedScoresButShowsAndRecordsNothing) {
    Control<QCheckBox>("SpeedBox")->setChecked(true);
    Start();
    for (const QString answer : {"UA3ABC", "UA3ABC", "UA3ABD"}) {
        ASSERT_TRUE(KeyToPause());
        Answer(answer);
        EXPECT_EQ(Speed(), 30);
    }
    EXPECT_EQ(Window->Callsigns().Session().TotalPoints(), 540.0 + 540.0 + 260.0);
    EXPECT_EQ(Window->Callsigns().Session().MaxWpm(), 30);
    EXPECT_EQ(Text("PointLbl"), "0");
    EXPECT_EQ(Text("AllPointLbl"), "0");
    EXPECT_EQ(OutWin()->document()->blockCount(), 2); // wrong answers are still listed
    Stop();
    ASSERT_TRUE(ProcessUntil([&] { return Closed(); }));
    EXPECT_EQ(Messages.CountOf(EndText), 1);
    EXPECT_EQ(Window->Callsigns().Results().NextResultRow(), 1);
    EXPECT_EQ(Control<QTableWidget>("LastGrid")->item(1, 0)->text(), "");
}

TEST_F(CallsignTrainer, AClickOnAFixBoxGivesTheFocusBackToTheAnswer) {
    Start();
    ASSERT_TRUE(KeyToPause());
    for (const char* box : {"SpeedBox", "ToneBox"}) {
        QTest::mouseClick(Control<QCheckBox>(box), Qt::LeftButton);
        EXPECT_TRUE(Control<QCheckBox>(box)->isChecked());
        EXPECT_EQ(QApplication::focusWidget(), Control<QLineEdit>("Input")) << box;
    }
    QTest::keyClicks(QApplication::focusWidget(), "UA3ABC");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(Text("NumberCallLbl"), "2");
    Stop();
}

TEST_F(CallsignTrainer, FixedToneKeysEveryCallsignAtTheSetPitch) {
    Control<QSlider>("PitchTrackBar")->setValue(10);
    Control<QCheckBox>("ToneBox")->setChecked(true);
    Start();
    for (int number = 1; number <= 4; ++number) {
        SCOPED_TRACE(number);
        const std::size_t firstWrite = Device.Writes.size();
        ASSERT_TRUE(KeyToPause());
        EXPECT_EQ(Window->Exercise().ToneFreq(), 1000.0L);
        EXPECT_EQ(SamplesSince(Device, firstWrite), Keyed(Call, Speed(), 1000.0L));
        Answer("UA3ABC");
    }
    EXPECT_EQ(Speed(), 38); // the speed still adapts
    EXPECT_EQ(Window->Callsigns().Session().MaxWpm(), 38);
    EXPECT_EQ(Text("PointLbl"), "0");
    EXPECT_EQ(Text("AllPointLbl"), "0");
    Stop();
    EXPECT_EQ(Window->Callsigns().Results().NextResultRow(), 1);
}

TEST_F(CallsignTrainer, ToneVariesFromFiftyBelowToFortyNineAboveThePitch) {
    Control<QSlider>("PitchTrackBar")->setValue(5);
    Start();
    std::set<long double> tones;
    // Enough draws that each end of the hundred values comes up.
    for (int n = 0; n < 3000; ++n) {
        Window->NextCall();
        tones.insert(Window->Exercise().ToneFreq());
    }
    EXPECT_EQ(*tones.begin(), 450.0L);
    EXPECT_EQ(*tones.rbegin(), 549.0L);
    EXPECT_EQ(tones.size(), 100u); // whole hertz only
    Stop();
    ASSERT_TRUE(ProcessUntil([&] { return Closed(); }));
    ExpectOneDeviceAtATime();
}

TEST_F(CallsignTrainer, SpeedStaysWithinTenToHundred) {
    Control<QSlider>("SpeedTrackBar")->setValue(99);
    Start();
    ASSERT_TRUE(KeyToPause());
    Answer("UA3ABC");
    EXPECT_EQ(Speed(), 100);
    EXPECT_EQ(Window->Callsigns().Session().MaxWpm(), 100);
    ASSERT_TRUE(KeyToPause());
    Answer("UA3ABC");
    EXPECT_EQ(Speed(), 100);
    EXPECT_EQ(Window->Exercise().DotSamples(), 96);
    Stop();
}

TEST_F(CallsignTrainer, ErrorListFollowsTheLatestWrongAnswer) {
    Start();
    for (int number = 1; number <= 25; ++number) {
        ASSERT_TRUE(KeyToPause()) << number;
        Answer(QString("W%1").arg(number));
    }
    EXPECT_EQ(Speed(), 10); // 20 wrong answers from 30 wpm, then no lower
    EXPECT_EQ(Window->Exercise().DotSamples(), 960);
    QTextDocument* errors = OutWin()->document();
    ASSERT_EQ(errors->blockCount(), 26);
    EXPECT_EQ(errors->findBlockByNumber(0).text(), "Ошибки:");
    const QTextBlock last = errors->lastBlock();
    EXPECT_EQ(last.text(), "UA3ABC  --> W25");
    EXPECT_EQ(OutWin()->textCursor().position(), last.position());
    // Scrolled down far enough to show that line.
    EXPECT_GT(OutWin()->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(OutWin()->viewport()->rect().contains(OutWin()->cursorRect()));
    Stop();
}

TEST_F(CallsignTrainer, ErrorListCanBeScrolledBackWithoutTakingTheFocus) {
    Start();
    for (int number = 1; number <= 30; ++number) {
        ASSERT_TRUE(KeyToPause()) << number;
        Answer(QString("W%1").arg(number));
    }
    ASSERT_TRUE(ProcessUntil([&] { return Messages.CountOf(EndText) == 1 && Closed(); }));
    QScrollBar* bar = OutWin()->verticalScrollBar();
    ASSERT_GT(bar->value(), 0);
    EXPECT_TRUE(OutWin()->isEnabled());
    EXPECT_TRUE(OutWin()->isReadOnly());
    EXPECT_EQ(OutWin()->focusPolicy(), Qt::NoFocus); // out of the tab order
    // The mouse wheel over the list, turned towards the heading, as often as it takes.
    QWidget* viewport = OutWin()->viewport();
    const QPointF middle = viewport->rect().center();
    for (int turn = 0; turn < 100 && bar->value() > 0; ++turn) {
        QWheelEvent wheel(middle, viewport->mapToGlobal(middle), QPoint(), QPoint(0, 120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(viewport, &wheel);
    }
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(OutWin()->cursorForPosition(QPoint(4, 4)).block().text(), "Ошибки:");
    // Typing goes to the answer field all the while.
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_NE(QApplication::focusWidget(), OutWin());
}

TEST_F(CallsignTrainer, ReplayWhileKeyingRestartsTheCallsignOnOneDevice) {
    Start();
    ASSERT_TRUE(ProcessUntil([&] { return Device.QueuedCount() == 2; }));
    EXPECT_EQ(Window->Exercise().State().SentText, "UA");
    Press(Qt::Key_F6);
    EXPECT_EQ(Device.ResetCount, 1); // the keying device went first
    EXPECT_EQ(Device.CloseCount, 1);
    EXPECT_EQ(Device.OpenCount, 2);
    EXPECT_EQ(Window->Exercise().State().PlayPos, 1);
    EXPECT_TRUE(Window->Exercise().State().SentText.empty());
    EXPECT_EQ(Window->Callsigns().Session().ReplayFactor(), 0.5L);
    Press(Qt::Key_F6); // nothing queued yet: nothing to replay
    EXPECT_EQ(Device.OpenCount, 2);
    EXPECT_EQ(Window->Callsigns().Session().ReplayFactor(), 0.5L);

    const std::size_t firstWrite = Device.Writes.size();
    ASSERT_TRUE(KeyToPause());
    EXPECT_EQ(SamplesSince(Device, firstWrite), Keyed(Call, 30, 800.0L));

    // A replay from the pause: an Enter during it is kept until it has been
    // keyed in full, then evaluated, and the next callsign follows.
    Press(Qt::Key_F6);
    EXPECT_EQ(Window->Callsigns().Session().ReplayFactor(), 0.25L);
    Device.AutoComplete = false;
    ASSERT_TRUE(ProcessUntil([&] { return Device.QueuedCount() == 2; }));
    Answer("UA3ABC");
    EXPECT_TRUE(Window->Callsigns().AnswerPending());
    EXPECT_EQ(Window->Callsigns().Session().CallNumber(), 1);
    EXPECT_EQ(Text("PointLbl"), "0");
    EXPECT_EQ(Control<QLineEdit>("Input")->text(), "UA3ABC");
    ASSERT_TRUE(KeyToPause());
    EXPECT_EQ(Window->Callsigns().Session().CallPoints(), 1350.0); // 6 * 0.25 * 30^2
    EXPECT_EQ(Text("PointLbl"), "135");
    EXPECT_EQ(Speed(), 30);
    EXPECT_EQ(Window->Callsigns().Session().MaxWpm(), 30);
    EXPECT_EQ(Window->Callsigns().Session().CallNumber(), 2);

    Stop();
    ASSERT_TRUE(ProcessUntil([&] { return Closed(); }));
    ExpectOneDeviceAtATime();
}

} // namespace
} // namespace tonvik
