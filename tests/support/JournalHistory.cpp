#include "tests/support/JournalHistory.h"

#include "base/Random.h"
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

bool FillExercise(JournalWriter& writer, const CallsignList& list, int answersEach,
                  JournalTime started, Random& random) {
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

} // namespace

bool FillJournalHistory(const std::filesystem::path& path, const CallsignList& list,
                        const HistoryShape& shape) {
    JournalWriter writer;
    if (!writer.Open(path, std::chrono::milliseconds(4000)).Ok())
        return false;
    Random random(shape.Seed);
    const JournalTime first = shape.End - shape.Span;
    const auto step = std::chrono::duration_cast<std::chrono::milliseconds>(shape.Span) /
                      std::max(1, shape.Exercises - 1);
    for (int n = 0; n < shape.Exercises; ++n) {
        const JournalTime started = first + step * n;
        if (!FillExercise(writer, list, shape.AnswersEach, started, random))
            return false;
        if (n % 10 == 0 && !FillText(writer, started + std::chrono::minutes(10), random))
            return false;
    }
    return true;
}

} // namespace tonvik
