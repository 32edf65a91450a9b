#pragma once

#include "journal/JournalReader.h"

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tonvik {

// The statistics the statistics window and the re-drill read. Each query
// aggregates in SQLite over indexed or pre-counted rows, so it stays fast on
// a history of many thousand exercises. Characters, callsigns and answers are
// CP1251.

// Which exercises count by the band they were heard through: a clean band
// (exercises.conditions "clean"), any other, or both. The progress chart and
// the character figures filter by it.
enum class ConditionsFilter { All, Clean, UnderConditions };

// A finished callsign exercise (all 30 answered) on the progress chart.
struct ProgressPoint {
    long long Exercise = 0;
    JournalTime Started;
    int MaxWpm = 0;
    double TotalPoints = 0;
    bool UnderConditions = false; // heard through anything but a clean band
};
// Every finished plain callsign exercise the filter lets through, oldest
// first. Drills, lessons and recognition runs are left out, as from the
// results table, so the figures stay comparable.
std::vector<ProgressPoint> ProgressSeries(const JournalReader& reader,
                                          ConditionsFilter filter = ConditionsFilter::All);

// A text exercise as the progress page lists it.
struct TextExercise {
    long long Exercise = 0;
    JournalTime Started;
    int Wpm = 0;
    long long Characters = 0; // characters keyed
    bool RanToEnd = false;
};
// Text exercises newest first, a page at a time.
std::vector<TextExercise> TextExercises(const JournalReader& reader, int limit, int offset = 0);

// A re-drill as the statistics list it: which drill, when, and how it went.
struct DrillResult {
    long long Exercise = 0;
    ExerciseKind Kind = ExerciseKind::MissedCallsDrill;
    JournalTime Started;
    bool Ended = false; // its end was recorded
    EndReason Reason = EndReason::Stopped;
    int Answers = 0;
    int RightAnswers = 0;
    int MaxWpm = 0;
    double TotalPoints = 0;
};
// Both re-drills, newest first, a page at a time.
std::vector<DrillResult> DrillResults(const JournalReader& reader, int limit, int offset = 0);

// The period the character figures cover: the last 7 or 30 days (today, UTC,
// and the days before it), or everything.
enum class StatsPeriod { LastWeek, LastMonth, AllTime };

// Which exercises the character figures count: by the band they were heard
// through ("clean" or any condition), and by where the character was heard.
enum class CharacterSource { All, Callsigns, Lessons, Recognition };
struct CharacterFilter {
    CharacterSource Source = CharacterSource::Callsigns;
    ConditionsFilter Conditions = ConditionsFilter::All;
};

// How a character fared: sent (at a callsign's position, in a lesson's
// groups, or alone), and how often the answer had something else (or
// nothing) there.
struct CharacterStat {
    std::string Character; // one CP1251 character
    long long Sent = 0;
    long long Wrong = 0;
    double AccuracyPercent = 100; // 100 * (Sent - Wrong) / Sent
};
// Every character sent in the period, worst accuracy first (more often wrong
// first among equals, then by character). now is the present moment.
std::vector<CharacterStat> CharacterAccuracy(const JournalReader& reader, StatsPeriod period,
                                             JournalTime now, CharacterFilter filter = {});

// A character typed in place of another ("B -> 6: 12").
struct Confusion {
    std::string Sent;
    std::string Typed;
    long long Count = 0;
};
// The most frequent confusions of the period, most frequent first; a missing
// character (the answer too short) is no confusion.
std::vector<Confusion> Confusions(const JournalReader& reader, StatsPeriod period, JournalTime now,
                                  int limit, CharacterFilter filter = {});

// A wrongly answered callsign.
struct MissedCall {
    long long Exercise = 0;
    JournalTime Answered;
    int Wpm = 0;
    std::string Sent;
    std::string Typed;
};
// Wrong answers of every callsign kind, newest first, a page at a time.
std::vector<MissedCall> MissedCalls(const JournalReader& reader, int limit, int offset = 0);

// The re-drill of missed callsigns: the most recently missed callsigns,
// newest first, each once, at most count of them.
std::vector<std::string> RecentlyMissedCallsigns(const JournalReader& reader, int count);

// The weak-characters drill: each CP1251 character's share of wrong answers
// at its position over all time (Wrong / Sent), 0 for one never sent; of the
// callsigns unless the filter says otherwise.
std::array<double, 256> CharacterMissRates(const JournalReader& reader,
                                           CharacterFilter filter = {});

// How fast a character of the recognition runs was answered.
struct ReactionStat {
    std::string Character; // one CP1251 character
    long long Answers = 0;
    long long Right = 0;
    // The median reaction of all its answers (of an even count, the mean of
    // the middle two, rounded).
    int MedianMs = 0;
};
// Every character answered in the period, slowest median first (then by character).
std::vector<ReactionStat> RecognitionReactions(const JournalReader& reader, StatsPeriod period,
                                               JournalTime now);

// A scored Koch lesson.
struct LessonResult {
    long long Exercise = 0;
    JournalTime Started;
    std::string Course; // "latin" | "cyrillic"
    int Lesson = 0;
    double ScorePercent = 0;
    bool Passed = false;
};
// Scored lessons of a course ("" = both), newest first, a page at a time.
std::vector<LessonResult> LessonResults(const JournalReader& reader, std::string_view course,
                                        int limit, int offset = 0);

// Where the user stands in a course: the lesson reached (the highest one
// opened: one past the highest passed, 1 before any) and each lesson's best
// score. The caller keeps Reached within the course's lessons.
struct CourseStanding {
    int Reached = 1;
    std::map<int, double> BestPercent;
};
CourseStanding CourseProgress(const JournalReader& reader, std::string_view course);

// The first day (UTC, "YYYY-MM-DD") the period covers; "" for all time.
std::string PeriodStartDay(StatsPeriod period, JournalTime now);

} // namespace tonvik
