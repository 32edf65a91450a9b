#pragma once

#include "course/CopyAlignment.h"
#include "course/KochOrder.h"
#include "course/LessonDraw.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace tonvik {

// What the user chose for a lesson.
struct LessonSettings {
    CourseKind Course = CourseKind::Latin;
    int Lesson = 1;
    int Minutes = 2;       // 1..10
    int CharacterWpm = 20; // 10..50
    int EffectiveWpm = 10; // 5..CharacterWpm
};

// Keeps the settings in their ranges: the effective speed never above the
// character speed.
LessonSettings ClampedLessonSettings(LessonSettings settings);

// One Koch lesson from its draw to its score, and the lesson the user has
// reached: a lesson passed at 90 % or more opens the next one.
class LessonSession {
public:
    enum class Phase { Idle, Keying, Copying, Scored };

    // Draws the lesson's groups; the history weighs the characters missed.
    const std::string& Begin(const LessonSettings& settings, uint64_t seed,
                             const std::map<unsigned char, CharacterRecord>& history = {});
    // The sound has ended: the copy may still be finished.
    void KeyingEnded();
    // Keying stopped early: only the first length characters were sent.
    void CutAt(size_t length);
    // Scores the copy against what was sent; the reached lesson moves on
    // when this lesson passes.
    const CopyScore& Check(const std::string& copy);
    void Abandon();

    Phase Now() const { return Current; }
    const LessonSettings& Settings() const { return Chosen; }
    const std::string& SentText() const { return Sent; }
    // The copy as it was checked.
    const std::string& CopyText() const { return Copied; }
    const CopyScore& Score() const { return Result; }
    bool Passed() const { return Current == Phase::Scored && PassesLesson(Result); }
    int Reached(CourseKind course) const;
    void SetReached(CourseKind course, int lesson);
    // Each lesson's best score of a course, in per cent; a lesson checked
    // raises its own.
    const std::map<int, double>& BestPercent(CourseKind course) const;
    void SetBestPercent(CourseKind course, std::map<int, double> best);

private:
    Phase Current = Phase::Idle;
    LessonSettings Chosen;
    std::string Sent;
    std::string Copied;
    CopyScore Result;
    std::map<CourseKind, int> ReachedLesson;
    std::map<CourseKind, std::map<int, double>> Best;
};

} // namespace tonvik
