// The callsign page at work: the draw, the pause after every callsign, the
// answers with their points, speed and tone, the replay, the error list, and
// the callsign list's failures.
#include "CallsignTestSupport.h"

#include "Keyer.h"

#include <QCheckBox>
#include <QDir>
#include <QScrollBar>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextEdit>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

namespace tonvik {
namespace {

const QString EndText = "Прием закончен !";
const QString Caption = "Внимание!";
const std::string Call = "UA3ABC ";

std::string Repeated(const std::string& text, int times) {
    std::string all;
    for (int n = 0; n < times; ++n)
        all += text;
    return all;
}

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

// The samples of text keyed on the callsign page at a speed and tone.
std::vector<int16_t> Keyed(const std::string& text, int wpm, long double tone) {
    Keyer keyer;
    keyer.BuildSineTable(5);
    KeyerSettings settings;
    settings.DotSamples = 9600 / wpm;
    settings.ToneFreq = tone;
    settings.ActivePage = CallsignPage;
    std::vector<int16_t> all;
    std::vector<int16_t> buffer(WaveBufferSamples);
    for (char c : text) {
        const int32_t bytes = keyer.KeyChar(buffer.data(), static_cast<unsigned char>(c), settings);
        all.insert(all.end(), buffer.begin(), buffer.begin() + bytes / 2);
    }
    return all;
}

std::vector<int16_t> SamplesSince(const TestWaveOut& device, std::size_t firstWrite) {
    std::vector<int16_t> all;
    for (std::size_t n = firstWrite; n < device.Writes.size(); ++n)
        all.insert(all.end(), device.Writes[n].begin(), device.Writes[n].end());
    return all;
}

class CallsignTrainer : public CallsignWindowTest {
protected:
    QTextEdit* OutWin() const { return Control<QTextEdit>("OutWin"); }

    // Every opening was preceded by the close of the device before it, and
    // every buffer went to the device open at the time.
    void ExpectOneDeviceAtATime() const {
        EXPECT_EQ(Device.OpensOverOpenDevice, 0);
        EXPECT_EQ(Device.StrayWrites, 0);
        EXPECT_FALSE(Device.IsOpen());
        EXPECT_EQ(Device.CloseCount, Device.OpenCount);
        EXPECT_EQ(Device.ResetCount, Device.CloseCount);
    }

