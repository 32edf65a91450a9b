// A drill is a callsign exercise on callsigns the trainer is given: every
// rule of the exercise holds, and it stays out of the results table.
#include "journal/Journal.h"
#include "journal/JournalReader.h"
#include "tests/support/WindowFixture.h"

#include <QTableWidget>
#include <QTemporaryDir>

namespace tonvik {
namespace {

std::vector<std::string> MissedCalls() {
    std::vector<std::string> calls;
    for (int n = 0; n < 15; ++n) {
        calls.push_back("DL1XYZ");
        calls.push_back("R3A");
    }
    return calls;
}

using Drill = CallsignWindowFixture;

TEST_F(Drill, KeysTheGivenCallsignsWithEveryRuleOfTheExercise) {
    ASSERT_TRUE(Window->StartDrill(CallsignDrill::MissedCalls, MissedCalls()));
    EXPECT_EQ(Play().PlayText, Repeated("DL1XYZ R3A ", 15));
    EXPECT_EQ(Text("NumberCallLbl"), "1");
    EXPECT_FALSE(Control<QToolButton>("StartBut")->isEnabled());
    ASSERT_TRUE(KeyToPause());
    EXPECT_EQ(Play().SentText, "DL1XYZ ");
    // Right at 30 wpm: 540 points, two wpm faster.
    Answer("DL1XYZ");
    EXPECT_EQ(Text("PointLbl"), "540");
    EXPECT_EQ(Speed(), 32);
    // Replayed, then right: half value and no raise.
    ASSERT_TRUE(KeyToPause());
    Press(Qt::Key_F6);
    ASSERT_TRUE(KeyToPause());
    Answer("R3A");
    EXPECT_EQ(Window->Callsigns().Session().CallPoints(), 3 * 0.5 * 32 * 32);
    EXPECT_EQ(Speed(), 32);
    ASSERT_TRUE(KeyToPause());
    Answer("DL1XYW");
    EXPECT_EQ(Window->Callsigns().Session().ErrorCount(), 1);
    EXPECT_EQ(Speed(), 31);
    Stop();
    ASSERT_TRUE(ProcessUntil([&] { return Closed(); }));
    EXPECT_EQ(Messages.CountOf(EndText), 1);
    // Not in the results table.
    EXPECT_EQ(Window->Callsigns().Results().NextResultRow(), 1);
    EXPECT_EQ(Control<QTableWidget>("LastGrid")->item(1, 0)->text(), "");
    ExpectOneDeviceAtATime();

    // The next plain exercise draws from the list again and is recorded.
    Start();
    EXPECT_EQ(Play().PlayText, Repeated(Call, 30));
    EXPECT_EQ(Window->Callsigns().Drill(), CallsignDrill::None);
    ASSERT_TRUE(KeyToPause());
    Answer("UA3ABC");
    Stop();
    EXPECT_EQ(Window->Callsigns().Results().NextResultRow(), 2);
}

TEST_F(Drill, NeedsTheOwnCallsignAsStartDoes) {
    Control<QLineEdit>("CallEdit")->clear();
    EXPECT_FALSE(Window->StartDrill(CallsignDrill::WeakCharacters, MissedCalls()));
    ASSERT_EQ(Messages.Messages.size(), 1u);
    EXPECT_EQ(Messages.Messages[0].Text, "Введите свой позывной");
    EXPECT_EQ(Device.OpenCount, 0);
    EXPECT_TRUE(Control<QToolButton>("StartBut")->isEnabled());
    EXPECT_EQ(Window->Callsigns().Drill(), CallsignDrill::None);
}

TEST_F(Drill, IsNotStartedOverARunningExercise) {
    Start();
    EXPECT_FALSE(Window->StartDrill(CallsignDrill::MissedCalls, MissedCalls()));
    EXPECT_EQ(Play().PlayText, Repeated(Call, 30));
    EXPECT_FALSE(Window->StartDrill(CallsignDrill::MissedCalls, {}));
    Stop();
}

TEST_F(Drill, IsRecordedInTheJournalAsADrill) {
    QTemporaryDir folder;
    const std::filesystem::path path = folder.filePath("journal.sqlite").toStdString();
    Journal journal;
    ASSERT_TRUE(journal.Open(path).Ok());
    Window->SetJournal(&journal);
    ASSERT_TRUE(Window->StartDrill(CallsignDrill::WeakCharacters, MissedCalls()));
    ASSERT_TRUE(KeyToPause());
    Answer("DL1XYZ");
    Stop();
    Window.reset();
    ASSERT_TRUE(journal.Flush());
    JournalReader reader;
    ASSERT_TRUE(reader.Open(path).Ok());
    const auto drills = reader.LastExercises(ExerciseKind::WeakCharactersDrill, 5);
    ASSERT_EQ(drills.size(), 1u);
    EXPECT_EQ(drills[0].Answers, 1);
    EXPECT_TRUE(reader.LastExercises(ExerciseKind::Callsign, 5).empty());
}

} // namespace
} // namespace tonvik
