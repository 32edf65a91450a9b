// The window records into the training journal: each exercise with its
// settings, each answer as it is evaluated, and how each one ended.
#include "app/JournalStartup.h"
#include "journal/FileHash.h"
#include "journal/Journal.h"
#include "journal/JournalReader.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/WindowFixture.h"

#include <sqlite3.h>

#include <QCheckBox>
#include <QTemporaryDir>

#include <fstream>
#include <thread>

namespace tonvik {
namespace {

class WindowJournal : public CallsignWindowFixture {
protected:
    void SetUp() override {
        CallsignWindowFixture::SetUp();
        ASSERT_TRUE(JournalDir.isValid());
        ASSERT_TRUE(Records.Open(JournalPath()).Ok());
        Window->SetJournal(&Records);
    }

    std::filesystem::path JournalPath() const {
        return JournalDir.filePath("journal.sqlite").toStdString();
    }

    // Everything recorded so far, read back as the command line reads it.
    std::vector<ExerciseRow> Exercises(ExerciseKind kind) {
        EXPECT_TRUE(Records.Flush());
        JournalReader reader;
        EXPECT_TRUE(reader.Open(JournalPath()).Ok());
        return reader.LastExercises(kind, 10);
    }
    std::vector<AnswerRecord> AnswersOf(long long exercise) {
        JournalReader reader;
        EXPECT_TRUE(reader.Open(JournalPath()).Ok());
        return reader.Answers(exercise);
    }

