// A Koch lesson on the «Курс» page, through the widgets: keyed through the
// test device, copied by typing what the device was handed, checked.
#include "course/CoursePage.h"
#include "tests/support/MorseDecode.h"
#include "tests/support/WindowFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTextEdit>

#include <cstdlib>
#include <map>

using namespace tonvik;

namespace {

class CourseWindowTest : public WindowFixture {
protected:
    void ChooseLesson(int lesson, int minutes) {
        Window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(Window.get()));
        ShowPage(CoursePageIndex);
        Control<QComboBox>("LessonBox")->setCurrentIndex(lesson - 1);
        Control<QSpinBox>("MinutesEdit")->setValue(minutes);
    }
    // Starts the lesson and lets the device play it all.
    void KeyWholeLesson() {
        Device.AutoComplete = true;
        Control<QPushButton>("LessonStartButton")->click();
        ASSERT_TRUE(
            ProcessUntil([&] { return Window->Lessons().Now() != LessonSession::Phase::Keying; }));
        ProcessPending();
    }
    // What a listener hears: the device's samples read back as Morse.
    std::string Heard() const { return DecodeMorse(SamplesSince(Device, 0), 480, 8000); }
    // Typed where the keyboard is: the copy field, when the page put it there.
    void Copy(const std::string& text) {
        QTest::keyClicks(QApplication::focusWidget(), QString::fromStdString(text));
    }
    QString Score() const { return Control<QLabel>("LessonScoreLabel")->text(); }
    // With TONVIK_SCREENSHOT_DIR set, the window as drawn, for a person to look at.
    void Shoot(const char* name) const {
        if (const char* folder = std::getenv("TONVIK_SCREENSHOT_DIR"))
            Window->grab().save(QString("%1/%2.png").arg(folder, name));
    }
};

TEST_F(CourseWindowTest, AWholeLessonCopiedRightOpensTheNextLesson) {
    ChooseLesson(2, 1);
    Shoot("course-before");
    Control<QPushButton>("LessonStartButton")->click();
    QTest::qWait(1);
    // The first groups are keyed and copied while the rest is still to come;
    // the copy field has the keyboard and the sent text stays hidden.
    for (int n = 0; n < 12 && Device.CompleteNext(); ++n)
        ProcessPending();
    ASSERT_EQ(Window->Lessons().Now(), LessonSession::Phase::Keying);
    EXPECT_EQ(QApplication::focusWidget(), Control<QPlainTextEdit>("CopyEdit"));
    const std::string early = Heard();
    const std::string firstGroup = early.substr(0, 6);
    ASSERT_EQ(firstGroup.size(), 6u) << early;
    Copy(firstGroup);
    EXPECT_TRUE(Control<QTextEdit>("LessonResultView")->toPlainText().isEmpty());
    EXPECT_FALSE(Control<QTabWidget>("MainPage")->isTabVisible(CallsignPage));
    EXPECT_FALSE(Control<QTabWidget>("MainPage")->isTabVisible(TextPage));
    Shoot("course-during");
    Device.AutoComplete = true;
    while (Device.CompleteNext()) // the buffers written before auto-completion began
        ProcessPending();
    ASSERT_TRUE(
        ProcessUntil([&] { return Window->Lessons().Now() != LessonSession::Phase::Keying; }));
    ProcessPending();
    const std::string heard = Heard();
    // One minute at 10 wpm: ten groups of K, M and U.
    ASSERT_EQ(heard.size(), 59u) << heard;
    EXPECT_EQ(heard.find_first_not_of("KMU "), std::string::npos) << heard;
    Copy(heard.substr(6));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(Window->Lessons().Now(), LessonSession::Phase::Scored);
    EXPECT_TRUE(Score().startsWith("Верно 100 % (50 из 50 знаков).")) << Score().toStdString();
    EXPECT_EQ(Control<QComboBox>("LessonBox")->currentIndex(), 2); // lesson 3 chosen
    EXPECT_FALSE(Control<QComboBox>("LessonBox")->itemText(2).contains("не открыт"));
    EXPECT_TRUE(Control<QComboBox>("LessonBox")->itemText(3).contains("не открыт"));
    EXPECT_TRUE(Control<QTabWidget>("MainPage")->isTabVisible(CallsignPage));
    EXPECT_TRUE(Messages.Messages.empty());
    Shoot("course-after");
    ExpectOneDeviceAtATime();
}

