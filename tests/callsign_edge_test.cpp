// The answer field's keys at the wrong moment, a device that cannot be
// opened, and callsign lists that cannot be drawn from.
#include "tests/support/WindowFixture.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <vector>

namespace tonvik {
namespace {

using CallsignEdges = CallsignWindowFixture;

TEST_F(CallsignEdges, AnswerBeforeTheDeviceHasReportedItsClose) {
    Device.AutoComplete = true;
    Start();
    ASSERT_TRUE(ProcessUntil([&] { return Window->Exercise().State().AwaitingAnswer; }));
    ASSERT_NE(Window->Exercise().WaveOutPump().WaveDevice(),
              0u); // its close notice is still on the way
    Answer("UA3ABC");
    EXPECT_EQ(Text("PointLbl"), "540");
    ASSERT_TRUE(KeyToPause());
    EXPECT_EQ(Window->Exercise().State().SentText, Call);
    Press(Qt::Key_Escape);
    ASSERT_TRUE(ProcessUntil([&] { return Closed(); }));
    EXPECT_EQ(Messages.CountOf(EndText), 1);
    ExpectOneDeviceAtATime();
}

TEST_F(CallsignEdges, ReplayWhoseDeviceFailsLeavesOnlyStop) {
    Start();
    ASSERT_TRUE(KeyToPause());
    Device.NextOpenResult = MmNoDriver;
    Press(Qt::Key_F6);
    ASSERT_EQ(Messages.Messages.size(), 1u);
    EXPECT_EQ(Messages.Messages[0].Caption, "Warning");
    EXPECT_TRUE(Window->Exercise().State().SentText.empty());
    Answer("UA3ABC"); // nothing keyed to compare with
    Press(Qt::Key_Escape);
    EXPECT_EQ(Window->Callsigns().Session().CallNumber(), 1);
    EXPECT_EQ(Text("PointLbl"), "0");
    EXPECT_EQ(Messages.CountOf(EndText), 0);
    Stop();
    EXPECT_EQ(Messages.CountOf(EndText), 1);
    EXPECT_EQ(Device.OpensOverOpenDevice, 0);
    EXPECT_EQ(Device.StrayWrites, 0);
    EXPECT_EQ(Window->Exercise().WaveOutPump().WaveDevice(), 0u);
}

TEST_F(CallsignEdges, AnswerKeysRestOnceTheExerciseHasEnded) {
    Start();
    ASSERT_TRUE(KeyToPause());
    Stop(); // in the pause: the answer gate and the sent callsign outlive it
    ASSERT_TRUE(Window->Exercise().State().AwaitingAnswer);
    ASSERT_EQ(Window->Exercise().State().SentText, Call);
    const int opened = Device.OpenCount;
    Answer("UA3ABC");
    Press(Qt::Key_F6);
    Press(Qt::Key_Escape);
    EXPECT_EQ(Device.OpenCount, opened);
    EXPECT_EQ(Window->Callsigns().Session().CallNumber(), 1);
    EXPECT_EQ(Text("PointLbl"), "0");
    EXPECT_EQ(Messages.CountOf(EndText), 1);

    // The letters of the test are no callsign to replay or answer.
    Control<QToolButton>("TestBut")->click();
    Device.AutoComplete = false;
    ASSERT_TRUE(ProcessUntil([&] { return Device.QueuedCount() == 2; }));
    const int position = Window->Exercise().State().PlayPos;
    Press(Qt::Key_F6);
    Answer("VV");
    EXPECT_EQ(Window->Exercise().State().PlayPos, position);
    EXPECT_EQ(Device.OpenCount, opened + 1);
    EXPECT_EQ(Window->Callsigns().Session().CallNumber(), 1);
    Control<QToolButton>("TestBut")->click();
}

TEST_F(CallsignEdges, ListsThatCannotBeDrawnFromEndTheExerciseAtOnce) {
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
        EXPECT_EQ(Window->Exercise().State().PlayText, " ");
        ASSERT_TRUE(ProcessUntil([&] { return Messages.CountOf(EndText) == 1 && Closed(); }));
        EXPECT_EQ(Messages.Messages.size(), 2u);
        EXPECT_FALSE(Window->Exercise().State().AwaitingAnswer);
        const std::vector<int16_t> keyed = SamplesSince(Device, firstWrite);
        EXPECT_FALSE(keyed.empty());
        EXPECT_TRUE(std::all_of(keyed.begin(), keyed.end(), [](int16_t s) { return s == 0; }));
        EXPECT_TRUE(Control<QToolButton>("StartBut")->isEnabled());
        EXPECT_EQ(Text("NumberCallLbl"), "0");
        EXPECT_EQ(Window->Callsigns().Results().NextResultRow(), 1);
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
    EXPECT_EQ(Window->Exercise().State().PlayText, Repeated("RA9XYZ ", 30));
    EXPECT_TRUE(Messages.Messages.empty());
    Stop();
}

TEST_F(CallsignEdges, ALineOfAMegabyteIsKeyedAsItsFirstHundredCharacters) {
    const std::string cut(MaxCallsignBytes, 'E');
    WriteList(std::string(1024 * 1024, 'E') + ",name\r\n");
    Start();
    EXPECT_TRUE(Messages.Messages.empty());
    EXPECT_EQ(Play().PlayText, Repeated(cut + ' ', CallsignsPerExercise));
    ASSERT_TRUE(KeyToPause());
    EXPECT_EQ(Play().SentText, cut + ' ');
    Answer(QString::fromStdString(cut));
    EXPECT_EQ(Text("PointLbl"), "9000"); // 100 right characters at 30 wpm
    Stop();
    ASSERT_TRUE(ProcessUntil([&] { return Closed(); }));
}

} // namespace
} // namespace tonvik
