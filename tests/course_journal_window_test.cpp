// The «Курс» page records into the training journal through the widgets: a
// lesson typed and checked leaves its result, the next window opens at the
// lesson reached with each lesson's best, every recognition answer is kept
// as it is given, and a journal that fails in the middle of a run says so in
// the status line, with a message only once the run is over.
#include "app/JournalStartup.h"
#include "journal/Journal.h"
#include "journal/JournalReader.h"
#include "journal/JournalStats.h"
#include "tests/support/MorseDecode.h"
#include "tests/support/WindowFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include <sys/mount.h>

#include <sched.h>

#include <cstdlib>
#include <fstream>

using namespace tonvik;

namespace {

class CourseJournalWindow : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        ASSERT_TRUE(JournalDir.isValid());
        ASSERT_TRUE(Records.Open(JournalPath()).Ok());
        Window->SetJournal(&Records);
    }
    void TearDown() override {
        Window.reset(); // before the journal it was given
        WindowFixture::TearDown();
    }

    std::filesystem::path JournalPath() const {
        return JournalDir.filePath("journal.sqlite").toStdString();
    }
    void ChooseLesson(int lesson, int minutes) {
        ShowPage(CoursePageIndex);
        Control<QComboBox>("LessonBox")->setCurrentIndex(lesson - 1);
        Control<QSpinBox>("MinutesEdit")->setValue(minutes);
    }
    // Keys the whole lesson, then types what the device was handed, or
    // fewer characters, and checks it.
    void CopyWholeLesson(size_t dropped = 0) {
        Device.AutoComplete = true;
        Control<QPushButton>("LessonStartButton")->click();
        ASSERT_TRUE(
            ProcessUntil([&] { return Window->Lessons().Now() != LessonSession::Phase::Keying; }));
        ProcessPending();
        std::string heard = DecodeMorse(SamplesSince(Device, 0), 480, 8000);
        ASSERT_EQ(heard.size(), 59u) << heard;
        heard.erase(0, dropped);
        QTest::keyClicks(QApplication::focusWidget(), QString::fromStdString(heard));
        Control<QPushButton>("LessonCheckButton")->click();
        ASSERT_EQ(Window->Lessons().Now(), LessonSession::Phase::Scored);
    }
    static void TypeKey(const QString& text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, text);
        QApplication::sendEvent(QApplication::focusWidget(), &press);
        QApplication::sendEvent(QApplication::focusWidget(), &release);
    }
    std::string LastHeard() const {
        for (auto write = Device.Writes.rbegin(); write != Device.Writes.rend(); ++write)
            if (!write->empty())
                return DecodeMorse(*write, 384, 8000);
        return "";
    }
    // Starts a recognition run of lesson 1 (K and M) and waits for its first character.
    void StartRecognition() {
        ChooseLesson(1, 1);
        Control<QTabWidget>("CourseExercises")->setCurrentIndex(1);
        Device.AutoComplete = true;
        Control<QPushButton>("RecognitionStartButton")->click();
        ASSERT_TRUE(ProcessUntil([&] { return !Device.Writes.empty() && !Device.IsOpen(); }));
    }
    // Answers the character heard (or with x when wrong) and waits for the next.
    void AnswerCharacter(bool right) {
        const std::string heard = LastHeard();
        ASSERT_TRUE(heard == "K" || heard == "M") << heard;
        const int opened = Device.OpenCount;
        TypeKey(right ? QString::fromStdString(heard) : QString("x"));
        ASSERT_TRUE(WaitUntil([&] { return Device.OpenCount > opened && !Device.IsOpen(); }));
        ProcessPending();
    }

    QTemporaryDir JournalDir;
    Journal Records;
};

