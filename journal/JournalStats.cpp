#include "journal/JournalStats.h"

#include "journal/CharacterPairs.h"
#include "journal/IsoTime.h"
#include "journal/JournalKinds.h"
#include "text/Cp1251.h"

#include <unordered_set>

namespace tonvik {
namespace {

JournalTime TimeOf(std::string_view text) {
    return ParseIsoTime(text).value_or(JournalTime{});
}

// The counts of a period are summed over its days; those of all time are kept
// apart, summed already. ?1 is the first day, ?3 the source, ?4 clean or not.
std::string CountsWhere(StatsPeriod period, CharacterFilter filter) {
    std::string where = period == StatsPeriod::AllTime ? "" : "day >= ?1 AND ";
    if (filter.Source != CharacterSource::All)
        where += "source = ?3 AND ";
    if (filter.Conditions != ConditionsFilter::All)
        where += "clean = ?4 AND ";
    return where;
}

const char* CountsTable(StatsPeriod period) {
    return period == StatsPeriod::AllTime ? "character_totals" : "character_counts";
}

std::string_view SourceName(CharacterSource source) {
    switch (source) {
    case CharacterSource::Lessons:
        return CountSourceName(CountSource::Lesson);
    case CharacterSource::Recognition:
        return CountSourceName(CountSource::Recognition);
    default:
        return CountSourceName(CountSource::Callsign);
    }
}

void BindFilter(sql::Statement& s, StatsPeriod period, JournalTime now, CharacterFilter filter) {
    s.Bind(1, PeriodStartDay(period, now));
    s.Bind(3, SourceName(filter.Source));
    s.Bind(4, filter.Conditions == ConditionsFilter::Clean);
}

std::string CharacterQuery(StatsPeriod period, CharacterFilter filter) {
    return std::string("SELECT sent, sum(count) AS total, "
                       "sum(CASE WHEN typed = sent THEN 0 ELSE count END) AS wrong FROM ") +
           CountsTable(period) + " WHERE " + CountsWhere(period, filter) +
           "1 GROUP BY sent ORDER BY CAST(total - wrong AS REAL) / total, wrong DESC, sent";
}

std::string ConfusionQuery(StatsPeriod period, CharacterFilter filter) {
    return std::string("SELECT sent, typed, sum(count) AS n FROM ") + CountsTable(period) +
           " WHERE " + CountsWhere(period, filter) +
           " typed <> sent AND typed <> '' GROUP BY sent, typed "
           "ORDER BY n DESC, sent, typed LIMIT ?2";
}

} // namespace

std::string PeriodStartDay(StatsPeriod period, JournalTime now) {
    if (period == StatsPeriod::AllTime)
        return "";
    const int days = period == StatsPeriod::LastWeek ? 7 : 30;
    return FormatIsoTime(now - std::chrono::hours(24 * (days - 1))).substr(0, 10);
}

std::vector<ProgressPoint> ProgressSeries(const JournalReader& reader, ConditionsFilter filter) {
    // ?3 picks the class: 0 both, 1 clean only, 2 under conditions only.
    const int only = filter == ConditionsFilter::Clean             ? 1
                     : filter == ConditionsFilter::UnderConditions ? 2
                                                                   : 0;
    std::vector<ProgressPoint> points;
    reader.Query(
        "SELECT id, started, max_wpm, total_points, conditions <> 'clean' FROM exercises "
        "WHERE kind = ?1 AND end_reason = ?2 "
        "AND (?3 = 0 OR (conditions <> 'clean') = (?3 = 2)) ORDER BY started, id",
        [only](sql::Statement& s) {
            s.Bind(1, KindName(ExerciseKind::Callsign));
            s.Bind(2, ReasonName(EndReason::Completed));
            s.Bind(3, only);
        },
        [&](const sql::Statement& s) {
            points.push_back({s.Int(0), TimeOf(s.Text(1)), static_cast<int>(s.Int(2)), s.Real(3),
                              s.Int(4) != 0});
            return true;
        });
    return points;
}

std::vector<TextExercise> TextExercises(const JournalReader& reader, int limit, int offset) {
    std::vector<TextExercise> rows;
    reader.Query(
        "SELECT id, started, wpm, characters, end_reason FROM exercises "
        "WHERE kind = ?1 ORDER BY started DESC, id DESC LIMIT ?2 OFFSET ?3",
        [&](sql::Statement& s) {
            s.Bind(1, KindName(ExerciseKind::Text));
            s.Bind(2, limit);
            s.Bind(3, offset);
        },
        [&](const sql::Statement& s) {
            rows.push_back({s.Int(0), TimeOf(s.Text(1)), static_cast<int>(s.Int(2)), s.Int(3),
                            ReasonFromName(s.Text(4)) == EndReason::Completed});
            return true;
        });
    return rows;
}

std::vector<DrillResult> DrillResults(const JournalReader& reader, int limit, int offset) {
    std::vector<DrillResult> rows;
    reader.Query(
        "SELECT id, kind, started, ended, end_reason, answers, right_answers, max_wpm, "
        "total_points FROM exercises WHERE kind IN (?1, ?2) "
        "ORDER BY started DESC, id DESC LIMIT ?3 OFFSET ?4",
        [&](sql::Statement& s) {
            s.Bind(1, KindName(ExerciseKind::MissedCallsDrill));
            s.Bind(2, KindName(ExerciseKind::WeakCharactersDrill));
            s.Bind(3, limit);
            s.Bind(4, offset);
        },
        [&](const sql::Statement& s) {
            DrillResult row;
            row.Exercise = s.Int(0);
            row.Kind = KindFromName(s.Text(1)).value_or(ExerciseKind::MissedCallsDrill);
            row.Started = TimeOf(s.Text(2));
            row.Ended = ParseIsoTime(s.Text(3)).has_value();
            row.Reason = ReasonFromName(s.Text(4));
            row.Answers = static_cast<int>(s.Int(5));
            row.RightAnswers = static_cast<int>(s.Int(6));
            row.MaxWpm = static_cast<int>(s.Int(7));
            row.TotalPoints = s.Real(8);
            rows.push_back(row);
            return true;
        });
    return rows;
}

std::vector<CharacterStat> CharacterAccuracy(const JournalReader& reader, StatsPeriod period,
                                             JournalTime now, CharacterFilter filter) {
    std::vector<CharacterStat> stats;
    reader.Query(
        CharacterQuery(period, filter).c_str(),
        [&](sql::Statement& s) { BindFilter(s, period, now, filter); },
        [&](const sql::Statement& s) {
            CharacterStat stat{Utf8ToCp1251(s.Text(0)), s.Int(1), s.Int(2), 100};
            if (stat.Sent > 0)
                stat.AccuracyPercent = 100.0 * static_cast<double>(stat.Sent - stat.Wrong) /
                                       static_cast<double>(stat.Sent);
            stats.push_back(std::move(stat));
            return true;
        });
    return stats;
}

std::vector<Confusion> Confusions(const JournalReader& reader, StatsPeriod period, JournalTime now,
                                  int limit, CharacterFilter filter) {
    std::vector<Confusion> confusions;
    reader.Query(
        ConfusionQuery(period, filter).c_str(),
        [&](sql::Statement& s) {
            BindFilter(s, period, now, filter);
            s.Bind(2, limit);
        },
        [&](const sql::Statement& s) {
            confusions.push_back({Utf8ToCp1251(s.Text(0)), Utf8ToCp1251(s.Text(1)), s.Int(2)});
            return true;
        });
    return confusions;
}

std::vector<MissedCall> MissedCalls(const JournalReader& reader, int limit, int offset) {
    std::vector<MissedCall> calls;
    reader.Query(
        "SELECT exercise, answered, wpm, sent, typed FROM answers "
        "WHERE right = 0 ORDER BY id DESC LIMIT ?1 OFFSET ?2",
        [&](sql::Statement& s) {
            s.Bind(1, limit);
            s.Bind(2, offset);
        },
        [&](const sql::Statement& s) {
            calls.push_back({s.Int(0), TimeOf(s.Text(1)), static_cast<int>(s.Int(2)),
                             Utf8ToCp1251(s.Text(3)), Utf8ToCp1251(s.Text(4))});
            return true;
        });
    return calls;
}

std::vector<std::string> RecentlyMissedCallsigns(const JournalReader& reader, int count) {
    std::vector<std::string> calls;
    std::unordered_set<std::string> seen;
    // Newest first through the index of wrong answers, until enough distinct ones.
    reader.Query("SELECT sent FROM answers WHERE right = 0 AND sent <> '' ORDER BY id DESC",
                 JournalReader::NoParameters, [&](const sql::Statement& s) {
                     std::string call = Utf8ToCp1251(s.Text(0));
                     if (seen.insert(call).second)
                         calls.push_back(std::move(call));
                     return static_cast<int>(calls.size()) < count;
                 });
    return calls;
}

std::array<double, 256> CharacterMissRates(const JournalReader& reader, CharacterFilter filter) {
    std::array<double, 256> rates{};
    for (const CharacterStat& stat :
         CharacterAccuracy(reader, StatsPeriod::AllTime, JournalTime{}, filter))
        if (stat.Character.size() == 1 && stat.Sent > 0)
            rates[static_cast<unsigned char>(stat.Character[0])] =
                static_cast<double>(stat.Wrong) / static_cast<double>(stat.Sent);
    return rates;
}

} // namespace tonvik
