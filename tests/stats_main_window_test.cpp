// The statistics window as the main window opens it: one window over the
// window's own journal, raised when open, and the re-drills it starts running
// on the main window by every rule of a callsign exercise, recorded as drills
// and kept out of the results table; without a journal, one line instead.
#include "journal/Journal.h"
#include "journal/JournalReader.h"
#include "stats/StatsForm.h"
#include "stats/StatsText.h"
#include "tests/support/JournalTestSupport.h"
#include "tests/support/WindowFixture.h"

#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTableWidget>

namespace tonvik {
namespace {

class StatsFromMainWindow : public CallsignWindowFixture {
protected:
    void SetUp() override {
        CallsignWindowFixture::SetUp();
        ASSERT_TRUE(Folder.isValid());
        Path = Folder.filePath("journal.sqlite").toStdString();
        ASSERT_TRUE(Records.Open(Path).Ok());
        // Missed two days ago DL1XYZ, one day ago R3A: R3A is the newest.
        AddCallsignExercise(Records, 2, ExerciseKind::Callsign, EndReason::Completed,
                            {{"DL1XYZ", "DL1XY"}, {"UA3ABC", "UA3ABC"}});
        AddCallsignExercise(Records, 1, ExerciseKind::Callsign, EndReason::Completed,
                            {{"R3A", "R3"}});
        Window->SetJournal(&Records);
    }
    void TearDown() override {
        // The window records into the journal up to its last moment.
        CallsignWindowFixture::TearDown();
        Records.Close();
    }

    TStatsForm* OpenStats() {
        Control<QToolButton>("StatsBut")->click();
        ProcessPending();
        return Window->StatsForm();
    }
    template <class T> T* In(TStatsForm* form, const char* name) const {
        T* control = form->findChild<T*>(QString::fromLatin1(name));
        if (control == nullptr)
            ADD_FAILURE() << "no control " << name << " in the statistics window";
        return control;
    }
    void ShowStatsPage(TStatsForm* form, int page) {
        In<QTabWidget>(form, "StatsTabs")->setCurrentIndex(page);
        ProcessPending();
    }

    std::vector<ExerciseRow> Recorded(ExerciseKind kind) {
        Window.reset();
        EXPECT_TRUE(Records.Flush());
        JournalReader reader;
        EXPECT_TRUE(reader.Open(Path).Ok());
        return reader.LastExercises(kind, 10);
    }

    QTemporaryDir Folder;
    std::filesystem::path Path;
    Journal Records;
};

TEST_F(StatsFromMainWindow, TheButtonOpensOneWindowCentredOnTheMainWindow) {
    auto* button = Control<QToolButton>("StatsBut");
    EXPECT_EQ(button->text(), "Статистика");
    // Beside "Справка", in the toolbar's row, which keeps its place.
    EXPECT_EQ(button->geometry(), QRect(308, 1, 100, 23));
    EXPECT_EQ(Control<QToolButton>("QBut")->geometry(), QRect(226, 1, 80, 23));
    TStatsForm* form = OpenStats();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->isModal());
    EXPECT_EQ(form->windowTitle(), "Статистика");
    // Centred as nearly as the screen allows: the offscreen screen is
    // narrower than the window's usual width, which shrinks to fit it.
    EXPECT_LE((form->geometry().center() - Window->geometry().center()).manhattanLength(), 4);
    EXPECT_TRUE(form->screen()->availableGeometry().contains(form->frameGeometry()));
    // The window's own journal: its two callsign exercises and two misses.
    EXPECT_EQ(In<QTableWidget>(form, "LastTable")->rowCount(), 2);
    ShowStatsPage(form, TStatsForm::ErrorsPage);
    EXPECT_EQ(In<QTableView>(form, "ErrorsTable")->model()->rowCount(), 2);

