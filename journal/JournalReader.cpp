#include "journal/JournalReader.h"

#include "journal/IsoTime.h"
#include "journal/JournalFile.h"
#include "journal/JournalKinds.h"
#include "text/Cp1251.h"

#include <functional>
#include <string>

namespace tonvik {
namespace {

const char* const ExerciseColumns =
    "SELECT id, kind, started, ended, end_reason, own_call, wpm, pitch_hz, volume, "
    "speed_fixed, tone_fixed, letter_gap, word_gap, list_path, list_sha256, answers, "
    "right_answers, total_points, max_wpm, characters FROM exercises ";

ExerciseRow ReadExercise(const sql::Statement& s) {
    ExerciseRow row;
    row.Id = s.Int(0);
    ExerciseStart& start = row.Start;
    start.Kind = KindFromName(s.Text(1)).value_or(ExerciseKind::Callsign);
    start.Started = ParseIsoTime(s.Text(2)).value_or(JournalTime{});
    row.Ended = ParseIsoTime(s.Text(3));
    row.Reason = ReasonFromName(s.Text(4));
    start.OwnCall = Utf8ToCp1251(s.Text(5));
    start.Wpm = static_cast<int>(s.Int(6));
    start.PitchHz = static_cast<int>(s.Int(7));
    start.Volume = static_cast<int>(s.Int(8));
    start.SpeedFixed = s.Int(9) != 0;
    start.ToneFixed = s.Int(10) != 0;
    start.LetterGap = static_cast<int>(s.Int(11));
    start.WordGap = static_cast<int>(s.Int(12));
    start.ListPath = std::string(s.Text(13));
    start.ListSha256 = std::string(s.Text(14));
    row.Answers = static_cast<int>(s.Int(15));
    row.RightAnswers = static_cast<int>(s.Int(16));
    row.TotalPoints = s.Real(17);
    row.MaxWpm = static_cast<int>(s.Int(18));
    row.CharactersKeyed = s.Int(19);
    return row;
}

AnswerRecord ReadAnswer(const sql::Statement& s) {
    AnswerRecord a;
    a.Number = static_cast<int>(s.Int(0));
    a.Sent = Utf8ToCp1251(s.Text(1));
    a.Typed = Utf8ToCp1251(s.Text(2));
    a.Right = s.Int(3) != 0;
    a.Errors = static_cast<int>(s.Int(4));
    a.Wpm = static_cast<int>(s.Int(5));
    a.ToneHz = static_cast<int>(s.Int(6));
    a.Replays = static_cast<int>(s.Int(7));
    a.Points = static_cast<int>(s.Int(8));
    a.CallPoints = s.Real(9);
    a.ResponseMs = s.Int(10);
    a.Answered = ParseIsoTime(s.Text(11)).value_or(JournalTime{});
    return a;
}

} // namespace

JournalProblem JournalReader::Open(const std::filesystem::path& path) {
    LastResult = SQLITE_OK;
    return OpenJournalForReading(path, Db, NoJournal);
}

void JournalReader::Note(int resultCode) const {
    LastResult = resultCode == SQLITE_DONE || resultCode == SQLITE_ROW ? SQLITE_OK : resultCode;
}

std::array<long long, ExerciseKindCount> JournalReader::CountByKind() const {
    std::array<long long, ExerciseKindCount> counts{};
    Query("SELECT kind, count(*) FROM exercises GROUP BY kind", NoParameters,
          [&](const sql::Statement& s) {
              if (const auto kind = KindFromName(s.Text(0)))
                  counts[static_cast<size_t>(*kind)] = s.Int(1);
              return true;
          });
    return counts;
}

std::vector<ExerciseRow>
JournalReader::Exercises(const char* tail, const std::function<void(sql::Statement&)>& bind) const {
    std::vector<ExerciseRow> rows;
    Query((std::string(ExerciseColumns) + tail).c_str(), bind, [&](const sql::Statement& s) {
        rows.push_back(ReadExercise(s));
        return true;
    });
    return rows;
}

std::vector<ExerciseRow> JournalReader::LastExercises(ExerciseKind kind, int limit) const {
    return Exercises("WHERE kind = ?1 ORDER BY started DESC, id DESC LIMIT ?2",
                     [&](sql::Statement& s) {
                         s.Bind(1, KindName(kind));
                         s.Bind(2, limit);
                     });
}

std::optional<ExerciseRow> JournalReader::Best(ExerciseKind kind) const {
    auto rows = Exercises("WHERE kind = ?1 AND total_points > 0 "
                          "ORDER BY total_points DESC, id DESC LIMIT 1",
                          [&](sql::Statement& s) { s.Bind(1, KindName(kind)); });
    if (rows.empty())
        return std::nullopt;
    return std::move(rows.front());
}

std::optional<ExerciseRow> JournalReader::Exercise(long long id) const {
    auto rows =
        Exercises("WHERE id = ?1", [&](sql::Statement& s) { s.Bind(1, static_cast<int64_t>(id)); });
    if (rows.empty())
        return std::nullopt;
    return std::move(rows.front());
}

std::vector<AnswerRecord> JournalReader::Answers(long long exercise) const {
    std::vector<AnswerRecord> answers;
    Query(
        "SELECT number, sent, typed, right, errors, wpm, tone_hz, replays, points, call_points, "
        "response_ms, answered FROM answers WHERE exercise = ?1 ORDER BY id",
        [&](sql::Statement& s) { s.Bind(1, static_cast<int64_t>(exercise)); },
        [&](const sql::Statement& s) {
            answers.push_back(ReadAnswer(s));
            return true;
        });
    return answers;
}

} // namespace tonvik