    QTemporaryDir JournalDir;
    Journal Records;
};

TEST_F(WindowJournal, ACallsignExerciseAndItsAnswersAreRecorded) {
    Control<QSlider>("VolTrackBar")->setValue(2);
    Control<QCheckBox>("ToneBox")->setChecked(true);
    Start();
    ASSERT_TRUE(KeyToPause());
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    Answer("UA3ABC");
    // The second one answered while it is still being keyed.
    Device.AutoComplete = false;
    ASSERT_TRUE(ProcessUntil([&] { return Device.QueuedCount() == 2; }));
    Answer("UA3ABD");
    ASSERT_TRUE(KeyToPause());
    Press(Qt::Key_F6);
    ASSERT_TRUE(KeyToPause());
    Answer("");
    Stop();
    ASSERT_TRUE(ProcessUntil([&] { return Closed(); }));

    const auto exercises = Exercises(ExerciseKind::Callsign);
    ASSERT_EQ(exercises.size(), 1u);
    const ExerciseRow& row = exercises[0];
    EXPECT_EQ(row.Start.OwnCall, "RK3ABC");
    EXPECT_EQ(row.Start.Wpm, 30);
    EXPECT_EQ(row.Start.PitchHz, 800);
    EXPECT_EQ(row.Start.Volume, 6);
    EXPECT_FALSE(row.Start.SpeedFixed);
    EXPECT_TRUE(row.Start.ToneFixed);
    EXPECT_EQ(row.Start.ListPath, ListPath().toStdString());
    EXPECT_EQ(row.Start.ListSha256, FileSha256(ListPath().toStdString()));
    EXPECT_EQ(row.Start.ListSha256.size(), 64u);
    EXPECT_EQ(row.Reason, EndReason::Stopped);
    EXPECT_EQ(row.TotalPoints, 540.0 + 296.0 + 0.0);
    EXPECT_EQ(row.MaxWpm, 32);
    EXPECT_TRUE(row.Ended.has_value());

    const auto answers = AnswersOf(row.Id);
    ASSERT_EQ(answers.size(), 3u);
    EXPECT_EQ(answers[0].Number, 1);
    EXPECT_EQ(answers[0].Sent, "UA3ABC");
    EXPECT_TRUE(answers[0].Right);
    EXPECT_EQ(answers[0].Points, 540);
    EXPECT_EQ(answers[0].CallPoints, 5400.0);
    EXPECT_EQ(answers[0].Wpm, 30);
    EXPECT_EQ(answers[0].ToneHz, 800);
    EXPECT_GE(answers[0].ResponseMs, 60);
    EXPECT_EQ(answers[1].Typed, "UA3ABD");
    EXPECT_FALSE(answers[1].Right);
    EXPECT_EQ(answers[1].Errors, 1);
    EXPECT_EQ(answers[1].Wpm, 32);
    EXPECT_EQ(answers[1].ResponseMs, 0); // Enter during keying
    EXPECT_EQ(answers[2].Typed, "");
    EXPECT_EQ(answers[2].Replays, 1);
    EXPECT_EQ(answers[2].Errors, 6);
}

// What CP1251 cannot hold is kept in the journal as it was typed; the
// scoring still compares what CP1251 holds of it, as ever.
// What the exercise was heard through: a receiver setting alone changes no
// sample, so such an exercise is a clean one and charted with them.
TEST_F(WindowJournal, EachExerciseRecordsTheBandItWasHeardThrough) {
    const std::vector<std::pair<std::string, std::string>> cases{{"clean", "clean"},
                                                                 {"bw=800", "clean"},
                                                                 {"poor", "poor"},
                                                                 {"snr=6 bw=800", "snr=6 bw=800"}};
    for (const auto& [kept, recorded] : cases) {
        std::ofstream(JournalDir.filePath("band.txt").toStdString()) << kept << '\n';
        Window->SetBandSettingsFile(JournalDir.filePath("band.txt").toStdString());
        Start();
        ASSERT_TRUE(KeyToPause());
        Stop();
        ASSERT_TRUE(Records.Flush());
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open_v2(JournalPath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr),
                  SQLITE_OK);
        sqlite3_stmt* last = nullptr;
        sqlite3_prepare_v2(db, "SELECT conditions FROM exercises ORDER BY id DESC LIMIT 1", -1,
                           &last, nullptr);
        ASSERT_EQ(sqlite3_step(last), SQLITE_ROW);
        EXPECT_EQ(reinterpret_cast<const char*>(sqlite3_column_text(last, 0)), recorded) << kept;
        sqlite3_finalize(last);
        sqlite3_close(db);
    }
}

TEST_F(WindowJournal, AnAnswerIsKeptAsTypedEvenWhereCp1251CannotHoldIt) {
    const QString typed = QString::fromUtf8("\xC3\x84\xC3\x96\xE2\x82\xAC\xF0\x9F\x98\x80");
    Start();
    ASSERT_TRUE(KeyToPause());
    Answer(typed);
    // The next one answered while it is still being keyed, and held till then.
    Device.AutoComplete = false;
    ASSERT_TRUE(ProcessUntil([&] { return Device.QueuedCount() == 2; }));
    Answer(typed + "1");
    ASSERT_TRUE(KeyToPause());
    Stop();
    ASSERT_TRUE(ProcessUntil([&] { return Closed(); }));
    ASSERT_TRUE(Records.Flush());

    JournalReader reader;
    ASSERT_TRUE(reader.Open(JournalPath()).Ok());
    std::vector<std::string> stored;
    reader.Query("SELECT typed, errors FROM answers ORDER BY id", JournalReader::NoParameters,
                 [&](const sql::Statement& s) {
                     stored.push_back(std::string(s.Text(0)));
                     // Scored as the euro sign alone against six characters.
                     EXPECT_EQ(s.Int(1), 6);
                     return true;
                 });
    EXPECT_EQ(stored, (std::vector<std::string>{typed.toStdString(), (typed + "1").toStdString()}));
}

TEST_F(WindowJournal, AllThirtyAnsweredIsCompleted) {
    Start();
    for (int number = 1; number <= 30; ++number) {
        ASSERT_TRUE(KeyToPause());
        Answer("UA3ABC");
    }
    ASSERT_TRUE(ProcessUntil([&] { return Messages.CountOf(EndText) == 1 && Closed(); }));
    const auto exercises = Exercises(ExerciseKind::Callsign);
    ASSERT_EQ(exercises.size(), 1u);
    EXPECT_EQ(exercises[0].Reason, EndReason::Completed);
    EXPECT_EQ(exercises[0].Answers, 30);
    EXPECT_EQ(exercises[0].RightAnswers, 30);
}

TEST_F(WindowJournal, TextExercisesAndTestsAreRecordedWithWhatWasKeyed) {
    Device.AutoComplete = true;
    StartText("CQ CQ");
    ASSERT_TRUE(ProcessUntil([&] { return Messages.CountOf(EndText) == 1 && Closed(); }));
    const std::size_t firstWrite = Device.Writes.size();
    Control<QToolButton>("TestBut")->click(); // on the text page
    ASSERT_TRUE(ProcessUntil([&] { return Device.Writes.size() > firstWrite + 20; }));
    Control<QToolButton>("TestBut")->click();
    ASSERT_TRUE(ProcessUntil([&] { return Closed(); }));

    const auto texts = Exercises(ExerciseKind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_TRUE(texts[0].RanToEnd());
    EXPECT_EQ(texts[0].CharactersKeyed, 5);
    EXPECT_EQ(texts[0].Start.LetterGap, 3);
    EXPECT_EQ(texts[0].Start.WordGap, 7);
    const auto tests = Exercises(ExerciseKind::PreliminaryTest);
    ASSERT_EQ(tests.size(), 1u);
    EXPECT_EQ(tests[0].Reason, EndReason::Stopped);
    EXPECT_GT(tests[0].CharactersKeyed, 20);
}

TEST_F(WindowJournal, AnExerciseWithoutASoundDeviceSaysSo) {
    Device.NextOpenResult = MmNoDriver;
    Start();
    Stop();
    const auto exercises = Exercises(ExerciseKind::Callsign);
    ASSERT_EQ(exercises.size(), 1u);
    EXPECT_EQ(exercises[0].Reason, EndReason::NoSoundDevice);
}

TEST_F(WindowJournal, ClosingTheWindowMidExerciseRecordsItAsStopped) {
    Start();
    ASSERT_TRUE(KeyToPause());
    Answer("UA3ABC");
    Window->close();
    const auto exercises = Exercises(ExerciseKind::Callsign);
    ASSERT_EQ(exercises.size(), 1u);
    EXPECT_EQ(exercises[0].Reason, EndReason::Stopped);
    EXPECT_EQ(exercises[0].Answers, 1);
}

TEST_F(WindowJournal, TheResultsTableKeepsItsOwnRules) {
    Control<QCheckBox>("SpeedBox")->setChecked(true);
    Start();
    ASSERT_TRUE(KeyToPause());
    Answer("UA3ABC");
    Stop();
    // Recorded in the journal, though the table takes no result with a fixed speed.
    EXPECT_EQ(Window->Callsigns().Results().NextResultRow(), 1);
    EXPECT_EQ(Exercises(ExerciseKind::Callsign).size(), 1u);
}

TEST_F(WindowJournal, AnAnswerTypedWithTheRussianLayoutIsScoredAsMeant) {
    Start();
    ASSERT_TRUE(KeyToPause());
    auto* input = Control<QLineEdit>("Input");
    // The keys of U A 3 A B C with the Russian layout on, as the keyboard
    // sends them: the Cyrillic letter's key code and its small letter.
    for (QChar typed : QString("гф3фис"))
        for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent key(type, typed.toUpper().unicode(), Qt::NoModifier, QString(typed));
            QCoreApplication::sendEvent(input, &key);
        }
    EXPECT_EQ(input->text(), "UA3ABC");
    QTest::keyClick(input, Qt::Key_Return);
    EXPECT_EQ(Text("PointLbl"), "540");
    Stop();
    const auto exercises = Exercises(ExerciseKind::Callsign);
    ASSERT_EQ(exercises.size(), 1u);
    EXPECT_EQ(exercises[0].RightAnswers, 1);
    const auto answers = AnswersOf(exercises[0].Id);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].Typed, "UA3ABC");
    EXPECT_TRUE(answers[0].Right);
}

