// The «Курс» page: its clicks go to the lesson session and the lesson's
// player; the page shows what they hold.
#include "app/MainForm.h"

#include "callsign/KeyboardLayout.h"
#include "course/CoursePage.h"
#include "course/LessonPlayer.h"
#include "course/RecognitionPanel.h"
#include "course/RecognitionPlayer.h"
#include "stats/StatsForm.h"
#include "text/Cp1251.h"
#include "ui_MainForm.h"

#include <QTimer>
#include <QVBoxLayout>

#include <climits>

namespace tonvik {
namespace {

// Long enough to read whether the answer was right before the next sound.
constexpr int NextCharacterPauseMs = 700;

} // namespace

void TMorseMain::SetUpCourse(WaveOut& device) {
    auto* layout = new QVBoxLayout(Ui->TabCourse);
    layout->setContentsMargins(4, 4, 4, 4);
    Course = new CoursePage(Ui->TabCourse);
    layout->addWidget(Course);
    LessonSound = std::make_unique<LessonPlayer>(
        device, [this] { CourseKeyingEnded(); },
        [this](const std::string& text) {
            // Said on the page, not in a dialog: the keyboard stays with the copy.
            HoldOtherPages(false);
            Lesson.Abandon();
            JournalCourseEnd(EndReason::NoSoundDevice);
            Course->ShowIdle(QString::fromStdString(text).replace("\r\n", " "));
        });
    Course->SetHandlers({[this] { CourseStartClick(); }, [this] { CourseCheckClick(); },
                         [this] { CourseStopClick(); }, [this] { CourseChanged(); }});
    RecognitionSound = std::make_unique<RecognitionPlayer>(
        device, [] {},
        [this](const std::string& text) {
            JournalCourseEnd(EndReason::NoSoundDevice);
            RecognitionStopClick();
            Course->Recognition()->ShowIdle(QString::fromStdString(text).replace("\r\n", " "));
        });
    Course->Recognition()->SetHandlers({[this] { RecognitionStartClick(); },
                                        [this] { RecognitionStopClick(); },
                                        [this](QChar key) { RecognitionKey(key); }});
}

void TMorseMain::RecognitionStartClick() {
    if (LessonRunning() || RecognitionRunning())
        return;
    if (Control.Phase() != ExercisePhase::Idle) {
        Course->Recognition()->ShowIdle(QStringLiteral("Сначала закончите упражнение."));
        return;
    }
    PitchTrackBarChange();
    VolTrackBarChange();
    const LessonSettings chosen = Course->Chosen();
    ++RecognitionRuns;
    Recognizing.emplace(
        RecognitionCharacters(chosen.Course, chosen.Lesson, Course->Recognition()->ChosenSet()),
        static_cast<uint64_t>(Rng.Below(INT_MAX)));
    JournalCourseStart(ExerciseKind::Recognition, Course->Recognition()->CharacterWpm());
    HoldOtherPages(true);
    Course->Recognition()->ShowRunning();
    RecognitionNext();
}

void TMorseMain::RecognitionNext() {
    if (!Recognizing)
        return;
    const char next = Recognizing->Next();
    if (next == 0) {
        const QString summary = QStringLiteral("Готово: верно %1 из %2, медиана %3 мс.")
                                    .arg(Recognizing->RightCount())
                                    .arg(Recognizing->Answered().size())
                                    .arg(Recognizing->MedianReactionMs());
        JournalCourseEnd(EndReason::Completed,
                         static_cast<int64_t>(Recognizing->Answered().size()));
        RecognitionStopClick();
        Course->Recognition()->ShowIdle(summary);
        return;
    }
    KeyerSettings settings;
    settings.DotSamples = 9600 / Course->Recognition()->CharacterWpm();
    settings.ToneFreq = Control.ToneFreq();
    AwaitingKey = true;
    RecognitionSound->Play(next, settings, Control.VolumeFactor());
}

void TMorseMain::RecognitionKey(QChar key) {
    if (!Recognizing || !AwaitingKey)
        return;
    const int64_t reaction = RecognitionSound->ReactionMs(RecognitionPlayer::Clock::now());
    // The Russian layout left on in the Latin course: the Latin key pressed.
    char32_t typed = key.unicode();
    if (Course->ChosenCourse() == CourseKind::Latin)
        typed = LatinOnSameKey(typed);
    const std::string pressed = ToCp1251(QString(QChar(typed)).toUpper());
    AwaitingKey = false;
    const RecognitionAnswer& answer =
        Recognizing->Answer(pressed.empty() ? '\0' : pressed.front(), reaction);
    JournalRecognitionAnswer(answer);
    Course->Recognition()->ShowAnswer(*Recognizing, FromCp1251(std::string(1, answer.Sent)),
                                      QString(QChar(typed)).toUpper());
    // A short pause to read the answer, then the next character.
    QTimer::singleShot(NextCharacterPauseMs, this, [this, run = RecognitionRuns] {
        if (run == RecognitionRuns)
            RecognitionNext();
    });
}

void TMorseMain::RecognitionStopClick() {
    if (!Recognizing)
        return;
    JournalCourseEnd(EndReason::Stopped, static_cast<int64_t>(Recognizing->Answered().size()));
    RecognitionSound->Stop();
    Recognizing.reset();
    AwaitingKey = false;
    HoldOtherPages(false);
    Course->Recognition()->ShowIdle(QString());
}

bool TMorseMain::LessonRunning() const {
    return Lesson.Now() == LessonSession::Phase::Keying ||
           Lesson.Now() == LessonSession::Phase::Copying;
}

void TMorseMain::HoldOtherPages(bool held) {
    Ui->MainPage->setTabVisible(CallsignPage, !held);
    Ui->MainPage->setTabVisible(TextPage, !held);
    for (QWidget* control :
         {static_cast<QWidget*>(Ui->StartBut), static_cast<QWidget*>(Ui->TestBut),
          static_cast<QWidget*>(Ui->SpeedTrackBar), static_cast<QWidget*>(Ui->PitchTrackBar),
          static_cast<QWidget*>(Ui->VolTrackBar)})
        control->setEnabled(!held);
    if (Stats)
        Stats->SetDrillsEnabled(!held);
}

void TMorseMain::CourseStartClick() {
    if (LessonRunning() || RecognitionRunning())
        return;
    if (Control.Phase() != ExercisePhase::Idle) {
        Course->ShowIdle(QStringLiteral("Сначала закончите упражнение."));
        return;
    }
    PitchTrackBarChange();
    VolTrackBarChange();
    // The characters the journal shows missed, in callsigns, lessons and
    // recognition alike, come more often.
    const std::string& text = Lesson.Begin(
        Course->Chosen(), static_cast<uint64_t>(Rng.Below(INT_MAX)), JournalDrawHistory());
    JournalCourseStart(ExerciseKind::KochLesson, Lesson.Settings().CharacterWpm);
    KeyerSettings settings;
    settings.DotSamples = 9600 / Lesson.Settings().CharacterWpm;
    settings.ToneFreq = Control.ToneFreq();
    HoldOtherPages(true);
    Course->ShowKeying();
    LessonSound->Play(text, settings, Lesson.Settings().EffectiveWpm, Control.VolumeFactor());
}

void TMorseMain::CourseKeyingEnded() {
    Lesson.KeyingEnded();
    Course->ShowCopying();
}

void TMorseMain::CourseCheckClick() {
    if (!LessonRunning())
        return;
    if (LessonSound->Playing()) {
        Lesson.CutAt(LessonSound->CharactersSent());
        LessonSound->Stop();
    }
    Lesson.Check(Course->CopyText());
    HoldOtherPages(false);
    JournalLessonChecked();
    const LessonSettings& done = Lesson.Settings();
    const int next = Lesson.Passed() ? done.Lesson + 1 : done.Lesson;
    ShowCourseLessons(done.Course, next);
    Course->ShowScore(Lesson);
}

void TMorseMain::CourseStopClick() {
    if (!LessonRunning())
        return;
    LessonSound->Stop();
    Lesson.Abandon();
    HoldOtherPages(false);
    JournalCourseEnd(EndReason::Stopped);
    Course->ShowIdle(QStringLiteral("Урок остановлен."));
}

void TMorseMain::CourseChanged() {
    const CourseKind course = Course->ChosenCourse();
    ShowCourseLessons(course, Lesson.Reached(course));
}

} // namespace tonvik