TEST_F(CourseJournalWindow, ALessonTypedThroughThePageLeavesItsResult) {
    ChooseLesson(1, 1);
    CopyWholeLesson();
    ASSERT_TRUE(Records.Flush());
    JournalReader reader;
    ASSERT_TRUE(reader.Open(JournalPath()).Ok());
    const auto lessons = reader.LastExercises(ExerciseKind::KochLesson, 10);
    ASSERT_EQ(lessons.size(), 1u);
    EXPECT_TRUE(lessons[0].RanToEnd());
    EXPECT_EQ(lessons[0].Start.Wpm, 20);
    EXPECT_EQ(lessons[0].CharactersKeyed, 50);
    const auto results = LessonResults(reader, "", 10);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].Course, "latin");
    EXPECT_EQ(results[0].Lesson, 1);
    EXPECT_DOUBLE_EQ(results[0].ScorePercent, 100);
    EXPECT_TRUE(results[0].Passed);
    long long sent = 0;
    for (const CharacterStat& stat :
         CharacterAccuracy(reader, StatsPeriod::AllTime, JournalClock::now(),
                           {CharacterSource::Lessons, ConditionsFilter::Clean}))
        sent += stat.Sent;
    EXPECT_EQ(sent, 50);
    EXPECT_TRUE(reader.LastExercises(ExerciseKind::Callsign, 10).empty());
    EXPECT_TRUE(Messages.Messages.empty());
}

TEST_F(CourseJournalWindow, TheNextWindowOpensAtTheLessonReachedWithTheBests) {
    // Lesson 1 passed, then lesson 2 tried at 88 %: the first group, its
    // space and one more dropped, six of fifty characters.
    ChooseLesson(1, 1);
    CopyWholeLesson();
    ChooseLesson(2, 1);
    Device.Writes.clear();
    CopyWholeLesson(7);
    ASSERT_TRUE(Records.Flush());
    OpenWindow(Device);
    Window->SetJournal(&Records);
    const auto* box = Control<QComboBox>("LessonBox");
    EXPECT_EQ(box->currentIndex(), 1); // lesson 2, the one reached
    EXPECT_TRUE(box->itemText(0).endsWith("— лучший 100 %")) << box->itemText(0).toStdString();
    EXPECT_TRUE(box->itemText(1).endsWith("— лучший 88 %")) << box->itemText(1).toStdString();
    EXPECT_FALSE(box->itemText(1).contains("не открыт"));
    EXPECT_TRUE(box->itemText(2).contains("не открыт"));
    EXPECT_FALSE(box->itemText(2).contains("лучший"));
    // With TONVIK_SCREENSHOT_DIR set, the page as drawn, for a person to look at.
    ShowPage(CoursePageIndex);
    if (const char* folder = std::getenv("TONVIK_SCREENSHOT_DIR"))
        Window->grab().save(QString("%1/course-reached.png").arg(folder));
    // The other course has its own standing.
    Control<QComboBox>("CourseBox")->setCurrentIndex(1);
    EXPECT_EQ(box->currentIndex(), 0);
    EXPECT_FALSE(box->itemText(0).contains("лучший"));
}

TEST_F(CourseJournalWindow, EveryRecognitionAnswerIsKeptAsItIsGiven) {
    StartRecognition();
    AnswerCharacter(true);
    AnswerCharacter(false);
    AnswerCharacter(true);
    // On the disk before the run ends.
    ASSERT_TRUE(Records.Flush());
    {
        JournalReader reader;
        ASSERT_TRUE(reader.Open(JournalPath()).Ok());
        long long answers = 0, right = 0;
        for (const ReactionStat& stat :
             RecognitionReactions(reader, StatsPeriod::LastWeek, JournalClock::now())) {
            answers += stat.Answers;
            right += stat.Right;
            EXPECT_GE(stat.MedianMs, 0);
        }
        EXPECT_EQ(answers, 3);
        EXPECT_EQ(right, 2);
        const auto runs = reader.LastExercises(ExerciseKind::Recognition, 10);
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_FALSE(runs[0].Ended);
        EXPECT_EQ(runs[0].Start.Wpm, 25);
    }
    Control<QPushButton>("RecognitionStopButton")->click();
    ASSERT_TRUE(Records.Flush());
    JournalReader reader;
    ASSERT_TRUE(reader.Open(JournalPath()).Ok());
    const auto runs = reader.LastExercises(ExerciseKind::Recognition, 10);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_TRUE(runs[0].Ended);
    EXPECT_EQ(runs[0].Reason, EndReason::Stopped);
    EXPECT_EQ(runs[0].CharactersKeyed, 3);
    EXPECT_TRUE(Messages.Messages.empty());
}