TEST_F(WindowFixture, AFullDiskMidExerciseTakesNeitherTheFocusNorTheAnswer) {
    QTemporaryDir folder;
    SmallDisk disk(folder.filePath("small").toStdString());
    if (!disk.Mounted)
        GTEST_SKIP() << "no mount namespace here";
    Journal journal;
    ASSERT_TRUE(OpenWindowJournal(journal, disk.Folder / "journal.sqlite", Messages, *Window).Ok());
    Window->SetJournal(&journal);
    UseList("UA3ABC\n");
    Control<QLineEdit>("CallEdit")->setText("RK3ABC");
    Start();
    ASSERT_TRUE(KeyToPause());
    Answer("UA3ABC");
    ASSERT_TRUE(journal.Flush());
    disk.Fill();
    ASSERT_TRUE(KeyToPause());
    Answer("UA3ABD"); // its record finds the disk full
    ASSERT_TRUE(ProcessUntil([&] { return !Text("StatusLbl").isEmpty(); }));
    EXPECT_EQ(Text("StatusLbl"), "Журнал не ведется: диск полон");
    EXPECT_TRUE(Messages.Messages.empty()) << "a message box in the middle of the exercise";
    // The next answer goes where it is typed.
    ASSERT_TRUE(KeyToPause());
    QTest::keyClicks(Control<QLineEdit>("Input"), "dl1");
    EXPECT_EQ(Control<QLineEdit>("Input")->text(), "DL1");
    EXPECT_EQ(Window->focusWidget(), Control<QWidget>("Input"));
    EXPECT_TRUE(Messages.Messages.empty());
    Stop();
    // Said once the exercise is over.
    int said = 0;
    for (const auto& message : Messages.Messages)
        said += message.Text.startsWith("На диске нет места для журнала тренировок");
    EXPECT_EQ(said, 1);
    Window.reset(); // before the journal it was given
}

