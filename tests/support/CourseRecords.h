#pragma once

// Lessons and recognition runs recorded as the course page records them, for
// the statistics tests: a lesson's score with its characters as the copy's
// alignment paired them, a run's answers with their reaction times.
#include "journal/Journal.h"
#include "journal/JournalTypes.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace tonvik {

struct LessonRecord {
    JournalTime Started;
    const char* Course; // "latin" or "cyrillic"
    int Lesson;
    double Score;
    bool Passed;
    // Sent, then copied ("" where the copy dropped it).
    std::vector<std::pair<std::string, std::string>> Characters = {};
    std::string Conditions = "clean";
};

struct Press {
    const char* Character;
    const char* Pressed;
    int ReactionMs;
};

inline void AddLesson(Journal& journal, const LessonRecord& lesson) {
    ExerciseStart start;
    start.Kind = ExerciseKind::KochLesson;
    start.Started = lesson.Started;
    start.Wpm = 20;
    start.Conditions = lesson.Conditions;
    ASSERT_TRUE(journal.BeginExercise(start));
    LessonResultRecord result;
    result.Course = lesson.Course;
    result.Lesson = lesson.Lesson;
    result.ScorePercent = lesson.Score;
    result.Passed = lesson.Passed;
    for (const auto& [sent, copied] : lesson.Characters)
        result.Characters.push_back({sent, copied});
    result.CharactersSent = static_cast<int>(lesson.Characters.size());
    result.Checked = lesson.Started + std::chrono::minutes(2);
    ASSERT_TRUE(journal.RecordLessonResult(result));
    ExerciseEnd end;
    end.Ended = result.Checked;
    end.Reason = EndReason::Completed;
    ASSERT_TRUE(journal.EndExercise(end));
    ASSERT_TRUE(journal.Flush());
}

inline void AddRecognition(Journal& journal, JournalTime started,
                           const std::vector<Press>& presses) {
    ExerciseStart start;
    start.Kind = ExerciseKind::Recognition;
    start.Started = started;
    start.Wpm = 25;
    ASSERT_TRUE(journal.BeginExercise(start));
    int number = 0;
    for (const Press& press : presses) {
        RecognitionAnswerRecord answer;
        answer.Number = ++number;
        answer.Character = press.Character;
        answer.Pressed = press.Pressed;
        answer.Right = answer.Character == answer.Pressed;
        answer.ReactionMs = press.ReactionMs;
        answer.Answered = started + std::chrono::seconds(number);
        ASSERT_TRUE(journal.RecordRecognitionAnswer(answer));
    }
    ExerciseEnd end;
    end.Ended = started + std::chrono::seconds(number + 1);
    end.Reason = EndReason::Completed;
    ASSERT_TRUE(journal.EndExercise(end));
    ASSERT_TRUE(journal.Flush());
}

} // namespace tonvik
