// The course's figures: lesson scores, the lesson reached, and the reaction
// times of the recognition runs.
#include "journal/IsoTime.h"
#include "journal/JournalStats.h"
#include "text/Cp1251.h"

#include <algorithm>
#include <cmath>

namespace tonvik {
namespace {

int Median(std::vector<long long>& values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    if (values.size() % 2 == 1)
        return static_cast<int>(values[middle]);
    return static_cast<int>(
        std::llround(static_cast<double>(values[middle - 1] + values[middle]) / 2.0));
}

} // namespace

std::vector<ReactionStat> RecognitionReactions(const JournalReader& reader, StatsPeriod period,
                                               JournalTime now) {
    std::vector<ReactionStat> stats;
    std::vector<long long> reactions;
    std::string raw; // the character as stored, converted once per character
    const auto close = [&] {
        if (!stats.empty())
            stats.back().MedianMs = Median(reactions);
        reactions.clear();
    };
    reader.Query(
        // In the order of an index that holds every column read: no sort.
        "SELECT character, right, reaction_ms FROM recognition_answers "
        "WHERE answered >= ?1 ORDER BY character, reaction_ms",
        [&](sql::Statement& s) { s.Bind(1, PeriodStartDay(period, now)); },
        [&](const sql::Statement& s) {
            if (stats.empty() || raw != s.Text(0)) {
                close();
                raw = s.Text(0);
                stats.push_back({Utf8ToCp1251(raw), 0, 0, 0});
            }
            ReactionStat& stat = stats.back();
            ++stat.Answers;
            stat.Right += s.Int(1) != 0 ? 1 : 0;
            reactions.push_back(s.Int(2));
            return true;
        });
    close();
    std::stable_sort(stats.begin(), stats.end(), [](const ReactionStat& a, const ReactionStat& b) {
        return a.MedianMs != b.MedianMs ? a.MedianMs > b.MedianMs : a.Character < b.Character;
    });
    return stats;
}

std::vector<LessonResult> LessonResults(const JournalReader& reader, std::string_view course,
                                        int limit, int offset) {
    std::vector<LessonResult> rows;
    reader.Query(
        "SELECT e.id, e.started, l.course, l.lesson, l.score, l.passed "
        "FROM lesson_results l JOIN exercises e ON e.id = l.exercise "
        "WHERE ?1 = '' OR l.course = ?1 ORDER BY e.started DESC, e.id DESC LIMIT ?2 OFFSET ?3",
        [&](sql::Statement& s) {
            s.Bind(1, course);
            s.Bind(2, limit);
            s.Bind(3, offset);
        },
        [&](const sql::Statement& s) {
            rows.push_back({s.Int(0), ParseIsoTime(s.Text(1)).value_or(JournalTime{}),
                            std::string(s.Text(2)), static_cast<int>(s.Int(3)), s.Real(4),
                            s.Int(5) != 0});
            return true;
        });
    return rows;
}

CourseStanding CourseProgress(const JournalReader& reader, std::string_view course) {
    CourseStanding standing;
    reader.Query(
        "SELECT lesson, max(score), max(passed) FROM lesson_results WHERE course = ?1 "
        "GROUP BY lesson",
        [&](sql::Statement& s) { s.Bind(1, course); },
        [&](const sql::Statement& s) {
            const int lesson = static_cast<int>(s.Int(0));
            standing.BestPercent[lesson] = s.Real(1);
            if (s.Int(2) != 0)
                standing.Reached = std::max(standing.Reached, lesson + 1);
            return true;
        });
    return standing;
}

} // namespace tonvik