using WindowJournalFaults = WindowFixture;

TEST_F(WindowJournalFaults, ABrokenFileIsMovedAsideWithOneMessage) {
    QTemporaryDir folder;
    const std::filesystem::path path = folder.filePath("journal.sqlite").toStdString();
    { std::ofstream(path) << "these are somebody's notes, not a journal\n"; }
    Journal journal;
    OpenWindowJournal(journal, path, Messages, *Window);
    ASSERT_EQ(Messages.Messages.size(), 1u);
    EXPECT_EQ(Messages.Messages[0].Caption, "Внимание!");
    EXPECT_TRUE(Messages.Messages[0].Text.contains("переименован в " +
                                                   QString::fromStdString(path.string())));
    EXPECT_TRUE(journal.IsOpen()); // a new journal was begun
    int aside = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path().toStdString()))
        aside += entry.path().filename().string().find(".broken-") != std::string::npos;
    EXPECT_EQ(aside, 1);
}

TEST_F(WindowJournalFaults, NoFolderForTheJournalTrainsOnWithoutIt) {
    QTemporaryDir folder;
    const std::filesystem::path blocker = folder.filePath("tonvik").toStdString();
    { std::ofstream(blocker) << "a file where the folder should be"; }
    Journal journal;
    OpenWindowJournal(journal, blocker / "journal.sqlite", Messages, *Window);
    ASSERT_EQ(Messages.Messages.size(), 1u);
    EXPECT_TRUE(Messages.Messages[0].Text.contains(QString::fromStdString(blocker.string())));
    EXPECT_TRUE(Messages.Messages[0].Text.contains("Тренировка продолжается без журнала."));
    EXPECT_FALSE(journal.IsOpen());
    // The window trains on, recording nothing.
    Window->SetJournal(&journal);
    UseList("UA3ABC\n");
    Control<QLineEdit>("CallEdit")->setText("RK3ABC");
    Start();
    ASSERT_TRUE(KeyToPause());
    Answer("UA3ABC");
    EXPECT_EQ(Text("NumberCallLbl"), "2");
    EXPECT_EQ(Messages.Messages.size(), 1u);
    Window.reset(); // before the journal it was given
}

TEST_F(WindowJournalFaults, AJournalOfANewerVersionIsLeftAsItIs) {
    QTemporaryDir folder;
    const std::filesystem::path path = folder.filePath("journal.sqlite").toStdString();
    {
        Journal first;
        ASSERT_TRUE(first.Open(path).Ok());
    }
    sql::Connection db;
    ASSERT_EQ(db.Open(path.string(), SQLITE_OPEN_READWRITE), SQLITE_OK);
    ASSERT_EQ(db.Execute("PRAGMA user_version = 99"), SQLITE_OK);
    db.Close();
    Journal journal;
    OpenWindowJournal(journal, path, Messages, *Window);
    ASSERT_EQ(Messages.Messages.size(), 1u);
    EXPECT_TRUE(Messages.Messages[0].Text.contains("версия 99"));
    EXPECT_FALSE(journal.IsOpen());
}

} // namespace
} // namespace tonvik
