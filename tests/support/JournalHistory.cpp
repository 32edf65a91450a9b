#include "tests/support/JournalHistory.h"

#include "base/Random.h"
#include "course/KochOrder.h"
#include "journal/JournalWriter.h"

#include <algorithm>
#include <string>

namespace tonvik {
namespace {

// A character typed in place of another, as ears confuse them.
char Confused(char c, Random& random) {
    static const std::string pairs = "B6 6B H5 5H S5 V4 4V U2 D0 O0 0O W1 1W J1 P2 Q7 Y7 ZX KR RK";
    const size_t at = pairs.find(c);
    if (at != std::string::npos && at % 3 == 0)
        return pairs[at + 1];
    return "ETIANMSURWDKGOHVF"[random.Below(17)];
}

std::string Typed(const std::string& sent, Random& random) {
    std::string typed = sent;
    const int roll = random.Below(100);
    if (roll < 18)
        typed[static_cast<size_t>(random.Below(static_cast<int>(typed.size())))] =
            Confused(typed[0], random);
    else if (roll < 22)
        typed.pop_back();
    else if (roll < 25 && typed.size() > 2)
        typed.replace(1, 2, {Confused(typed[1], random), Confused(typed[2], random)});
    return typed;
}

const char* const Presets[] = {"good", "average", "poor", "contest"};

bool FillExercise(JournalWriter& writer, const CallsignList& list, const HistoryShape& shape,
                  int number, JournalTime started, Random& random) {
    const int answersEach = shape.AnswersEach;
    // Spread evenly, the share exact, and nothing drawn for it, so that the
    // history stays as it was without.
    const int percent = shape.UnderConditionsPercent;
    const bool under = (number + 1) * percent / 100 > number * percent / 100;
    ExerciseStart start;
    const int kind = random.Below(20);
    start.Kind = kind == 0   ? ExerciseKind::MissedCallsDrill
                 : kind == 1 ? ExerciseKind::WeakCharactersDrill
                             : ExerciseKind::Callsign;
    start.Started = started;
    start.OwnCall = "UA3XYZ";
    start.Wpm = 25 + random.Below(10);
    start.ListPath = "/usr/lib/tonvik/master.ped";
    start.ListSha256 = std::string(64, 'c');
    if (under) {
        start.Conditions = Presets[random.Below(4)];
        start.Wpm -= 4; // a harder band, a slower copy
    }
    if (!writer.BeginExercise(start))
        return false;
    int wpm = start.Wpm, maxWpm = 0;
    double total = 0;
    for (int n = 1; n <= answersEach; ++n) {
        std::string sent(list.Callsign(random.Below(std::max(1, list.Count() - 1))));
        if (sent.empty())
            sent = "UA3ABC";
        AnswerRecord a;
        a.Number = n;
        a.Sent = sent;
        a.Typed = Typed(sent, random);
        a.Right = a.Typed == sent;
        a.Errors = a.Right ? 0 : 1;
        a.Wpm = wpm;
        a.ToneHz = 750 + random.Below(100);
        a.Replays = random.Below(10) == 0 ? 1 : 0;
        a.CallPoints = static_cast<double>(sent.size() * static_cast<size_t>(wpm * wpm));
        a.Points = static_cast<int>(a.CallPoints / 10);
        a.ResponseMs = 300 + random.Below(2000);
        a.Answered = started + std::chrono::seconds(8 * n);
        wpm = std::clamp(a.Right ? wpm + 2 : wpm - 1, 10, 100);
        maxWpm = a.Right ? std::max(maxWpm, wpm) : maxWpm;
        total += a.Points;
        if (!writer.RecordAnswer(a))
            return false;
    }
    ExerciseEnd end;
    end.Ended = started + std::chrono::seconds(8 * answersEach + 5);
    end.Reason = random.Below(10) == 0 ? EndReason::Stopped : EndReason::Completed;
    end.TotalPoints = total;
    end.MaxWpm = maxWpm;
    return writer.EndExercise(end);
}

bool FillText(JournalWriter& writer, JournalTime started, Random& random) {
    ExerciseStart start;
    start.Kind = random.Below(3) == 0 ? ExerciseKind::PreliminaryTest : ExerciseKind::Text;
    start.Started = started;
    start.Wpm = 18 + random.Below(10);
    ExerciseEnd end;
    end.Ended = started + std::chrono::minutes(5);
    end.Reason = random.Below(2) == 0 ? EndReason::Completed : EndReason::Stopped;
    end.CharactersKeyed = 200 + random.Below(5000);
    return writer.BeginExercise(start) && writer.EndExercise(end);
}

// A Latin lesson of 50 characters, each copied right with the lesson's own
// chance (the newest character worst), and the next lesson opened at 90 %.
bool FillLesson(JournalWriter& writer, JournalTime started, int& lesson, Random& random) {
    ExerciseStart start;
    start.Kind = ExerciseKind::KochLesson;
    start.Started = started;
    start.Wpm = 20;
    LessonResultRecord result;
    result.Course = "latin";
    result.Lesson = lesson;
    result.Checked = started + std::chrono::minutes(2);
    const std::string set = LessonCharacters(CourseKind::Latin, lesson);
    const int skill = 82 + random.Below(16);
    for (int n = 0; n < 50; ++n) {
        const std::string sent(
            1, set[static_cast<size_t>(random.Below(static_cast<int>(set.size())))]);
        const bool newest = sent[0] == set.back();
        const bool right = random.Below(100) < skill - (newest ? 8 : 0);
        result.Characters.push_back({sent, right                  ? sent
                                           : random.Below(2) == 0 ? ""
                                                                  : std::string(1, set[0])});
        result.CharactersRight += right ? 1 : 0;
    }
    result.CharactersSent = result.CharactersCopied = 50;
    result.ScorePercent = 2.0 * result.CharactersRight;
    result.Passed = result.ScorePercent >= 90;
    ExerciseEnd end;
    end.Ended = result.Checked;
    end.Reason = EndReason::Completed;
    const bool written =
        writer.BeginExercise(start) && writer.RecordLessonResult(result) && writer.EndExercise(end);
    if (result.Passed)
        lesson = ClampLesson(CourseKind::Latin, lesson + 1);
    return written;
}

// A recognition run of 30 characters of the lesson's set: the later in the
// course a character comes, the slower and less surely it is recognised.
bool FillRecognition(JournalWriter& writer, JournalTime started, int lesson, Random& random) {
    ExerciseStart start;
    start.Kind = ExerciseKind::Recognition;
    start.Started = started;
    start.Wpm = 25;
    if (!writer.BeginExercise(start))
        return false;
    const std::string set = LessonCharacters(CourseKind::Latin, lesson);
    for (int n = 1; n <= 30; ++n) {
        const int at = random.Below(static_cast<int>(set.size()));
        RecognitionAnswerRecord answer;
        answer.Number = n;
        answer.Character = std::string(1, set[static_cast<size_t>(at)]);
        answer.Right = random.Below(100) >= 4 + 2 * at;
        answer.Pressed = answer.Right ? answer.Character : std::string(1, set[0]);
        answer.ReactionMs = 350 + 60 * at + random.Below(400);
        answer.Answered = started + std::chrono::seconds(2 * n);
        if (!writer.RecordRecognitionAnswer(answer))
            return false;
    }
    ExerciseEnd end;
    end.Ended = started + std::chrono::seconds(65);
    end.Reason = EndReason::Completed;
    return writer.EndExercise(end);
}

bool FillCourse(JournalWriter& writer, JournalTime started, int& lesson, Random& random) {
    return FillLesson(writer, started, lesson, random) &&
           FillRecognition(writer, started + std::chrono::minutes(5), lesson, random);
}

} // namespace

bool FillJournalHistory(const std::filesystem::path& path, const CallsignList& list,
                        const HistoryShape& shape) {
    JournalWriter writer;
    if (!writer.Open(path, std::chrono::milliseconds(4000)).Ok())
        return false;
    Random random(shape.Seed);
    const JournalTime first = shape.End - shape.Span;
    int lesson = 1;
    const auto step = std::chrono::duration_cast<std::chrono::milliseconds>(shape.Span) /
                      std::max(1, shape.Exercises - 1);
    for (int n = 0; n < shape.Exercises; ++n) {
        const JournalTime started = first + step * n;
        if (!FillExercise(writer, list, shape, n, started, random))
            return false;
        if (shape.CourseEvery > 0 && n % shape.CourseEvery == 0 &&
            !FillCourse(writer, started + std::chrono::minutes(20), lesson, random))
            return false;
        if (n % 10 == 0 && !FillText(writer, started + std::chrono::minutes(10), random))
            return false;
    }
    return true;
}

} // namespace tonvik