    // Moved away and clicked again: the same window, raised where it is.
    form->move(form->pos() + QPoint(40, 30));
    const QPoint moved = form->pos();
    EXPECT_EQ(OpenStats(), form);
    EXPECT_LE((form->pos() - moved).manhattanLength(), 4);
    EXPECT_EQ(Window->findChildren<TStatsForm*>().size(), 1);
}

TEST_F(StatsFromMainWindow, RepeatingTheErrorsKeysTheMissedCallsOnTheMainWindow) {
    TStatsForm* form = OpenStats();
    ShowStatsPage(form, TStatsForm::ErrorsPage);
    In<QPushButton>(form, "RepeatBut")->click();
    ProcessPending();
    EXPECT_FALSE(form->isVisible());
    // Newest first, each in turn to 30.
    EXPECT_EQ(Play().PlayText, Repeated("R3A DL1XYZ ", 15));
    EXPECT_EQ(Window->Callsigns().Drill(), CallsignDrill::MissedCalls);
    ASSERT_TRUE(KeyToPause());
    EXPECT_EQ(Play().SentText, "R3A ");
    // Scored as any callsign: three characters right at 30 wpm, two wpm faster.
    Answer("R3A");
    EXPECT_EQ(Window->Callsigns().Session().CallPoints(), 3 * 30 * 30);
    EXPECT_EQ(Speed(), 32);
    ASSERT_TRUE(KeyToPause());
    Answer("DL1XYW");
    EXPECT_EQ(Window->Callsigns().Session().ErrorCount(), 1);
    Stop();
    ASSERT_TRUE(ProcessUntil([&] { return Closed(); }));
    EXPECT_EQ(Window->Callsigns().Results().NextResultRow(), 1);
    EXPECT_EQ(Control<QTableWidget>("LastGrid")->item(1, 0)->text(), "");
    ExpectOneDeviceAtATime();
    const auto drills = Recorded(ExerciseKind::MissedCallsDrill);
    ASSERT_EQ(drills.size(), 1u);
    EXPECT_EQ(drills[0].Answers, 2);
    EXPECT_EQ(drills[0].RightAnswers, 1);
    EXPECT_EQ(drills[0].Start.OwnCall, "RK3ABC");
    EXPECT_EQ(Recorded(ExerciseKind::Callsign).size(), 2u);
}

TEST_F(StatsFromMainWindow, TheWeakCharactersDrillDrawsFromTheWindowsListFromAnyPage) {
    ShowPage(TextPage);
    TStatsForm* form = OpenStats();
    ShowStatsPage(form, TStatsForm::CharactersPage);
    In<QPushButton>(form, "WeakDrillBut")->click();
    ProcessPending();
    EXPECT_EQ(Control<QTabWidget>("MainPage")->currentIndex(), CallsignPage);
    // The list's one line is all there is to draw.
    EXPECT_EQ(Play().PlayText, Repeated(Call, 30));
    EXPECT_EQ(Window->Callsigns().Drill(), CallsignDrill::WeakCharacters);
    ASSERT_TRUE(KeyToPause());
    Answer("UA3ABC");
    Stop();
    EXPECT_EQ(Window->Callsigns().Results().NextResultRow(), 1);
    const auto drills = Recorded(ExerciseKind::WeakCharactersDrill);
    ASSERT_EQ(drills.size(), 1u);
    EXPECT_EQ(drills[0].RightAnswers, 1);
}

TEST_F(StatsFromMainWindow, DrillsWaitForTheRunningExerciseAndTheOwnCallsign) {
    TStatsForm* form = OpenStats();
    auto* repeat = In<QPushButton>(form, "RepeatBut");
    auto* weak = In<QPushButton>(form, "WeakDrillBut");
    EXPECT_TRUE(repeat->isEnabled());
    Start();
    EXPECT_FALSE(repeat->isEnabled());
    EXPECT_FALSE(weak->isEnabled());
    EXPECT_FALSE(repeat->toolTip().isEmpty());
    ShowStatsPage(form, TStatsForm::ErrorsPage);
    repeat->click();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(Play().PlayText, Repeated(Call, 30));
    EXPECT_EQ(Window->Callsigns().Drill(), CallsignDrill::None);
    // Even if a click got through, the running exercise is not replaced.
    EXPECT_FALSE(Window->StartWeakCharactersDrill(MissRates{}));
    ASSERT_TRUE(KeyToPause());
    Stop();
    ASSERT_TRUE(ProcessUntil([&] { return Closed(); }));
    EXPECT_TRUE(repeat->isEnabled());
    EXPECT_TRUE(repeat->toolTip().isEmpty());

    // Without the own callsign it is refused as Start refuses.
    Control<QLineEdit>("CallEdit")->clear();
    const std::size_t before = Messages.Messages.size();
    repeat->click();
    ASSERT_EQ(Messages.Messages.size(), before + 1);
    EXPECT_EQ(Messages.Messages.back().Text, "Введите свой позывной");
    EXPECT_EQ(Window->Callsigns().Drill(), CallsignDrill::None);
    EXPECT_TRUE(Control<QToolButton>("StartBut")->isEnabled());
}

TEST_F(StatsFromMainWindow, WithoutAJournalOneLineExplainsWhy) {
    Window->SetJournal(nullptr);
    TStatsForm* form = OpenStats();
    auto* line = In<QLabel>(form, "UnavailableLbl");
    EXPECT_TRUE(line->isVisible());
    EXPECT_EQ(line->text(), NoJournalText(nullptr));
    EXPECT_TRUE(line->text().contains("--no-journal"));
    EXPECT_FALSE(In<QTabWidget>(form, "StatsTabs")->isVisible());
    form->close();

    // A journal that did not open: where, and why.
    Journal broken;
    WriteFileBytes(Folder.filePath("in the way").toStdString(), "a file, not a folder");
    const JournalProblem problem =
        broken.Open(Folder.filePath("in the way/journal.sqlite").toStdString());
    ASSERT_FALSE(problem.Ok());
    Window->SetJournal(&broken, problem);
    OpenStats();
    EXPECT_EQ(line->text(), NoJournalText(&problem));
    EXPECT_TRUE(line->text().contains("in the way"));
    EXPECT_FALSE(In<QTabWidget>(form, "StatsTabs")->isVisible());
    form->close();
    Window->SetJournal(&Records);
}

} // namespace
} // namespace tonvik
