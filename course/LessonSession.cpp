#include "course/LessonSession.h"

#include <algorithm>

namespace tonvik {

LessonSettings ClampedLessonSettings(LessonSettings s) {
    s.Lesson = ClampLesson(s.Course, s.Lesson);
    s.Minutes = std::clamp(s.Minutes, 1, 10);
    s.CharacterWpm = std::clamp(s.CharacterWpm, 10, 50);
    s.EffectiveWpm = std::clamp(s.EffectiveWpm, 5, s.CharacterWpm);
    return s;
}

const std::string& LessonSession::Begin(const LessonSettings& settings, uint64_t seed,
                                        const std::map<unsigned char, CharacterRecord>& history) {
    Chosen = ClampedLessonSettings(settings);
    const std::string characters = LessonCharacters(Chosen.Course, Chosen.Lesson);
    LessonDraw draw(characters, DrawWeights(characters, history), seed);
    Sent = draw.Groups(GroupsForMinutes(Chosen.Minutes, Chosen.EffectiveWpm));
    Copied.clear();
    Result = CopyScore{};
    Current = Phase::Keying;
    return Sent;
}

void LessonSession::KeyingEnded() {
    if (Current == Phase::Keying)
        Current = Phase::Copying;
}

void LessonSession::CutAt(size_t length) {
    if (Current == Phase::Keying && length < Sent.size())
        Sent.resize(length);
}

const CopyScore& LessonSession::Check(const std::string& copy) {
    if (Current != Phase::Keying && Current != Phase::Copying)
        return Result;
    Result = AlignCopy(Sent, copy);
    Copied = copy;
    Current = Phase::Scored;
    if (PassesLesson(Result) && Chosen.Lesson >= Reached(Chosen.Course))
        SetReached(Chosen.Course, Chosen.Lesson + 1);
    double& best = Best[Chosen.Course][Chosen.Lesson];
    best = std::max(best, Result.Percent());
    return Result;
}

void LessonSession::Abandon() {
    Current = Phase::Idle;
    Sent.clear();
    Copied.clear();
    Result = CopyScore{};
}

int LessonSession::Reached(CourseKind course) const {
    const auto found = ReachedLesson.find(course);
    return found == ReachedLesson.end() ? 1 : found->second;
}

void LessonSession::SetReached(CourseKind course, int lesson) {
    ReachedLesson[course] = ClampLesson(course, lesson);
}

const std::map<int, double>& LessonSession::BestPercent(CourseKind course) const {
    static const std::map<int, double> none;
    const auto found = Best.find(course);
    return found == Best.end() ? none : found->second;
}

void LessonSession::SetBestPercent(CourseKind course, std::map<int, double> best) {
    Best[course] = std::move(best);
}

} // namespace tonvik
