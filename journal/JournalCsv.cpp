#include "journal/JournalCsv.h"

#include "callsign/Scoring.h"

namespace tonvik {
namespace {

const char* const LineEnd = "\r\n";

std::string Cell(const sql::Statement& s, int column) {
    switch (s.Type(column)) {
    case SQLITE_INTEGER:
        return std::to_string(s.Int(column));
    case SQLITE_FLOAT:
        return FormatPoints(s.Real(column)); // the points label's form: 540, not 540.0
    case SQLITE_NULL:
        return "";
    default:
        return CsvField(SpreadsheetSafe(s.Text(column)));
    }
}

// The header, then every row of the query, the columns as the query shapes them.
bool WriteQuery(const JournalReader& reader, const char* header, const char* query,
                std::ostream& out) {
    out << header << LineEnd;
    std::string line;
    reader.Query(query, JournalReader::NoParameters, [&](const sql::Statement& s) {
        line.clear();
        for (int column = 0; column < s.ColumnCount(); ++column) {
            if (column > 0)
                line += ',';
            line += Cell(s, column);
        }
        line += LineEnd;
        out << line;
        return static_cast<bool>(out);
    });
    out.flush();
    return !reader.Failed() && static_cast<bool>(out);
}

} // namespace

std::string SpreadsheetSafe(std::string_view text) {
    if (text.empty() || std::string_view("=+-@\t\r").find(text.front()) == std::string_view::npos)
        return std::string(text);
    return "'" + std::string(text);
}

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

const char* const AnswersCsvHeader =
    "exercise,started,own_call,number,sent,typed,right,errors,wpm,tone_hz,replays,points,"
    "response_ms";
const char* const ExercisesCsvHeader =
    "exercise,kind,started,ended,end,own_call,wpm,pitch_hz,volume,speed_fixed,tone_fixed,"
    "letter_gap,word_gap,list_path,list_sha256,answers,right,points,max_wpm,characters,"
    "conditions";

bool WriteCsvHeader(const char* header, std::ostream& out) {
    out << header << LineEnd;
    out.flush();
    return static_cast<bool>(out);
}

bool WriteAnswersCsv(const JournalReader& reader, std::ostream& out) {
    return WriteQuery(
        reader, AnswersCsvHeader,
        "SELECT a.exercise, e.started, e.own_call, a.number, a.sent, a.typed, a.right, a.errors, "
        "a.wpm, a.tone_hz, a.replays, a.points, a.response_ms "
        "FROM answers a JOIN exercises e ON e.id = a.exercise ORDER BY a.id",
        out);
}

bool WriteExercisesCsv(const JournalReader& reader, std::ostream& out) {
    return WriteQuery(
        reader, ExercisesCsvHeader,
        "SELECT id, kind, started, ended, coalesce(end_reason, 'stopped'), own_call, wpm, "
        "pitch_hz, volume, speed_fixed, tone_fixed, letter_gap, word_gap, list_path, "
        "list_sha256, answers, right_answers, total_points, max_wpm, characters, conditions "
        "FROM exercises ORDER BY started, id",
        out);
}

} // namespace tonvik
