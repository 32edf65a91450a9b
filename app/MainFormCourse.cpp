// The «Курс» page: its clicks go to the lesson session and the lesson's
// player; the page shows what they hold.
#include "app/MainForm.h"

#include "course/CoursePage.h"
#include "course/LessonPlayer.h"
#include "stats/StatsForm.h"
#include "ui_MainForm.h"

#include <QVBoxLayout>

#include <climits>

namespace tonvik {

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
            Course->ShowIdle(QString::fromStdString(text).replace("\r\n", " "));
        });
    Course->SetHandlers({[this] { CourseStartClick(); }, [this] { CourseCheckClick(); },
                         [this] { CourseStopClick(); }, [this] { CourseChanged(); }});
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
    if (LessonRunning())
        return;
    if (Control.Phase() != ExercisePhase::Idle) {
        Course->ShowIdle(QStringLiteral("Сначала закончите упражнение."));
        return;
    }
    PitchTrackBarChange();
    VolTrackBarChange();
    const std::string& text =
        Lesson.Begin(Course->Chosen(), static_cast<uint64_t>(Rng.Below(INT_MAX)));
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
    const LessonSettings& done = Lesson.Settings();
    const int next = Lesson.Passed() ? done.Lesson + 1 : done.Lesson;
    Course->ShowLessons(done.Course, Lesson.Reached(done.Course), next);
    Course->ShowScore(Lesson);
}

void TMorseMain::CourseStopClick() {
    if (!LessonRunning())
        return;
    LessonSound->Stop();
    Lesson.Abandon();
    HoldOtherPages(false);
    Course->ShowIdle(QStringLiteral("Урок остановлен."));
}

void TMorseMain::CourseChanged() {
    const CourseKind course = Course->ChosenCourse();
    Course->ShowLessons(course, Lesson.Reached(course), Lesson.Reached(course));
}

} // namespace tonvik
