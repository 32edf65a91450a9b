// The course in the training journal: the page opens at the lesson reached
// with each lesson's best, the lessons draw more of what the user misses,
// and every lesson and recognition answer is recorded as it is given.
#include "app/MainForm.h"

#include "course/CourseJournal.h"
#include "course/CoursePage.h"
#include "journal/Journal.h"
#include "journal/JournalReader.h"
#include "ui_MainForm.h"

#include <algorithm>

namespace tonvik {

void TMorseMain::CourseJournalOpened() {
    if (Records == nullptr)
        return;
    JournalReader reader;
    if (!reader.Open(Records->Path()).Ok() || reader.Missing())
        return;
    for (const CourseKind course : {CourseKind::Latin, CourseKind::Cyrillic}) {
        const CourseStanding standing = CourseProgress(reader, CourseName(course));
        Lesson.SetReached(course,
                          std::max(Lesson.Reached(course), LessonReached(standing, course)));
        std::map<int, double> best = Lesson.BestPercent(course);
        for (const auto& [lesson, percent] : standing.BestPercent)
            best[lesson] = std::max(best[lesson], percent);
        Lesson.SetBestPercent(course, std::move(best));
    }
    if (!LessonRunning()) {
        const CourseKind course = Course->ChosenCourse();
        ShowCourseLessons(course, Lesson.Reached(course));
    }
}

void TMorseMain::ShowCourseLessons(CourseKind course, int selected) {
    Course->ShowLessons(course, Lesson.Reached(course), selected, Lesson.BestPercent(course));
}

std::map<unsigned char, CharacterRecord> TMorseMain::JournalDrawHistory() const {
    if (Records == nullptr)
        return {};
    JournalReader reader;
    if (!reader.Open(Records->Path()).Ok() || reader.Missing())
        return {};
    return DrawHistory(reader);
}

void TMorseMain::JournalCourseStart(ExerciseKind kind, int characterWpm) {
    if (!Recording())
        return;
    ExerciseStart start;
    start.Kind = kind;
    start.Started = JournalClock::now();
    start.Wpm = characterWpm;
    start.PitchHz = Ui->PitchTrackBar->value() * 100;
    start.Volume = Control.VolumeFactor();
    Records->BeginExercise(start);
}

void TMorseMain::JournalCourseEnd(EndReason reason, int64_t charactersKeyed) {
    if (Recording()) {
        ExerciseEnd end;
        end.Ended = JournalClock::now();
        end.Reason = reason;
        end.CharactersKeyed = charactersKeyed;
        Records->EndExercise(end);
    }
    ShowPendingJournalProblem();
}

void TMorseMain::JournalLessonChecked() {
    const LessonResultRecord result = LessonResultOf(Lesson, JournalClock::now());
    if (Recording())
        Records->RecordLessonResult(result);
    JournalCourseEnd(EndReason::Completed, result.CharactersSent);
}

void TMorseMain::JournalRecognitionAnswer(const RecognitionAnswer& answer) {
    if (!Recording() || !Recognizing)
        return;
    const int number = static_cast<int>(Recognizing->Answered().size());
    Records->RecordRecognitionAnswer(RecognitionAnswerOf(answer, number, JournalClock::now()));
}

} // namespace tonvik