TEST_F(CourseJournalWindow, AStoppedLessonIsRecordedWithoutAResult) {
    ChooseLesson(3, 2);
    Control<QPushButton>("LessonStartButton")->click();
    ProcessPending();
    Control<QPushButton>("LessonStopButton")->click();
    ASSERT_TRUE(Records.Flush());
    JournalReader reader;
    ASSERT_TRUE(reader.Open(JournalPath()).Ok());
    const auto lessons = reader.LastExercises(ExerciseKind::KochLesson, 10);
    ASSERT_EQ(lessons.size(), 1u);
    EXPECT_EQ(lessons[0].Reason, EndReason::Stopped);
    EXPECT_TRUE(lessons[0].Ended);
    EXPECT_TRUE(LessonResults(reader, "", 10).empty());
    EXPECT_EQ(CourseProgress(reader, "latin").Reached, 1);
}

// A disk of 256 KiB of its own: a tmpfs mounted in a mount namespace of
// this thread, which the journal's writer thread, started after it, shares.
class SmallDisk {
public:
    explicit SmallDisk(const std::filesystem::path& folder) : Folder(folder) {
        std::filesystem::create_directories(folder);
        Mounted = unshare(CLONE_NEWNS) == 0 &&
                  mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                  mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=256k") == 0;
    }
    ~SmallDisk() {
        if (Mounted)
            umount2(Folder.c_str(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    void Fill() const {
        std::ofstream filler(Folder / "filler", std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())))
            filler.flush();
    }

    const std::filesystem::path Folder;
    bool Mounted = false;
};

TEST_F(WindowFixture, AFullDiskMidRecognitionRunGoesToTheStatusLineUntilItEnds) {
    QTemporaryDir folder;
    SmallDisk disk(folder.filePath("small").toStdString());
    if (!disk.Mounted)
        GTEST_SKIP() << "no mount namespace here";
    Journal journal;
    ASSERT_TRUE(OpenWindowJournal(journal, disk.Folder / "journal.sqlite", Messages, *Window).Ok());
    Window->SetJournal(&journal);
    ShowPage(CoursePageIndex);
    Control<QComboBox>("LessonBox")->setCurrentIndex(0);
    Control<QTabWidget>("CourseExercises")->setCurrentIndex(1);
    Device.AutoComplete = true;
    Control<QPushButton>("RecognitionStartButton")->click();
    ASSERT_TRUE(ProcessUntil([&] { return !Device.Writes.empty() && !Device.IsOpen(); }));
    const auto answer = [&] {
        const int opened = Device.OpenCount;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, "k");
        QApplication::sendEvent(QApplication::focusWidget(), &press);
        return WaitUntil([&] { return Device.OpenCount > opened && !Device.IsOpen(); });
    };
    ASSERT_TRUE(answer());
    ASSERT_TRUE(journal.Flush());
    disk.Fill();
    // A record finds the disk full, once what room the log had left is used.
    int answered = 1;
    while (answered < 10 && journal.Flush()) {
        ASSERT_TRUE(answer());
        ++answered;
    }
    ASSERT_TRUE(ProcessUntil([&] { return !Text("StatusLbl").isEmpty(); })) << answered;
    EXPECT_EQ(Text("StatusLbl"), "Журнал не ведется: диск полон");
    EXPECT_TRUE(Messages.Messages.empty()) << "a message box in the middle of the run";
    // The next key still answers.
    ASSERT_TRUE(answer());
    EXPECT_EQ(Window->Recognition()->Answered().size(), static_cast<size_t>(answered + 1));
    EXPECT_TRUE(Messages.Messages.empty());
    Control<QPushButton>("RecognitionStopButton")->click();
    int said = 0;
    for (const auto& message : Messages.Messages)
        said += message.Text.startsWith("На диске нет места для журнала тренировок");
    EXPECT_EQ(said, 1);
    Window.reset(); // before the journal it was given
}

} // namespace
