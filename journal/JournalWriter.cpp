#include "journal/JournalWriter.h"

#include "journal/IsoTime.h"
#include "journal/JournalKinds.h"
#include "text/Cp1251.h"

namespace tonvik {

JournalWriter::~JournalWriter() {
    Close();
}

JournalProblem JournalWriter::Open(const std::filesystem::path& path,
                                   std::chrono::milliseconds busyTimeout) {
    Close();
    WriteProblem.reset();
    FilePath = path;
    try {
        JournalProblem problem = OpenJournalFile(path, busyTimeout, Db);
        if (problem.Ok()) {
            if (const int rc = PrepareStatements(); rc != SQLITE_OK) {
                JournalProblem failed = ProblemOf(Db, rc, path.string());
                failed.AsidePath = problem.AsidePath;
                Close();
                return failed;
            }
        }
        return problem;
    } catch (...) { // out of memory: no journal, the training goes on
        Close();
        JournalProblem problem;
        problem.Fault = JournalFault::CannotOpen;
        problem.Path = path.string();
        problem.Detail = "out of memory";
        return problem;
    }
}

void JournalWriter::Close() {
    Begin = {};
    Commit = {};
    Rollback = {};
    ExerciseInsert = {};
    AnswerInsert = {};
    CountsUpdate = {};
    EndUpdate = {};
    LessonInsert = {};
    RecognitionInsert = {};
    Characters = {};
    if (Db.IsOpen())
        Db.Execute("PRAGMA wal_checkpoint(PASSIVE)");
    Db.Close();
    Exercise = 0;
}

int JournalWriter::PrepareStatements() {
    int rc = Begin.Prepare(Db, "BEGIN IMMEDIATE");
    const auto prepare = [&](sql::Statement& statement, const char* text) {
        if (rc == SQLITE_OK)
            rc = statement.Prepare(Db, text);
    };
    prepare(Commit, "COMMIT");
    prepare(Rollback, "ROLLBACK");
    prepare(ExerciseInsert,
            "INSERT INTO exercises(kind, started, own_call, wpm, pitch_hz, volume, speed_fixed, "
            "tone_fixed, letter_gap, word_gap, list_path, list_sha256, conditions) "
            "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13)");
    prepare(AnswerInsert,
            "INSERT INTO answers(exercise, answered, number, sent, typed, right, errors, wpm, "
            "tone_hz, replays, points, call_points, response_ms) "
            "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13)");
    // Until the end is recorded the exercise shows the answers so far: the
    // highest speed of a right answer stands in for the window's figure.
    prepare(CountsUpdate,
            "UPDATE exercises SET answers = answers + 1, right_answers = right_answers + ?2, "
            "total_points = total_points + ?3, "
            "max_wpm = max(max_wpm, CASE WHEN ?2 THEN ?4 ELSE 0 END) WHERE id = ?1");
    prepare(EndUpdate, "UPDATE exercises SET ended = ?2, end_reason = ?3, total_points = ?4, "
                       "max_wpm = ?5, characters = ?6 WHERE id = ?1");
    prepare(LessonInsert,
            "INSERT INTO lesson_results(exercise, checked, course, lesson, minutes, "
            "effective_wpm, sent_count, copied_count, right_count, score, passed, sent_text, copy) "
            "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13)");
    prepare(RecognitionInsert,
            "INSERT INTO recognition_answers(exercise, answered, number, character, pressed, "
            "right, reaction_ms) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    if (rc == SQLITE_OK)
        rc = Characters.Prepare(Db);
    return rc;
}

template <class Body> bool JournalWriter::Write(Body&& body) {
    if (!Db.IsOpen())
        return false;
    try {
        int rc = Begin.Step();
        Begin.Reset();
        if (rc == SQLITE_DONE)
            rc = body();
        if (rc == SQLITE_OK || rc == SQLITE_DONE) {
            rc = Commit.Step();
            Commit.Reset();
        }
        if (rc == SQLITE_DONE)
            return true;
        Fail(rc);
    } catch (...) {
        Fail(SQLITE_NOMEM);
    }
    return false;
}

void JournalWriter::Fail(int resultCode) {
    if (!WriteProblem)
        WriteProblem = ProblemOf(Db, resultCode, FilePath.string());
    if (!sqlite3_get_autocommit(Db.Handle())) {
        Rollback.Step();
        Rollback.Reset();
    }
    Close();
}

int JournalWriter::InsertExercise(const ExerciseStart& start) {
    sql::Statement& s = ExerciseInsert;
    s.Bind(1, KindName(start.Kind));
    s.Bind(2, FormatIsoTime(start.Started));
    s.Bind(3, Cp1251ToUtf8(start.OwnCall));
    s.Bind(4, start.Wpm);
    s.Bind(5, start.PitchHz);
    s.Bind(6, start.Volume);
    s.Bind(7, start.SpeedFixed);
    s.Bind(8, start.ToneFixed);
    s.Bind(9, start.LetterGap);
    s.Bind(10, start.WordGap);
    s.Bind(11, start.ListPath);
    s.Bind(12, start.ListSha256);
    s.Bind(13, start.Conditions);
    const int rc = s.Step();
    s.Reset();
    if (rc == SQLITE_DONE) {
        Exercise = sqlite3_last_insert_rowid(Db.Handle());
        ExerciseClean = start.Conditions == "clean";
    }
    return rc;
}

bool JournalWriter::BeginExercise(const ExerciseStart& start) {
    Exercise = 0;
    return Write([&] { return InsertExercise(start); });
}

int JournalWriter::InsertAnswer(const AnswerRecord& answer) {
    const std::string answered = FormatIsoTime(answer.Answered);
    const std::string sent = Cp1251ToUtf8(answer.Sent);
    const std::string typed =
        answer.TypedUtf8.empty() ? Cp1251ToUtf8(answer.Typed) : answer.TypedUtf8;
    sql::Statement& s = AnswerInsert;
    s.Bind(1, static_cast<int64_t>(Exercise));
    s.Bind(2, answered);
    s.Bind(3, answer.Number);
    s.Bind(4, sent);
    s.Bind(5, typed);
    s.Bind(6, answer.Right);
    s.Bind(7, answer.Errors);
    s.Bind(8, answer.Wpm);
    s.Bind(9, answer.ToneHz);
    s.Bind(10, answer.Replays);
    s.Bind(11, answer.Points);
    s.Bind(12, answer.CallPoints);
    s.Bind(13, answer.ResponseMs);
    int rc = s.Step();
    s.Reset();
    if (rc != SQLITE_DONE)
        return rc;
    sql::Statement& c = CountsUpdate;
    c.Bind(1, static_cast<int64_t>(Exercise));
    c.Bind(2, answer.Right);
    c.Bind(3, answer.Points);
    c.Bind(4, answer.Wpm);
    rc = c.Step();
    c.Reset();
    if (rc != SQLITE_DONE)
        return rc;
    return Characters.AddUtf8(answered, sent, typed, CountSource::Callsign, ExerciseClean);
}

bool JournalWriter::RecordAnswer(const AnswerRecord& answer) {
    if (Exercise == 0)
        return false;
    return Write([&] { return InsertAnswer(answer); });
}

int JournalWriter::UpdateEnd(const ExerciseEnd& end) {
    sql::Statement& s = EndUpdate;
    s.Bind(1, static_cast<int64_t>(Exercise));
    s.Bind(2, FormatIsoTime(end.Ended));
    s.Bind(3, ReasonName(end.Reason));
    s.Bind(4, end.TotalPoints);
    s.Bind(5, end.MaxWpm);
    s.Bind(6, end.CharactersKeyed);
    const int rc = s.Step();
    s.Reset();
    return rc;
}

bool JournalWriter::EndExercise(const ExerciseEnd& end) {
    if (Exercise == 0)
        return false;
    const bool written = Write([&] { return UpdateEnd(end); });
    Exercise = 0;
    // Between exercises nothing waits on the disk: fold the WAL back now.
    if (written)
        Db.Execute("PRAGMA wal_checkpoint(PASSIVE)");
    return written;
}

int JournalWriter::InsertLessonResult(const LessonResultRecord& result) {
    const std::string checked = FormatIsoTime(result.Checked);
    sql::Statement& s = LessonInsert;
    s.Bind(1, static_cast<int64_t>(Exercise));
    s.Bind(2, checked);
    s.Bind(3, result.Course);
    s.Bind(4, result.Lesson);
    s.Bind(5, result.Minutes);
    s.Bind(6, result.EffectiveWpm);
    s.Bind(7, result.CharactersSent);
    s.Bind(8, result.CharactersCopied);
    s.Bind(9, result.CharactersRight);
    s.Bind(10, result.ScorePercent);
    s.Bind(11, result.Passed);
    s.Bind(12, Cp1251ToUtf8(result.SentText));
    s.Bind(13, Cp1251ToUtf8(result.Copy));
    const int rc = s.Step();
    s.Reset();
    if (rc != SQLITE_DONE)
        return rc;
    std::vector<CharacterPair> pairs;
    pairs.reserve(result.Characters.size());
    for (const CopiedCharacter& c : result.Characters)
        pairs.push_back({Cp1251ToUtf8(c.Sent), Cp1251ToUtf8(c.Copied)});
    return Characters.AddPairs(checked, pairs, CountSource::Lesson, ExerciseClean);
}

bool JournalWriter::RecordLessonResult(const LessonResultRecord& result) {
    if (Exercise == 0)
        return false;
    return Write([&] { return InsertLessonResult(result); });
}

int JournalWriter::InsertRecognitionAnswer(const RecognitionAnswerRecord& answer) {
    const std::string answered = FormatIsoTime(answer.Answered);
    const std::string character = Cp1251ToUtf8(answer.Character);
    const std::string pressed = Cp1251ToUtf8(answer.Pressed);
    sql::Statement& s = RecognitionInsert;
    s.Bind(1, static_cast<int64_t>(Exercise));
    s.Bind(2, answered);
    s.Bind(3, answer.Number);
    s.Bind(4, character);
    s.Bind(5, pressed);
    s.Bind(6, answer.Right);
    s.Bind(7, answer.ReactionMs);
    const int rc = s.Step();
    s.Reset();
    if (rc != SQLITE_DONE)
        return rc;
    return Characters.AddPairs(answered, {{character, pressed}}, CountSource::Recognition,
                               ExerciseClean);
}

bool JournalWriter::RecordRecognitionAnswer(const RecognitionAnswerRecord& answer) {
    if (Exercise == 0)
        return false;
    return Write([&] { return InsertRecognitionAnswer(answer); });
}

} // namespace tonvik