    bool Closed() const { return !Device.IsOpen() && Window->Pump().WaveDevice() == 0; }
};

TEST_F(CallsignTrainer, ExerciseOfThirtyCallsigns) {
    Start();
    EXPECT_EQ(Window->State.PlayText, Repeated(Call, 30));
    ASSERT_TRUE(KeyToPause());
    EXPECT_EQ(Window->State.SentText, Call);
    EXPECT_EQ(Device.Writes.size(), 7u);
    EXPECT_EQ(SamplesSince(Device, 0), Keyed(Call, 30, 800.0L)); // the set pitch, exactly

    // Right at 30 wpm: 6 * 30^2 = 5400, 540 points, two wpm faster.
    Answer("UA3ABC");
    EXPECT_EQ(Window->CallPoints, 5400.0);
    EXPECT_EQ(Text("PointLbl"), "540");
    EXPECT_EQ(Text("AllPointLbl"), "540");
    EXPECT_EQ(Speed(), 32);
    EXPECT_EQ(Window->DotSamples, 300);
    EXPECT_EQ(Text("NowWpmLbl"), "32");
    EXPECT_EQ(Window->MaxWpm, 32);
    EXPECT_EQ(Text("NumberCallLbl"), "2");
    EXPECT_TRUE(Control<QLineEdit>("Input")->text().isEmpty());
    EXPECT_EQ(Window->State.CallStartPos, 8);
    EXPECT_EQ(Window->ReplayFactor, 1.0L);
    EXPECT_EQ(OutWin()->toPlainText(), "");

    // The next callsign at the new speed and the new tone.
    std::size_t firstWrite = Device.Writes.size();
    const long double secondTone = Window->ToneFreq;
    ASSERT_TRUE(KeyToPause());
    EXPECT_EQ(SamplesSince(Device, firstWrite), Keyed(Call, 32, secondTone));

    // Last character wrong at 32 wpm: (5/6)^4 * 6 * 32^2, 296 points, one wpm slower.
    Answer("UA3ABD");
    EXPECT_NEAR(Window->CallPoints, 2962.962962962963, 1e-9);
    EXPECT_EQ(Window->ErrorCount, 1);
    EXPECT_EQ(Text("PointLbl"), "296");
    EXPECT_EQ(Text("AllPointLbl"), "836");
    EXPECT_EQ(Speed(), 31);
    EXPECT_EQ(Window->MaxWpm, 32);

    // Replayed once, then right at 31 wpm: 6 * 0.5 * 31^2 = 2883, 288 points,
    // and no raise.
    ASSERT_TRUE(KeyToPause());
    const int callStart = Window->State.CallStartPos;
    firstWrite = Device.Writes.size();
    Press(Qt::Key_F6);
    EXPECT_EQ(Window->ReplayFactor, 0.5L);
    EXPECT_EQ(Window->State.PlayPos, callStart);
    ASSERT_TRUE(KeyToPause());
    EXPECT_EQ(Window->State.SentText, Call);
    EXPECT_EQ(SamplesSince(Device, firstWrite), Keyed(Call, 31, Window->ToneFreq));
    Answer("UA3ABC");
    EXPECT_EQ(Window->CallPoints, 2883.0);
    EXPECT_EQ(Text("PointLbl"), "288");
    EXPECT_EQ(Text("AllPointLbl"), "1124");
    EXPECT_EQ(Speed(), 31);
    EXPECT_EQ(Window->MaxWpm, 32);

    // No answer at all: every position wrong.
    ASSERT_TRUE(KeyToPause());
    Answer("");
    EXPECT_EQ(Window->ErrorCount, 6);
    EXPECT_EQ(Text("PointLbl"), "0");
    EXPECT_EQ(Text("AllPointLbl"), "1124");
    EXPECT_EQ(Speed(), 30);

    // The error list: its heading, then the sent part in blue and the arrow
    // with the answer in red; the caret at the latest line.
    QTextDocument* errors = OutWin()->document();
    ASSERT_EQ(errors->blockCount(), 3);
    EXPECT_EQ(Runs(errors->findBlockByNumber(0)), (std::vector<ColourRun>{{"Ошибки:", Qt::red}}));
    EXPECT_EQ(Runs(errors->findBlockByNumber(1)),
              (std::vector<ColourRun>{{"UA3ABC ", Qt::blue}, {" --> UA3ABD", Qt::red}}));
    EXPECT_EQ(Runs(errors->findBlockByNumber(2)),
              (std::vector<ColourRun>{{"UA3ABC ", Qt::blue}, {" --> ", Qt::red}}));
    EXPECT_EQ(OutWin()->textCursor().position(), errors->findBlockByNumber(2).position());

    // The other 26 right, each two wpm faster than the one before, each at a
    // tone within 50 Hz of the set pitch.
    int wpm = 30;
    double total = 1124;
    std::set<long double> tones;
    QString numberAtEnd;
    for (int number = 5; number <= 30; ++number) {
        SCOPED_TRACE(number);
        ASSERT_TRUE(KeyToPause());
        EXPECT_EQ(Window->State.SentText, Call);
        if (number == 30)
            Messages.OnMessage = [&](const MessageRecorder::Entry&) {
                numberAtEnd = Text("NumberCallLbl");
            };
        Answer("UA3ABC");
        total += std::nearbyint(6.0 * wpm * wpm / 10.0);
        wpm += 2;
        EXPECT_EQ(Speed(), wpm);
        EXPECT_EQ(Window->MaxWpm, wpm);
        EXPECT_EQ(Text("AllPointLbl"), QString::number(total, 'f', 0));
        tones.insert(Window->ToneFreq);
        EXPECT_GE(Window->ToneFreq, 750.0L);
        EXPECT_LE(Window->ToneFreq, 849.0L);
        EXPECT_EQ(Window->ToneFreq, std::floor(Window->ToneFreq));
    }
    EXPECT_GT(tones.size(), 1u);

    // After the 30th answer the device opens past the end of the callsigns,
    // and the exercise ends at its first completion.
    ASSERT_TRUE(ProcessUntil([&] { return Messages.CountOf(EndText) == 1 && Closed(); }));
    EXPECT_EQ(numberAtEnd, "31");
    EXPECT_EQ(Messages.Messages.size(), 1u);
    EXPECT_EQ(Text("NumberCallLbl"), "0");
    EXPECT_EQ(errors->blockCount(), 3);
    EXPECT_EQ(Device.Writes.size(), 30u * 7 + 7 + 2); // 30 callsigns, a replay, the end
    EXPECT_EQ(Device.OpenCount, 32);                  // Start, the replay, 30 next calls
    ExpectOneDeviceAtATime();

    auto* grid = Control<QTableWidget>("LastGrid");
    EXPECT_EQ(grid->item(1, 0)->text(), "RK3ABC");
    EXPECT_EQ(grid->item(1, 1)->text(), QString::number(wpm));
    EXPECT_EQ(grid->item(1, 2)->text(), QString::number(total, 'f', 0));
    EXPECT_EQ(Window->Results().NextResultRow(), 2);
}

TEST_F(CallsignTrainer, FixedSpeedScoresButShowsAndRecordsNothing) {
    Control<QCheckBox>("SpeedBox")->setChecked(true);
    Start();
    for (const QString answer : {"UA3ABC", "UA3ABC", "UA3ABD"}) {
        ASSERT_TRUE(KeyToPause());
        Answer(answer);
        EXPECT_EQ(Speed(), 30);
    }
    EXPECT_EQ(Window->TotalPoints, 540.0 + 540.0 + 260.0);
    EXPECT_EQ(Window->MaxWpm, 30);
    EXPECT_EQ(Text("PointLbl"), "0");
    EXPECT_EQ(Text("AllPointLbl"), "0");
    EXPECT_EQ(OutWin()->document()->blockCount(), 2); // wrong answers are still listed
    Stop();
    ASSERT_TRUE(ProcessUntil([&] { return Closed(); }));
    EXPECT_EQ(Messages.CountOf(EndText), 1);
    EXPECT_EQ(Window->Results().NextResultRow(), 1);
    EXPECT_EQ(Control<QTableWidget>("LastGrid")->item(1, 0)->text(), "");
}

TEST_F(CallsignTrainer, FixedToneKeysEveryCallsignAtTheSetPitch) {
    Control<QSlider>("PitchTrackBar")->setValue(10);
    Control<QCheckBox>("ToneBox")->setChecked(true);
    Start();
    for (int number = 1; number <= 4; ++number) {
        SCOPED_TRACE(number);
        const std::size_t firstWrite = Device.Writes.size();
        ASSERT_TRUE(KeyToPause());
        EXPECT_EQ(Window->ToneFreq, 1000.0L);
        EXPECT_EQ(SamplesSince(Device, firstWrite), Keyed(Call, Speed(), 1000.0L));
        Answer("UA3ABC");
    }
    EXPECT_EQ(Speed(), 38); // the speed still adapts
    EXPECT_EQ(Window->MaxWpm, 38);
    EXPECT_EQ(Text("PointLbl"), "0");
    EXPECT_EQ(Text("AllPointLbl"), "0");
    Stop();
    EXPECT_EQ(Window->Results().NextResultRow(), 1);
}

TEST_F(CallsignTrainer, ToneVariesFromFiftyBelowToFortyNineAboveThePitch) {
    Control<QSlider>("PitchTrackBar")->setValue(5);
    Start();
    std::set<long double> tones;
    // Enough draws that each end of the hundred values comes up.
    for (int n = 0; n < 3000; ++n) {
        Window->NextCall();
        tones.insert(Window->ToneFreq);
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
    EXPECT_EQ(Window->MaxWpm, 100);
    ASSERT_TRUE(KeyToPause());
    Answer("UA3ABC");
    EXPECT_EQ(Speed(), 100);
    EXPECT_EQ(Window->DotSamples, 96);
    Stop();
}

TEST_F(CallsignTrainer, ErrorListFollowsTheLatestWrongAnswer) {
    Start();
    for (int number = 1; number <= 25; ++number) {
        ASSERT_TRUE(KeyToPause()) << number;
        Answer(QString("W%1").arg(number));
    }
    EXPECT_EQ(Speed(), 10); // 20 wrong answers from 30 wpm, then no lower
    EXPECT_EQ(Window->DotSamples, 960);
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

TEST_F(CallsignTrainer, ReplayWhileKeyingRestartsTheCallsignOnOneDevice) {
    Start();
    ASSERT_TRUE(ProcessUntil([&] { return Device.QueuedCount() == 2; }));
    EXPECT_EQ(Window->State.SentText, "UA");
    Press(Qt::Key_F6);
    EXPECT_EQ(Device.ResetCount, 1); // the keying device went first
    EXPECT_EQ(Device.CloseCount, 1);
    EXPECT_EQ(Device.OpenCount, 2);
    EXPECT_EQ(Window->State.PlayPos, 1);
    EXPECT_TRUE(Window->State.SentText.empty());
    EXPECT_EQ(Window->ReplayFactor, 0.5L);
    Press(Qt::Key_F6); // nothing queued yet: nothing to replay
    EXPECT_EQ(Device.OpenCount, 2);
    EXPECT_EQ(Window->ReplayFactor, 0.5L);

    const std::size_t firstWrite = Device.Writes.size();
    ASSERT_TRUE(KeyToPause());
    EXPECT_EQ(SamplesSince(Device, firstWrite), Keyed(Call, 30, 800.0L));

    // A replay from the pause: Enter waits until it has been keyed in full.
    Press(Qt::Key_F6);
    EXPECT_EQ(Window->ReplayFactor, 0.25L);
    Device.AutoComplete = false;
    ASSERT_TRUE(ProcessUntil([&] { return Device.QueuedCount() == 2; }));
    Answer("UA3ABC");
    EXPECT_EQ(Window->CallNumber, 1);
    EXPECT_EQ(Text("PointLbl"), "0");
    EXPECT_EQ(Control<QLineEdit>("Input")->text(), "UA3ABC");
    ASSERT_TRUE(KeyToPause());
    Answer("UA3ABC");
    EXPECT_EQ(Window->CallPoints, 1350.0); // 6 * 0.25 * 30^2
    EXPECT_EQ(Text("PointLbl"), "135");
    EXPECT_EQ(Speed(), 30);
    EXPECT_EQ(Window->MaxWpm, 30);
    EXPECT_EQ(Window->CallNumber, 2);

    Stop();
    ASSERT_TRUE(ProcessUntil([&] { return Closed(); }));
    ExpectOneDeviceAtATime();
}

TEST_F(CallsignTrainer, AnswerBeforeTheDeviceHasReportedItsClose) {
    Device.AutoComplete = true;
    Start();
    ASSERT_TRUE(ProcessUntil([&] { return Window->State.AwaitingAnswer; }));
    ASSERT_NE(Window->Pump().WaveDevice(), 0u); // its close notice is still on the way
    Answer("UA3ABC");
    EXPECT_EQ(Text("PointLbl"), "540");
    ASSERT_TRUE(KeyToPause());
    EXPECT_EQ(Window->State.SentText, Call);
    Press(Qt::Key_Escape);
    ASSERT_TRUE(ProcessUntil([&] { return Closed(); }));
    EXPECT_EQ(Messages.CountOf(EndText), 1);
    ExpectOneDeviceAtATime();
}

TEST_F(CallsignTrainer, ReplayWhoseDeviceFailsLeavesOnlyStop) {
    Start();
    ASSERT_TRUE(KeyToPause());
    Device.NextOpenResult = MmNoDriver;
    Press(Qt::Key_F6);
    ASSERT_EQ(Messages.Messages.size(), 1u);
    EXPECT_EQ(Messages.Messages[0].Caption, "Warning");
    EXPECT_TRUE(Window->State.SentText.empty());
    Answer("UA3ABC"); // nothing keyed to compare with
    Press(Qt::Key_Escape);
    EXPECT_EQ(Window->CallNumber, 1);
    EXPECT_EQ(Text("PointLbl"), "0");
    EXPECT_EQ(Messages.CountOf(EndText), 0);
    Stop();
    EXPECT_EQ(Messages.CountOf(EndText), 1);
    EXPECT_EQ(Device.OpensOverOpenDevice, 0);
    EXPECT_EQ(Device.StrayWrites, 0);
    EXPECT_EQ(Window->Pump().WaveDevice(), 0u);
}

TEST_F(CallsignTrainer, AnswerKeysRestOnceTheExerciseHasEnded) {
    Start();
    ASSERT_TRUE(KeyToPause());
    Stop(); // in the pause: the answer gate and the sent callsign outlive it
    ASSERT_TRUE(Window->State.AwaitingAnswer);
    ASSERT_EQ(Window->State.SentText, Call);
    const int opened = Device.OpenCount;
    Answer("UA3ABC");
    Press(Qt::Key_F6);
    Press(Qt::Key_Escape);
    EXPECT_EQ(Device.OpenCount, opened);
    EXPECT_EQ(Window->CallNumber, 1);
    EXPECT_EQ(Text("PointLbl"), "0");
    EXPECT_EQ(Messages.CountOf(EndText), 1);

    // The letters of the test are no callsign to replay or answer.
    Control<QToolButton>("TestBut")->click();
    Device.AutoComplete = false;
    ASSERT_TRUE(ProcessUntil([&] { return Device.QueuedCount() == 2; }));
    const int position = Window->State.PlayPos;
    Press(Qt::Key_F6);
    Answer("VV");
    EXPECT_EQ(Window->State.PlayPos, position);
    EXPECT_EQ(Device.OpenCount, opened + 1);
    EXPECT_EQ(Window->CallNumber, 1);
    Control<QToolButton>("TestBut")->click();
}

TEST_F(CallsignTrainer, ListsThatCannotBeDrawnFromEndTheExerciseAtOnce) {
    struct Case {
        const char* Name;
        std::function<void()> Prepare;
        QString Message;
    };
    const std::vector<Case> cases = {
        {"missing", [&] { QFile::remove(ListPath()); },
         "Не найден файл master.ped! Работа программы невозможна"},
        {"empty", [&] { WriteList(""); }, "Файл master.ped пуст! Работа программы невозможна"},
        {"binary", [&] { WriteList(std::string("UA3ABC\0\x01\x02", 9)); },
         "Файл master.ped не является текстовым! Работа программы невозможна"},
        {"directory", [&] { Window->SetCallsignListFile(ListDir.path()); },
         "Не удается прочитать файл master.ped! Работа программы невозможна"},
    };
    Device.AutoComplete = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        c.Prepare();
        Messages.Messages.clear();
        const std::size_t firstWrite = Device.Writes.size();
        Start();
        ASSERT_FALSE(Messages.Messages.empty());
        EXPECT_EQ(Messages.Messages[0].Text, c.Message);
        EXPECT_EQ(Messages.Messages[0].Caption, Caption);
        EXPECT_EQ(Window->State.PlayText, " ");
        ASSERT_TRUE(ProcessUntil([&] { return Messages.CountOf(EndText) == 1 && Closed(); }));
        EXPECT_EQ(Messages.Messages.size(), 2u);
        EXPECT_FALSE(Window->State.AwaitingAnswer);
        const std::vector<int16_t> keyed = SamplesSince(Device, firstWrite);
        EXPECT_FALSE(keyed.empty());
        EXPECT_TRUE(std::all_of(keyed.begin(), keyed.end(), [](int16_t s) { return s == 0; }));
        EXPECT_TRUE(Control<QToolButton>("StartBut")->isEnabled());
        EXPECT_EQ(Text("NumberCallLbl"), "0");
        EXPECT_EQ(Window->Results().NextResultRow(), 1);
    }
    ExpectOneDeviceAtATime();

    // A good list again is read at the next start, from wherever it lies.
    const QString folder = ListDir.filePath("позывные");
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile list(folder + "/master.ped");
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("RA9XYZ\r\nLAST,never drawn\r\n");
    list.close();
    Window->SetCallsignListFile(list.fileName());
    Device.AutoComplete = false;
    Messages.Messages.clear();
    Start();
    EXPECT_EQ(Window->State.PlayText, Repeated("RA9XYZ ", 30));
    EXPECT_TRUE(Messages.Messages.empty());
    Stop();
}

} // namespace
} // namespace tonvik