TEST_F(CourseWindowTest, ACopyBelowNinetyPercentKeepsTheLessonAndMarksTheMistakes) {
    ChooseLesson(1, 1);
    KeyWholeLesson();
    std::string heard = Heard();
    ASSERT_EQ(heard.size(), 59u) << heard;
    // Six characters dropped from the middle: 44 of 50, 88 %; the rest still right.
    heard.erase(20, 7);
    heard.insert(20, " ");
    Copy(heard);
    Control<QPushButton>("LessonCheckButton")->click();
    EXPECT_TRUE(Score().startsWith("Верно 88 % (44 из 50 знаков).")) << Score().toStdString();
    EXPECT_EQ(Control<QComboBox>("LessonBox")->currentIndex(), 0);
    EXPECT_TRUE(Control<QComboBox>("LessonBox")->itemText(1).contains("не открыт"));
    const QString shown = Control<QTextEdit>("LessonResultView")->toPlainText();
    EXPECT_EQ(shown.count('_'), 6) << shown.toStdString();
    EXPECT_TRUE(Control<QTextEdit>("LessonResultView")->toHtml().contains("color:#c00000"));
}

TEST_F(CourseWindowTest, NoLessonDuringAnExerciseAndTheCourseTabHidesDuringOne) {
    Control<QLineEdit>("CallEdit")->setText("UA3ABC");
    StartText("PARIS PARIS");
    EXPECT_FALSE(Control<QTabWidget>("MainPage")->isTabVisible(CoursePageIndex));
    Window->CourseStartClick();
    EXPECT_EQ(Window->Lessons().Now(), LessonSession::Phase::Idle);
    Stop();
}

TEST_F(CourseWindowTest, StopEndsTheLessonAndClosesTheDevice) {
    ChooseLesson(3, 2);
    Control<QPushButton>("LessonStartButton")->click();
    ProcessPending();
    EXPECT_TRUE(Device.IsOpen());
    Control<QPushButton>("LessonStopButton")->click();
    ProcessPending();
    EXPECT_EQ(Window->Lessons().Now(), LessonSession::Phase::Idle);
    EXPECT_TRUE(Control<QPushButton>("LessonStartButton")->isEnabled());
    EXPECT_TRUE(Messages.Messages.empty());
    ExpectOneDeviceAtATime();
}

} // namespace

namespace {

class RecognitionWindowTest : public CourseWindowTest {
protected:
    // The character the device was handed last, read back from its samples.
    std::string LastHeard() const {
        for (auto write = Device.Writes.rbegin(); write != Device.Writes.rend(); ++write)
            if (!write->empty())
                return DecodeMorse(*write, 384, 8000);
        return "";
    }
    QString Answer() const { return Control<QLabel>("RecognitionAnswerLabel")->text(); }
    // One key that types text, whatever the layout, where the keyboard is.
    static void TypeKey(const QString& text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, text);
        QApplication::sendEvent(QApplication::focusWidget(), &press);
        QApplication::sendEvent(QApplication::focusWidget(), &release);
    }
};

TEST_F(RecognitionWindowTest, KeysAnsweredOneByOneWithTheRussianLayoutSlipCountedRight) {
    ChooseLesson(1, 1); // K and M
    Control<QTabWidget>("CourseExercises")->setCurrentIndex(1);
    Device.AutoComplete = true;
    Control<QPushButton>("RecognitionStartButton")->click();
    ASSERT_TRUE(ProcessUntil([&] {
        return Window->Recognition()->Answered().empty() && !Device.Writes.empty() &&
               !Device.IsOpen();
    }));
    EXPECT_EQ(QApplication::focusWidget(), Control<QLineEdit>("RecognitionKeyEdit"));
    // K is on the key of Л, M on the key of Ь in the Russian layout.
    const std::map<std::string, QString> slip{{"K", "л"}, {"M", "ь"}};
    for (int n = 1; n <= 3; ++n) {
        const std::string heard = LastHeard();
        ASSERT_EQ(slip.count(heard), 1u) << heard;
        const int opened = Device.OpenCount;
        TypeKey(n == 2 ? QString("x") : slip.at(heard));
        if (n == 2)
            EXPECT_TRUE(Answer().contains("неверно")) << Answer().toStdString();
        else
            EXPECT_TRUE(Answer().startsWith(QString::fromStdString(heard) + " — верно"))
                << Answer().toStdString();
        EXPECT_EQ(Window->Recognition()->Answered().size(), static_cast<size_t>(n));
        // A second key for the same character is not another answer.
        TypeKey("k");
        EXPECT_EQ(Window->Recognition()->Answered().size(), static_cast<size_t>(n));
        ASSERT_TRUE(WaitUntil([&] { return Device.OpenCount > opened && !Device.IsOpen(); }));
        ProcessPending();
    }
    EXPECT_TRUE(
        Control<QLabel>("RecognitionProgressLabel")->text().startsWith("3 из 100, верно 2"));
    Shoot("course-recognition");
    EXPECT_FALSE(Control<QTabWidget>("MainPage")->isTabVisible(CallsignPage));
    Control<QPushButton>("RecognitionStopButton")->click();
    EXPECT_FALSE(Window->RecognitionRunning());
    EXPECT_TRUE(Control<QTabWidget>("MainPage")->isTabVisible(CallsignPage));
    EXPECT_TRUE(Messages.Messages.empty());
    ExpectOneDeviceAtATime();
}

} // namespace
